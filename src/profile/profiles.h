// Where profiles live and how the main window lists, creates and opens them.
#pragma once

#include <string>

#include "platform/control.h"
#include "platform/file_system.h"

namespace wl {

inline constexpr const char* kProfileSection = "WindowTitles";
inline constexpr const char* kCountKey = "Num_Windows";
inline constexpr const char* kEntryKeyPrefix = "Title";
// The optional keys of entry n beside Title<n>: a piece of the box's message
// and the file name of the program that owns it.
inline constexpr const char* kTextKeyPrefix = "Text";
inline constexpr const char* kProgramKeyPrefix = "Program";
inline constexpr const char* kDefaultProfileName = "default_wl.ini";

// The selected profile: the folder, a separator unless the folder is a drive
// root (whose path already ends in one), then the name.
std::string profile_path(const std::string& folder, char separator, const std::string& name);

// The default profile's path and the editor's command line always insert the
// separator; at a drive root the doubled separator resolves to the same file.
std::string default_profile_path(const std::string& folder, char separator);
std::string edit_command_line(const std::string& folder, char separator, const std::string& name);

// Points File1 at the program's folder and, when it lists any profile,
// refills Combo1 with the names and selects the first one.
void combo_refresh(FileSystem& files, Control& File1, Control& Combo1);

// Makes the default profile empty unless it exists already.
void create_default_profile(FileSystem& files);

}  // namespace wl
