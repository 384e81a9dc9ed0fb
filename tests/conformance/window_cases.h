// Conformance cases of the window system: finding, walking, reading,
// hitting, capturing and drawing on windows, as the finder, the walk and
// the watcher rely on them, run natively against the simulated desktop
// (unit tests) and under Windows or Wine against user32 and gdi32
// (window_conformance.exe), so that the two agree and the unit tests prove
// what the real program does.
//
// Each case builds windows of another program (and of the program itself)
// with a WindowDriver and checks what the WindowSystem says about them.
#pragma once

#include <cstdlib>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conformance/checks.h"
#include "conformance/window_driver.h"

namespace wl::conformance {

// SetWindowPos flags the cases use.
constexpr unsigned kSwpNoSize = 0x1;
constexpr unsigned kSwpNoMove = 0x2;
constexpr unsigned kSwpNoZOrder = 0x4;
constexpr unsigned kSwpNoActivate = 0x10;
constexpr unsigned kMfRemoveByCommand = kMfByCommand | kMfRemove;

// The cases' windows stay inside a 1024 x 768 screen, clear of its top-right
// corner, which is left to the desktop.
inline Rect area(int left, int top, int width, int height) {
    return Rect{left, top, left + width, top + height};
}
inline Point centre(const Rect& r) {
    return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
inline WindowDesign top_level(std::string class_name, std::string title, Rect rect) {
    WindowDesign d;
    d.class_name = std::move(class_name);
    d.title = std::move(title);
    d.rect = rect;
    return d;
}
inline WindowDesign child_of(Hwnd parent, std::string class_name, std::string title, Rect rect) {
    WindowDesign d = top_level(std::move(class_name), std::move(title), rect);
    d.parent = parent;
    return d;
}

// The top-level windows from the desktop's first child on, in order.
inline std::vector<Hwnd> top_level_order(WindowSystem& ws) {
    std::vector<Hwnd> order;
    for (Hwnd w = ws.get_window(ws.desktop_window(), WindowRelation::Child);
         w != 0 && order.size() < 10000; w = ws.get_window(w, WindowRelation::Next)) {
        order.push_back(w);
    }
    return order;
}
inline int position_of(const std::vector<Hwnd>& order, Hwnd window) {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == window)
            return static_cast<int>(i);
    }
    return -1;
}
// Whether a move at `p` is among those received (real input may land a
// pixel off where it was aimed).
inline bool received_near(const std::vector<Point>& moves, Point p) {
    for (const Point& m : moves) {
        if (std::abs(m.x - p.x) <= 1 && std::abs(m.y - p.y) <= 1)
            return true;
    }
    return false;
}

// A rectangle as its four coordinates, to compare and show.
inline std::vector<std::string> corners(const Rect& r) {
    return {std::to_string(r.left), std::to_string(r.top), std::to_string(r.right),
            std::to_string(r.bottom)};
}

struct WindowCase {
    std::string name;
    std::function<void(WindowDriver&, WindowSystem&, Checks&)> run;
};

inline const std::vector<WindowCase>& window_cases() {
    static const std::vector<WindowCase> cases = {
        // --- Finding -----------------------------------------------------------
        // Profiles give a box's class and title as a user typed them, in any
        // letter case; an entry without a class must match nothing.
        {"find_window matches the whole class and title, case ignored; an empty class finds "
         "nothing",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd box =
                 d.make(top_level("WlConfBox", "Rebuild Warnings", area(520, 300, 200, 100)));
             const Hwnd untitled = d.make(top_level("WlConfBox", "", area(540, 320, 200, 100)));
             check.equal(ws.find_window("wlconfbox", "REBUILD warnings"), box, "case ignored");
             check.equal(ws.find_window("WlConfBox", "Rebuild"), Hwnd{0}, "a title's start");
             check.equal(ws.find_window("WlConf", "Rebuild Warnings"), Hwnd{0}, "a class's start");
             check.equal(ws.find_window("", "Rebuild Warnings"), Hwnd{0}, "empty class");
             check.equal(ws.find_window("WlConfBox", ""), untitled, "empty title");
             check.equal(ws.find_window("WlConfNone", "Rebuild Warnings"), Hwnd{0},
                         "no such class");
         }},
        // Two equal boxes open at once: the watcher answers the upper one
        // first, then the other; a hidden box is found all the same.
        {"find_window gives the upper of two equal windows, hidden ones included",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd lower = d.make(top_level("WlConfBox", "Same", area(520, 300, 200, 100)));
             const Hwnd upper = d.make(top_level("WlConfBox", "Same", area(560, 340, 200, 100)));
             check.equal(ws.find_window("WlConfBox", "Same"), upper, "the upper one");
             check.equal(ws.find_window_ex(0, 0, "WlConfBox", "Same"), upper, "from the top");
             check.equal(ws.find_window_ex(0, upper, "WlConfBox", "Same"), lower, "the next one");
             check.equal(ws.find_window_ex(0, lower, "WlConfBox", "Same"), Hwnd{0}, "no more");
             d.destroy(upper);
             check.equal(ws.find_window("WlConfBox", "Same"), lower, "then the other");
             WindowDesign hidden = top_level("WlConfBox", "Hidden", area(600, 380, 200, 100));
             hidden.visible = false;
             const Hwnd h = d.make(hidden);
             check.equal(ws.find_window("WlConfBox", "Hidden"), h, "hidden");
         }},
        // The watcher tells boxes of one title apart by the program they
        // belong to, asked of the system so that a hung one cannot hold it up.
        {"program_path names the other program's executable for its windows, hung or not",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd box = d.make(top_level("#32770", "Owned", area(520, 300, 200, 100)));
             const Hwnd text = d.make(child_of(box, "Static", "Message", area(530, 310, 150, 20)));
             check.equal(ws.program_path(box), d.other_program(), "a top-level window");
             check.equal(ws.program_path(text), d.other_program(), "a child");
             d.hang(true);
             check.equal(ws.program_path(box), d.other_program(), "hung");
             d.hang(false);
             d.destroy(box);
             check.equal(ws.program_path(box), "", "a gone window");
             check.equal(ws.program_path(0), "", "window 0");
         }},
        // The watcher finds the button to press among a box's children by
        // caption, and a second one of the same caption after the first.
        {"find_window_ex looks among direct children after the one given; parent 0 is the "
         "desktop",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Rect r = area(520, 300, 300, 150);
             const Hwnd box = d.make(top_level("#32770", "Close Document", r));
             const Hwnd yes = d.make(child_of(box, "Button", "&Yes", area(530, 400, 80, 25)));
             const Hwnd no = d.make(child_of(box, "Button", "&No", area(620, 400, 80, 25)));
             const Hwnd again = d.make(child_of(box, "Button", "&Yes", area(710, 400, 80, 25)));
             const Hwnd panel = d.make(child_of(box, "WlConfPanel", "", area(530, 310, 200, 60)));
             d.make(child_of(panel, "Button", "Deep", area(540, 320, 60, 25)));
             check.equal(ws.find_window_ex(box, 0, "button", "&YES"), yes, "first, case ignored");
             check.equal(ws.find_window_ex(box, yes, "Button", "&Yes"), again, "after the first");
             check.equal(ws.find_window_ex(box, again, "Button", "&Yes"), Hwnd{0},
                         "after the last");
             check.equal(ws.find_window_ex(box, 0, "Button", "&No"), no, "another caption");
             check.equal(ws.find_window_ex(box, 0, "Button", "Deep"), Hwnd{0}, "a grandchild");
             check.equal(ws.find_window_ex(box, box, "Button", "&Yes"), Hwnd{0},
                         "after a non-child");
             check.equal(ws.find_window_ex(box, 0, "", "&Yes"), Hwnd{0}, "empty class");
             check.equal(ws.find_window_ex(0, 0, "#32770", "Close Document"), box, "top-level");
             check.equal(ws.find_window_ex(0, 0, "Button", "&No"), Hwnd{0}, "a child from the top");
         }},

        // --- Walking, parents and owners ----------------------------------------
        // The finder's walk lists the picked window's descendants in the
        // order GetWindow gives them: children as they were made, each new
        // top-level window above the older ones.
        {"get_window gives children in creation order and newer top-level windows first",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd parent = d.make(top_level("WlConfParent", "P", area(520, 300, 300, 200)));
             const Hwnd a = d.make(child_of(parent, "WlConfKid", "A", area(530, 310, 50, 50)));
             const Hwnd b = d.make(child_of(parent, "WlConfKid", "B", area(590, 310, 50, 50)));
             const Hwnd c = d.make(child_of(parent, "WlConfKid", "C", area(650, 310, 50, 50)));
             const Hwnd inner = d.make(child_of(a, "WlConfKid", "A1", area(535, 315, 20, 20)));
             check.equal(ws.get_window(parent, WindowRelation::Child), a, "first child");
             check.equal(ws.get_window(a, WindowRelation::Next), b, "after a");
             check.equal(ws.get_window(b, WindowRelation::Next), c, "after b");
             check.equal(ws.get_window(c, WindowRelation::Next), Hwnd{0}, "after the last");
             check.equal(ws.get_window(a, WindowRelation::Child), inner, "a's child");
             check.equal(ws.get_window(c, WindowRelation::Child), Hwnd{0}, "no child");
             const Hwnd newer = d.make(top_level("WlConfParent", "Q", area(560, 340, 100, 100)));
             const auto order = top_level_order(ws);
             check.expect(position_of(order, newer) >= 0 && position_of(order, parent) >= 0 &&
                              position_of(order, newer) < position_of(order, parent),
                          "the newer top-level window comes first among the desktop's children");
             d.destroy(parent);
             check.equal(ws.get_window(a, WindowRelation::Next), Hwnd{0}, "next of a gone window");
             check.equal(ws.get_window(a, WindowRelation::Child), Hwnd{0},
                         "child of a gone window");
         }},
        // The finder climbs from a control to its dialog, and from the
        // dialog to the main window that owns it, to tell a SolidWorks box;
        // an owned window that is no pop-up has no parent to climb to.
        {"get_parent gives a child's parent and a pop-up's owner; an owned overlapped window has "
         "none",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             WindowDesign main =
                 top_level("WlConfMain", "SolidWorks 2024", area(520, 300, 300, 200));
             main.popup = false;
             const Hwnd owner = d.make(main);
             WindowDesign dialog = top_level("#32770", "Box", area(560, 340, 200, 120));
             dialog.owner = owner;
             const Hwnd box = d.make(dialog);
             const Hwnd button = d.make(child_of(box, "Button", "OK", area(570, 420, 80, 25)));
             WindowDesign tool = top_level("WlConfTool", "Tool", area(600, 320, 150, 100));
             tool.owner = owner;
             tool.popup = false;
             const Hwnd owned = d.make(tool);
             check.equal(ws.get_parent(button), box, "a child's parent");
             check.equal(ws.get_parent(box), owner, "an owned pop-up's owner");
             check.equal(ws.get_parent(owned), Hwnd{0}, "an owned overlapped window");
             check.equal(ws.get_parent(owner), Hwnd{0}, "an unowned top-level window");
             check.equal(ws.get_parent(0), Hwnd{0}, "window 0");
             d.destroy(box);
             check.equal(ws.get_parent(button), Hwnd{0}, "a gone window");
         }},
        // A walk with nothing picked starts at the desktop, and a pick off
        // every window gives it: its class and rectangle are read as any.
        // (Not its text: Wine's virtual desktop has a title, Windows' none.)
        {"the desktop window is #32769 and covers the screen from 0,0",
         [](WindowDriver&, WindowSystem& ws, Checks& check) {
             const Hwnd desktop = ws.desktop_window();
             check.expect(desktop != 0, "a desktop window");
             check.equal(ws.get_class_name(desktop, 256), "#32769", "class");
             Rect r{};
             check.expect(ws.get_window_rect(desktop, r), "rectangle read");
             check.expect(r.left == 0 && r.top == 0 && r.right >= 1024 && r.bottom >= 768,
                          "from 0,0 over the screen");
             check.equal(ws.window_from_point(Point{1020, 4}), desktop, "a spot off every window");
         }},

        // --- Texts and class names ------------------------------------------------
        // The finder reads titles into a fixed buffer and the walk into 255
        // characters: a longer text is cut, never overrun; a window gone in
        // the meantime reads as nothing.
        {"texts and class names are cut to the buffer less one; a gone window reads as nothing",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd w = d.make(
                 top_level("WlConfLongClassName", "A rather long title", area(520, 300, 200, 100)));
             check.equal(ws.get_text_message(w, 256),
                         std::optional<std::string>("A rather long title"), "message, whole");
             check.equal(ws.get_text_message(w, 8), std::optional<std::string>("A rathe"),
                         "message, cut");
             check.equal(ws.get_text_message(w, 1), std::optional<std::string>(""), "message, 1");
             check.equal(ws.get_text_message(w, 0), std::optional<std::string>(), "message, 0");
             check.equal(ws.get_window_text(w, 256), "A rather long title", "text, whole");
             check.equal(ws.get_window_text(w, 8), "A rathe", "text, cut");
             check.equal(ws.get_window_text(w, 1), "", "text, 1");
             check.equal(ws.get_window_text(w, 0), "", "text, 0");
             check.equal(ws.get_class_name(w, 256), "WlConfLongClassName", "class, whole");
             check.equal(ws.get_class_name(w, 5), "WlCo", "class, cut");
             check.equal(ws.get_class_name(w, 1), "", "class, 1");
             d.destroy(w);
             check.equal(ws.get_text_message(w, 256), std::optional<std::string>(),
                         "message, gone");
             check.equal(ws.get_text_message(0, 256), std::optional<std::string>(), "message, 0");
             check.equal(ws.get_window_text(w, 256), "", "text, gone");
             check.equal(ws.get_class_name(w, 256), "", "class, gone");
         }},
        // A CAD application that stops answering must not stop the finder
        // or the watcher: a message to it gives up, while the titles and
        // classes the walk reads come without one.
        {"a hung window's text message and click give up; its texts and class still read",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Rect r = area(520, 300, 200, 100);
             const Hwnd w = d.make(top_level("WlConfBusy", "Busy", r));
             const Hwnd button = d.make(child_of(w, "Button", "OK", area(530, 360, 80, 25)));
             const Hwnd text = d.make(child_of(w, "Static", "Still?", area(620, 360, 80, 25)));
             d.hang(true);
             check.equal(ws.get_text_message(w, 64), std::optional<std::string>(), "message, hung");
             check.equal(ws.click_button(button), false, "click, hung");
             check.equal(ws.get_window_text(w, 64), "Busy", "title, hung");
             check.equal(ws.get_window_text(button, 64), "OK", "button caption, hung");
             check.equal(ws.get_window_text(text, 64), "Still?", "a message text, hung");
             check.equal(ws.get_class_name(w, 64), "WlConfBusy", "class, hung");
             check.equal(ws.get_window(w, WindowRelation::Child), button, "child, hung");
             check.equal(ws.get_parent(button), w, "parent, hung");
             check.equal(ws.window_from_point(centre(area(520, 300, 200, 50))), w, "hit, hung");
             d.hang(false);
             check.equal(ws.get_text_message(w, 64), std::optional<std::string>("Busy"),
                         "message, answering again");
         }},
        // The watcher presses the button a profile names, and must know
        // when the press did not arrive.
        {"click_button delivers a click to another program's button; a gone window gives false",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd box = d.make(top_level("#32770", "Question", area(520, 300, 200, 100)));
             const Hwnd no = d.make(child_of(box, "Button", "&No", area(530, 360, 80, 25)));
             check.equal(ws.click_button(no), true, "delivered");
             check.equal(d.clicks(no), 1, "clicks received");
             d.destroy(box);
             check.equal(ws.click_button(no), false, "a gone button");
             check.equal(ws.click_button(0), false, "window 0");
         }},

        // --- The hit test ------------------------------------------------------------
        // The finder picks what is under the pointer: the deepest shown
        // child there, except that a disabled child gives its parent, while
        // a disabled top-level window is picked itself.
        {"window_from_point gives the deepest shown, enabled child; disabled top-level windows "
         "count",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd w = d.make(top_level("WlConfHit", "Hit", area(520, 300, 300, 200)));
             const Rect panel_rect = area(530, 310, 120, 80);
             const Hwnd panel = d.make(child_of(w, "WlConfKid", "Panel", panel_rect));
             const Rect inner_rect = area(540, 320, 30, 30);
             const Hwnd inner = d.make(child_of(panel, "Button", "Inner", inner_rect));
             WindowDesign disabled = child_of(w, "Button", "Greyed", area(670, 310, 80, 30));
             disabled.enabled = false;
             d.make(disabled);
             WindowDesign hidden = child_of(w, "Button", "Hidden", area(670, 360, 80, 30));
             hidden.visible = false;
             d.make(hidden);
             check.equal(ws.window_from_point(centre(inner_rect)), inner, "the deepest child");
             check.equal(ws.window_from_point(Point{630, 380}), panel, "its parent beside it");
             check.equal(ws.window_from_point(centre(area(670, 310, 80, 30))), w,
                         "a disabled child");
             check.equal(ws.window_from_point(centre(area(670, 360, 80, 30))), w, "a hidden child");
             check.equal(ws.window_from_point(Point{800, 480}), w, "the window's own spot");
             WindowDesign greyed = top_level("WlConfHit", "Greyed", area(850, 300, 100, 100));
             greyed.enabled = false;
             const Hwnd greyed_top = d.make(greyed);
             check.equal(ws.window_from_point(Point{900, 350}), greyed_top, "a disabled top-level");
             WindowDesign veil = top_level("WlConfHit", "Veil", area(700, 420, 100, 60));
             veil.visible = false;
             d.make(veil);
             check.equal(ws.window_from_point(Point{750, 450}), w, "under a hidden top-level");
             const Hwnd cover = d.make(top_level("WlConfHit", "Cover", area(780, 460, 60, 60)));
             check.equal(ws.window_from_point(Point{800, 480}), cover, "a newer window above");
         }},
        // The outline is sized from the rectangle read; the main window is
        // placed, and kept on top or not, with set_window_pos.
        {"get_window_rect reads the outer rectangle; set_window_pos moves, sizes and raises",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Rect r = area(520, 300, 200, 100);
             const Hwnd w = d.make(top_level("WlConfPlace", "Placed", r));
             const Rect child_rect = area(530, 310, 40, 30);
             const Hwnd c = d.make(child_of(w, "WlConfKid", "", child_rect));
             auto rect_of = [&](Hwnd window) {
                 Rect got{-1, -1, -1, -1};
                 ws.get_window_rect(window, got);
                 return corners(got);
             };
             check.equal(rect_of(w), corners(r), "top-level");
             check.equal(rect_of(c), corners(child_rect), "child, in screen pixels");
             ws.set_window_pos(w, 0, 540, 320, 250, 120, kSwpNoZOrder | kSwpNoActivate);
             check.equal(rect_of(w), corners(area(540, 320, 250, 120)), "moved and sized");
             check.equal(rect_of(c), corners(area(550, 330, 40, 30)), "its child went along");
             ws.set_window_pos(w, 0, 0, 0, 0, 0,
                               kSwpNoMove | kSwpNoSize | kSwpNoZOrder | kSwpNoActivate);
             check.equal(rect_of(w), corners(area(540, 320, 250, 120)), "neither moved nor sized");
             const Hwnd above = d.make(top_level("WlConfPlace", "Above", area(600, 350, 100, 60)));
             check.equal(ws.window_from_point(Point{650, 380}), above, "the newer one above");
             ws.set_window_pos(w, kHwndTopmost, 0, 0, 0, 0,
                               kSwpNoMove | kSwpNoSize | kSwpNoActivate);
             check.equal(ws.window_from_point(Point{650, 380}), w, "raised to the top");
             d.destroy(w);
             Rect untouched{1, 2, 3, 4};
             check.equal(ws.get_window_rect(w, untouched), false, "a gone window");
             check.equal(corners(untouched), corners(Rect{1, 2, 3, 4}), "left untouched");
         }},

        // --- Capture and moves ----------------------------------------------------------
        // The finder holds the capture through the walk after its release:
        // with no button down, only moves over the program's own windows
        // reach it; those over other programs' windows go to them.
        {"with no button down, the capture gets the moves over the program's own windows only",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Rect other_rect = area(700, 300, 200, 150);
             d.make(top_level("WlConfOther", "Other", other_rect));
             const Rect form = area(420, 300, 250, 200);
             const Rect box = area(440, 340, 40, 40);
             const OwnWindows own = d.make_own(form, box);
             const Point over_form{600, 450};
             const Point over_other = centre(other_rect);
             const Point over_box = centre(box);
             ws.set_capture(own.box);
             d.move_pointer(over_other);
             d.move_pointer(over_form);
             auto moves = d.moves_received(own.box, over_form);
             check.expect(received_near(moves, over_form), "a move over the program's form");
             check.expect(!received_near(moves, over_other), "no move over another program");
             const Point cursor = ws.cursor_pos();
             check.expect(
                 std::abs(cursor.x - over_form.x) <= 1 && std::abs(cursor.y - over_form.y) <= 1,
                 "the cursor is where it was moved");
             ws.release_capture();
             d.move_pointer(Point{610, 460});
             d.move_pointer(over_box);
             moves = d.moves_received(own.box, over_box);
             check.expect(received_near(moves, over_box), "released: a move over the box");
             check.expect(!received_near(moves, Point{610, 460}), "released: none over the form");
         }},

        // --- Activation and the system menu ----------------------------------------------
        // Form_Activate takes Close off the active window's system menu; a
        // second activation must not take another item.
        {"the active window is the program's own; Close leaves its system menu by command once",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const OwnWindows own = d.make_own(area(420, 300, 250, 200), area(440, 340, 40, 40));
             check.equal(ws.active_window(), own.form, "active");
             const MenuHandle menu = ws.get_system_menu(own.form);
             check.expect(menu != 0, "a system menu");
             check.equal(ws.remove_menu(menu, kScClose, kMfRemoveByCommand), true, "removed");
             check.equal(ws.remove_menu(menu, kScClose, kMfRemoveByCommand), false, "gone already");
             ws.draw_menu_bar(own.form);
             check.equal(ws.get_system_menu(own.form), menu, "the same menu again");
             check.equal(ws.get_system_menu(0), MenuHandle{0}, "window 0");
         }},

        // --- Drawing on another window ----------------------------------------------------
        // The finder frames the picked window in red on that window's own
        // surface and reads first what it paints over, to put it back.
        {"a surface paints another program's window and reads it back; outside reads invalid",
         [](WindowDriver& d, WindowSystem& ws, Checks& check) {
             const Hwnd w = d.make(top_level("WlConfCanvas", "", area(520, 300, 200, 100)));
             constexpr Colour kRed = 0x0000FF;
             constexpr Colour kGreen = 0x00FF00;
             {
                 const auto surface = ws.window_surface(w);
                 check.equal(surface->get_pixel(100, 50), Colour{0xFFFFFF}, "white before");
                 surface->fill(Rect{0, 0, 10, 100}, kRed);
                 check.equal(surface->get_pixel(0, 0), kRed, "filled corner");
                 check.equal(surface->get_pixel(9, 99), kRed, "filled far corner");
                 check.equal(surface->get_pixel(10, 50), Colour{0xFFFFFF}, "beside the fill");
                 surface->fill(Rect{190, 90, 260, 160}, kGreen);
                 check.equal(surface->get_pixel(199, 99), kGreen, "a fill cut at the edge");
                 check.equal(surface->get_pixel(200, 50), kInvalidColour, "right of the window");
                 check.equal(surface->get_pixel(-1, 0), kInvalidColour, "left of the window");
             }
             d.destroy(w);
             const auto gone = ws.window_surface(w);
             gone->fill(Rect{0, 0, 10, 10}, kRed);
             check.equal(gone->get_pixel(0, 0), kInvalidColour, "a gone window");
         }},
    };
    return cases;
}

using WindowCaseResult = CaseResult;

// Runs one case on a fresh driver.
inline WindowCaseResult run_window_case(WindowDriver& driver, const WindowCase& window_case) {
    return run_checked(window_case.name,
                       [&](Checks& check) { window_case.run(driver, driver.windows(), check); });
}

}  // namespace wl::conformance
