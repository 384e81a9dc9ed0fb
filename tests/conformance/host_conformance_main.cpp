// host_conformance.exe: runs the host conformance cases against the real
// Win32 host, in this thread, on a fresh host for each case. The user's
// input is posted to the window the system would route it to (the capture,
// else the window under the pointer); modal boxes and pop-up menus are
// answered from a second thread, as a user would. Prints one line per
// failing case and a summary; exit code 1 on any failure.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "conformance/host_cases.h"
#include "platform/win32/win32_platform.h"

namespace {

using wl::Control;
using wl::Hwnd;

HWND to_hwnd(Hwnd h) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(h));
}
Hwnd from_hwnd(HWND h) {
    return static_cast<Hwnd>(reinterpret_cast<UINT_PTR>(h));
}

// The first visible window of `class_name` that belongs to this thread.
HWND find_thread_window(DWORD thread, const char* class_name) {
    struct Search {
        const char* class_name;
        HWND found;
    } search{class_name, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM lparam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lparam);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (IsWindowVisible(window) && std::string(name) == s->class_name) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits up to 10 s for `find` to give a window, polling every 10 ms.
template <class Find>
HWND await(Find find) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (GetTickCount64() < deadline) {
        if (HWND found = find())
            return found;
        Sleep(10);
    }
    return nullptr;
}

class Win32HostDriver final : public wl::conformance::HostDriver {
  public:
    Win32HostDriver() : thread_(GetCurrentThreadId()), host_(files_) {
        char temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        scratch_ = std::string(temp, length) + "wl_host_conformance_" +
                   std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    }
    ~Win32HostDriver() override {
        if (helper_.joinable())
            helper_.join();
        if (other_ != nullptr)
            DestroyWindow(other_);
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }

    wl::Host& host() override { return host_; }

    void press(const Control& over, int button) override {
        held_ |= button;
        post_pointer(over, button == 2 ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    }
    void move(const Control& over) override { post_pointer(over, WM_MOUSEMOVE); }
    void release(const Control& over, int button) override {
        held_ &= ~button;
        post_pointer(over, button == 2 ? WM_RBUTTONUP : WM_LBUTTONUP);
    }
    void take_capture_away() override {
        if (other_ == nullptr) {
            other_ = CreateWindowExA(0, "STATIC", "Elsewhere", WS_POPUP, 0, 0, 20, 20, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
        }
        SetCapture(other_);
        ReleaseCapture();
        pump();
    }

    void tab(bool backwards) override {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE shift = keys[VK_SHIFT];
        keys[VK_SHIFT] = backwards ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND focus = GetFocus();
        PostMessageA(focus != nullptr ? focus : form_window(), WM_KEYDOWN, VK_TAB, 1);
        pump();
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
    }
    void focus_on(const Control& control) override { SetFocus(to_hwnd(control.hwnd())); }
    Hwnd focus() override {
        HWND focus = GetFocus();
        // A combo box takes the focus in its edit field.
        char name[32] = {};
        if (focus != nullptr && GetClassNameA(GetParent(focus), name, sizeof name) &&
            lstrcmpiA(name, "ComboBox") == 0) {
            focus = GetParent(focus);
        }
        return from_hwnd(focus);
    }

    void post_click(const Control& button) override {
        PostMessageA(to_hwnd(button.hwnd()), BM_CLICK, 0, 0);
    }
    void answer_next_box(int result) override {
        start_helper([this, result] {
            HWND box = await([this] { return find_thread_window(thread_, "#32770"); });
            if (box == nullptr)
                return;
            box_owner_ = from_hwnd(GetWindow(box, GW_OWNER));
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(result), 0);
        });
    }
    Hwnd last_box_owner() override {
        if (helper_.joinable())
            helper_.join();
        return box_owner_;
    }
    void choose_in_next_menu(int position) override {
        HWND target = form_window();
        start_helper([this, position, target] {
            if (await([this] { return find_thread_window(thread_, "#32768"); }) == nullptr)
                return;
            // The menu's own loop reads the keys from this thread's queue.
            for (int i = 0; i <= position; ++i)
                PostMessageA(target, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(target, WM_KEYDOWN, position < 0 ? VK_ESCAPE : VK_RETURN, 1);
        });
    }
    void request_close() override { PostMessageA(form_window(), WM_CLOSE, 0, 0); }
    void end_session() override {
        HWND form = form_window();
        const bool ends = SendMessageA(form, WM_QUERYENDSESSION, 0, 0) != FALSE;
        SendMessageA(form, WM_ENDSESSION, ends ? TRUE : FALSE, 0);
    }

    std::string missing_program() override { return scratch_folder() + "\\no-such-program.exe"; }
    std::string scratch_folder() override {
        std::error_code ignored;
        std::filesystem::create_directories(scratch_, ignored);
        return scratch_;
    }

    void pump() override { host_.do_events(); }
    bool run_until(const std::function<bool()>& condition, int ms) override {
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
        for (;;) {
            if (condition())
                return true;
            if (GetTickCount64() >= deadline)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            pump();
        }
    }

    // What a case's end leaves in this thread's queue (the end of the
    // program posts WM_QUIT) must not reach the next case.
    static void drain() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

  private:
    HWND form_window() {
        // The form is the top-level window of this thread of the host's class.
        return find_thread_window(thread_, "WendlockForm");
    }

    // Posts a pointer message where the system would send it: to the window
    // holding the capture, else to the control under the pointer; the point
    // is the control's centre (a free spot for the form), in that window's
    // client coordinates. The host handles it before this returns.
    void post_pointer(const Control& over, UINT message) {
        HWND window = to_hwnd(over.hwnd());
        POINT point{};
        if (window == form_window()) {
            point = POINT{300, 220};
            ClientToScreen(window, &point);
        } else {
            RECT r{};
            GetWindowRect(window, &r);
            point = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        }
        HWND target = GetCapture() != nullptr ? GetCapture() : window;
        ScreenToClient(target, &point);
        const WPARAM keys =
            ((held_ & 1) != 0 ? MK_LBUTTON : 0) | ((held_ & 2) != 0 ? MK_RBUTTON : 0);
        PostMessageA(target, message, keys, MAKELPARAM(point.x, point.y));
        pump();
    }

    template <class Work>
    void start_helper(Work work) {
        if (helper_.joinable())
            helper_.join();
        helper_ = std::thread(work);
    }

    DWORD thread_;
    wl::win32::Win32FileSystem files_;
    wl::win32::Win32Host host_;
    std::string scratch_;
    HWND other_ = nullptr;
    int held_ = 0;
    std::thread helper_;
    std::atomic<Hwnd> box_owner_{0};
};

}  // namespace

int main() {
    wl::conformance::Tally tally;
    for (const auto& host_case : wl::conformance::host_cases()) {
        wl::conformance::HostCaseResult result;
        {
            Win32HostDriver driver;
            result = wl::conformance::run_host_case(driver, host_case);
        }
        Win32HostDriver::drain();
        tally.count(result);
    }
    // Only the real host has system errors to tell: a failing call's error
    // carries the system's code and its text.
    {
        Win32HostDriver driver;
        std::string description;
        try {
            driver.host().start_program(driver.missing_program(), SW_SHOWNORMAL);
        } catch (const wl::AppError& e) {
            description = e.description();
        }
        const bool says_why = description.find("system error 2:") != std::string::npos ||
                              description.find("system error 3:") != std::string::npos;
        tally.count({"a failing call's error carries the system's code and text", says_why,
                     "\"" + description + "\""});
    }
    std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
    return tally.failed == 0 ? 0 : 1;
}
