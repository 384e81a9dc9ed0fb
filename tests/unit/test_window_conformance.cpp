// The window conformance cases (also run against user32 and gdi32 by
// window_conformance.exe) on the simulated desktop.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "conformance/window_cases.h"
#include "platform/sim/sim_platform.h"
#include "recording_sink.h"

namespace wl::testing {
namespace {

constexpr const char* kOtherProgram = "C:\\Program Files\\Other\\other.exe";

class SimWindowDriver final : public conformance::WindowDriver {
  public:
    SimWindowDriver() : world_(::testing::TempDir()) {
        sink_.handler = [this](const UiEvent& e) {
            if (e.kind != EventKind::MouseMove)
                return;
            const Rect r = desktop().window(box_->hwnd()).rect;
            moves_.push_back(Point{r.left + static_cast<int>(e.x / desktop().twips_per_pixel_x()),
                                   r.top + static_cast<int>(e.y / desktop().twips_per_pixel_y())});
        };
    }

    WindowSystem& windows() override { return desktop(); }

    Hwnd make(const conformance::WindowDesign& design) override {
        const Hwnd w = desktop().add_window(design.class_name, design.title, design.rect,
                                            design.parent, design.owner);
        sim::SimWindow& window = desktop().window(w);
        window.visible = design.visible;
        window.enabled = design.enabled;
        window.popup = design.popup;
        window.program = kOtherProgram;
        // add_window lists windows top to bottom as they come; a new
        // top-level window goes on top instead, as CreateWindowEx puts it.
        if (design.parent == 0)
            desktop().bring_to_top(w);
        window.on_click = [this, w] { ++clicks_[w]; };
        made_.push_back(w);
        return w;
    }
    void destroy(Hwnd window) override { desktop().destroy_window(window); }
    void hang(bool hung) override {
        for (const Hwnd w : made_) {
            if (desktop().exists(w))
                desktop().set_hung(w, hung);
        }
    }
    int clicks(Hwnd button) override { return clicks_[button]; }
    std::string other_program() override { return kOtherProgram; }

    conformance::OwnWindows make_own(const Rect& form, const Rect& box) override {
        form_ = desktop().create_form(FormSpec{}, sink_);
        ControlSpec picture;
        picture.name = "Picture2";
        picture.kind = ControlKind::PictureBox;
        box_ = desktop().create_control(*form_, picture);
        desktop().move_window(form_->hwnd(), form);
        desktop().move_window(box_->hwnd(), box);
        form_->set_visible(true);
        desktop().do_events();
        return conformance::OwnWindows{form_->hwnd(), box_->hwnd()};
    }
    void move_pointer(Point screen) override { desktop().pointer_move(screen); }
    // Moves reach the box at once: nothing to wait for.
    std::vector<Point> moves_received(Hwnd, Point) override { return std::exchange(moves_, {}); }

  private:
    sim::SimDesktop& desktop() { return world_.desktop; }

    sim::SimWorld world_;
    RecordingSink sink_;
    std::unique_ptr<FormWindow> form_;
    std::unique_ptr<Control> box_;
    std::vector<Hwnd> made_;
    std::map<Hwnd, int> clicks_;
    std::vector<Point> moves_;
};

class WindowConformance : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WindowConformance, AgreesWithTheRealWindowSystem) {
    SimWindowDriver driver;
    const auto& window_case = conformance::window_cases()[GetParam()];
    const auto result = conformance::run_window_case(driver, window_case);
    EXPECT_TRUE(result.passed) << window_case.name << ": " << result.detail;
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowConformance,
                         ::testing::Range<std::size_t>(0, conformance::window_cases().size()));

}  // namespace
}  // namespace wl::testing
