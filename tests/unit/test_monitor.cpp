// The watch list: loading it from a profile, switching monitoring, and the
// watcher's ticks against message boxes on the simulated desktop.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "monitor/monitor_switch.h"
#include "monitor/watch_loader.h"
#include "monitor/watcher.h"
#include "profile/entry_format.h"
#include "recording_control.h"
#include "recording_sink.h"

namespace wl::testing {
namespace {

std::string padded(const std::string& value) {
    std::string out = value.substr(0, 255) + '\0';
    out.resize(256, ' ');
    return out;
}

// --- Splitting one stored value ---------------------------------------------

TEST(SplitEntry, TakesTitleButtonAndClassByTheMarkers) {
    struct Case {
        std::string value;
        std::string title, button, class_name;
    } cases[] = {
        {"Save changes?[&No]<<#32770>>", "Save changes?", "&No", "#32770"},
        {"Save changes? [ &No ]<< #32770 >>", "Save changes? ", "&No", "#32770"},
        {"Rebuild Warnings[OK]<<#32770>>", "Rebuild Warnings", "OK", "#32770"},
        {"[OK]<<#32770>>", "", "OK", "#32770"},
        {"T[]<<>>", "T", "", ""},
        // Malformed: the parts that cannot be taken come out empty.
        {"T]x[OK<<#32770>>", "T]x", "", "#32770"},
        {"T[OK<<#32770>>", "T", "", "#32770"},
        {"T[OK]<<", "T", "OK", ""},
        {"T[OK]<<x", "T", "OK", ""},
    };
    for (const auto& c : cases) {
        WatchEntry e{"old title", "old button", "old class"};
        split_entry(padded(c.value), e);
        EXPECT_EQ(e.Win_title, c.title) << c.value;
        EXPECT_EQ(e.Win_button, c.button) << c.value;
        EXPECT_EQ(e.Win_class, c.class_name) << c.value;
    }
}

TEST(SplitEntry, PartsTheValueDoesNotSupplyAreKept) {
    WatchEntry e{"old title", "old button", "old class"};
    split_entry(padded("Save changes?[OK]"), e);
    EXPECT_EQ(e.Win_title, "Save changes?");
    EXPECT_EQ(e.Win_button, "OK");
    EXPECT_EQ(e.Win_class, "old class");

    WatchEntry missing{"t", "b", "c"};
    split_entry(padded("NoTitle"), missing);
    EXPECT_EQ(watch_line(missing), "t<-->b<-->c");
}

TEST(SplitEntry, ValueOf255CharactersLosesTheEndOfItsClass) {
    const std::string value = std::string(241, 'T') + "[OK]<<#32770>>";  // 255 characters
    WatchEntry e;
    split_entry(padded(value), e);
    EXPECT_EQ(e.Win_class, "#3277");
}

// --- "Read ini" ----------------------------------------------------------------

class LoadTest : public AppTest {
  protected:
    void profile(std::initializer_list<std::string> lines) {
        folder.write("default_wl.ini", profile_text(lines));
    }
};

TEST_F(LoadTest, LoadsEachEntryAndListsIt) {
    profile({"[WindowTitles]", "Num_Windows=2", "Title1=Save changes?[&No]<<#32770>>",
             "Title2=Rebuild Warnings[OK]<<#32770>>"});
    start();
    EXPECT_EQ(items(*form->List2), (std::vector<std::string>{"Save changes?<-->&No<-->#32770",
                                                             "Rebuild Warnings<-->OK<-->#32770"}));
    EXPECT_EQ(form->Text3->text(), "2");
    EXPECT_EQ(form->Watch_list.entry(2).Win_title, "Rebuild Warnings");
    EXPECT_TRUE(desktop().message_boxes().empty());
}

TEST_F(LoadTest, NoCountOrZeroTellsTheUserOnce) {
    for (auto lines : {std::vector<std::string>{"[WindowTitles]", "Num_Windows=0"},
                       std::vector<std::string>{"[WindowTitles]"}}) {
        std::string text;
        for (const auto& l : lines)
            text += l + "\r\n";
        folder.write("default_wl.ini", text);
        const auto before = desktop().message_boxes().size();
        if (!form) {
            start();
        } else {
            click("Command5");
        }
        ASSERT_EQ(desktop().message_boxes().size(), before + 1);
        const auto& box = desktop().message_boxes().back();
        EXPECT_EQ(box.text, "There is no windows set up  for control");
        EXPECT_EQ(box.caption, "Wendlock");
        EXPECT_EQ(box.flags, mb::kOk | mb::kIconInformation);
        EXPECT_EQ(form->Text3->text(), "0");
        EXPECT_EQ(form->List2->count(), 0);
    }
}

TEST_F(LoadTest, CountIsTakenFromTheLeadingNumber) {
    struct Case {
        std::string count;
        int loaded;
    } cases[] = {{"2.5", 2}, {"2x", 2}, {"abc", 0}, {" 3", 3}, {"-1", 0}};
    profile({"[WindowTitles]", "Num_Windows=1", "Title1=A[OK]<<c>>"});
    start();
    for (const auto& c : cases) {
        profile({"[WindowTitles]", "Num_Windows=" + c.count, "Title1=A[OK]<<c>>",
                 "Title2=B[OK]<<c>>", "Title3=C[OK]<<c>>"});
        click("Command5");
        EXPECT_EQ(form->List2->count(), c.loaded) << c.count;
    }
}

TEST_F(LoadTest, ShorterSecondLoadLeavesHigherEntriesInPlace) {
    profile({"[WindowTitles]", "Num_Windows=3", "Title1=A[OK]<<c>>", "Title2=B[OK]<<c>>",
             "Title3=C[OK]<<c>>", "Text3=piece", "Program3=cad.exe"});
    start();
    profile({"[WindowTitles]", "Num_Windows=1", "Title1=Z[OK]<<c>>"});
    click("Command5");
    EXPECT_EQ(items(*form->List2), std::vector<std::string>{"Z<-->OK<-->c"});
    EXPECT_EQ(form->Watch_list.entry(1).Win_title, "Z");
    EXPECT_EQ(form->Watch_list.entry(3).Win_title, "C");
    EXPECT_EQ(form->Watch_list.entry(3).Win_text, "piece");
    EXPECT_EQ(form->Watch_list.entry(3).Win_program, "cad.exe");
}

TEST_F(LoadTest, MissingTitleKeyShowsTheEntryAsItWas) {
    profile({"[WindowTitles]", "Num_Windows=2", "Title1=A[OK]<<c>>"});
    start();
    EXPECT_EQ(items(*form->List2), (std::vector<std::string>{"A<-->OK<-->c", "<--><-->"}));
}

TEST_F(LoadTest, MoreThanTwentyLoadsTwentyAndSaysHowManyWereLeftOut) {
    std::vector<std::string> lines{"[WindowTitles]", "Num_Windows=23"};
    std::string text = "[WindowTitles]\r\nNum_Windows=23\r\n";
    for (int i = 1; i <= 23; ++i) {
        text += "Title" + std::to_string(i) + "=W" + std::to_string(i) + "[OK]<<c>>\r\n";
    }
    folder.write("default_wl.ini", text);
    start();
    EXPECT_EQ(form->List2->count(), 20);
    EXPECT_EQ(form->Watch_list.entry(20).Win_title, "W20");
    ASSERT_EQ(desktop().message_boxes().size(), 1u);
    EXPECT_NE(desktop().message_boxes()[0].text.find("3 were left out"), std::string::npos);
}

// --- The monitoring switch -----------------------------------------------------

class SwitchTest : public AppTest {
  protected:
    void SetUp() override {
        folder.write("default_wl.ini", "");
        start();
    }
    void expect_state(bool on, const std::string& step) {
        EXPECT_EQ(form->Monitor_timer->enabled(), on) << step;
        EXPECT_EQ(form->Command2->text(), on ? "Disable monitoring" : "Enable monitoring") << step;
        EXPECT_EQ(form->Command2->back_colour(), on ? 8421631u : 8454016u) << step;
        EXPECT_EQ(form->Command1->enabled(), !on) << step;
        EXPECT_EQ(form->Command3->enabled(), !on) << step;
        EXPECT_EQ(form->swenable->value(), !on) << step;
        EXPECT_EQ(form->swenable->text(), "Disable") << step;
    }
};

TEST_F(SwitchTest, ButtonAndTrayItemInAnyMixKeepEverythingInStep) {
    expect_state(false, "start");
    const char* steps[] = {"Command2", "swenable", "swenable", "Command2",
                           "Command2", "Command2", "swenable"};
    bool on = false;
    for (const char* s : steps) {
        click(s);
        on = !on;
        expect_state(on, s);
    }
}

TEST_F(SwitchTest, SwitchingOffEnablesTheButtonsEvenWhenNoProfileExisted) {
    form->Command1->set_enabled(false);
    form->Command2->set_enabled(false);
    form->Command3->set_enabled(false);
    click("swenable");  // on: the tray still switches a disabled button
    EXPECT_EQ(form->Command2->text(), "Disable monitoring");
    click("swenable");
    EXPECT_TRUE(form->Command1->enabled());
    EXPECT_TRUE(form->Command3->enabled());
    EXPECT_FALSE(form->Command2->enabled());
}

// Each handler sets the controls in an order of its own: the button restyles
// itself, then starts or stops the timer and marks the tray item last; the
// tray item marks itself, then starts or stops the timer first.
TEST(SwitchOrder, EachHandlerSetsTheControlsInItsOwnOrder) {
    struct Case {
        const char* handler;  // "Command2" or "swenable"
        bool monitoring_before;
        std::vector<std::string> calls;
    } cases[] = {
        {"Command2",
         false,
         {"Command2.set_text(Disable monitoring)", "Command2.set_back_colour(8421631)",
          "Command1.set_enabled(false)", "Command3.set_enabled(false)",
          "Monitor_timer.set_enabled(true)", "swenable.set_value(false)"}},
        {"Command2",
         true,
         {"Command2.set_text(Enable monitoring)", "Command2.set_back_colour(8454016)",
          "Command1.set_enabled(true)", "Command3.set_enabled(true)",
          "Monitor_timer.set_enabled(false)", "swenable.set_value(true)"}},
        {"swenable",
         false,
         {"swenable.set_value(false)", "Monitor_timer.set_enabled(true)",
          "Command2.set_text(Disable monitoring)", "Command2.set_back_colour(8421631)",
          "Command1.set_enabled(false)", "Command3.set_enabled(false)"}},
        {"swenable",
         true,
         {"swenable.set_value(true)", "Monitor_timer.set_enabled(false)",
          "Command2.set_text(Enable monitoring)", "Command2.set_back_colour(8454016)",
          "Command1.set_enabled(true)", "Command3.set_enabled(true)"}},
    };
    for (const auto& c : cases) {
        const std::string step = std::string(c.handler) + (c.monitoring_before ? " off" : " on");
        std::vector<std::string> log;
        RecordingControl command2("Command2", log), command1("Command1", log),
            command3("Command3", log), timer("Monitor_timer", log), tray("swenable", log);
        const bool on = c.monitoring_before;
        command2.preset(on ? kDisableCaption : kEnableCaption, true, on ? kOnColour : kOffColour,
                        false);
        command1.preset("Edit ini", !on, 0, false);
        command3.preset("Add", !on, 0, false);
        timer.preset("", on, 0, false);
        tray.preset("Disable", true, 0, !on);
        const SwitchControls controls{command2, command1, command3, timer, tray};
        if (std::string(c.handler) == "Command2") {
            Command2_Click(controls);
        } else {
            swenable_Click(controls);
        }
        EXPECT_EQ(log, c.calls) << step;
    }
}

// --- The watcher ---------------------------------------------------------------

class WatcherTest : public ::testing::Test {
  protected:
    sim::CallLog log;
    sim::SimDesktop d{log};
    WatchList list;
    Watcher watcher{d, d, list};

    void watch(int n, std::string title, std::string button, std::string cls = "#32770") {
        list.entry(n) = WatchEntry{std::move(title), std::move(button), std::move(cls)};
    }
};

TEST_F(WatcherTest, NothingLoadedClicksNothingButVisitsAllTwenty) {
    d.open_message_box("Save", {"OK"});
    watcher.Monitor_timer_Timer();
    EXPECT_EQ(log.calls_starting("FindWindowA").size(), 20u);
    EXPECT_EQ(log.calls_starting("FindWindowExA").size(), 20u);
    EXPECT_TRUE(log.calls_starting("BM_CLICK").empty());
    EXPECT_EQ(watcher.Watch_slot, 21);
}

TEST_F(WatcherTest, AnswersWithTheStoredCaptionOnly) {
    struct Case {
        std::vector<std::string> buttons;
        std::string stored_button, stored_class;
        std::optional<std::string> answer;
    } cases[] = {
        {{"&Yes", "&No"}, "&No", "#32770", "&No"},
        {{"&Yes", "&No"}, "&no", "#32770", "&No"},  // the window system ignores case
        {{"&Yes", "&No"}, "Yes", "#32770", std::nullopt},
        {{"OK"}, "&Yes", "#32770", std::nullopt},
        {{"OK"}, "OK", "", std::nullopt},
        {{"OK"}, "OK", "#32771", std::nullopt},
    };
    for (const auto& c : cases) {
        const Hwnd box = d.open_message_box("Close Document", c.buttons);
        watch(1, "Close Document", c.stored_button, c.stored_class);
        watcher.Monitor_timer_Timer();
        EXPECT_EQ(d.message_box_answer(box), c.answer) << c.stored_button << "/" << c.stored_class;
        if (d.exists(box))
            d.destroy_window(box);
    }
}

TEST_F(WatcherTest, TitlesMustMatchInFullBlanksIncluded) {
    const Hwnd box = d.open_message_box("Close Document", {"OK"});
    watch(1, "Close", "OK");
    watch(2, "Close Document ", "OK");
    watcher.Monitor_timer_Timer();
    EXPECT_TRUE(d.exists(box));
    watch(3, "Close Document", "OK");
    watcher.Monitor_timer_Timer();
    EXPECT_FALSE(d.exists(box));
}

TEST_F(WatcherTest, TwoBoxesOfOneTitleAreAnsweredOverTwoTicks) {
    const Hwnd a = d.open_message_box("Save", {"OK"});
    const Hwnd b = d.open_message_box("Save", {"OK"});
    watch(1, "Save", "OK");
    watcher.Monitor_timer_Timer();
    EXPECT_NE(d.exists(a), d.exists(b)) << "one box per entry and tick";
    watcher.Monitor_timer_Timer();
    EXPECT_FALSE(d.exists(a));
    EXPECT_FALSE(d.exists(b));
}

TEST_F(WatcherTest, LowerNumberedEntryWinsForOneBox) {
    const Hwnd box = d.open_message_box("Save", {"&Yes", "&No"});
    watch(4, "Save", "&No");
    watch(2, "Save", "&Yes");
    watcher.Monitor_timer_Timer();
    EXPECT_EQ(d.message_box_answer(box), "&Yes");
}

TEST_F(WatcherTest, YieldsTwiceAfterEachClick) {
    d.open_message_box("Save", {"OK"});
    watch(1, "Save", "OK");
    watcher.Monitor_timer_Timer();
    const auto& calls = log.calls();
    const auto click = std::find_if(calls.begin(), calls.end(), [](const std::string& c) {
        return c.rfind("BM_CLICK", 0) == 0;
    });
    ASSERT_NE(click, calls.end());
    ASSERT_GE(calls.end() - click, 3);
    EXPECT_EQ(click[1], "DoEvents");
    EXPECT_EQ(click[2], "DoEvents");
}

TEST_F(WatcherTest, TickInsideATickLeavesTheSlotPastTheEndAndEndsTheOuterOne) {
    // Entry 1's click lets a second tick run inside the first one's yield.
    const Hwnd first = d.open_message_box("First", {"OK"});
    d.open_message_box("Fifth", {"OK"});
    watch(1, "First", "OK");
    watch(5, "Fifth", "OK");
    int nested = 0;
    d.window(d.find_window_ex(first, 0, "Button", "OK")).on_click = [&] {
        d.post(UiEvent{"inner", -1, EventKind::Timer});
    };
    wl::testing::RecordingSink sink;
    sink.handler = [&](const UiEvent&) {
        ++nested;
        watcher.Monitor_timer_Timer();
    };
    const auto form = d.create_form(FormSpec{}, sink);
    log.clear();
    watcher.Monitor_timer_Timer();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(watcher.Watch_slot, 22);
    // The inner tick visited all twenty; the outer one only entry 1.
    EXPECT_EQ(log.calls_starting("FindWindowA").size(), 21u);
    EXPECT_EQ(d.find_window("#32770", "Fifth"), 0u);
}

TEST_F(WatcherTest, HungButtonDoesNotStopTheTick) {
    const Hwnd hung = d.open_message_box("Hung", {"OK"});
    d.set_hung(d.find_window_ex(hung, 0, "Button", "OK"), true);
    const Hwnd other = d.open_message_box("Other", {"OK"});
    watch(1, "Hung", "OK");
    watch(2, "Other", "OK");
    watcher.Monitor_timer_Timer();
    EXPECT_TRUE(d.exists(hung));
    EXPECT_FALSE(d.exists(other));
    EXPECT_EQ(watcher.Watch_slot, 21);
}

// --- From profile to click -----------------------------------------------------

TEST_F(LoadTest, MonitoringAnswersTheProfilesBoxesAtTheNextTick) {
    profile({"[WindowTitles]", "Num_Windows=2", "Title1=Rebuild Warnings[OK]<<#32770>>",
             "Title2=Close Document[&No]<<#32770>>"});
    start();
    const Hwnd close = desktop().open_message_box("Close Document", {"&Yes", "&No", "Cancel"});
    desktop().advance(200);
    EXPECT_TRUE(desktop().exists(close)) << "monitoring is off at start";
    click("Command2");
    desktop().advance(54);
    EXPECT_TRUE(desktop().exists(close)) << "the first tick comes one period later";
    desktop().advance(1);
    EXPECT_EQ(desktop().message_box_answer(close), "&No");
    click("Command2");
    const Hwnd later = desktop().open_message_box("Rebuild Warnings", {"OK"});
    desktop().advance(500);
    EXPECT_TRUE(desktop().exists(later));
}

// --- Entries with a Text or Program key ---------------------------------------

// Boxes titled "Shared", listed from the top of the window order down.
struct KeyedBox {
    std::string text;
    std::string program = "C:\\SW\\SLDWORKS.exe";
};

struct KeyedCase {
    const char* behaviour;
    std::vector<std::string> profile;  // keys of [WindowTitles] after Num_Windows
    std::vector<std::string> reload;   // a second profile read with "Read ini"; empty: none
    std::vector<KeyedBox> boxes;
    std::vector<std::optional<std::string>> answers;  // after the ticks, per box
    bool first_box_vanishes = false;                  // between its button lookup and the key reads
    int ticks = 1;
};

const KeyedCase kKeyedCases[] = {
    {"two entries of one title, each box answered with its own button",
     {"Title1=Shared[&Yes]<<#32770>>", "Text1=rebuild", "Title2=Shared[&No]<<#32770>>",
      "Text2=save changes"},
     {},
     {{"Save changes to Part1?"}, {"Rebuild errors occurred."}},
     {"&No", "&Yes"}},
    {"a box whose text matches neither entry stays open",
     {"Title1=Shared[&Yes]<<#32770>>", "Text1=rebuild", "Title2=Shared[&No]<<#32770>>",
      "Text2=save changes"},
     {},
     {{"Close all documents?"}},
     {std::nullopt}},
    {"the matching box second in window order is answered",
     {"Title1=Shared[&No]<<#32770>>", "Text1=save changes"},
     {},
     {{"Rebuild errors occurred."}, {"Save changes to Part1?"}},
     {std::nullopt, "&No"}},
    {"a box of the named program is answered",
     {"Title1=Shared[&No]<<#32770>>", "Program1=SLDWORKS.exe"},
     {},
     {{"Save changes?", "C:\\SW\\SLDWORKS.exe"}},
     {"&No"}},
    {"a box of another program, or of one the system cannot name, stays open",
     {"Title1=Shared[&No]<<#32770>>", "Program1=SLDWORKS.exe"},
     {},
     {{"Save changes?", "C:\\Viewer\\eDrawings.exe"}, {"Save changes?", ""}},
     {std::nullopt, std::nullopt}},
    {"letter case is ignored in the text and the program",
     {"Title1=Shared[&No]<<#32770>>", "Text1=SAVE Changes", "Program1=sldworks.EXE"},
     {},
     {{"save changes?"}},
     {"&No"}},
    {"an empty value is no key",
     {"Title1=Shared[&No]<<#32770>>", "Text1=", "Program1=SLDWORKS.exe"},
     {},
     {{"Anything at all"}},
     {"&No"}},
    {"a reload without the key answers every box of the title",
     {"Title1=Shared[&No]<<#32770>>", "Text1=rebuild"},
     {"Title1=Shared[&No]<<#32770>>"},
     {{"Save changes?"}},
     {"&No"}},
    {"a box that vanishes during the walk ends it; the next tick goes on",
     {"Title1=Shared[&No]<<#32770>>", "Text1=save"},
     {},
     {{"Save changes?"}, {"Save changes?"}},
     {std::nullopt, "&No"},
     true,
     2},
};

TEST_F(LoadTest, KeysTellApartBoxesThatShareATitle) {
    for (const auto& c : kKeyedCases) {
        SCOPED_TRACE(c.behaviour);
        // Every load fills both entries, so no case inherits one of the last.
        const auto load = [&](const std::vector<std::string>& keys) {
            std::string text = "[WindowTitles]\r\nNum_Windows=2\r\n";
            bool second = false;
            for (const auto& k : keys) {
                text += k + "\r\n";
                second = second || k.rfind("Title2=", 0) == 0;
            }
            if (!second)
                text += "Title2=Unused[OK]<<#32770>>\r\n";
            folder.write("default_wl.ini", text);
            if (!form) {
                start();
            } else {
                click("Command5");
            }
        };
        load(c.profile);
        if (!c.reload.empty())
            load(c.reload);
        std::vector<Hwnd> boxes;
        for (auto it = c.boxes.rbegin(); it != c.boxes.rend(); ++it) {
            boxes.insert(boxes.begin(),
                         desktop().open_message_box("Shared", {"&Yes", "&No"}, 0, it->text));
            desktop().window(boxes.front()).program = it->program;
        }
        const std::string vanishing = "FindWindowExA(" + sim::hex(boxes.front()) + ",0,Button,&No)";
        world.log.on_call = [&](const std::string& call) {
            if (c.first_box_vanishes && call == vanishing)
                desktop().destroy_window(boxes.front());
        };
        click("Command2");
        desktop().advance(55 * c.ticks);
        click("Command2");
        world.log.on_call = nullptr;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(desktop().message_box_answer(boxes[i]), c.answers[i]) << "box " << i;
            desktop().destroy_window(boxes[i]);
        }
    }
}

TEST_F(LoadTest, KeysAreNotShownInTheList) {
    profile({"[WindowTitles]", "Num_Windows=1", "Title1=Shared[&No]<<#32770>>", "Text1=save",
             "Program1=SLDWORKS.exe"});
    start();
    EXPECT_EQ(items(*form->List2), std::vector<std::string>{"Shared<-->&No<-->#32770"});
    EXPECT_EQ(form->Watch_list.entry(1).Win_text, "save");
    EXPECT_EQ(form->Watch_list.entry(1).Win_program, "SLDWORKS.exe");
}

}  // namespace
}  // namespace wl::testing
