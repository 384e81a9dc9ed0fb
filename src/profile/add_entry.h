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
// Why "Add" refuses an entry that "Read ini" could never load as it was
// picked: the watcher would never answer it.
inline constexpr const char* kNoCaptionMessage = "Button has no caption. Item has NOT been added!";
inline constexpr const char* kNoClassMessage = "Window has no class. Item has NOT been added!";
inline constexpr const char* kLineBreakMessage =
    "Line break or NUL in text. Item has NOT been added!";
inline constexpr const char* kMarkerMessage =
    "[ ] << >> cannot be stored. Item has NOT been added!";
inline constexpr const char* kTooLongMessage = "Entry is too long. Item has NOT been added!";
inline constexpr const char* kNotReadBackMessage =
    "Entry would not read back. Item has NOT been added!";

// Which of the messages above applies to an entry of these parts (the
// title already trimmed), or nullptr when "Read ini" loads it back as the
// very same title, caption and class.
const char* unanswerable_reason(const std::string& title, const std::string& caption,
                                const std::string& class_name);

void add_captured_window(Platform& platform, const AddControls& controls,
                         const std::string& picked_class);

}  // namespace wl
