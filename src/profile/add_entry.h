// "Add": stores the window last picked with the finder tool as a new entry
// of the selected profile, refusing a title the profile already holds.
#pragma once

#include <array>
#include <string>

#include "platform/platform.h"

namespace wl {

// What "Add" reads from and writes to the main window.
struct AddControls {
    std::array<Control*, 3> Op1;   // which offered button is chosen; shown while offered
    std::array<Control*, 3> cmd1;  // the offered buttons' captions
    Control& Combo1;               // profile name
    Control& Label3;               // status line
};

// Said after an entry was stored: the watch list is read at start-up only.
inline constexpr const char* kAddedMessage = "Item has been added. Restart to watch it.";
inline constexpr const char* kDuplicateMessage = "Duplicate entry. Item has NOT been added!";
inline constexpr const char* kNotSavedMessage =
    "The profile could not be written. Item has NOT been added!";
// Nothing is offered when the finder was dropped on a button or on a
// window without buttons; the box itself is picked by its title bar.
inline constexpr const char* kNoButtonMessage = "No button. Drop the finder on the title bar!";
// A number past the count is taken: storing there would overwrite it, and
// counting up to it would switch entries on that the count leaves out.
inline constexpr const char* kPastCountMessage = "Num_Windows too low. Item NOT added!";
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

// Which of the messages above applies to an entry of these parts, or
// nullptr when "Read ini" loads it back as the very same title, caption and
// class.
const char* unanswerable_reason(const std::string& title, const std::string& caption,
                                const std::string& class_name);

// `picked_title`: the picked window's text as the window has it, blanks at
// its ends included.
void add_captured_window(Platform& platform, const AddControls& controls,
                         const std::string& picked_title, const std::string& picked_class);

}  // namespace wl
