#include "capture/tree_walk.h"

#include <limits>
#include <vector>

#include "platform/host_strings.h"

namespace wl::capture {

void TreeWalk::ListChildWindows(Hwnd& window) {
    FindChildWindows(window);
}

void TreeWalk::FindChildWindows(Hwnd& start) {
    if (start == 0) {
        start = windows_.desktop_window();
    }
    // The walk is a post-order recursion written with an explicit stack, so
    // a deep window chain cannot exhaust the call stack. Each entry is the
    // window a level is at; 0 means that level has run out of siblings.
    // The state is local, so a second walk started by an event that runs
    // while this one yields does not disturb it.
    std::vector<Hwnd> levels;
    levels.push_back(windows_.get_window(start, WindowRelation::Child));
    for (;;) {
        const Hwnd current = levels.back();
        if (current != 0) {
            // Keep the main window responsive during long walks: let pending
            // events run before each window, then descend into it first.
            host_.do_events();
            levels.push_back(windows_.get_window(current, WindowRelation::Child));
            continue;
        }
        levels.pop_back();
        if (levels.empty()) {
            return;
        }
        // All descendants of the window this level is at are done: the window
        // itself comes next, then its next sibling.
        Hwnd& done = levels.back();
        visit(done);
        done = windows_.get_window(done, WindowRelation::Next);
    }
}

void TreeWalk::visit(Hwnd child) {
    const std::string title = windows_.get_window_text(child, kWalkTextBufferChars);
    const std::string class_name = windows_.get_class_name(child, kWalkTextBufferChars);

    if (text::upper_ascii(class_name) == "BUTTON") {
        if (button_count < std::numeric_limits<std::int16_t>::max()) {
            ++button_count;
        }
        if (button_count >= 1 && button_count <= 3) {
            const auto k = static_cast<std::size_t>(button_count - 1);
            controls_.cmd1[k]->set_visible(true);
            controls_.Op1[k]->set_visible(true);
            controls_.Op1[0]->set_value(true);
            // The caption keeps the title as read, spaces and access-key
            // ampersands included: the watcher finds the button by it.
            controls_.cmd1[k]->set_text(title);
        }
    }

    // A title of spaces only is still a title: it is listed, as an empty
    // text before the tab.
    if (!title.empty()) {
        controls_.List1.add_item(text::trim(title) + '\t' + class_name);
    }
}

}  // namespace wl::capture
