#include "monitor/watch_loader.h"

#include <cmath>
#include <cstdio>

#include "platform/host_strings.h"
#include "profile/ini_files.h"
#include "profile/profiles.h"

namespace wl {

namespace {

// The characters of s from 1-based position `start` on, `length` of them;
// fewer when s is shorter. A negative length cannot be taken: it gives the
// empty text instead of stopping the program.
std::string mid(const std::string& s, long long start, long long length) {
    if (length <= 0 || start < 1 || static_cast<std::size_t>(start) > s.size())
        return "";
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length));
}

// 1-based position of the first occurrence, 0 when absent.
long long position(const std::string& s, const char* what) {
    const std::size_t p = s.find(what);
    return p == std::string::npos ? 0 : static_cast<long long>(p) + 1;
}

std::string whole_number(double v) {
    char figure[40];
    std::snprintf(figure, sizeof figure, "%.0f", v);
    return figure;
}

}  // namespace

void split_entry(const std::string& t, WatchEntry& entry) {
    const long long len = static_cast<long long>(t.size());

    // Class: between "<<" and the final ">>". The 5 counts "<<", ">>" and the
    // NUL that ends the stored value inside the padded text.
    if (const long long p = position(t, "<<"); p > 0) {
        const std::string x = mid(t, p, len - p);
        const long long m = static_cast<long long>(text::trim(x).size());
        entry.Win_class = text::trim(mid(x, 3, m - 5));
    }

    // Title: everything before the first "["; button: between it and the
    // first "]".
    if (const long long a = position(t, "["); a > 0) {
        const long long b = position(t, "]");
        entry.Win_title = text::left(t, static_cast<std::size_t>(a - 1));
        const std::string s = mid(t, a, b - a + 1);
        entry.Win_button = text::trim(mid(s, 2, static_cast<long long>(text::trim(s).size()) - 2));
    }
}

std::string watch_line(const WatchEntry& entry) {
    return entry.Win_title + "<-->" + entry.Win_button + "<-->" + entry.Win_class;
}

void load_watch_list(Platform& platform, const LoaderControls& controls, WatchList& list) {
    INIFiles ini(platform.files, platform.host);
    controls.List2.clear();
    ini.set_FileName(profile_path(platform.files.program_folder(), platform.files.separator(),
                                  controls.Combo1.text()));

    const std::string count = ini.ReadINI(kProfileSection, kCountKey, "0");
    controls.Text3.set_text(text::up_to_nul(text::trim(count)));
    if (text::up_to_nul(count) == "0") {
        platform.host.message_box(kNoWindowsMessage, kAppTitle, mb::kOk | mb::kIconInformation);
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
        controls.List2.add_item(watch_line(entry));
    }
    if (whole > WatchList::kEntries) {
        platform.host.message_box(
            "The profile lists " + whole_number(whole) + " windows, but only " +
                std::to_string(WatchList::kEntries) +
                " can be watched: " + whole_number(whole - WatchList::kEntries) + " were left out.",
            kAppTitle, mb::kOk | mb::kIconInformation);
    }
}

}  // namespace wl
