// The Control objects the logic works with: each operation checked against
// what its kind allows (the shared table), then done on the control's window
// or on the record the host keeps for it.
#include <windows.h>

#include <cmath>
#include <string>

#include "platform/control_kinds.h"
#include "platform/run_time_errors.h"
#include "platform/win32/host_state.h"
#include "platform/win32/window_text.h"

namespace wl::win32 {

namespace {

class Win32Control final : public FormWindow {
  public:
    Win32Control(Win32Host::Impl& host, ControlRecord& record) : host_(host), record_(record) {}

    ~Win32Control() override {
        if (kind() == ControlKind::Form)
            host_.release_form();
    }

    Win32Control(const Win32Control&) = delete;
    Win32Control& operator=(const Win32Control&) = delete;

    ControlRecord& record() { return record_; }

    Hwnd hwnd() const override { return from_hwnd(record_.hwnd); }

    std::string text() const override {
        allow(Operation::Text);
        switch (kind()) {
            case ControlKind::Menu:
            case ControlKind::MenuItem:
                return record_.design.text;
            case ControlKind::ListBox:
            case ControlKind::FileList: {
                // A list's text is its selected item.
                const LRESULT selected = list(LB_GETCURSEL, 0, 0);
                return selected >= 0 ? item_text(static_cast<int>(selected)) : std::string();
            }
            default:
                return window_text(record_.hwnd);
        }
    }

    void set_text(std::string_view text) override {
        allow(Operation::SetText);
        switch (kind()) {
            case ControlKind::Menu:
                record_.design.text = std::string(text);
                return;
            case ControlKind::MenuItem:
                record_.design.text = std::string(text);
                host_.rebuild_menu(*record_.parent_menu);
                return;
            default: {
                const std::string value(text);
                ::SetWindowTextA(record_.hwnd, value.c_str());
                if (record_.design.graphical)
                    ::InvalidateRect(record_.hwnd, nullptr, TRUE);
                return;
            }
        }
    }

    bool visible() const override {
        allow(Operation::Visible);
        if (record_.hwnd == nullptr)
            return record_.visible;
        return (::GetWindowLongPtrA(record_.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    void set_visible(bool visible) override {
        allow(Operation::SetVisible);
        host_.set_visible(record_, visible);
    }

    bool enabled() const override {
        allow(Operation::Enabled);
        if (record_.hwnd == nullptr)
            return record_.enabled;
        return ::IsWindowEnabled(record_.hwnd) != FALSE;
    }

    void set_enabled(bool enabled) override {
        allow(Operation::SetEnabled);
        host_.set_enabled(record_, enabled);
    }

    Colour back_colour() const override {
        allow(Operation::BackColour);
        return host_.effective_back(record_);
    }

    void set_back_colour(Colour colour) override {
        allow(Operation::SetBackColour);
        record_.back = colour;
        host_.repaint(record_);
    }

    bool value() const override {
        allow(Operation::Value);
        if (kind() == ControlKind::OptionButton)
            return ::SendMessageA(record_.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const UINT state = ::GetMenuState(record_.parent_menu->menu.get(),
                                          static_cast<UINT>(record_.id), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1))
            return record_.checked;  // hidden item
        return (state & MF_CHECKED) != 0;
    }

    void set_value(bool value) override {
        allow(Operation::SetValue);
        if (kind() == ControlKind::OptionButton) {
            host_.set_option(record_, value);
            return;
        }
        record_.checked = value;
        ::CheckMenuItem(record_.parent_menu->menu.get(), static_cast<UINT>(record_.id),
                        MF_BYCOMMAND | (value ? MF_CHECKED : MF_UNCHECKED));
    }

    void clear() override {
        allow(Operation::Clear);
        list(LB_RESETCONTENT, 0, 0);
    }

    void add_item(std::string_view item) override {
        allow(Operation::AddItem);
        const std::string value(item);
        list(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str()));
    }

    int count() const override {
        allow(Operation::Count);
        return static_cast<int>(list(LB_GETCOUNT, 0, 0));
    }

    std::string item(int index) const override {
        allow(Operation::Item);
        return item_text(index);
    }

    int list_index() const override {
        allow(Operation::ListIndex);
        const LRESULT selected = list(LB_GETCURSEL, 0, 0);
        return selected < 0 ? -1 : static_cast<int>(selected);
    }

    void set_list_index(int index) override {
        allow(Operation::SetListIndex);
        // -1 unselects; anything else outside the list is the runtime's
        // "Invalid property value", not a silent no-op.
        if (index < -1 || index >= static_cast<int>(list(LB_GETCOUNT, 0, 0))) {
            throw run_time_error(err::kInvalidPropertyValue,
                                 control_display_name(record_.design.name, record_.design.index) +
                                     " index " + std::to_string(index));
        }
        // CB_SETCURSEL also puts the item's text into the edit field, or
        // empties it for -1.
        list(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    void set_folder(const std::string& folder) override {
        allow(Operation::SetFolder);
        record_.folder = folder;
        host_.refresh_file_list(record_);
    }

    void refresh() override {
        allow(Operation::Refresh);
        if (kind() == ControlKind::FileList) {
            host_.refresh_file_list(record_);
        } else {
            host_.repaint(record_);
        }
    }

    Picture picture() const override {
        allow(Operation::Picture);
        return record_.picture;
    }

    void set_picture(Picture picture) override {
        allow(Operation::SetPicture);
        record_.picture = picture;
        host_.repaint(record_);
    }

    std::uint64_t picture_handle() const override {
        allow(Operation::PictureHandle);
        return host_.images.handle(record_.picture);
    }

    // --- FormWindow --------------------------------------------------------
    void set_tooltip(std::string_view text) override {
        allow(Operation::SetTooltip);
        host_.set_tooltip(record_, text);
    }

    MousePointer mouse_pointer() const override {
        allow(Operation::MousePointer);
        return host_.pointer;
    }

    void set_mouse_pointer(MousePointer pointer) override {
        allow(Operation::SetMousePointer);
        host_.pointer = pointer;
        host_.apply_pointer();
    }

    void set_mouse_icon(Picture picture) override {
        allow(Operation::SetMouseIcon);
        host_.mouse_icon = picture;
        if (host_.pointer == MousePointer::Custom)
            host_.apply_pointer();
    }

    int left_twips() const override { return outer(&RECT::left, host_.tpp_x, false); }
    int top_twips() const override { return outer(&RECT::top, host_.tpp_y, false); }
    int width_twips() const override { return outer(&RECT::right, host_.tpp_x, true); }
    int height_twips() const override { return outer(&RECT::bottom, host_.tpp_y, true); }

  private:
    ControlKind kind() const { return record_.design.kind; }

    void allow(Operation operation) const {
        wl::require(kind(), operation,
                    control_display_name(record_.design.name, record_.design.index));
    }

    // A coordinate of the outer window rectangle in twips: left/top as they
    // are, right/bottom as the extent from left/top.
    int outer(LONG RECT::*side, double twips_per_pixel, bool extent) const {
        allow(Operation::Placement);
        RECT r{};
        if (record_.hwnd == nullptr || !::GetWindowRect(record_.hwnd, &r))
            return 0;
        LONG pixels = r.*side;
        if (extent)
            pixels -= side == &RECT::right ? r.left : r.top;
        return static_cast<int>(std::lround(pixels * twips_per_pixel));
    }

    // A list-box message, or its combo-box twin for a combo box.
    LRESULT list(UINT list_message, WPARAM wparam, LPARAM lparam) const {
        UINT message = list_message;
        if (kind() == ControlKind::ComboBox) {
            switch (list_message) {
                case LB_RESETCONTENT:
                    message = CB_RESETCONTENT;
                    break;
                case LB_ADDSTRING:
                    message = CB_ADDSTRING;
                    break;
                case LB_GETCOUNT:
                    message = CB_GETCOUNT;
                    break;
                case LB_GETTEXTLEN:
                    message = CB_GETLBTEXTLEN;
                    break;
                case LB_GETTEXT:
                    message = CB_GETLBTEXT;
                    break;
                case LB_GETCURSEL:
                    message = CB_GETCURSEL;
                    break;
                case LB_SETCURSEL:
                    message = CB_SETCURSEL;
                    break;
                default:
                    break;
            }
        }
        return ::SendMessageA(record_.hwnd, message, wparam, lparam);
    }

    // The item's text; empty outside the list.
    std::string item_text(int index) const {
        if (index < 0)
            return {};
        const LRESULT length = list(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0)
            return {};
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const LRESULT copied =
            list(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        return text;
    }

    Win32Host::Impl& host_;
    ControlRecord& record_;
};

}  // namespace

std::unique_ptr<FormWindow> make_control(Win32Host::Impl& host, ControlRecord& record) {
    return std::make_unique<Win32Control>(host, record);
}

ControlRecord* record_of_control(Control& control) {
    auto* ours = dynamic_cast<Win32Control*>(&control);
    return ours == nullptr ? nullptr : &ours->record();
}

}  // namespace wl::win32
