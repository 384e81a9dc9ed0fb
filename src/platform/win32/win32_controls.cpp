// The controls of the form: creating them from their specs, the Control
// objects the logic works with, colours, owner-drawn buttons, shapes, menus,
// timers and file lists.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <stdexcept>

#include "platform/win32/win32_host_impl.h"

namespace wl::win32 {

namespace {

[[noreturn]] void unsupported(const ControlRecord& record, const char* operation) {
    throw std::logic_error(record.design.name + ": " + operation +
                           " is not supported by this kind of control");
}

bool is_list(ControlKind kind) {
    return kind == ControlKind::ListBox || kind == ControlKind::FileList;
}

// Height in pixels of a combo box's drop-down list below its edit field.
constexpr int kDropDownHeight = 120;

}  // namespace

// ---------------------------------------------------------------------------
// Creating controls.

ControlRecord& Win32Host::Impl::create_control(const ControlSpec& design) {
    if (form == nullptr)
        throw std::logic_error("create the main window before its controls");
    if (design.kind == ControlKind::Form)
        throw std::logic_error("a form is not a control");
    auto owned = std::make_unique<ControlRecord>();
    ControlRecord& record = *owned;
    record.host = this;
    record.design = design;
    record.id = next_id++;
    record.back = design.back_colour;
    record.picture = design.picture;
    record.visible = design.visible;
    record.enabled = design.enabled;
    record.checked = design.checked;

    const int x = to_pixels_x(design.left);
    const int y = to_pixels_y(design.top);
    const int width = to_pixels_x(design.width);
    const int height = to_pixels_y(design.height);
    const DWORD base = WS_CHILD | WS_CLIPSIBLINGS | (design.visible ? WS_VISIBLE : 0) |
                       (design.enabled ? 0 : WS_DISABLED);

    auto make_window = [&](const char* window_class, DWORD style, DWORD ex_style, int h) {
        record.hwnd = ::CreateWindowExA(
            ex_style, window_class, design.text.c_str(), base | style, x, y, width, h, form,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.id)), instance, nullptr);
        if (record.hwnd == nullptr) {
            throw std::runtime_error("cannot create the control " + design.name);
        }
        ::SetWindowLongPtrA(record.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record));
        by_hwnd[record.hwnd] = &record;
        if (!design.font.name.empty())
            record.font.reset(make_font(design.font));
        const HFONT font = record.font ? record.font.get() : default_font.get();
        ::SendMessageA(record.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Later controls lie on top of earlier ones where they overlap; the
        // tab order stays the creation order (see handle_tab).
        ::SetWindowPos(record.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!design.tooltip.empty() && tooltip != nullptr) {
            TTTOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = form;
            tool.uId = reinterpret_cast<UINT_PTR>(record.hwnd);
            tool.lpszText = record.design.tooltip.data();
            ::SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    };

    switch (design.kind) {
        case ControlKind::Label:
            make_window("STATIC", SS_NOTIFY | (design.centred ? SS_CENTER : SS_LEFT), 0, height);
            break;
        case ControlKind::TextBox: {
            // A text box in the form's own colour reads as a caption: no frame
            // and no margins, its text fills the box.
            const bool flat =
                design.back_colour && *design.back_colour == effective_back(form_record);
            make_window("EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, flat ? 0 : WS_EX_CLIENTEDGE,
                        height);
            if (flat)
                ::SendMessageA(record.hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
            record.original_proc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
                record.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&text_box_proc)));
            break;
        }
        case ControlKind::PictureBox:
            make_window(kPictureClass, WS_TABSTOP, 0, height);
            break;
        case ControlKind::Shape:
            record.bounds = RECT{x, y, x + width, y + height};
            ::InvalidateRect(form, &record.bounds, TRUE);
            break;
        case ControlKind::OptionButton: {
            bool first = true;
            for (const auto& other : records) {
                if (other->design.kind == ControlKind::OptionButton)
                    first = false;
            }
            // Checked by the host (set_option), so the group works whatever
            // the stacking order of its buttons.
            make_window("BUTTON", WS_TABSTOP | BS_RADIOBUTTON | (first ? WS_GROUP : 0), 0, height);
            break;
        }
        case ControlKind::CommandButton:
            make_window("BUTTON", WS_TABSTOP | (design.graphical ? BS_OWNERDRAW : BS_PUSHBUTTON), 0,
                        height);
            break;
        case ControlKind::ComboBox:
            make_window("COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
                        height + kDropDownHeight);
            ::SetWindowTextA(record.hwnd, design.text.c_str());
            break;
        case ControlKind::ListBox:
        case ControlKind::FileList:
            make_window("LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        WS_EX_CLIENTEDGE, height);
            break;
        case ControlKind::Timer:
            break;
        case ControlKind::Menu:
            record.menu.reset(::CreatePopupMenu());
            if (!record.menu)
                throw std::runtime_error("cannot create the menu " + design.name);
            break;
        case ControlKind::MenuItem: {
            for (const auto& other : records) {
                if (other->design.kind == ControlKind::Menu &&
                    other->design.name == design.parent) {
                    record.parent_menu = other.get();
                }
            }
            if (record.parent_menu == nullptr) {
                throw std::logic_error("the menu item " + design.name + " has no menu " +
                                       design.parent);
            }
            break;
        }
        case ControlKind::Form:
            break;
    }

    by_id[record.id] = &record;
    records.push_back(std::move(owned));
    if (record.parent_menu != nullptr) {
        record.parent_menu->items.push_back(&record);
        rebuild_menu(*record.parent_menu);
    }
    if (design.kind == ControlKind::Timer && design.enabled)
        start_timer(record);
    return record;
}

// ---------------------------------------------------------------------------
// Control state.

ControlRecord* Win32Host::Impl::record_of(HWND hwnd) const {
    const auto found = by_hwnd.find(hwnd);
    return found == by_hwnd.end() ? nullptr : found->second;
}

Colour Win32Host::Impl::effective_back(const ControlRecord& record) const {
    if (record.back)
        return *record.back;
    switch (record.design.kind) {
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::FileList:
            return static_cast<Colour>(::GetSysColor(COLOR_WINDOW));
        case ControlKind::CommandButton:
            return static_cast<Colour>(::GetSysColor(COLOR_BTNFACE));
        case ControlKind::Form:
            return rgb(192, 192, 192);
        default:
            return effective_back(form_record);
    }
}

HBRUSH Win32Host::Impl::brush_for(ControlRecord& record) {
    const Colour colour = effective_back(record);
    if (!record.brush || record.brush_colour != colour) {
        record.brush.reset(::CreateSolidBrush(static_cast<COLORREF>(colour)));
        record.brush_colour = colour;
    }
    return record.brush.get();
}

void Win32Host::Impl::repaint(const ControlRecord& record) {
    if (record.design.kind == ControlKind::Form) {
        if (form != nullptr) {
            ::RedrawWindow(form, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
    } else if (record.design.kind == ControlKind::Shape) {
        if (form != nullptr)
            ::InvalidateRect(form, &record.bounds, TRUE);
    } else if (record.hwnd != nullptr) {
        ::InvalidateRect(record.hwnd, nullptr, TRUE);
    }
}

// Keyboard focus must not stay on a control that can no longer take it.
static void move_focus_off(HWND form, HWND control) {
    const HWND focus = ::GetFocus();
    if (form != nullptr && focus != nullptr && (focus == control || ::IsChild(control, focus))) {
        ::SetFocus(form);
    }
}

void Win32Host::Impl::set_visible(ControlRecord& record, bool visible) {
    record.visible = visible;
    switch (record.design.kind) {
        case ControlKind::Form: {
            if (form == nullptr)
                return;
            const bool was_visible = (::GetWindowLongPtrA(form, GWL_STYLE) & WS_VISIBLE) != 0;
            ::ShowWindow(form, visible ? SW_SHOW : SW_HIDE);
            if (visible && !was_visible)
                ::PostMessageA(form, kActivateMessage, 0, 0);
            return;
        }
        case ControlKind::Shape:
            repaint(record);
            return;
        case ControlKind::MenuItem:
            rebuild_menu(*record.parent_menu);
            return;
        case ControlKind::Timer:
        case ControlKind::Menu:
            return;
        default:
            if (record.hwnd == nullptr)
                return;
            ::ShowWindow(record.hwnd, visible ? SW_SHOWNA : SW_HIDE);
            if (!visible)
                move_focus_off(form, record.hwnd);
            return;
    }
}

void Win32Host::Impl::set_enabled(ControlRecord& record, bool enabled) {
    record.enabled = enabled;
    switch (record.design.kind) {
        case ControlKind::Timer:
            if (enabled) {
                start_timer(record);
            } else {
                stop_timer(record);
            }
            return;
        case ControlKind::MenuItem:
            rebuild_menu(*record.parent_menu);
            return;
        case ControlKind::Shape:
        case ControlKind::Menu:
            return;
        default:
            if (record.hwnd == nullptr)
                return;
            ::EnableWindow(record.hwnd, enabled ? TRUE : FALSE);
            if (!enabled && record.hwnd != form)
                move_focus_off(form, record.hwnd);
            return;
    }
}

void Win32Host::Impl::set_option(ControlRecord& record, bool value) {
    if (record.hwnd == nullptr)
        return;
    ::SendMessageA(record.hwnd, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value)
        return;
    // All option buttons of the form are one group.
    for (const auto& other : records) {
        if (other.get() != &record && other->design.kind == ControlKind::OptionButton &&
            other->hwnd != nullptr) {
            ::SendMessageA(other->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void Win32Host::Impl::rebuild_menu(ControlRecord& menu) {
    const HMENU handle = menu.menu.get();
    if (handle == nullptr)
        return;
    // Keep the check marks the user cannot change but the menu holds.
    for (ControlRecord* item : menu.items) {
        const UINT state = ::GetMenuState(handle, static_cast<UINT>(item->id), MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1))
            item->checked = (state & MF_CHECKED) != 0;
    }
    while (::GetMenuItemCount(handle) > 0)
        ::RemoveMenu(handle, 0, MF_BYPOSITION);
    for (const ControlRecord* item : menu.items) {
        if (!item->visible)
            continue;
        const auto id = static_cast<UINT_PTR>(item->id);
        if (item->design.text == "-") {
            ::AppendMenuA(handle, MF_SEPARATOR, id, nullptr);
        } else {
            ::AppendMenuA(handle,
                          MF_STRING | (item->checked ? MF_CHECKED : MF_UNCHECKED) |
                              (item->enabled ? MF_ENABLED : MF_GRAYED),
                          id, item->design.text.c_str());
        }
    }
}

void Win32Host::Impl::start_timer(ControlRecord& timer) {
    if (timer.timer_running || form == nullptr || ended || timer.design.interval_ms <= 0)
        return;
    if (::SetTimer(form, static_cast<UINT_PTR>(timer.id),
                   static_cast<UINT>(timer.design.interval_ms), nullptr) != 0) {
        timer.timer_running = true;
    }
}

void Win32Host::Impl::stop_timer(ControlRecord& timer) {
    if (!timer.timer_running)
        return;
    timer.timer_running = false;
    if (form != nullptr)
        ::KillTimer(form, static_cast<UINT_PTR>(timer.id));
}

void Win32Host::Impl::refresh_file_list(ControlRecord& list) {
    const std::vector<std::string> names = files.list_files(list.folder, list.design.pattern);
    if (list.hwnd == nullptr)
        return;
    ::SendMessageA(list.hwnd, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list.hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names) {
        ::SendMessageA(list.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    ::SendMessageA(list.hwnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list.hwnd, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// Painting.

LRESULT Win32Host::Impl::on_ctl_colour(UINT message, HDC dc, HWND control) {
    ControlRecord* record = record_of(control);
    if (record != nullptr) {
        switch (record->design.kind) {
            case ControlKind::Label:
            case ControlKind::OptionButton:
                ::SetTextColor(dc, record->design.fore_colour ? *record->design.fore_colour
                                                              : ::GetSysColor(COLOR_WINDOWTEXT));
                ::SetBkColor(dc, effective_back(*record));
                return reinterpret_cast<LRESULT>(brush_for(*record));
            case ControlKind::TextBox:
            case ControlKind::ComboBox:
            case ControlKind::ListBox:
            case ControlKind::FileList: {
                if (!record->design.fore_colour && !record->back)
                    break;
                // A disabled or read-only text box asks with WM_CTLCOLORSTATIC.
                const bool greyed = message == WM_CTLCOLORSTATIC && !::IsWindowEnabled(control);
                ::SetTextColor(dc, greyed                       ? ::GetSysColor(COLOR_GRAYTEXT)
                                   : record->design.fore_colour ? *record->design.fore_colour
                                                                : ::GetSysColor(COLOR_WINDOWTEXT));
                ::SetBkColor(dc, effective_back(*record));
                return reinterpret_cast<LRESULT>(brush_for(*record));
            }
            case ControlKind::CommandButton:
                // Only the corners around the button face: the form's colour.
                ::SetBkColor(dc, effective_back(form_record));
                return reinterpret_cast<LRESULT>(brush_for(form_record));
            default:
                break;
        }
    }
    return ::DefWindowProcA(form, message, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
}

// A graphical command button: its back colour, the caption centred, sunken
// while pressed, etched grey text while disabled.
void Win32Host::Impl::draw_button(const DRAWITEMSTRUCT& item) {
    ControlRecord* record = record_of(item.hwndItem);
    if (record == nullptr || item.CtlType != ODT_BUTTON)
        return;
    const HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::FillRect(dc, &face, brush_for(*record));
    ::DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::string caption = window_text(item.hwndItem);
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    const SelectObjectScope select_font(dc, font != nullptr ? font : default_font.get());
    RECT text = face;
    ::InflateRect(&text, -3, -3);
    if (pressed)
        ::OffsetRect(&text, 1, 1);
    const int old_mode = ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, caption.c_str(), -1, &shadow, kFormat);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        ::SetTextColor(dc, record->design.fore_colour ? *record->design.fore_colour
                                                      : ::GetSysColor(COLOR_BTNTEXT));
    }
    ::DrawTextA(dc, caption.c_str(), -1, &text, kFormat);
    ::SetBkMode(dc, old_mode);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = face;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

void Win32Host::Impl::fill_background(HDC dc) {
    RECT client{};
    ::GetClientRect(form, &client);
    ::FillRect(dc, &client, brush_for(form_record));
}

// The form's own drawing: the frames of its visible shapes.
void Win32Host::Impl::paint_form(HDC dc) {
    for (const auto& record : records) {
        if (record->design.kind != ControlKind::Shape || !record->visible)
            continue;
        const Colour colour = record->design.fore_colour ? *record->design.fore_colour
                              : record->back             ? *record->back
                                             : static_cast<Colour>(::GetSysColor(COLOR_WINDOWTEXT));
        const UniquePen pen(::CreatePen(PS_SOLID, 1, static_cast<COLORREF>(colour)));
        const SelectObjectScope select_pen(dc, pen.get());
        const SelectObjectScope select_brush(dc, ::GetStockObject(NULL_BRUSH));
        const RECT& r = record->bounds;
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
}

// ---------------------------------------------------------------------------
// The Control objects.

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
        switch (kind()) {
            case ControlKind::Menu:
            case ControlKind::MenuItem:
                return record_.design.text;
            case ControlKind::Shape:
            case ControlKind::Timer:
                return {};
            case ControlKind::ListBox:
            case ControlKind::FileList: {
                const int selected = list_index();
                return selected >= 0 ? item(selected) : std::string();
            }
            default:
                return window_text(record_.hwnd);
        }
    }

    void set_text(std::string_view text) override {
        switch (kind()) {
            case ControlKind::Menu:
                record_.design.text = std::string(text);
                return;
            case ControlKind::MenuItem:
                record_.design.text = std::string(text);
                host_.rebuild_menu(*record_.parent_menu);
                return;
            case ControlKind::Shape:
            case ControlKind::Timer:
            case ControlKind::ListBox:
            case ControlKind::FileList:
                unsupported(record_, "set_text");
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
        if (record_.hwnd == nullptr)
            return record_.visible;
        return (::GetWindowLongPtrA(record_.hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    void set_visible(bool visible) override { host_.set_visible(record_, visible); }

    bool enabled() const override {
        if (record_.hwnd == nullptr)
            return record_.enabled;
        return ::IsWindowEnabled(record_.hwnd) != FALSE;
    }

    void set_enabled(bool enabled) override { host_.set_enabled(record_, enabled); }

    Colour back_colour() const override { return host_.effective_back(record_); }

    void set_back_colour(Colour colour) override {
        record_.back = colour;
        host_.repaint(record_);
    }

    bool value() const override {
        switch (kind()) {
            case ControlKind::OptionButton:
                return ::SendMessageA(record_.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
            case ControlKind::MenuItem: {
                const UINT state = ::GetMenuState(record_.parent_menu->menu.get(),
                                                  static_cast<UINT>(record_.id), MF_BYCOMMAND);
                if (state == static_cast<UINT>(-1))
                    return record_.checked;  // hidden item
                return (state & MF_CHECKED) != 0;
            }
            default:
                unsupported(record_, "value");
        }
    }

    void set_value(bool value) override {
        switch (kind()) {
            case ControlKind::OptionButton:
                host_.set_option(record_, value);
                return;
            case ControlKind::MenuItem:
                record_.checked = value;
                ::CheckMenuItem(record_.parent_menu->menu.get(), static_cast<UINT>(record_.id),
                                MF_BYCOMMAND | (value ? MF_CHECKED : MF_UNCHECKED));
                return;
            default:
                unsupported(record_, "set_value");
        }
    }

    void clear() override { send_list(CB_RESETCONTENT, LB_RESETCONTENT, 0, 0, "clear"); }

    void add_item(std::string_view item) override {
        const std::string value(item);
        send_list(CB_ADDSTRING, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str()),
                  "add_item");
    }

    int count() const override {
        return static_cast<int>(send_list(CB_GETCOUNT, LB_GETCOUNT, 0, 0, "count"));
    }

    std::string item(int index) const override {
        const LRESULT length =
            send_list(CB_GETLBTEXTLEN, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, "item");
        if (index < 0 || length < 0)
            return {};
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        const LRESULT copied = send_list(CB_GETLBTEXT, LB_GETTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data()), "item");
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        return text;
    }

    int list_index() const override {
        const LRESULT selected = send_list(CB_GETCURSEL, LB_GETCURSEL, 0, 0, "list_index");
        return selected < 0 ? -1 : static_cast<int>(selected);
    }

    void set_list_index(int index) override {
        // CB_SETCURSEL also puts the item's text into the edit field.
        send_list(CB_SETCURSEL, LB_SETCURSEL, static_cast<WPARAM>(index), 0, "set_list_index");
    }

    void set_folder(const std::string& folder) override {
        if (kind() != ControlKind::FileList)
            unsupported(record_, "set_folder");
        record_.folder = folder;
        host_.refresh_file_list(record_);
    }

    void refresh() override {
        if (kind() != ControlKind::FileList)
            unsupported(record_, "refresh");
        host_.refresh_file_list(record_);
    }

    Picture picture() const override {
        if (kind() != ControlKind::PictureBox)
            unsupported(record_, "picture");
        return record_.picture;
    }

    void set_picture(Picture picture) override {
        if (kind() != ControlKind::PictureBox)
            unsupported(record_, "set_picture");
        record_.picture = picture;
        host_.repaint(record_);
    }

    std::uint64_t picture_handle() const override {
        if (kind() != ControlKind::PictureBox)
            unsupported(record_, "picture_handle");
        return host_.images.handle(record_.picture);
    }

    // --- FormWindow --------------------------------------------------------
    MousePointer mouse_pointer() const override {
        form_only("mouse_pointer");
        return host_.pointer;
    }

    void set_mouse_pointer(MousePointer pointer) override {
        form_only("set_mouse_pointer");
        host_.pointer = pointer;
        host_.apply_pointer();
    }

    void set_mouse_icon(Picture picture) override {
        form_only("set_mouse_icon");
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

    void form_only(const char* operation) const {
        if (kind() != ControlKind::Form)
            unsupported(record_, operation);
    }

    // A coordinate of the outer window rectangle in twips: left/top as they
    // are, right/bottom as the extent from left/top.
    int outer(LONG RECT::*side, double twips_per_pixel, bool extent) const {
        form_only("placement");
        RECT r{};
        if (record_.hwnd == nullptr || !::GetWindowRect(record_.hwnd, &r))
            return 0;
        LONG pixels = r.*side;
        if (extent)
            pixels -= side == &RECT::right ? r.left : r.top;
        return static_cast<int>(std::lround(pixels * twips_per_pixel));
    }

    LRESULT send_list(UINT combo_message, UINT list_message, WPARAM wparam, LPARAM lparam,
                      const char* operation) const {
        if (kind() == ControlKind::ComboBox) {
            return ::SendMessageA(record_.hwnd, combo_message, wparam, lparam);
        }
        if (is_list(kind()))
            return ::SendMessageA(record_.hwnd, list_message, wparam, lparam);
        unsupported(record_, operation);
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
