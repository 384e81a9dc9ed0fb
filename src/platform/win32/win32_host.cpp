// The host: the form window, its events, the message loop, message boxes,
// pop-up menus and starting programs.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <exception>
#include <stdexcept>

#include "platform/win32/win32_host_impl.h"

namespace wl::win32 {

namespace {

ControlRecord* own_record(HWND hwnd) {
    return reinterpret_cast<ControlRecord*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

std::string describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const AppError& e) {
        return "Run-time error '" + std::to_string(e.number()) + "':\r\n\r\n" + e.description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

// Runs a window procedure of the host on the record kept with the window;
// nothing may unwind through user32, so it catches everything.
template <class Handle>
LRESULT run_guarded(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, Handle handle) {
    ControlRecord* record = own_record(hwnd);
    if (record == nullptr || record->host == nullptr) {
        return ::DefWindowProcA(hwnd, message, wparam, lparam);
    }
    try {
        return handle(*record->host, *record);
    } catch (...) {
        record->host->report_error(describe(std::current_exception()));
        return 0;
    }
}

LRESULT CALLBACK form_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return run_guarded(hwnd, message, wparam, lparam, [&](Win32Host::Impl& host, ControlRecord&) {
        return host.form_message(hwnd, message, wparam, lparam);
    });
}

LRESULT CALLBACK picture_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return run_guarded(hwnd, message, wparam, lparam,
                       [&](Win32Host::Impl& host, ControlRecord& record) {
                           return host.picture_message(record, hwnd, message, wparam, lparam);
                       });
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
    if (!::RegisterClassExA(&wc)) {
        throw std::runtime_error(std::string("cannot register the window class ") + name);
    }
}

POINT point_of(LPARAM lparam) {
    return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

// The mouse button of a button message: 1 left, 2 right, 4 middle.
int button_of(UINT message) {
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 4;
        default:
            return 1;
    }
}

bool inside_client(HWND hwnd, LPARAM lparam) {
    RECT client{};
    return ::GetClientRect(hwnd, &client) && ::PtInRect(&client, point_of(lparam));
}

}  // namespace

LRESULT CALLBACK text_box_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return run_guarded(hwnd, message, wparam, lparam,
                       [&](Win32Host::Impl& host, ControlRecord& record) {
                           if (record.original_proc == nullptr) {
                               return ::DefWindowProcA(hwnd, message, wparam, lparam);
                           }
                           return host.text_box_message(record, hwnd, message, wparam, lparam);
                       });
}

// ---------------------------------------------------------------------------
// Set-up and tear-down.

Win32Host::Impl::Impl(FileSystem& file_system)
    : files(file_system), instance(::GetModuleHandleA(nullptr)), images(instance) {
    {
        const WindowDc screen(nullptr, WindowDc::Area::Client);
        const int dpi_x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
        dpi_y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
        if (dpi_x <= 0)
            throw std::runtime_error("cannot read the screen resolution");
        if (dpi_y <= 0)
            dpi_y = dpi_x;
        tpp_x = 1440.0 / dpi_x;
        tpp_y = 1440.0 / dpi_y;
    }
    register_class(instance, kFormClass, form_proc, CS_DBLCLKS,
                   images.icon(Picture::FormIcon, false), images.icon(Picture::FormIcon, true));
    register_class(instance, kPictureClass, picture_proc, 0, nullptr, nullptr);
    default_font.reset(make_font(Font{"MS Sans Serif", 8, false, false}));
    taskbar_created = ::RegisterWindowMessageA("TaskbarCreated");
    form_record.host = this;
}

Win32Host::Impl::~Impl() {
    release_form();
}

void Win32Host::Impl::release_form() {
    sink = nullptr;
    ended = true;
    for (auto& record : records)
        stop_timer(*record);
    if (form != nullptr)
        ::DestroyWindow(form);
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
        throw std::runtime_error("cannot create the main window");
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
}

// ---------------------------------------------------------------------------
// Events.

bool Win32Host::Impl::guarded(const std::function<void()>& f) {
    try {
        f();
        return true;
    } catch (const ProgramEnded&) {
        // A handler paused in do_events when the program ended: it goes no
        // further, and there is nothing to report.
        return true;
    } catch (...) {
        report_error(describe(std::current_exception()));
        return false;
    }
}

void Win32Host::Impl::report_error(const std::string& text) {
    // One box at a time: a failing timer handler must not pile up boxes.
    if (reporting)
        return;
    reporting = true;
    const HWND owner = form != nullptr && ::IsWindowVisible(form) ? form : nullptr;
    ::MessageBoxA(owner, text.c_str(), "Wendlock", MB_OK | MB_ICONSTOP);
    reporting = false;
}

void Win32Host::Impl::deliver(const UiEvent& event) {
    if (ended || sink == nullptr)
        return;
    guarded([&] { sink->on_event(event); });
}

void Win32Host::Impl::deliver(const ControlRecord& record, EventKind kind) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    deliver(event);
}

bool Win32Host::Impl::query_unload(int reason) {
    if (ended || sink == nullptr)
        return false;
    bool refused = false;
    // A handler that fails keeps the window: closing is never a side effect
    // of an error.
    if (!guarded([&] { refused = sink->on_query_unload(reason); }))
        refused = true;
    return refused;
}

void Win32Host::Impl::mouse_event(ControlRecord& record, EventKind kind, int button, WPARAM wparam,
                                  LPARAM lparam) {
    UiEvent event;
    event.control = record.design.name;
    event.index = record.design.index;
    event.kind = kind;
    event.button = button;
    event.shift = ((wparam & MK_SHIFT) != 0 ? 1 : 0) | ((wparam & MK_CONTROL) != 0 ? 2 : 0) |
                  (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
    // The tray icon's notifications arrive here as WM_MOUSEMOVE whose lParam
    // is the shell's mouse message: x in pixels is that message number.
    const POINT p = point_of(lparam);
    // Multiplied in single precision: x / (float)twips_per_pixel then gives
    // the pixel value back exactly at every DPI (not so for a product
    // rounded from double, at 168 DPI for one).
    event.x = static_cast<float>(p.x) * static_cast<float>(tpp_x);
    event.y = static_cast<float>(p.y) * static_cast<float>(tpp_y);
    deliver(event);
}

// ---------------------------------------------------------------------------
// Window procedures.

LRESULT Win32Host::Impl::form_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == taskbar_created && taskbar_created != 0) {
        deliver(form_record, EventKind::TaskbarCreated);
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND:
            fill_background(reinterpret_cast<HDC>(wparam));
            return 1;
        case WM_PRINTCLIENT:
            // Themed controls ask for the background behind them.
            fill_background(reinterpret_cast<HDC>(wparam));
            paint_form(reinterpret_cast<HDC>(wparam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(hwnd, &paint);
            paint_form(dc);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
            return on_ctl_colour(message, reinterpret_cast<HDC>(wparam),
                                 reinterpret_cast<HWND>(lparam));
        case WM_DRAWITEM:
            if (wparam != 0) {
                draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            on_command(wparam, lparam);
            return 0;
        case WM_TIMER: {
            const auto found = by_id.find(static_cast<int>(wparam));
            if (found != by_id.end() && found->second->timer_running) {
                deliver(*found->second, EventKind::Timer);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            form_pressed = true;
            return 0;
        case WM_LBUTTONUP: {
            const bool click = form_pressed && !after_double_click;
            form_pressed = false;
            after_double_click = false;
            if (click)
                deliver(form_record, EventKind::Click);
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            // The release that follows belongs to the double-click.
            form_pressed = false;
            after_double_click = true;
            deliver(form_record, EventKind::DblClick);
            return 0;
        case WM_SETCURSOR:
            if (on_set_cursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam)))
                return TRUE;
            break;
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus != nullptr && ::IsChild(hwnd, focus))
                    saved_focus = focus;
                cancel_pointer_presses();
            }
            break;
        case WM_CANCELMODE:
            cancel_pointer_presses();
            break;
        case WM_SETFOCUS: {
            HWND target = nullptr;
            if (saved_focus != nullptr && ::IsWindow(saved_focus) && ::IsChild(hwnd, saved_focus) &&
                ::IsWindowVisible(saved_focus) && ::IsWindowEnabled(saved_focus)) {
                target = saved_focus;
            } else {
                for (const auto& record : records) {
                    if (focusable(*record)) {
                        target = record->hwnd;
                        break;
                    }
                }
            }
            if (target != nullptr)
                ::SetFocus(target);
            return 0;
        }
        case WM_CLOSE:
            if (!query_unload(unload_reason::kControlMenu)) {
                deliver(form_record, EventKind::Unload);
                deliver(form_record, EventKind::Terminate);
                end_program();
            }
            return 0;
        case WM_QUERYENDSESSION:
            return query_unload(unload_reason::kAppWindows) ? FALSE : TRUE;
        case WM_ENDSESSION:
            if (wparam != 0)
                deliver(form_record, EventKind::EndSession);
            return 0;
        case kActivateMessage:
            if (::IsWindowVisible(hwnd))
                deliver(form_record, EventKind::Activate);
            return 0;
        case WM_DESTROY:
            for (auto& record : records)
                stop_timer(*record);
            if (!ended) {
                // Destroyed from outside: the loop has nothing left to run.
                ended = true;
                ::PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            // The controls went with the form.
            by_hwnd.clear();
            for (auto& record : records)
                record->hwnd = nullptr;
            form = nullptr;
            form_record.hwnd = nullptr;
            tooltip = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT Win32Host::Impl::picture_message(ControlRecord& record, HWND hwnd, UINT message,
                                         WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = ::BeginPaint(hwnd, &paint);
            RECT client{};
            ::GetClientRect(hwnd, &client);
            ::FillRect(dc, &client, brush_for(record));
            images.draw(dc, record.picture, 0, 0);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The pressed box keeps the pointer until its buttons are up.
            if (record.pointer.press(button_of(message)) || ::GetCapture() != hwnd)
                ::SetCapture(hwnd);
            mouse_event(record, EventKind::MouseDown, button_of(message), wparam, lparam);
            return 0;
        case WM_MOUSEMOVE: {
            const int buttons = ((wparam & MK_LBUTTON) != 0 ? 1 : 0) |
                                ((wparam & MK_RBUTTON) != 0 ? 2 : 0) |
                                ((wparam & MK_MBUTTON) != 0 ? 4 : 0);
            mouse_event(record, EventKind::MouseMove, buttons, wparam, lparam);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            // A release whose press went elsewhere (the form's background,
            // say) is not this box's: without a capture it merely ended over
            // it.
            const int button = button_of(message);
            if (!record.pointer.release(button))
                return 0;
            const bool click = button == 1 && inside_client(hwnd, lparam);
            mouse_event(record, EventKind::MouseUp, button, wparam, lparam);
            if (!record.pointer.held() && ::GetCapture() == hwnd)
                ::ReleaseCapture();
            if (click)
                deliver(record, EventKind::Click);
            return 0;
        }
        case WM_CAPTURECHANGED:
            // Taken away before the release (another window took the
            // pointer, the user switched away): the release will not come.
            if (reinterpret_cast<HWND>(lparam) != hwnd && record.pointer.lose_capture())
                deliver(record, EventKind::LostCapture);
            return 0;
        case WM_NCDESTROY:
            by_hwnd.erase(hwnd);
            record.hwnd = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

LRESULT Win32Host::Impl::text_box_message(ControlRecord& record, HWND hwnd, UINT message,
                                          WPARAM wparam, LPARAM lparam) {
    const WNDPROC original = record.original_proc;
    if (message == WM_NCDESTROY) {
        by_hwnd.erase(hwnd);
        record.hwnd = nullptr;
        record.original_proc = nullptr;
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        return ::CallWindowProcA(original, hwnd, message, wparam, lparam);
    }
    const LRESULT result = ::CallWindowProcA(original, hwnd, message, wparam, lparam);
    if (message == WM_LBUTTONDOWN) {
        record.pressed = true;
    } else if (message == WM_LBUTTONUP) {
        const bool click = record.pressed && inside_client(hwnd, lparam);
        record.pressed = false;
        if (click)
            deliver(record, EventKind::Click);
    }
    return result;
}

void Win32Host::Impl::on_command(WPARAM wparam, LPARAM lparam) {
    const auto found = by_id.find(LOWORD(wparam));
    if (found == by_id.end())
        return;  // IDOK / IDCANCEL of the dialog keys
    ControlRecord& record = *found->second;
    const UINT code = HIWORD(wparam);
    if (lparam == 0) {
        if (code == 0 && record.design.kind == ControlKind::MenuItem) {
            deliver(record, EventKind::Click);
        }
        return;
    }
    if (reinterpret_cast<HWND>(lparam) != record.hwnd)
        return;
    switch (record.design.kind) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED)
                deliver(record, EventKind::Click);
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) {
                set_option(record, true);
                deliver(record, EventKind::Click);
            }
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED)
                deliver(record, EventKind::Click);
            if (code == STN_DBLCLK)
                deliver(record, EventKind::DblClick);
            break;
        case ControlKind::ListBox:
        case ControlKind::FileList:
            if (code == LBN_SELCHANGE)
                deliver(record, EventKind::Click);
            if (code == LBN_DBLCLK)
                deliver(record, EventKind::DblClick);
            break;
        case ControlKind::ComboBox:
            if (code == CBN_SELCHANGE)
                deliver(record, EventKind::Click);
            break;
        default:
            break;
    }
}

bool Win32Host::Impl::on_set_cursor(HWND window, UINT hit_test) {
    if (pointer != MousePointer::Custom || hit_test != HTCLIENT || form == nullptr)
        return false;
    if (window != form && !::IsChild(form, window))
        return false;
    const HCURSOR cursor = images.cursor(mouse_icon);
    if (cursor == nullptr)
        return false;
    ::SetCursor(cursor);
    return true;
}

// The window went inactive or was told to cancel modes (Alt+Tab, another
// program's window in front, Ctrl+Alt+Del): a press still held on one of our
// boxes will not see its release, so its capture goes now. Windows does not
// always take the capture away from a background thread by itself.
void Win32Host::Impl::cancel_pointer_presses() {
    for (auto& record : records) {
        if (!record->pointer.held())
            continue;
        if (record->hwnd != nullptr && ::GetCapture() == record->hwnd) {
            ::ReleaseCapture();  // WM_CAPTURECHANGED ends the press
        } else if (record->pointer.lose_capture()) {
            deliver(*record, EventKind::LostCapture);
        }
    }
}

void Win32Host::Impl::apply_pointer() {
    // While the mouse is captured no WM_SETCURSOR arrives: set it now.
    const HCURSOR custom = images.cursor(mouse_icon);
    if (pointer == MousePointer::Custom && custom != nullptr) {
        ::SetCursor(custom);
    } else {
        ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    }
}

// ---------------------------------------------------------------------------
// Message loop.

bool Win32Host::Impl::focusable(const ControlRecord& record) const {
    switch (record.design.kind) {
        case ControlKind::TextBox:
        case ControlKind::PictureBox:
        case ControlKind::OptionButton:
        case ControlKind::CommandButton:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::FileList:
            break;
        default:
            return false;
    }
    const HWND hwnd = record.hwnd;
    if (hwnd == nullptr || !::IsWindowVisible(hwnd) || !::IsWindowEnabled(hwnd))
        return false;
    if (record.design.kind != ControlKind::OptionButton)
        return true;
    // The option group is one tab stop: its selected button, or its first
    // reachable one while none is selected.
    if (::SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED)
        return true;
    for (const auto& other : records) {
        if (other->design.kind != ControlKind::OptionButton || other->hwnd == nullptr)
            continue;
        if (::SendMessageA(other->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED &&
            ::IsWindowVisible(other->hwnd) && ::IsWindowEnabled(other->hwnd)) {
            return false;
        }
    }
    for (const auto& other : records) {
        if (other->design.kind != ControlKind::OptionButton || other->hwnd == nullptr)
            continue;
        if (::IsWindowVisible(other->hwnd) && ::IsWindowEnabled(other->hwnd)) {
            return other.get() == &record;
        }
    }
    return false;
}

// Tab and Shift+Tab move through the controls in creation order, whatever
// their stacking order on the form.
bool Win32Host::Impl::handle_tab(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || form == nullptr)
        return false;
    if (msg.hwnd != form && !::IsChild(form, msg.hwnd))
        return false;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    const bool backwards = ::GetKeyState(VK_SHIFT) < 0;
    const int count = static_cast<int>(records.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
        const HWND hwnd = records[static_cast<std::size_t>(i)]->hwnd;
        if (hwnd != nullptr && (hwnd == msg.hwnd || ::IsChild(hwnd, msg.hwnd))) {
            current = i;
            break;
        }
    }
    for (int step = 1; step <= count; ++step) {
        int i = 0;
        if (current < 0) {
            i = backwards ? count - step : step - 1;
        } else {
            i = ((current + (backwards ? -step : step)) % count + count) % count;
        }
        const ControlRecord& next = *records[static_cast<std::size_t>(i)];
        if (!focusable(next))
            continue;
        ::SetFocus(next.hwnd);
        if (next.design.kind == ControlKind::TextBox) {
            ::SendMessageA(next.hwnd, EM_SETSEL, 0, -1);
        } else if (next.design.kind == ControlKind::ComboBox) {
            ::SendMessageA(next.hwnd, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        }
        break;
    }
    return true;
}

void Win32Host::Impl::dispatch(MSG& msg) {
    if (handle_tab(msg))
        return;
    if (form != nullptr && ::IsDialogMessageA(form, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

void Win32Host::Impl::end_program() {
    if (ended)
        return;
    ended = true;
    for (auto& record : records)
        stop_timer(*record);
    if (form != nullptr)
        ::DestroyWindow(form);
    ::PostQuitMessage(0);
}

// ---------------------------------------------------------------------------
// Win32Host.

Win32Host::Win32Host(FileSystem& files) : impl_(std::make_unique<Impl>(files)) {}

Win32Host::~Win32Host() = default;

std::unique_ptr<FormWindow> Win32Host::create_form(const FormSpec& design, EventSink& sink) {
    impl_->create_form(design, sink);
    return make_control(*impl_, impl_->form_record);
}

std::unique_ptr<Control> Win32Host::create_control(FormWindow& form, const ControlSpec& design) {
    if (record_of_control(form) != &impl_->form_record) {
        throw std::logic_error("controls belong on this host's main window");
    }
    return make_control(*impl_, impl_->create_control(design));
}

void Win32Host::popup_menu(Control& menu) {
    ControlRecord* record = record_of_control(menu);
    if (record == nullptr || record->design.kind != ControlKind::Menu) {
        throw std::logic_error("only a menu can pop up");
    }
    const HWND form = impl_->form;
    if (impl_->ended || form == nullptr || !record->menu)
        return;
    // The usual dance for a menu of a (possibly hidden) tray window: be the
    // foreground window so the menu closes when the user clicks elsewhere.
    ::SetForegroundWindow(form);
    POINT at{0, 0};
    ::GetCursorPos(&at);
    const auto chosen = static_cast<int>(::TrackPopupMenu(
        record->menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
        at.y, 0, form, nullptr));
    ::PostMessageA(form, WM_NULL, 0, 0);
    if (chosen == 0)
        return;
    const auto found = impl_->by_id.find(chosen);
    if (found != impl_->by_id.end() && found->second->design.kind == ControlKind::MenuItem) {
        impl_->deliver(*found->second, EventKind::Click);
    }
}

int Win32Host::message_box(const std::string& text, const std::string& caption, unsigned flags) {
    const HWND form = impl_->form;
    const HWND owner = form != nullptr && ::IsWindowVisible(form) ? form : nullptr;
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void Win32Host::do_events() {
    // Handlers yield from inside handlers: a finder press and release during
    // a walk's yield start a walk of their own, which yields in turn. A
    // steady stream of drags would nest them without end and overflow the
    // stack; past a few levels the events wait for the level below instead.
    constexpr int kMaxYieldDepth = 8;
    if (impl_->ended)
        throw ProgramEnded{};
    if (impl_->yield_depth >= kMaxYieldDepth)
        return;
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
    } const nesting(impl_->yield_depth);
    MSG msg;
    while (!impl_->ended && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        impl_->dispatch(msg);
    }
    if (impl_->ended)
        throw ProgramEnded{};
}

void Win32Host::start_program(const std::string& command_line, int show) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION process{};
    std::string line = command_line;  // CreateProcessA may write into it
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        throw AppError(53, "Wendlock", "File not found");
    }
    const UniqueHandle process_handle(process.hProcess);
    const UniqueHandle thread_handle(process.hThread);
}

void Win32Host::run() {
    MSG msg;
    while (!impl_->ended) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0)
            continue;  // a WM_QUIT not of ours: keep running until end_program
        impl_->dispatch(msg);
    }
}

void Win32Host::end_program() {
    impl_->end_program();
}

double Win32Host::twips_per_pixel_x() const {
    return impl_->tpp_x;
}

double Win32Host::twips_per_pixel_y() const {
    return impl_->tpp_y;
}

}  // namespace wl::win32
