// The buttons held down on one control since it got the press, shared by
// every host so that they deliver the same pointer events: a release reaches
// the control only after a press on it, and a capture lost while a button is
// down ends the press with a LostCapture event instead.
#pragma once

namespace wl {

class PointerPress {
  public:
    // A button went down on the control. True when it is the first one down:
    // the host then takes the pointer capture for the control.
    bool press(int button) {
        const bool first = held_ == 0;
        held_ |= button;
        return first;
    }
    // A button came up over the control (or anywhere, while it held the
    // capture). True when that button had been pressed on it: only then does
    // the control get the release.
    bool release(int button) {
        if ((held_ & button) == 0)
            return false;
        held_ &= ~button;
        return true;
    }
    // The capture went elsewhere. True when a button was still down: the
    // press is over, and the control gets LostCapture.
    bool lose_capture() {
        const bool was_held = held_ != 0;
        held_ = 0;
        return was_held;
    }
    bool held() const { return held_ != 0; }

  private:
    int held_ = 0;  // mouse buttons: 1 left, 2 right, 4 middle
};

}  // namespace wl
