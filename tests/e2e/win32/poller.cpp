// poller.exe: the control program of the Wine benchmarks. It does what
// Wendlock's watcher does while it waits, and nothing else: every 55 ms it
// looks for 20 message boxes that are not open (FindWindowA with the dialog
// class and a title, then FindWindowExA for the button under what was found,
// or under 0 when nothing was, as the watcher does), and it can put an icon
// in the tray like Wendlock's or leave it out. Run beside the same desktop,
// it tells apart what the lookups cost and what the tray icon costs.
//
//   poller.exe [--tray] [--entries N] [--period-ms MS] [--timeout-ms MS]
//
//   --tray          add a tray icon (removed again on the way out)
//   --entries N     entries looked up per tick, two lookups each (default 20;
//                   0: no lookups, the timer still runs)
//   --period-ms MS  timer period (default 55, the watcher's)
//   --timeout-ms MS end by itself after this long (default 600000)
//
// Ends on WM_CLOSE to its window (hidden, caption "Wendlock poller"; driver
// close --window "Wendlock poller") or at the deadline. Output, one line
// each, flushed at once:
//   ready pid=<n> hwnd=<hex> tray=0|1 entries=<n> period_ms=<n>
//   end closed|deadline ticks=<n> lookups=<n> found=<n> tray_removed=0|1|-
// Exit code: 0 after a clean end, 1 when the window, the timer or the icon
// could not be made, 2 on a usage error.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kDeadlineTimer = 2;
constexpr UINT kTrayId = 1;
// The callback message Wendlock asks for (it arrives as WM_MOUSEMOVE), so
// that the two icons differ in nothing the tray looks at but the picture.
constexpr UINT kTrayCallback = WM_MOUSEMOVE;

struct Options {
    bool tray = false;
    int entries = 20;
    int period_ms = 55;
    int timeout_ms = 600000;
};

struct Entry {
    std::string title;
    std::string button;
};

struct State {
    std::vector<Entry> entries;
    bool icon_added = false;
    std::string icon_removed = "-";
    unsigned long long ticks = 0;
    unsigned long long lookups = 0;
    unsigned long long found = 0;
    const char* end = "deadline";
};

State g_state;

void say(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool parse_int(const char* text, int low, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || parsed < low || parsed > 0x7fffffffL) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--tray") {
            options.tray = true;
        } else if (arg == "--entries" && has_value) {
            if (!parse_int(argv[++i], 0, options.entries)) {
                return false;
            }
        } else if (arg == "--period-ms" && has_value) {
            if (!parse_int(argv[++i], 1, options.period_ms)) {
                return false;
            }
        } else if (arg == "--timeout-ms" && has_value) {
            if (!parse_int(argv[++i], 1, options.timeout_ms)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

// One tick of the watcher's loop: for each entry the box, then its button;
// the button lookup runs even when no box was found, and with parent 0 it
// searches the top-level windows.
void tick() {
    ++g_state.ticks;
    for (const Entry& entry : g_state.entries) {
        HWND box = FindWindowA("#32770", entry.title.c_str());
        HWND button = FindWindowExA(box, nullptr, "Button", entry.button.c_str());
        g_state.lookups += 2;
        if (box != nullptr && button != nullptr) {
            // Only counted: the control never presses anything.
            ++g_state.found;
        }
    }
}

NOTIFYICONDATAA tray_record(HWND window) {
    NOTIFYICONDATAA data{};
    // The version-1 record, as Wendlock passes it.
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayId;
    return data;
}

// The icon goes first, while its owner still exists: the tray knows it by
// owner and id. A bench that ends the control this way never depends on the
// tray cleaning up after a window that went.
void finish(HWND window, const char* reason) {
    g_state.end = reason;
    if (g_state.icon_added) {
        NOTIFYICONDATAA data = tray_record(window);
        g_state.icon_removed = Shell_NotifyIconA(NIM_DELETE, &data) ? "1" : "0";
        g_state.icon_added = false;
    }
    DestroyWindow(window);
}

LRESULT CALLBACK poller_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_TIMER:
            if (wparam == kTickTimer) {
                tick();
            } else if (wparam == kDeadlineTimer) {
                finish(window, "deadline");
            }
            return 0;
        case WM_CLOSE:
            finish(window, "closed");
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fputs("usage: poller.exe [--tray] [--entries N] [--period-ms MS] [--timeout-ms MS]\n",
                   stderr);
        return 2;
    }
    // Titles that no window has, in the shape of a watch list's entries.
    for (int n = 1; n <= options.entries; ++n) {
        char title[32];
        std::snprintf(title, sizeof title, "Poller Box %02d", n);
        g_state.entries.push_back({title, n % 2 ? "OK" : "&No"});
    }

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = poller_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = "WendlockPoller";
    RegisterClassA(&window_class);
    // Hidden: a window of its own on the screen would be a cost Wendlock's
    // watcher does not add, and the tray icon needs an owner to send to.
    HWND window =
        CreateWindowExA(0, window_class.lpszClassName, "Wendlock poller", WS_OVERLAPPEDWINDOW, 0, 0,
                        200, 100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        say("error=CreateWindowEx failed error=" + std::to_string(GetLastError()));
        return 1;
    }

    if (options.tray) {
        NOTIFYICONDATAA data = tray_record(window);
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kTrayCallback;
        data.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        lstrcpynA(data.szTip, "Wendlock poller", sizeof data.szTip);
        g_state.icon_added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
        if (!g_state.icon_added) {
            say("error=Shell_NotifyIcon NIM_ADD failed");
            DestroyWindow(window);
            return 1;
        }
    }
    if (SetTimer(window, kTickTimer, static_cast<UINT>(options.period_ms), nullptr) == 0 ||
        SetTimer(window, kDeadlineTimer, static_cast<UINT>(options.timeout_ms), nullptr) == 0) {
        say("error=SetTimer failed error=" + std::to_string(GetLastError()));
        finish(window, "error");
        return 1;
    }
    char ready[160];
    std::snprintf(ready, sizeof ready, "ready pid=%lu hwnd=%p tray=%d entries=%d period_ms=%d",
                  GetCurrentProcessId(), static_cast<void*>(window), options.tray ? 1 : 0,
                  options.entries, options.period_ms);
    say(ready);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    char end[160];
    std::snprintf(end, sizeof end, "end %s ticks=%llu lookups=%llu found=%llu tray_removed=%s",
                  g_state.end, g_state.ticks, g_state.lookups, g_state.found,
                  g_state.icon_removed.c_str());
    say(end);
    return g_state.icon_removed == "0" ? 1 : 0;
}
