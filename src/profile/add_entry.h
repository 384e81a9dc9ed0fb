// "Add": stores the window last picked with the finder tool as a new entry
// of the selected profile, refusing a title the profile already holds.
#pragma once

#include <array>
#include <string>

#include "platform/platform.h"

namespace wl {

// What "Add" reads from and writes to the main window.
struct AddControls {
    Control& Text1;                // picked window's title
    std::array<Control*, 3> Op1;   // which offered button is chosen
    std::array<Control*, 3> cmd1;  // the offered buttons' captions
    Control& Combo1;               // profile name
    Control& Label3;               // status line
};

inline constexpr const char* kDuplicateMessage = "Duplicate entry. Item has NOT been added!";
inline constexpr const char* kNotSavedMessage =
    "The profile could not be written. Item has NOT been added!";
inline constexpr const char* kNoButtonMessage = "Pick a window with a push button first!";

// The entry text: title, "[" caption "]", "<<" class ">>".
std::string make_entry(const std::string& title, const std::string& caption,
                       const std::string& class_name);

void add_captured_window(Platform& platform, const AddControls& controls,
                         const std::string& picked_class);

}  // namespace wl
