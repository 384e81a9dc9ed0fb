// The finder tool driven as the user drives it: press on Picture2, moves over
// windows of the simulated desktop, release.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_control.h"
#include "test_capture_fixture.h"

namespace wl::capture::testing {
namespace {

constexpr const char* kWarning = "Couldn't find parent Solidworks window";
constexpr Colour kRed = rgb(255, 0, 0);

std::string hex_of(Hwnd h) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(h & 0xFFFFFFFFu));
    return digits;
}

class FinderTest : public CaptureWorld {
  protected:
    FinderTest() {
        sink.handler = [this](const UiEvent& e) {
            if (e.control != "Picture2") {
                return;
            }
            if (e.kind == EventKind::MouseDown) {
                finder.Picture2_MouseDown();
            } else if (e.kind == EventKind::MouseMove) {
                finder.Picture2_MouseMove();
            } else if (e.kind == EventKind::MouseUp) {
                finder.Picture2_MouseUp();
            }
        };
    }

    // Puts the pointer over the window's outer top-left pixel, or over a given
    // screen point, and lets Picture2 see the move.
    void move_over(Hwnd window) {
        const Rect& r = d.window(window).rect;
        move_to(Point{r.left, r.top});
    }
    void move_to(Point p) {
        d.set_cursor(p);
        finder.Picture2_MouseMove();
    }
    void pick(Hwnd window) {
        finder.Picture2_MouseDown();
        move_over(window);
        finder.Picture2_MouseUp();
    }
    bool framed(Hwnd window) {
        const Rect& r = d.window(window).rect;
        return d.pixel(window, 0, 0) == kRed && d.pixel(window, 0, r.bottom - r.top - 1) == kRed;
    }
    std::ptrdiff_t call_index(const std::string& call) const {
        const auto& calls = world.log.calls();
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    }

    Finder finder{d, d, capture_controls()};
    // Side by side, clear of the stand-in form in the top-left corner.
    Rect slot(int i) const { return Rect{600 + 120 * i, 600, 700 + 120 * i, 660}; }
};

TEST_F(FinderTest, PressHidesTheLastResultAndStartsTheDrag) {
    Label3->set_visible(true);
    for (std::size_t k = 0; k < 3; ++k) {
        cmd1[k]->set_visible(true);
        cmd1[k]->set_text("old");
        Op1[k]->set_visible(true);
    }
    Op1[1]->set_value(true);
    finder.tree_walk().button_count = 7;

    finder.Picture2_MouseDown();

    EXPECT_FALSE(Label3->visible());
    EXPECT_TRUE(offered_buttons().empty());
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(cmd1[k]->text(), "") << k;
    }
    EXPECT_TRUE(Op1[1]->value()) << "the selection survives the press";
    EXPECT_EQ(finder.tree_walk().button_count, 0);
    EXPECT_EQ(form->mouse_pointer(), MousePointer::Custom);
    EXPECT_EQ(Picture2->picture(), Picture::None);
    EXPECT_TRUE(finder.dragging);
    EXPECT_EQ(d.capture(), Picture2->hwnd());
}

TEST_F(FinderTest, MovesOutsideADragAreIgnored) {
    const Hwnd w = add("Frame", "Somewhere", 0, 0, slot(0));
    world.log.clear();
    move_over(w);
    EXPECT_TRUE(world.log.calls().empty());
    EXPECT_EQ(finder.picked_window, 0u);
}

// Text1 after moving over a window with `before` and then one with `title`;
// the title as the window has it is kept for "Add".
struct TextCase {
    const char* name;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
    std::string before;
    std::string title;
    std::string shown;
    std::string buffer_start;  // the buffer's first characters afterwards
};

class FinderTextTest : public FinderTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(FinderTextTest, Text1ShowsTheTextReadIntoTheKeptBuffer) {
    const TextCase& c = GetParam();
    const Hwnd first = add("Frame", c.before, 0, 0, slot(0));
    const Hwnd second = add("Frame", c.title, 0, 0, slot(1));
    finder.Picture2_MouseDown();
    move_over(first);
    move_over(second);
    EXPECT_EQ(Text1->text(), c.shown);
    EXPECT_EQ(finder.picked_title, c.title.substr(0, 143)) << "what \"Add\" stores";
    EXPECT_EQ(finder.title_buffer.contents().substr(0, c.buffer_start.size()), c.buffer_start);
    EXPECT_EQ(finder.title_buffer.contents().size(), 144u);
    EXPECT_EQ(form->text(), hex_of(second));
}

const std::string k200(200, 'a');

INSTANTIATE_TEST_SUITE_P(
    Titles, FinderTextTest,
    ::testing::Values(
        TextCase{"shorter_text_leaves_the_old_tail", "Hello World", "Hi", "Hi",
                 std::string("Hi\0lo World\0\0", 14)},
        TextCase{"leading_spaces_dropped_trailing_kept", "", "   Save  ", "Save  ",
                 std::string("   Save  \0", 10)},
        TextCase{"leading_spaces_over_old_text", "Hello World", "  ab", "ab",
                 std::string("  ab\0 World\0", 12)},
        TextCase{"spaces_only", "Hello World", "   ", "", std::string("   \0o World", 11)},
        TextCase{"untitled_window", "Hello", "", "", std::string("\0ello\0", 6)},
        TextCase{"cut_to_143", "", k200, std::string(143, 'a'), std::string(143, 'a') + '\0'}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST_F(FinderTest, MovingWithinOneWindowFramesItOnce) {
    const Hwnd w = add("Frame", "Target", 0, 0, slot(0));
    finder.Picture2_MouseDown();
    world.log.clear();
    for (int i = 0; i < 5; ++i) {
        move_to(Point{slot(0).left + 10 * i, slot(0).top + 5});
    }
    EXPECT_EQ(world.log.calls_starting("GetWindowDC(").size(), 1u);
    EXPECT_EQ(world.log.calls_starting("WM_GETTEXT(" + sim::hex(w)).size(), 5u);
    EXPECT_EQ(d.surfaces_open(), 0);
    EXPECT_TRUE(framed(w));
    EXPECT_EQ(finder.outline().outlined_window, w);
}

TEST_F(FinderTest, MovingToAnotherWindowUnframesTheOldBeforeReadingTheNew) {
    const Hwnd a = add("Frame", "A", 0, 0, slot(0));
    const Hwnd b = add("Frame", "B", 0, 0, slot(1));
    finder.Picture2_MouseDown();
    move_over(a);
    world.log.clear();
    move_over(b);

    const auto unframe_a = call_index("GetWindowDC(" + sim::hex(a) + ")");
    const auto read_b = call_index("WM_GETTEXT(" + sim::hex(b) + ",144)");
    const auto frame_b = call_index("GetWindowDC(" + sim::hex(b) + ")");
    const auto end = static_cast<std::ptrdiff_t>(world.log.calls().size());
    ASSERT_LT(frame_b, end);
    EXPECT_LT(unframe_a, read_b);
    EXPECT_LT(read_b, frame_b);
    EXPECT_FALSE(framed(a));
    EXPECT_TRUE(framed(b));
    EXPECT_EQ(Text1->text(), "B");
}

TEST_F(FinderTest, ReleaseEndsTheDragAndLeavesTheFrame) {
    const Hwnd w = add("Frame", "Target", 0, 0, slot(0));
    pick(w);
    EXPECT_FALSE(finder.dragging);
    EXPECT_EQ(Picture2->picture(), Picture::FinderTool);
    EXPECT_EQ(form->mouse_pointer(), MousePointer::Default);
    EXPECT_EQ(d.capture(), 0u);
    EXPECT_EQ(world.log.calls_starting("ReleaseCapture(").size(), 1u);
    EXPECT_EQ(Text4->text(), "Frame");
    EXPECT_EQ(finder.picked_class, "Frame");
    EXPECT_EQ(finder.picked_window, w);
    EXPECT_TRUE(framed(w));
    EXPECT_EQ(form->text(), hex_of(w));
}

TEST_F(FinderTest, PressAndReleaseWithoutMoveWalksTheDesktop) {
    const Hwnd top = add("Frame", "Some application", 0, 0, slot(0));
    add("Button", "Go", top, 0, slot(0));
    finder.Picture2_MouseDown();
    finder.Picture2_MouseUp();
    EXPECT_EQ(finder.picked_window, d.desktop_window());
    const auto items = list_items();
    EXPECT_NE(std::find(items.begin(), items.end(), "Some application\tFrame"), items.end());
    EXPECT_TRUE(Label3->visible());
    EXPECT_EQ(Label3->text(), kWarning);
}

// A stack of windows from the top down; the last one is picked.
struct Level {
    std::string cls;
    std::string title;
    bool owned = false;  // owned by the level above (a top-level window); else its child
};

struct ClimbCase {
    const char* name;
    friend void PrintTo(const ClimbCase& c, std::ostream* os) { *os << c.name; }
    std::vector<Level> levels;
    std::string text2;
    bool warning;
};

class FinderClimbTest : public FinderTest, public ::testing::WithParamInterface<ClimbCase> {};

TEST_P(FinderClimbTest, ParentTitlesDecideTheWarning) {
    const ClimbCase& c = GetParam();
    Hwnd above = 0;
    int slot_index = 0;
    for (const Level& level : c.levels) {
        if (above == 0 || level.owned) {
            above = add(level.cls, level.title, 0, above, slot(slot_index++));
        } else {
            above = add(level.cls, level.title, above, 0, d.window(above).rect);
        }
    }
    pick(above);
    EXPECT_EQ(finder.picked_window, above);
    EXPECT_EQ(Text4->text(), c.levels.back().cls);
    EXPECT_EQ(Text2->text(), c.text2);
    EXPECT_EQ(Label3->visible(), c.warning);
    if (c.warning) {
        EXPECT_EQ(Label3->text(), kWarning);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parents, FinderClimbTest,
    ::testing::Values(
        ClimbCase{"dialog_owned_by_solidworks",
                  {{"SldWorks", "SolidWorks 2024 - [Part1]"}, {"#32770", "Rebuild", true}},
                  "SolidWorks 2024 - [Part1]",
                  false},
        ClimbCase{
            "button_in_a_solidworks_dialog",
            {{"SldWorks", "SolidWorks 2024"}, {"#32770", "Rebuild", true}, {"Button", "&Yes"}},
            "SolidWorks 2024 level2 ",
            false},
        ClimbCase{"other_application_with_grandparent",
                  {{"Notepad", "Untitled - Notepad"}, {"#32770", "Find", true}, {"Edit", "x"}},
                  "Untitled - Notepad level2 ",
                  true},
        ClimbCase{"no_grandparent_keeps_the_parent_title",
                  {{"#32770", "Lonely dialog"}, {"Button", "OK"}},
                  " level2 ",
                  true},
        ClimbCase{
            "untitled_parent_without_parent", {{"Frame", ""}, {"Button", "OK"}}, " level2 ", true},
        ClimbCase{"prefix_is_case_sensitive",
                  {{"SldWorks", "Solidworks 2024"}, {"#32770", "Rebuild", true}},
                  " level2 ",
                  true},
        ClimbCase{"no_parent_on_first_use", {{"Frame", "Alone"}}, " level2 ", true}),
    [](const ::testing::TestParamInfo<ClimbCase>& info) { return std::string(info.param.name); });

TEST_F(FinderTest, WindowWithoutParentIsJudgedByThePreviousRelease) {
    const Hwnd main = add("SldWorks", "SolidWorks 2024", 0, 0, slot(0));
    const Hwnd dialog = add("#32770", "Rebuild", 0, main, slot(1));
    const Hwnd alone = add("Frame", "Alone", 0, 0, slot(2));
    pick(dialog);
    ASSERT_FALSE(Label3->visible());

    pick(alone);
    // Neither read changed the buffer: it still starts with the last parent title.
    EXPECT_EQ(Text2->text(), "");
    EXPECT_FALSE(Label3->visible());
    EXPECT_EQ(finder.parent_title_buffer.contents().substr(0, 16),
              std::string("SolidWorks 2024\0", 16));
}

TEST_F(FinderTest, MessageBoxOfSolidWorksOffersItsButtons) {
    const Hwnd main = add("SldWorks", "SolidWorks 2024", 0, 0, slot(0));
    const Hwnd box = d.open_message_box("Save", {"&Yes", "&No", "Cancel"}, main, "Save changes?");
    d.window(box).program = "C:\\SW\\SLDWORKS.exe";
    pick(box);
    EXPECT_EQ(finder.picked_window, box);
    EXPECT_EQ(offered_buttons(), (std::vector<std::string>{"&Yes", "&No", "Cancel"}));
    EXPECT_TRUE(Op1[0]->value());
    EXPECT_EQ(Text1->text(), "Save");
    EXPECT_EQ(Text4->text(), "#32770");
    EXPECT_EQ(Text2->text(), "SolidWorks 2024");
    EXPECT_FALSE(Label3->visible());
    // What an entry's Text and Program keys would be compared with.
    const auto items = list_items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(items.end() - 2, items.end()),
              (std::vector<std::string>{"Save changes?\tMessage", "SLDWORKS.exe\tProgram"}));
    EXPECT_EQ(dynamic_cast<sim::SimControl&>(*Picture2).tooltip(),
              "Message:\r\nSave changes?\r\nProgram: SLDWORKS.exe");
}

// Moves that arrive while the release walks the tree are handled as during
// the drag; the release finishes with the window picked last.
TEST_F(FinderTest, MovesDuringTheWalkRepickAndTheReleaseUsesTheLastPick) {
    const Hwnd a = add("Frame", "A", 0, 0, slot(0));
    add("Button", "Inside A", a, 0,
        Rect{slot(0).left + 10, slot(0).top + 10, slot(0).left + 40, slot(0).top + 30});
    const Hwnd owner = add("SldWorks", "SolidWorks 2024", 0, 0, slot(2));
    const Hwnd b = add("#32770", "B", 0, owner, slot(1));
    finder.Picture2_MouseDown();
    move_over(a);
    d.set_cursor(Point{slot(1).left, slot(1).top});
    d.post(UiEvent{"Picture2", -1, EventKind::MouseMove});

    finder.Picture2_MouseUp();

    EXPECT_EQ(finder.picked_window, b);
    EXPECT_EQ(list_items(), (std::vector<std::string>{"Inside A\tButton"}));
    EXPECT_EQ(Text1->text(), "B");
    EXPECT_EQ(Text4->text(), "#32770");
    EXPECT_EQ(Text2->text(), "SolidWorks 2024");
    EXPECT_FALSE(Label3->visible());
    EXPECT_FALSE(framed(a));
    EXPECT_TRUE(framed(b));
    EXPECT_FALSE(finder.dragging);
}

// A whole press, move and release handled while a release walks: the inner
// walk starts over (list emptied, count reset), the outer one carries on
// from where it was and appends behind it.
TEST_F(FinderTest, ADragCompletedDuringTheWalkRunsASecondWalkInsideTheFirst) {
    const Hwnd a = add("#32770", "A", 0, 0, slot(0));
    add("Button", "a1", a, 0, Rect{610, 610, 640, 630});
    add("Button", "a2", a, 0, Rect{650, 610, 680, 630});
    const Hwnd b = add("#32770", "B", 0, 0, slot(1));
    add("Button", "b1", b, 0, Rect{730, 610, 760, 630});
    finder.Picture2_MouseDown();
    move_over(a);
    d.set_cursor(Point{slot(1).left + 50, slot(1).top + 50});
    d.post(UiEvent{"Picture2", -1, EventKind::MouseDown});
    d.post(UiEvent{"Picture2", -1, EventKind::MouseMove});
    d.post(UiEvent{"Picture2", -1, EventKind::MouseUp});

    finder.Picture2_MouseUp();

    EXPECT_EQ(list_items(), (std::vector<std::string>{"b1\tButton", "a1\tButton", "a2\tButton"}));
    EXPECT_EQ(offered_buttons(), (std::vector<std::string>{"b1", "a1", "a2"}));
    EXPECT_EQ(finder.tree_walk().button_count, 3);
    EXPECT_EQ(finder.picked_window, b) << "picked by the inner move";
    EXPECT_FALSE(finder.dragging);
    EXPECT_EQ(d.surfaces_open(), 0);
}

TEST_F(FinderTest, PointerOffEveryWindowPicksNothingAndFramesNothing) {
    const Hwnd w = add("Frame", "Target", 0, 0, slot(0));
    finder.Picture2_MouseDown();
    move_over(w);
    move_to(Point{5000, 5000});
    EXPECT_EQ(finder.picked_window, 0u);
    EXPECT_EQ(form->text(), "0");
    EXPECT_EQ(Text1->text(), "");
    EXPECT_FALSE(framed(w));
    world.log.clear();
    move_over(w);
    EXPECT_EQ(world.log.calls_starting("GetWindowDC(").size(), 1u) << "nothing left to unframe";
    EXPECT_TRUE(framed(w));
}

TEST_F(FinderTest, DraggingOverTheFinderItselfFramesItWithAnEmptyText) {
    const Hwnd picture = Picture2->hwnd();
    form->set_visible(true);
    Text1->set_text("previous");
    finder.Picture2_MouseDown();
    move_over(picture);
    EXPECT_EQ(finder.picked_window, picture);
    EXPECT_EQ(Text1->text(), "");
    EXPECT_EQ(finder.outline().outlined_window, picture);
}

}  // namespace
}  // namespace wl::capture::testing
