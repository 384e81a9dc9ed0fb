// Conformance cases of the host: the controls, events, yields, timers,
// modal boxes, pointer, focus and menus that the program's logic relies on,
// run natively against the simulated desktop (unit tests) and under Windows
// or Wine against the real Win32 host (host_conformance.exe), so that the
// two agree and the unit tests prove what the real program does.
//
// Each case builds the same test form through the Host interface, works it
// with a HostDriver and checks what the host did and delivered.
#pragma once

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "conformance/checks.h"
#include "conformance/host_driver.h"
#include "platform/control_kinds.h"
#include "platform/form_window.h"
#include "platform/host.h"
#include "platform/run_time_errors.h"

namespace wl::conformance {

// --- Recording what the host delivers ----------------------------------------

inline std::string event_name(EventKind kind) {
    switch (kind) {
        case EventKind::Click:
            return "Click";
        case EventKind::DblClick:
            return "DblClick";
        case EventKind::MouseDown:
            return "MouseDown";
        case EventKind::MouseMove:
            return "MouseMove";
        case EventKind::MouseUp:
            return "MouseUp";
        case EventKind::Timer:
            return "Timer";
        case EventKind::Activate:
            return "Activate";
        case EventKind::Unload:
            return "Unload";
        case EventKind::Terminate:
            return "Terminate";
        case EventKind::TaskbarCreated:
            return "TaskbarCreated";
        case EventKind::EndSession:
            return "EndSession";
        case EventKind::LostCapture:
            return "LostCapture";
        case EventKind::ShowRequested:
            return "ShowRequested";
        case EventKind::ExitRequested:
            return "ExitRequested";
    }
    return "?";
}

// "Picture2.MouseDown(1)", "Op1(0).Click", "Form1.Activate".
inline std::string describe(const UiEvent& e) {
    std::string out = control_display_name(e.control, e.index) + "." + event_name(e.kind);
    if (e.kind == EventKind::MouseDown || e.kind == EventKind::MouseUp ||
        e.kind == EventKind::MouseMove) {
        out += "(" + std::to_string(e.button) + ")";
    }
    return out;
}

// The program's side of a case: records every event and every close
// request, and runs what the case wants done for an event.
class Recorder final : public EventSink {
  public:
    void on_event(const UiEvent& event) override {
        log.push_back(describe(event));
        if (on)
            on(event);
    }
    bool on_query_unload(int reason) override {
        log.push_back("QueryUnload(" + std::to_string(reason) + ")");
        return refuse_close;
    }
    // The log since the last call, emptied.
    std::vector<std::string> take() { return std::exchange(log, {}); }
    // Only the entries that start with one of the prefixes.
    std::vector<std::string> take(std::initializer_list<std::string> prefixes) {
        std::vector<std::string> kept;
        for (const std::string& entry : take()) {
            for (const std::string& prefix : prefixes) {
                if (entry.rfind(prefix, 0) == 0) {
                    kept.push_back(entry);
                    break;
                }
            }
        }
        return kept;
    }
    std::size_t count(const std::string& entry) const {
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
    }

    std::vector<std::string> log;
    std::function<void(const UiEvent&)> on;
    bool refuse_close = true;
};

// --- The test form -------------------------------------------------------------

// 320 x 240 pixels at 15 twips a pixel; the bottom-right part stays free of
// controls, for presses on the form itself.
inline FormSpec test_form_design() {
    FormSpec form;
    form.name = "Form1";
    form.caption = "Conformance";
    form.client_width = 4800;
    form.client_height = 3600;
    form.left = 1500;
    form.top = 1500;
    form.back_colour = 0xC0C0C0;
    return form;
}

// One control of each kind, in tab order; menus last.
inline std::vector<ControlSpec> test_control_designs() {
    auto make = [](std::string name, ControlKind kind, std::string text, int left, int top,
                   int width, int height, int index = -1) {
        ControlSpec c;
        c.name = std::move(name);
        c.index = index;
        c.kind = kind;
        c.text = std::move(text);
        c.left = left;
        c.top = top;
        c.width = width;
        c.height = height;
        return c;
    };
    std::vector<ControlSpec> c;
    c.push_back(make("Label1", ControlKind::Label, "Caption", 120, 120, 1200, 300));
    c.push_back(make("Text1", ControlKind::TextBox, "text", 1440, 120, 1500, 300));
    ControlSpec picture = make("Picture2", ControlKind::PictureBox, "", 3120, 120, 600, 600);
    picture.picture = Picture::FinderTool;
    c.push_back(picture);
    c.push_back(make("Shape1", ControlKind::Shape, "", 3840, 120, 600, 600));
    c.push_back(make("Op1", ControlKind::OptionButton, "First", 120, 780, 1200, 300, 0));
    c.push_back(make("Op1", ControlKind::OptionButton, "Second", 1440, 780, 1200, 300, 1));
    c.push_back(make("Command1", ControlKind::CommandButton, "One", 120, 1200, 1200, 375));
    c.push_back(make("Command2", ControlKind::CommandButton, "Two", 1440, 1200, 1200, 375));
    ControlSpec hidden = make("Hidden", ControlKind::CommandButton, "Hidden", 2760, 1200, 900, 375);
    hidden.visible = false;
    c.push_back(hidden);
    ControlSpec disabled = make("Disabled", ControlKind::TextBox, "greyed", 3780, 1200, 900, 315);
    disabled.enabled = false;
    c.push_back(disabled);
    c.push_back(make("Combo1", ControlKind::ComboBox, "", 120, 1800, 1800, 315));
    c.push_back(make("List1", ControlKind::ListBox, "", 2040, 1800, 1200, 900));
    ControlSpec files = make("File1", ControlKind::FileList, "", 3360, 1800, 1200, 900);
    files.pattern = "*.ini";
    c.push_back(files);
    for (const char* name : {"Tick", "Clock"}) {
        ControlSpec timer = make(name, ControlKind::Timer, "", 0, 0, 0, 0);
        timer.interval_ms = 55;
        timer.enabled = false;
        c.push_back(timer);
    }
    c.push_back(make("traymenu", ControlKind::Menu, "traymenu", 0, 0, 0, 0));
    for (const char* name : {"first", "sep", "second"}) {
        ControlSpec item = make(name, ControlKind::MenuItem,
                                std::string(name) == "sep" ? "-" : std::string(name), 0, 0, 0, 0);
        item.parent = "traymenu";
        c.push_back(item);
    }
    return c;
}

// The test form on the driver's host, its controls by name ("Op1(0)").
class Rig {
  public:
    explicit Rig(HostDriver& driver) : driver_(driver) {
        form_ = driver.host().create_form(test_form_design(), recorder);
        for (const ControlSpec& design : test_control_designs()) {
            const std::string name = control_display_name(design.name, design.index);
            order_.push_back(name);
            controls_[name] = driver.host().create_control(*form_, design);
        }
    }
    ~Rig() {
        // Controls go before their form.
        controls_.clear();
        form_.reset();
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    FormWindow& form() { return *form_; }
    Control& operator[](const std::string& name) {
        const auto found = controls_.find(name);
        if (found == controls_.end())
            throw std::logic_error("no control " + name + " on the test form");
        return *found->second;
    }
    const std::vector<std::string>& names() const { return order_; }
    // Shows the form and lets its Activate event run, then forgets it.
    void show() {
        form_->set_visible(true);
        driver_.pump();
        recorder.take();
    }

    Recorder recorder;

  private:
    HostDriver& driver_;
    std::unique_ptr<FormWindow> form_;
    std::map<std::string, std::unique_ptr<Control>> controls_;
    std::vector<std::string> order_;
};

// The number of the AppError an operation raised; 0 when it raised nothing,
// -1 for an error of another kind.
inline int error_of(const std::function<void()>& operation) {
    try {
        operation();
        return 0;
    } catch (const AppError& e) {
        return e.number();
    } catch (...) {
        return -1;
    }
}

// --- The cases -------------------------------------------------------------------

struct HostCase {
    std::string name;
    std::function<void(HostDriver&, Rig&, Checks&)> run;
};

// Every operation of Control and FormWindow, tried with harmless arguments.
struct Tried {
    const char* name;
    std::function<void(Control&, HostDriver&)> call;
};

inline const std::vector<Tried>& control_operations() {
    static const std::vector<Tried> operations = {
        {"text", [](Control& c, HostDriver&) { (void)c.text(); }},
        {"set_text", [](Control& c, HostDriver&) { c.set_text("Changed"); }},
        {"visible", [](Control& c, HostDriver&) { (void)c.visible(); }},
        {"set_visible", [](Control& c, HostDriver&) { c.set_visible(false); }},
        {"enabled", [](Control& c, HostDriver&) { (void)c.enabled(); }},
        {"set_enabled", [](Control& c, HostDriver&) { c.set_enabled(true); }},
        {"back_colour", [](Control& c, HostDriver&) { (void)c.back_colour(); }},
        {"set_back_colour", [](Control& c, HostDriver&) { c.set_back_colour(0x00FF00); }},
        {"value", [](Control& c, HostDriver&) { (void)c.value(); }},
        {"set_value", [](Control& c, HostDriver&) { c.set_value(false); }},
        {"clear", [](Control& c, HostDriver&) { c.clear(); }},
        {"add_item", [](Control& c, HostDriver&) { c.add_item("item"); }},
        {"count", [](Control& c, HostDriver&) { (void)c.count(); }},
        {"item", [](Control& c, HostDriver&) { (void)c.item(0); }},
        {"list_index", [](Control& c, HostDriver&) { (void)c.list_index(); }},
        {"set_list_index", [](Control& c, HostDriver&) { c.set_list_index(-1); }},
        {"set_folder", [](Control& c, HostDriver& d) { c.set_folder(d.scratch_folder()); }},
        {"refresh", [](Control& c, HostDriver&) { c.refresh(); }},
        {"picture", [](Control& c, HostDriver&) { (void)c.picture(); }},
        {"set_picture", [](Control& c, HostDriver&) { c.set_picture(Picture::FinderTool); }},
        {"picture_handle", [](Control& c, HostDriver&) { (void)c.picture_handle(); }},
    };
    return operations;
}

inline const std::vector<Tried>& form_operations() {
    static const std::vector<Tried> operations = {
        {"mouse_pointer",
         [](Control& c, HostDriver&) { (void)dynamic_cast<FormWindow&>(c).mouse_pointer(); }},
        {"set_mouse_pointer",
         [](Control& c, HostDriver&) {
             dynamic_cast<FormWindow&>(c).set_mouse_pointer(MousePointer::Default);
         }},
        {"set_mouse_icon",
         [](Control& c, HostDriver&) {
             dynamic_cast<FormWindow&>(c).set_mouse_icon(Picture::FinderTool);
         }},
        {"placement",
         [](Control& c, HostDriver&) {
             auto& form = dynamic_cast<FormWindow&>(c);
             (void)form.left_twips();
             (void)form.top_twips();
             (void)form.width_twips();
             (void)form.height_twips();
         }},
    };
    return operations;
}

// The operations a control allows, in the order above; a refused one must
// raise error 438, anything else is reported as it came.
inline std::string allowed_operations(Control& control, HostDriver& driver, bool is_form) {
    std::string allowed;
    std::vector<Tried> operations = control_operations();
    if (is_form) {
        const auto& extra = form_operations();
        operations.insert(operations.end(), extra.begin(), extra.end());
    }
    for (const Tried& operation : operations) {
        const int error = error_of([&] { operation.call(control, driver); });
        if (error == 0) {
            allowed += (allowed.empty() ? "" : " ") + std::string(operation.name);
        } else if (error != err::kNotSupported) {
            allowed += std::string(allowed.empty() ? "" : " ") + operation.name + "!" +
                       std::to_string(error);
        }
    }
    return allowed;
}

inline std::vector<std::string> list_items(const Control& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.count(); ++i)
        items.push_back(list.item(i));
    return items;
}

inline void write_file(const std::string& folder, const std::string& name) {
    std::ofstream(std::filesystem::path(folder) / name) << "[WindowTitles]\n";
}

inline const std::vector<HostCase>& host_cases() {
    using Events = std::vector<std::string>;
    static const std::vector<HostCase> cases = {
        // --- Controls ---------------------------------------------------------
        // The logic may only use what a kind has; what it may not use must
        // fail the same way on both hosts, not work on one of them.
        {"each kind allows exactly its operations, refusing the rest with error 438",
         [](HostDriver& d, Rig& rig, Checks& check) {
             const std::pair<const char*, const char*> expected[] = {
                 {"Label1",
                  "text set_text visible set_visible enabled set_enabled back_colour "
                  "set_back_colour refresh"},
                 {"Text1",
                  "text set_text visible set_visible enabled set_enabled back_colour "
                  "set_back_colour refresh"},
                 {"Picture2",
                  "visible set_visible enabled set_enabled back_colour set_back_colour refresh "
                  "picture set_picture picture_handle"},
                 {"Shape1",
                  "visible set_visible enabled set_enabled back_colour set_back_colour refresh"},
                 {"Op1(0)",
                  "text set_text visible set_visible enabled set_enabled back_colour "
                  "set_back_colour value set_value refresh"},
                 {"Command1",
                  "text set_text visible set_visible enabled set_enabled back_colour "
                  "set_back_colour refresh"},
                 {"Combo1",
                  "text set_text visible set_visible enabled set_enabled back_colour "
                  "set_back_colour clear add_item count item list_index set_list_index refresh"},
                 {"List1",
                  "text visible set_visible enabled set_enabled back_colour set_back_colour clear "
                  "add_item count item list_index set_list_index refresh"},
                 {"File1",
                  "text visible set_visible enabled set_enabled back_colour set_back_colour count "
                  "item list_index set_list_index set_folder refresh"},
                 {"Tick", "enabled set_enabled"},
                 {"traymenu", "text set_text visible set_visible enabled set_enabled"},
                 {"first", "text set_text visible set_visible enabled set_enabled value set_value"},
             };
             for (const auto& [name, allowed] : expected)
                 check.equal(allowed_operations(rig[name], d, false), std::string(allowed), name);
             check.equal(allowed_operations(rig.form(), d, true),
                         std::string("text set_text visible set_visible enabled set_enabled "
                                     "back_colour set_back_colour refresh mouse_pointer "
                                     "set_mouse_pointer set_mouse_icon placement"),
                         "Form1");
         }},
        // The logic reads back what it set and what the design says; a
        // host that kept only one of the two would mislead it.
        {"designed and set states read back",
         [](HostDriver&, Rig& rig, Checks& check) {
             check.equal(rig["Label1"].text(), "Caption", "Label1 caption as designed");
             check.equal(rig["Hidden"].visible(), false, "Hidden as designed");
             check.equal(rig["Disabled"].enabled(), false, "Disabled as designed");
             check.equal(rig["Tick"].enabled(), false, "Tick as designed");
             check.equal(rig.form().visible(), false, "the form starts hidden");
             for (const char* name :
                  {"Label1", "Text1", "Op1(0)", "Command1", "Combo1", "traymenu", "first"}) {
                 Control& c = rig[name];
                 c.set_text("New caption");
                 check.equal(c.text(), "New caption", std::string(name) + " caption");
             }
             for (const char* name :
                  {"Label1", "Picture2", "Shape1", "Command1", "List1", "first"}) {
                 Control& c = rig[name];
                 c.set_visible(false);
                 check.equal(c.visible(), false, std::string(name) + " hidden");
                 c.set_visible(true);
                 check.equal(c.visible(), true, std::string(name) + " shown");
             }
             for (const char* name : {"Text1", "Command1", "Tick", "first", "File1"}) {
                 Control& c = rig[name];
                 c.set_enabled(false);
                 check.equal(c.enabled(), false, std::string(name) + " disabled");
                 c.set_enabled(true);
                 check.equal(c.enabled(), true, std::string(name) + " enabled");
             }
             for (const char* name : {"Label1", "Command1", "Shape1", "Picture2"}) {
                 rig[name].set_back_colour(0x80FF80);
                 check.equal(rig[name].back_colour(), Colour{0x80FF80},
                             std::string(name) + " colour");
             }
             rig.form().set_text("Form caption");
             check.equal(rig.form().text(), "Form caption", "form caption");
             rig.form().set_mouse_pointer(MousePointer::Custom);
             check.equal(static_cast<int>(rig.form().mouse_pointer()), 99, "custom pointer");
             check.expect(rig["Picture2"].picture_handle() != 0, "the finder picture's handle");
             rig["Picture2"].set_picture(Picture::None);
             check.equal(static_cast<int>(rig["Picture2"].picture()), 0, "picture emptied");
             check.equal(rig["Picture2"].picture_handle(), std::uint64_t{0}, "no picture");
         }},
        // "Read ini" and the profile box fill, select and clear lists; an
        // index past the end is the old runtime's "Invalid property value".
        {"list and combo items, selection, and indexes out of range",
         [](HostDriver&, Rig& rig, Checks& check) {
             for (const char* name : {"Combo1", "List1"}) {
                 Control& list = rig[name];
                 const std::string n = name;
                 check.equal(list.count(), 0, n + " starts empty");
                 check.equal(list.list_index(), -1, n + " starts unselected");
                 list.add_item("b item");
                 list.add_item("a item");
                 check.equal(list_items(list), Events{"b item", "a item"}, n + " keeps order");
                 check.equal(list.item(2), "", n + " item past the end");
                 check.equal(list.item(-1), "", n + " item before the start");
                 list.set_list_index(1);
                 check.equal(list.list_index(), 1, n + " selected");
                 check.equal(list.text(), "a item", n + " text is the selection");
                 check.equal(error_of([&] { list.set_list_index(2); }), err::kInvalidPropertyValue,
                             n + " index past the end");
                 check.equal(error_of([&] { list.set_list_index(-2); }), err::kInvalidPropertyValue,
                             n + " index below -1");
                 check.equal(list.list_index(), 1, n + " keeps its selection after the error");
                 list.set_list_index(-1);
                 check.equal(list.list_index(), -1, n + " unselected");
                 check.equal(list.text(), "", n + " text without a selection");
                 list.set_list_index(0);
                 list.clear();
                 check.equal(list.count(), 0, n + " cleared");
                 check.equal(list.list_index(), -1, n + " unselected by clear");
             }
         }},
        // The profile box lists the program folder's profiles through the
        // file list; "Create Ini" refreshes it.
        {"a file list shows its folder's matching files, sorted without case, when re-read",
         [](HostDriver& d, Rig& rig, Checks& check) {
             const std::string folder = d.scratch_folder();
             for (const char* name : {"b.ini", "A.INI", "c.ini", "d.txt"})
                 write_file(folder, name);
             Control& files = rig["File1"];
             check.equal(files.count(), 0, "before it has a folder");
             files.set_folder(folder);
             check.equal(list_items(files), Events{"A.INI", "b.ini", "c.ini"}, "listing");
             files.set_list_index(1);
             check.equal(files.text(), "b.ini", "text is the selection");
             write_file(folder, "e.ini");
             check.equal(files.count(), 3, "a new file before the refresh");
             files.refresh();
             check.equal(list_items(files), Events{"A.INI", "b.ini", "c.ini", "e.ini"},
                         "after the refresh");
             files.set_folder(folder + "/missing");
             check.equal(files.count(), 0, "a missing folder");
         }},
        // The finder offers its buttons through one group of options.
        {"option buttons are one group; clicking one chooses it and raises Click",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             Control& a = rig["Op1(0)"];
             Control& b = rig["Op1(1)"];
             a.set_value(true);
             check.equal(std::make_pair(a.value(), b.value()), std::make_pair(true, false),
                         "first chosen");
             b.set_value(true);
             check.equal(std::make_pair(a.value(), b.value()), std::make_pair(false, true),
                         "second chosen");
             b.set_value(false);
             check.equal(std::make_pair(a.value(), b.value()), std::make_pair(false, false),
                         "none chosen");
             d.press(a, 1);
             d.release(a, 1);
             d.pump();
             check.equal(a.value(), true, "clicked option chosen");
             check.equal(rig.recorder.take({"Op1"}), Events{"Op1(0).Click"}, "events");
         }},
        // The tray menu's check mark tells whether monitoring is off; it
        // must survive the item being hidden and shown.
        {"menu items keep caption and check mark, hidden or shown",
         [](HostDriver&, Rig& rig, Checks& check) {
             Control& second = rig["second"];
             second.set_value(true);
             check.equal(second.value(), true, "checked");
             second.set_visible(false);
             check.equal(second.value(), true, "checked while hidden");
             second.set_value(false);
             second.set_visible(true);
             check.equal(second.value(), false, "unchecked while hidden, then shown");
             second.set_text("Renamed");
             check.equal(second.text(), "Renamed", "caption");
         }},

        // --- Timers -------------------------------------------------------------
        // The watcher's timer must stop when monitoring is switched off and
        // come back when switched on again.
        {"timers tick only while enabled, and again when re-enabled",
         [](HostDriver& d, Rig& rig, Checks& check) {
             Recorder& r = rig.recorder;
             rig["Clock"].set_enabled(true);
             check.expect(d.run_until([&] { return r.count("Clock.Timer") >= 3; }, 3000),
                          "an enabled timer ticks");
             check.equal(r.count("Tick.Timer"), std::size_t{0}, "a disabled timer");
             rig["Tick"].set_enabled(true);
             check.expect(d.run_until([&] { return r.count("Tick.Timer") >= 2; }, 3000),
                          "an enabled timer ticks");
             rig["Tick"].set_enabled(false);
             const std::size_t ticks = r.count("Tick.Timer");
             const std::size_t clock = r.count("Clock.Timer");
             check.expect(d.run_until([&] { return r.count("Clock.Timer") >= clock + 4; }, 3000),
                          "the other timer goes on");
             check.equal(r.count("Tick.Timer"), ticks, "no tick after it was disabled");
             rig["Tick"].set_enabled(true);
             check.expect(d.run_until([&] { return r.count("Tick.Timer") >= ticks + 2; }, 3000),
                          "re-enabled, it ticks again");
         }},

        // --- Yields ---------------------------------------------------------------
        // Handlers yield inside handlers (walks, ticks). A steady stream of
        // events must not nest them without end: past 8 levels do_events
        // returns at once and the event waits for a level below.
        {"do_events nests at most 8 deep and returns at the cap without running anything",
         [](HostDriver& d, Rig& rig, Checks& check) {
             int depth = 0;
             int deepest = 0;
             int clicks = 0;
             std::vector<int> ran_in_yield_at_depth(16, 0);
             rig.recorder.on = [&](const UiEvent& e) {
                 if (e.control != "Command1")
                     return;
                 ++clicks;
                 ++depth;
                 deepest = std::max(deepest, depth);
                 if (clicks < 12)
                     d.post_click(rig["Command1"]);
                 const int before = clicks;
                 d.host().do_events();
                 if (depth < 16)
                     ran_in_yield_at_depth[static_cast<std::size_t>(depth)] += clicks - before;
                 --depth;
             };
             d.post_click(rig["Command1"]);
             d.pump();
             check.equal(deepest, 8, "handler levels, the loop's own do_events counted");
             check.equal(ran_in_yield_at_depth[8], 0, "the yield at the cap ran nothing");
             check.equal(clicks, 12, "every click ran in the end");
         }},
        // The watcher and the walk rely on queued events running inside
        // their yield, in order and each to completion.
        {"events waiting when a handler yields run inside the yield, in order",
         [](HostDriver& d, Rig& rig, Checks& check) {
             Events seen;
             rig.recorder.on = [&](const UiEvent& e) {
                 if (e.control == "Command1") {
                     seen.push_back("one begins");
                     d.post_click(rig["Command2"]);
                     d.host().do_events();
                     seen.push_back("one ends");
                 } else if (e.control == "Command2") {
                     seen.push_back("two");
                 }
             };
             d.post_click(rig["Command1"]);
             d.post_click(rig["Command2"]);
             d.pump();
             check.equal(seen, Events{"one begins", "two", "two", "one ends"}, "order");
         }},
        // The first-run question is asked while monitoring may be on: the
        // program's events go on under a modal box.
        {"a modal box belongs to the shown form, to nobody while hidden, and returns the answer",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.answer_next_box(mb::kResultYes);
             check.equal(d.host().message_box("Shown?", "Question", mb::kYesNo), mb::kResultYes,
                         "answer");
             check.equal(d.last_box_owner(), rig.form().hwnd(), "owner while shown");
             rig.form().set_visible(false);
             d.answer_next_box(mb::kResultNo);
             check.equal(d.host().message_box("Hidden?", "Question", mb::kYesNo), mb::kResultNo,
                         "answer");
             check.equal(d.last_box_owner(), Hwnd{0}, "owner while hidden");
             d.post_click(rig["Command1"]);
             d.answer_next_box(mb::kResultOk);
             d.host().message_box("Waiting", "Note", mb::kOk);
             check.equal(rig.recorder.take({"Command1"}), Events{"Command1.Click"},
                         "an event waiting when the box opened ran while it was open");
         }},

        // --- Pointer ----------------------------------------------------------------
        // A press beside the finder released over it must not count as the
        // finder's release.
        {"a release reaches a box only after a press on it",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.press(rig.form(), 1);
             d.move(rig["Picture2"]);
             d.release(rig["Picture2"], 1);
             d.pump();
             check.equal(rig.recorder.take({"Picture2.MouseUp", "Picture2.Click"}), Events{},
                         "release after a press on the form");
             d.press(rig.form(), 1);
             d.release(rig.form(), 1);
             d.pump();
             check.equal(rig.recorder.take({"Form1.Click"}), Events{"Form1.Click"},
                         "a press and release on the form");
         }},
        // The finder's drag: every move and the release reach it wherever
        // the pointer goes.
        {"a pressed box keeps the pointer until its button is up",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.press(rig["Picture2"], 1);
             d.move(rig.form());
             d.release(rig.form(), 1);
             d.pump();
             check.equal(
                 rig.recorder.take({"Picture2", "Form1.Click"}),
                 Events{"Picture2.MouseDown(1)", "Picture2.MouseMove(1)", "Picture2.MouseUp(1)"},
                 "released outside: no click");
             d.press(rig["Picture2"], 1);
             d.release(rig["Picture2"], 1);
             d.pump();
             check.equal(rig.recorder.take({"Picture2"}),
                         Events{"Picture2.MouseDown(1)", "Picture2.MouseUp(1)", "Picture2.Click"},
                         "released over it");
         }},
        {"a right press is ended by the right button only",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.press(rig["Picture2"], 2);
             d.release(rig["Picture2"], 1);
             d.release(rig["Picture2"], 2);
             d.pump();
             check.equal(rig.recorder.take({"Picture2"}),
                         Events{"Picture2.MouseDown(2)", "Picture2.MouseUp(2)"}, "events");
         }},
        // Alt+Tab or another program in the middle of a drag: the release
        // never comes, and the box must hear so.
        {"a capture taken away during a press ends it with LostCapture and no release",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.press(rig["Picture2"], 1);
             d.take_capture_away();
             d.release(rig["Picture2"], 1);
             d.pump();
             check.equal(rig.recorder.take({"Picture2", "Form1.Click"}),
                         Events{"Picture2.MouseDown(1)", "Picture2.LostCapture"}, "events");
         }},

        // --- Focus, activation, menus ---------------------------------------------------
        // The main window is worked with the keyboard too.
        {"Tab follows creation order over visible, enabled focusable controls; options are one "
         "stop",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             auto walk = [&](const std::string& from, bool backwards, int steps) {
                 d.focus_on(rig[from]);
                 Events visited;
                 for (int i = 0; i < steps; ++i) {
                     d.tab(backwards);
                     std::string name = "?";
                     for (const std::string& n : rig.names()) {
                         if (rig[n].hwnd() != 0 && rig[n].hwnd() == d.focus())
                             name = n;
                     }
                     visited.push_back(name);
                 }
                 return visited;
             };
             check.equal(walk("Text1", false, 8),
                         Events{"Picture2", "Op1(0)", "Command1", "Command2", "Combo1", "List1",
                                "File1", "Text1"},
                         "forwards");
             check.equal(walk("Text1", true, 2), Events{"File1", "List1"}, "backwards");
             rig["Op1(1)"].set_value(true);
             rig["Command1"].set_visible(false);
             check.equal(walk("Picture2", false, 2), Events{"Op1(1)", "Command2"},
                         "the chosen option; a hidden button skipped");
             d.focus_on(rig["Command2"]);
             rig["Command2"].set_enabled(false);
             check.equal(d.focus(), rig["Text1"].hwnd(),
                         "a disabled control hands the focus to the first stop");
         }},
        // Showing the hidden window again asks the first-run question again.
        {"showing the hidden form raises one Activate; nothing else does",
         [](HostDriver& d, Rig& rig, Checks& check) {
             FormWindow& form = rig.form();
             form.set_visible(true);
             d.pump();
             form.set_visible(true);
             d.pump();
             check.equal(rig.recorder.take({"Form1.Activate"}), Events{"Form1.Activate"},
                         "shown, then shown again");
             form.set_visible(false);
             d.pump();
             check.equal(rig.recorder.take({"Form1.Activate"}), Events{}, "hidden");
             form.set_visible(true);
             d.pump();
             check.equal(rig.recorder.take({"Form1.Activate"}), Events{"Form1.Activate"},
                         "shown again");
             // Two tray double-clicks queued: the second hides what the first showed.
             form.set_visible(false);
             form.set_visible(true);
             form.set_visible(false);
             d.pump();
             check.equal(rig.recorder.take({"Form1.Activate"}), Events{},
                         "hidden again before its Activate ran");
         }},
        // "Exit" and the monitoring switch are chosen from the tray menu;
        // the logic goes on after popup_menu knowing the choice ran.
        {"a chosen menu item's Click runs before popup_menu returns; hidden items are not there",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.choose_in_next_menu(0);
             d.host().popup_menu(rig["traymenu"]);
             check.equal(rig.recorder.take({"first", "second"}), Events{"first.Click"},
                         "the first item");
             d.choose_in_next_menu(-1);
             d.host().popup_menu(rig["traymenu"]);
             d.pump();
             check.equal(rig.recorder.take({"first", "second"}), Events{}, "dismissed");
             rig["first"].set_visible(false);
             d.choose_in_next_menu(0);
             d.host().popup_menu(rig["traymenu"]);
             check.equal(rig.recorder.take({"first", "second"}), Events{"second.Click"},
                         "with the first item hidden");
         }},

        // --- Closing and the end ------------------------------------------------------------
        // Alt+F4 must be refused; the end of the session must not be.
        {"a close request asks the program; refused the form stays, allowed it unloads and ends",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.request_close();
             d.pump();
             check.equal(rig.recorder.take(), Events{"QueryUnload(0)"}, "refused");
             check.equal(rig.form().visible(), true, "still shown");
             rig.recorder.refuse_close = false;
             d.request_close();
             d.pump();
             check.equal(rig.recorder.take(),
                         Events{"QueryUnload(0)", "Form1.Unload", "Form1.Terminate"}, "allowed");
             d.post_click(rig["Command1"]);
             d.pump();
             check.equal(rig.recorder.take(), Events{}, "nothing after the end");
         }},
        // The end of the session must not be refused, and ends the program
        // through EndSession: the system sends no close, so no unload.
        {"the end of the session asks with reason 2; allowed, EndSession follows, no unload",
         [](HostDriver& d, Rig& rig, Checks& check) {
             rig.show();
             d.end_session();
             d.pump();
             check.equal(rig.recorder.take(), Events{"QueryUnload(2)"}, "refused");
             rig.recorder.refuse_close = false;
             d.end_session();
             d.pump();
             check.equal(rig.recorder.take(), Events{"QueryUnload(2)", "Form1.EndSession"},
                         "allowed");
         }},
        // "Exit" while a tick or walk is paused: nothing of the program may
        // run after it, not even the rest of the paused handler.
        {"after end_program nothing more is delivered and a yielding handler goes no further",
         [](HostDriver& d, Rig& rig, Checks& check) {
             Events seen;
             rig.recorder.on = [&](const UiEvent& e) {
                 if (e.control != "Command1")
                     return;
                 seen.push_back("begins");
                 d.host().end_program();
                 d.host().do_events();
                 seen.push_back("goes on");
             };
             rig["Clock"].set_enabled(true);
             d.post_click(rig["Command1"]);
             d.post_click(rig["Command2"]);
             d.pump();
             d.run_until([] { return false; }, 200);
             check.equal(seen, Events{"begins"}, "the handler");
             check.equal(rig.recorder.take({"Command", "Clock"}), Events{"Command1.Click"},
                         "events");
         }},
        // "Exit" from the tray menu while the first-run question is open:
        // the handlers waiting in the menu and in the box go no further.
        {"after end_program a handler paused in a modal box or a pop-up menu goes no further",
         [](HostDriver& d, Rig& rig, Checks& check) {
             Events seen;
             rig.recorder.on = [&](const UiEvent& e) {
                 if (e.control == "Command1") {
                     d.post_click(rig["Command2"]);  // runs while the box is open
                     d.host().message_box("Waiting", "Note", mb::kOk);
                     seen.push_back("the box's handler goes on");
                 } else if (e.control == "Command2") {
                     d.choose_in_next_menu(0);
                     d.host().popup_menu(rig["traymenu"]);
                     seen.push_back("the menu's handler goes on");
                 } else if (e.control == "first") {
                     d.host().end_program();
                 }
             };
             rig.show();
             d.post_click(rig["Command1"]);
             d.pump();
             check.equal(rig.recorder.take({"Command", "first"}),
                         Events{"Command1.Click", "Command2.Click", "first.Click"}, "events");
             check.equal(seen, Events{}, "the paused handlers");
         }},
        // "Edit ini" tells the user when Notepad cannot be started.
        {"a program that cannot start raises error 53",
         [](HostDriver& d, Rig&, Checks& check) {
             check.equal(error_of([&] { d.host().start_program(d.missing_program(), 1); }),
                         err::kFileNotFound, "error");
         }},
    };
    return cases;
}

using HostCaseResult = CaseResult;

// Runs one case on a fresh driver.
inline HostCaseResult run_host_case(HostDriver& driver, const HostCase& host_case) {
    return run_checked(host_case.name, [&](Checks& check) {
        Rig rig(driver);
        host_case.run(driver, rig, check);
    });
}

}  // namespace wl::conformance
