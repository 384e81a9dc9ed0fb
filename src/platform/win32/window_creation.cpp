// Building the windows: the host's window classes, the form, and each
// control from its design, at the screen's resolution. The kinds with a
// window of their own are made from one table.
#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string_view>

#include "platform/control_kinds.h"
#include "platform/win32/host_state.h"
#include "platform/win32/system_error.h"

namespace wl::win32 {

namespace {

// Height in pixels of a combo box's drop-down list below its edit field.
constexpr int kDropDownHeight = 120;

// The window of each kind that has one: its class, its styles whatever the
// design, and the extra height below the design's.
struct WindowKind {
    ControlKind kind;
    const char* window_class;
    DWORD style;
    DWORD ex_style;
    int extra_height;
};

constexpr WindowKind kWindowKinds[] = {
    {ControlKind::Label, "STATIC", SS_NOTIFY, 0, 0},
    {ControlKind::TextBox, "EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 0},
    {ControlKind::PictureBox, Win32Host::Impl::kPictureClass, WS_TABSTOP, 0, 0},
    // Checked by the host (set_option), so the group works whatever the
    // stacking order of its buttons.
    {ControlKind::OptionButton, "BUTTON", WS_TABSTOP | BS_RADIOBUTTON, 0, 0},
    {ControlKind::CommandButton, "BUTTON", WS_TABSTOP, 0, 0},
    {ControlKind::ComboBox, "COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
     kDropDownHeight},
    {ControlKind::ListBox, "LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, 0},
    {ControlKind::FileList, "LISTBOX", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, 0},
};

const WindowKind* window_kind(ControlKind kind) {
    for (const WindowKind& entry : kWindowKinds) {
        if (entry.kind == kind)
            return &entry;
    }
    return nullptr;
}

// The styles that follow from the design: visibility, enabled state, and
// the few that differ between controls of one kind.
DWORD design_style(const ControlSpec& design, bool first_option) {
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (design.visible ? WS_VISIBLE : 0) |
                  (design.enabled ? 0 : WS_DISABLED);
    switch (design.kind) {
        case ControlKind::Label:
            style |= design.centred ? SS_CENTER : SS_LEFT;
            break;
        case ControlKind::OptionButton:
            style |= first_option ? WS_GROUP : 0;
            break;
        case ControlKind::CommandButton:
            style |= design.graphical ? BS_OWNERDRAW : BS_PUSHBUTTON;
            break;
        default:
            break;
    }
    return style;
}

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
        throw_last_error("RegisterClassExA",
                         std::string("cannot register the window class ") + name);
}

}  // namespace

void Win32Host::Impl::register_classes() {
    register_class(instance, kFormClass, form_proc, CS_DBLCLKS,
                   images.icon(Picture::FormIcon, false), images.icon(Picture::FormIcon, true));
    register_class(instance, kPictureClass, picture_proc, 0, nullptr, nullptr);
}

UniqueFont Win32Host::Impl::make_font(const Font& font) const {
    const int points = font.points > 0 ? font.points : 8;
    UniqueFont made(::CreateFontA(
        screen.font_height(points), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
        font.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.name.c_str()));
    if (!made)
        throw_last_error("CreateFontA", "cannot make the font " + font.name);
    return made;
}

void Win32Host::Impl::create_form(const FormSpec& design, EventSink& event_sink) {
    if (window.exists() || loop.ended())
        throw std::logic_error("the host runs one main window");
    ControlRecord& record = controls.form();
    record.design = ControlSpec{};
    record.design.name = design.name;
    record.design.kind = ControlKind::Form;
    record.design.text = design.caption;
    record.back = design.back_colour;

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT outer{0, 0, screen.to_pixels_x(design.client_width),
               screen.to_pixels_y(design.client_height)};
    ::AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
    const HWND hwnd = ::CreateWindowExA(
        0, kFormClass, design.caption.c_str(), kStyle, screen.to_pixels_x(design.left) + outer.left,
        screen.to_pixels_y(design.top) + outer.top, outer.right - outer.left,
        outer.bottom - outer.top, nullptr, nullptr, instance, &record);
    if (hwnd == nullptr)
        throw_last_error("CreateWindowExA", "cannot create the main window");
    controls.bind_window(record, hwnd);
    // Raised, not handled: without it no control shows its tool tip.
    const HWND tooltip =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance, nullptr);
    window.created(hwnd, tooltip);
    if (tooltip == nullptr)
        throw_last_error("CreateWindowExA", "cannot create the tool tips of the main window");
    // A width of its own makes the tip break lines where its text does.
    ::SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 600);
    events.attach(event_sink);

    if (design.icon != Picture::None) {
        ::SendMessageA(hwnd, WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(images.icon(design.icon, false)));
        ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(images.icon(design.icon, true)));
    }
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(default_font.get()), FALSE);
}

ControlRecord& Win32Host::Impl::create_control(const ControlSpec& design) {
    if (!window.exists())
        throw std::logic_error("create the main window before its controls");
    if (design.kind == ControlKind::Form)
        throw std::logic_error("a form is not a control");
    std::unique_ptr<ControlRecord> owned = controls.make_record();
    ControlRecord& record = *owned;
    record.design = design;
    record.back = design.back_colour;
    record.picture = design.picture;
    record.visible = design.visible;
    record.enabled = design.enabled;
    record.checked = design.checked;
    if (window_kind(design.kind) != nullptr) {
        create_window(record);
    } else {
        create_windowless(record);
    }
    controls.add(std::move(owned));
    if (record.parent_menu != nullptr) {
        record.parent_menu->items.push_back(&record);
        rebuild_menu(*record.parent_menu);
    }
    if (design.kind == ControlKind::Timer && design.enabled)
        start_timer(record);
    return record;
}

void Win32Host::Impl::create_window(ControlRecord& record) {
    const ControlSpec& design = record.design;
    const WindowKind& kind = *window_kind(design.kind);
    // A text box in the form's own colour reads as a caption: no frame and
    // no margins, its text fills the box.
    const bool flat = design.kind == ControlKind::TextBox && design.back_colour &&
                      *design.back_colour == effective_back(controls.form());
    const int x = screen.to_pixels_x(design.left);
    const int y = screen.to_pixels_y(design.top);
    const HWND hwnd = ::CreateWindowExA(
        flat ? 0 : kind.ex_style, kind.window_class, design.text.c_str(),
        kind.style | design_style(design, !controls.has_kind(ControlKind::OptionButton)), x, y,
        screen.to_pixels_x(design.width), screen.to_pixels_y(design.height) + kind.extra_height,
        window.handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(record.id)), instance,
        nullptr);
    const std::string name = control_display_name(design.name, design.index);
    if (hwnd == nullptr)
        throw_last_error("CreateWindowExA", "cannot create the control " + name);
    // Raised: a window without its record gets none of its events. The call
    // answers the old value, 0, on success too; only the last error tells.
    ::SetLastError(ERROR_SUCCESS);
    if (::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&record)) == 0 &&
        ::GetLastError() != ERROR_SUCCESS) {
        const DWORD code = ::GetLastError();
        ::DestroyWindow(hwnd);
        throw Win32Error("SetWindowLongPtrA", "cannot attach the control " + name, code);
    }
    controls.bind_window(record, hwnd);
    try {
        if (flat)
            ::SendMessageA(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        dress_window(record);
    } catch (...) {
        // Not left behind half made, pointing at a record that goes now.
        ::DestroyWindow(hwnd);
        controls.unbind_window(hwnd);
        throw;
    }
}

// What a control's window gets once it exists: its font, its place on top
// of the earlier ones, its tool tip, and the kind's own finish.
void Win32Host::Impl::dress_window(ControlRecord& record) {
    const ControlSpec& design = record.design;
    const HWND hwnd = record.hwnd;
    if (!design.font.name.empty())
        record.font = make_font(design.font);
    const HFONT font = record.font ? record.font.get() : default_font.get();
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Later controls lie on top of earlier ones where they overlap; the tab
    // order stays the creation order (see KeyboardFocus).
    ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!design.tooltip.empty())
        set_tooltip(record, design.tooltip);
    if (design.kind == ControlKind::ComboBox)
        set_text(record, design.text);
    if (design.kind == ControlKind::TextBox ||
        (design.kind == ControlKind::CommandButton && design.graphical)) {
        // Without its own procedure a text box would not click, a graphical
        // button would lose presses (subclassed_message).
        const auto original = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassed_proc)));
        if (original == nullptr)
            throw_last_error("SetWindowLongPtrA",
                             "cannot subclass " + control_display_name(design.name, design.index));
        record.original_proc = original;
    }
}

void Win32Host::Impl::set_tooltip(ControlRecord& record, std::string_view text) {
    record.design.tooltip = std::string(text);
    if (window.tooltip() == nullptr || record.hwnd == nullptr)
        return;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window.handle();
    tool.uId = reinterpret_cast<UINT_PTR>(record.hwnd);
    TTTOOLINFOA existing = tool;
    const bool known = ::SendMessageA(window.tooltip(), TTM_GETTOOLINFOA, 0,
                                      reinterpret_cast<LPARAM>(&existing)) != 0;
    if (record.design.tooltip.empty()) {
        if (known)
            ::SendMessageA(window.tooltip(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    // The tip window keeps a copy of the text.
    tool.lpszText = record.design.tooltip.data();
    if (known) {
        ::SendMessageA(window.tooltip(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (!::SendMessageA(window.tooltip(), TTM_ADDTOOLA, 0,
                               reinterpret_cast<LPARAM>(&tool))) {
        // Raised: the tip would be missing unseen.
        throw_last_error("TTM_ADDTOOLA",
                         "cannot add the tool tip of " +
                             control_display_name(record.design.name, record.design.index));
    }
}

void Win32Host::Impl::create_windowless(ControlRecord& record) {
    const ControlSpec& design = record.design;
    switch (design.kind) {
        case ControlKind::Shape: {
            const int x = screen.to_pixels_x(design.left);
            const int y = screen.to_pixels_y(design.top);
            record.bounds = RECT{x, y, x + screen.to_pixels_x(design.width),
                                 y + screen.to_pixels_y(design.height)};
            ::InvalidateRect(window.handle(), &record.bounds, TRUE);
            break;
        }
        case ControlKind::Menu:
            record.menu.reset(::CreatePopupMenu());
            if (!record.menu)
                throw_last_error("CreatePopupMenu", "cannot create the menu " + design.name);
            break;
        case ControlKind::MenuItem:
            record.parent_menu = controls.menu_named(design.parent);
            if (record.parent_menu == nullptr) {
                throw std::logic_error("the menu item " + design.name + " has no menu " +
                                       design.parent);
            }
            break;
        default:
            break;  // timers
    }
}

}  // namespace wl::win32
