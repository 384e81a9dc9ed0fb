// Form1: the one main window. It owns every control and the objects that
// hold the subsystems' state (watch list, watcher, finder), and receives
// every event of the program: all other code runs as one of its handlers.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/start_options.h"
#include "capture/finder.h"
#include "monitor/watch_list.h"
#include "monitor/watcher.h"
#include "platform/platform.h"

namespace wl {

inline constexpr const char* kMakerUrl = "http://www.z-mak.example/";
inline constexpr const char* kFormCaption = "Quillmoss v0.1";
inline constexpr const char* kOpenCaption = "Open";
inline constexpr const char* kToSysTrayCaption = "To SysTray";

// The window's design: the form and its controls in tab order, menus last.
FormSpec form1_design();
std::vector<ControlSpec> form1_controls();

class Form1 final : public EventSink {
  public:
    explicit Form1(Platform& platform);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Start-up: load, then show (which makes the window active). With
    // /monitor, monitoring is switched on after the load; with /tray, the
    // window stays hidden until the user shows it.
    void start(const StartOptions& options = {});

    // --- Life of the window ---
    void Form_Load();
    void Form_Activate();
    bool Form_QueryUnload(int unload_reason);  // true: refused
    void Form_Unload();
    void Form_Terminate();
    void Form_Click();
    void Form_DblClick();
    void exit_Click();
    void DisableCloseButton(Hwnd window);
    // Another start of the program in this folder asked to see the window.
    void Form_ShowRequested();

    // --- Tray icon and menu ---
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void swopen_Click();
    void swenable_Click();

    // --- Profiles ---
    void combo_refresh();
    void create_ini();
    void Command4_Click();  // "Create Ini"
    void Command1_Click();  // "Edit ini"
    void Command3_Click();  // "Add"

    // --- Monitoring ---
    void Command5_Click();  // "Read ini"
    void Command2_Click();  // the monitoring switch
    void Monitor_timer_Timer();

    // --- Finder tool ---
    void Picture2_MouseDown(int button, int shift, float x, float y);
    void Picture2_MouseMove(int button, int shift, float x, float y);
    void Picture2_MouseUp(int button, int shift, float x, float y);
    void Picture2_LostCapture();
    // A click on an offered button's caption chooses it, as its option does.
    void cmd1_Click(int index);

    // --- Maker links ---
    void toUrl();
    void zmakcom_Click();
    void Pic1_Click();
    void Text5_Click();
    void Label1_Click();

    // EventSink: every handler runs through here; an error that escapes one
    // is shown to the user and the program carries on.
    void on_event(const UiEvent& event) override;
    bool on_query_unload(int reason) override;

    // The controls, by their design names.
    FormWindow& form() const { return *form_; }
    Control& control(const std::string& name, int index = -1) const;

    WatchList Watch_list;
    capture::Finder& finder() { return *finder_; }
    bool ended() const { return ended_; }

    // Runs `handler` for the control's (or the form's) events of that kind.
    // Throws std::logic_error for a name the form does not have.
    using Handler = std::function<void(const UiEvent&)>;
    void bind(const std::string& control_name, EventKind kind, Handler handler);

  private:
    void bind_handlers();
    // Shows the window from the tray, in front of the others.
    void show_from_tray();
    // A profile is there to use: "Create Ini" goes, and the buttons that
    // work on it come back, "Edit ini" and "Add" only while monitoring is off.
    void enable_profile_buttons();
    // Tells the user something in a box of the program's own, or keeps it
    // for the window's first showing while a start in the notification area
    // has it hidden: nobody is there to answer a box at sign-in.
    void tell(const std::string& text);
    // Runs a handler through run_guarded: an error escaping it is shown in
    // the program's box (show_error), never fatal.
    void guarded(const std::function<void()>& handler);
    void show_error(const std::string& text);

    Platform& platform_;
    std::unique_ptr<FormWindow> form_;
    std::map<std::pair<std::string, int>, std::unique_ptr<Control>> controls_;
    std::map<std::pair<std::string, EventKind>, Handler> handlers_;
    Watcher watcher_;
    std::unique_ptr<capture::Finder> finder_;
    bool ended_ = false;
    bool hold_notices_ = false;
    std::vector<std::string> held_notices_;

  public:
    // Named shortcuts to the controls the handlers use.
    Control* Label3 = nullptr;
    Control* Text1 = nullptr;
    Control* Text2 = nullptr;
    Control* Text3 = nullptr;
    Control* Text4 = nullptr;
    Control* Text5 = nullptr;
    Control* Pic1 = nullptr;
    Control* Label1 = nullptr;
    Control* Picture1 = nullptr;
    Control* Picture2 = nullptr;
    Control* Command1 = nullptr;
    Control* Command2 = nullptr;
    Control* Command3 = nullptr;
    Control* Command4 = nullptr;
    Control* Command5 = nullptr;
    Control* Combo1 = nullptr;
    Control* File1 = nullptr;
    Control* List1 = nullptr;
    Control* List2 = nullptr;
    std::array<Control*, 3> cmd1{};
    std::array<Control*, 3> Op1{};
    Control* Monitor_timer = nullptr;
    Control* traymenu = nullptr;
    Control* swenable = nullptr;
    Control* swopen = nullptr;
};

}  // namespace wl
