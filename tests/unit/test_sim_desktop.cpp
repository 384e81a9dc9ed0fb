// The simulated desktop's trickier behaviours, which the logic's tests rely
// on: z-order and lookups, message boxes closing on a click, timers and
// virtual time, events running inside events.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace wl::sim {
namespace {

class RecordingSink : public EventSink {
public:
    std::function<void(const UiEvent&)> handler;
    std::vector<std::string> seen;
    bool refuse = true;
    std::vector<int> close_reasons;

    void on_event(const UiEvent& event) override {
        seen.push_back(event.control + (event.index >= 0 ? "(" + std::to_string(event.index) + ")"
                                                         : std::string()) +
                       ":" + std::to_string(static_cast<int>(event.kind)));
        if (handler) {
            handler(event);
        }
    }
    bool on_query_unload(int reason) override {
        close_reasons.push_back(reason);
        return refuse;
    }
};

class SimDesktopTest : public ::testing::Test {
protected:
    SimWorld world{std::filesystem::temp_directory_path().string()};
    SimDesktop& desktop = world.desktop;
};

TEST_F(SimDesktopTest, SmokeFindsAndClosesMessageBox) {
    const Hwnd box = desktop.open_message_box("Save changes?", {"&Yes", "&No"});
    const Hwnd found = desktop.find_window("#32770", "SAVE CHANGES?");
    ASSERT_EQ(found, box);
    const Hwnd no = desktop.find_window_ex(found, 0, "button", "&no");
    ASSERT_NE(no, 0u);
    EXPECT_TRUE(desktop.click_button(no));
    EXPECT_FALSE(desktop.exists(box));
    EXPECT_EQ(desktop.message_box_answer(box), "&No");
}

}  // namespace
}  // namespace wl::sim
