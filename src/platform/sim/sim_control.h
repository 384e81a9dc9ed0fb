// The controls of the simulated host: what each keeps, the Control object
// handed to the logic, and the form that wraps one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_kinds.h"
#include "platform/form_window.h"
#include "platform/pointer_press.h"
#include "platform/sim/sim_desktop.h"

namespace wl::sim {

struct ControlState {
    ControlSpec design;
    Hwnd hwnd = 0;
    std::string text;
    bool visible = true;
    bool enabled = true;
    Colour back_colour = 0xFFFFFF;
    bool value = false;
    std::vector<std::string> items;
    int list_index = -1;
    Picture picture = Picture::None;
    std::string tooltip;
    std::string folder;
    std::int64_t next_due = 0;  // timer
    MousePointer pointer = MousePointer::Default;
    Picture mouse_icon = Picture::None;
    PointerPress press;  // picture boxes: buttons held since the press
};

// Everything a control does; the form wraps one of these.
class SimControl final : public Control {
  public:
    SimControl(SimDesktop& desktop, ControlState state);
    ~SimControl() override;
    SimControl(const SimControl&) = delete;
    SimControl& operator=(const SimControl&) = delete;

    Hwnd hwnd() const override;
    std::string text() const override;
    void set_text(std::string_view text) override;
    bool visible() const override;
    void set_visible(bool visible) override;
    bool enabled() const override;
    void set_enabled(bool enabled) override;
    Colour back_colour() const override;
    void set_back_colour(Colour colour) override;
    bool value() const override;
    void set_value(bool value) override;
    void clear() override;
    void add_item(std::string_view item) override;
    int count() const override;
    std::string item(int index) const override;
    int list_index() const override;
    void set_list_index(int index) override;
    void set_folder(const std::string& folder) override;
    void refresh() override;
    Picture picture() const override;
    void set_picture(Picture picture) override;
    std::uint64_t picture_handle() const override;
    void set_tooltip(std::string_view text) override;
    const std::string& tooltip() const { return state_.tooltip; }

    ControlKind kind() const { return state_.design.kind; }
    // Whether it is shown, for any kind (visible() refuses the kinds that
    // have no visibility).
    bool is_shown() const;
    const ControlSpec& design() const { return state_.design; }
    ControlState& state() { return state_; }
    // The object handed out for this control (the form's wrapper for the form).
    Control* outer() const { return outer_; }
    void set_outer(Control* outer) { outer_ = outer; }
    void detach() { desktop_ = nullptr; }
    SimDesktop* desktop() const { return desktop_; }
    // Timer: whether a tick is due at `now` (and the next one scheduled).
    bool timer_due(std::int64_t now);
    std::optional<std::int64_t> timer_next_due() const;

  private:
    SimWindow* window() const;  // nullptr when there is none (any more)
    // Raises error 438 unless this kind of control has the operation.
    void allow(Operation operation) const;

    SimDesktop* desktop_;
    ControlState state_;
    Control* outer_ = this;
};

class SimFormWindow final : public FormWindow {
  public:
    SimFormWindow(SimDesktop& desktop, ControlState state);
    ~SimFormWindow() override;

    Hwnd hwnd() const override { return body_.hwnd(); }
    std::string text() const override { return body_.text(); }
    void set_text(std::string_view text) override { body_.set_text(text); }
    bool visible() const override { return body_.visible(); }
    void set_visible(bool visible) override;
    bool enabled() const override { return body_.enabled(); }
    void set_enabled(bool enabled) override { body_.set_enabled(enabled); }
    Colour back_colour() const override { return body_.back_colour(); }
    void set_back_colour(Colour colour) override { body_.set_back_colour(colour); }
    bool value() const override { return body_.value(); }
    void set_value(bool value) override { body_.set_value(value); }
    void clear() override { body_.clear(); }
    void add_item(std::string_view item) override { body_.add_item(item); }
    int count() const override { return body_.count(); }
    std::string item(int index) const override { return body_.item(index); }
    int list_index() const override { return body_.list_index(); }
    void set_list_index(int index) override { body_.set_list_index(index); }
    void set_folder(const std::string& folder) override { body_.set_folder(folder); }
    void refresh() override { body_.refresh(); }
    Picture picture() const override { return body_.picture(); }
    void set_picture(Picture picture) override { body_.set_picture(picture); }
    std::uint64_t picture_handle() const override { return body_.picture_handle(); }
    void set_tooltip(std::string_view text) override { body_.set_tooltip(text); }

    MousePointer mouse_pointer() const override { return body_.state().pointer; }
    void set_mouse_pointer(MousePointer pointer) override { body_.state().pointer = pointer; }
    void set_mouse_icon(Picture picture) override { body_.state().mouse_icon = picture; }
    Picture mouse_icon() const { return body_.state().mouse_icon; }
    int left_twips() const override;
    int top_twips() const override;
    int width_twips() const override;
    int height_twips() const override;

    SimControl& body() { return body_; }

  private:
    Rect outer_rect() const;
    mutable SimControl body_;
};

}  // namespace wl::sim
