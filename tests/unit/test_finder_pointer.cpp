// The finder under the user's own pointer: presses, moves and releases
// routed by the window system to the control that holds the capture or lies
// under the pointer, as the host delivers them to the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"
#include "profile/add_entry.h"

namespace wl::testing {
namespace {

constexpr Colour kRed = rgb(255, 0, 0);

class FinderPointerTest : public AppTest {
  protected:
    void SetUp() override {
        folder.write("default_wl.ini", "");
        start();
        box = desktop().open_message_box("Choose", {"&No", "OK"});
    }

    Rect rect_of(Hwnd window) { return desktop().window(window).rect; }
    Point centre_of(Hwnd window) {
        const Rect r = rect_of(window);
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    Point finder() { return centre_of(form->Picture2->hwnd()); }
    // A point on the box's caption bar: the box itself, not one of its buttons.
    Point on_box() {
        const Rect r = rect_of(box);
        return Point{(r.left + r.right) / 2, r.top + 8};
    }
    void drag_to(Point target) {
        desktop().pointer_down(finder());
        desktop().pointer_move(Point{finder().x + 20, finder().y + 20});
        desktop().pointer_move(target);
    }
    std::vector<std::string> offered() {
        std::vector<std::string> shown;
        for (int k = 0; k < 3; ++k) {
            if (form->cmd1[k]->visible())
                shown.push_back(form->cmd1[k]->text());
        }
        return shown;
    }
    int chosen() {
        for (int k = 0; k < 3; ++k) {
            if (form->Op1[k]->value())
                return k;
        }
        return -1;
    }
    bool framed(Hwnd window) {
        const Rect r = rect_of(window);
        return desktop().pixel(window, 0, 0) == kRed &&
               desktop().pixel(window, r.right - r.left - 1, r.bottom - r.top - 1) == kRed;
    }

    Hwnd box = 0;
};

TEST_F(FinderPointerTest, ADragOntoABoxOffersItsButtonsAndAddStoresTheChoice) {
    drag_to(on_box());
    desktop().pointer_up(on_box());
    EXPECT_EQ(offered(), (std::vector<std::string>{"&No", "OK"}));
    EXPECT_EQ(form->Text1->text(), "Choose");
    EXPECT_EQ(desktop().capture(), 0u);
    // Clicked on the caption, not on the small option beside it.
    desktop().pointer_down(centre_of(form->cmd1[1]->hwnd()));
    desktop().pointer_up(centre_of(form->cmd1[1]->hwnd()));
    EXPECT_EQ(chosen(), 1);
    click("Command3");
    EXPECT_EQ(folder.read("default_wl.ini"),
              profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=Choose[OK]<<#32770>>"}));
    EXPECT_EQ(form->Label3->text(), kAddedMessage);
}

// Pressed on the form's background just left of the finder and released over
// it: the release is not the finder's, so no walk replaces the offered
// buttons and the user's choice.
TEST_F(FinderPointerTest, AReleaseOverTheFinderAfterAPressBesideItIsNotTheFinders) {
    drag_to(on_box());
    desktop().pointer_up(on_box());
    desktop().type_text("Op1", "", 0);  // "&No"
    const Point beside{rect_of(form->Picture2->hwnd()).left - 2, finder().y};
    ASSERT_EQ(desktop().window_from_point(beside), form->form().hwnd());

    world.log.clear();
    desktop().pointer_down(beside);
    desktop().pointer_move(finder());
    desktop().pointer_up(finder());
    EXPECT_TRUE(world.log.calls_starting("GetWindow(").empty()) << "a walk ran";
    EXPECT_EQ(offered(), (std::vector<std::string>{"&No", "OK"}));
    EXPECT_EQ(chosen(), 0);
    click("Command3");
    EXPECT_EQ(folder.read("default_wl.ini"),
              profile_text({"[WindowTitles]", "Num_Windows=1", "Title1=Choose[&No]<<#32770>>"}));
}

TEST_F(FinderPointerTest, OtherButtonsStartADragAndOnlyTheirOwnReleaseEndsIt) {
    desktop().pointer_down(finder(), 2);
    desktop().pointer_move(on_box());
    // A left release that had no press on the finder changes nothing.
    desktop().pointer_up(on_box(), 1);
    EXPECT_TRUE(form->finder().dragging);
    desktop().pointer_up(on_box(), 2);
    EXPECT_FALSE(form->finder().dragging);
    EXPECT_EQ(offered(), (std::vector<std::string>{"&No", "OK"}));
}

// Alt+Tab, Ctrl+Alt+Del or another program's window take the pointer in the
// middle of a drag: the release never comes, and the finder must not stay
// in its drag.
TEST_F(FinderPointerTest, CaptureTakenAwayMidDragEndsItWithoutAWalk) {
    drag_to(on_box());
    ASSERT_TRUE(framed(box));
    ASSERT_EQ(form->form().mouse_pointer(), MousePointer::Custom);
    const std::string class_before = form->finder().picked_class;
    const Hwnd other = desktop().add_window("Other", "Elsewhere", Rect{0, 0, 50, 50});

    world.log.clear();
    desktop().take_capture(other);
    EXPECT_FALSE(form->finder().dragging);
    EXPECT_EQ(form->Picture2->picture(), Picture::FinderTool);
    EXPECT_EQ(form->form().mouse_pointer(), MousePointer::Default);
    EXPECT_FALSE(framed(box)) << "the drag's frame stayed on the box";
    EXPECT_EQ(form->Text1->text(), "Choose");
    EXPECT_EQ(form->finder().picked_class, class_before);
    EXPECT_TRUE(world.log.calls_starting("GetWindow(").empty()) << "a walk ran";
    EXPECT_TRUE(world.log.calls_starting("ReleaseCapture").empty())
        << "the capture is another window's now";

    // The release goes to the window that took the pointer, which then lets
    // it go; later moves over the finder frame nothing.
    desktop().pointer_up(on_box());
    desktop().take_capture(0);
    const std::string caption = form->form().text();
    world.log.clear();
    desktop().pointer_move(finder());
    desktop().pointer_move(on_box());
    EXPECT_EQ(form->form().text(), caption);
    EXPECT_FALSE(framed(box));
    EXPECT_TRUE(world.log.calls_starting("GetWindowDC").empty());
}

TEST_F(FinderPointerTest, ANewDragAfterALostOneFramesAndPicksAsUsual) {
    drag_to(on_box());
    desktop().take_capture(desktop().add_window("Other", "Elsewhere", Rect{0, 0, 50, 50}));
    desktop().pointer_up(on_box());
    desktop().take_capture(0);
    drag_to(on_box());
    EXPECT_TRUE(framed(box));
    desktop().pointer_up(on_box());
    EXPECT_EQ(offered(), (std::vector<std::string>{"&No", "OK"}));
    EXPECT_EQ(form->Text4->text(), "#32770");
}

// The choice survives a press whose walk finds no push button, hidden:
// "Add" stores nothing and says how to pick the box instead.
TEST_F(FinderPointerTest, AChoiceLeftFromAPickBeforeOneOfferingNothingIsNotAdded) {
    drag_to(on_box());
    desktop().pointer_up(on_box());
    desktop().type_text("Op1", "", 0);
    const Hwnd plain =
        desktop().add_window("Notepad", "No Buttons Window", Rect{900, 700, 990, 760});
    drag_to(centre_of(plain));
    desktop().pointer_up(centre_of(plain));
    ASSERT_TRUE(offered().empty());
    ASSERT_EQ(chosen(), 0);
    click("Command3");
    EXPECT_EQ(folder.read("default_wl.ini"), "");
    EXPECT_EQ(form->Label3->text(), kNoButtonMessage);
}

}  // namespace
}  // namespace wl::testing
