// Building the windows: the host's window classes, the form, and each
// control from its design, at the screen's resolution.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <stdexcept>

#include "platform/control_kinds.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

namespace {

// Height in pixels of a combo box's drop-down list below its edit field.
constexpr int kDropDownHeight = 120;

void register_class(HINSTANCE instance, const char* name, WNDPROC proc, UINT style, HICON icon,
                    HICON small_icon) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, name, &existing))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hIconSm = small_icon;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (!::RegisterClassExA(&wc))
        throw_last_error(std::string("cannot register the window class ") + name);
}

}  // namespace

void Win32Host::Impl::register_classes() {
    register_class(instance, kFormClass, form_proc, CS_DBLCLKS,
                   images.icon(Picture::FormIcon, false), images.icon(Picture::FormIcon, true));
    register_class(instance, kPictureClass, picture_proc, 0, nullptr, nullptr);
}

int Win32Host::Impl::to_pixels_x(int twips) const {
    return static_cast<int>(std::lround(twips / tpp_x));
}

int Win32Host::Impl::to_pixels_y(int twips) const {
    return static_cast<int>(std::lround(twips / tpp_y));
}

HFONT Win32Host::Impl::make_font(const Font& font) const {
    const int points = font.points > 0 ? font.points : 8;
    return ::CreateFontA(-::MulDiv(points, dpi_y, 72), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                         font.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         DEFAULT_PITCH | FF_DONTCARE, font.name.c_str());
}

void Win32Host::Impl::create_form(const FormSpec& design, EventSink& event_sink) {
    if (form != nullptr || ended)
        throw std::logic_error("the host runs one main window");
    form_record.design = ControlSpec{};
    form_record.design.name = design.name;
    form_record.design.kind = ControlKind::Form;
    form_record.design.text = design.caption;
    form_record.back = design.back_colour;

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer{0, 0, to_pixels_x(design.client_width), to_pixels_y(design.client_height)};
    ::AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
    const HWND hwnd = ::CreateWindowExA(
        0, kFormClass, design.caption.c_str(), kStyle, to_pixels_x(design.left) + outer.left,
        to_pixels_y(design.top) + outer.top, outer.right - outer.left, outer.bottom - outer.top,
        nullptr, nullptr, instance, &form_record);
    if (hwnd == nullptr)
        throw_last_error("cannot create the main window");
    form = hwnd;
    form_record.hwnd = hwnd;
    by_hwnd[hwnd] = &form_record;
    sink = &event_sink;

    if (design.icon != Picture::None) {
        ::SendMessageA(hwnd, WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(images.icon(design.icon, false)));
        ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(images.icon(design.icon, true)));
    }
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(default_font.get()), FALSE);
    tooltip =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance, nullptr);
    // A width of its own makes the tip break lines where its text does.
    if (tooltip != nullptr)
        ::SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 600);
}

void Win32Host::Impl::set_tooltip(ControlRecord& record, std::string_view text) {
    record.design.tooltip = std::string(text);
    if (tooltip == nullptr || record.hwnd == nullptr)
        return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(record.hwnd);
    TTTOOLINFOA existing = tool;
    const bool known =
        ::SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&existing)) != 0;
    if (record.design.tooltip.empty()) {
        if (known)
            ::SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    // The tip window keeps a copy of the text.
    tool.lpszText = record.design.tooltip.data();
    ::SendMessageA(tooltip, known ? TTM_UPDATETIPTEXTA : TTM_ADDTOOLA, 0,
                   reinterpret_cast<LPARAM>(&tool));
}

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
        if (record.hwnd == nullptr)
            throw_last_error("cannot create the control " +
                             control_display_name(record.design.name, record.design.index));
        ::SetWindowLongPtrA(record.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record));
        by_hwnd[record.hwnd] = &record;
        if (!design.font.name.empty())
            record.font.reset(make_font(design.font));
        const HFONT font = record.font ? record.font.get() : default_font.get();
        ::SendMessageA(record.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Later controls lie on top of earlier ones where they overlap; the
        // tab order stays the creation order (see handle_tab).
        ::SetWindowPos(record.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!design.tooltip.empty())
            set_tooltip(record, design.tooltip);
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
                record.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassed_proc)));
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
            if (design.graphical) {
                record.original_proc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
                    record.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassed_proc)));
            }
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
                throw_last_error("cannot create the menu " + design.name);
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

}  // namespace wl::win32
