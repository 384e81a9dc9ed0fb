#include "app/program.h"

#include "app/form1.h"

namespace wl {

int run_program(Platform& platform) {
    Form1 form(platform);
    form.start();
    if (!form.ended())
        platform.host.run();
    return 0;
}

}  // namespace wl
