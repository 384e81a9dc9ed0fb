// The program's pictures, loaded once from the resources: the handles the
// logic sees, and how each picture is drawn, shown as a pointer or used as a
// window icon.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/types.h"
#include "platform/win32/handles.h"

namespace wl::win32 {

class Images {
  public:
    explicit Images(HINSTANCE instance);
    // The handle the logic sees: the small tray icon (what the shell shows),
    // the large form icon, the finder cursor, the logo bitmap.
    std::uint64_t handle(Picture picture) const;
    // Paints the picture with its top-left corner at (x, y).
    void draw(HDC dc, Picture picture, int x, int y) const;
    // The picture as a mouse pointer (nullptr for the logo and None).
    HCURSOR cursor(Picture picture) const;
    // The picture as a window icon (nullptr for the logo and None).
    HICON icon(Picture picture, bool small) const;

  private:
    UniqueIcon form_large_, form_small_, tray_large_, tray_small_;
    UniqueCursor finder_;
    UniqueBitmap logo_;
};

}  // namespace wl::win32
