#include "app/form1.h"

#include <algorithm>
#include <stdexcept>

#include "app/systray.h"
#include "monitor/monitor_switch.h"
#include "monitor/watch_loader.h"
#include "platform/handler_guard.h"
#include "platform/host_strings.h"
#include "platform/program_name.h"
#include "profile/add_entry.h"
#include "profile/profiles.h"

namespace wl {

namespace {

constexpr const char* kFirstRunPrompt =
    "There is no default_wl.ini file in the path!\r\nDo you want to create it?";
constexpr const char* kFirstRunTitle = "default_wl.ini?";
constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT
constexpr int kShowNormal = 1;    // a normal window that takes the focus

}  // namespace

Form1::Form1(Platform& platform)
    : platform_(platform), watcher_(platform.windows, platform.host, Watch_list) {
    form_ = platform.host.create_form(form1_design(), *this);
    for (const ControlSpec& design : form1_controls()) {
        controls_[{design.name, design.index}] = platform.host.create_control(*form_, design);
    }
    Label3 = &control("Label3");
    Text1 = &control("Text1");
    Text2 = &control("Text2");
    Text3 = &control("Text3");
    Text4 = &control("Text4");
    Text5 = &control("Text5");
    Pic1 = &control("Pic1");
    Label1 = &control("Label1");
    Picture1 = &control("Picture1");
    Picture2 = &control("Picture2");
    Command1 = &control("Command1");
    Command2 = &control("Command2");
    Command3 = &control("Command3");
    Command4 = &control("Command4");
    Command5 = &control("Command5");
    Combo1 = &control("Combo1");
    File1 = &control("File1");
    List1 = &control("List1");
    List2 = &control("List2");
    for (int i = 0; i < 3; ++i) {
        cmd1[i] = &control("cmd1", i);
        Op1[i] = &control("Op1", i);
    }
    Monitor_timer = &control("Monitor_timer");
    traymenu = &control("traymenu");
    swenable = &control("swenable");
    swopen = &control("swopen");

    finder_ = std::make_unique<capture::Finder>(
        platform.windows, platform.host,
        capture::CaptureControls{*form_, *Label3, *Text1, *Text2, *Text4, *List1, *Picture2, cmd1,
                                 Op1});
    bind_handlers();
}

Form1::~Form1() = default;

Control& Form1::control(const std::string& name, int index) const {
    const auto it = controls_.find({name, index});
    if (it == controls_.end())
        throw std::logic_error("no control " + name);
    return *it->second;
}

void Form1::bind(const std::string& control_name, EventKind kind, Handler handler) {
    // A misspelt name would leave the handler silently unreachable.
    const bool known = control_name == form1_design().name ||
                       std::any_of(controls_.begin(), controls_.end(), [&](const auto& entry) {
                           return entry.first.first == control_name;
                       });
    if (!known) {
        throw std::logic_error("Form1 has no control named \"" + control_name +
                               "\" for a handler to be bound to");
    }
    handlers_[{control_name, kind}] = std::move(handler);
}

void Form1::bind_handlers() {
    auto on = [this](const std::string& name, EventKind kind, Handler h) {
        bind(name, kind, std::move(h));
    };
    auto plain = [](void (Form1::*m)(), Form1* self) {
        return [m, self](const UiEvent&) { (self->*m)(); };
    };
    auto mouse = [](void (Form1::*m)(int, int, float, float), Form1* self) {
        return [m, self](const UiEvent& e) { (self->*m)(e.button, e.shift, e.x, e.y); };
    };

    on("Form1", EventKind::Activate, plain(&Form1::Form_Activate, this));
    on("Form1", EventKind::Click, plain(&Form1::Form_Click, this));
    on("Form1", EventKind::DblClick, plain(&Form1::Form_DblClick, this));
    on("Form1", EventKind::Unload, plain(&Form1::Form_Unload, this));
    on("Form1", EventKind::Terminate, plain(&Form1::Form_Terminate, this));
    // A restarted taskbar has lost every icon: put ours back, or a hidden
    // window could no longer be reached.
    on("Form1", EventKind::TaskbarCreated,
       [this](const UiEvent&) { AddTrayIcon(platform_.shell, *Picture1); });
    // The user's session is ending: go quietly instead of blocking it.
    on("Form1", EventKind::EndSession, [this](const UiEvent&) { exit_Click(); });
    // A later start in this folder: "/exit" (the installer) ends this
    // instance as the tray menu's "Exit" does; any other start shows it.
    on("Form1", EventKind::ExitRequested, [this](const UiEvent&) { exit_Click(); });
    on("Form1", EventKind::ShowRequested, plain(&Form1::Form_ShowRequested, this));

    on("Command1", EventKind::Click, plain(&Form1::Command1_Click, this));
    on("Command2", EventKind::Click, plain(&Form1::Command2_Click, this));
    on("Command3", EventKind::Click, plain(&Form1::Command3_Click, this));
    on("Command4", EventKind::Click, plain(&Form1::Command4_Click, this));
    on("Command5", EventKind::Click, plain(&Form1::Command5_Click, this));
    on("Monitor_timer", EventKind::Timer, plain(&Form1::Monitor_timer_Timer, this));
    on("Picture1", EventKind::MouseMove, mouse(&Form1::Picture1_MouseMove, this));
    on("Picture2", EventKind::MouseDown, mouse(&Form1::Picture2_MouseDown, this));
    on("Picture2", EventKind::MouseMove, mouse(&Form1::Picture2_MouseMove, this));
    on("Picture2", EventKind::MouseUp, mouse(&Form1::Picture2_MouseUp, this));
    on("Picture2", EventKind::LostCapture, plain(&Form1::Picture2_LostCapture, this));
    on("cmd1", EventKind::Click, [this](const UiEvent& e) { cmd1_Click(e.index); });
    on("swenable", EventKind::Click, plain(&Form1::swenable_Click, this));
    on("swopen", EventKind::Click, plain(&Form1::swopen_Click, this));
    on("exit", EventKind::Click, plain(&Form1::exit_Click, this));
    on("zmakcom", EventKind::Click, plain(&Form1::zmakcom_Click, this));
    on("Pic1", EventKind::Click, plain(&Form1::Pic1_Click, this));
    on("Text5", EventKind::Click, plain(&Form1::Text5_Click, this));
    on("Label1", EventKind::Click, plain(&Form1::Label1_Click, this));
}

void Form1::on_event(const UiEvent& event) {
    if (ended_)
        return;
    const auto it = handlers_.find({event.control, event.kind});
    if (it == handlers_.end())
        return;
    guarded([&] { it->second(event); });
}

void Form1::guarded(const std::function<void()>& handler) {
    run_guarded(handler, [this](const std::string& text) { show_error(text); });
}

void Form1::show_error(const std::string& text) {
    platform_.host.message_box(text, kProgramName, mb::kOk | mb::kIconStop);
}

bool Form1::on_query_unload(int reason) {
    try {
        return Form_QueryUnload(reason);
    } catch (...) {
        return true;
    }
}

// --- Life of the window ------------------------------------------------------

void Form1::start(const StartOptions& options) {
    hold_notices_ = options.tray;
    if (!options.unknown.empty())
        tell(unknown_switch_message(options.unknown));
    guarded([this] { Form_Load(); });
    if (ended_)
        return;
    if (options.monitor)
        guarded([this] { Command2_Click(); });  // exactly as "Enable monitoring"
    if (!options.tray)
        form_->set_visible(true);  // the platform then raises Activate
}

void Form1::Form_Load() {
    AddTrayIcon(platform_.shell, *Picture1);
    combo_refresh();
    Command5_Click();
}

void Form1::Form_Activate() {
    hold_notices_ = false;
    std::vector<std::string> held;
    held.swap(held_notices_);
    for (const std::string& text : held) {
        tell(text);
        if (ended_)
            return;
    }
    Form_Click();
    if (File1->count() < 1) {
        const int answer = platform_.host.message_box(kFirstRunPrompt, kFirstRunTitle, mb::kYesNo);
        if (answer == mb::kResultYes) {
            create_ini();
        } else {
            Command4->set_visible(true);
            Command1->set_enabled(false);
            Command2->set_enabled(false);
            Command3->set_enabled(false);
        }
    }
    DisableCloseButton(platform_.windows.active_window());
}

void Form1::DisableCloseButton(Hwnd window) {
    const MenuHandle menu = platform_.windows.get_system_menu(window);
    if (menu == 0)
        return;
    // By command, not by position: every activation asks again, and only the
    // Close command is to go, never Move or the other items above it.
    platform_.windows.remove_menu(menu, kScClose, kMfByCommand | kMfRemove);
    platform_.windows.draw_menu_bar(window);
}

bool Form1::Form_QueryUnload(int unload_reason) {
    // Only "Exit" ends the program, and the end of the user's session, which
    // must not be blocked; every other close request is refused.
    if (unload_reason == unload_reason::kFormCode || unload_reason == unload_reason::kAppWindows) {
        return false;
    }
    return true;
}

void Form1::Form_Unload() {
    RemoveTrayIcon(platform_.shell, *Picture1);
    platform_.host.do_events();
}

void Form1::Form_Terminate() {
    Form_Unload();
}

void Form1::Form_Click() {
    Picture2->set_picture(Picture::FinderTool);
    form_->set_mouse_icon(Picture::FinderTool);
}

void Form1::Form_DblClick() {
    form_->set_visible(false);
}

void Form1::exit_Click() {
    RemoveTrayIcon(platform_.shell, *Picture1);
    ended_ = true;
    platform_.host.end_program();
}

// --- Tray icon and menu ------------------------------------------------------

void Form1::Picture1_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/) {
    const float message = x / static_cast<float>(platform_.host.twips_per_pixel_x());
    if (message == static_cast<float>(kTrayRightButtonDown)) {
        platform_.host.popup_menu(*traymenu);
    } else if (message == static_cast<float>(kTrayLeftDoubleClick)) {
        form_->set_visible(!form_->visible());
        if (form_->visible()) {
            show_from_tray();
        } else {
            swopen->set_text(kOpenCaption);
        }
    }
}

void Form1::show_from_tray() {
    form_->set_visible(true);
    swopen->set_text(kToSysTrayCaption);
    SetTopmost(platform_.windows, platform_.host, *form_, true);
}

void Form1::Form_ShowRequested() {
    show_from_tray();
}

void Form1::swopen_Click() {
    if (swopen->text() == kOpenCaption) {
        form_->set_visible(true);
        swopen->set_text(kToSysTrayCaption);
    } else {
        swopen->set_text(kOpenCaption);
        form_->set_visible(false);
    }
}

void Form1::swenable_Click() {
    wl::swenable_Click(SwitchControls{*Command2, *Command1, *Command3, *Monitor_timer, *swenable});
}

// --- Profiles ------------------------------------------------------------------

void Form1::combo_refresh() {
    wl::combo_refresh(platform_.files, *File1, *Combo1);
}

void Form1::enable_profile_buttons() {
    const bool monitoring = monitoring_on(*Command2);
    Command4->set_visible(false);
    Command1->set_enabled(!monitoring);
    Command2->set_enabled(true);
    Command3->set_enabled(!monitoring);
}

void Form1::tell(const std::string& text) {
    if (hold_notices_) {
        held_notices_.push_back(text);
        return;
    }
    platform_.host.message_box(text, kProgramName, mb::kOk | mb::kIconInformation);
}

void Form1::create_ini() {
    create_default_profile(platform_.files);
    enable_profile_buttons();
    File1->refresh();
    combo_refresh();
}

void Form1::Command4_Click() {
    create_ini();
}

void Form1::Command1_Click() {
    platform_.host.start_program(edit_command_line(platform_.files.program_folder(),
                                                   platform_.files.separator(), Combo1->text()),
                                 kShowNormal);
}

void Form1::Command3_Click() {
    add_captured_window(platform_, AddControls{Op1, cmd1, *Combo1, *Label3}, finder_->picked_title,
                        finder_->picked_class);
}

// --- Monitoring ----------------------------------------------------------------

void Form1::Command5_Click() {
    load_watch_list(platform_, LoaderControls{*Combo1, *List2, *Text3}, Watch_list,
                    [this](const std::string& text) { tell(text); });
}

void Form1::Command2_Click() {
    wl::Command2_Click(SwitchControls{*Command2, *Command1, *Command3, *Monitor_timer, *swenable});
}

void Form1::Monitor_timer_Timer() {
    watcher_.Monitor_timer_Timer();
}

// --- Finder tool -------------------------------------------------------------

void Form1::Picture2_MouseDown(int, int, float, float) {
    finder_->Picture2_MouseDown();
}
void Form1::Picture2_MouseMove(int, int, float, float) {
    finder_->Picture2_MouseMove();
}
void Form1::Picture2_MouseUp(int, int, float, float) {
    finder_->Picture2_MouseUp();
}
void Form1::Picture2_LostCapture() {
    finder_->Picture2_LostCapture();
}
void Form1::cmd1_Click(int index) {
    if (index >= 0 && index < static_cast<int>(Op1.size()))
        Op1[static_cast<std::size_t>(index)]->set_value(true);
}

// --- Maker links ---------------------------------------------------------------

void Form1::toUrl() {
    // The shell's answer is not examined: without a browser nothing happens.
    platform_.shell.shell_execute(form_->hwnd(), std::nullopt, kMakerUrl, std::nullopt, "",
                                  kShowDefault);
}

void Form1::zmakcom_Click() {
    toUrl();
}
void Form1::Pic1_Click() {
    toUrl();
}
void Form1::Text5_Click() {
    toUrl();
}
void Form1::Label1_Click() {
    toUrl();
}

}  // namespace wl
