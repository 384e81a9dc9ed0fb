// The simulated host: the program's form and controls, the event queue with
// virtual time, message boxes, pop-up menus, starting programs.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/control_kinds.h"
#include "platform/run_time_errors.h"
#include "platform/sim/sim_internal.h"
#include "platform/tab_order.h"

namespace wl::sim {
namespace {

std::string display_name(const std::string& name, int index) {
    return index < 0 ? name : name + "(" + std::to_string(index) + ")";
}

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

// ---------------------------------------------------------------------------
// Controls.

SimControl::SimControl(SimDesktop& desktop, ControlState state)
    : desktop_(&desktop), state_(std::move(state)) {
    desktop.impl_->controls.push_back(this);
    if (state_.design.kind == ControlKind::Timer && state_.enabled) {
        state_.next_due = desktop.now_ + state_.design.interval_ms;
    }
}

SimControl::~SimControl() {
    if (desktop_ == nullptr) {
        return;
    }
    auto& controls = desktop_->impl_->controls;
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
    if (state_.hwnd != 0) {
        desktop_->destroy_window(state_.hwnd);
    }
}

SimWindow* SimControl::window() const {
    if (desktop_ == nullptr || state_.hwnd == 0) {
        return nullptr;
    }
    const auto found = desktop_->impl_->windows.find(state_.hwnd);
    return found == desktop_->impl_->windows.end() ? nullptr : &found->second;
}

void SimControl::allow(Operation operation) const {
    wl::require(kind(), operation, display_name(state_.design.name, state_.design.index));
}

Hwnd SimControl::hwnd() const {
    return state_.hwnd;
}

std::string SimControl::text() const {
    allow(Operation::Text);
    if (kind() == ControlKind::ListBox || kind() == ControlKind::FileList) {
        // A list's text is its selected item.
        return state_.list_index >= 0 ? state_.items[static_cast<std::size_t>(state_.list_index)]
                                      : std::string();
    }
    if (const SimWindow* w = window()) {
        return w->title;
    }
    return state_.text;
}

void SimControl::set_text(std::string_view text) {
    allow(Operation::SetText);
    state_.text = std::string(text);
    if (SimWindow* w = window()) {
        w->title = state_.text;
    }
}

bool SimControl::is_shown() const {
    if (const SimWindow* w = window()) {
        return w->visible;
    }
    return state_.visible;
}

bool SimControl::visible() const {
    allow(Operation::Visible);
    return is_shown();
}

void SimControl::set_visible(bool visible) {
    allow(Operation::SetVisible);
    state_.visible = visible;
    if (SimWindow* w = window()) {
        w->visible = visible;
    }
    if (!visible && desktop_ != nullptr) {
        desktop_->focus_leaves(state_.hwnd);
    }
}

bool SimControl::enabled() const {
    allow(Operation::Enabled);
    return state_.enabled;
}

void SimControl::set_enabled(bool enabled) {
    allow(Operation::SetEnabled);
    if (kind() == ControlKind::Timer && enabled && !state_.enabled && desktop_ != nullptr) {
        // Ticks come every interval from the moment the timer is switched on.
        state_.next_due = desktop_->now_ + state_.design.interval_ms;
    }
    state_.enabled = enabled;
    if (!enabled && desktop_ != nullptr) {
        desktop_->focus_leaves(state_.hwnd);
    }
}

Colour SimControl::back_colour() const {
    allow(Operation::BackColour);
    return state_.back_colour;
}

void SimControl::set_back_colour(Colour colour) {
    allow(Operation::SetBackColour);
    state_.back_colour = colour;
}

bool SimControl::value() const {
    allow(Operation::Value);
    return state_.value;
}

void SimControl::set_value(bool value) {
    allow(Operation::SetValue);
    state_.value = value;
    // Option buttons of the form are one group: choosing one clears the rest.
    if (value && kind() == ControlKind::OptionButton && desktop_ != nullptr) {
        for (SimControl* other : desktop_->impl_->controls) {
            if (other != this && other->kind() == ControlKind::OptionButton) {
                other->state_.value = false;
            }
        }
    }
}

void SimControl::clear() {
    allow(Operation::Clear);
    state_.items.clear();
    state_.list_index = -1;
}

void SimControl::add_item(std::string_view item) {
    allow(Operation::AddItem);
    state_.items.emplace_back(item);
}

int SimControl::count() const {
    allow(Operation::Count);
    return static_cast<int>(state_.items.size());
}

std::string SimControl::item(int index) const {
    allow(Operation::Item);
    if (index < 0 || index >= static_cast<int>(state_.items.size())) {
        return {};
    }
    return state_.items[static_cast<std::size_t>(index)];
}

int SimControl::list_index() const {
    allow(Operation::ListIndex);
    return state_.list_index;
}

void SimControl::set_list_index(int index) {
    allow(Operation::SetListIndex);
    if (index < -1 || index >= static_cast<int>(state_.items.size())) {
        throw run_time_error(err::kInvalidPropertyValue,
                             display_name(state_.design.name, state_.design.index) + " index " +
                                 std::to_string(index));
    }
    state_.list_index = index;
    if (kind() == ControlKind::ComboBox) {
        // The edit field shows the chosen item, or nothing without a choice.
        set_text(index >= 0 ? state_.items[static_cast<std::size_t>(index)] : std::string());
    }
}

void SimControl::set_folder(const std::string& folder) {
    allow(Operation::SetFolder);
    state_.folder = folder;
    refresh();
}

void SimControl::refresh() {
    allow(Operation::Refresh);
    if (kind() != ControlKind::FileList) {
        return;  // a repaint: nothing to do here
    }
    state_.items = state_.folder.empty()
                       ? std::vector<std::string>{}
                       : list_matching_files(state_.folder, state_.design.pattern);
    if (state_.list_index >= static_cast<int>(state_.items.size())) {
        state_.list_index = -1;
    }
}

Picture SimControl::picture() const {
    allow(Operation::Picture);
    return state_.picture;
}

void SimControl::set_picture(Picture picture) {
    allow(Operation::SetPicture);
    state_.picture = picture;
}

std::uint64_t SimControl::picture_handle() const {
    allow(Operation::PictureHandle);
    return state_.picture == Picture::None ? 0
                                           : 0x7F00 + static_cast<std::uint64_t>(state_.picture);
}

bool SimControl::timer_due(std::int64_t now) {
    if (kind() != ControlKind::Timer || !state_.enabled || state_.design.interval_ms <= 0 ||
        state_.next_due > now) {
        return false;
    }
    state_.next_due = now + state_.design.interval_ms;
    return true;
}

std::optional<std::int64_t> SimControl::timer_next_due() const {
    if (kind() != ControlKind::Timer || !state_.enabled || state_.design.interval_ms <= 0) {
        return std::nullopt;
    }
    return state_.next_due;
}

// ---------------------------------------------------------------------------
// The form.

SimFormWindow::SimFormWindow(SimDesktop& desktop, ControlState state)
    : body_(desktop, std::move(state)) {
    body_.set_outer(this);
}

SimFormWindow::~SimFormWindow() {
    // body_ knows whether the desktop is still there.
    if (SimDesktop* desktop = body_.desktop()) {
        if (desktop->impl_->form == this) {
            desktop->impl_->form = nullptr;
            desktop->impl_->sink = nullptr;
        }
    }
}

void SimFormWindow::set_visible(bool visible) {
    const bool was_visible = body_.visible();
    body_.set_visible(visible);
    if (visible && !was_visible) {
        if (SimDesktop* desktop = body_.desktop()) {
            desktop->post(UiEvent{body_.design().name, -1, EventKind::Activate});
            // Shown, it gets the focus, and passes it to a control.
            if (desktop->focus_ == 0)
                desktop->move_focus(false, 0);
        }
    }
}

Rect SimFormWindow::outer_rect() const {
    SimDesktop* desktop = body_.desktop();
    if (desktop == nullptr || !desktop->exists(body_.hwnd())) {
        return Rect{};
    }
    return desktop->window(body_.hwnd()).rect;
}

int SimFormWindow::left_twips() const {
    SimDesktop* desktop = body_.desktop();
    return desktop == nullptr ? 0
                              : static_cast<int>(std::lround(outer_rect().left * desktop->tppx_));
}

int SimFormWindow::top_twips() const {
    SimDesktop* desktop = body_.desktop();
    return desktop == nullptr ? 0
                              : static_cast<int>(std::lround(outer_rect().top * desktop->tppy_));
}

int SimFormWindow::width_twips() const {
    SimDesktop* desktop = body_.desktop();
    const Rect r = outer_rect();
    return desktop == nullptr ? 0
                              : static_cast<int>(std::lround((r.right - r.left) * desktop->tppx_));
}

int SimFormWindow::height_twips() const {
    SimDesktop* desktop = body_.desktop();
    const Rect r = outer_rect();
    return desktop == nullptr ? 0
                              : static_cast<int>(std::lround((r.bottom - r.top) * desktop->tppy_));
}

// ---------------------------------------------------------------------------
// The program's user interface, seen from the tests.

SimControl* SimDesktop::find_control(const std::string& name, int index) const {
    for (SimControl* control : impl_->controls) {
        if (control->design().name == name && control->design().index == index) {
            return control;
        }
    }
    return nullptr;
}

SimControl* SimDesktop::control_of_window(Hwnd window) const {
    if (window == 0) {
        return nullptr;
    }
    for (SimControl* control : impl_->controls) {
        if (control->hwnd() == window) {
            return control;
        }
    }
    return nullptr;
}

Control* SimDesktop::control(const std::string& name, int index) const {
    SimControl* control = find_control(name, index);
    return control == nullptr ? nullptr : control->outer();
}

FormWindow* SimDesktop::form() const {
    return impl_->form;
}

const ControlSpec* SimDesktop::design(const std::string& name, int index) const {
    const auto found = impl_->specs.find({name, index});
    return found == impl_->specs.end() ? nullptr : &found->second;
}

std::vector<std::string> SimDesktop::creation_order() const {
    return impl_->creation_order;
}

void SimDesktop::type_text(const std::string& name, const std::string& text, int index) {
    SimControl* control = find_control(name, index);
    if (control == nullptr) {
        throw std::invalid_argument("type_text: no control " + display_name(name, index));
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

// ---------------------------------------------------------------------------
// Events and virtual time.

void SimDesktop::deliver(const UiEvent& event) {
    if (ended_ || impl_->sink == nullptr) {
        return;
    }
    struct Running {
        int& count;
        explicit Running(int& c) : count(++c) {}
        ~Running() { --count; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running(handlers_running_);
    try {
        if (event.kind == EventKind::Click) {
            // A click on an option button chooses it before its handler runs.
            SimControl* control = find_control(event.control, event.index);
            if (control != nullptr && control->kind() == ControlKind::OptionButton) {
                control->set_value(true);
            }
        }
        impl_->sink->on_event(event);
    } catch (const ProgramEnded&) {
        // The handler was paused when the program ended: it stops here.
    }
}

// ---------------------------------------------------------------------------
// The user's pointer.

void SimDesktop::mouse_event(SimControl& control, EventKind kind, int button, Point screen) {
    UiEvent event{control.design().name, control.design().index, kind};
    event.button = button;
    if (exists(control.hwnd())) {
        const Rect& r = window(control.hwnd()).rect;
        event.x = static_cast<float>((screen.x - r.left) * tppx_);
        event.y = static_cast<float>((screen.y - r.top) * tppy_);
    }
    deliver(event);
}

void SimDesktop::pointer_down(Point screen, int button) {
    cursor_ = screen;
    buttons_down_ |= button;
    const Hwnd target = capture_ != 0 ? capture_ : hit_test(screen);
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        if (control->state().press.press(button) || capture_ != target) {
            move_capture(target);
        }
        mouse_event(*control, EventKind::MouseDown, button, screen);
        return;
    }
    pressed_window_ = target;
}

void SimDesktop::pointer_move(Point screen) {
    cursor_ = screen;
    const Hwnd target = capture_ != 0 ? capture_ : hit_test(screen);
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        mouse_event(*control, EventKind::MouseMove, buttons_down_, screen);
    }
}

void SimDesktop::pointer_up(Point screen, int button) {
    cursor_ = screen;
    buttons_down_ &= ~button;
    const Hwnd target = capture_ != 0 ? capture_ : hit_test(screen);
    SimControl* control = control_of_window(target);
    if (control != nullptr && control->kind() == ControlKind::PictureBox) {
        if (!control->state().press.release(button)) {
            return;  // pressed elsewhere: not this box's release
        }
        const bool over = hit_test(screen) == target;
        mouse_event(*control, EventKind::MouseUp, button, screen);
        if (!control->state().press.held() && capture_ == target) {
            move_capture(0);
        }
        if (button == 1 && over) {
            deliver(UiEvent{control->design().name, control->design().index, EventKind::Click});
        }
        return;
    }
    const Hwnd pressed = std::exchange(pressed_window_, 0);
    if (button != 1 || pressed != target || target == 0) {
        return;
    }
    if (control != nullptr) {
        deliver(UiEvent{control->design().name, control->design().index, EventKind::Click});
    } else if (impl_->form != nullptr && target == impl_->form->hwnd()) {
        deliver(UiEvent{impl_->form_name, -1, EventKind::Click});
    }
}

void SimDesktop::post_click(Hwnd control) {
    if (SimControl* c = control_of_window(control)) {
        post(UiEvent{c->design().name, c->design().index, EventKind::Click});
    }
}

void SimDesktop::set_focus(Hwnd control) {
    focus_ = control_of_window(control) != nullptr ? control : 0;
}

void SimDesktop::press_tab(bool backwards) {
    move_focus(backwards, focus_);
}

void SimDesktop::focus_leaves(Hwnd control) {
    // Like the real host, the form takes the focus back and hands it to its
    // first tab stop.
    if (control != 0 && control == focus_) {
        move_focus(false, 0);
    }
}

void SimDesktop::move_focus(bool backwards, Hwnd from) {
    std::vector<TabStop> stops;
    std::vector<SimControl*> order;
    int current = -1;
    for (SimControl* control : impl_->controls) {
        if (control->kind() == ControlKind::Form)
            continue;
        if (from != 0 && control->hwnd() == from)
            current = static_cast<int>(order.size());
        order.push_back(control);
        stops.push_back(
            TabStop{control->kind(), control->is_shown(), control->state().enabled,
                    control->kind() == ControlKind::OptionButton && control->state().value});
    }
    const int next = next_tab_stop(stops, current, backwards);
    focus_ = next >= 0 ? order[static_cast<std::size_t>(next)]->hwnd() : 0;
}

void SimDesktop::take_capture(Hwnd other) {
    move_capture(other);
}

void SimDesktop::move_capture(Hwnd window) {
    const Hwnd previous = std::exchange(capture_, window);
    if (previous == window) {
        return;
    }
    SimControl* control = control_of_window(previous);
    if (control != nullptr && control->state().press.lose_capture()) {
        deliver(UiEvent{control->design().name, control->design().index, EventKind::LostCapture});
    }
}

void SimDesktop::post(const UiEvent& event) {
    if (!ended_) {
        queue_.push_back(event);
    }
}

void SimDesktop::fire(const UiEvent& event) {
    deliver(event);
}

bool SimDesktop::request_close(int reason) {
    if (ended_ || impl_->sink == nullptr) {
        return false;
    }
    const bool refused = impl_->sink->on_query_unload(reason);
    if (!refused) {
        const std::string form = impl_->form_name;
        deliver(UiEvent{form, -1, EventKind::Unload});
        deliver(UiEvent{form, -1, EventKind::Terminate});
        end_program();
    }
    return refused;
}

void SimDesktop::run_queue() {
    // Handlers may post more events (a click that queues a tick that queues
    // ...); each runs once, but a handler that feeds itself forever is a
    // fault of the program under test, not a reason to hang the test.
    constexpr std::size_t kLimit = 100000;
    std::size_t ran = 0;
    while (!queue_.empty() && !ended_) {
        if (++ran > kLimit) {
            throw std::runtime_error("simulated desktop: events keep posting events");
        }
        const UiEvent event = queue_.front();
        queue_.pop_front();
        deliver(event);
    }
    if (ended_) {
        queue_.clear();
    }
}

void SimDesktop::post_timer_ticks() {
    const std::vector<SimControl*> controls = impl_->controls;  // handlers may add or drop some
    for (SimControl* control : controls) {
        if (control->timer_due(now_)) {
            post(UiEvent{control->design().name, control->design().index, EventKind::Timer});
        }
    }
}

void SimDesktop::advance(std::int64_t ms) {
    const std::int64_t target = now_ + std::max<std::int64_t>(ms, 0);
    run_queue();
    while (!ended_) {
        std::optional<std::int64_t> next;
        for (const SimControl* control : impl_->controls) {
            if (const auto due = control->timer_next_due()) {
                next = next ? std::min(*next, *due) : *due;
            }
        }
        if (!next || *next > target) {
            break;
        }
        now_ = std::max(now_, *next);
        post_timer_ticks();
        run_queue();
    }
    now_ = target;
}

// ---------------------------------------------------------------------------
// Host.

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
    impl_->specs[{design.name, -1}] = state.design;

    auto form = std::make_unique<SimFormWindow>(*this, std::move(state));
    impl_->form = form.get();
    impl_->sink = &sink;
    impl_->form_name = design.name;
    return form;
}

std::unique_ptr<Control> SimDesktop::create_control(FormWindow& form, const ControlSpec& design) {
    const std::string name = display_name(design.name, design.index);
    record("CreateControl(" + name + ")");
    if (&form != impl_->form) {
        throw std::logic_error("create_control: not the simulated form");
    }
    if (design.kind == ControlKind::Form) {
        throw std::logic_error("create_control: a form is made with create_form");
    }
    if (find_control(design.name, design.index) != nullptr ||
        impl_->specs.count({design.name, design.index})) {
        throw std::logic_error("create_control: " + name + " exists already");
    }
    ControlState state;
    state.design = design;
    state.text = design.text;
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
        if (design.back_colour) {
            paint_window(state.hwnd, *design.back_colour);
        }
    }
    impl_->specs[{design.name, design.index}] = design;
    impl_->creation_order.push_back(name);
    return std::make_unique<SimControl>(*this, std::move(state));
}

void SimDesktop::popup_menu(Control& menu) {
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
        for (SimControl* control : impl_->controls) {
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
}

int SimDesktop::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    record("MessageBox(" + text + "|" + caption + ")");
    int result = (flags & 0xF) == mb::kOk ? mb::kResultOk : mb::kResultNo;
    if (!box_answers_.empty()) {
        result = box_answers_.front();
        box_answers_.pop_front();
    }
    const Hwnd owner =
        impl_->form != nullptr && impl_->form->visible() ? impl_->form->hwnd() : Hwnd{0};
    boxes_.push_back(ShownMessageBox{text, caption, flags, result, owner});
    // While the box is up its modal loop runs the program's waiting events.
    run_queue();
    return result;
}

void SimDesktop::do_events() {
    record("DoEvents");
    // A handler that yields after the end goes no further; the tests
    // themselves may still call this to run the (empty) queue.
    if (ended_ && handlers_running_ > 0) {
        throw ProgramEnded{};
    }
    if (impl_->yield_depth >= kMaxYieldDepth) {
        return;  // the events wait for a level below
    }
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(++d) {}
        ~Depth() { --depth; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
    } depth(impl_->yield_depth);
    run_queue();
    if (ended_ && handlers_running_ > 0) {
        throw ProgramEnded{};
    }
}

void SimDesktop::start_program(const std::string& command_line, int show) {
    record("Shell(" + command_line + "," + std::to_string(show) + ")");
    if (fail_start_) {
        throw AppError(53, "Wendlock", "File not found");
    }
    started_.push_back(StartedProgram{command_line, show});
}

void SimDesktop::run() {
    record("Run");
    run_queue();
}

void SimDesktop::end_program() {
    record("End");
    ended_ = true;
    queue_.clear();
}

}  // namespace wl::sim
