// Stand-in main window for the capture tests: a simulated desktop, a form and
// the controls the finder and the tree walk write to.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "capture/finder.h"
#include "capture/tree_walk.h"
#include "platform/sim/sim_platform.h"
#include "recording_sink.h"

namespace wl::capture::testing {

class CaptureWorld : public ::testing::Test {
  protected:
    CaptureWorld() {
        FormSpec form_spec;
        form_spec.caption = "Form1";
        form_spec.client_width = 4680;
        form_spec.client_height = 2025;
        form = d.create_form(form_spec, sink);
        Label3 = make("Label3", ControlKind::Label, "Couldn't find parent hwnd SolidWorks", false);
        Text1 = make("Text1", ControlKind::TextBox, "");
        Text2 = make("Text2", ControlKind::TextBox, "Text2");
        Text4 = make("Text4", ControlKind::TextBox, "Text4");
        List1 = make("List1", ControlKind::ListBox, "");
        Picture2 = make("Picture2", ControlKind::PictureBox, "");
        for (int k = 0; k < 3; ++k) {
            cmd1[static_cast<std::size_t>(k)] =
                make("cmd1", ControlKind::CommandButton, "", false, k);
            Op1[static_cast<std::size_t>(k)] = make("Op1", ControlKind::OptionButton, "", false, k);
        }
    }

    std::array<Control*, 3> cmd1_ptrs() const {
        return {cmd1[0].get(), cmd1[1].get(), cmd1[2].get()};
    }
    std::array<Control*, 3> Op1_ptrs() const { return {Op1[0].get(), Op1[1].get(), Op1[2].get()}; }
    CaptureControls capture_controls() {
        return CaptureControls{*form,  *Label3,   *Text1,      *Text2,    *Text4,
                               *List1, *Picture2, cmd1_ptrs(), Op1_ptrs()};
    }
    WalkControls walk_controls() { return WalkControls{*List1, cmd1_ptrs(), Op1_ptrs()}; }

    std::vector<std::string> list_items() const {
        std::vector<std::string> items;
        for (int i = 0; i < List1->count(); ++i) {
            items.push_back(List1->item(i));
        }
        return items;
    }
    // Captions of the cmd1 buttons that are shown, in index order.
    std::vector<std::string> offered_buttons() const {
        std::vector<std::string> shown;
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(cmd1[k]->visible(), Op1[k]->visible()) << "pair " << k;
            if (cmd1[k]->visible()) {
                shown.push_back(cmd1[k]->text());
            }
        }
        return shown;
    }

    // Test windows live far from the stand-in form so pointer positions never
    // hit it by accident.
    Hwnd add(const std::string& cls, const std::string& title, Hwnd parent = 0, Hwnd owner = 0,
             Rect rect = Rect{1000, 600, 1010, 610}) {
        return d.add_window(cls, title, rect, parent, owner);
    }

    sim::SimWorld world{::testing::TempDir()};
    sim::SimDesktop& d = world.desktop;
    // Forwards the events the simulated desktop delivers to whatever the test
    // wants run for them (the finder's handlers, mostly).
    wl::testing::RecordingSink sink;
    std::unique_ptr<FormWindow> form;
    std::unique_ptr<Control> Label3, Text1, Text2, Text4, List1, Picture2;
    std::array<std::unique_ptr<Control>, 3> cmd1, Op1;

  private:
    std::unique_ptr<Control> make(const std::string& name, ControlKind kind,
                                  const std::string& text, bool visible = true, int index = -1) {
        ControlSpec design;
        design.name = name;
        design.index = index;
        design.kind = kind;
        design.text = text;
        design.visible = visible;
        // Side by side, so each can be found under the pointer.
        design.left = 300 * next_left_++;
        design.width = 300;
        design.height = 300;
        if (kind == ControlKind::PictureBox) {
            design.picture = Picture::FinderTool;
        }
        return d.create_control(*form, design);
    }
    int next_left_ = 0;
};

}  // namespace wl::capture::testing
