#include "capture/outline.h"

#include <algorithm>
#include <memory>

namespace wl::capture {

namespace {

std::int64_t magnitude(std::int64_t v) {
    return v < 0 ? -v : v;
}

std::int32_t clamp_to(std::int64_t v, std::int32_t limit) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(v, limit));
}

// One edge is painted as a single fill of the strip its pixels make up. All
// pixels of an edge get the same colour, so the order the pixels would be
// visited in does not matter; only the order of the edges does. An edge with
// no index at all (its last index below its first) is not painted.
void paint_strip(DrawSurface& surface, std::int32_t left, std::int32_t top, std::int32_t right,
                 std::int32_t bottom, Colour colour) {
    if (right <= left || bottom <= top) {
        return;
    }
    surface.fill(Rect{left, top, right, bottom}, colour);
}

// Rounds twice_value / 2 to the nearest integer, halves to the even
// neighbour (1.5 -> 2, 2.5 -> 2, -0.5 -> 0). Every sample position is a
// whole or half number, so it is passed doubled and rounded exactly, with no
// dependence on the floating-point rounding mode.
std::int32_t nearest_half(std::int64_t twice_value) {
    // Floor division by two, then a half is rounded up only when that gives
    // the even neighbour.
    std::int64_t whole = twice_value >= 0 ? twice_value / 2 : -((-twice_value + 1) / 2);
    const bool is_half = (twice_value % 2) != 0;
    if (is_half && (whole % 2) != 0) {
        whole += 1;
    }
    return static_cast<std::int32_t>(whole);
}

}  // namespace

FrameSize frame_size(const Rect& rect) {
    // Computed in 64 bits: the absolute value of the most negative 32-bit
    // coordinate, and the difference of two far-apart ones, do not fit in 32.
    const std::int64_t height =
        magnitude(magnitude(rect.bottom) - magnitude(static_cast<std::int64_t>(rect.top)));
    const std::int64_t width =
        magnitude(static_cast<std::int64_t>(rect.right) - static_cast<std::int64_t>(rect.left));
    return FrameSize{clamp_to(width, kMaxOutlineWidth), clamp_to(height, kMaxOutlineHeight)};
}

void Outline::draw_outline(Hwnd& picked_hwnd) {
    outlined_window = picked_hwnd;
    const std::unique_ptr<DrawSurface> surface = windows_.window_surface(picked_hwnd);
    windows_.get_window_rect(picked_hwnd, outline_rect);
    const auto [w, h] = frame_size(outline_rect);

    // Counter-clockwise from the top-left corner: down, right, up, left. Each
    // sample is read after the earlier edges are red, so a sample on an
    // already painted pixel (a one-pixel-wide window) reads red.
    saved_edge_colours.left = surface->get_pixel(0, nearest_half(h));
    paint_strip(*surface, 0, 0, 1, h, kOutlineColour);

    // The bottom row runs to x = W, one past the right edge, which the
    // surface clips.
    saved_edge_colours.bottom = surface->get_pixel(nearest_half(w), h - 1);
    paint_strip(*surface, 0, h - 1, w + 1, h, kOutlineColour);

    // The right column stops at y = 1: its top corner belongs to the top row.
    saved_edge_colours.right = surface->get_pixel(w - 1, nearest_half(h - 2));
    paint_strip(*surface, w - 1, 1, w, h, kOutlineColour);

    saved_edge_colours.top = surface->get_pixel(nearest_half(w - 2), 0);
    paint_strip(*surface, 0, 0, w, 1, kOutlineColour);
}

void Outline::remove_outline(Hwnd& picked_hwnd) {
    // The current rectangle is read afresh, so a window that moved or was
    // resized since it was framed is unframed at its new size.
    const std::unique_ptr<DrawSurface> surface = windows_.window_surface(picked_hwnd);
    windows_.get_window_rect(picked_hwnd, outline_rect);
    const auto [w, h] = frame_size(outline_rect);

    paint_strip(*surface, 0, 0, 1, h, saved_edge_colours.left);
    paint_strip(*surface, 0, h - 1, w + 1, h, saved_edge_colours.bottom);
    // Unlike drawing, the right column includes its top corner, and the top
    // row starts one further left (x = W - 2) and runs to x = -1, outside.
    paint_strip(*surface, w - 1, 0, w, h, saved_edge_colours.right);
    paint_strip(*surface, -1, 0, w - 1, 1, saved_edge_colours.top);
}

void Outline::forget_outline() {
    if (outlined_window == 0) {
        return;
    }
    remove_outline(outlined_window);
    outlined_window = 0;
}

}  // namespace wl::capture
