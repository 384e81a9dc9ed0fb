// One running instance per program folder on the simulated desktop: the
// desktops of one test process share a registry of claimed folders, as the
// programs of one user session share the system's named objects. Requests go
// into the holder's event queue; waiting for its end runs that queue, as the
// other program would run by itself meanwhile.
#include <map>
#include <string>

#include "platform/sim/desktop_state.h"

namespace wl::sim {

namespace {

std::map<std::string, SimDesktop*>& claimed_folders() {
    static std::map<std::string, SimDesktop*> folders;
    return folders;
}

// Folders compare as the file system compares them: without letter case.
std::string folder_key(const std::string& folder) {
    std::string key = folder;
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

SimDesktop* holder_of(const std::string& folder) {
    const auto found = claimed_folders().find(folder_key(folder));
    return found == claimed_folders().end() ? nullptr : found->second;
}

}  // namespace

bool SimDesktop::claim_program_folder(const std::string& folder) {
    record("ClaimFolder(" + folder + ")");
    SimDesktop* holder = holder_of(folder);
    if (holder != nullptr && holder != this)
        return false;
    claimed_folders()[folder_key(folder)] = this;
    return true;
}

void SimDesktop::ask_running_instance(const std::string& folder, InstanceRequest request) {
    record(std::string("AskRunningInstance(") +
           (request == InstanceRequest::Exit ? "exit" : "show") + ")");
    SimDesktop* holder = holder_of(folder);
    if (holder == nullptr || holder == this || holder->impl_->form == nullptr)
        return;
    holder->post(UiEvent{
        holder->impl_->form_name, -1,
        request == InstanceRequest::Exit ? EventKind::ExitRequested : EventKind::ShowRequested});
}

bool SimDesktop::wait_until_folder_free(const std::string& folder, int /*timeout_ms*/) {
    record("WaitUntilFolderFree(" + folder + ")");
    SimDesktop* holder = holder_of(folder);
    if (holder != nullptr && holder != this)
        holder->do_events();
    return holder_of(folder) == nullptr || holder_of(folder) == this;
}

void SimDesktop::release_program_folder() {
    for (auto it = claimed_folders().begin(); it != claimed_folders().end();) {
        it = it->second == this ? claimed_folders().erase(it) : std::next(it);
    }
}

}  // namespace wl::sim
