// The message loop: the program's own loop until the end, the yields of
// handlers inside it, and the end itself.
#include "platform/win32/message_loop.h"

#include "platform/host.h"
#include "platform/win32/host_state.h"

namespace wl::win32 {

bool MessageLoop::end() {
    if (ended_)
        return false;
    ended_ = true;
    return true;
}

void MessageLoop::stop_if_ended() const {
    // After the end, a handler that yields goes no further; the loop's own
    // caller, outside every handler, just finds nothing to run.
    if (ended_ && handlers_running_ > 0)
        throw ProgramEnded{};
}

void MessageLoop::do_events(const Dispatch& dispatch) {
    stop_if_ended();
    if (ended_ || yield_depth_ >= kMaxYieldDepth)
        return;
    const Nesting yielding(yield_depth_);
    MSG msg;
    while (!ended_ && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch(msg);
    }
    stop_if_ended();
}

void MessageLoop::run(const Dispatch& dispatch) {
    MSG msg;
    while (!ended_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0)
            continue;  // a WM_QUIT not of ours: keep running until end_program
        dispatch(msg);
    }
}

void Win32Host::Impl::dispatch(MSG& msg) {
    if (focus.handle_tab(msg))
        return;
    if (window.exists() && ::IsDialogMessageA(window.handle(), &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

void Win32Host::Impl::do_events() {
    loop.do_events([this](MSG& msg) { dispatch(msg); });
}

void Win32Host::Impl::run() {
    loop.run([this](MSG& msg) { dispatch(msg); });
}

void Win32Host::Impl::end_program() {
    if (!loop.end())
        return;
    timers.stop_all();
    window.destroy();
    MessageLoop::quit();
}

}  // namespace wl::win32
