// Painting: the colours of the form and its controls, the graphical
// command buttons, the shapes drawn on the form, and the picture boxes.
// Drawing calls that fail are handled by leaving that one paint short: the
// next WM_PAINT draws it all again, and a box per paint would help nobody.
#include <windows.h>

#include <utility>

#include "platform/win32/host_state.h"
#include "platform/win32/window_text.h"

namespace wl::win32 {

Colour Win32Host::Impl::effective_back(const ControlRecord& record) const {
    if (record.back)
        return *record.back;
    switch (record.design.kind) {
        case ControlKind::TextBox:
        case ControlKind::ComboBox:
        case ControlKind::ListBox:
        case ControlKind::FileList:
            return static_cast<Colour>(::GetSysColor(COLOR_WINDOW));
        case ControlKind::CommandButton:
            return static_cast<Colour>(::GetSysColor(COLOR_BTNFACE));
        case ControlKind::Form:
            return rgb(192, 192, 192);
        default:
            return effective_back(controls.form());
    }
}

HBRUSH Win32Host::Impl::brush_for(ControlRecord& record) {
    const Colour colour = effective_back(record);
    if (!record.brush || record.brush_colour != colour) {
        UniqueBrush brush(::CreateSolidBrush(static_cast<COLORREF>(colour)));
        // Handled: out of GDI objects the control keeps its last brush, or
        // the system's window colour; raising would stop every repaint
        // with a box.
        if (!brush)
            return record.brush ? record.brush.get() : ::GetSysColorBrush(COLOR_WINDOW);
        record.brush = std::move(brush);
        record.brush_colour = colour;
    }
    return record.brush.get();
}

void Win32Host::Impl::repaint(const ControlRecord& record) {
    if (record.design.kind == ControlKind::Form) {
        if (window.exists()) {
            ::RedrawWindow(window.handle(), nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
    } else if (record.design.kind == ControlKind::Shape) {
        if (window.exists())
            ::InvalidateRect(window.handle(), &record.bounds, TRUE);
    } else if (record.hwnd != nullptr) {
        ::InvalidateRect(record.hwnd, nullptr, TRUE);
    }
}

LRESULT Win32Host::Impl::on_ctl_colour(UINT message, HDC dc, HWND control) {
    ControlRecord* record = controls.of_window(control);
    if (record != nullptr) {
        switch (record->design.kind) {
            case ControlKind::Label:
            case ControlKind::OptionButton:
                ::SetTextColor(dc, record->design.fore_colour ? *record->design.fore_colour
                                                              : ::GetSysColor(COLOR_WINDOWTEXT));
                ::SetBkColor(dc, effective_back(*record));
                return reinterpret_cast<LRESULT>(brush_for(*record));
            case ControlKind::TextBox:
            case ControlKind::ComboBox:
            case ControlKind::ListBox:
            case ControlKind::FileList: {
                if (!record->design.fore_colour && !record->back)
                    break;
                // A disabled or read-only text box asks with WM_CTLCOLORSTATIC.
                const bool greyed = message == WM_CTLCOLORSTATIC && !::IsWindowEnabled(control);
                ::SetTextColor(dc, greyed                       ? ::GetSysColor(COLOR_GRAYTEXT)
                                   : record->design.fore_colour ? *record->design.fore_colour
                                                                : ::GetSysColor(COLOR_WINDOWTEXT));
                ::SetBkColor(dc, effective_back(*record));
                return reinterpret_cast<LRESULT>(brush_for(*record));
            }
            case ControlKind::CommandButton:
                // Only the corners around the button face: the form's colour.
                ::SetBkColor(dc, effective_back(controls.form()));
                return reinterpret_cast<LRESULT>(brush_for(controls.form()));
            default:
                break;
        }
    }
    return ::DefWindowProcA(window.handle(), message, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
}

// A graphical command button: its back colour, the caption centred, sunken
// while pressed, etched grey text while disabled.
void Win32Host::Impl::draw_button(const DRAWITEMSTRUCT& item) {
    ControlRecord* record = controls.of_window(item.hwndItem);
    if (record == nullptr || item.CtlType != ODT_BUTTON)
        return;
    const HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::FillRect(dc, &face, brush_for(*record));
    ::DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

    const std::string caption = window_text(item.hwndItem);
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0));
    const SelectObjectScope select_font(dc, font != nullptr ? font : default_font.get());
    RECT text = face;
    ::InflateRect(&text, -3, -3);
    if (pressed)
        ::OffsetRect(&text, 1, 1);
    const int old_mode = ::SetBkMode(dc, TRANSPARENT);
    constexpr UINT kFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, caption.c_str(), -1, &shadow, kFormat);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        ::SetTextColor(dc, record->design.fore_colour ? *record->design.fore_colour
                                                      : ::GetSysColor(COLOR_BTNTEXT));
    }
    ::DrawTextA(dc, caption.c_str(), -1, &text, kFormat);
    ::SetBkMode(dc, old_mode);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = face;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

void Win32Host::Impl::fill_background(HDC dc) {
    RECT client{};
    ::GetClientRect(window.handle(), &client);
    ::FillRect(dc, &client, brush_for(controls.form()));
}

// The form's own drawing: the frames of its visible shapes.
void Win32Host::Impl::paint_form(HDC dc) {
    for (const ControlRecord* record : controls.in_order()) {
        if (record->design.kind != ControlKind::Shape || !record->visible)
            continue;
        const Colour colour = record->design.fore_colour ? *record->design.fore_colour
                              : record->back             ? *record->back
                                             : static_cast<Colour>(::GetSysColor(COLOR_WINDOWTEXT));
        const UniquePen pen(::CreatePen(PS_SOLID, 1, static_cast<COLORREF>(colour)));
        if (!pen)
            continue;  // handled: out of GDI objects the frame is left out of this paint
        const SelectObjectScope select_pen(dc, pen.get());
        const SelectObjectScope select_brush(dc, ::GetStockObject(NULL_BRUSH));
        const RECT& r = record->bounds;
        ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    }
}

void Win32Host::Impl::paint_picture(ControlRecord& record, HWND hwnd) {
    const PaintDc dc(hwnd);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    ::FillRect(dc.get(), &client, brush_for(record));
    images.draw(dc.get(), record.picture, 0, 0);
}

}  // namespace wl::win32
