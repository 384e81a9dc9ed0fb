// A whole profile through the program on the simulated desktop: start-up
// (which runs "Read ini"), then "Add" of a captured window, then "Read ini"
// again.
//
// Input: the captured title, the chosen button's caption and the class
// (FuzzedDataProvider random-length strings), which option button is chosen
// (the last byte: 0-2, or 3 for none), then the profile's body (the rest).
//
// Checked, beyond "no crash, no hang, no escaping exception":
// - "Add" reads a bounded number of keys, whatever count the profile
//   states (reading keys up to a hand-edited count of billions is a hang);
// - without a chosen button the profile is left byte for byte as it was;
// - an entry key numbered past the count (which "Add" would overwrite or
//   count up to) makes it refuse with a message, the profile left as it was;
// - an entry that "Read ini" would not load back as the same title, caption
//   and class (tried in a scratch profile of its own), or one without a
//   caption or class, is refused with a message and the profile is left
//   byte for byte as it was;
// - otherwise, for a count the test can follow (up to 1,000): the duplicate
//   message shows exactly when a stored title among keys 1..m matches, the
//   count reads back as m - 1 or m accordingly, the new entry reads back,
//   and every other TitleN key reads as before.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fuzz_support.h"
#include "platform/host_strings.h"
#include "platform/ini/portable_ini.h"
#include "platform/sim/sim_platform.h"
#include "profile/add_entry.h"
#include "profile/entry_format.h"

namespace {

namespace fs = std::filesystem;

// Far beyond any real profile (the watch list holds 20), far below a hang.
constexpr long kMaxKeyReads = 20000;
constexpr std::int64_t kFollowedCount = 1000;

using fuzz::fail;
using fuzz::slurp;

const fs::path& folder() {
    static const fs::path path = fuzz::scratch_folder("profile");
    return path;
}

std::string read_key(const std::string& path, const std::string& key) {
    return wl::ini::get_private_profile_string("WindowTitles", key, "\x01", 256, path);
}

std::string title_key(std::int64_t i) {
    return "Title" + std::to_string(i);
}

// What a key written with `value` reads back: up to a NUL, blanks at both
// ends and one pair of enclosing quotes removed, cut to 255 characters.
std::string as_read_back(const std::string& value) {
    std::string v = value.substr(0, value.find('\0'));
    const char* const blanks = " \t\v\f\x1a";
    const auto first = v.find_first_not_of(blanks);
    v = first == std::string::npos ? "" : v.substr(first, v.find_last_not_of(blanks) - first + 1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return v.substr(0, 255);
}

// Whether a profile holding the entry loads it back as these very parts.
bool loads_back(const std::string& title, const std::string& caption,
                const std::string& class_name) {
    const std::string scratch = (folder() / "round_trip.ini").string();
    std::error_code ignored;
    fs::remove(scratch, ignored);
    if (!wl::ini::write_private_profile_string("S", "K", wl::make_entry(title, caption, class_name),
                                               scratch)) {
        return false;
    }
    std::string padded = wl::ini::get_private_profile_string("S", "K", "", 256, scratch);
    padded += '\0';
    padded.resize(256, ' ');
    wl::WatchEntry loaded;
    wl::split_entry(padded, loaded);
    return loaded.Win_title == title && loaded.Win_button == caption &&
           loaded.Win_class == class_name;
}

// Whether the profile holds an entry key ("Title" and a number as digits,
// in any letter case) numbered past the count.
bool holds_entry_past(const std::string& path, std::int64_t n) {
    for (const std::string& key : wl::ini::get_private_profile_keys("WindowTitles", path)) {
        if (key.size() <= 5 || wl::text::upper_ascii(key.substr(0, 5)) != "TITLE") {
            continue;
        }
        const std::string digits = key.substr(5);
        if (digits[0] != '0' && digits.size() <= 18 &&
            digits.find_first_not_of("0123456789") == std::string::npos && std::stoll(digits) > n) {
            return true;
        }
    }
    return false;
}

bool is_refusal(const std::string& message) {
    for (const char* refusal : {wl::kNoCaptionMessage, wl::kNoClassMessage, wl::kLineBreakMessage,
                                wl::kMarkerMessage, wl::kTooLongMessage, wl::kNotReadBackMessage}) {
        if (message == refusal) {
            return true;
        }
    }
    return false;
}

// The count "Add" starts from, as it reads it.
std::int64_t stored_count(const std::string& path) {
    const std::string text =
        wl::ini::get_private_profile_string("WindowTitles", "Num_Windows", "0", 256, path);
    const double n = wl::text::leading_number(text);
    if (!(n > 0)) {
        return 0;
    }
    return n > 1e15 ? static_cast<std::int64_t>(1e15) : static_cast<std::int64_t>(n);
}

// After an "Add" of an entry that loads back: the duplicate message shows
// exactly when a stored title among keys 1..m matches, otherwise the added
// message; the count reads back as before or as m accordingly, the new
// entry reads back, and every other TitleN key reads as before.
void check_stored(wl::Form1& form, const std::string& path, const std::string& count_before,
                  const std::vector<std::string>& titles_before, std::int64_t m,
                  const std::string& entry, const std::string& title) {
    bool duplicate = false;
    if (m > 1) {
        for (const std::string& e : titles_before) {
            const auto bracket = e.find('[');
            if (bracket != std::string::npos && wl::text::trim(e.substr(0, bracket)) == title) {
                duplicate = true;
            }
        }
    }
    const bool says_duplicate = form.Label3->text() == wl::kDuplicateMessage;
    if (duplicate != says_duplicate) {
        fail(duplicate ? "a duplicate was added" : "a new title was refused as a duplicate");
    }
    if (!duplicate && form.Label3->text() != wl::kAddedMessage) {
        fail("a stored entry was reported as [" + form.Label3->text() + "]");
    }
    // The count is put back when nothing was added.
    const std::string count = read_key(path, "Num_Windows");
    if (count != (duplicate ? count_before : std::to_string(m))) {
        fail("count reads [" + count + "] after \"Add\"");
    }
    for (std::int64_t i = 1; i <= m; ++i) {
        const std::string now = read_key(path, title_key(i));
        if (i == m && !duplicate) {
            if (now != as_read_back(entry)) {
                fail("new entry reads back [" + now + "]");
            }
        } else if (now != titles_before[static_cast<std::size_t>(i - 1)]) {
            fail(title_key(i) + " changed from [" + titles_before[static_cast<std::size_t>(i - 1)] +
                 "] to [" + now + "]");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string title = input.ConsumeRandomLengthString(300);
    const std::string caption = input.ConsumeRandomLengthString(100);
    const std::string class_name = input.ConsumeRandomLengthString(100);
    const int option = input.ConsumeIntegralInRange<int>(0, 3);
    const std::string body = input.ConsumeRemainingBytesAsString();

    const fs::path file = folder() / "default_wl.ini";
    const std::string path = file.string();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << body;

    wl::sim::SimWorld world(folder().string());
    long key_reads = 0;
    world.log.on_call = [&key_reads](const std::string& call) {
        if (call.rfind("GetPrivateProfileStringA(", 0) == 0 && ++key_reads > kMaxKeyReads) {
            fail("more than 20,000 key reads: a runaway loop over the stored count");
        }
    };
    wl::Platform platform = world.platform();
    wl::Form1 form(platform);
    form.start();
    world.desktop.do_events();
    world.log.clear();

    // What the profile holds before "Add", for the keys it will compare.
    const std::int64_t n = stored_count(path);
    const std::int64_t m = n + 1;
    const bool followed = m <= kFollowedCount;
    std::vector<std::string> titles_before;
    if (followed) {
        for (std::int64_t i = 1; i <= m; ++i) {
            titles_before.push_back(read_key(path, title_key(i)));
        }
    }

    const bool past_count = holds_entry_past(path, n);
    const std::string count_before = read_key(path, "Num_Windows");
    form.finder().picked_title = title;
    for (int k = 0; k < 3; ++k) {
        form.cmd1[k]->set_text(k == option ? caption : "other");
        form.cmd1[k]->set_visible(true);
        form.Op1[k]->set_visible(true);
        form.Op1[k]->set_value(k == option);
    }
    form.finder().picked_class = class_name;
    form.Label3->set_text("");
    form.Command3_Click();

    if (option == 3) {
        if (slurp(file) != body) {
            fail("\"Add\" without a chosen button changed the profile");
        }
    } else {
        const bool answerable =
            !caption.empty() && !class_name.empty() && loads_back(title, caption, class_name);
        if (is_refusal(form.Label3->text()) == answerable) {
            fail(answerable ? "an entry that loads back was refused"
                            : "an entry that cannot load back was not refused");
        }
        if (answerable && past_count != (form.Label3->text() == wl::kPastCountMessage)) {
            fail(past_count ? "an entry past the count was not respected"
                            : "refused for an entry past the count that is not there");
        }
        if ((!answerable || past_count) && slurp(file) != body) {
            fail("a refused entry changed the profile");
        }
        if (answerable && !past_count && followed) {
            check_stored(form, path, count_before, titles_before, m,
                         wl::make_entry(title, caption, class_name), wl::text::trim(title));
        }
    }

    // The next start-up's load of what "Add" left.
    form.Command5_Click();
    world.desktop.do_events();
    world.log.on_call = nullptr;
    return 0;
}
