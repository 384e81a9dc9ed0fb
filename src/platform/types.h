// Plain value types shared by the logic and every platform implementation.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace wl {

// A window of the window system. 0 means "none". Handles are opaque: they are
// only ever tested for zero or compared for equality, never ordered or signed.
using Hwnd = std::uint64_t;
using MenuHandle = std::uint64_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// 0x00BBGGRR, red in the low byte (the window system's COLORREF layout).
using Colour = std::uint32_t;
constexpr Colour kInvalidColour = 0xFFFFFFFFu;  // what a pixel read outside a window gives
constexpr Colour rgb(unsigned r, unsigned g, unsigned b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// GetWindow relations used by the tree walk.
enum class WindowRelation { Child = 5, Next = 2 };

// An error raised to a caller, carrying what the user interface layer's error
// object carries: a number, where it arose and what it means.
class AppError : public std::runtime_error {
  public:
    AppError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}
    std::int32_t number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

  private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// Message box flags and results (the window system's values).
namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconStop = 0x10;
constexpr unsigned kIconInformation = 0x40;
constexpr int kResultOk = 1;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;
}  // namespace mb

}  // namespace wl
