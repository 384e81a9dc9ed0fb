// The host conformance cases (also run against the real Win32 host by
// host_conformance.exe) on the simulated desktop, worked by a driver that
// plays the user on it.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app_fixture.h"
#include "conformance/host_cases.h"
#include "platform/sim/sim_platform.h"

namespace wl::testing {
namespace {

// The test form's free spot, in client pixels: clear of every control.
constexpr Point kFormSpot{300, 220};

class SimHostDriver final : public conformance::HostDriver {
  public:
    SimHostDriver() : world_(folder_.str()) {}

    Host& host() override { return world_.desktop; }

    void press(const Control& over, int button) override {
        desktop().pointer_down(point_over(over), button);
    }
    void move(const Control& over) override { desktop().pointer_move(point_over(over)); }
    void release(const Control& over, int button) override {
        desktop().pointer_up(point_over(over), button);
    }
    void take_capture_away() override {
        if (other_ == 0)
            other_ = desktop().add_window("Other", "Elsewhere", Rect{0, 0, 20, 20});
        desktop().take_capture(other_);
        desktop().take_capture(0);
    }

    void tab(bool backwards) override { desktop().press_tab(backwards); }
    void focus_on(const Control& control) override { desktop().set_focus(control.hwnd()); }
    Hwnd focus() override { return desktop().focus(); }

    void post_click(const Control& button) override { desktop().post_click(button.hwnd()); }
    void answer_next_box(int result) override { desktop().script_message_box(result); }
    Hwnd last_box_owner() override {
        const auto& boxes = desktop().message_boxes();
        return boxes.empty() ? 0 : boxes.back().owner;
    }
    void choose_in_next_menu(int position) override { desktop().script_menu_position(position); }
    void request_close() override { desktop().request_close(unload_reason::kControlMenu); }
    void end_session() override { desktop().end_session(); }

    std::string missing_program() override {
        desktop().fail_start_program(true);
        return "no-such-program.exe";
    }
    std::string scratch_folder() override {
        if (!scratch_)
            scratch_.emplace();
        return scratch_->str();
    }

    void pump() override { desktop().do_events(); }
    bool run_until(const std::function<bool()>& condition, int ms) override {
        for (int elapsed = 0; elapsed < ms; ++elapsed) {
            if (condition())
                return true;
            desktop().advance(1);
        }
        return condition();
    }

  private:
    sim::SimDesktop& desktop() { return world_.desktop; }

    Point point_over(const Control& control) {
        const Rect r = desktop().window(control.hwnd()).rect;
        if (desktop().form() != nullptr && control.hwnd() == desktop().form()->hwnd()) {
            return Point{r.left + sim::kFrameSide + kFormSpot.x,
                         r.top + sim::kFrameTop + kFormSpot.y};
        }
        return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    TempFolder folder_;
    std::optional<TempFolder> scratch_;
    sim::SimWorld world_;
    Hwnd other_ = 0;
};

class HostConformance : public ::testing::TestWithParam<std::size_t> {};

TEST_P(HostConformance, AgreesWithTheRealHost) {
    SimHostDriver driver;
    const auto& host_case = conformance::host_cases()[GetParam()];
    const auto result = conformance::run_host_case(driver, host_case);
    EXPECT_TRUE(result.passed) << host_case.name << ": " << result.detail;
}

INSTANTIATE_TEST_SUITE_P(Cases, HostConformance,
                         ::testing::Range<std::size_t>(0, conformance::host_cases().size()));

}  // namespace
}  // namespace wl::testing
