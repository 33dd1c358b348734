// The game's side of the program entry; the platform's entry (src/platform/*/..._platform.cpp)
// has installed its backends and calls this.
#include "app/main_loop.h"
#include "app/show_error.h"
#include "platform/program_entry.h"

int runGame(const PlatformShell& shell) {
    setErrorBox(shell.errorBox);
    return runProgram(*shell.windows);
}
