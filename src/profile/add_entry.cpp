#include "profile/add_entry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/host_strings.h"
#include "profile/ini_files.h"
#include "profile/profiles.h"

namespace wl {

std::string make_entry(const std::string& title, const std::string& caption,
                       const std::string& class_name) {
    return title + "[" + caption + "]" + "<<" + class_name + ">>";
}

namespace {

// The stored count as a whole number of entries. Counts are written as plain
// digits; whatever else a hand edit left there counts from its leading number.
std::int64_t stored_count(const std::string& value) {
    const double n = text::leading_number(value);
    if (!(n > 0))
        return 0;
    if (n > 1e15)
        return static_cast<std::int64_t>(1e15);
    return static_cast<std::int64_t>(n);
}

// The numbers i in 1..last of the entry keys ("Title" followed by i) that
// the section holds. A key the profile does not hold reads as "0" and can
// never match a title, so the duplicate test need not read it: that keeps a
// hand-edited count of billions from turning "Add" into billions of reads.
std::vector<std::int64_t> stored_entry_numbers(const std::vector<std::string>& keys,
                                               std::int64_t last) {
    const std::string prefix = text::upper_ascii(kEntryKeyPrefix);
    std::vector<std::int64_t> numbers;
    for (const std::string& key : keys) {
        if (key.size() <= prefix.size() ||
            text::upper_ascii(key.substr(0, prefix.size())) != prefix) {
            continue;
        }
        const std::string digits = key.substr(prefix.size());
        if (digits[0] == '0' || digits.size() > 18 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;  // not a name that "Title" and a count written as digits can form
        }
        const std::int64_t i = std::stoll(digits);
        if (i <= last)
            numbers.push_back(i);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// What a read of a stored value gives back: blanks at its ends (spaces,
// tabs, vertical tabs, form feeds and Ctrl-Z, as the profile calls count
// them) are not kept, and at most 255 characters come back.
std::string as_read_back(const std::string& value) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
    };
    std::size_t begin = 0;
    std::size_t end = value.size();
    while (begin < end && blank(value[begin]))
        ++begin;
    while (end > begin && blank(value[end - 1]))
        --end;
    return value.substr(begin, std::min<std::size_t>(end - begin, INIFiles::kBufferChars - 1));
}

// Writes entry number m, then reads it back: a write the system refused (a
// read-only profile or folder, a title with a line break in it) would
// otherwise lose the capture without a word and leave the count one ahead
// of the entries.
void store_entry(INIFiles& writer, INIFiles& reader, Control& Label3, std::int64_t m,
                 const std::string& entry) {
    const std::string key = kEntryKeyPrefix + std::to_string(m);
    writer.WriteINI(kProfileSection, key, entry);
    // The system takes the value up to its first NUL, like any C string.
    if (text::up_to_nul(reader.ReadINI(kProfileSection, key, "")) ==
        as_read_back(text::up_to_nul(entry))) {
        return;
    }
    writer.WriteINI(kProfileSection, kCountKey, std::to_string(m - 1));
    Label3.set_visible(true);
    Label3.set_text(kNotSavedMessage);
}

}  // namespace

void add_captured_window(Platform& platform, const AddControls& controls,
                         const std::string& picked_class) {
    INIFiles writer(platform.files, platform.host);
    INIFiles reader(platform.files, platform.host);
    const std::string path = profile_path(platform.files.program_folder(),
                                          platform.files.separator(), controls.Combo1.text());
    writer.set_FileName(path);
    reader.set_FileName(path);

    int k = -1;
    for (int i = 0; i < 3; ++i) {
        if (controls.Op1[i]->value())
            k = i;
    }
    if (k == -1) {
        // Nothing was offered to press: an entry without a button could never
        // be answered, so store nothing and say what is missing.
        controls.Label3.set_visible(true);
        controls.Label3.set_text(kNoButtonMessage);
        return;
    }

    const std::string title = text::trim(controls.Text1.text());
    const std::string entry = make_entry(title, controls.cmd1[k]->text(), picked_class);

    const std::int64_t n = stored_count(reader.ReadINI(kProfileSection, kCountKey, "0"));
    const std::int64_t m = n + 1;
    // The count is written before the duplicate test and undone after it.
    writer.WriteINI(kProfileSection, kCountKey, std::to_string(m));

    if (m == 1) {
        store_entry(writer, reader, controls.Label3, m, entry);
        return;
    }

    bool duplicate = false;
    for (const std::int64_t i :
         stored_entry_numbers(platform.files.get_private_profile_keys(kProfileSection, path), m)) {
        const std::string e =
            reader.ReadINI(kProfileSection, kEntryKeyPrefix + std::to_string(i), "0");
        const std::size_t bracket = e.find('[');
        if (bracket != std::string::npos && text::trim(e.substr(0, bracket)) == title) {
            duplicate = true;
        }
    }

    if (duplicate) {
        controls.Label3.set_visible(true);
        controls.Label3.set_text(kDuplicateMessage);
        writer.WriteINI(kProfileSection, kCountKey, std::to_string(m - 1));
        return;
    }
    store_entry(writer, reader, controls.Label3, m, entry);
}

}  // namespace wl
