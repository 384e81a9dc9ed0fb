// "Read ini": fills the watch list from the selected profile and shows what
// was loaded in List2.
#pragma once

#include <functional>
#include <string>

#include "monitor/watch_list.h"
#include "platform/platform.h"

namespace wl {

struct LoaderControls {
    Control& Combo1;  // profile name
    Control& List2;   // one line per loaded window
    Control& Text3;   // stored count
};

inline constexpr const char* kNoWindowsMessage = "There is no windows set up  for control";

// The line List2 shows for an entry.
std::string watch_line(const WatchEntry& entry);

// How "Read ini" tells the user what it found ("Wendlock", OK, an
// information icon): the caller decides whether now or later.
using Tell = std::function<void(const std::string& text)>;

void load_watch_list(Platform& platform, const LoaderControls& controls, WatchList& list,
                     const Tell& tell);

}  // namespace wl
