// driver.exe: the end-to-end tests' hands and eyes. It does what a user's
// automation tool does with Wendlock's window: finds top-level windows and
// their controls, clicks buttons, reads texts, list items and states, waits
// for conditions with a deadline, posts messages (also the tray icon's
// callback as the shell sends it), moves and presses the real pointer, and
// captures a window to a BMP file. One command per invocation; exit code 0
// when the command did what was asked, 1 when not (not found, condition not
// met before the deadline), 2 on a usage error.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "command_line.h"
#include "pointer.h"

namespace {

const char kUsage[] =
    "usage: driver.exe COMMAND [options]\n"
    "Top-level window selectors (all given must match; visible windows first):\n"
    "  --window CAPTION   --class CLASS   --process NAME.exe   --hwnd 0xHANDLE\n"
    "Control selectors (descendants of that window; without them the window itself):\n"
    "  --button CAPTION   --control-class CLASS   --caption TEXT   --id N\n"
    "  --at X,Y (top-left in the window's client pixels)   --size W,H   --nth N\n"
    "Common: --timeout-ms N (deadline for the target to appear, default 5000)\n"
    "        --after-closed CAPTION (the command runs at once after a top-level window\n"
    "        with that caption has opened and closed)\n"
    "Commands:\n"
    "  find                   print the target (waits for it)\n"
    "  wait [--gone | --text-is S | --visible 0|1 | --enabled 0|1 | --checked N | --count N]\n"
    "  click [--mouse | --post]    BM_CLICK (sent, or posted) or a real mouse click\n"
    "  text | state | items   read the caption/text, the state, list/combo items\n"
    "  list | windows         the window's control tree / all top-level windows\n"
    "  send | post --msg N [--wparam N] [--lparam N]\n"
    "  close                  post WM_CLOSE\n"
    "  activate               bring the window to the foreground\n"
    "  settext --value S      WM_SETTEXT\n"
    "  tray --event right|dblclick|N [--callback N] [--uid N]\n"
    "  pointer --action move|down|up|click|dblclick [--to X,Y] [--offset DX,DY]\n"
    "  drag [--from X,Y] (--to X,Y | --to-window CAPTION) [--steps N] [--step-ms N]\n"
    "       [--hold (the button stays down at the end)]\n"
    "  take-capture           another program's window comes to the front, takes the\n"
    "                         pointer and gets the release of the held left button\n"
    "  keys --seq down,down,return,alt+f4,...\n"
    "  capture --out FILE.bmp [--method screen|print] [--as-is (no raise, no repaint)]\n"
    "  process --name NAME.exe | wait-exit --name NAME.exe\n";

// ---------------------------------------------------------------------------
// Command line.

using e2e::Args;
using e2e::parse_number;
using e2e::UsageError;

Args parse_args(int argc, char** argv) {
    static const e2e::ArgRules rules{
        "command", {"--mouse", "--post", "--gone", "--as-is", "--hold"}, "", false};
    return e2e::parse_args(argc, argv, rules);
}

POINT parse_pair(const std::string& text, const std::string& what) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) {
        throw UsageError{"expected X,Y for " + what + ": " + text};
    }
    POINT point;
    point.x = static_cast<LONG>(parse_number(text.substr(0, comma), what));
    point.y = static_cast<LONG>(parse_number(text.substr(comma + 1), what));
    return point;
}

// ---------------------------------------------------------------------------
// Reading windows.

std::string hex(HWND window) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return buffer;
}

std::string class_of(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

// The text through WM_GETTEXT, so it works for other processes' controls too.
std::string text_of(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return GetWindowTextLengthA(window) > 0 ? std::string("?") : std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                        reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), text.size()));
    return text;
}

std::string process_name(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return "";
    }
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    std::string name;
    if (QueryFullProcessImageNameA(process, 0, path, &size)) {
        name = path;
        const auto slash = name.find_last_of("\\/");
        if (slash != std::string::npos) {
            name = name.substr(slash + 1);
        }
    }
    CloseHandle(process);
    return name;
}

bool same_ignoring_case(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

DWORD pid_of(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::vector<HWND> top_level_windows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Position of a window's outer top-left corner in `top`'s client coordinates.
RECT rect_in_client(HWND window, HWND top) {
    RECT rect{};
    GetWindowRect(window, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    MapWindowPoints(HWND_DESKTOP, top, corners, 2);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// ---------------------------------------------------------------------------
// Finding the target.

bool has_child_selector(const Args& args) {
    for (const char* key :
         {"--button", "--control-class", "--caption", "--id", "--at", "--size", "--nth"}) {
        if (args.has(key)) {
            return true;
        }
    }
    return false;
}

bool has_window_selector(const Args& args) {
    for (const char* key : {"--window", "--class", "--process", "--hwnd"}) {
        if (args.has(key)) {
            return true;
        }
    }
    return false;
}

HWND find_top(const Args& args) {
    if (args.has("--hwnd")) {
        HWND window = reinterpret_cast<HWND>(
            static_cast<UINT_PTR>(parse_number(args.get("--hwnd"), "--hwnd")));
        return IsWindow(window) ? window : nullptr;
    }
    HWND hidden_match = nullptr;
    for (HWND window : top_level_windows()) {
        if (args.has("--window") && text_of(window) != args.get("--window")) {
            continue;
        }
        if (args.has("--class") && class_of(window) != args.get("--class")) {
            continue;
        }
        if (args.has("--process") &&
            !same_ignoring_case(process_name(pid_of(window)), args.get("--process"))) {
            continue;
        }
        if (args.has("--process") && !args.has("--window") && !args.has("--class") &&
            descendants(window).empty()) {
            // A process's helper windows have no controls; the form has.
            continue;
        }
        if (IsWindowVisible(window)) {
            return window;
        }
        if (hidden_match == nullptr) {
            hidden_match = window;
        }
    }
    return hidden_match;
}

HWND find_child(HWND top, const Args& args) {
    std::optional<std::string> want_class;
    std::optional<std::string> want_caption;
    if (args.has("--button")) {
        want_class = "Button";
        want_caption = args.get("--button");
    }
    if (args.has("--control-class")) {
        want_class = args.get("--control-class");
    }
    if (args.has("--caption")) {
        want_caption = args.get("--caption");
    }
    const long long nth = args.has("--nth") ? parse_number(args.get("--nth"), "--nth") : 0;
    long long seen = 0;
    for (HWND child : descendants(top)) {
        if (want_class && !same_ignoring_case(class_of(child), *want_class)) {
            continue;
        }
        if (want_caption && text_of(child) != *want_caption) {
            continue;
        }
        if (args.has("--id") &&
            GetDlgCtrlID(child) != static_cast<int>(parse_number(args.get("--id"), "--id"))) {
            continue;
        }
        const RECT rect = rect_in_client(child, top);
        if (args.has("--at")) {
            const POINT at = parse_pair(args.get("--at"), "--at");
            if (std::abs(rect.left - at.x) > 1 || std::abs(rect.top - at.y) > 1) {
                continue;
            }
        }
        if (args.has("--size")) {
            const POINT size = parse_pair(args.get("--size"), "--size");
            if (std::abs((rect.right - rect.left) - size.x) > 1 ||
                std::abs((rect.bottom - rect.top) - size.y) > 1) {
                continue;
            }
        }
        if (seen++ == nth) {
            return child;
        }
    }
    return nullptr;
}

HWND find_target(const Args& args) {
    HWND top = find_top(args);
    if (top == nullptr || !has_child_selector(args)) {
        return top;
    }
    return find_child(top, args);
}

int timeout_ms(const Args& args, int fallback = 5000) {
    return args.has("--timeout-ms")
               ? static_cast<int>(parse_number(args.get("--timeout-ms"), "--timeout-ms"))
               : fallback;
}

// Polls `condition` every 20 ms until it holds or the deadline passes.
bool wait_for(int deadline_ms, const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(deadline_ms);
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(20);
    }
}

HWND wait_target(const Args& args) {
    if (!has_window_selector(args)) {
        throw UsageError{"no window selector (--window, --class, --process or --hwnd)"};
    }
    HWND found = nullptr;
    wait_for(timeout_ms(args), [&] {
        found = find_target(args);
        return found != nullptr;
    });
    if (found == nullptr) {
        std::printf("not found\n");
    }
    return found;
}

// ---------------------------------------------------------------------------
// Describing windows.

std::string describe(HWND window, HWND top) {
    const RECT client = rect_in_client(window, top);
    RECT screen{};
    GetWindowRect(window, &screen);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "hwnd=%s id=%d class=%s visible=%d enabled=%d at=%ld,%ld size=%ld,%ld "
                  "screen=%ld,%ld,%ld,%ld",
                  hex(window).c_str(), GetDlgCtrlID(window), class_of(window).c_str(),
                  IsWindowVisible(window) ? 1 : 0, IsWindowEnabled(window) ? 1 : 0, client.left,
                  client.top, client.right - client.left, client.bottom - client.top, screen.left,
                  screen.top, screen.right, screen.bottom);
    std::string extra;
    if ((GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) {
        extra += " topmost=1";
    }
    if (same_ignoring_case(class_of(window), "Button")) {
        DWORD_PTR check = 0;
        SendMessageTimeoutA(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check);
        extra += " checked=" + std::to_string(check);
    }
    return std::string(buffer) + extra + " text=" + text_of(window);
}

HWND top_of(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    return root != nullptr ? root : window;
}

enum class ListKind { ListBox, ComboBox };

ListKind list_kind(HWND window) {
    std::string name = class_of(window);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name.find("combo") != std::string::npos ? ListKind::ComboBox : ListKind::ListBox;
}

LRESULT send_quick(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 2000, &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, nullptr);
    return text;
}

// One item's text, asked in the list's own character set: a list item is
// copied straight into the caller's buffer, and asking a Unicode list in
// ANSI from another process gives back its UTF-16 bytes under Wine.
std::string list_item(HWND window, UINT get_length, UINT get_text, WPARAM index) {
    const LRESULT length = std::max<LRESULT>(send_quick(window, get_length, index, 0), 0);
    if (IsWindowUnicode(window)) {
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(window, get_text, index, reinterpret_cast<LPARAM>(item.data()),
                                 SMTO_ABORTIFHUNG, 2000, &copied) ||
            static_cast<LRESULT>(copied) < 0) {
            return {};
        }
        item.resize(std::min<std::size_t>(static_cast<std::size_t>(copied), item.size()));
        return narrow(item);
    }
    std::string item(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        send_quick(window, get_text, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(
        std::min<std::size_t>(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)), item.size()));
    return item;
}

std::vector<std::string> list_items(HWND window, int& selected) {
    const bool combo = list_kind(window) == ListKind::ComboBox;
    const UINT get_count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT get_length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT get_text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const UINT get_selection = combo ? CB_GETCURSEL : LB_GETCURSEL;
    std::vector<std::string> items;
    const LRESULT count = send_quick(window, get_count, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        items.push_back(list_item(window, get_length, get_text, static_cast<WPARAM>(i)));
    }
    selected = static_cast<int>(send_quick(window, get_selection, 0, 0));
    return items;
}

// ---------------------------------------------------------------------------
// Real input.

using e2e::centre_of;
using e2e::move_pointer;
using e2e::send_mouse;

// The point a pointer command aims at: --to (screen), else the target's
// centre or its top-left corner plus --offset.
std::optional<POINT> aim(const Args& args, const char* to_key) {
    if (args.has(to_key)) {
        return parse_pair(args.get(to_key), to_key);
    }
    if (!has_window_selector(args)) {
        return std::nullopt;
    }
    HWND target = wait_target(args);
    if (target == nullptr) {
        return std::nullopt;
    }
    if (args.has("--offset")) {
        // From the client area's top-left corner, like a control's place.
        POINT point = parse_pair(args.get("--offset"), "--offset");
        ClientToScreen(target, &point);
        return point;
    }
    return centre_of(target);
}

WORD key_code(const std::string& name) {
    static const std::map<std::string, WORD> kKeys = {
        {"down", VK_DOWN},     {"up", VK_UP},        {"left", VK_LEFT},     {"right", VK_RIGHT},
        {"return", VK_RETURN}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
        {"tab", VK_TAB},       {"space", VK_SPACE},  {"alt", VK_MENU},      {"f4", VK_F4},
    };
    const auto found = kKeys.find(name);
    if (found != kKeys.end()) {
        return found->second;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    }
    throw UsageError{"unknown key " + name};
}

void send_key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// ---------------------------------------------------------------------------
// Capture.

bool write_bmp(const std::string& path, HDC source, int x, int y, int width, int height,
               HWND print_window) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        DeleteDC(memory);
        return false;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool ok = print_window != nullptr ? PrintWindow(print_window, memory, 0) != FALSE
                                      : BitBlt(memory, 0, 0, width, height, source, x, y,
                                               SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    const int stride = ((width * 3) + 3) & ~3;
    const DWORD image_size = static_cast<DWORD>(stride * height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + image_size;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), image_size);
    ok = ok && out.good();
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return ok;
}

// ---------------------------------------------------------------------------
// Processes.

std::vector<DWORD> processes_named(const std::string& name) {
    std::vector<DWORD> pids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return pids;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (same_ignoring_case(entry.szExeFile, name)) {
            pids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return pids;
}

// ---------------------------------------------------------------------------
// Commands.

int command_wait(const Args& args) {
    if (!has_window_selector(args)) {
        throw UsageError{"no window selector"};
    }
    std::function<bool(HWND)> holds = [](HWND window) { return window != nullptr; };
    std::string what = "exists";
    if (args.flag("--gone")) {
        holds = [](HWND window) { return window == nullptr; };
        what = "gone";
    } else if (args.has("--text-is")) {
        const std::string want = args.get("--text-is");
        holds = [want](HWND window) { return window != nullptr && text_of(window) == want; };
        what = "text is " + want;
    } else if (args.has("--visible")) {
        const bool want = parse_number(args.get("--visible"), "--visible") != 0;
        holds = [want](HWND window) {
            return window != nullptr && (IsWindowVisible(window) != FALSE) == want;
        };
        what = std::string("visible=") + (want ? "1" : "0");
    } else if (args.has("--enabled")) {
        const bool want = parse_number(args.get("--enabled"), "--enabled") != 0;
        holds = [want](HWND window) {
            return window != nullptr && (IsWindowEnabled(window) != FALSE) == want;
        };
        what = std::string("enabled=") + (want ? "1" : "0");
    } else if (args.has("--checked")) {
        const long long want = parse_number(args.get("--checked"), "--checked");
        holds = [want](HWND window) {
            DWORD_PTR check = 0;
            return window != nullptr &&
                   SendMessageTimeoutA(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check) !=
                       0 &&
                   static_cast<long long>(check) == want;
        };
        what = "checked=" + args.get("--checked");
    } else if (args.has("--count")) {
        const long long want = parse_number(args.get("--count"), "--count");
        holds = [want](HWND window) {
            int selected = 0;
            return window != nullptr &&
                   static_cast<long long>(list_items(window, selected).size()) == want;
        };
        what = "count=" + args.get("--count");
    }
    HWND last = nullptr;
    const ULONGLONG start = GetTickCount64();
    const bool ok = wait_for(timeout_ms(args), [&] {
        last = find_target(args);
        return holds(last);
    });
    const ULONGLONG waited = GetTickCount64() - start;
    if (ok) {
        std::printf("ok %s after %llu ms\n", what.c_str(), waited);
        return 0;
    }
    std::printf("timeout waiting for %s (%llu ms)%s%s\n", what.c_str(), waited,
                last != nullptr ? "; last seen: " : "",
                last != nullptr ? describe(last, top_of(last)).c_str() : "");
    return 1;
}

// Waits until a top-level window titled `caption` has opened and closed
// again, polled as often as the system lets, so that what follows comes
// right after the close; says when it has seen the window open. The time of
// the close, or nothing at the deadline.
std::optional<ULONGLONG> wait_opened_and_closed(const std::string& caption, int deadline_ms) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(deadline_ms);
    bool opened = false;
    while (GetTickCount64() < deadline) {
        const bool open = FindWindowA(nullptr, caption.c_str()) != nullptr;
        if (opened && !open) {
            return GetTickCount64();
        }
        if (open && !opened) {
            std::printf("seen %s open\n", caption.c_str());
            std::fflush(stdout);
        }
        opened = opened || open;
        Sleep(1);
    }
    return std::nullopt;
}

int command_click(const Args& args) {
    HWND target = wait_target(args);
    if (target == nullptr) {
        return 1;
    }
    if (args.flag("--mouse")) {
        HWND top = top_of(target);
        SetForegroundWindow(top);
        const POINT centre = centre_of(target);
        move_pointer(centre);
        send_mouse(MOUSEEVENTF_LEFTDOWN, centre);
        send_mouse(MOUSEEVENTF_LEFTUP, centre);
        std::printf("mouse click at %ld,%ld on %s\n", centre.x, centre.y, hex(target).c_str());
        return 0;
    }
    if (args.flag("--post")) {
        const bool ok = PostMessageA(target, BM_CLICK, 0, 0) != FALSE;
        std::printf("%s BM_CLICK to %s\n", ok ? "posted" : "could not post", hex(target).c_str());
        return ok ? 0 : 1;
    }
    DWORD_PTR result = 0;
    // A handler may open a modal box and so not return for a long time: the
    // click has been delivered all the same.
    const int wait = static_cast<int>(args.has("--send-timeout-ms")
                                          ? parse_number(args.get("--send-timeout-ms"), "timeout")
                                          : 3000);
    if (SendMessageTimeoutA(target, BM_CLICK, 0, 0, SMTO_NORMAL, static_cast<UINT>(wait),
                            &result)) {
        std::printf("clicked %s\n", hex(target).c_str());
    } else {
        std::printf("clicked %s (handler still busy after %d ms)\n", hex(target).c_str(), wait);
    }
    return 0;
}

int command_items(const Args& args) {
    HWND target = wait_target(args);
    if (target == nullptr) {
        return 1;
    }
    int selected = -1;
    const auto items = list_items(target, selected);
    std::printf("count=%zu selected=%d text=%s\n", items.size(), selected, text_of(target).c_str());
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::printf("item %zu=%s\n", i, items[i].c_str());
    }
    return 0;
}

int command_list(const Args& args) {
    HWND top = find_top(args);
    if (top == nullptr && !wait_for(timeout_ms(args), [&] {
            top = find_top(args);
            return top != nullptr;
        })) {
        std::printf("not found\n");
        return 1;
    }
    std::printf("%s pid=%lu process=%s\n", describe(top, top).c_str(), pid_of(top),
                process_name(pid_of(top)).c_str());
    for (HWND child : descendants(top)) {
        int depth = 0;
        for (HWND parent = GetParent(child); parent != nullptr && parent != top;
             parent = GetParent(parent)) {
            ++depth;
        }
        std::printf("%*s%s\n", 2 + 2 * depth, "", describe(child, top).c_str());
    }
    return 0;
}

int command_windows() {
    for (HWND window : top_level_windows()) {
        const DWORD pid = pid_of(window);
        std::printf("%s pid=%lu process=%s class=%s visible=%d text=%s\n", hex(window).c_str(), pid,
                    process_name(pid).c_str(), class_of(window).c_str(),
                    IsWindowVisible(window) ? 1 : 0, text_of(window).c_str());
    }
    return 0;
}

int command_message(const Args& args, bool post) {
    HWND target = wait_target(args);
    if (target == nullptr) {
        return 1;
    }
    if (!args.has("--msg")) {
        throw UsageError{"--msg is required"};
    }
    const UINT message = static_cast<UINT>(parse_number(args.get("--msg"), "--msg"));
    const WPARAM wparam = static_cast<WPARAM>(parse_number(args.get("--wparam", "0"), "--wparam"));
    const LPARAM lparam = static_cast<LPARAM>(parse_number(args.get("--lparam", "0"), "--lparam"));
    if (post) {
        const bool ok = PostMessageA(target, message, wparam, lparam) != FALSE;
        std::printf("%s 0x%x to %s\n", ok ? "posted" : "could not post", message,
                    hex(target).c_str());
        return ok ? 0 : 1;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, message, wparam, lparam, SMTO_NORMAL, 3000, &result)) {
        std::printf("sent 0x%x to %s: no answer within 3000 ms\n", message, hex(target).c_str());
        return 1;
    }
    std::printf("sent 0x%x to %s result=%lld\n", message, hex(target).c_str(),
                static_cast<long long>(result));
    return 0;
}

int command_tray(const Args& args) {
    // The shell reports a tray icon's mouse events by posting the icon's
    // callback message to its window: wParam = the icon's id, lParam = the
    // mouse message. Without a control selector the tray window is the
    // picture box at the left edge, 280 pixels down the client area.
    Args target_args = args;
    if (!has_child_selector(args)) {
        target_args.values["--at"] = "0,280";
    }
    HWND target = wait_target(target_args);
    if (target == nullptr) {
        return 1;
    }
    const std::string event = args.get("--event", "right");
    long long mouse_message = 0;
    if (event == "right") {
        mouse_message = WM_RBUTTONDOWN;
    } else if (event == "dblclick") {
        mouse_message = WM_LBUTTONDBLCLK;
    } else if (event == "left") {
        mouse_message = WM_LBUTTONDOWN;
    } else {
        mouse_message = parse_number(event, "--event");
    }
    const UINT callback = static_cast<UINT>(parse_number(args.get("--callback", "0x200"), "cb"));
    const WPARAM uid = static_cast<WPARAM>(parse_number(args.get("--uid", "1"), "--uid"));
    const bool ok =
        PostMessageA(target, callback, uid, static_cast<LPARAM>(mouse_message)) != FALSE;
    std::printf("%s tray 0x%x lParam=0x%llx to %s\n", ok ? "posted" : "could not post", callback,
                static_cast<unsigned long long>(mouse_message), hex(target).c_str());
    return ok ? 0 : 1;
}

int command_pointer(const Args& args) {
    const std::string action = args.get("--action", "move");
    std::optional<POINT> point = aim(args, "--to");
    if (!point) {
        point.emplace();
        GetCursorPos(&*point);
    }
    move_pointer(*point);
    if (action == "down" || action == "click") {
        send_mouse(MOUSEEVENTF_LEFTDOWN, *point);
    }
    if (action == "up" || action == "click") {
        send_mouse(MOUSEEVENTF_LEFTUP, *point);
    }
    if (action == "dblclick") {
        for (int i = 0; i < 2; ++i) {
            send_mouse(MOUSEEVENTF_LEFTDOWN, *point);
            send_mouse(MOUSEEVENTF_LEFTUP, *point);
        }
    }
    if (action != "move" && action != "down" && action != "up" && action != "click" &&
        action != "dblclick") {
        throw UsageError{"unknown --action " + action};
    }
    POINT now{};
    GetCursorPos(&now);
    std::printf("pointer %s at %ld,%ld (now %ld,%ld)\n", action.c_str(), point->x, point->y, now.x,
                now.y);
    return 0;
}

int command_drag(const Args& args) {
    std::optional<POINT> from = aim(args, "--from");
    if (!from) {
        std::printf("no start point\n");
        return 1;
    }
    if (!args.has("--from")) {
        // A user brings the window to the front before pressing on it.
        HWND source = find_target(args);
        if (source != nullptr) {
            SetForegroundWindow(top_of(source));
        }
    }
    std::optional<POINT> to;
    if (args.has("--to")) {
        to = parse_pair(args.get("--to"), "--to");
    } else if (args.has("--to-window")) {
        Args other;
        other.values["--window"] = args.get("--to-window");
        other.values["--timeout-ms"] = args.get("--timeout-ms", "5000");
        HWND window = wait_target(other);
        if (window != nullptr) {
            to = centre_of(window);
        }
    }
    if (!to) {
        std::printf("no end point\n");
        return 1;
    }
    const int steps = static_cast<int>(parse_number(args.get("--steps", "10"), "--steps"));
    const int step_ms = static_cast<int>(parse_number(args.get("--step-ms", "30"), "--step-ms"));
    move_pointer(*from);
    send_mouse(MOUSEEVENTF_LEFTDOWN, *from);
    for (int i = 1; i <= std::max(steps, 1); ++i) {
        // Paced like a hand, so the program sees a series of moves.
        Sleep(static_cast<DWORD>(step_ms));
        const POINT at{from->x + (to->x - from->x) * i / std::max(steps, 1),
                       from->y + (to->y - from->y) * i / std::max(steps, 1)};
        move_pointer(at);
    }
    Sleep(static_cast<DWORD>(step_ms));
    if (!args.flag("--hold")) {
        send_mouse(MOUSEEVENTF_LEFTUP, *to);
    }
    std::printf("dragged %ld,%ld -> %ld,%ld%s\n", from->x, from->y, to->x, to->y,
                args.flag("--hold") ? ", button held" : "");
    return 0;
}

// Another program takes the pointer in the middle of a press elsewhere: its
// window comes to the front in the screen's top-left corner, clear of the
// windows under test, captures the pointer, and the user lets the left
// button go, which that window receives.
int command_take_capture(const Args& args) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.lpszClassName = "DriverCaptureTaker";
    RegisterClassA(&window_class);
    HWND taker = CreateWindowExA(WS_EX_TOPMOST, window_class.lpszClassName, "Capture Taker",
                                 WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr,
                                 instance, nullptr);
    if (taker == nullptr) {
        std::printf("cannot create the window\n");
        return 1;
    }
    SetForegroundWindow(taker);
    SetCapture(taker);
    POINT at{};
    GetCursorPos(&at);
    send_mouse(MOUSEEVENTF_LEFTUP, at);
    bool released = false;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms(args));
    while (!released && GetTickCount64() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_LBUTTONUP && message.hwnd == taker) {
                released = true;
            }
            DispatchMessageA(&message);
        }
    }
    ReleaseCapture();
    DestroyWindow(taker);
    std::printf("capture taken by %s; release %s\n", hex(taker).c_str(),
                released ? "received" : "not received");
    return released ? 0 : 1;
}

int command_keys(const Args& args) {
    const std::string sequence = args.get("--seq");
    if (sequence.empty()) {
        throw UsageError{"--seq is required"};
    }
    if (has_window_selector(args)) {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        SetForegroundWindow(top_of(target));
    }
    std::size_t start = 0;
    while (start <= sequence.size()) {
        const auto comma = sequence.find(',', start);
        const std::string name =
            sequence.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        // "alt+f4": press in order, release in reverse order.
        std::vector<WORD> chord;
        std::size_t part = 0;
        for (;;) {
            const auto plus = name.find('+', part);
            chord.push_back(key_code(
                name.substr(part, plus == std::string::npos ? std::string::npos : plus - part)));
            if (plus == std::string::npos) {
                break;
            }
            part = plus + 1;
        }
        for (WORD key : chord) {
            send_key(key, false);
        }
        for (auto key = chord.rbegin(); key != chord.rend(); ++key) {
            send_key(*key, true);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    std::printf("keys %s sent\n", sequence.c_str());
    return 0;
}

int command_capture(const Args& args) {
    HWND target = wait_target(args);
    if (target == nullptr) {
        return 1;
    }
    const std::string out = args.get("--out");
    if (out.empty()) {
        throw UsageError{"--out is required"};
    }
    RECT rect{};
    GetWindowRect(target, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    bool ok = false;
    if (args.get("--method", "screen") == "print") {
        HDC screen = GetDC(nullptr);
        ok = write_bmp(out, screen, 0, 0, width, height, target);
        ReleaseDC(nullptr, screen);
    } else {
        if (!args.flag("--as-is")) {
            // Bring it to the top first so nothing covers it on the screen.
            SetWindowPos(top_of(target), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            RedrawWindow(top_of(target), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        }
        HDC screen = GetDC(nullptr);
        ok = write_bmp(out, screen, rect.left, rect.top, width, height, nullptr);
        ReleaseDC(nullptr, screen);
    }
    std::printf("%s %dx%d from %ld,%ld to %s\n", ok ? "captured" : "capture failed", width, height,
                rect.left, rect.top, out.c_str());
    return ok ? 0 : 1;
}

int command_process(const Args& args) {
    const auto pids = processes_named(args.get("--name"));
    for (DWORD pid : pids) {
        std::printf("running pid=%lu\n", pid);
    }
    if (pids.empty()) {
        std::printf("not running\n");
        return 1;
    }
    return 0;
}

int command_wait_exit(const Args& args) {
    const std::string name = args.get("--name");
    // Hold handles now so the exit codes can be read after the processes end.
    std::vector<std::pair<DWORD, HANDLE>> handles;
    for (DWORD pid : processes_named(name)) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process != nullptr) {
            handles.emplace_back(pid, process);
        }
    }
    const bool gone = wait_for(timeout_ms(args), [&] { return processes_named(name).empty(); });
    for (auto& [pid, process] : handles) {
        DWORD code = 0;
        if (GetExitCodeProcess(process, &code) && code != STILL_ACTIVE) {
            std::printf("exited pid=%lu code=%lu\n", pid, code);
        }
        CloseHandle(process);
    }
    std::printf(gone ? "no %s running\n" : "%s still running\n", name.c_str());
    return gone ? 0 : 1;
}

int run_command(const Args& args) {
    const std::string& command = args.command;
    if (command == "find") {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        std::printf("%s\n", describe(target, top_of(target)).c_str());
        return 0;
    }
    if (command == "wait") {
        return command_wait(args);
    }
    if (command == "click") {
        return command_click(args);
    }
    if (command == "text") {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        std::printf("text=%s\n", text_of(target).c_str());
        return 0;
    }
    if (command == "state") {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        std::printf("%s\n", describe(target, top_of(target)).c_str());
        return 0;
    }
    if (command == "items") {
        return command_items(args);
    }
    if (command == "list") {
        return command_list(args);
    }
    if (command == "windows") {
        return command_windows();
    }
    if (command == "send" || command == "post") {
        return command_message(args, command == "post");
    }
    if (command == "close") {
        Args close_args = args;
        close_args.values["--msg"] = std::to_string(WM_CLOSE);
        return command_message(close_args, true);
    }
    if (command == "activate") {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        const bool ok = SetForegroundWindow(top_of(target)) != FALSE;
        std::printf("%s %s\n", ok ? "activated" : "could not activate",
                    hex(top_of(target)).c_str());
        return ok ? 0 : 1;
    }
    if (command == "settext") {
        HWND target = wait_target(args);
        if (target == nullptr) {
            return 1;
        }
        const std::string value = args.get("--value");
        DWORD_PTR result = 0;
        const bool ok =
            SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()),
                                SMTO_NORMAL, 3000, &result) != 0;
        std::printf("%s\n", ok ? "text set" : "no answer");
        return ok ? 0 : 1;
    }
    if (command == "tray") {
        return command_tray(args);
    }
    if (command == "pointer") {
        return command_pointer(args);
    }
    if (command == "take-capture") {
        return command_take_capture(args);
    }
    if (command == "drag") {
        return command_drag(args);
    }
    if (command == "keys") {
        return command_keys(args);
    }
    if (command == "capture") {
        return command_capture(args);
    }
    if (command == "process") {
        return command_process(args);
    }
    if (command == "wait-exit") {
        return command_wait_exit(args);
    }
    throw UsageError{"unknown command " + command};
}

// The command, at once after a window has come and gone when --after-closed
// asks so: a target that only comes with the close (a caption changed
// meanwhile) is looked for after it.
int run(const Args& args) {
    if (!args.has("--after-closed")) {
        return run_command(args);
    }
    const std::string caption = args.get("--after-closed");
    const std::optional<ULONGLONG> closed = wait_opened_and_closed(caption, timeout_ms(args));
    if (!closed) {
        std::printf("timeout waiting for %s to open and close\n", caption.c_str());
        return 1;
    }
    const int rc = run_command(args);
    std::printf("done %llu ms after %s closed\n", GetTickCount64() - *closed, caption.c_str());
    return rc;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int code = run(parse_args(argc, argv));
        std::fflush(stdout);
        return code;
    } catch (const UsageError& error) {
        std::fprintf(stderr, "driver: %s\n%s", error.message.c_str(), kUsage);
        return 2;
    }
}
