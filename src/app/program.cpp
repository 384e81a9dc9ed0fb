#include "app/program.h"

#include "app/form1.h"
#include "app/start_options.h"
#include "platform/program_name.h"

namespace wl {

int run_program(Platform& platform, std::string_view arguments) {
    const StartOptions options = read_start_options(arguments);
    // One instance per folder: the watch list and profiles are the folder's,
    // and two instances would answer every box twice.
    const std::string folder = platform.files.program_folder();
    const bool claimed = platform.host.claim_program_folder(folder);
    // A mistyped switch leaves the others in force. The window, when this
    // start makes one, says so itself once it is shown.
    if (!options.unknown.empty() && (options.exit || !claimed)) {
        platform.host.message_box(unknown_switch_message(options.unknown), kProgramName,
                                  mb::kOk | mb::kIconInformation);
    }
    if (options.exit) {
        if (!claimed) {
            platform.host.ask_running_instance(folder, InstanceRequest::Exit);
            if (!platform.host.wait_until_folder_free(folder, kExitWaitMs))
                return 1;
        }
        return 0;
    }
    if (!claimed) {
        platform.host.ask_running_instance(folder, InstanceRequest::Show);
        return 0;
    }
    Form1 form(platform);
    form.start(options);
    if (!form.ended())
        platform.host.run();
    return 0;
}

}  // namespace wl
