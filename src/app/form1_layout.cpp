// The main window's design: places in twips, texts and initial states.
#include "app/form1.h"
#include "monitor/monitor_switch.h"

namespace wl {

namespace {

constexpr Colour kSilver = rgb(192, 192, 192);
constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);

ControlSpec make(const std::string& name, ControlKind kind, const std::string& text, int left,
                 int top, int width, int height) {
    ControlSpec s;
    s.name = name;
    s.kind = kind;
    s.text = text;
    s.left = left;
    s.top = top;
    s.width = width;
    s.height = height;
    return s;
}

ControlSpec element(ControlSpec s, int index) {
    s.index = index;
    return s;
}

ControlSpec hidden(ControlSpec s) {
    s.visible = false;
    return s;
}

ControlSpec menu_item(const std::string& name, const std::string& caption, bool checked = false) {
    ControlSpec s = make(name, ControlKind::MenuItem, caption, 0, 0, 0, 0);
    s.parent = "traymenu";
    s.checked = checked;
    return s;
}

}  // namespace

FormSpec form1_design() {
    FormSpec f;
    f.name = "Form1";
    f.caption = kFormCaption;
    f.client_width = 4680;
    f.client_height = 2025;
    f.left = 3435;
    f.top = 2610;
    f.back_colour = kSilver;
    f.icon = Picture::FormIcon;
    return f;
}

// A data table, one row a control: exempt from the 60-line limit of .clang-tidy.
std::vector<ControlSpec> form1_controls() {  // NOLINT(readability-function-size)
    std::vector<ControlSpec> c;

    // Labels take no focus; they come first and keep out of the tab order.
    ControlSpec label3 = make("Label3", ControlKind::Label, "Couldn't find parent hwnd SolidWorks",
                              60, 0, 3675, 225);
    label3.visible = false;
    label3.fore_colour = kRed;
    label3.back_colour = kSilver;
    label3.centred = true;
    c.push_back(label3);
    ControlSpec label1 = make("Label1", ControlKind::Label, "Title", 0, 240, 315, 255);
    label1.back_colour = kSilver;
    c.push_back(label1);

    // The focusable controls, in tab order.
    ControlSpec pic1 = make("Pic1", ControlKind::PictureBox, "", 3720, 60, 735, 705);
    pic1.picture = Picture::Logo;
    pic1.back_colour = kSilver;
    pic1.tooltip = std::string("Go to ") + kMakerUrl;
    c.push_back(pic1);
    ControlSpec picture1 = make("Picture1", ControlKind::PictureBox, "", 0, 4200, 555, 555);
    picture1.picture = Picture::TrayIcon;
    c.push_back(picture1);
    c.push_back(make("Command1", ControlKind::CommandButton, "Edit ini", 90, 1320, 855, 315));
    c.push_back(make("Picture2", ControlKind::PictureBox, "", 3180, 240, 495, 525));
    ControlSpec text1 = make("Text1", ControlKind::TextBox, "", 360, 210, 2775, 315);
    text1.enabled = false;
    c.push_back(text1);
    c.push_back(make("Command3", ControlKind::CommandButton, "Add", 2970, 1320, 1665, 315));

    const ControlSpec cmd1 =
        hidden(make("cmd1", ControlKind::CommandButton, "", 0, 870, 1155, 345));
    const ControlSpec op1 = hidden(make("Op1", ControlKind::OptionButton, "", 0, 900, 225, 255));
    const int cmd1_left[3] = {420, 1830, 3300};
    const int op1_left[3] = {180, 1590, 3030};
    auto cmd = [&](int i) {
        ControlSpec s = element(cmd1, i);
        s.left = cmd1_left[i];
        return s;
    };
    auto op = [&](int i) {
        ControlSpec s = element(op1, i);
        s.left = op1_left[i];
        return s;
    };
    c.push_back(cmd(0));
    c.push_back(op(0));

    ControlSpec text5 = make("Text5", ControlKind::TextBox, "Z-MAK", 4050, 0, 615, 195);
    text5.fore_colour = kBlue;
    text5.back_colour = kSilver;
    text5.font = Font{"Arial", 9, true, true};
    c.push_back(text5);
    c.push_back(make("List1", ControlKind::ListBox, "", 570, 6300, 3585, 840));
    c.push_back(cmd(1));
    c.push_back(cmd(2));
    c.push_back(op(1));
    c.push_back(op(2));
    c.push_back(make("Combo1", ControlKind::ComboBox, "Combo1", 990, 1320, 1875, 315));
    ControlSpec file1 = make("File1", ControlKind::FileList, "", 660, 4050, 1875, 1065);
    file1.pattern = "*.ini";
    c.push_back(file1);
    ControlSpec command2 =
        make("Command2", ControlKind::CommandButton, kEnableCaption, 90, 1680, 4545, 315);
    command2.graphical = true;
    command2.back_colour = kOffColour;
    c.push_back(command2);
    c.push_back(
        hidden(make("Command4", ControlKind::CommandButton, "Create Ini", 990, 1320, 1935, 315)));
    c.push_back(make("Text2", ControlKind::TextBox, "Text2", -30, 3630, 9315, 315));
    c.push_back(make("Command5", ControlKind::CommandButton, "Read ini", 3360, 5670, 735, 375));
    c.push_back(make("List2", ControlKind::ListBox, "", 4230, 5370, 4695, 645));
    c.push_back(make("Text3", ControlKind::TextBox, "Text3", 4260, 4920, 3615, 375));
    c.push_back(make("Text4", ControlKind::TextBox, "Text4", 0, 3180, 2625, 315));

    // The frame around the offered buttons stays below everything else.
    ControlSpec shape1 = make("Shape1", ControlKind::Shape, "", 120, 810, 4395, 435);
    shape1.fore_colour = kBlue;
    c.push_back(shape1);

    ControlSpec timer = make("Monitor_timer", ControlKind::Timer, "", 0, 0, 0, 0);
    timer.interval_ms = 55;
    timer.enabled = false;
    c.push_back(timer);

    ControlSpec menu = hidden(make("traymenu", ControlKind::Menu, "traymenu", 0, 0, 0, 0));
    c.push_back(menu);
    c.push_back(menu_item("zmakcom", kMakerUrl));
    c.push_back(menu_item("sep2", "-"));
    // Checked while monitoring is off, which it is at start.
    c.push_back(menu_item("swenable", "Disable", true));
    c.push_back(menu_item("swopen", kOpenCaption));
    c.push_back(menu_item("sep1", "-"));
    c.push_back(menu_item("exit", "Exit"));
    return c;
}

}  // namespace wl
