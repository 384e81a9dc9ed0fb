// standin.exe: plays the CAD application in the end-to-end tests. It opens
// real message boxes with MessageBoxA in its own process, the way the CAD
// application does, and reports how each one was answered and how long it
// stayed open, so a test can tell which button Wendlock pressed and when.
//
//   standin.exe --box "Rebuild Warnings" OK --box "Close Document" YESNOCANCEL
//               [--parallel] [--gap-ms 0-300] [--seed N] [--owner-title T]
//               [--text T] [--timeout-ms N]
//   standin.exe --box "Shared" YESNO --box-text "Save changes?" ...
//   standin.exe --hung "Shared" "Not this one"
//
// --box-text gives the box before it a message of its own. --hung plays a
// program that has stopped answering: a topmost "#32770" window with that
// title, a Static with the text and the buttons "&Yes" and "&No", on a
// thread that never reads its messages again; the stand-in then waits until
// it is ended (without --box) or opens its boxes as usual.
//
// Output, one line each, flushed at once:
//   ready owner=<hex>                                  (only with --owner-title)
//   hung <hex>                                         (only with --hung)
//   open <n> title=<t>                                 (just before MessageBoxA)
//   box <n> title=<t> result=<code> ms=<ms>           (after it returned)
//   box <n> title=<t> timeout                          (still open at the deadline)
//   done <k> answered
// Exit code: 0 when every box returned, 2 on timeout, 3 on a usage error.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

struct BoxSpec {
    std::string title;
    UINT type = MB_OK;
    std::string text;  // empty: the common text
};

struct BoxState {
    std::atomic<bool> opened{false};
    std::atomic<bool> returned{false};
};

struct Options {
    std::vector<BoxSpec> boxes;
    bool parallel = false;
    int gap_min_ms = 0;
    int gap_max_ms = 0;
    unsigned seed = 0;
    bool seed_given = false;
    std::string owner_title;
    std::string text;
    int timeout_ms = 0;  // 0: wait for ever
    std::string hung_title;
    std::string hung_text;
};

std::mutex g_print_mutex;

void print_line(const std::string& line) {
    std::lock_guard<std::mutex> lock(g_print_mutex);
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool parse_type(const std::string& name, UINT& type) {
    static const struct {
        const char* name;
        UINT type;
    } kTypes[] = {
        {"OK", MB_OK},
        {"OKCANCEL", MB_OKCANCEL},
        {"ABORTRETRYIGNORE", MB_ABORTRETRYIGNORE},
        {"YESNOCANCEL", MB_YESNOCANCEL},
        {"YESNO", MB_YESNO},
        {"RETRYCANCEL", MB_RETRYCANCEL},
        {"CANCELTRYCONTINUE", MB_CANCELTRYCONTINUE},
    };
    for (const auto& entry : kTypes) {
        if (name == entry.name) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

bool parse_int(const std::string& text, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < 0 || parsed > 0x7fffffffL) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parse_gap(const std::string& text, int& low, int& high) {
    const auto dash = text.find('-');
    if (dash == std::string::npos) {
        if (!parse_int(text, low)) {
            return false;
        }
        high = low;
        return true;
    }
    return parse_int(text.substr(0, dash), low) && parse_int(text.substr(dash + 1), high) &&
           low <= high;
}

void usage() {
    std::fputs(
        "usage: standin.exe --box TITLE TYPE [--box TITLE TYPE ...]\n"
        "                   [--parallel] [--gap-ms MS | MIN-MAX] [--seed N]\n"
        "                   [--owner-title TITLE] [--text TEXT] [--timeout-ms MS]\n"
        "                   [--box-text TEXT after a --box] [--hung TITLE TEXT]\n"
        "TYPE: OK OKCANCEL YESNO YESNOCANCEL RETRYCANCEL ABORTRETRYIGNORE CANCELTRYCONTINUE\n",
        stderr);
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto need = [&](int count) { return i + count < argc; };
        if (arg == "--box" && need(2)) {
            BoxSpec box;
            box.title = argv[i + 1];
            if (!parse_type(argv[i + 2], box.type)) {
                std::fprintf(stderr, "standin: unknown box type %s\n", argv[i + 2]);
                return false;
            }
            options.boxes.push_back(box);
            i += 2;
        } else if (arg == "--box-text" && need(1) && !options.boxes.empty()) {
            options.boxes.back().text = argv[++i];
        } else if (arg == "--hung" && need(2)) {
            options.hung_title = argv[i + 1];
            options.hung_text = argv[i + 2];
            i += 2;
        } else if (arg == "--parallel") {
            options.parallel = true;
        } else if (arg == "--gap-ms" && need(1)) {
            if (!parse_gap(argv[++i], options.gap_min_ms, options.gap_max_ms)) {
                std::fprintf(stderr, "standin: bad --gap-ms %s\n", argv[i]);
                return false;
            }
        } else if (arg == "--seed" && need(1)) {
            int seed = 0;
            if (!parse_int(argv[++i], seed)) {
                return false;
            }
            options.seed = static_cast<unsigned>(seed);
            options.seed_given = true;
        } else if (arg == "--owner-title" && need(1)) {
            options.owner_title = argv[++i];
        } else if (arg == "--text" && need(1)) {
            options.text = argv[++i];
        } else if (arg == "--timeout-ms" && need(1)) {
            if (!parse_int(argv[++i], options.timeout_ms)) {
                return false;
            }
        } else {
            std::fprintf(stderr, "standin: unexpected argument %s\n", arg.c_str());
            return false;
        }
    }
    return !options.boxes.empty() || !options.hung_title.empty();
}

LRESULT CALLBACK owner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) {
        // The stand-in decides itself when it is done; a stray close request
        // must not take the owner away from boxes still open.
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// Placed in the lower right of a 1024 x 768 screen, away from where Wendlock's
// window opens, as a CAD window beside the utility.
HWND create_owner(const std::string& title) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = owner_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = "WendlockStandinOwner";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, window_class.lpszClassName, title.c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 560, 440, 440, 300, nullptr,
                                  nullptr, window_class.hInstance, nullptr);
    return window;
}

// The window of a program that has stopped answering: made on a thread of
// its own, which then never reads a message again. Topmost and never
// activated, so it comes first in window order without taking the focus from
// anyone (activation would send it messages it never answers).
HWND create_hung_window(const std::string& title, const std::string& text) {
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND window = nullptr;
    std::thread([&, made] {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        HWND box = CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE, WC_DIALOG, title.c_str(),
                                   WS_POPUP | WS_CAPTION, 20, 520, 300, 140, nullptr, nullptr,
                                   instance, nullptr);
        CreateWindowExA(0, "Static", text.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 280, 40, box,
                        nullptr, instance, nullptr);
        CreateWindowExA(0, "Button", "&Yes", WS_CHILD | WS_VISIBLE, 10, 60, 80, 25, box, nullptr,
                        instance, nullptr);
        CreateWindowExA(0, "Button", "&No", WS_CHILD | WS_VISIBLE, 100, 60, 80, 25, box, nullptr,
                        instance, nullptr);
        ShowWindow(box, SW_SHOWNOACTIVATE);
        window = box;
        SetEvent(made);
        Sleep(INFINITE);
    }).detach();
    WaitForSingleObject(made, INFINITE);
    CloseHandle(made);
    return window;
}

class Stand {
  public:
    explicit Stand(const Options& options)
        : options_(options), states_(options.boxes.size()), rng_(seed_of(options)) {}

    void run_one(std::size_t index, HWND owner) {
        const BoxSpec& box = options_.boxes[index];
        const std::string number = std::to_string(index + 1);
        const std::string text = !box.text.empty()       ? box.text
                                 : options_.text.empty() ? "Stand-in message " + number
                                                         : options_.text;
        print_line("open " + number + " title=" + box.title);
        states_[index].opened = true;
        const auto start = std::chrono::steady_clock::now();
        const int result = MessageBoxA(owner, text.c_str(), box.title.c_str(), box.type);
        const auto stop = std::chrono::steady_clock::now();
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(stop - start).count();
        states_[index].returned = true;
        print_line("box " + number + " title=" + box.title + " result=" + std::to_string(result) +
                   " ms=" + std::to_string(ms));
    }

    // The pause the application takes before opening the box `index`.
    int gap_ms() {
        std::lock_guard<std::mutex> lock(rng_mutex_);
        if (options_.gap_max_ms <= 0) {
            return 0;
        }
        std::uniform_int_distribution<int> pick(options_.gap_min_ms, options_.gap_max_ms);
        return pick(rng_);
    }

    void report_timeouts() {
        int answered = 0;
        for (std::size_t i = 0; i < states_.size(); ++i) {
            if (states_[i].returned) {
                ++answered;
                continue;
            }
            print_line("box " + std::to_string(i + 1) + " title=" + options_.boxes[i].title +
                       (states_[i].opened ? " timeout" : " timeout never-opened"));
        }
        print_line("done " + std::to_string(answered) + " answered");
    }

  private:
    static unsigned seed_of(const Options& options) {
        return options.seed_given ? options.seed : static_cast<unsigned>(GetTickCount());
    }

    const Options& options_;
    std::vector<BoxState> states_;
    std::mutex rng_mutex_;
    std::mt19937 rng_;
};

// Waits for `done` while keeping the owner window responsive (a modal box on
// another thread disables and re-enables it through sent messages).
bool pump_until(HANDLE done, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        DWORD wait = INFINITE;
        if (timeout_ms != 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                return false;
            }
            wait = static_cast<DWORD>(deadline - now);
        }
        const DWORD result = MsgWaitForMultipleObjects(1, &done, FALSE, wait, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        usage();
        return 3;
    }

    if (!options.hung_title.empty()) {
        const HWND hung = create_hung_window(options.hung_title, options.hung_text);
        char handle[32];
        std::snprintf(handle, sizeof handle, "0x%llx",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hung)));
        print_line(std::string("hung ") + handle);
        if (options.boxes.empty()) {
            Sleep(INFINITE);
        }
    }

    Stand stand(options);
    HWND owner = nullptr;
    if (!options.owner_title.empty()) {
        owner = create_owner(options.owner_title);
        char handle[32];
        std::snprintf(handle, sizeof handle, "0x%llx",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)));
        print_line(std::string("ready owner=") + handle);
    }

    HANDLE all_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const DWORD timeout = static_cast<DWORD>(options.timeout_ms);

    if (options.parallel) {
        std::atomic<std::size_t> remaining{options.boxes.size()};
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < options.boxes.size(); ++i) {
            threads.emplace_back([&, i] {
                const int gap = stand.gap_ms();
                if (gap > 0) {
                    Sleep(static_cast<DWORD>(gap));
                }
                stand.run_one(i, owner);
                if (--remaining == 0) {
                    SetEvent(all_done);
                }
            });
        }
        if (!pump_until(all_done, timeout)) {
            stand.report_timeouts();
            // Boxes are still open on other threads: leave without joining.
            ExitProcess(2);
        }
        for (auto& thread : threads) {
            thread.join();
        }
    } else {
        // The boxes open one after another on the main thread, as the CAD
        // application's own modal boxes do; a watchdog enforces the deadline.
        std::thread watchdog;
        if (timeout != 0) {
            watchdog = std::thread([&] {
                if (WaitForSingleObject(all_done, timeout) != WAIT_OBJECT_0) {
                    stand.report_timeouts();
                    ExitProcess(2);
                }
            });
        }
        for (std::size_t i = 0; i < options.boxes.size(); ++i) {
            const int gap = i == 0 ? 0 : stand.gap_ms();
            if (gap > 0) {
                // Keep the owner responsive during the pause.
                HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
                pump_until(never, static_cast<DWORD>(gap));
                CloseHandle(never);
            }
            stand.run_one(i, owner);
        }
        SetEvent(all_done);
        if (watchdog.joinable()) {
            watchdog.join();
        }
    }

    print_line("done " + std::to_string(options.boxes.size()) + " answered");
    if (owner != nullptr) {
        DestroyWindow(owner);
    }
    CloseHandle(all_done);
    return 0;
}
