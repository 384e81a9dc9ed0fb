// "Read ini": fills the watch list from the selected profile and shows what
// was loaded in List2.
#pragma once

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

void load_watch_list(Platform& platform, const LoaderControls& controls, WatchList& list);

}  // namespace wl
