// The red one-pixel frame painted straight onto the window under the finder
// tool, and its removal with one sampled colour per edge.
#pragma once

#include <cstdint>

#include "platform/window_system.h"

namespace wl::capture {

// The frame colour: pure red.
constexpr Colour kOutlineColour = rgb(255, 0, 0);

// Edge loops of the frame run on 16-bit counters; a frame is never larger
// than these so that every edge index (up to W on the bottom edge, H - 1 on
// the left edge) stays within 32,767.
constexpr std::int32_t kMaxOutlineWidth = 32767;
constexpr std::int32_t kMaxOutlineHeight = 32768;

// One colour per edge, sampled just before that edge was painted red.
struct EdgeColours {
    Colour left = 0;
    Colour top = 0;
    Colour right = 0;
    Colour bottom = 0;
    bool operator==(const EdgeColours&) const = default;
};

// Frame size as both methods compute it from a window rectangle:
// H = | |bottom| - |top| |, W = |right - left|, each clamped to what the
// 16-bit edge loops can index.
struct FrameSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
FrameSize frame_size(const Rect& rect);

class Outline {
  public:
    explicit Outline(WindowSystem& windows) : windows_(windows) {}

    // Frames the window: samples each edge and paints it red, edge by edge
    // (left, bottom, right, top). Remembers the window in outlined_window.
    void draw_outline(Hwnd& picked_hwnd);
    // Repaints the frame of the window, at its current size, with the
    // colours sampled by the last draw_outline. outlined_window is kept.
    void remove_outline(Hwnd& picked_hwnd);
    // Removes the frame of outlined_window, if any, and forgets that window,
    // so that no later move paints its edges with the old samples again.
    void forget_outline();

    // The window framed last; 0 until the first frame and after
    // forget_outline.
    Hwnd outlined_window = 0;
    // Outer rectangle of the window last framed or unframed; a failed
    // rectangle read keeps the previous one.
    Rect outline_rect;
    EdgeColours saved_edge_colours;

  private:
    WindowSystem& windows_;
};

}  // namespace wl::capture
