// WindowSystem on user32 / gdi32.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_window_system.h"
#include "platform/win32/window_text.h"

namespace wl::win32 {

std::string window_text(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

namespace {

constexpr UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_NORMAL;

// A whole-window surface of GetWindowDC; every operation does nothing (reads
// give CLR_INVALID) when the window was gone when the surface was made.
class Win32Surface final : public DrawSurface {
  public:
    explicit Win32Surface(HWND window) {
        if (window != nullptr && ::IsWindow(window)) {
            dc_.emplace(window, WindowDc::Area::Whole);
            if (dc_->get() == nullptr)
                dc_.reset();
        }
    }

    Colour get_pixel(int x, int y) override {
        if (!dc_)
            return kInvalidColour;
        return static_cast<Colour>(::GetPixel(dc_->get(), x, y));
    }

    void fill(const Rect& area, Colour colour) override {
        if (!dc_ || area.right <= area.left || area.bottom <= area.top)
            return;
        const UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(colour)));
        if (!brush)
            return;
        const RECT r{area.left, area.top, area.right, area.bottom};
        ::FillRect(dc_->get(), &r, brush.get());
    }

  private:
    std::optional<WindowDc> dc_;
};

// GetWindowTextA / GetClassNameA into a buffer of `buffer_chars`.
template <class Read>
std::string read_into_buffer(int buffer_chars, Read read, HWND window) {
    if (buffer_chars <= 0)
        return {};
    std::vector<char> buffer(static_cast<std::size_t>(buffer_chars), '\0');
    const int copied = read(window, buffer.data(), buffer_chars);
    if (copied <= 0)
        return {};
    const auto length =
        std::min(static_cast<std::size_t>(copied), static_cast<std::size_t>(buffer_chars - 1));
    return std::string(buffer.data(), length);
}

}  // namespace

Hwnd Win32WindowSystem::find_window(const std::string& class_name, const std::string& title) {
    if (class_name.empty())
        return 0;
    return from_hwnd(::FindWindowA(class_name.c_str(), title.c_str()));
}

Hwnd Win32WindowSystem::find_window_ex(Hwnd parent, Hwnd after, const std::string& class_name,
                                       const std::string& title) {
    if (class_name.empty())
        return 0;
    return from_hwnd(
        ::FindWindowExA(to_hwnd(parent), to_hwnd(after), class_name.c_str(), title.c_str()));
}

bool Win32WindowSystem::click_button(Hwnd button) {
    if (button == 0)
        return false;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(to_hwnd(button), BM_CLICK, 0, 0, kSendFlags, kClickTimeoutMs,
                                 &result) != 0;
}

std::optional<std::string> Win32WindowSystem::get_text_message(Hwnd window, int buffer_chars) {
    if (window == 0 || buffer_chars <= 0)
        return std::nullopt;
    std::vector<char> buffer(static_cast<std::size_t>(buffer_chars), '\0');
    DWORD_PTR copied = 0;
    if (::SendMessageTimeoutA(to_hwnd(window), WM_GETTEXT, static_cast<WPARAM>(buffer_chars),
                              reinterpret_cast<LPARAM>(buffer.data()), kSendFlags, kTextTimeoutMs,
                              &copied) == 0) {
        return std::nullopt;
    }
    // The count is what the window reports; never trust it past the buffer
    // or past the terminating NUL it wrote.
    std::size_t length =
        std::min(static_cast<std::size_t>(copied), static_cast<std::size_t>(buffer_chars - 1));
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            length = i;
            break;
        }
    }
    return std::string(buffer.data(), length);
}

std::string Win32WindowSystem::get_window_text(Hwnd window, int buffer_chars) {
    return read_into_buffer(
        buffer_chars, [](HWND w, LPSTR text, int size) { return ::GetWindowTextA(w, text, size); },
        to_hwnd(window));
}

std::string Win32WindowSystem::get_class_name(Hwnd window, int buffer_chars) {
    return read_into_buffer(
        buffer_chars, [](HWND w, LPSTR text, int size) { return ::GetClassNameA(w, text, size); },
        to_hwnd(window));
}

Hwnd Win32WindowSystem::get_parent(Hwnd window) {
    if (window == 0)
        return 0;
    return from_hwnd(::GetParent(to_hwnd(window)));
}

std::string Win32WindowSystem::program_path(Hwnd window) {
    if (window == 0)
        return {};
    DWORD process_id = 0;
    if (::GetWindowThreadProcessId(to_hwnd(window), &process_id) == 0 || process_id == 0)
        return {};
    // The limited right is granted also for an elevated program (a CAD
    // program run as administrator), where PROCESS_QUERY_INFORMATION is not.
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process)
        return {};
    std::vector<char> path(MAX_PATH * 4, '\0');
    DWORD length = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameA(process.get(), 0, path.data(), &length))
        return {};
    return std::string(path.data(), std::min<std::size_t>(length, path.size() - 1));
}

Hwnd Win32WindowSystem::get_window(Hwnd window, WindowRelation relation) {
    if (window == 0)
        return 0;
    return from_hwnd(::GetWindow(to_hwnd(window), static_cast<UINT>(relation)));
}

Hwnd Win32WindowSystem::desktop_window() {
    return from_hwnd(::GetDesktopWindow());
}

Point Win32WindowSystem::cursor_pos() {
    POINT p{0, 0};
    ::GetCursorPos(&p);
    return Point{p.x, p.y};
}

Hwnd Win32WindowSystem::window_from_point(Point screen) {
    return from_hwnd(::WindowFromPoint(POINT{screen.x, screen.y}));
}

void Win32WindowSystem::set_capture(Hwnd window) {
    ::SetCapture(to_hwnd(window));
}

void Win32WindowSystem::release_capture() {
    ::ReleaseCapture();
}

bool Win32WindowSystem::get_window_rect(Hwnd window, Rect& rect) {
    if (window == 0)
        return false;
    RECT r{};
    if (!::GetWindowRect(to_hwnd(window), &r))
        return false;
    rect = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

std::unique_ptr<DrawSurface> Win32WindowSystem::window_surface(Hwnd window) {
    // Window 0 would give the whole screen's DC: it counts as a vanished window.
    return std::make_unique<Win32Surface>(to_hwnd(window));
}

Hwnd Win32WindowSystem::active_window() {
    return from_hwnd(::GetActiveWindow());
}

MenuHandle Win32WindowSystem::get_system_menu(Hwnd window) {
    if (window == 0)
        return 0;
    return from_hmenu(::GetSystemMenu(to_hwnd(window), FALSE));
}

bool Win32WindowSystem::remove_menu(MenuHandle menu, unsigned item, unsigned flags) {
    if (menu == 0)
        return false;
    return ::RemoveMenu(to_hmenu(menu), item, flags) != FALSE;
}

void Win32WindowSystem::draw_menu_bar(Hwnd window) {
    ::DrawMenuBar(to_hwnd(window));
}

void Win32WindowSystem::set_window_pos(Hwnd window, Hwnd insert_after, int x, int y, int cx, int cy,
                                       unsigned flags) {
    ::SetWindowPos(to_hwnd(window), to_hwnd(insert_after), x, y, cx, cy, flags);
}

}  // namespace wl::win32
