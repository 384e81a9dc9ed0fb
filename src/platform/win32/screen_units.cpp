// The screen's resolution, read once when the host starts.
#include "platform/win32/screen_units.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

ScreenUnits::ScreenUnits() {
    const WindowDc screen(nullptr, WindowDc::Area::Client);
    if (screen.get() == nullptr)
        throw_last_error("GetDC", "cannot read the screen resolution");
    const int dpi_x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpi_y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (dpi_x <= 0)
        throw_last_error("GetDeviceCaps", "cannot read the screen resolution");
    dpi_y_ = dpi_y > 0 ? dpi_y : dpi_x;
    tpp_x_ = 1440.0 / dpi_x;
    tpp_y_ = 1440.0 / dpi_y_;
}

int ScreenUnits::font_height(int points) const {
    return -::MulDiv(points, dpi_y_, 72);
}

}  // namespace wl::win32
