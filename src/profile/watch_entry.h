// One watch-list entry: the message box a profile names and the button to
// press on it. Profiles store it, the watch list holds twenty of them.
#pragma once

#include <string>

namespace wl {

struct WatchEntry {
    std::string Win_title;   // exactly as loaded, blanks included
    std::string Win_button;  // caption as the window system reports it ("&Yes")
    std::string Win_class;   // "#32770" for standard message boxes
    // Optional keys that tell apart boxes sharing a title; empty means no key.
    std::string Win_text{};     // a piece of the box's message, case ignored
    std::string Win_program{};  // file name of the owning program ("SLDWORKS.exe"), case ignored

    bool has_keys() const { return !Win_text.empty() || !Win_program.empty(); }
};

}  // namespace wl
