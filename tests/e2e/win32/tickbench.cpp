// tickbench.exe: times the watcher's tick on the real window system, for a
// profile whose first entry has a Text and a Program key against the same
// profile without them, in alternating rounds of one run (so both see the
// same desktop and the same load). The Wine bench starts the boxes it ticks
// against (tests/e2e/bench_wine.py, section "keys").
//
//   tickbench.exe --title T --button B --text PIECE --program NAME.exe
//                 [--ticks 200] [--rounds 7] [--expect N] [--no-clicks]
//
// --expect N waits (at most 60 s) until N top-level "#32770" windows titled T
// exist. --no-clicks counts the clicks a tick would make instead of making
// them, so boxes the profile without keys would answer stay open for the
// next round.
//
// Output: one line per profile,
//   keys  tick_us_median=<round means' median> tick_ms_max=<slowest tick> clicks=<n>
//   plain ...
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "monitor/watcher.h"
#include "platform/win32/win32_window_system.h"

namespace {

using wl::Hwnd;

// The real window system, with clicks optionally only counted.
class Counting final : public wl::WindowSystem {
  public:
    explicit Counting(bool click) : click_(click) {}
    int clicks = 0;

    Hwnd find_window(const std::string& c, const std::string& t) override {
        return real_.find_window(c, t);
    }
    Hwnd find_window_ex(Hwnd p, Hwnd a, const std::string& c, const std::string& t) override {
        return real_.find_window_ex(p, a, c, t);
    }
    bool click_button(Hwnd button) override {
        ++clicks;
        return click_ ? real_.click_button(button) : true;
    }
    std::optional<std::string> get_text_message(Hwnd w, int n) override {
        return real_.get_text_message(w, n);
    }
    std::string get_window_text(Hwnd w, int n) override { return real_.get_window_text(w, n); }
    std::string get_class_name(Hwnd w, int n) override { return real_.get_class_name(w, n); }
    Hwnd get_parent(Hwnd w) override { return real_.get_parent(w); }
    std::string program_path(Hwnd w) override { return real_.program_path(w); }
    Hwnd get_window(Hwnd w, wl::WindowRelation r) override { return real_.get_window(w, r); }
    Hwnd desktop_window() override { return real_.desktop_window(); }
    wl::Point cursor_pos() override { return real_.cursor_pos(); }
    Hwnd window_from_point(wl::Point p) override { return real_.window_from_point(p); }
    void set_capture(Hwnd w) override { real_.set_capture(w); }
    void release_capture() override { real_.release_capture(); }
    bool get_window_rect(Hwnd w, wl::Rect& r) override { return real_.get_window_rect(w, r); }
    std::unique_ptr<wl::DrawSurface> window_surface(Hwnd w) override {
        return real_.window_surface(w);
    }
    Hwnd active_window() override { return real_.active_window(); }
    wl::MenuHandle get_system_menu(Hwnd w) override { return real_.get_system_menu(w); }
    bool remove_menu(wl::MenuHandle m, unsigned i, unsigned f) override {
        return real_.remove_menu(m, i, f);
    }
    void draw_menu_bar(Hwnd w) override { real_.draw_menu_bar(w); }
    void set_window_pos(Hwnd w, Hwnd a, int x, int y, int cx, int cy, unsigned f) override {
        real_.set_window_pos(w, a, x, y, cx, cy, f);
    }

  private:
    wl::win32::Win32WindowSystem real_;
    bool click_;
};

// The tick needs of the host only its yield after a click; there is no
// window of ours whose events could wait.
class NoHost final : public wl::Host {
  public:
    std::unique_ptr<wl::FormWindow> create_form(const wl::FormSpec&, wl::EventSink&) override {
        return nullptr;
    }
    std::unique_ptr<wl::Control> create_control(wl::FormWindow&, const wl::ControlSpec&) override {
        return nullptr;
    }
    void popup_menu(wl::Control&) override {}
    int message_box(const std::string&, const std::string&, unsigned) override { return 0; }
    void do_events() override {}
    void start_program(const std::string&, int) override {}
    void run() override {}
    void end_program() override {}
    double twips_per_pixel_x() const override { return 15.0; }
    double twips_per_pixel_y() const override { return 15.0; }
    bool claim_program_folder(const std::string&) override { return true; }
    void ask_running_instance(const std::string&, wl::InstanceRequest) override {}
    bool wait_until_folder_free(const std::string&, int) override { return true; }
};

struct Options {
    std::string title, button, text, program;
    int ticks = 200;
    int rounds = 7;
    int expect = -1;
    bool clicks = true;
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc && arg != "--no-clicks")
            return false;
        if (arg == "--title")
            o.title = argv[++i];
        else if (arg == "--button")
            o.button = argv[++i];
        else if (arg == "--text")
            o.text = argv[++i];
        else if (arg == "--program")
            o.program = argv[++i];
        else if (arg == "--ticks")
            o.ticks = std::atoi(argv[++i]);
        else if (arg == "--rounds")
            o.rounds = std::atoi(argv[++i]);
        else if (arg == "--expect")
            o.expect = std::atoi(argv[++i]);
        else if (arg == "--no-clicks")
            o.clicks = false;
        else
            return false;
    }
    return !o.title.empty() && !o.button.empty() && o.ticks > 0 && o.rounds > 0;
}

int boxes_titled(const std::string& title) {
    int count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", title.c_str()); w != nullptr;
         w = FindWindowExA(nullptr, w, "#32770", title.c_str())) {
        ++count;
    }
    return count;
}

struct Figures {
    std::vector<double> round_means_us;
    double slowest_ms = 0;
};

void time_round(wl::Watcher& watcher, int ticks, Figures& figures) {
    double total_us = 0;
    for (int i = 0; i < ticks; ++i) {
        const auto start = std::chrono::steady_clock::now();
        watcher.Monitor_timer_Timer();
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        total_us += took.count();
        figures.slowest_ms = std::max(figures.slowest_ms, took.count() / 1000.0);
    }
    figures.round_means_us.push_back(total_us / ticks);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fputs(
            "usage: tickbench.exe --title T --button B --text PIECE --program NAME.exe\n"
            "                     [--ticks 200] [--rounds 7] [--expect N] [--no-clicks]\n",
            stderr);
        return 3;
    }
    if (o.expect >= 0) {
        const ULONGLONG deadline = GetTickCount64() + 60000;
        while (boxes_titled(o.title) != o.expect) {
            if (GetTickCount64() > deadline) {
                std::printf("expected %d boxes, found %d\n", o.expect, boxes_titled(o.title));
                return 2;
            }
            Sleep(50);
        }
    }

    wl::WatchList keyed;
    keyed.entry(1) = wl::WatchEntry{o.title, o.button, "#32770", o.text, o.program};
    wl::WatchList plain;
    plain.entry(1) = wl::WatchEntry{o.title, o.button, "#32770"};
    Counting keyed_windows(o.clicks);
    Counting plain_windows(o.clicks);
    NoHost host;
    wl::Watcher keyed_watcher(keyed_windows, host, keyed);
    wl::Watcher plain_watcher(plain_windows, host, plain);

    Figures keyed_figures, plain_figures;
    for (int round = 0; round < o.rounds; ++round) {
        time_round(keyed_watcher, o.ticks, keyed_figures);
        time_round(plain_watcher, o.ticks, plain_figures);
    }
    std::printf("keys tick_us_median=%.1f tick_ms_max=%.2f clicks=%d\n",
                median(keyed_figures.round_means_us), keyed_figures.slowest_ms,
                keyed_windows.clicks);
    std::printf("plain tick_us_median=%.1f tick_ms_max=%.2f clicks=%d\n",
                median(plain_figures.round_means_us), plain_figures.slowest_ms,
                plain_windows.clicks);
    std::printf("boxes=%d\n", boxes_titled(o.title));
    return 0;
}
