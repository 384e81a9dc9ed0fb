// The message loop: the program's own loop until the end, the yields of
// handlers inside it, and the end itself.
#include <windows.h>

#include "platform/nesting.h"
#include "platform/win32/host_state.h"

namespace wl::win32 {

void Win32Host::Impl::dispatch(MSG& msg) {
    if (handle_tab(msg))
        return;
    if (form != nullptr && ::IsDialogMessageA(form, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

void Win32Host::Impl::stop_if_ended() const {
    // The loop's own caller, outside every handler, has nothing to stop.
    if (ended && handlers_running > 0)
        throw ProgramEnded{};
}

void Win32Host::Impl::do_events() {
    stop_if_ended();
    if (ended || yield_depth >= kMaxYieldDepth)
        return;
    const Nesting yielding(yield_depth);
    MSG msg;
    while (!ended && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        dispatch(msg);
    }
    stop_if_ended();
}

void Win32Host::Impl::run() {
    MSG msg;
    while (!ended) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0)
            continue;  // a WM_QUIT not of ours: keep running until end_program
        dispatch(msg);
    }
}

void Win32Host::Impl::end_program() {
    if (ended)
        return;
    ended = true;
    stop_timers();
    if (form != nullptr)
        ::DestroyWindow(form);
    ::PostQuitMessage(0);
}

}  // namespace wl::win32
