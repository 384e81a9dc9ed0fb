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
inline constexpr const char* kAppTitle = "Wendlock";

// Splits one stored value, in its padded 256-character read form, into the
// entry. Parts the value does not supply are left as they were; a part the
// value supplies but malformed becomes empty.
void split_entry(const std::string& padded, WatchEntry& entry);

// The line List2 shows for an entry.
std::string watch_line(const WatchEntry& entry);

void load_watch_list(Platform& platform, const LoaderControls& controls, WatchList& list);

}  // namespace wl
