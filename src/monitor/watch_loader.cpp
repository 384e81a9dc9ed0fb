#include "monitor/watch_loader.h"

#include <cmath>
#include <cstdio>

#include "platform/host_strings.h"
#include "profile/entry_format.h"
#include "profile/ini_files.h"
#include "profile/profiles.h"

namespace wl {

namespace {

std::string whole_number(double v) {
    char figure[40];
    std::snprintf(figure, sizeof figure, "%.0f", v);
    return figure;
}

// The stored value of a key that may be missing; a missing key and an empty
// value both give "".
std::string optional_key(INIFiles& ini, const std::string& key) {
    return text::trim(text::up_to_nul(ini.ReadINI(kProfileSection, key, "")));
}

}  // namespace

std::string watch_line(const WatchEntry& entry) {
    return entry.Win_title + "<-->" + entry.Win_button + "<-->" + entry.Win_class;
}

void load_watch_list(Platform& platform, const LoaderControls& controls, WatchList& list,
                     const Tell& tell) {
    INIFiles ini(platform.files, platform.host);
    controls.List2.clear();
    ini.set_FileName(profile_path(platform.files.program_folder(), platform.files.separator(),
                                  controls.Combo1.text()));

    const std::string count = ini.ReadINI(kProfileSection, kCountKey, "0");
    controls.Text3.set_text(text::up_to_nul(text::trim(count)));
    if (text::up_to_nul(count) == "0") {
        tell(kNoWindowsMessage);
        return;
    }

    const double k = text::leading_number(text::up_to_nul(count));
    // The watch list has 20 places: load those, never touch past them, and
    // say once how many stored windows were left out.
    const double whole = std::floor(k);
    const int to_load = whole >= WatchList::kEntries ? WatchList::kEntries
                                                     : (whole > 0 ? static_cast<int>(whole) : 0);
    for (int i = 1; i <= to_load; ++i) {
        const std::string t =
            ini.ReadINI(kProfileSection, kEntryKeyPrefix + std::to_string(i), "NoTitle");
        WatchEntry& entry = list.entry(i);
        split_entry(t, entry);
        // The keys are read with every load of the entry, so a load without
        // them clears what an earlier profile set.
        entry.Win_text = optional_key(ini, kTextKeyPrefix + std::to_string(i));
        entry.Win_program = optional_key(ini, kProgramKeyPrefix + std::to_string(i));
        controls.List2.add_item(watch_line(entry));
    }
    if (whole > WatchList::kEntries) {
        tell("The profile lists " + whole_number(whole) + " windows, but only " +
             std::to_string(WatchList::kEntries) +
             " can be watched: " + whole_number(whole - WatchList::kEntries) + " were left out.");
    }
}

}  // namespace wl
