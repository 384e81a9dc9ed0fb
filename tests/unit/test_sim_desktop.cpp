// The simulated desktop's trickier behaviours, which the logic's tests rely
// on: z-order and lookups, message boxes closing on a click, pixels and
// surfaces, timers and virtual time, events running inside events, the
// program's own form and controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "recording_sink.h"

namespace wl::sim {
namespace {

using wl::testing::RecordingSink;

ControlSpec make_spec(const std::string& name, int index, ControlKind kind) {
    ControlSpec design;
    design.name = name;
    design.index = index;
    design.kind = kind;
    return design;
}

UiEvent click(const std::string& name) {
    UiEvent event;
    event.control = name;
    return event;
}

std::string tick(const std::string& name) {
    return name + ":" + std::to_string(static_cast<int>(EventKind::Timer));
}

class SimDesktopTest : public ::testing::Test {
  protected:
    SimWorld world{std::filesystem::temp_directory_path().string()};
    SimDesktop& desktop = world.desktop;
    RecordingSink sink;
    Rect r{0, 0, 100, 50};
};

// --- Windows and lookups --------------------------------------------------

TEST_F(SimDesktopTest, FindWindowFollowsZOrderAndIgnoresCase) {
    const Hwnd first = desktop.add_window("Kind", "Title", r);
    const Hwnd second = desktop.add_window("Kind", "Title", r);
    const Hwnd child = desktop.add_window("Child", "In", r, first);
    EXPECT_EQ(desktop.find_window("KIND", "title"), first);  // added first = on top
    desktop.bring_to_top(second);
    EXPECT_EQ(desktop.find_window("kind", "TITLE"), second);
    const Hwnd box = desktop.open_message_box("Title", {"OK"});
    EXPECT_EQ(desktop.find_window("#32770", "Title"), box);
    EXPECT_EQ(desktop.find_window("Kind", "Title "), 0u);  // whole texts only
    EXPECT_EQ(desktop.find_window("", "Title"), 0u);
    EXPECT_EQ(desktop.find_window("Child", "In"), 0u);  // top-level windows only
    (void)child;
}

TEST_F(SimDesktopTest, FindWindowExWalksOneParentsChildren) {
    const Hwnd box = desktop.open_message_box("Box", {"&Yes", "&No", "&Yes"});
    const Hwnd yes = desktop.find_window_ex(box, 0, "Button", "&YES");
    ASSERT_NE(yes, 0u);
    const Hwnd second_yes = desktop.find_window_ex(box, yes, "Button", "&Yes");
    EXPECT_NE(second_yes, 0u);
    EXPECT_NE(second_yes, yes);
    EXPECT_EQ(desktop.find_window_ex(box, second_yes, "Button", "&Yes"), 0u);
    EXPECT_EQ(desktop.find_window_ex(0, 0, "#32770", "box"), box);  // 0: top-level windows
    EXPECT_EQ(desktop.find_window_ex(0, 0, "Button", "&Yes"), 0u);
    EXPECT_EQ(desktop.find_window_ex(box, box, "Button", "&Yes"), 0u);  // not a child
    EXPECT_EQ(desktop.find_window_ex(0x7777, 0, "Button", "&Yes"), 0u);
}

TEST_F(SimDesktopTest, TreeNavigationListsTopFirst) {
    const Hwnd owner = desktop.add_window("Main", "SolidWorks", r);
    const Hwnd top = desktop.add_window("Top", "", r, 0, owner);
    const Hwnd a = desktop.add_window("A", "", r, top);
    const Hwnd b = desktop.add_window("B", "", r, top);
    const Hwnd desk = desktop.desktop_window();
    EXPECT_EQ(desktop.get_window(desk, WindowRelation::Child), owner);
    EXPECT_EQ(desktop.get_window(owner, WindowRelation::Next), top);
    EXPECT_EQ(desktop.get_window(top, WindowRelation::Next), 0u);
    EXPECT_EQ(desktop.get_window(top, WindowRelation::Child), a);
    EXPECT_EQ(desktop.get_window(a, WindowRelation::Next), b);
    EXPECT_EQ(desktop.get_parent(a), top);
    EXPECT_EQ(desktop.get_parent(top), owner);  // owner of a top-level window
    EXPECT_EQ(desktop.get_parent(owner), 0u);
    desktop.destroy_window(top);
    EXPECT_FALSE(desktop.exists(a));
    EXPECT_EQ(desktop.get_window(owner, WindowRelation::Next), 0u);
    EXPECT_EQ(desktop.get_window(a, WindowRelation::Next), 0u);
}

TEST_F(SimDesktopTest, TextReadsAreCutAndFailForMissingWindows) {
    const Hwnd w = desktop.add_window("SomeClass", std::string(200, 't'), r);
    EXPECT_EQ(desktop.get_text_message(w, 144)->size(), 143u);
    EXPECT_EQ(desktop.get_window_text(w, 255).size(), 200u);
    EXPECT_EQ(desktop.get_class_name(w, 5), "Some");
    EXPECT_EQ(desktop.get_text_message(0, 144), std::nullopt);
    desktop.destroy_window(w);
    EXPECT_EQ(desktop.get_text_message(w, 144), std::nullopt);
    EXPECT_EQ(desktop.get_window_text(w, 255), "");
    EXPECT_EQ(desktop.get_class_name(w, 255), "");
    Rect kept{1, 2, 3, 4};
    EXPECT_FALSE(desktop.get_window_rect(w, kept));
    EXPECT_EQ(kept.right, 3);
}

// --- Message boxes and clicks ---------------------------------------------

TEST_F(SimDesktopTest, ClickingAMessageBoxButtonClosesTheBox) {
    const Hwnd box = desktop.open_message_box("Save changes?", {"&Yes", "&No"}, 0, "Sure?");
    const Hwnd text = desktop.get_window(box, WindowRelation::Child);
    EXPECT_EQ(desktop.get_class_name(text, 255), "Static");
    EXPECT_EQ(desktop.get_window_text(text, 255), "Sure?");
    const Hwnd no = desktop.find_window_ex(box, 0, "Button", "&No");
    EXPECT_EQ(desktop.message_box_answer(box), std::nullopt);
    EXPECT_TRUE(desktop.click_button(no));
    EXPECT_FALSE(desktop.exists(box));
    EXPECT_FALSE(desktop.exists(no));
    EXPECT_EQ(desktop.message_box_answer(box), "&No");
    EXPECT_FALSE(desktop.click_button(no));  // gone
}

TEST_F(SimDesktopTest, AHungButtonIgnoresTheClick) {
    const Hwnd box = desktop.open_message_box("Busy", {"OK"});
    const Hwnd ok = desktop.find_window_ex(box, 0, "Button", "OK");
    bool hooked = false;
    desktop.window(ok).on_click = [&hooked] { hooked = true; };
    desktop.set_hung(ok, true);
    EXPECT_FALSE(desktop.click_button(ok));
    EXPECT_TRUE(desktop.exists(box));
    EXPECT_FALSE(hooked);
    desktop.set_hung(ok, false);
    EXPECT_TRUE(desktop.click_button(ok));
    EXPECT_TRUE(hooked);
}

TEST_F(SimDesktopTest, EventsPostedByAClickRunInTheNextDoEvents) {
    FormSpec design;
    auto form = desktop.create_form(design, sink);
    const Hwnd box = desktop.open_message_box("Q", {"OK"});
    desktop.window(desktop.find_window_ex(box, 0, "Button", "OK")).on_click = [this] {
        desktop.post(UiEvent{"Monitor_timer", -1, EventKind::Timer});
    };
    std::vector<std::string> order;
    sink.handler = [&](const UiEvent& event) {
        if (event.control == "Outer") {
            order.push_back("outer starts");
            desktop.click_button(desktop.find_window_ex(box, 0, "Button", "OK"));
            desktop.do_events();
            order.push_back("outer ends");
        } else {
            order.push_back("inner " + event.control);
        }
    };
    desktop.post(UiEvent{"Outer", -1, EventKind::Timer});
    desktop.do_events();
    EXPECT_EQ(order,
              (std::vector<std::string>{"outer starts", "inner Monitor_timer", "outer ends"}));
    EXPECT_EQ(desktop.pending_events(), 0u);
}

TEST_F(SimDesktopTest, SelfFeedingEventsAreStoppedInsteadOfHanging) {
    auto form = desktop.create_form(FormSpec{}, sink);
    sink.handler = [this](const UiEvent& event) { desktop.post(event); };
    desktop.post(UiEvent{"x", -1, EventKind::Click});
    EXPECT_THROW(desktop.do_events(), std::runtime_error);

    // The same, yielding inside each handler: the yields stop nesting at the
    // host's cap, and the level below it keeps running the stream.
    int depth = 0;
    int deepest = 0;
    sink.handler = [&](const UiEvent& event) {
        deepest = std::max(deepest, ++depth);
        desktop.post(event);
        desktop.do_events();
        --depth;
    };
    desktop.post(UiEvent{"y", -1, EventKind::Click});
    EXPECT_THROW(desktop.do_events(), std::runtime_error);
    EXPECT_EQ(deepest, kMaxYieldDepth);
}

// --- Pixels ----------------------------------------------------------------

TEST_F(SimDesktopTest, SurfacesClipAndAreCounted) {
    const Hwnd w = desktop.add_window("W", "", Rect{10, 20, 14, 23});  // 4 x 3
    {
        auto surface = desktop.window_surface(w);
        EXPECT_EQ(desktop.surfaces_open(), 1);
        EXPECT_EQ(surface->get_pixel(3, 2), 0xFFFFFFu);
        EXPECT_EQ(surface->get_pixel(4, 0), kInvalidColour);
        EXPECT_EQ(surface->get_pixel(0, -1), kInvalidColour);
        surface->fill(Rect{3, 2, 4, 3}, 0xFF);
        surface->fill(Rect{4, 2, 5, 3}, 0xFF);  // outside: ignored
        surface->fill(Rect{-5, 1, 2, 99}, 0xAA);
    }
    EXPECT_EQ(desktop.surfaces_open(), 0);
    EXPECT_EQ(desktop.surfaces_taken(), 1);
    EXPECT_EQ(desktop.fill_calls(), 3);
    EXPECT_EQ(desktop.pixel(w, 3, 2), 0xFFu);
    EXPECT_EQ(desktop.pixel(w, 0, 1), 0xAAu);
    EXPECT_EQ(desktop.pixel(w, 1, 2), 0xAAu);
    EXPECT_EQ(desktop.pixel(w, 2, 1), 0xFFFFFFu);
    EXPECT_EQ(desktop.pixel(w, 0, 0), 0xFFFFFFu);

    auto late = desktop.window_surface(w);
    desktop.destroy_window(w);
    late->fill(Rect{0, 0, 1, 1}, 1);  // the window is gone: nothing happens
    EXPECT_EQ(late->get_pixel(0, 0), kInvalidColour);
    EXPECT_EQ(desktop.surfaces_open(), 1);
}

TEST_F(SimDesktopTest, MovingKeepsOverlappingPixelsAndCarriesChildren) {
    const Hwnd w = desktop.add_window("W", "", Rect{0, 0, 3, 3});
    const Hwnd child = desktop.add_window("C", "", Rect{1, 1, 2, 2}, w);
    desktop.paint_window(w, 0x1);
    desktop.move_window(w, Rect{10, 10, 14, 12});  // 4 x 2
    EXPECT_EQ(desktop.pixel(w, 2, 1), 0x1u);
    EXPECT_EQ(desktop.pixel(w, 3, 1), 0xFFFFFFu);
    EXPECT_EQ(desktop.pixel(w, 0, 2), kInvalidColour);
    EXPECT_EQ(desktop.window(child).rect.left, 11);
    EXPECT_EQ(desktop.window(child).rect.top, 11);
}

TEST_F(SimDesktopTest, WindowFromPointFindsTheDeepestVisibleWindow) {
    const Hwnd back = desktop.add_window("Back", "", Rect{0, 0, 500, 500});
    const Hwnd front = desktop.add_window("Front", "", Rect{100, 100, 300, 300});
    desktop.bring_to_top(front);
    const Hwnd panel = desktop.add_window("Panel", "", Rect{100, 100, 200, 200}, front);
    const Hwnd button = desktop.add_window("Button", "", Rect{110, 110, 150, 150}, panel);
    const Hwnd hidden = desktop.add_window("Hidden", "", Rect{160, 160, 190, 190}, panel);
    desktop.window(hidden).visible = false;
    const struct {
        Point at;
        Hwnd expected;
    } cases[] = {
        {{120, 120}, button}, {{170, 170}, panel}, {{250, 250}, front},
        {{50, 50}, back},     {{99, 99}, back},    {{300, 300}, back},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktop.window_from_point(c.at), c.expected) << c.at.x << "," << c.at.y;
    }
    EXPECT_EQ(desktop.window_from_point(Point{600, 600}), desktop.desktop_window());
}

// --- Time ----------------------------------------------------------------

TEST_F(SimDesktopTest, TimersTickEveryIntervalFromWhenTheyWereSwitchedOn) {
    auto form = desktop.create_form(FormSpec{}, sink);
    ControlSpec design;
    design.name = "Monitor_timer";
    design.kind = ControlKind::Timer;
    design.interval_ms = 55;
    design.enabled = false;
    auto timer = desktop.create_control(*form, design);
    EXPECT_EQ(timer->hwnd(), 0u);
    desktop.advance(10);
    timer->set_enabled(true);  // ticks due at 65, 120, 175, ...
    desktop.advance(54);
    EXPECT_TRUE(sink.seen.empty());
    desktop.advance(1);
    EXPECT_EQ(sink.seen, std::vector<std::string>{tick("Monitor_timer")});
    std::vector<std::int64_t> times;
    sink.handler = [&](const UiEvent&) {
        times.push_back(desktop.now());
        if (times.size() == 2) {
            timer->set_enabled(false);
        }
    };
    desktop.advance(1000);
    EXPECT_EQ(times, (std::vector<std::int64_t>{120, 175}));
    EXPECT_EQ(desktop.now(), 1065);
    timer->set_enabled(true);
    desktop.advance(55);
    EXPECT_EQ(times.back(), 1120);
}

TEST_F(SimDesktopTest, AdvanceRunsQueuedEventsFirst) {
    auto form = desktop.create_form(FormSpec{}, sink);
    desktop.post(UiEvent{"Command2", -1, EventKind::Click});
    EXPECT_EQ(desktop.pending_events(), 1u);
    EXPECT_TRUE(sink.seen.empty());
    desktop.advance(0);
    EXPECT_EQ(sink.seen.size(), 1u);
}

// --- The program's own form ----------------------------------------------

TEST_F(SimDesktopTest, FormAndControlsAreWindowsOfTheirOwn) {
    FormSpec form_spec;
    form_spec.caption = "Quillmoss v0.1";
    form_spec.client_width = 4680;
    form_spec.client_height = 2025;
    form_spec.left = 3435;
    form_spec.top = 2610;
    auto form = desktop.create_form(form_spec, sink);
    EXPECT_EQ(desktop.find_window("WendlockForm", "Quillmoss v0.1"), form->hwnd());
    EXPECT_FALSE(form->visible());  // shown by the program itself

    Rect outer;
    ASSERT_TRUE(desktop.get_window_rect(form->hwnd(), outer));
    EXPECT_GT(outer.right - outer.left, 312);  // client plus frame
    EXPECT_EQ(form->width_twips(), (outer.right - outer.left) * 15);

    struct Made {
        ControlKind kind;
        const char* cls;
    };
    const Made made[] = {
        {ControlKind::CommandButton, "Button"}, {ControlKind::OptionButton, "Button"},
        {ControlKind::TextBox, "Edit"},         {ControlKind::Label, "Static"},
        {ControlKind::ComboBox, "ComboBox"},    {ControlKind::ListBox, "ListBox"},
        {ControlKind::FileList, "ListBox"},     {ControlKind::PictureBox, "PictureBox"},
        {ControlKind::Shape, "Shape"}};
    std::vector<std::unique_ptr<Control>> controls;
    for (std::size_t i = 0; i < std::size(made); ++i) {
        ControlSpec design;
        design.name = "c";
        design.index = static_cast<int>(i);
        design.kind = made[i].kind;
        design.left = 150;
        design.top = 300;
        design.width = 300;
        design.height = 150;
        controls.push_back(desktop.create_control(*form, design));
        const Hwnd hwnd = controls.back()->hwnd();
        EXPECT_EQ(desktop.get_class_name(hwnd, 255), made[i].cls);
        EXPECT_EQ(desktop.get_parent(hwnd), form->hwnd());
        EXPECT_EQ(desktop.window(hwnd).rect.left, outer.left + 3 + 10);
    }
    EXPECT_EQ(desktop.creation_order().front(), "c(0)");
    EXPECT_EQ(desktop.control("c", 2), controls[2].get());
    EXPECT_EQ(desktop.control("Form1"), form.get());

    // Text and visibility are mirrored into the window.
    controls[0]->set_text("&Add");
    controls[0]->set_visible(false);
    EXPECT_EQ(desktop.get_window_text(controls[0]->hwnd(), 255), "&Add");
    EXPECT_FALSE(desktop.window(controls[0]->hwnd()).visible);
}

TEST_F(SimDesktopTest, ShowingTheFormQueuesOneActivate) {
    auto form = desktop.create_form(FormSpec{}, sink);
    form->set_visible(true);
    form->set_visible(true);
    EXPECT_TRUE(sink.seen.empty());
    desktop.do_events();
    EXPECT_EQ(sink.seen, std::vector<std::string>{
                             "Form1:" + std::to_string(static_cast<int>(EventKind::Activate))});
    EXPECT_EQ(desktop.active_window(), form->hwnd());
    form->set_visible(false);
    form->set_visible(true);
    desktop.do_events();
    EXPECT_EQ(sink.seen.size(), 2u);
}

TEST_F(SimDesktopTest, ControlsRefuseOperationsOfOtherKinds) {
    auto form = desktop.create_form(FormSpec{}, sink);
    const auto make = [&](ControlKind kind, const char* name) {
        ControlSpec design;
        design.name = name;
        design.kind = kind;
        return desktop.create_control(*form, design);
    };
    auto timer = make(ControlKind::Timer, "t");
    auto label = make(ControlKind::Label, "l");
    auto list = make(ControlKind::ListBox, "lb");
    auto files = make(ControlKind::FileList, "f");
    // Refused as the real host refuses them: error 438.
    for (const auto& refused : std::vector<std::function<void()>>{
             [&] { (void)timer->text(); }, [&] { timer->set_visible(true); },
             [&] { (void)label->value(); }, [&] { label->add_item("x"); },
             [&] { list->set_folder("/"); }, [&] { files->add_item("x"); },
             [&] { (void)label->picture(); }}) {
        try {
            refused();
            ADD_FAILURE() << "not refused";
        } catch (const AppError& error) {
            EXPECT_EQ(error.number(), 438);
        }
    }
    list->add_item("a");
    EXPECT_THROW(list->set_list_index(1), AppError);
    EXPECT_THROW(desktop.create_control(*form, make_spec("l", -1, ControlKind::Label)),
                 std::logic_error);  // twice
}

TEST_F(SimDesktopTest, OptionButtonsFormOneGroup) {
    auto form = desktop.create_form(FormSpec{}, sink);
    std::vector<std::unique_ptr<Control>> options;
    for (int i = 0; i < 3; ++i) {
        ControlSpec design = make_spec("Op1", i, ControlKind::OptionButton);
        options.push_back(desktop.create_control(*form, design));
    }
    options[0]->set_value(true);
    desktop.type_text("Op1", "", 2);
    EXPECT_FALSE(options[0]->value());
    EXPECT_TRUE(options[2]->value());
}

TEST_F(SimDesktopTest, FileListShowsMatchingVisibleFilesSortedWithoutCase) {
    const auto folder = std::filesystem::temp_directory_path() / "wl_sim_file_list";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "sub.ini");
    for (const char* name : {"b.ini", "A.INI", ".hidden.ini", "c.txt", "d.ini.bak"}) {
        std::ofstream(folder / name) << "";
    }
    auto form = desktop.create_form(FormSpec{}, sink);
    ControlSpec design = make_spec("File1", -1, ControlKind::FileList);
    design.pattern = "*.ini";
    auto list = desktop.create_control(*form, design);
    list->set_folder(folder.string());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0), "A.INI");
    EXPECT_EQ(list->item(1), "b.ini");
    std::ofstream(folder / "a2.ini") << "";
    EXPECT_EQ(list->count(), 2);  // until refreshed
    list->refresh();
    EXPECT_EQ(list->item(1), "a2.ini");
    EXPECT_EQ(world.files.list_files(folder.string(), "*.ini").size(), 3u);
    std::filesystem::remove_all(folder);
}

TEST_F(SimDesktopTest, ScriptedDialogsMenusAndTheEnd) {
    auto form = desktop.create_form(FormSpec{}, sink);
    EXPECT_EQ(desktop.message_box("a", "b", mb::kOk), mb::kResultOk);
    EXPECT_EQ(desktop.message_box("a", "b", mb::kYesNo), mb::kResultNo);
    desktop.script_message_box(mb::kResultYes);
    EXPECT_EQ(desktop.message_box("There?", "default_wl.ini?", mb::kYesNo), mb::kResultYes);
    EXPECT_EQ(desktop.message_boxes().back().result, mb::kResultYes);

    ControlSpec menu_spec = make_spec("traymenu", -1, ControlKind::Menu);
    auto menu = desktop.create_control(*form, menu_spec);
    ControlSpec item_spec = make_spec("exit", -1, ControlKind::MenuItem);
    item_spec.parent = "traymenu";
    auto item = desktop.create_control(*form, item_spec);
    desktop.popup_menu(*menu);  // dismissed
    EXPECT_TRUE(sink.seen.empty());
    desktop.script_menu_choice("exit");
    sink.handler = [this](const UiEvent&) { desktop.end_program(); };
    desktop.popup_menu(*menu);
    EXPECT_EQ(desktop.popups(), (std::vector<std::string>{"traymenu", "traymenu"}));
    EXPECT_EQ(sink.seen, std::vector<std::string>{"exit:0"});
    EXPECT_TRUE(desktop.ended());
    desktop.post(click("Command2"));
    desktop.fire(click("Command2"));
    desktop.advance(100);
    EXPECT_EQ(sink.seen.size(), 1u);  // nothing reaches the program any more
}

TEST_F(SimDesktopTest, SystemMenuLosesItemsByCommand) {
    const Hwnd w = desktop.add_window("W", "", r);
    const MenuHandle menu = desktop.get_system_menu(w);
    ASSERT_NE(menu, 0u);
    EXPECT_EQ(desktop.get_system_menu(w), menu);
    EXPECT_EQ(desktop.system_menu_items(w).size(), 7u);
    EXPECT_TRUE(desktop.remove_menu(menu, kScClose, kMfByCommand | kMfRemove));
    EXPECT_EQ(desktop.system_menu_items(w).back(), 0u);  // the separator is last now
    EXPECT_TRUE(desktop.remove_menu(menu, 0xF020, kMfByCommand));
    EXPECT_FALSE(desktop.remove_menu(menu, kScClose, kMfByCommand));  // gone already
    EXPECT_EQ(desktop.system_menu_items(w),
              (std::vector<unsigned>{0xF120, 0xF010, 0xF000, 0xF030, 0}));
    EXPECT_EQ(desktop.get_system_menu(0x7777), 0u);
}

TEST_F(SimDesktopTest, CallLogLinesAreReadable) {
    const Hwnd box = desktop.open_message_box("Save changes?", {"&Yes"});
    world.log.clear();
    std::vector<std::string> hooked;
    world.log.on_call = [&](const std::string& call) { hooked.push_back(call); };
    const Hwnd yes =
        desktop.find_window_ex(desktop.find_window("#32770", "Save changes?"), 0, "Button", "&Yes");
    desktop.window_surface(box)->get_pixel(0, 25);
    desktop.click_button(yes);
    world.shell.notify_icon(kNimAdd, TrayRecord{});
    world.files.write_private_profile_string("WindowTitles", "Num_Windows", "1",
                                             "/nonexistent/x.ini");
    desktop.set_window_pos(box, kHwndTopmost, 1, 2, 3, 4, 0);
    desktop.message_box("text", "caption", mb::kOk);
    desktop.do_events();
    const std::string b = "0x" + [&] {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(box));
        return std::string(buffer);
    }();
    const std::string y = "0x" + [&] {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(yes));
        return std::string(buffer);
    }();
    const std::vector<std::string> expected = {
        "FindWindowA(#32770,Save changes?)",
        "FindWindowExA(" + b + ",0,Button,&Yes)",
        "GetWindowDC(" + b + ")",
        "GetPixel(" + b + ",0,25)",
        "ReleaseDC(" + b + ")",
        "BM_CLICK(" + y + ")",
        "Shell_NotifyIconA(0)",
        "WritePrivateProfileStringA(WindowTitles,Num_Windows,1,/nonexistent/x.ini)",
        "SetWindowPos(" + b + ",-1,1,2,3,4,0)",
        "MessageBox(text|caption)",
        "DoEvents",
    };
    EXPECT_EQ(world.log.calls(), expected);
    EXPECT_EQ(hooked, expected);
    EXPECT_EQ(world.log.calls_starting("Get").size(), 2u);
}

TEST_F(SimDesktopTest, FailuresOnDemand) {
    world.files.fail_next("read");
    EXPECT_THROW(world.files.get_private_profile_string("A", "b", "c", 256, "/x.ini"),
                 std::runtime_error);
    EXPECT_EQ(world.files.get_private_profile_string("A", "b", "c", 256, "/x.ini"), "c");
    world.shell.fail_notify_icon(true);
    EXPECT_FALSE(world.shell.notify_icon(kNimAdd, TrayRecord{}));
    EXPECT_FALSE(world.shell.icon_present());
    world.shell.fail_notify_icon(false);
    EXPECT_TRUE(world.shell.notify_icon(kNimAdd, TrayRecord{}));
    EXPECT_TRUE(world.shell.icon_present());
    desktop.fail_start_program(true);
    try {
        desktop.start_program("notepad x.ini", 1);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), 53);
    }
    EXPECT_TRUE(desktop.started_programs().empty());
}

}  // namespace
}  // namespace wl::sim
