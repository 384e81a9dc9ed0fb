// The Control objects of the simulated host: each operation checked against
// what its kind allows (the shared table), then done on the control's state
// and its simulated window.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/control_kinds.h"
#include "platform/run_time_errors.h"
#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"

namespace wl::sim {

SimControl::SimControl(SimDesktop& desktop, ControlState state)
    : desktop_(&desktop), state_(std::move(state)) {
    desktop.impl_->controls.join(this);
    if (state_.design.kind == ControlKind::Timer && state_.enabled) {
        state_.next_due = desktop.now_ + state_.design.interval_ms;
    }
}

SimControl::~SimControl() {
    if (desktop_ == nullptr) {
        return;
    }
    desktop_->impl_->controls.leave(this);
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
    wl::require(kind(), operation, control_display_name(state_.design.name, state_.design.index));
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

void SimControl::set_tooltip(std::string_view text) {
    allow(Operation::SetTooltip);
    state_.tooltip = std::string(text);
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
    if (kind() == ControlKind::Timer && enabled && !state_.enabled && desktop_ != nullptr &&
        desktop_->fail_timers_) {
        throw std::runtime_error("cannot start the timer " +
                                 control_display_name(state_.design.name, state_.design.index) +
                                 ": SetTimer failed with system error 8: Not enough memory "
                                 "resources are available to process this command.");
    }
    if (kind() == ControlKind::Timer && enabled && !state_.enabled && desktop_ != nullptr) {
        // Ticks come every interval from the moment the timer is switched on.
        state_.next_due = desktop_->now_ + state_.design.interval_ms;
    }
    state_.enabled = enabled;
    if (SimWindow* w = window()) {
        w->enabled = enabled;
    }
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
        for (SimControl* other : desktop_->impl_->controls.in_order()) {
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
                             control_display_name(state_.design.name, state_.design.index) +
                                 " index " + std::to_string(index));
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
            if (desktop->focus_.current() == 0)
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

}  // namespace wl::sim
