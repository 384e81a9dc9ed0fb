// Plain value types shared by the logic and every platform implementation.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace wl {

// A window of the window system. 0 means "none". Handles are opaque: they are
// only ever tested for zero or compared for equality, never ordered or signed.
using Hwnd = std::uint64_t;
using MenuHandle = std::uint64_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// 0x00BBGGRR, red in the low byte (the window system's COLORREF layout).
using Colour = std::uint32_t;
constexpr Colour kInvalidColour = 0xFFFFFFFFu;  // what a pixel read outside a window gives
constexpr Colour rgb(unsigned r, unsigned g, unsigned b) {
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// GetWindow relations used by the tree walk.
enum class WindowRelation { Child = 5, Next = 2 };

// An error raised to a caller, carrying what the user interface layer's error
// object carries: a number, where it arose and what it means.
class AppError : public std::runtime_error {
  public:
    AppError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}
    std::int32_t number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }

  private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// Message box flags and results (the window system's values).
namespace mb {
constexpr unsigned kOk = 0x0;
constexpr unsigned kYesNo = 0x4;
constexpr unsigned kIconStop = 0x10;
constexpr unsigned kIconInformation = 0x40;
constexpr int kResultOk = 1;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;
}  // namespace mb

// ---------------------------------------------------------------------------
// The program's own user interface: control designs and events.

enum class ControlKind {
    Form,
    Label,
    TextBox,
    PictureBox,
    Shape,
    OptionButton,
    CommandButton,
    ComboBox,
    ListBox,
    FileList,
    Timer,
    Menu,      // a top-level menu that is only popped up
    MenuItem,  // caption "-" makes a separator
};

// Images the program carries in its resources.
enum class Picture { None, FinderTool, TrayIcon, Logo, FormIcon };

// Mouse pointer of the main window.
enum class MousePointer { Default = 0, Custom = 99 };

struct Font {
    std::string name;  // empty: the window's default font
    int points = 0;
    bool bold = false;
    bool italic = false;
};

// Design-time description of one control. Positions and sizes in twips.
struct ControlSpec {
    std::string name;
    int index = -1;  // element of a control array, -1 for a plain control
    ControlKind kind = ControlKind::Label;
    std::string text;
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;
    std::optional<Colour> fore_colour;
    std::optional<Colour> back_colour;
    bool graphical = false;  // command button that shows its back colour
    bool centred = false;    // label alignment
    bool checked = false;    // menu item
    Font font;
    std::string tooltip;
    Picture picture = Picture::None;  // picture box image at creation
    std::string pattern;              // file list
    int interval_ms = 0;              // timer
    std::string parent;               // menu item: name of its menu
};

// Client size and placement of the main window, in twips.
struct FormSpec {
    std::string name = "Form1";
    std::string caption;
    int client_width = 0, client_height = 0;
    int left = 0, top = 0;
    Colour back_colour = 0;
    Picture icon = Picture::None;
};

enum class EventKind {
    Click,
    DblClick,
    MouseDown,
    MouseMove,
    MouseUp,
    Timer,
    Activate,        // the form became active (start-up, shown again)
    Unload,          // form
    Terminate,       // form
    TaskbarCreated,  // the shell's taskbar was (re)created
    EndSession,      // the user's session is ending: the program must go
    LostCapture,     // a pressed control lost the pointer before its release
    ShowRequested,   // form: another start of the program in its folder asks to be shown
    ExitRequested,   // form: another start of the program in its folder asks it to end
};

// What a second start of the program asks of the instance already running
// from the same folder.
enum class InstanceRequest { Show, Exit };

struct UiEvent {
    std::string control;  // control name; "Form1" for the form's own events
    int index = -1;       // element of a control array
    EventKind kind = EventKind::Click;
    int button = 0;  // mouse events
    int shift = 0;
    float x = 0;  // twips
    float y = 0;
};

// Close-request reasons of Form_QueryUnload.
namespace unload_reason {
constexpr int kControlMenu = 0;  // system menu, Alt+F4, WM_CLOSE
constexpr int kFormCode = 1;     // the program itself
constexpr int kAppWindows = 2;   // the user's session is ending
constexpr int kTaskManager = 3;
}  // namespace unload_reason

}  // namespace wl
