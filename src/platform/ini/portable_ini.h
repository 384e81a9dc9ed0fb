// A portable reader and writer of INI files that behaves like the Windows
// private-profile calls GetPrivateProfileStringA / WritePrivateProfileStringA.
// Used wherever those calls are not available (the simulated platform).
#pragma once

#include <string>
#include <vector>

namespace wl::ini {

// Returns the value of `key` in `section` of the file at `path` (names
// matched without regard to case or to blanks at their ends; blanks at the
// value's ends and one pair of enclosing quotes removed), cut to
// buffer_chars - 1 characters. When the file, the section or the key is
// missing, or the key's line has no "=", the default instead (same cut).
std::string get_private_profile_string(const std::string& section, const std::string& key,
                                       const std::string& default_value, int buffer_chars,
                                       const std::string& path);

// The names of the keys of `section`, in file order (as the Windows call
// gives them when asked with no key name): lines without "=" and comment
// lines left out. The section name is matched as given, blanks and all.
// Empty when the file or the section is missing, or when the first name
// would be empty.
std::vector<std::string> get_private_profile_keys(const std::string& section,
                                                  const std::string& path);

// Sets `key` in `section` to `value`: creates the file when missing, appends
// a missing section at the end, replaces an existing key's value in place
// (or gives one to its line without "="), otherwise adds the key as the last
// line of its section. Leading blanks of the names and the value are not
// written. The file is
// replaced as a whole (written beside it, then renamed over it), so it is
// always either the old or the new one. False when nothing was written: the
// file is read-only or cannot be read or replaced, or a text holds a line
// break (which the Windows call would write, breaking the profile's lines).
bool write_private_profile_string(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& path);

}  // namespace wl::ini
