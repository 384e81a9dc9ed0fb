// The state behind the simulated desktop, and the helpers its files share.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_kinds.h"
#include "platform/sim/sim_control_table.h"
#include "platform/sim/sim_desktop.h"

namespace wl::sim {

bool equal_ignoring_case(std::string_view a, std::string_view b);
// Names of the files of `folder` whose extension is that of `pattern`
// ("*.ini"), any letter case; names starting with "." (hidden) left out;
// sorted without regard to case. A missing folder lists nothing.
std::vector<std::string> list_matching_files(const std::string& folder, const std::string& pattern);

constexpr Hwnd kDesktopHwnd = 0x10010;
constexpr Rect kScreen{0, 0, 1920, 1080};

struct SimDesktop::Impl {
    std::map<Hwnd, SimWindow> windows;
    std::vector<Hwnd> top_level;  // z-order, top first
    Hwnd next_hwnd = 0x1000;
    std::map<Hwnd, std::string> box_answers;

    // System menus, made on first request.
    std::map<Hwnd, MenuHandle> menu_of_window;
    std::map<MenuHandle, std::vector<unsigned>> menus;
    MenuHandle next_menu = 0x20000;

    // The program's own user interface.
    EventSink* sink = nullptr;
    SimFormWindow* form = nullptr;
    std::string form_name;
    SimControlTable controls;

    std::vector<Hwnd>& siblings_of(Hwnd window);
    Hwnd allocate();
};

}  // namespace wl::sim
