// The simulated host: the program's form and controls made as windows of the
// desktop, pop-up menus and message boxes answered by script, starting
// programs, the loop and the end; and the lookups tests use.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/run_time_errors.h"
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"

namespace wl::sim {
namespace {

const char* window_class_of(ControlKind kind) {
    switch (kind) {
        case ControlKind::CommandButton:
        case ControlKind::OptionButton:
            return "Button";
        case ControlKind::TextBox:
            return "Edit";
        case ControlKind::Label:
            return "Static";
        case ControlKind::ComboBox:
            return "ComboBox";
        case ControlKind::ListBox:
        case ControlKind::FileList:
            return "ListBox";
        case ControlKind::PictureBox:
            return "PictureBox";
        case ControlKind::Shape:
            return "Shape";
        case ControlKind::Form:
        case ControlKind::Timer:
        case ControlKind::Menu:
        case ControlKind::MenuItem:
            break;
    }
    return nullptr;
}

int to_pixels(int twips, double twips_per_pixel) {
    return static_cast<int>(std::lround(twips / twips_per_pixel));
}

}  // namespace

SimControl* SimDesktop::find_control(const std::string& name, int index) const {
    return impl_->controls.find(name, index);
}

SimControl* SimDesktop::control_of_window(Hwnd window) const {
    return impl_->controls.of_window(window);
}

Control* SimDesktop::control(const std::string& name, int index) const {
    SimControl* control = find_control(name, index);
    return control == nullptr ? nullptr : control->outer();
}

FormWindow* SimDesktop::form() const {
    return impl_->form;
}

const ControlSpec* SimDesktop::design(const std::string& name, int index) const {
    return impl_->controls.design(name, index);
}

std::vector<std::string> SimDesktop::creation_order() const {
    return impl_->controls.creation_order();
}

void SimDesktop::type_text(const std::string& name, const std::string& text, int index) {
    SimControl* control = find_control(name, index);
    if (control == nullptr) {
        throw std::invalid_argument("type_text: no control " + control_display_name(name, index));
    }
    if (control->kind() == ControlKind::OptionButton) {
        control->set_value(true);
        return;
    }
    control->set_text(text);
    if (control->kind() == ControlKind::ComboBox) {
        const auto& items = control->state().items;
        const auto match = std::find(items.begin(), items.end(), text);
        control->state().list_index =
            match == items.end() ? -1 : static_cast<int>(match - items.begin());
    }
}

std::unique_ptr<FormWindow> SimDesktop::create_form(const FormSpec& design, EventSink& sink) {
    record("CreateForm(" + design.name + ")");
    if (impl_->form != nullptr) {
        throw std::logic_error("create_form: the form exists already");
    }
    const int left = to_pixels(design.left, tppx_) - kFrameSide;
    const int top = to_pixels(design.top, tppy_) - kFrameTop;
    const int width = to_pixels(design.client_width, tppx_) + 2 * kFrameSide;
    const int height = to_pixels(design.client_height, tppy_) + kFrameTop + kFrameBottom;
    const Hwnd hwnd =
        add_window("WendlockForm", design.caption, Rect{left, top, left + width, top + height});
    // Created hidden: showing it is what activates it.
    impl_->windows.at(hwnd).visible = false;
    paint_window(hwnd, design.back_colour);

    ControlState state;
    state.design.name = design.name;
    state.design.kind = ControlKind::Form;
    state.design.text = design.caption;
    state.design.left = design.left;
    state.design.top = design.top;
    state.design.width = design.client_width;
    state.design.height = design.client_height;
    state.design.visible = false;
    state.design.back_colour = design.back_colour;
    state.design.picture = design.icon;
    state.hwnd = hwnd;
    state.text = design.caption;
    state.visible = false;
    state.back_colour = design.back_colour;
    state.picture = design.icon;
    impl_->controls.designed(state.design, design.name);

    auto form = std::make_unique<SimFormWindow>(*this, std::move(state));
    impl_->form = form.get();
    impl_->sink = &sink;
    impl_->form_name = design.name;
    return form;
}

std::unique_ptr<Control> SimDesktop::create_control(FormWindow& form, const ControlSpec& design) {
    const std::string name = control_display_name(design.name, design.index);
    record("CreateControl(" + name + ")");
    if (&form != impl_->form) {
        throw std::logic_error("create_control: not the simulated form");
    }
    if (design.kind == ControlKind::Form) {
        throw std::logic_error("create_control: a form is made with create_form");
    }
    if (find_control(design.name, design.index) != nullptr ||
        impl_->controls.design(design.name, design.index) != nullptr) {
        throw std::logic_error("create_control: " + name + " exists already");
    }
    ControlState state;
    state.design = design;
    state.text = design.text;
    state.tooltip = design.tooltip;
    state.visible = design.visible;
    state.enabled = design.enabled;
    state.back_colour = design.back_colour.value_or(0xFFFFFF);
    state.value = design.checked;
    state.picture = design.picture;

    const Hwnd form_hwnd = form.hwnd();
    if (const char* cls = window_class_of(design.kind); cls != nullptr && exists(form_hwnd)) {
        const Rect outer = window(form_hwnd).rect;
        const int left = outer.left + kFrameSide + to_pixels(design.left, tppx_);
        const int top = outer.top + kFrameTop + to_pixels(design.top, tppy_);
        const Rect rect{left, top, left + to_pixels(design.width, tppx_),
                        top + to_pixels(design.height, tppy_)};
        const bool captioned =
            design.kind != ControlKind::ListBox && design.kind != ControlKind::FileList &&
            design.kind != ControlKind::PictureBox && design.kind != ControlKind::Shape;
        state.hwnd = add_window(cls, captioned ? design.text : std::string(), rect, form_hwnd);
        window(state.hwnd).visible = design.visible;
        window(state.hwnd).enabled = design.enabled;
        if (design.back_colour) {
            paint_window(state.hwnd, *design.back_colour);
        }
    }
    impl_->controls.designed(design, name);
    return std::make_unique<SimControl>(*this, std::move(state));
}

void SimDesktop::popup_menu(Control& menu) {
    stop_if_ended();
    std::string name;
    if (auto* control = dynamic_cast<SimControl*>(&menu)) {
        name = control->design().name;
    } else if (auto* form_window = dynamic_cast<SimFormWindow*>(&menu)) {
        name = form_window->body().design().name;
    } else {
        throw std::logic_error("popup_menu: not a simulated control");
    }
    record("PopupMenu(" + name + ")");
    popups_.push_back(name);
    if (menu_choices_.empty()) {
        return;  // dismissed
    }
    std::string item = menu_choices_.front();
    menu_choices_.pop_front();
    if (item.rfind('#', 0) == 0) {
        // By place among the items the menu shows.
        int position = std::stoi(item.substr(1));
        item.clear();
        for (SimControl* control : impl_->controls.in_order()) {
            const ControlSpec& d = control->design();
            if (control->kind() != ControlKind::MenuItem || d.parent != name ||
                !control->state().visible || control->state().text == "-") {
                continue;
            }
            if (position-- == 0) {
                item = d.name;
                break;
            }
        }
        if (item.empty())
            return;
    }
    // A hidden or disabled item cannot be chosen.
    if (SimControl* chosen = find_control(item, -1)) {
        if (!chosen->state().visible || !chosen->state().enabled) {
            return;
        }
    }
    deliver(UiEvent{item, -1, EventKind::Click});
    stop_if_ended();  // "Exit" was chosen
}

int SimDesktop::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    stop_if_ended();
    record("MessageBox(" + text + "|" + caption + ")");
    int result = (flags & 0xF) == mb::kOk ? mb::kResultOk : mb::kResultNo;
    if (!box_answers_.empty()) {
        result = box_answers_.front();
        box_answers_.pop_front();
    }
    const Hwnd owner =
        impl_->form != nullptr && impl_->form->visible() ? impl_->form->hwnd() : Hwnd{0};
    boxes_.push_back(ShownMessageBox{text, caption, flags, result, owner});
    // While the box is up its modal loop runs the program's waiting events;
    // one of them may end the program, and the box with it.
    run_queue();
    stop_if_ended();
    return result;
}

void SimDesktop::start_program(const std::string& command_line, int show) {
    record("Shell(" + command_line + "," + std::to_string(show) + ")");
    if (fail_start_) {
        throw run_time_error(err::kFileNotFound, command_line);
    }
    started_.push_back(StartedProgram{command_line, show});
}

void SimDesktop::run() {
    record("Run");
    run_queue();
}

void SimDesktop::end_program() {
    record("End");
    events_.end();
    release_program_folder();
}

}  // namespace wl::sim
