// Figures of Wendlock's hot paths, measured on the simulated desktop and
// printed as one table. Nothing here passes or fails: the figures are for
// people to read and compare with the goals in the last column.
//
// What the figures include: every call into the simulated window system and
// file system is also appended to its call log (and the log is cleared now
// and then so it cannot grow without bound), so the costs below are those of
// the program's logic plus the simulation's bookkeeping. Real window-system
// calls cost more than the simulated ones; see BENCHMARKS.md for figures
// under Wine.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/form1.h"
#include "capture/outline.h"
#include "capture/tree_walk.h"
#include "monitor/watch_list.h"
#include "monitor/watcher.h"
#include "platform/sim/sim_platform.h"
#include "profile/ini_files.h"

// Heap accounting: every allocation of the process goes through these, so
// the peak of live heap bytes during one operation can be read off.
namespace {
long long g_heap_live = 0;
long long g_heap_peak = 0;
}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    g_heap_live += static_cast<long long>(malloc_usable_size(block));
    g_heap_peak = std::max(g_heap_peak, g_heap_live);
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        g_heap_live -= static_cast<long long>(malloc_usable_size(block));
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Row {
    std::string measure;
    std::string value;
    std::string unit;
    std::string note;
};

std::vector<Row> g_rows;

std::string figure(double v, int decimals = 0) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    // Thousands separators make the growth columns readable at a glance.
    const std::string digits = text;
    const std::size_t dot = std::min(digits.find('.'), digits.size());
    const std::size_t sign = (!digits.empty() && digits.front() == '-') ? 1 : 0;
    std::string out(digits, 0, sign);
    for (std::size_t i = sign; i < dot; ++i) {
        out.push_back(digits[i]);
        const std::size_t left = dot - i - 1;
        if (left > 0 && left % 3 == 0) {
            out.push_back(',');
        }
    }
    out.append(digits, dot, std::string::npos);
    return out;
}

void add_row(std::string measure, std::string value, std::string unit, std::string note) {
    g_rows.push_back(Row{std::move(measure), std::move(value), std::move(unit), std::move(note)});
}

// Runs `op` until `budget` has passed (and at least `min_runs` times) after
// one warm-up run; returns nanoseconds per run.
double ns_per_run(const std::function<void()>& op, std::chrono::milliseconds budget,
                  long min_runs = 3) {
    op();
    long runs = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
        op();
        ++runs;
        now = Clock::now();
    } while (now - start < budget || runs < min_runs);
    return std::chrono::duration<double, std::nano>(now - start).count() /
           static_cast<double>(runs);
}

// Kibibytes of a "Vm..." line of /proc/self/status; -1 when unavailable.
long status_kib(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            std::istringstream values(line.substr(field.size() + 1));
            long kib = -1;
            values >> kib;
            return kib;
        }
    }
    return -1;
}

// Lowers the peak-RSS mark to the current RSS, so a later VmHWM is the peak
// of what ran in between. False where the kernel does not offer it.
bool reset_peak_rss() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

class ScratchFolder {
  public:
    ScratchFolder() {
        path_ = fs::temp_directory_path() / ("wendlock-bench-" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

std::string entry_title(int i) {
    return "Rebuild Warnings " + std::to_string(i);
}

// A profile of `entries` windows, as "Add" writes them.
void write_profile(const std::string& path, int entries) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[WindowTitles]\r\nNum_Windows=" << entries << "\r\n";
    for (int i = 1; i <= entries; ++i) {
        out << "Title" << i << "=" << entry_title(i) << "[&Yes]<<#32770>>\r\n";
    }
}

// --- Watcher tick --------------------------------------------------------------

double tick_ns(int top_level_windows) {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    wl::WatchList list;
    for (int i = 1; i <= wl::WatchList::kEntries; ++i) {
        list.entry(i) = wl::WatchEntry{entry_title(i), "&Yes", "#32770"};
    }
    // Other programs' windows: half of them dialogs too, so the title
    // comparison runs, none of them on the list (the tool is waiting).
    for (int i = 0; i < top_level_windows; ++i) {
        const bool dialog = i % 2 == 0;
        world.desktop.add_window(dialog ? "#32770" : "SldWorks",
                                 "Other window " + std::to_string(i), wl::Rect{0, 0, 1, 1});
    }
    wl::Watcher watcher(world.desktop, world.desktop, list);
    int ticks = 0;
    const double ns = ns_per_run(
        [&] {
            watcher.Monitor_timer_Timer();
            if (++ticks % 256 == 0) {
                world.log.clear();
            }
        },
        std::chrono::milliseconds(250), 20);
    return ns;
}

void bench_ticks() {
    double at_1000 = 0;
    for (const int windows : {0, 10, 1000, 10000}) {
        const double ns = tick_ns(windows);
        if (windows == 1000) {
            at_1000 = ns;
        }
        add_row("watcher tick, 20 entries, " + figure(windows) + " top-level windows", figure(ns),
                "ns/tick",
                windows == 0    ? "the tick itself: 40 lookups, nothing to scan"
                : windows == 10 ? "timer period 55 ms = 55,000,000 ns"
                                : "40 simulated scans of the top-level windows");
    }
    // Each entry scans the top-level windows twice: FindWindowA, then
    // FindWindowExA with parent 0 (made even when no box was found).
    add_row("  per top-level window examined, 1,000 windows", figure(at_1000 / (40.0 * 1000), 1),
            "ns", "simulated lookup; the tick's own work is flat");
    // One tick every 55 ms: the share of one core the waiting tool takes.
    add_row("CPU while waiting, 1,000 windows", figure(at_1000 / 55e6 * 100.0, 4), "% of a core",
            "goal: indistinguishable from 0");
}

// End to end: a listed box opened just after a tick is answered at the next.
void bench_answer_latency() {
    ScratchFolder folder;
    write_profile(folder.file("default_wl.ini"), 20);
    wl::sim::SimWorld world(folder.str());
    wl::Platform platform = world.platform();
    wl::Form1 form(platform);
    form.start();
    world.desktop.do_events();
    form.Command2_Click();  // monitoring on
    world.desktop.advance(55 * 3);
    const std::int64_t opened = world.desktop.now();
    const wl::Hwnd box = world.desktop.open_message_box(entry_title(20), {"&Yes", "&No"});
    while (!world.desktop.message_box_answer(box) && world.desktop.now() - opened < 10000) {
        world.desktop.advance(1);
    }
    add_row("listed box opened right after a tick: answered after",
            figure(static_cast<double>(world.desktop.now() - opened)), "ms (virtual)",
            "goal: the next tick, <= 55 ms");
}

// Idle ticks over a while: the resident set must not grow.
void bench_soak() {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    wl::WatchList list;
    for (int i = 1; i <= wl::WatchList::kEntries; ++i) {
        list.entry(i) = wl::WatchEntry{entry_title(i), "&Yes", "#32770"};
    }
    for (int i = 0; i < 10; ++i) {
        world.desktop.add_window("#32770", "Other window " + std::to_string(i),
                                 wl::Rect{0, 0, 1, 1});
    }
    wl::Watcher watcher(world.desktop, world.desktop, list);
    constexpr int kTicks = 50000;
    for (int i = 0; i < 1000; ++i) {
        watcher.Monitor_timer_Timer();  // reach a steady state first
    }
    world.log.clear();
    const long before = status_kib("VmRSS");
    for (int i = 1; i <= kTicks; ++i) {
        watcher.Monitor_timer_Timer();
        if (i % 256 == 0) {
            world.log.clear();
        }
    }
    const long after = status_kib("VmRSS");
    add_row("RSS growth over 50,000 idle ticks (~46 min of monitoring)",
            before < 0 ? "n/a" : figure(static_cast<double>(after - before)), "KiB", "goal: 0");
}

// --- Window tree walk --------------------------------------------------------

// The lowest stack address seen while the walk runs, through the call-log
// hook, which runs inside every window-system call the walk makes.
struct StackProbe {
    std::uintptr_t lowest = UINTPTR_MAX;
    void sample() {
        volatile char here = 0;
        lowest = std::min(lowest, reinterpret_cast<std::uintptr_t>(&here));
    }
};

struct WalkFigures {
    double ns = 0;
    long stack_bytes = 0;
    long peak_rss_delta_kib = -1;
    long long peak_heap_bytes = 0;  // live heap above what was live at the start
};

WalkFigures walk(wl::sim::SimWorld& world, wl::Form1& form, wl::Hwnd root, bool measure_memory) {
    WalkFigures figures;
    StackProbe probe;
    world.log.on_call = [&probe](const std::string&) { probe.sample(); };
    world.log.clear();
    const bool peak_reset = measure_memory && reset_peak_rss();
    const long rss_before = status_kib("VmHWM");
    volatile char base_marker = 0;
    const auto base = reinterpret_cast<std::uintptr_t>(&base_marker);
    const long long heap_before = g_heap_live;
    g_heap_peak = g_heap_live;
    const auto start = Clock::now();
    wl::Hwnd start_window = root;
    form.finder().tree_walk().ListChildWindows(start_window);
    figures.ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    figures.peak_heap_bytes = g_heap_peak - heap_before;
    if (peak_reset && rss_before >= 0) {
        figures.peak_rss_delta_kib = status_kib("VmHWM") - rss_before;
    }
    figures.stack_bytes = base > probe.lowest ? static_cast<long>(base - probe.lowest) : 0;
    world.log.on_call = nullptr;
    world.log.clear();
    form.List1->clear();
    return figures;
}

void bench_tree_walk() {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    wl::Platform platform = world.platform();
    wl::Form1 form(platform);

    // 5,000 windows below one dialog: 100 group boxes of 49 controls each.
    const wl::Hwnd dialog = world.desktop.add_window("#32770", "Big dialog", wl::Rect{0, 0, 1, 1});
    for (int g = 0; g < 100; ++g) {
        const wl::Hwnd group = world.desktop.add_window("Button", "Group " + std::to_string(g),
                                                        wl::Rect{0, 0, 1, 1}, dialog);
        for (int c = 0; c < 49; ++c) {
            world.desktop.add_window(c % 3 == 0 ? "Button" : "Static",
                                     "Control " + std::to_string(c), wl::Rect{0, 0, 1, 1}, group);
        }
    }
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        best = std::min(best, walk(world, form, dialog, false).ns);
    }
    add_row("tree walk, 5,000 windows (100 x 49 below one dialog)", figure(best / 1e3), "us",
            "yields to events before each window");
    add_row("tree walk, per window", figure(best / 5000.0), "ns/window", "");
}

// Chains of one window per level, walked in a world of their own before
// anything else has grown the heap: a deep chain must use no more stack than
// a shallow one, and its memory is the walk's own.
void bench_deep_chain() {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    wl::Platform platform = world.platform();
    wl::Form1 form(platform);
    const auto chain = [&](int depth) {
        const wl::Hwnd top = world.desktop.add_window("#32770", "Chain " + std::to_string(depth),
                                                      wl::Rect{0, 0, 1, 1});
        wl::Hwnd parent = top;
        for (int i = 0; i < depth; ++i) {
            parent = world.desktop.add_window("Static", "Level " + std::to_string(i),
                                              wl::Rect{0, 0, 1, 1}, parent);
        }
        return top;
    };
    const wl::Hwnd shallow = chain(10);
    const wl::Hwnd deep = chain(2000);
    const WalkFigures shallow_figures = walk(world, form, shallow, false);
    const WalkFigures deep_figures = walk(world, form, deep, true);
    add_row("tree walk, chain 2,000 deep", figure(deep_figures.ns / 1e3), "us", "");
    add_row("  stack used, chain 10 deep", figure(static_cast<double>(shallow_figures.stack_bytes)),
            "bytes", "");
    add_row("  stack used, chain 2,000 deep", figure(static_cast<double>(deep_figures.stack_bytes)),
            "bytes",
            deep_figures.stack_bytes <= shallow_figures.stack_bytes + 256
                ? "flat: the walk is iterative"
                : "GROWS with depth");
    add_row("  peak heap during the walk, chain 2,000 deep",
            figure(static_cast<double>(deep_figures.peak_heap_bytes) / 1024.0), "KiB",
            "List1 items, call log, 16 KiB of levels");
    add_row("  peak RSS delta, chain 2,000 deep",
            deep_figures.peak_rss_delta_kib < 0
                ? "n/a"
                : figure(static_cast<double>(deep_figures.peak_rss_delta_kib)),
            "KiB", "VmHWM after a reset");
}

// --- Outline -------------------------------------------------------------------

void bench_outline() {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    const wl::Hwnd target =
        world.desktop.add_window("#32770", "Target", wl::Rect{100, 100, 900, 700});
    wl::capture::Outline outline(world.desktop);
    const int fills_before = world.desktop.fill_calls();
    wl::Hwnd h = target;
    outline.draw_outline(h);
    outline.remove_outline(h);
    const int fills = world.desktop.fill_calls() - fills_before;
    int pairs = 0;
    const double ns = ns_per_run(
        [&] {
            outline.draw_outline(h);
            outline.remove_outline(h);
            if (++pairs % 256 == 0) {
                world.log.clear();
            }
        },
        std::chrono::milliseconds(200));
    add_row("outline draw+remove, 800x600 window", figure(ns / 1e3, 1), "us/pair", "");
    add_row("  fill calls per draw+remove", figure(fills), "calls", "one per edge");
}

// --- INI -------------------------------------------------------------------------

void bench_ini() {
    ScratchFolder folder;
    wl::sim::SimWorld world(folder.str());
    for (const int entries : {20, 1000}) {
        std::string name = "p";
        name += std::to_string(entries);
        name += ".ini";
        const std::string path = folder.file(name);
        write_profile(path, entries);
        wl::INIFiles ini(world.files, world.desktop);
        ini.set_FileName(path);
        const std::string key = "Title" + std::to_string(entries);
        int reads = 0;
        const double ns = ns_per_run(
            [&] {
                const std::string value = ini.ReadINI("WindowTitles", key, "NoTitle");
                if (value.empty()) {
                    std::abort();
                }
                if (++reads % 256 == 0) {
                    world.log.clear();
                }
            },
            std::chrono::milliseconds(200));
        add_row(
            "ReadINI of the last key, " + figure(entries) + " entries", figure(ns / 1e3, 1), "us",
            entries == 20 ? "opens, parses and closes the file each time" : "grows with the file");
    }

    // "Read ini" and "Add" end to end on a 20-entry profile.
    write_profile(folder.file("default_wl.ini"), 20);
    wl::Platform platform = world.platform();
    wl::Form1 form(platform);
    form.start();
    world.desktop.do_events();
    int loads = 0;
    const double load_ns = ns_per_run(
        [&] {
            form.Command5_Click();
            if (++loads % 64 == 0) {
                world.log.clear();
            }
        },
        std::chrono::milliseconds(250));
    add_row("\"Read ini\" of 20 entries, end to end", figure(load_ns / 1e3, 1), "us",
            "21 key reads; at start-up");

    // An "Add" whose title the profile holds: the count is written, all keys
    // are compared, and the count is written back, so the file stays the same.
    form.Text1->set_text(entry_title(7));
    form.cmd1[0]->set_text("&Yes");
    form.Op1[0]->set_value(true);
    form.finder().picked_class = "#32770";
    int adds = 0;
    const double add_ns = ns_per_run(
        [&] {
            form.Command3_Click();
            if (++adds % 64 == 0) {
                world.log.clear();
            }
        },
        std::chrono::milliseconds(250));
    add_row("\"Add\" refused as duplicate, 20 entries", figure(add_ns / 1e3, 1), "us",
            "count, key list, 20 keys; 2 replacements");

    // A hand-edited count far beyond the entries: only the keys held are
    // compared, so this costs what the 20-entry case costs.
    wl::INIFiles writer(world.files, world.desktop);
    writer.set_FileName(folder.file("default_wl.ini"));
    writer.WriteINI("WindowTitles", "Num_Windows", "99999999999");
    int huge_adds = 0;
    const double huge_ns = ns_per_run(
        [&] {
            form.Command3_Click();
            if (++huge_adds % 64 == 0) {
                world.log.clear();
            }
        },
        std::chrono::milliseconds(150));
    add_row("\"Add\" refused, count edited to 99,999,999,999", figure(huge_ns / 1e3, 1), "us",
            "was 10^11 key reads (days)");
}

void print_table() {
    const std::string headers[4] = {"measure", "value", "unit", "baseline / goal"};
    std::size_t width[4] = {headers[0].size(), headers[1].size(), headers[2].size(),
                            headers[3].size()};
    for (const Row& r : g_rows) {
        width[0] = std::max(width[0], r.measure.size());
        width[1] = std::max(width[1], r.value.size());
        width[2] = std::max(width[2], r.unit.size());
        width[3] = std::max(width[3], r.note.size());
    }
    const auto cell = [](const std::string& text, std::size_t w, bool right) {
        const std::string pad(w - text.size(), ' ');
        return right ? pad + text : text + pad;
    };
    const auto line = [&](const std::string& a, const std::string& b, const std::string& c,
                          const std::string& d) {
        std::cout << "| " << cell(a, width[0], false) << " | " << cell(b, width[1], true) << " | "
                  << cell(c, width[2], false) << " | " << cell(d, width[3], false) << " |\n";
    };
    line(headers[0], headers[1], headers[2], headers[3]);
    std::cout << "|" << std::string(width[0] + 2, '-') << "|" << std::string(width[1] + 1, '-')
              << ":|" << std::string(width[2] + 2, '-') << "|" << std::string(width[3] + 2, '-')
              << "|\n";
    for (const Row& r : g_rows) {
        line(r.measure, r.value, r.unit, r.note);
    }
}

}  // namespace

int main() {
    const std::string build_type = WENDLOCK_BENCH_BUILD_TYPE;
    const auto start = Clock::now();
    // Memory first, while the process is small and the peak mark is low.
    bench_deep_chain();
    bench_tree_walk();
    bench_ticks();
    bench_answer_latency();
    bench_soak();
    bench_outline();
    bench_ini();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::cout << "Wendlock benchmarks on the simulated desktop (build type: "
              << (build_type.empty() ? "none" : build_type) << ")\n";
    if (build_type != "Release" && build_type != "RelWithDebInfo") {
        std::cout << "note: not an optimised build; configure with "
                     "-DCMAKE_BUILD_TYPE=Release for comparable figures\n";
    }
    std::cout << "\n";
    print_table();
    std::cout << "\n(" << figure(seconds, 1) << " s)\n";
    return 0;
}
