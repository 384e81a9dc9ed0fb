// One control of the main window (or the form itself) as the host shows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace wl {

// One control (or the form, a menu item, a timer) as the platform shows it.
// Every read goes to the platform, so what the user changed (typed text,
// option chosen) is what the logic sees. Operations that make no sense for
// a kind throw std::logic_error.
class Control {
  public:
    Control() = default;
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual Hwnd hwnd() const = 0;
    virtual std::string text() const = 0;  // caption or text
    virtual void set_text(std::string_view text) = 0;
    virtual bool visible() const = 0;
    virtual void set_visible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void set_enabled(bool enabled) = 0;
    virtual Colour back_colour() const = 0;
    virtual void set_back_colour(Colour colour) = 0;
    // Option button: selected. Menu item: checked.
    virtual bool value() const = 0;
    virtual void set_value(bool value) = 0;
    // List box, combo box, file list.
    virtual void clear() = 0;
    virtual void add_item(std::string_view item) = 0;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual int list_index() const = 0;
    virtual void set_list_index(int index) = 0;  // combo box: also sets its text
    // File list: point it at a folder (re-reads the listing) / re-read it.
    virtual void set_folder(const std::string& folder) = 0;
    virtual void refresh() = 0;
    // Picture box.
    virtual Picture picture() const = 0;
    virtual void set_picture(Picture picture) = 0;
    virtual std::uint64_t picture_handle() const = 0;  // icon handle of the picture
};

}  // namespace wl
