// The main window as the host shows it.
#pragma once

#include "platform/control.h"
#include "platform/types.h"

namespace wl {

// The main window: a control with a caption, placement and a mouse pointer.
class FormWindow : public Control {
  public:
    virtual MousePointer mouse_pointer() const = 0;
    virtual void set_mouse_pointer(MousePointer pointer) = 0;
    virtual void set_mouse_icon(Picture picture) = 0;  // the custom pointer's image
    // Outer placement in twips.
    virtual int left_twips() const = 0;
    virtual int top_twips() const = 0;
    virtual int width_twips() const = 0;
    virtual int height_twips() const = 0;
};

}  // namespace wl
