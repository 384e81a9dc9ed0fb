// One watch-list entry as a profile stores it, and how "Read ini" takes a
// stored value apart again. "Add" writes with make_entry; "Read ini" loads
// with split_entry; read_back tells "Add" what a load will make of an entry
// before anything is written.
#pragma once

#include <string>

#include "profile/watch_entry.h"

namespace wl {

// The stored value: title, "[" caption "]", "<<" class ">>".
std::string make_entry(const std::string& title, const std::string& caption,
                       const std::string& class_name);

// Splits one stored value, in its padded 256-character read form, into the
// entry. Parts the value does not supply are left as they were; a part the
// value supplies but malformed becomes empty.
void split_entry(const std::string& padded, WatchEntry& entry);

// What a profile read gives back of a stored value: the blanks at its ends
// are not kept, and at most 255 characters come back. The value must hold
// no line break or NUL, which a profile line cannot carry.
std::string as_read_back(const std::string& value);

// The entry "Read ini" loads from a profile holding `entry` as written.
WatchEntry read_back(const std::string& entry);

}  // namespace wl
