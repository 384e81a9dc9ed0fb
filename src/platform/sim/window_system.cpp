// The simulated window system: the desktop's windows, z-order, message
// boxes, pixels, the pointer's position and capture, system menus.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "platform/sim/desktop_state.h"
#include "platform/sim/sim_control.h"

namespace wl::sim {

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

namespace {

std::string cut_text(const std::string& text, int buffer_chars) {
    if (buffer_chars <= 1) {
        return {};
    }
    return text.substr(0, static_cast<std::size_t>(buffer_chars - 1));
}

bool contains(const Rect& r, Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

int width_of(const Rect& r) {
    return std::max(0, r.right - r.left);
}
int height_of(const Rect& r) {
    return std::max(0, r.bottom - r.top);
}

const std::vector<unsigned> kStandardSystemMenu = {0xF120, 0xF010, 0xF000, 0xF020,
                                                   0xF030, 0,      0xF060};

}  // namespace

// ---------------------------------------------------------------------------
// Call log.

// ---------------------------------------------------------------------------
// Desktop state.

std::vector<Hwnd>& SimDesktop::Impl::siblings_of(Hwnd window) {
    const Hwnd parent = windows.at(window).parent;
    return parent == 0 ? top_level : windows.at(parent).children;
}

Hwnd SimDesktop::Impl::allocate() {
    if (next_hwnd == kDesktopHwnd) {
        ++next_hwnd;
    }
    return next_hwnd++;
}

SimDesktop::SimDesktop(CallLog& log) : impl_(std::make_unique<Impl>()), log_(log) {}

SimDesktop::~SimDesktop() {
    release_program_folder();
    // Controls and the form may outlive the desktop; they then do nothing.
    for (SimControl* control : impl_->controls.in_order()) {
        control->detach();
    }
}

void SimDesktop::record(std::string call) {
    log_.record(std::move(call));
}

Hwnd SimDesktop::add_window(const std::string& class_name, const std::string& title, Rect rect,
                            Hwnd parent, Hwnd owner) {
    if (parent != 0 && !exists(parent)) {
        throw std::invalid_argument("add_window: unknown parent " + hex(parent));
    }
    const Hwnd hwnd = impl_->allocate();
    SimWindow w;
    w.hwnd = hwnd;
    w.class_name = class_name;
    w.title = title;
    w.rect = rect;
    w.parent = parent;
    w.owner = parent == 0 ? owner : 0;
    w.pixels.assign(
        static_cast<std::size_t>(width_of(rect)) * static_cast<std::size_t>(height_of(rect)),
        0xFFFFFF);
    impl_->windows.emplace(hwnd, std::move(w));
    (parent == 0 ? impl_->top_level : impl_->windows.at(parent).children).push_back(hwnd);
    return hwnd;
}

void SimDesktop::bring_to_top(Hwnd window) {
    if (!exists(window)) {
        return;
    }
    auto& siblings = impl_->siblings_of(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    siblings.insert(siblings.begin(), window);
}

Hwnd SimDesktop::open_message_box(const std::string& title, const std::vector<std::string>& buttons,
                                  Hwnd owner, const std::string& text) {
    const int width = std::max(200, 20 + 90 * static_cast<int>(buttons.size()));
    const Rect rect{400, 300, 400 + width, 300 + 140};
    const Hwnd box = add_window("#32770", title, rect, 0, owner);
    bring_to_top(box);
    add_window("Static", text, Rect{rect.left + 20, rect.top + 40, rect.right - 20, rect.top + 70},
               box);
    int left = rect.left + 10;
    for (const auto& caption : buttons) {
        const Hwnd button = add_window("Button", caption,
                                       Rect{left, rect.top + 90, left + 80, rect.top + 115}, box);
        impl_->windows.at(button).closes_box = box;
        left += 90;
    }
    return box;
}

std::optional<std::string> SimDesktop::message_box_answer(Hwnd box) const {
    const auto found = impl_->box_answers.find(box);
    if (found == impl_->box_answers.end()) {
        return std::nullopt;
    }
    return found->second;
}

void SimDesktop::destroy_window(Hwnd window) {
    if (!exists(window)) {
        return;
    }
    // Children first, from a copy: the list shrinks as they go.
    const std::vector<Hwnd> children = impl_->windows.at(window).children;
    for (const Hwnd child : children) {
        destroy_window(child);
    }
    auto& siblings = impl_->siblings_of(window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    if (const auto menu = impl_->menu_of_window.find(window); menu != impl_->menu_of_window.end()) {
        impl_->menus.erase(menu->second);
        impl_->menu_of_window.erase(menu);
    }
    if (capture_ == window) {
        capture_ = 0;
    }
    topmost_.erase(window);
    impl_->windows.erase(window);
}

bool SimDesktop::exists(Hwnd window) const {
    return impl_->windows.count(window) != 0;
}

SimWindow& SimDesktop::window(Hwnd window) {
    const auto found = impl_->windows.find(window);
    if (found == impl_->windows.end()) {
        throw std::out_of_range("no simulated window " + hex(window));
    }
    return found->second;
}

void SimDesktop::move_window(Hwnd window, Rect rect) {
    SimWindow& w = this->window(window);
    const int old_width = width_of(w.rect);
    const int old_height = height_of(w.rect);
    const int new_width = width_of(rect);
    const int new_height = height_of(rect);
    std::vector<Colour> pixels(
        static_cast<std::size_t>(new_width) * static_cast<std::size_t>(new_height), 0xFFFFFF);
    for (int y = 0; y < std::min(old_height, new_height); ++y) {
        for (int x = 0; x < std::min(old_width, new_width); ++x) {
            pixels[static_cast<std::size_t>(y) * new_width + x] =
                w.pixels[static_cast<std::size_t>(y) * old_width + x];
        }
    }
    const int dx = rect.left - w.rect.left;
    const int dy = rect.top - w.rect.top;
    w.pixels = std::move(pixels);
    w.rect = rect;
    // Child windows travel with their parent.
    if (dx != 0 || dy != 0) {
        std::vector<Hwnd> pending = w.children;
        while (!pending.empty()) {
            SimWindow& child = impl_->windows.at(pending.back());
            pending.pop_back();
            child.rect.left += dx;
            child.rect.right += dx;
            child.rect.top += dy;
            child.rect.bottom += dy;
            pending.insert(pending.end(), child.children.begin(), child.children.end());
        }
    }
}

void SimDesktop::set_hung(Hwnd window, bool hung) {
    this->window(window).hung = hung;
}

Colour SimDesktop::pixel(Hwnd window, int x, int y) const {
    const auto found = impl_->windows.find(window);
    if (found == impl_->windows.end()) {
        return kInvalidColour;
    }
    const SimWindow& w = found->second;
    const int width = width_of(w.rect);
    if (x < 0 || y < 0 || x >= width || y >= height_of(w.rect)) {
        return kInvalidColour;
    }
    return w.pixels[static_cast<std::size_t>(y) * width + x];
}

void SimDesktop::set_pixel_direct(Hwnd window, int x, int y, Colour colour) {
    const auto found = impl_->windows.find(window);
    if (found == impl_->windows.end()) {
        return;
    }
    SimWindow& w = found->second;
    const int width = width_of(w.rect);
    if (x < 0 || y < 0 || x >= width || y >= height_of(w.rect)) {
        return;
    }
    w.pixels[static_cast<std::size_t>(y) * width + x] = colour;
}

void SimDesktop::paint_window(Hwnd window, Colour colour) {
    auto& pixels = this->window(window).pixels;
    std::fill(pixels.begin(), pixels.end(), colour);
}

std::vector<unsigned> SimDesktop::system_menu_items(Hwnd window) const {
    const auto menu = impl_->menu_of_window.find(window);
    if (menu == impl_->menu_of_window.end()) {
        return exists(window) ? kStandardSystemMenu : std::vector<unsigned>{};
    }
    return impl_->menus.at(menu->second);
}

// ---------------------------------------------------------------------------
// WindowSystem.

Hwnd SimDesktop::find_window(const std::string& class_name, const std::string& title) {
    record("FindWindowA(" + class_name + "," + title + ")");
    if (class_name.empty()) {
        return 0;
    }
    for (const Hwnd hwnd : impl_->top_level) {
        const SimWindow& w = impl_->windows.at(hwnd);
        if (equal_ignoring_case(w.class_name, class_name) && equal_ignoring_case(w.title, title)) {
            return hwnd;
        }
    }
    return 0;
}

Hwnd SimDesktop::find_window_ex(Hwnd parent, Hwnd after, const std::string& class_name,
                                const std::string& title) {
    record("FindWindowExA(" + hex(parent) + "," + hex(after) + "," + class_name + "," + title +
           ")");
    if (class_name.empty()) {
        return 0;
    }
    const std::vector<Hwnd>* children = nullptr;
    if (parent == 0 || parent == kDesktopHwnd) {
        children = &impl_->top_level;
    } else if (exists(parent)) {
        children = &impl_->windows.at(parent).children;
    } else {
        return 0;
    }
    auto it = children->begin();
    if (after != 0) {
        it = std::find(children->begin(), children->end(), after);
        if (it == children->end()) {
            return 0;  // `after` is no child of that parent
        }
        ++it;
    }
    for (; it != children->end(); ++it) {
        const SimWindow& w = impl_->windows.at(*it);
        if (equal_ignoring_case(w.class_name, class_name) && equal_ignoring_case(w.title, title)) {
            return *it;
        }
    }
    return 0;
}

bool SimDesktop::click_button(Hwnd button) {
    record("BM_CLICK(" + hex(button) + ")");
    if (!exists(button) || impl_->windows.at(button).hung) {
        return false;
    }
    // Copies: the hook may destroy the button, the box or add windows.
    const std::function<void()> hook = impl_->windows.at(button).on_click;
    const Hwnd box = impl_->windows.at(button).closes_box;
    const std::string caption = impl_->windows.at(button).title;
    if (hook) {
        hook();
    }
    if (box != 0 && exists(box)) {
        impl_->box_answers[box] = caption;
        destroy_window(box);
    }
    // A click on one of the program's own buttons is its Click event.
    if (SimControl* control = control_of_window(button)) {
        if (control->kind() == ControlKind::OptionButton) {
            control->set_value(true);
        }
        if (control->kind() == ControlKind::CommandButton ||
            control->kind() == ControlKind::OptionButton) {
            deliver(UiEvent{control->design().name, control->design().index, EventKind::Click});
        }
    }
    return true;
}

std::optional<std::string> SimDesktop::get_text_message(Hwnd window, int buffer_chars) {
    record("WM_GETTEXT(" + hex(window) + "," + std::to_string(buffer_chars) + ")");
    if (buffer_chars <= 0) {
        return std::nullopt;  // no buffer to answer into
    }
    if (window == kDesktopHwnd) {
        return std::string();
    }
    // A hung window never answers: the message times out.
    if (!exists(window) || impl_->windows.at(window).hung) {
        return std::nullopt;
    }
    return cut_text(impl_->windows.at(window).title, buffer_chars);
}

std::string SimDesktop::get_window_text(Hwnd window, int buffer_chars) {
    record("GetWindowTextA(" + hex(window) + "," + std::to_string(buffer_chars) + ")");
    if (!exists(window)) {
        return {};
    }
    return cut_text(impl_->windows.at(window).title, buffer_chars);
}

std::string SimDesktop::get_class_name(Hwnd window, int buffer_chars) {
    record("GetClassNameA(" + hex(window) + "," + std::to_string(buffer_chars) + ")");
    if (window == kDesktopHwnd) {
        return cut_text("#32769", buffer_chars);
    }
    if (!exists(window)) {
        return {};
    }
    return cut_text(impl_->windows.at(window).class_name, buffer_chars);
}

Hwnd SimDesktop::get_parent(Hwnd window) {
    record("GetParent(" + hex(window) + ")");
    if (!exists(window)) {
        return 0;
    }
    const SimWindow& w = impl_->windows.at(window);
    return w.parent != 0 ? w.parent : (w.popup ? w.owner : 0);
}

std::string SimDesktop::program_path(Hwnd window) {
    record("QueryFullProcessImageNameA(" + hex(window) + ")");
    Hwnd top = window;
    while (exists(top) && impl_->windows.at(top).parent != 0) {
        top = impl_->windows.at(top).parent;
    }
    return exists(top) ? impl_->windows.at(top).program : std::string();
}

Hwnd SimDesktop::get_window(Hwnd window, WindowRelation relation) {
    record("GetWindow(" + hex(window) + "," + std::to_string(static_cast<int>(relation)) + ")");
    if (relation == WindowRelation::Child) {
        if (window == kDesktopHwnd) {
            return impl_->top_level.empty() ? 0 : impl_->top_level.front();
        }
        if (!exists(window)) {
            return 0;
        }
        const auto& children = impl_->windows.at(window).children;
        return children.empty() ? 0 : children.front();
    }
    if (!exists(window)) {
        return 0;
    }
    const auto& siblings = impl_->siblings_of(window);
    const auto it = std::find(siblings.begin(), siblings.end(), window);
    return (it == siblings.end() || it + 1 == siblings.end()) ? 0 : *(it + 1);
}

Hwnd SimDesktop::desktop_window() {
    record("GetDesktopWindow()");
    return kDesktopHwnd;
}

Point SimDesktop::cursor_pos() {
    record("GetCursorPos()");
    return cursor_;
}

Hwnd SimDesktop::window_from_point(Point screen) {
    record("WindowFromPoint(" + std::to_string(screen.x) + "," + std::to_string(screen.y) + ")");
    return hit_test(screen);
}

Hwnd SimDesktop::hit_test(Point screen) const {
    const std::vector<Hwnd>* candidates = &impl_->top_level;
    Hwnd hit = 0;
    for (;;) {
        Hwnd found = 0;
        for (const Hwnd hwnd : *candidates) {
            const SimWindow& w = impl_->windows.at(hwnd);
            // A disabled child is passed over; a disabled top-level window is not.
            if (w.visible && (w.enabled || w.parent == 0) && contains(w.rect, screen)) {
                found = hwnd;
                break;
            }
        }
        if (found == 0) {
            break;
        }
        hit = found;
        candidates = &impl_->windows.at(found).children;
    }
    return hit != 0 ? hit : (contains(kScreen, screen) ? kDesktopHwnd : 0);
}

void SimDesktop::set_capture(Hwnd window) {
    record("SetCapture(" + hex(window) + ")");
    move_capture(exists(window) ? window : 0);
}

void SimDesktop::release_capture() {
    record("ReleaseCapture()");
    move_capture(0);
}

bool SimDesktop::get_window_rect(Hwnd window, Rect& rect) {
    record("GetWindowRect(" + hex(window) + ")");
    if (window == kDesktopHwnd) {
        rect = kScreen;
        return true;
    }
    if (!exists(window)) {
        return false;
    }
    rect = impl_->windows.at(window).rect;
    return true;
}

// A window's drawing surface. Every call checks that the window still
// exists, so a surface outliving its window does nothing.
class SimSurface final : public DrawSurface {
  public:
    SimSurface(SimDesktop& desktop, Hwnd window) : desktop_(desktop), window_(window) {
        ++desktop_.surfaces_open_;
        ++desktop_.surfaces_taken_;
    }
    ~SimSurface() override {
        --desktop_.surfaces_open_;
        desktop_.record("ReleaseDC(" + hex(window_) + ")");
    }
    SimSurface(const SimSurface&) = delete;
    SimSurface& operator=(const SimSurface&) = delete;

    Colour get_pixel(int x, int y) override {
        desktop_.record("GetPixel(" + hex(window_) + "," + std::to_string(x) + "," +
                        std::to_string(y) + ")");
        return desktop_.pixel(window_, x, y);
    }
    void fill(const Rect& area, Colour colour) override {
        ++desktop_.fill_calls_;
        desktop_.record("FillRect(" + hex(window_) + "," + std::to_string(area.left) + "," +
                        std::to_string(area.top) + "," + std::to_string(area.right) + "," +
                        std::to_string(area.bottom) + "," + hex(colour) + ")");
        if (!desktop_.exists(window_)) {
            return;
        }
        const Rect& r = desktop_.window(window_).rect;
        const int right = std::min(area.right, width_of(r));
        const int bottom = std::min(area.bottom, height_of(r));
        for (int y = std::max(0, area.top); y < bottom; ++y) {
            for (int x = std::max(0, area.left); x < right; ++x) {
                desktop_.set_pixel_direct(window_, x, y, colour);
            }
        }
    }

  private:
    SimDesktop& desktop_;
    Hwnd window_;
};

std::unique_ptr<DrawSurface> SimDesktop::window_surface(Hwnd window) {
    record("GetWindowDC(" + hex(window) + ")");
    return std::make_unique<SimSurface>(*this, window);
}

Hwnd SimDesktop::active_window() {
    record("GetActiveWindow()");
    if (active_override_) {
        return *active_override_;
    }
    if (impl_->form != nullptr && impl_->form->visible()) {
        return impl_->form->hwnd();
    }
    return 0;
}

MenuHandle SimDesktop::get_system_menu(Hwnd window) {
    record("GetSystemMenu(" + hex(window) + ",0)");
    if (!exists(window)) {
        return 0;
    }
    const auto found = impl_->menu_of_window.find(window);
    if (found != impl_->menu_of_window.end()) {
        return found->second;
    }
    const MenuHandle menu = impl_->next_menu++;
    impl_->menu_of_window.emplace(window, menu);
    impl_->menus.emplace(menu, kStandardSystemMenu);
    return menu;
}

bool SimDesktop::remove_menu(MenuHandle menu, unsigned item, unsigned flags) {
    record("RemoveMenu(" + hex(menu) + "," + std::to_string(static_cast<int>(item)) + "," +
           hex(flags) + ")");
    const auto found = impl_->menus.find(menu);
    if (found == impl_->menus.end()) {
        return false;
    }
    auto& items = found->second;
    const auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) {
        return false;
    }
    items.erase(it);
    return true;
}

void SimDesktop::draw_menu_bar(Hwnd window) {
    record("DrawMenuBar(" + hex(window) + ")");
}

void SimDesktop::set_window_pos(Hwnd window, Hwnd insert_after, int x, int y, int cx, int cy,
                                unsigned flags) {
    const std::string after = insert_after == kHwndTopmost     ? "-1"
                              : insert_after == kHwndNoTopmost ? "-2"
                                                               : hex(insert_after);
    record("SetWindowPos(" + hex(window) + "," + after + "," + std::to_string(x) + "," +
           std::to_string(y) + "," + std::to_string(cx) + "," + std::to_string(cy) + "," +
           hex(flags) + ")");
    pos_calls_.push_back(SetWindowPosCall{window, insert_after, x, y, cx, cy, flags});
    if (!exists(window)) {
        return;
    }
    constexpr unsigned kNoSize = 0x1;
    constexpr unsigned kNoMove = 0x2;
    constexpr unsigned kNoZOrder = 0x4;
    Rect rect = impl_->windows.at(window).rect;
    if ((flags & kNoMove) == 0) {
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        rect = Rect{x, y, x + width, y + height};
    }
    if ((flags & kNoSize) == 0) {
        rect.right = rect.left + cx;
        rect.bottom = rect.top + cy;
    }
    move_window(window, rect);
    if ((flags & kNoZOrder) == 0) {
        if (insert_after == kHwndTopmost) {
            topmost_.insert(window);
            bring_to_top(window);
        } else if (insert_after == kHwndNoTopmost) {
            topmost_.erase(window);
        }
    }
}

}  // namespace wl::sim
