#include "profile/add_entry.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/host_strings.h"
#include "profile/entry_format.h"
#include "profile/ini_files.h"
#include "profile/profiles.h"

namespace wl {

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

// The numbers i of the entry keys ("Title" followed by i) that the section
// holds, in ascending order. A key the profile does not hold reads as "0" and
// can never match a title, so the duplicate test need not read it: that
// keeps a hand-edited count of billions from turning "Add" into billions of
// reads.
std::vector<std::int64_t> stored_entry_numbers(const std::vector<std::string>& keys) {
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
        numbers.push_back(std::stoll(digits));
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

bool holds_marker(const std::string& text) {
    return text.find_first_of("[]") != std::string::npos || text.find("<<") != std::string::npos ||
           text.find(">>") != std::string::npos;
}

}  // namespace

const char* unanswerable_reason(const std::string& title, const std::string& caption,
                                const std::string& class_name) {
    if (caption.empty())
        return kNoCaptionMessage;
    if (class_name.empty())
        return kNoClassMessage;
    const std::string entry = make_entry(title, caption, class_name);
    // A line break would start a line of its own in the profile, and a NUL
    // would end the value early.
    if (entry.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return kLineBreakMessage;
    const WatchEntry loaded = read_back(entry);
    if (loaded.Win_title == title && loaded.Win_button == caption &&
        loaded.Win_class == class_name) {
        return nullptr;
    }
    if (holds_marker(title) || holds_marker(caption))
        return kMarkerMessage;
    if (entry.size() >= INIFiles::kBufferChars)
        return kTooLongMessage;
    return kNotReadBackMessage;
}

namespace {

void tell(Control& Label3, const char* message) {
    Label3.set_visible(true);
    Label3.set_text(message);
}

// Writes entry number m, then reads it back: a write the system refused (a
// read-only profile or folder) would otherwise lose the capture without a
// word and leave the count one ahead of the entries. `count_before` is the
// count as it was read, put back when the entry did not stick.
void store_entry(INIFiles& writer, INIFiles& reader, Control& Label3, std::int64_t m,
                 const std::string& entry, const std::string& count_before) {
    const std::string key = kEntryKeyPrefix + std::to_string(m);
    writer.WriteINI(kProfileSection, key, entry);
    if (text::up_to_nul(reader.ReadINI(kProfileSection, key, "")) == as_read_back(entry)) {
        tell(Label3, kAddedMessage);
        return;
    }
    writer.WriteINI(kProfileSection, kCountKey, count_before);
    tell(Label3, kNotSavedMessage);
}

// The offered button chosen, 0 to 2, or -1 when there is none. A choice
// left from an earlier pick survives a pick that offered nothing, hidden: it
// is no choice.
int chosen_button(const AddControls& controls) {
    int k = -1;
    for (int i = 0; i < 3; ++i) {
        if (controls.Op1[i]->value())
            k = i;
    }
    return k != -1 && controls.Op1[k]->visible() ? k : -1;
}

// Whether one of the stored entries has the title. Blanks at the ends of
// either title do not make it another title.
bool holds_title(INIFiles& reader, const std::vector<std::int64_t>& stored,
                 const std::string& title) {
    const std::string compared = text::trim(title);
    bool duplicate = false;
    for (const std::int64_t i : stored) {
        const std::string e =
            reader.ReadINI(kProfileSection, kEntryKeyPrefix + std::to_string(i), "0");
        const std::size_t bracket = e.find('[');
        if (bracket != std::string::npos && text::trim(e.substr(0, bracket)) == compared) {
            duplicate = true;
        }
    }
    return duplicate;
}

}  // namespace

void add_captured_window(Platform& platform, const AddControls& controls,
                         const std::string& picked_title, const std::string& picked_class) {
    INIFiles writer(platform.files, platform.host);
    INIFiles reader(platform.files, platform.host);
    const std::string path = profile_path(platform.files.program_folder(),
                                          platform.files.separator(), controls.Combo1.text());
    writer.set_FileName(path);
    reader.set_FileName(path);

    // An entry without a button could never be answered: store nothing and
    // say how to pick the box.
    const int k = chosen_button(controls);
    if (k == -1) {
        tell(controls.Label3, kNoButtonMessage);
        return;
    }

    // The title as the window has it: blanks at its end are part of what
    // the watcher must find, and survive the profile's read-back.
    const std::string& title = picked_title;
    const std::string caption = controls.cmd1[k]->text();
    // An entry "Read ini" would load as something else could never be
    // answered: say why and leave the profile alone.
    if (const char* reason = unanswerable_reason(title, caption, picked_class)) {
        tell(controls.Label3, reason);
        return;
    }
    const std::string entry = make_entry(title, caption, picked_class);

    const std::string count_before =
        text::up_to_nul(reader.ReadINI(kProfileSection, kCountKey, "0"));
    const std::int64_t n = stored_count(count_before);
    const std::vector<std::int64_t> stored =
        stored_entry_numbers(platform.files.get_private_profile_keys(kProfileSection, path));
    if (!stored.empty() && stored.back() > n) {
        tell(controls.Label3, kPastCountMessage);
        return;
    }
    const std::int64_t m = n + 1;
    // The count is written before the duplicate test and undone after it.
    writer.WriteINI(kProfileSection, kCountKey, std::to_string(m));

    if (m == 1) {
        store_entry(writer, reader, controls.Label3, m, entry, count_before);
        return;
    }

    if (holds_title(reader, stored, title)) {
        tell(controls.Label3, kDuplicateMessage);
        writer.WriteINI(kProfileSection, kCountKey, count_before);
        return;
    }
    store_entry(writer, reader, controls.Label3, m, entry, count_before);
}

}  // namespace wl
