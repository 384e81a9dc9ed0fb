// window_conformance.exe: runs the window conformance cases against user32
// and gdi32 through Win32WindowSystem, one fresh driver a case. Another
// program's windows live in a second process of this same program
// (`window_conformance.exe --other`), which makes, destroys and hangs them
// on the commands it reads from its standard input, one a line, answering
// each on its standard output. The program's own windows are made in this
// thread, and the user's pointer is real input. Prints one line per failing
// case and a summary; exit code 1 on any failure.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "conformance/window_cases.h"
#include "e2e/win32/pointer.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_window_system.h"

namespace {

using wl::Hwnd;
using wl::Point;
using wl::Rect;
using wl::win32::from_hwnd;
using wl::win32::to_hwnd;
using wl::win32::UniqueHandle;

// --- The other program -----------------------------------------------------------

constexpr UINT kCommandMessage = WM_APP + 1;

std::map<HWND, int> g_clicks;
std::map<HWND, WNDPROC> g_button_procs;

// A button of the other program counts the clicks sent to it.
LRESULT CALLBACK counting_button(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == BM_CLICK)
        ++g_clicks[hwnd];
    return CallWindowProcA(g_button_procs[hwnd], hwnd, message, wparam, lparam);
}

// The other program's own classes paint white, like the simulated windows.
void ensure_class(const std::string& name) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), name.c_str(), &existing) ||
        GetClassInfoExA(nullptr, name.c_str(), &existing)) {
        return;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name.c_str();
    RegisterClassExA(&wc);
}

void reply(const std::string& line) {
    const std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

// "make PARENT OWNER POPUP VISIBLE ENABLED LEFT TOP RIGHT BOTTOM\tCLASS\tTITLE"
HWND make_window(const std::string& command) {
    const std::size_t tab = command.find('\t');
    const std::size_t tab2 = command.find('\t', tab + 1);
    std::istringstream numbers(command.substr(5, tab - 5));
    unsigned long long parent = 0;
    unsigned long long owner = 0;
    int popup = 0, visible = 0, enabled = 0;
    RECT r{};
    numbers >> std::hex >> parent >> owner >> std::dec >> popup >> visible >> enabled >> r.left >>
        r.top >> r.right >> r.bottom;
    const std::string class_name = command.substr(tab + 1, tab2 - tab - 1);
    const std::string title = command.substr(tab2 + 1);
    ensure_class(class_name);
    DWORD style = WS_CLIPSIBLINGS | (enabled ? 0 : WS_DISABLED);
    HWND above = to_hwnd(owner);
    if (parent != 0) {
        style |= WS_CHILD;
        above = to_hwnd(parent);
        MapWindowPoints(HWND_DESKTOP, above, reinterpret_cast<POINT*>(&r), 2);
    } else {
        style |= popup ? WS_POPUP : (WS_OVERLAPPED | WS_CAPTION);
    }
    HWND window = CreateWindowExA(0, class_name.c_str(), title.c_str(), style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, above, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr)
        return nullptr;
    if (lstrcmpiA(class_name.c_str(), "Button") == 0) {
        g_button_procs[window] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&counting_button)));
    }
    if (visible) {
        ShowWindow(window, parent != 0 ? SW_SHOWNA : SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }
    return window;
}

int run_other_program() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before commands come
    const DWORD ui_thread = GetCurrentThreadId();
    const UniqueHandle answering(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread reader([ui_thread, event = answering.get()] {
        std::string line;
        char c = 0;
        DWORD got = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
            if (c == '\r')
                continue;
            if (c != '\n') {
                line += c;
                continue;
            }
            if (line == "unhang") {
                SetEvent(event);
                reply("ok");
            } else {
                PostThreadMessageA(ui_thread, kCommandMessage, 0,
                                   reinterpret_cast<LPARAM>(new std::string(line)));
            }
            line.clear();
        }
        // The tests are over: a hung thread wakes to end too.
        SetEvent(event);
        PostThreadMessageA(ui_thread, WM_QUIT, 0, 0);
    });
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd != nullptr || msg.message != kCommandMessage) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        const std::unique_ptr<std::string> command(reinterpret_cast<std::string*>(msg.lParam));
        if (command->rfind("make ", 0) == 0) {
            char handle[32];
            std::snprintf(handle, sizeof handle, "%llx",
                          static_cast<unsigned long long>(from_hwnd(make_window(*command))));
            reply(handle);
        } else if (command->rfind("destroy ", 0) == 0) {
            DestroyWindow(to_hwnd(std::stoull(command->substr(8), nullptr, 16)));
            reply("ok");
        } else if (command->rfind("clicks ", 0) == 0) {
            reply(std::to_string(g_clicks[to_hwnd(std::stoull(command->substr(7), nullptr, 16))]));
        } else if (*command == "hang") {
            ResetEvent(answering.get());
            reply("ok");
            // Hung: no message of this thread is answered until "unhang".
            WaitForSingleObject(answering.get(), INFINITE);
        } else {
            reply("?");
        }
    }
    reader.join();
    return 0;
}

// --- The driver -----------------------------------------------------------------------

std::vector<Point> g_box_moves;

LRESULT CALLBACK own_box(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_MOUSEMOVE) {
        POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        ClientToScreen(hwnd, &p);
        g_box_moves.push_back(Point{p.x, p.y});
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

void register_own_classes() {
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "WlConfOwnForm";
    RegisterClassExA(&wc);
    wc.lpfnWndProc = own_box;
    wc.lpszClassName = "WlConfOwnBox";
    RegisterClassExA(&wc);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

template <class Condition>
bool pump_until(Condition condition, int ms) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms);
    for (;;) {
        pump();
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class Win32WindowDriver final : public wl::conformance::WindowDriver {
  public:
    Win32WindowDriver() { start_other_program(); }
    ~Win32WindowDriver() override {
        if (box_ != nullptr)
            DestroyWindow(box_);
        if (form_ != nullptr)
            DestroyWindow(form_);
        pump();
        to_other_.reset();  // the other program reads its end and ends
        if (WaitForSingleObject(other_.get(), 5000) != WAIT_OBJECT_0)
            TerminateProcess(other_.get(), 1);
    }

    wl::WindowSystem& windows() override { return windows_; }

    Hwnd make(const wl::conformance::WindowDesign& d) override {
        char numbers[160];
        std::snprintf(numbers, sizeof numbers, "make %llx %llx %d %d %d %d %d %d %d",
                      static_cast<unsigned long long>(d.parent),
                      static_cast<unsigned long long>(d.owner), d.popup ? 1 : 0, d.visible ? 1 : 0,
                      d.enabled ? 1 : 0, d.rect.left, d.rect.top, d.rect.right, d.rect.bottom);
        const Hwnd made = std::stoull(
            ask(std::string(numbers) + "\t" + d.class_name + "\t" + d.title), nullptr, 16);
        if (made == 0)
            throw std::runtime_error("the other program could not make " + d.class_name);
        return made;
    }
    void destroy(Hwnd window) override { ask("destroy " + hex(window)); }
    void hang(bool hung) override { ask(hung ? "hang" : "unhang"); }
    int clicks(Hwnd button) override { return std::stoi(ask("clicks " + hex(button))); }
    // The other program is this same executable.
    std::string other_program() override {
        char exe[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        return std::string(exe, length);
    }

    wl::conformance::OwnWindows make_own(const Rect& form, const Rect& box) override {
        register_own_classes();
        form_ = CreateWindowExA(0, "WlConfOwnForm", "Own", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                form.left, form.top, form.right - form.left, form.bottom - form.top,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        POINT corner{box.left, box.top};
        ScreenToClient(form_, &corner);
        box_ = CreateWindowExA(0, "WlConfOwnBox", "", WS_CHILD | WS_VISIBLE, corner.x, corner.y,
                               box.right - box.left, box.bottom - box.top, form_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ShowWindow(form_, SW_SHOW);
        SetForegroundWindow(form_);
        pump_until([this] { return GetForegroundWindow() == form_; }, 3000);
        g_box_moves.clear();
        return wl::conformance::OwnWindows{from_hwnd(form_), from_hwnd(box_)};
    }
    void move_pointer(Point screen) override { e2e::move_pointer(POINT{screen.x, screen.y}); }
    std::vector<Point> moves_received(Hwnd, Point awaited) override {
        pump_until([awaited] { return wl::conformance::received_near(g_box_moves, awaited); },
                   3000);
        return std::exchange(g_box_moves, {});
    }

  private:
    static std::string hex(Hwnd h) {
        char text[32];
        std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(h));
        return text;
    }

    void start_other_program() {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE in_read = nullptr, in_write = nullptr, out_read = nullptr, out_write = nullptr;
        if (!CreatePipe(&in_read, &in_write, &inherit, 0) ||
            !CreatePipe(&out_read, &out_write, &inherit, 0)) {
            throw std::runtime_error("CreatePipe: system error " + std::to_string(GetLastError()));
        }
        const UniqueHandle child_in(in_read);
        const UniqueHandle child_out(out_write);
        to_other_.reset(in_write);
        from_other_.reset(out_read);
        SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string command_line = "\"" + std::string(exe) + "\" --other";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in_read;
        startup.hStdOutput = out_write;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(exe, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            throw std::runtime_error("CreateProcessA: system error " +
                                     std::to_string(GetLastError()));
        }
        other_.reset(process.hProcess);
        const UniqueHandle thread(process.hThread);
    }

    // Sends one command and waits for its answer line.
    std::string ask(const std::string& command) {
        const std::string line = command + "\n";
        DWORD count = 0;
        WriteFile(to_other_.get(), line.data(), static_cast<DWORD>(line.size()), &count, nullptr);
        std::string answer;
        char c = 0;
        while (ReadFile(from_other_.get(), &c, 1, &count, nullptr) && count == 1 && c != '\n')
            answer += c;
        return answer;
    }

    wl::win32::Win32WindowSystem windows_;
    UniqueHandle other_;
    UniqueHandle to_other_;
    UniqueHandle from_other_;
    HWND form_ = nullptr;
    HWND box_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--other")
        return run_other_program();
    wl::conformance::Tally tally;
    for (const auto& window_case : wl::conformance::window_cases()) {
        wl::conformance::WindowCaseResult result;
        try {
            Win32WindowDriver driver;
            result = wl::conformance::run_window_case(driver, window_case);
        } catch (const std::exception& e) {
            result = {window_case.name, false, std::string("driver: ") + e.what()};
        }
        pump();
        tally.count(result);
    }
    std::printf("%d passed, %d failed\n", tally.passed, tally.failed);
    return tally.failed == 0 ? 0 : 1;
}
