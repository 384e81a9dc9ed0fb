// Faults from outside: windows that vanish while the program works on them,
// a target that stops answering, profiles that cannot be written, that hold
// megabytes of garbage, that are edited by hand in the middle of an "Add" or
// whose writer is killed, and counts far beyond any real profile.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "capture/outline.h"
#include "monitor/watcher.h"
#include "platform/handler_guard.h"
#include "platform/ini/portable_ini.h"
#include "profile/add_entry.h"

namespace wl::testing {
namespace {

namespace fs = std::filesystem;

// Runs `action` once, right after the first logged call that starts with
// `prefix` (the call has been made, its effect not yet computed).
void at_call(sim::CallLog& log, const std::string& prefix, std::function<void()> action) {
    auto done = std::make_shared<bool>(false);
    log.on_call = [prefix, action = std::move(action), done](const std::string& call) {
        if (!*done && call.rfind(prefix, 0) == 0) {
            *done = true;
            action();
        }
    };
}

std::vector<std::string> dir_names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Whether permission bits stop this user (root passes them all; Windows
// ignores the read-only attribute of a folder).
bool permissions_enforced(const fs::path& read_only_folder) {
    std::ofstream probe(read_only_folder / "probe");
    const bool stopped = !probe;
    probe.close();
    std::error_code ignored;
    fs::remove(read_only_folder / "probe", ignored);
    return stopped;
}

// --- Windows that vanish in the middle of an operation ----------------------

class VanishingWindows : public AppTest {
  protected:
    VanishingWindows() { form = std::make_unique<Form1>(platform); }

    // A message box with a group box of two check boxes above its buttons,
    // as the walk meets it.
    struct Dialog {
        Hwnd box, group, keep, drop, ok, cancel, text;
    };
    Dialog dialog() {
        auto& d = world.desktop;
        const Rect r{1000, 600, 1010, 610};
        Dialog g{};
        g.box = d.add_window("#32770", "Save changes?", r);
        g.group = d.add_window("Button", "Options", r, g.box);
        g.keep = d.add_window("Button", "&Keep", r, g.group);
        g.drop = d.add_window("Button", "&Drop", r, g.group);
        g.ok = d.add_window("Button", "OK", r, g.box);
        g.cancel = d.add_window("Button", "Cancel", r, g.box);
        g.text = d.add_window("Static", "Save changes?", r, g.box);
        return g;
    }
};

TEST_F(VanishingWindows, TreeWalkStopsEarlyAtTheLevelOfAWindowThatGoes) {
    struct Case {
        const char* name;
        const char* call;                 // "text" (GetWindowTextA) or "child" (GetWindow 5)
        Hwnd Dialog::*at;                 // the window whose call triggers
        Hwnd Dialog::*gone;               // the window destroyed then
        std::vector<std::string> listed;  // List1 afterwards
        int buttons;                      // push buttons counted
    };
    const Case cases[] = {
        {"a later sibling goes before it is reached",
         "text",
         &Dialog::keep,
         &Dialog::drop,
         {"&Keep\tButton", "Options\tButton", "OK\tButton", "Cancel\tButton",
          "Save changes?\tStatic"},
         4},
        {"the window being read goes: its later siblings are lost with it",
         "text",
         &Dialog::keep,
         &Dialog::keep,
         {"Options\tButton", "OK\tButton", "Cancel\tButton", "Save changes?\tStatic"},
         3},
        {"its parent goes: the rest of the parent's level is lost too",
         "text",
         &Dialog::keep,
         &Dialog::group,
         {},
         0},
        {"the picked window goes: the walk ends",
         "text",
         &Dialog::ok,
         &Dialog::box,
         {"&Keep\tButton", "&Drop\tButton", "Options\tButton"},
         3},
        {"a window goes as the walk descends into it",
         "child",
         &Dialog::group,
         &Dialog::group,
         {},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Dialog g = dialog();
        form->List1->clear();
        form->finder().tree_walk().button_count = 0;
        const std::string prefix = std::string(c.call) == "text"
                                       ? "GetWindowTextA(" + sim::hex(g.*c.at) + ","
                                       : "GetWindow(" + sim::hex(g.*c.at) + ",5)";
        const Hwnd gone = g.*c.gone;
        at_call(world.log, prefix, [this, gone] { world.desktop.destroy_window(gone); });
        Hwnd start = g.box;
        form->finder().tree_walk().ListChildWindows(start);
        world.log.on_call = nullptr;
        EXPECT_EQ(items(*form->List1), c.listed);
        EXPECT_EQ(form->finder().tree_walk().button_count, c.buttons);
        world.desktop.destroy_window(g.box);
    }
}

// The picked window closes while the release walks it: the capture ends with
// nothing picked up from it, the pointer is released and no surface is left.
TEST_F(VanishingWindows, PickedWindowThatGoesDuringTheReleaseLeavesAnEmptyCapture) {
    const Dialog g = dialog();
    auto& d = world.desktop;
    d.move_window(g.box, Rect{1000, 600, 1200, 700});
    d.set_cursor(Point{1100, 650});
    auto& finder = form->finder();
    finder.Picture2_MouseDown();
    finder.Picture2_MouseMove();
    ASSERT_EQ(finder.picked_window, g.box);
    at_call(world.log, "GetWindow(" + sim::hex(g.box) + ",5)",
            [&d, &g] { d.destroy_window(g.box); });
    finder.Picture2_MouseUp();
    world.log.on_call = nullptr;

    EXPECT_EQ(finder.picked_window, g.box);
    EXPECT_EQ(finder.picked_class, "");
    EXPECT_EQ(form->Text4->text(), "");
    EXPECT_EQ(form->List1->count(), 0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(form->cmd1[k]->visible());
    }
    EXPECT_FALSE(finder.dragging);
    EXPECT_EQ(d.capture(), 0u);
    EXPECT_EQ(d.surfaces_open(), 0);
    EXPECT_TRUE(form->Label3->visible()) << "not a SolidWorks window: the warning shows";
}

TEST_F(VanishingWindows, OutlineOfAWindowThatGoesPaintsNothingAndReleasesItsSurface) {
    struct Case {
        const char* name;
        const char* call;  // the call after which the window goes
        bool removing;     // during remove_outline instead of draw_outline
        bool rect_read;    // whether the window's rectangle was read before it went
    };
    const Case cases[] = {
        {"gone once its surface is taken", "GetWindowDC(", false, false},
        {"gone as its rectangle is asked for", "GetWindowRect(", false, false},
        {"gone after the first edge", "FillRect(", false, true},
        {"gone as a sample is read", "GetPixel(", false, true},
        {"gone as the frame is being removed", "FillRect(", true, true},
    };
    const Rect earlier{1, 2, 3, 4};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& d = world.desktop;
        const Rect where{200, 200, 300, 250};
        const Hwnd target = d.add_window("#32770", "Target", where);
        capture::Outline outline(d);
        outline.outline_rect = earlier;
        Hwnd h = target;
        if (c.removing) {
            outline.draw_outline(h);
        }
        at_call(world.log, c.call, [&d, target] { d.destroy_window(target); });
        if (c.removing) {
            outline.remove_outline(h);
        } else {
            outline.draw_outline(h);
        }
        world.log.on_call = nullptr;
        EXPECT_FALSE(d.exists(target));
        EXPECT_EQ(outline.outlined_window, target);
        const Rect expected = c.rect_read ? where : earlier;
        EXPECT_EQ(outline.outline_rect.left, expected.left);
        EXPECT_EQ(outline.outline_rect.bottom, expected.bottom);
        EXPECT_EQ(d.surfaces_open(), 0) << "every surface taken is released";
        // Removing the frame of the vanished window afterwards does nothing.
        outline.remove_outline(h);
        EXPECT_EQ(d.surfaces_open(), 0);
        EXPECT_EQ(world.log.calls_starting("GetWindowDC").size(),
                  world.log.calls_starting("ReleaseDC").size());
    }
}

TEST_F(VanishingWindows, BoxThatGoesBeforeItsClickIsSkippedAndLaterEntriesAreAnswered) {
    struct Case {
        const char* name;
        std::string call;  // "find_button" / "click"
        bool first_box_goes;
        bool second_box_goes;
        bool first_click_opens_third;
        std::vector<std::string> answered;  // "first", "second", "third"
    };
    const Case cases[] = {
        {"first box goes between its lookup and its button's",
         "find_button",
         true,
         false,
         false,
         {"second"}},
        {"first box goes as its button is clicked", "click", true, false, false, {"second"}},
        {"second box goes as the first is clicked", "click", false, true, false, {"first"}},
        {"answering the first opens a listed box: answered in the same tick",
         "",
         false,
         false,
         true,
         {"first", "second", "third"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& d = world.desktop;
        WatchList list;
        list.entry(1) = WatchEntry{"Close Document", "&No", "#32770"};
        list.entry(2) = WatchEntry{"Rebuild Warnings", "OK", "#32770"};
        list.entry(3) = WatchEntry{"Also Save?", "&Yes", "#32770"};
        Watcher watcher(d, d, list);
        const Hwnd first = d.open_message_box("Close Document", {"&Yes", "&No"});
        const Hwnd second = d.open_message_box("Rebuild Warnings", {"OK"});
        Hwnd third = 0;
        const Hwnd first_no = d.find_window_ex(first, 0, "Button", "&No");
        if (c.first_click_opens_third) {
            d.window(first_no).on_click = [&d, &third] {
                third = d.open_message_box("Also Save?", {"&Yes", "&No"});
            };
        }
        const Hwnd victim = c.first_box_goes ? first : second;
        if (c.call == "find_button") {
            at_call(world.log, "FindWindowExA(" + sim::hex(first) + ",",
                    [&d, victim] { d.destroy_window(victim); });
        } else if (c.call == "click") {
            at_call(world.log, "BM_CLICK(" + sim::hex(first_no) + ")",
                    [&d, victim] { d.destroy_window(victim); });
        }
        world.log.clear();
        watcher.Monitor_timer_Timer();
        world.log.on_call = nullptr;
        EXPECT_EQ(watcher.Watch_slot, 21) << "the tick visits every entry";
        std::vector<std::string> answered;
        if (d.message_box_answer(first)) {
            answered.push_back("first");
        }
        if (d.message_box_answer(second)) {
            answered.push_back("second");
        }
        if (third != 0 && d.message_box_answer(third)) {
            answered.push_back("third");
        }
        EXPECT_EQ(answered, c.answered);
        for (const Hwnd h : {first, second, third}) {
            d.destroy_window(h);
        }
    }
}

// A box whose button stops answering: the click gives up, the tick goes on to
// the other entries, and every later tick tries again until it answers.
TEST_F(AppTest, WatcherKeepsTickingPastATargetThatStopsAnswering) {
    folder.write("default_wl.ini", profile_text({"[WindowTitles]", "Num_Windows=2",
                                                 "Title1=Close Document[&No]<<#32770>>",
                                                 "Title2=Rebuild Warnings[OK]<<#32770>>"}));
    start();
    click("Command2");  // monitoring on
    auto& d = desktop();
    const Hwnd hung_box = d.open_message_box("Close Document", {"&Yes", "&No"});
    const Hwnd hung_button = d.find_window_ex(hung_box, 0, "Button", "&No");
    d.set_hung(hung_button, true);
    world.log.clear();
    d.advance(55 * 5);

    EXPECT_FALSE(d.message_box_answer(hung_box));
    EXPECT_EQ(world.log.calls_starting("BM_CLICK(" + sim::hex(hung_button) + ")").size(), 5u);
    EXPECT_EQ(world.log.calls_starting("FindWindowA").size(), 5u * 20u);
    const Hwnd other = d.open_message_box("Rebuild Warnings", {"OK"});
    d.advance(55);
    EXPECT_EQ(d.message_box_answer(other), "OK") << "the other entries are still answered";

    d.set_hung(hung_button, false);
    d.advance(55);
    EXPECT_EQ(d.message_box_answer(hung_box), "&No");
}

// --- Profiles that cannot be written ----------------------------------------

class ProfileFaults : public AppTest {
  protected:
    static constexpr const char* kProfile = "default_wl.ini";
    std::string two_entries() const {
        return profile_text({"[WindowTitles]", "Num_Windows=2",
                             "Title1=Save changes?[&No]<<#32770>>",
                             "Title2=Rebuild Warnings[OK]<<#32770>>"});
    }
    // What the finder and the walk leave after picking a box.
    void picked(const std::string& title, const std::string& caption,
                const std::string& class_name = "#32770") {
        form->finder().picked_title = title;
        form->finder().picked_class = class_name;
        form->cmd1[0]->set_text(caption);
        form->cmd1[0]->set_visible(true);
        form->Op1[0]->set_visible(true);
        form->Op1[0]->set_value(true);
    }
    std::string key(const std::string& name) {
        return ini::get_private_profile_string("WindowTitles", name, "(missing)", 256,
                                               folder.file(kProfile));
    }
    std::string profile() const { return folder.read(kProfile); }
    ~ProfileFaults() override {
        std::error_code ignored;
        fs::permissions(folder.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(folder.path() / kProfile, fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::add, ignored);
    }
};

// A read-only profile: every write is refused, so nothing is lost, and "Add"
// says that its entry was not stored. A duplicate is still reported as such.
// Whatever escapes the program's work ends in one box of its own text; a
// box that cannot be shown changes nothing; the end of the program is no
// error and passes on to the host.
TEST(HandlerGuard, TellsWhatEscapesAndLetsTheEndPass) {
    struct Case {
        const char* name;
        std::function<void()> work;
        std::string told;
    };
    const Case cases[] = {
        {"AppError", [] { throw AppError(53, "x", "File not found"); },
         "Run-time error '53':\r\n\r\nFile not found"},
        {"std::exception", [] { throw std::runtime_error("no window"); },
         "Run-time error:\r\n\r\nno window"},
        {"anything else", [] { throw 42; }, "Run-time error:\r\n\r\nUnknown error"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> told;
        EXPECT_FALSE(run_guarded(c.work, [&](const std::string& text) { told.push_back(text); }))
            << c.name;
        EXPECT_EQ(told, std::vector<std::string>{c.told}) << c.name;
    }
    const auto no_box = [](const std::string&) { throw std::runtime_error("no box"); };
    EXPECT_FALSE(run_guarded([] { throw 42; }, no_box));
    EXPECT_TRUE(run_guarded([] {}, no_box));
    EXPECT_THROW(run_guarded([] { throw ProgramEnded{}; }, no_box), ProgramEnded);
}

TEST_F(ProfileFaults, ReadOnlyProfileKeepsEveryByteAndAddSaysNothingWasAdded) {
    folder.write(kProfile, two_entries());
    fs::permissions(folder.path() / kProfile,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    start();
    EXPECT_EQ(form->List2->count(), 2);

    picked("Close Document", "&No");
    click("Command3");
    EXPECT_EQ(profile(), two_entries());
    EXPECT_TRUE(form->Label3->visible());
    EXPECT_EQ(form->Label3->text(), kNotSavedMessage);

    picked("Save changes?", "&Yes");
    click("Command3");
    EXPECT_EQ(profile(), two_entries());
    EXPECT_EQ(form->Label3->text(), kDuplicateMessage);

    click("Command5");
    EXPECT_EQ(items(*form->List2), (std::vector<std::string>{"Save changes?<-->&No<-->#32770",
                                                             "Rebuild Warnings<-->OK<-->#32770"}));
    EXPECT_EQ(dir_names(folder.path()), std::vector<std::string>{kProfile});
}

// A captured caption or title may hold a line break (multi-line buttons and
// static texts exist). Written as it is, it would split the entry's line and
// plant lines of the window's choosing in the profile; the writer refuses
// it, so the profile keeps its lines, "Add" puts its count back and says
// that nothing was added.
TEST_F(ProfileFaults, LineBreakInACaptureCannotPlantLinesInTheProfile) {
    folder.write(kProfile, two_entries());
    start();
    picked("Close Document", "&Save\r\n[Evil]\r\nNum_Windows=0");
    click("Command3");
    EXPECT_EQ(profile(), two_entries());
    EXPECT_TRUE(form->Label3->visible());
    EXPECT_EQ(form->Label3->text(), kLineBreakMessage);
    click("Command5");
    EXPECT_EQ(form->List2->count(), 2);
}

TEST_F(ProfileFaults, ReadOnlyFolderKeepsTheProfileAndLeavesNoTemporaryFile) {
    folder.write(kProfile, two_entries());
    start();
    fs::permissions(folder.path(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (!permissions_enforced(folder.path())) {
        GTEST_SKIP() << "a read-only folder cannot be made here: root passes permission bits, "
                        "and Windows ignores the read-only attribute of a folder";
    }
    picked("Close Document", "&No");
    click("Command3");
    EXPECT_EQ(profile(), two_entries());
    EXPECT_EQ(form->Label3->text(), kNotSavedMessage);
    EXPECT_EQ(dir_names(folder.path()), std::vector<std::string>{kProfile});
}

// Megabytes of binary garbage, alone or around a real section: "Read ini"
// and "Add" finish, the entries that are there load, the new one is stored
// and reads back, and the stored ones read as before.
class GarbageProfile : public ProfileFaults, public ::testing::WithParamInterface<bool> {};

TEST_P(GarbageProfile, IsLoadedAndAddedToWithoutHarm) {
    const bool with_section = GetParam();
    std::mt19937 random(20240611);
    std::string garbage(2 << 20, '\0');
    for (char& ch : garbage) {
        ch = static_cast<char>(random() & 0xFF);
    }
    if (with_section) {
        garbage.insert(garbage.size() / 2, "\r\n" + two_entries());
    }
    folder.write(kProfile, garbage);
    start();
    EXPECT_EQ(form->List2->count(), with_section ? 2 : 0);
    EXPECT_EQ(desktop().message_boxes().size(), with_section ? 0u : 1u)
        << "only the note that nothing is set up, never an error";

    picked("Close Document", "&No");
    click("Command3");
    EXPECT_EQ(key("Num_Windows"), with_section ? "3" : "1");
    EXPECT_EQ(key(with_section ? "Title3" : "Title1"), "Close Document[&No]<<#32770>>");
    if (with_section) {
        EXPECT_EQ(key("Title1"), "Save changes?[&No]<<#32770>>");
        EXPECT_EQ(key("Title2"), "Rebuild Warnings[OK]<<#32770>>");
    }
    EXPECT_GT(profile().size(), garbage.size()) << "the garbage is kept";
    EXPECT_EQ(desktop().message_boxes().size(), with_section ? 0u : 1u);
    EXPECT_EQ(form->Label3->text(), kAddedMessage);
}

INSTANTIATE_TEST_SUITE_P(Profiles, GarbageProfile, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "RealSectionInTheMiddle" : "GarbageAlone";
                         });

// The user saves the profile from the editor while "Add" runs. Each key
// access is a whole read or a whole replacement, so the user's edit is never
// half-seen and everything "Add" does not write survives. The count "Add"
// read before the edit decides the new key's number.
TEST_F(ProfileFaults, HandEditInTheMiddleOfAnAddKeepsTheEdit) {
    const std::string before =
        profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=Save changes?[&No]<<#32770>>"});
    const std::string edited =
        profile_text({"; edited by hand", "[WindowTitles]", "Num_Windows=2",
                      "Title1=Save changes?[&No]<<#32770>>", "Title2=Added by hand[OK]<<#32770>>",
                      "[Notes]", "who=me"});
    const std::string added = "Rebuild Warnings[&Yes]<<#32770>>";
    struct Case {
        const char* name;
        std::string at;  // the call of "Add" after which the file changes
        bool deleted;    // the user deleted the profile instead
        std::string after;
    };
    const Case cases[] = {
        {"saved before the count is read", "GetPrivateProfileStringA(WindowTitles,Num_Windows",
         false,
         profile_text({"; edited by hand", "[WindowTitles]", "Num_Windows=3",
                       "Title1=Save changes?[&No]<<#32770>>", "Title2=Added by hand[OK]<<#32770>>",
                       "Title3=" + added, "[Notes]", "who=me"})},
        // The count was read as 1 before the save, so the new entry is number
        // 2 and replaces the entry the user added by hand under that number.
        {"saved between reading and writing the count",
         "WritePrivateProfileStringA(WindowTitles,Num_Windows", false,
         profile_text({"; edited by hand", "[WindowTitles]", "Num_Windows=2",
                       "Title1=Save changes?[&No]<<#32770>>", "Title2=" + added, "[Notes]",
                       "who=me"})},
        {"deleted between reading and writing the count",
         "WritePrivateProfileStringA(WindowTitles,Num_Windows", true,
         profile_text({"[WindowTitles]", "Num_Windows=2", "Title2=" + added})},
    };
    folder.write(kProfile, before);
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.write(kProfile, before);
        picked("Rebuild Warnings", "&Yes");
        const fs::path path = folder.path() / kProfile;
        at_call(world.log, c.at, [&] {
            if (c.deleted) {
                fs::remove(path);
            } else {
                // As editors save: a new file renamed over the old one.
                folder.write("edit.tmp", edited);
                fs::rename(folder.path() / "edit.tmp", path);
            }
        });
        click("Command3");
        world.log.on_call = nullptr;
        EXPECT_EQ(profile(), c.after);
        EXPECT_EQ(form->Label3->text(), kAddedMessage);
    }
}

// The portable writer replaces the profile as a whole, so a writer killed at
// any moment leaves the old or the new profile, never a mix. A killed writer
// may leave its temporary file behind (no "*.ini" name: no profile list
// shows it).
TEST(KilledWriter, ProfileIsTheOldOrTheNewNeverAMix) {
#if defined(_WIN32)
    GTEST_SKIP() << "kills a forked writer in the middle of a write; Windows has no fork()";
#else
    TempFolder folder;
    const std::string path = folder.file("default_wl.ini");
    // Large enough that one write takes a while, so kills land inside writes.
    const auto content = [](char fill) {
        std::string text =
            "[WindowTitles]\r\nNum_Windows=5000\r\nTitle1=" + std::string(200, fill) +
            "[OK]<<#32770>>\r\n";
        for (int i = 2; i <= 5000; ++i) {
            text +=
                "Title" + std::to_string(i) + "=Window " + std::to_string(i) + "[OK]<<#32770>>\r\n";
        }
        return text;
    };
    const std::string old_profile = content('a');
    const std::string new_profile = content('b');
    const std::string old_value = std::string(200, 'a') + "[OK]<<#32770>>";
    const std::string new_value = std::string(200, 'b') + "[OK]<<#32770>>";
    folder.write("default_wl.ini", old_profile);

    const auto write_start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ini::write_private_profile_string("WindowTitles", "Title1", old_value, path));
    const auto write_time = std::chrono::steady_clock::now() - write_start;
    ASSERT_EQ(folder.read("default_wl.ini"), old_profile);

    std::mt19937 random(99);
    int kills = 0;
    int kills_inside_a_replacement = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (kills < 8 ||
           (kills_inside_a_replacement < 2 && std::chrono::steady_clock::now() < deadline)) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            const char go = 1;
            if (write(ready[1], &go, 1) != 1) {
                _exit(2);
            }
            for (bool flip = true;; flip = !flip) {
                ini::write_private_profile_string("WindowTitles", "Title1",
                                                  flip ? new_value : old_value, path);
            }
        }
        close(ready[1]);
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        // Any moment of the first few writes.
        const auto delay = std::chrono::nanoseconds(static_cast<std::int64_t>(
            static_cast<double>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(write_time).count()) *
            3.0 * std::uniform_real_distribution<double>(0.0, 1.0)(random)));
        const auto kill_at = std::chrono::steady_clock::now() + delay;
        while (std::chrono::steady_clock::now() < kill_at) {
        }
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ++kills;

        const std::string now = folder.read("default_wl.ini");
        ASSERT_TRUE(now == old_profile || now == new_profile)
            << "kill " << kills << ": a profile of " << now.size() << " bytes that is neither";
        for (const auto& name : dir_names(folder.path())) {
            if (name != "default_wl.ini") {
                EXPECT_EQ(name.rfind(".wl-", 0), 0u) << name;
                ++kills_inside_a_replacement;
                fs::remove(folder.path() / name);
            }
        }
    }
    EXPECT_GT(kills_inside_a_replacement, 0) << "no kill landed while a replacement was written";
#endif
}

// --- Counts far beyond any real profile -------------------------------------

TEST_F(ProfileFaults, HugeCountLoadsTwentyEntriesAndSaysTheRestWereLeftOut) {
    folder.write(kProfile, profile_text({"[WindowTitles]", "Num_Windows=99999999999",
                                         "Title1=Save changes?[&No]<<#32770>>"}));
    start();
    EXPECT_EQ(form->List2->count(), 20);
    // The count, then Title, Text and Program of each of the 20 entries.
    EXPECT_EQ(world.log.calls_starting("GetPrivateProfileStringA").size(), 1u + 20u * 3u);
    ASSERT_EQ(desktop().message_boxes().size(), 1u);
    EXPECT_NE(desktop().message_boxes()[0].text.find("99999999999"), std::string::npos);
}

// "Add" compares the new title with keys 1 to the stored count plus one. A
// hand-edited count of 99999999999 must not turn that into 10^11 whole-file
// reads (days): only the entry keys the profile holds are read. The guard
// stops a runaway after 10,000 reads instead of letting the test hang.
TEST_F(ProfileFaults, HugeCountAddFinishes) {
    folder.write(kProfile, profile_text({"[WindowTitles]", "Num_Windows=99999999999",
                                         "Title1=Save changes?[&No]<<#32770>>"}));
    start();
    struct Runaway {};
    long reads = 0;
    world.log.on_call = [&reads](const std::string& call) {
        if (call.rfind("GetPrivateProfileStringA", 0) == 0 && ++reads > 10000) {
            throw Runaway{};
        }
    };
    picked("Close Document", "&No");
    bool finished = true;
    try {
        form->Command3_Click();
    } catch (const Runaway&) {
        finished = false;
    }
    world.log.on_call = nullptr;
    ASSERT_TRUE(finished) << "\"Add\" was still reading after 10,000 keys";
    EXPECT_EQ(key("Num_Windows"), "100000000000");
    EXPECT_EQ(key("Title100000000000"), "Close Document[&No]<<#32770>>");
}

}  // namespace
}  // namespace wl::testing
