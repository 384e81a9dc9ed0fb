// A control that keeps its caption, enabled state, back colour and value
// in memory and writes each change to a shared log, so a test can check the
// order in which a handler sets several controls. The simulated desktop does
// not log the operations of the program's own controls; this one does.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace wl::testing {

class RecordingControl final : public Control {
  public:
    // Lines look like "Command2.set_text(Enable monitoring)", booleans as
    // true / false and colours in decimal.
    RecordingControl(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}

    // Sets the state without logging it.
    void preset(std::string text, bool enabled, Colour back_colour, bool value) {
        text_ = std::move(text);
        enabled_ = enabled;
        back_colour_ = back_colour;
        value_ = value;
    }

    Hwnd hwnd() const override { return 0; }
    std::string text() const override { return text_; }
    void set_text(std::string_view text) override {
        text_ = text;
        record("set_text", text_);
    }
    void set_tooltip(std::string_view text) override { record("set_tooltip", std::string(text)); }
    bool visible() const override { return true; }
    void set_visible(bool) override { unsupported(); }
    bool enabled() const override { return enabled_; }
    void set_enabled(bool enabled) override {
        enabled_ = enabled;
        record("set_enabled", flag(enabled));
    }
    Colour back_colour() const override { return back_colour_; }
    void set_back_colour(Colour colour) override {
        back_colour_ = colour;
        record("set_back_colour", std::to_string(colour));
    }
    bool value() const override { return value_; }
    void set_value(bool value) override {
        value_ = value;
        record("set_value", flag(value));
    }
    void clear() override { unsupported(); }
    void add_item(std::string_view) override { unsupported(); }
    int count() const override { unsupported(); }
    std::string item(int) const override { unsupported(); }
    int list_index() const override { unsupported(); }
    void set_list_index(int) override { unsupported(); }
    void set_folder(const std::string&) override { unsupported(); }
    void refresh() override { unsupported(); }
    Picture picture() const override { unsupported(); }
    void set_picture(Picture) override { unsupported(); }
    std::uint64_t picture_handle() const override { unsupported(); }

  private:
    static std::string flag(bool value) { return value ? "true" : "false"; }
    void record(const char* operation, const std::string& argument) {
        log_.push_back(name_ + "." + operation + "(" + argument + ")");
    }
    [[noreturn]] void unsupported() const {
        throw std::logic_error(name_ + ": not a property the recording control keeps");
    }

    std::string name_;
    std::vector<std::string>& log_;
    std::string text_;
    bool enabled_ = true;
    Colour back_colour_ = 0;
    bool value_ = false;
};

}  // namespace wl::testing
