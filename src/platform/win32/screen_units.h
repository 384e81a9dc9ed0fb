// The screen's resolution: twips per pixel on each axis, and font heights.
#pragma once

#include <cmath>

namespace wl::win32 {

class ScreenUnits {
  public:
    // Raises Win32Error when the resolution cannot be read.
    ScreenUnits();
    double twips_per_pixel_x() const { return tpp_x_; }
    double twips_per_pixel_y() const { return tpp_y_; }
    int to_pixels_x(int twips) const { return static_cast<int>(std::lround(twips / tpp_x_)); }
    int to_pixels_y(int twips) const { return static_cast<int>(std::lround(twips / tpp_y_)); }
    // The height CreateFontA takes for a font of that many points.
    int font_height(int points) const;

  private:
    double tpp_x_ = 15.0;
    double tpp_y_ = 15.0;
    int dpi_y_ = 96;
};

}  // namespace wl::win32
