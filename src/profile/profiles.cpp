#include "profile/profiles.h"

#include <stdexcept>

#include "platform/host_strings.h"

namespace wl {

std::string profile_path(const std::string& folder, char separator, const std::string& name) {
    const std::string root_end{':', separator};
    if (folder.size() >= 2 && folder.compare(folder.size() - 2, 2, root_end) == 0) {
        return folder + name;
    }
    return folder + separator + name;
}

std::string default_profile_path(const std::string& folder, char separator) {
    return folder + separator + kDefaultProfileName;
}

std::string edit_command_line(const std::string& folder, char separator, const std::string& name) {
    // Unquoted on purpose: Notepad takes the rest of its command line as one
    // file name, spaces included.
    return "notepad " + folder + separator + name;
}

void combo_refresh(FileSystem& files, Control& File1, Control& Combo1) {
    File1.set_folder(files.program_folder());
    const int n = File1.count();
    if (n == 0)
        return;
    Combo1.clear();
    for (int i = 0; i < n; ++i)
        Combo1.add_item(text::trim(File1.item(i)));
    Combo1.set_list_index(0);
}

void create_default_profile(FileSystem& files) {
    const std::string path = default_profile_path(files.program_folder(), files.separator());
    if (files.create_new_file(path))
        return;
    // Refused for an existing profile, which stays as it is; refused for
    // any other reason (a read-only folder), the user is told, and "Create
    // Ini" stays on offer.
    for (const std::string& name : files.list_files(files.program_folder(), "*.ini")) {
        if (text::upper_ascii(name) == text::upper_ascii(kDefaultProfileName))
            return;
    }
    throw std::runtime_error("The profile " + path + " could not be created.");
}

}  // namespace wl
