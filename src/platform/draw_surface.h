// A whole-window drawing surface handed out by the window system.
#pragma once

#include "platform/types.h"

namespace wl {

class DrawSurface {
  public:
    DrawSurface() = default;
    virtual ~DrawSurface() = default;
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;
    virtual Colour get_pixel(int x, int y) = 0;  // kInvalidColour outside the window
    // Paints every pixel of [left, right) x [top, bottom) in one call; the
    // part outside the window is ignored.
    virtual void fill(const Rect& area, Colour colour) = 0;
};

}  // namespace wl
