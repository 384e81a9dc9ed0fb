// The walk below a picked window: what it lists, which push buttons it
// offers, in which order, and that it lets events run as it goes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "test_capture_fixture.h"

namespace wl::capture::testing {
namespace {

using Items = std::vector<std::string>;

class TreeWalkTest : public CaptureWorld {
  protected:
    Items walk(Hwnd start) {
        walker.FindChildWindows(start);
        return list_items();
    }
    TreeWalk walker{d, d, walk_controls()};
};

// A dialog as message boxes are built: children listed top first.
struct Child {
    std::string cls;
    std::string title;
};

struct DialogCase {
    const char* name;
    friend void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }
    std::vector<Child> children;
    Items listed;
    std::vector<std::string> offered;
    int button_count;
};

class TreeWalkDialogTest : public TreeWalkTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(TreeWalkDialogTest, ListsTitledChildrenAndOffersTheFirstThreePushButtons) {
    const DialogCase& c = GetParam();
    const Hwnd box = add("#32770", "Dialog");
    for (const Child& child : c.children) {
        add(child.cls, child.title, box);
    }
    EXPECT_EQ(walk(box), c.listed);
    EXPECT_EQ(offered_buttons(), c.offered);
    EXPECT_EQ(walker.button_count, c.button_count);
    EXPECT_EQ(Op1[0]->value(), !c.offered.empty()) << "the first offered button is selected";
}

const std::string k300(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Dialogs, TreeWalkDialogTest,
    ::testing::Values(
        DialogCase{
            "save_changes",
            {{"Button", "OK"}, {"Button", "Cancel"}, {"Static", ""}, {"Static", "Save changes?"}},
            {"OK\tButton", "Cancel\tButton", "Save changes?\tStatic"},
            {"OK", "Cancel"},
            2},
        DialogCase{
            "five_buttons",
            {{"Button", "&Yes"},
             {"Button", "&No"},
             {"Button", "Cancel"},
             {"Button", "Help"},
             {"Button", "More"}},
            {"&Yes\tButton", "&No\tButton", "Cancel\tButton", "Help\tButton", "More\tButton"},
            {"&Yes", "&No", "Cancel"},
            5},
        DialogCase{"spaces_trimmed_in_list_kept_in_caption",
                   {{"Button", "A"}, {"Button", "B"}, {"Button", "  Next  "}, {"Static", "   "}},
                   {"A\tButton", "B\tButton", "Next\tButton", "\tStatic"},
                   {"A", "B", "  Next  "},
                   3},
        DialogCase{"class_compared_in_upper_case",
                   {{"button", "lower"}, {"BUTTON", "upper"}, {"Buttons", "not a button"}},
                   {"lower\tbutton", "upper\tBUTTON", "not a button\tButtons"},
                   {"lower", "upper"},
                   2},
        DialogCase{"untitled_button_offered_not_listed", {{"Button", ""}}, {}, {""}, 1},
        DialogCase{"long_title_cut_to_254",
                   {{"Static", k300}},
                   {std::string(254, 'x') + "\tStatic"},
                   {},
                   0}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

TEST_F(TreeWalkTest, DescendantsComeBeforeTheirWindowAndSiblingsTopFirst) {
    const Hwnd dialog = add("#32770", "Options");
    const Hwnd group = add("Button", "Group", dialog);  // a group box has the button class too
    add("Button", "Inner", group);
    const Hwnd pane = add("Pane", "Pane", group);
    add("Edit", "Deep", pane);
    add("Button", "After", dialog);

    EXPECT_EQ(walk(dialog), (Items{"Inner\tButton", "Deep\tEdit", "Pane\tPane", "Group\tButton",
                                   "After\tButton"}));
    EXPECT_EQ(offered_buttons(), (std::vector<std::string>{"Inner", "Group", "After"}));
    EXPECT_EQ(d.window(dialog).title, "Options")
        << "the start window is neither listed nor counted";
}

TEST_F(TreeWalkTest, WindowWithoutChildrenChangesNothing) {
    const Hwnd lone = add("Static", "Lone");
    Op1[1]->set_value(true);
    EXPECT_TRUE(walk(lone).empty());
    EXPECT_TRUE(offered_buttons().empty());
    EXPECT_EQ(walker.button_count, 0);
    EXPECT_TRUE(Op1[1]->value()) << "a walk never clears the selection";
}

TEST_F(TreeWalkTest, StartOfZeroWalksTheDesktopAndHandsBackItsHandle) {
    const Hwnd top = add("Frame", "Top level");
    add("Button", "Inside", top);
    Hwnd start = 0;
    walker.ListChildWindows(start);
    EXPECT_EQ(start, d.desktop_window());
    const Items items = list_items();
    const auto pos = [&](const std::string& item) {
        return std::find(items.begin(), items.end(), item) - items.begin();
    };
    ASSERT_LT(pos("Top level\tFrame"), static_cast<long>(items.size()));
    EXPECT_LT(pos("Inside\tButton"), pos("Top level\tFrame"));
}

TEST_F(TreeWalkTest, CountingPastTheSixteenBitLimitSaturates) {
    const Hwnd box = add("#32770", "Many");
    for (int i = 0; i < 3; ++i) {
        add("Button", "b" + std::to_string(i), box);
    }
    walker.button_count = 32766;
    walk(box);
    EXPECT_EQ(walker.button_count, 32767);
    EXPECT_TRUE(offered_buttons().empty());
}

// The call stack must not grow with the depth of the tree: a deep chain of
// windows would otherwise exhaust the UI thread's stack. Every call the walk
// makes notes how deep the stack is at that moment.
TEST_F(TreeWalkTest, DeepChainIsWalkedInnermostFirstWithoutGrowingTheStack) {
    constexpr int kDepth = 2000;
    const Hwnd root = add("Frame", "root");
    Hwnd parent = root;
    for (int i = 0; i < kDepth; ++i) {
        parent = add("Level", std::to_string(i), parent);
    }
    std::uintptr_t lowest = UINTPTR_MAX;
    std::uintptr_t highest = 0;
    world.log.on_call = [&](const std::string&) {
        volatile char probe = 0;
        const auto at = reinterpret_cast<std::uintptr_t>(&probe);
        lowest = std::min(lowest, at);
        highest = std::max(highest, at);
    };
    const Items items = walk(root);
    world.log.on_call = nullptr;

    ASSERT_EQ(items.size(), static_cast<std::size_t>(kDepth));
    EXPECT_EQ(items.front(), std::to_string(kDepth - 1) + "\tLevel");
    EXPECT_EQ(items.back(), "0\tLevel");
    EXPECT_LT(highest - lowest, 16u * 1024u) << "stack spread in bytes";
}

// Before each window the walk lets pending events run. An event is kept
// waiting at all times; each one records how far the listing had got.
TEST_F(TreeWalkTest, PendingEventsRunBeforeEveryWindow) {
    const Hwnd box = add("#32770", "Box");
    const Hwnd first = add("Button", "First", box);
    add("Static", "Nested", first);
    add("Static", "Second", box);

    std::vector<int> listed_at_event;
    bool handling = false;
    sink.handler = [&](const UiEvent&) {
        handling = true;
        listed_at_event.push_back(List1->count());
        handling = false;
    };
    world.log.on_call = [&](const std::string&) {
        if (!handling && d.pending_events() == 0) {
            d.post(UiEvent{"Timer1", -1, EventKind::Timer});
        }
    };
    walk(box);
    world.log.on_call = nullptr;
    // Windows in walk order: First (before descending), Nested, Second.
    EXPECT_EQ(listed_at_event, (std::vector<int>{0, 0, 2}));
}

TEST_F(TreeWalkTest, WindowDestroyedDuringTheWalkEndsItsLevelEarly) {
    const Hwnd box = add("#32770", "Box");
    add("Static", "A", box);
    const Hwnd b = add("Static", "B", box);
    add("Static", "C", box);
    sink.handler = [&](const UiEvent&) {
        if (d.exists(b)) {
            d.destroy_window(b);
        }
    };
    // Arrange one event for the yield before B: posted once A is listed.
    world.log.on_call = [&](const std::string&) {
        if (List1->count() == 1 && d.exists(b) && d.pending_events() == 0) {
            d.post(UiEvent{"Timer1", -1, EventKind::Timer});
        }
    };
    const Items items = walk(box);
    world.log.on_call = nullptr;
    EXPECT_EQ(items, (Items{"A\tStatic"}));
}

}  // namespace
}  // namespace wl::capture::testing
