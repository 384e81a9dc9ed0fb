// The main window's life: design, start-up and first-run question, close
// requests, the tray icon and its menu, topmost, and the maker links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/systray.h"
#include "app_fixture.h"
#include "platform/host_strings.h"
#include "recording_sink.h"

namespace wl::testing {
namespace {

// --- Design --------------------------------------------------------------------

TEST_F(AppTest, ControlsAreCreatedInTabOrderWithTheirInitialStates) {
    folder.write("default_wl.ini", "");
    start();
    const std::vector<std::string> tab_order{
        "Pic1",     "Picture1", "Command1", "Picture2", "Text1",  "Command3", "cmd1(0)", "Op1(0)",
        "Text5",    "List1",    "cmd1(1)",  "cmd1(2)",  "Op1(1)", "Op1(2)",   "Combo1",  "File1",
        "Command2", "Command4", "Text2",    "Command5", "List2",  "Text3",    "Text4"};
    std::vector<std::string> focusable;
    for (const auto& name : desktop().creation_order()) {
        if (std::find(tab_order.begin(), tab_order.end(), name) != tab_order.end()) {
            focusable.push_back(name);
        }
    }
    EXPECT_EQ(focusable, tab_order);

    for (int k = 0; k < 3; ++k) {
        EXPECT_FALSE(form->cmd1[k]->visible());
        EXPECT_FALSE(form->Op1[k]->visible());
    }
    EXPECT_FALSE(form->Label3->visible());
    EXPECT_FALSE(form->Command4->visible());
    EXPECT_FALSE(form->Text1->enabled());
    EXPECT_EQ(form->Text1->text(), "");
    EXPECT_TRUE(form->swenable->value());
    EXPECT_EQ(form->swopen->text(), "Open");
    EXPECT_FALSE(form->Monitor_timer->enabled());
    EXPECT_EQ(form->form().text(), "Quillmoss v0.1");
    EXPECT_TRUE(form->form().visible());

    // Create Ini stands where the profile box is, 60 twips wider.
    const ControlSpec* combo = desktop().design("Combo1");
    const ControlSpec* create = desktop().design("Command4");
    ASSERT_TRUE(combo && create);
    EXPECT_EQ(create->left, combo->left);
    EXPECT_EQ(create->top, combo->top);
    EXPECT_EQ(create->height, combo->height);
    EXPECT_EQ(create->width, combo->width + 60);
}

// --- Start-up and the first-run question ---------------------------------------------

TEST_F(AppTest, StartUpAddsTheIconFillsTheListAndReadsTheProfileInThatOrder) {
    folder.write("default_wl.ini", "");
    start();
    const auto& calls = world.log.calls();
    auto first = [&](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(),
                            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    };
    const auto icon = first("Shell_NotifyIconA");
    const auto read = first("GetPrivateProfileStringA");
    ASSERT_NE(icon, calls.end());
    ASSERT_NE(read, calls.end());
    EXPECT_LT(icon, read);
    EXPECT_TRUE(world.shell.icon_present());
}

TEST_F(AppTest, EmptyFolderAskedYesCreatesTheDefaultProfile) {
    desktop().script_message_box(mb::kResultOk);  // the "no windows" box
    desktop().script_message_box(mb::kResultYes);
    start();
    // The load's "no windows" box comes first, then the question.
    const auto& boxes = desktop().message_boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text,
              "There is no default_wl.ini file in the path!\r\nDo you want to create it?");
    EXPECT_EQ(boxes[1].caption, "default_wl.ini?");
    EXPECT_EQ(boxes[1].flags, mb::kYesNo);
    EXPECT_TRUE(folder.exists("default_wl.ini"));
    EXPECT_EQ(folder.read("default_wl.ini"), "");
    EXPECT_FALSE(form->Command4->visible());
    EXPECT_TRUE(form->Command1->enabled());
    EXPECT_TRUE(form->Command2->enabled());
    EXPECT_TRUE(form->Command3->enabled());
    EXPECT_EQ(form->Combo1->text(), "default_wl.ini");
}

TEST_F(AppTest, EmptyFolderAskedNoOffersCreateIniOverTheProfileBox) {
    desktop().script_message_box(mb::kResultOk);  // the "no windows" box
    desktop().script_message_box(mb::kResultNo);
    start();
    EXPECT_FALSE(folder.exists("default_wl.ini"));
    EXPECT_TRUE(form->Command4->visible());
    EXPECT_FALSE(form->Command1->enabled());
    EXPECT_FALSE(form->Command2->enabled());
    EXPECT_FALSE(form->Command3->enabled());

    // Hidden and shown again while the folder is still empty: asked again.
    const auto asked = desktop().message_boxes().size();
    form->Form_DblClick();
    tray(kTrayLeftDoubleClick);
    EXPECT_EQ(desktop().message_boxes().size(), asked + 1);

    click("Command4");
    EXPECT_TRUE(folder.exists("default_wl.ini"));
    EXPECT_FALSE(form->Command4->visible());
    EXPECT_TRUE(form->Command2->enabled());
}

TEST_F(AppTest, AnyOtherProfileMeansNoQuestion) {
    folder.write("other.ini", "");
    start();
    for (const auto& box : desktop().message_boxes()) {
        EXPECT_NE(box.caption, "default_wl.ini?");
    }
    EXPECT_FALSE(folder.exists("default_wl.ini"));
    EXPECT_TRUE(form->Command1->enabled());
}

TEST_F(AppTest, ActivationRestoresTheFinderPictureAndCursor) {
    folder.write("default_wl.ini", "");
    start();
    EXPECT_EQ(form->Picture2->picture(), Picture::FinderTool);
    form->Picture2->set_picture(Picture::None);
    click("Form1");
    EXPECT_EQ(form->Picture2->picture(), Picture::FinderTool);
}

// --- The system menu and close requests ------------------------------------------

TEST_F(AppTest, OnlyTheCloseCommandLeavesTheSystemMenuHoweverOftenShown) {
    folder.write("default_wl.ini", "");
    start();
    const Hwnd h = form->form().hwnd();
    const std::vector<unsigned> without_close{0xF120, 0xF010, 0xF000, 0xF020, 0xF030, 0};
    EXPECT_EQ(desktop().system_menu_items(h), without_close);
    for (int i = 0; i < 3; ++i) {
        form->Form_DblClick();
        tray(kTrayLeftDoubleClick);
    }
    EXPECT_EQ(desktop().system_menu_items(h), without_close);
}

TEST_F(AppTest, CloseRequestsAreRefusedExceptTheEndOfTheSession) {
    folder.write("default_wl.ini", "");
    start();
    EXPECT_TRUE(desktop().request_close(unload_reason::kControlMenu));
    EXPECT_TRUE(desktop().request_close(unload_reason::kTaskManager));
    EXPECT_TRUE(form->form().visible());
    EXPECT_FALSE(desktop().ended());

    EXPECT_FALSE(desktop().request_close(unload_reason::kAppWindows));
    desktop().fire(UiEvent{"Form1", -1, EventKind::EndSession});
    EXPECT_FALSE(world.shell.icon_present());
    EXPECT_TRUE(desktop().ended());
}

TEST_F(AppTest, ExitRemovesTheIconFirstThenEndsAtOnce) {
    folder.write("default_wl.ini", "");
    start();
    click("Command2");
    world.log.clear();
    desktop().script_menu_choice("exit");
    tray(kTrayRightButtonDown);
    ASSERT_FALSE(world.log.calls().empty());
    EXPECT_EQ(world.log.calls_starting("Shell_NotifyIconA").size(), 1u);
    EXPECT_FALSE(world.shell.icon_present());
    EXPECT_TRUE(desktop().ended());
    const auto& last = world.shell.notify_calls().back();
    EXPECT_EQ(last.action, kNimDelete);
    // No more ticks after the end, though monitoring was on.
    world.log.clear();
    desktop().advance(500);
    EXPECT_TRUE(world.log.calls_starting("FindWindowA").empty());
}

// "Exit" chosen while a handler is paused in a yield: nothing of the program
// runs after it, not even the rest of the paused handler.
TEST_F(AppTest, ExitDuringATicksYieldAnswersNoFurtherBox) {
    folder.write("default_wl.ini",
                 profile_text({"[WindowTitles]", "Num_Windows=2", "Title1=First Box[OK]<<#32770>>",
                               "Title2=Second Box[OK]<<#32770>>"}));
    start();
    const Hwnd first = desktop().open_message_box("First Box", {"OK"});
    const Hwnd second = desktop().open_message_box("Second Box", {"OK"});
    // The user chooses "Exit" just as the first box is answered.
    desktop().window(desktop().find_window_ex(first, 0, "Button", "OK")).on_click = [this] {
        desktop().post(UiEvent{"exit", -1, EventKind::Click});
    };
    click("Command2");
    const std::size_t boxes = desktop().message_boxes().size();
    world.log.clear();
    desktop().advance(60);
    EXPECT_TRUE(desktop().ended());
    EXPECT_EQ(desktop().message_box_answer(first), "OK");
    EXPECT_EQ(desktop().message_box_answer(second), std::nullopt);
    const auto& calls = world.log.calls();
    const auto end = std::find(calls.begin(), calls.end(), "End");
    ASSERT_NE(end, calls.end());
    EXPECT_EQ(std::find_if(end, calls.end(),
                           [](const std::string& call) {
                               return call.rfind("FindWindow", 0) == 0 ||
                                      call.rfind("BM_CLICK", 0) == 0;
                           }),
              calls.end())
        << "the paused tick went on after Exit";
    EXPECT_EQ(desktop().message_boxes().size(), boxes) << "an error was shown";
}

TEST_F(AppTest, ExitDuringAWalksYieldEndsTheWalkWhereItIs) {
    folder.write("default_wl.ini", "");
    start();
    const Hwnd box = desktop().open_message_box("Choose", {"&Yes", "&No", "Cancel"});
    const Rect r = desktop().window(box).rect;
    const Rect finder = desktop().window(form->Picture2->hwnd()).rect;
    desktop().pointer_down(Point{finder.left + 5, finder.top + 5});
    desktop().pointer_move(Point{r.left + 20, r.top + 8});
    desktop().post(UiEvent{"exit", -1, EventKind::Click});
    const std::size_t boxes = desktop().message_boxes().size();
    world.log.clear();
    desktop().pointer_up(Point{r.left + 20, r.top + 8});
    EXPECT_TRUE(desktop().ended());
    const auto& calls = world.log.calls();
    const auto end = std::find(calls.begin(), calls.end(), "End");
    ASSERT_NE(end, calls.end());
    EXPECT_EQ(std::count(end, calls.end(), "DoEvents"), 0) << "the walk went on after Exit";
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(form->Text4->text(), "Text4");
    EXPECT_EQ(desktop().message_boxes().size(), boxes) << "an error was shown";
}

// "Exit" chosen while the first-run question is open: the paused activation
// neither creates the profile nor touches the system menu.
TEST_F(AppTest, ExitDuringTheFirstRunQuestionEndsTheActivationThere) {
    desktop().script_message_box(mb::kResultOk);  // the "no windows" box
    desktop().script_message_box(mb::kResultYes);
    form = std::make_unique<Form1>(platform);
    form->start();
    // Waits behind the activation, so it runs while the question is open.
    desktop().post(UiEvent{"exit", -1, EventKind::Click});
    world.log.clear();
    desktop().do_events();
    EXPECT_TRUE(desktop().ended());
    EXPECT_EQ(desktop().message_boxes().back().caption, "default_wl.ini?");
    EXPECT_FALSE(folder.exists("default_wl.ini"));
    const auto& calls = world.log.calls();
    const auto end = std::find(calls.begin(), calls.end(), "End");
    ASSERT_NE(end, calls.end());
    EXPECT_EQ(std::vector<std::string>(end + 1, calls.end()), std::vector<std::string>{})
        << "the paused activation went on after Exit";
}

// --- The tray icon ---------------------------------------------------------------

TEST_F(AppTest, TrayRecordsAsTheShellReceivesThem) {
    folder.write("default_wl.ini", "");
    start();
    ASSERT_EQ(world.shell.notify_calls().size(), 1u);
    const auto& add = world.shell.notify_calls()[0];
    EXPECT_EQ(add.action, kNimAdd);
    EXPECT_EQ(add.record.size, 88u);
    EXPECT_EQ(add.record.window, form->Picture1->hwnd());
    EXPECT_NE(add.record.window, 0u);
    EXPECT_EQ(add.record.id, 1u);
    EXPECT_EQ(add.record.flags, 7u);
    EXPECT_EQ(add.record.callback_message, 0x200u);
    EXPECT_EQ(add.record.icon, form->Picture1->picture_handle());
    const std::string tip(add.record.tip.data(), add.record.tip.size());
    EXPECT_EQ(tip,
              std::string("I am monitoring SolidWorks MSGBOXes") + '\0' + std::string(28, ' '));

    form->exit_Click();
    const auto& remove = world.shell.notify_calls().back();
    EXPECT_EQ(remove.action, kNimDelete);
    EXPECT_EQ(remove.record.size, 88u);
    EXPECT_EQ(remove.record.window, form->Picture1->hwnd());
    EXPECT_EQ(remove.record.id, 1u);
    EXPECT_EQ(remove.record.flags, 0u);
    EXPECT_EQ(remove.record.callback_message, 0u);
    EXPECT_EQ(remove.record.icon, 0u);
    EXPECT_EQ(remove.record.tip, (std::array<char, 64>{}));
}

TEST_F(AppTest, MenuPopsOnRightPressOnlyAndDoubleClickTogglesTheWindow) {
    folder.write("default_wl.ini", "");
    start();
    for (int message : {0x200, 0x201, 0x202, 0x205, 0x206})
        tray(message);
    EXPECT_TRUE(desktop().popups().empty());
    EXPECT_TRUE(form->form().visible());

    tray(kTrayRightButtonDown);
    EXPECT_EQ(desktop().popups(), std::vector<std::string>{"traymenu"});

    tray(kTrayLeftDoubleClick);
    EXPECT_FALSE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "Open");
    tray(kTrayLeftDoubleClick);
    EXPECT_TRUE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "To SysTray");
    EXPECT_TRUE(desktop().topmost(form->form().hwnd()));
}

TEST_F(AppTest, SwopenStartsAtOpenWhileShownAndNeverChangesTopmost) {
    folder.write("default_wl.ini", "");
    start();
    click("swopen");
    EXPECT_TRUE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "To SysTray");
    click("swopen");
    EXPECT_FALSE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "Open");
    click("swopen");
    EXPECT_TRUE(form->form().visible());
    EXPECT_TRUE(desktop().window_pos_calls().empty());

    // Hidden by a double-click on the background: the item keeps its caption.
    click("Form1");
    desktop().fire(UiEvent{"Form1", -1, EventKind::DblClick});
    EXPECT_FALSE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "To SysTray");
    click("swopen");
    EXPECT_FALSE(form->form().visible());
    EXPECT_EQ(form->swopen->text(), "Open");
}

TEST_F(AppTest, RestartedTaskbarGetsTheIconBack) {
    folder.write("default_wl.ini", "");
    start();
    desktop().fire(UiEvent{"Form1", -1, EventKind::TaskbarCreated});
    ASSERT_EQ(world.shell.notify_calls().size(), 2u);
    EXPECT_EQ(world.shell.notify_calls()[1].action, kNimAdd);
}

TEST(SetTopmost, ConvertsTwipsToPixelsRoundingHalvesToEven) {
    sim::CallLog log;
    sim::SimDesktop d(log);
    RecordingSink sink;
    FormSpec design;
    design.client_width = 4680;
    design.client_height = 2025;
    design.left = 3435;
    design.top = 2610;
    const auto f = d.create_form(design, sink);
    for (double tpp : {15.0, 12.0, 10.0}) {
        d.set_twips_per_pixel(tpp, tpp);
        SetTopmost(d, d, *f, true);
        const auto& call = d.window_pos_calls().back();
        EXPECT_EQ(call.insert_after, kHwndTopmost);
        EXPECT_EQ(call.flags, 0u);
        EXPECT_EQ(call.x, static_cast<int>(std::nearbyint(f->left_twips() / tpp)));
        EXPECT_EQ(call.cy, static_cast<int>(std::nearbyint(f->height_twips() / tpp)));
    }
    SetTopmost(d, d, *f, false);
    EXPECT_EQ(d.window_pos_calls().back().insert_after, kHwndNoTopmost);
    EXPECT_FALSE(d.topmost(f->hwnd()));
}

TEST(HostRounding, HalvesGoToTheEvenNeighbourAnd16BitOverflowRaises) {
    EXPECT_EQ(text::to_int16_rounded(2.5), 2);
    EXPECT_EQ(text::to_int16_rounded(3.5), 4);
    EXPECT_EQ(text::to_int16_rounded(-0.5), 0);
    EXPECT_EQ(text::to_int16_rounded(229.5), 230);
    EXPECT_EQ(text::to_int16_rounded(32767.4), 32767);
    EXPECT_THROW(text::to_int16_rounded(32767.5), AppError);
    EXPECT_THROW(text::to_int16_rounded(-32769), AppError);
}

// A handler bound to a name the form lacks could never run; start-up would
// say nothing of it.
TEST_F(AppTest, HandlersBindOnlyToControlsTheFormHas) {
    folder.write("default_wl.ini", "");
    start();
    try {
        form->bind("Comand3", EventKind::Click, [](const UiEvent&) {});
        FAIL() << "a misspelt control name was bound";
    } catch (const std::logic_error& error) {
        EXPECT_NE(std::string(error.what()).find("Comand3"), std::string::npos);
    }
    int clicks = 0;
    form->bind("cmd1", EventKind::Click, [&](const UiEvent&) { ++clicks; });
    click("cmd1", 2);
    EXPECT_EQ(clicks, 1);
}

// --- Maker links -----------------------------------------------------------------

TEST_F(AppTest, EachMakerLinkOpensThePageOnceAndLeavesTheWindowAsItWas) {
    folder.write("default_wl.ini", "");
    start();
    desktop().script_menu_choice("zmakcom");
    tray(kTrayRightButtonDown);
    click("Pic1");
    click("Text5");
    click("Label1");
    const auto& opened = world.shell.executed();
    ASSERT_EQ(opened.size(), 4u);
    for (const auto& call : opened) {
        EXPECT_EQ(call.file, kMakerUrl);
        EXPECT_EQ(call.owner, form->form().hwnd());
        EXPECT_FALSE(call.verb.has_value());
        EXPECT_FALSE(call.parameters.has_value());
        EXPECT_EQ(call.directory, "");
        EXPECT_EQ(call.show, 10);
    }
    EXPECT_TRUE(form->form().visible());
    EXPECT_EQ(std::string(kMakerUrl).rfind("http://", 0), 0u);
}

}  // namespace
}  // namespace wl::testing
