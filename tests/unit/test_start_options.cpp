// Starting the program: its command-line switches, and one instance per
// program folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/start_options.h"
#include "app/systray.h"
#include "app_fixture.h"
#include "monitor/monitor_switch.h"
#include "monitor/watch_loader.h"

namespace wl::testing {
namespace {

TEST(StartOptions, SwitchesAreReadInAnyCaseWithSlashOrDash) {
    struct Case {
        const char* arguments;
        bool tray, monitor, exit;
        std::vector<std::string> unknown;
    } cases[] = {
        {"", false, false, false, {}},
        {"/tray", true, false, false, {}},
        {"-TRAY", true, false, false, {}},
        {"  /Tray   -monitor ", true, true, false, {}},
        {"/exit", false, false, true, {}},
        {"\"/monitor\"", false, true, false, {}},
        // Anything else is named back to the user.
        {"/trey", false, false, false, {"/trey"}},
        {"tray", false, false, false, {"tray"}},
        {"/tray/monitor", false, false, false, {"/tray/monitor"}},
        {"/ -", false, false, false, {"/", "-"}},
        {"/tray \"C:\\My Profiles\"", true, false, false, {"C:\\My Profiles"}},
    };
    for (const auto& c : cases) {
        const StartOptions options = read_start_options(c.arguments);
        EXPECT_EQ(options.tray, c.tray) << c.arguments;
        EXPECT_EQ(options.monitor, c.monitor) << c.arguments;
        EXPECT_EQ(options.exit, c.exit) << c.arguments;
        EXPECT_EQ(options.unknown, c.unknown) << c.arguments;
    }
}

// --- Start-up with switches ----------------------------------------------------

class SwitchesTest : public AppTest {
  protected:
    Form1& start_with(const std::string& arguments) {
        form = std::make_unique<Form1>(platform);
        form->start(read_start_options(arguments));
        world.desktop.do_events();
        return *form;
    }
    bool question_asked() const {
        for (const auto& box : world.desktop.message_boxes()) {
            if (box.caption == "default_wl.ini?")
                return true;
        }
        return false;
    }
};

// Nobody is there to answer a box at sign-in: the load's notice and the
// first-run question wait for the window, in the order of a plain start.
TEST_F(SwitchesTest, TrayStartsHiddenWithTheIconAndShowsNoBoxUntilShown) {
    start_with("/tray");
    EXPECT_FALSE(form->form().visible());
    EXPECT_TRUE(world.shell.icon_present());
    EXPECT_TRUE(world.desktop.message_boxes().empty()) << "a box came before the window was shown";
    tray(kTrayLeftDoubleClick);
    EXPECT_TRUE(form->form().visible());
    const auto& boxes = world.desktop.message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, kNoWindowsMessage);
    EXPECT_TRUE(question_asked());
}

// The second of two double-clicks that waited hides what the first showed:
// the hidden window must not ask.
TEST_F(SwitchesTest, TwoWaitingTrayDoubleClicksLeaveItHiddenAndAskNothing) {
    start_with("/tray");
    UiEvent e{"Picture1", -1, EventKind::MouseMove};
    e.x = static_cast<float>(kTrayLeftDoubleClick * 15);
    world.desktop.post(e);
    world.desktop.post(e);
    world.desktop.do_events();
    EXPECT_FALSE(form->form().visible());
    EXPECT_FALSE(question_asked());
}

// The sign-in start of an installation without a profile, its window then
// opened and the first-run question answered "Yes".
TEST_F(SwitchesTest, AProfileCreatedWhileMonitoringKeepsEditAndAddGreyed) {
    start_with("/tray /monitor");
    desktop().script_message_box(mb::kResultOk);  // the "no windows" notice
    desktop().script_message_box(mb::kResultYes);
    tray(kTrayLeftDoubleClick);
    ASSERT_TRUE(folder.exists("default_wl.ini"));
    EXPECT_EQ(form->Command2->text(), kDisableCaption);
    EXPECT_TRUE(form->Command2->enabled());
    EXPECT_FALSE(form->Command1->enabled());
    EXPECT_FALSE(form->Command3->enabled());
    EXPECT_FALSE(form->Command4->visible());
}

TEST_F(SwitchesTest, MonitorSwitchesOnAfterTheWatchListIsLoaded) {
    folder.write("default_wl.ini", profile_text({"[WindowTitles]", "Num_Windows=1",
                                                 "Title1=Rebuild Warnings[OK]<<#32770>>"}));
    const Hwnd box = desktop().open_message_box("Rebuild Warnings", {"OK"});
    start_with("/monitor");
    EXPECT_EQ(form->Command2->text(), kDisableCaption);
    EXPECT_EQ(form->Command2->back_colour(), kOnColour);
    EXPECT_FALSE(form->Command1->enabled());
    EXPECT_FALSE(form->Command3->enabled());
    EXPECT_FALSE(form->swenable->value());
    EXPECT_EQ(form->Watch_list.entry(1).Win_title, "Rebuild Warnings");
    // Nobody touches the window; the next tick answers the box.
    desktop().advance(60);
    EXPECT_EQ(desktop().message_box_answer(box), "OK");
}

TEST_F(SwitchesTest, WithoutSwitchesNothingChanges) {
    folder.write("default_wl.ini", "");
    start_with("");
    EXPECT_TRUE(form->form().visible());
    EXPECT_EQ(form->Command2->text(), kEnableCaption);
}

TEST(StartOptions, TheMessageNamesTheUnknownSwitchesAndTheValidOnes) {
    struct Case {
        std::vector<std::string> unknown;
        const char* first_line;
    } cases[] = {
        {{"/monitr"}, "Wendlock does not know the switch \"/monitr\" and started without it."},
        {{"/a", "b", "-c"},
         "Wendlock does not know the switches \"/a\", \"b\" and \"-c\" and started without "
         "them."},
    };
    for (const auto& c : cases) {
        const std::string message = unknown_switch_message(c.unknown);
        EXPECT_EQ(message.substr(0, message.find('\r')), c.first_line);
        for (const char* valid : {"\n/tray\t", "\n/monitor\t", "\n/exit\t"})
            EXPECT_NE(message.find(valid), std::string::npos) << valid;
    }
}

// A typo in a start-up shortcut must not end the answering at every sign-in.
TEST_F(SwitchesTest, AMistypedSwitchIsNamedWhenShownAndTheValidOnesApply) {
    folder.write("default_wl.ini", "");
    start_with("/TRAY -monitor /monitr");
    EXPECT_FALSE(form->form().visible());
    EXPECT_EQ(form->Command2->text(), kDisableCaption);
    EXPECT_TRUE(desktop().message_boxes().empty());
    desktop().script_message_box(mb::kResultOk);
    tray(kTrayLeftDoubleClick);
    ASSERT_GE(desktop().message_boxes().size(), 1u);
    EXPECT_EQ(desktop().message_boxes().front().text, unknown_switch_message({"/monitr"}));

    // So does the program's own start-up: the window stays hidden.
    sim::SimWorld other(folder.str());
    Platform other_platform = other.platform();
    run_program(other_platform, "/tray /monitr");
    EXPECT_TRUE(other.desktop.message_boxes().empty());
    EXPECT_TRUE(other.log.calls_starting("GetActiveWindow").empty());
}

// --- One instance per folder -------------------------------------------------------

class InstancesTest : public SwitchesTest {
  protected:
    // The instance already running from the folder, started with /tray.
    void SetUp() override {
        folder.write("default_wl.ini", profile_text({"[WindowTitles]", "Num_Windows=1",
                                                     "Title1=Rebuild Warnings[OK]<<#32770>>"}));
        ASSERT_TRUE(desktop().claim_program_folder(folder.str()));
        start_with("/tray");
    }
};

TEST_F(InstancesTest, ASecondStartShowsTheRunningWindowAndEnds) {
    sim::SimWorld second(folder.str());
    Platform second_platform = second.platform();
    EXPECT_EQ(run_program(second_platform, "/tray /monitor"), 0);
    EXPECT_TRUE(second.log.calls_starting("CreateForm").empty());
    EXPECT_TRUE(second.shell.notify_calls().empty()) << "a second tray icon";

    desktop().do_events();
    EXPECT_TRUE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), kToSysTrayCaption);
    EXPECT_EQ(world.shell.notify_calls().size(), 1u);
    EXPECT_EQ(form->Command2->text(), kEnableCaption) << "the second start's switches applied";
}

TEST_F(InstancesTest, ExitEndsTheRunningInstanceAndStartsNothing) {
    sim::SimWorld second(folder.str());
    Platform second_platform = second.platform();
    EXPECT_EQ(run_program(second_platform, "/EXIT"), 0);
    EXPECT_TRUE(desktop().ended());
    EXPECT_FALSE(world.shell.icon_present());
    EXPECT_TRUE(second.log.calls_starting("CreateForm").empty());
    // The folder is free again: the next start runs.
    sim::SimWorld third(folder.str());
    EXPECT_TRUE(third.desktop.claim_program_folder(folder.str()));
}

TEST_F(InstancesTest, ExitWithNothingRunningStartsNothing) {
    TempFolder empty;
    sim::SimWorld lone(empty.str());
    Platform lone_platform = lone.platform();
    EXPECT_EQ(run_program(lone_platform, "/exit"), 0);
    EXPECT_TRUE(lone.log.calls_starting("CreateForm").empty());
    EXPECT_FALSE(desktop().ended());
}

TEST_F(InstancesTest, CopiesInOtherFoldersRunSideBySide) {
    TempFolder elsewhere;
    elsewhere.write("default_wl.ini", "");
    sim::SimWorld copy(elsewhere.str());
    Platform copy_platform = copy.platform();
    run_program(copy_platform, "");
    EXPECT_EQ(copy.log.calls_starting("CreateForm").size(), 1u);
    EXPECT_EQ(copy.shell.notify_calls().front().action, kNimAdd);
    EXPECT_FALSE(form->form().visible()) << "the other folder's instance was shown";
}

}  // namespace
}  // namespace wl::testing
