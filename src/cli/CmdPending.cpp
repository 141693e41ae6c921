// Commands whose subsystem is still being built report so plainly. Each weak
// definition is replaced by the real one in its Cmd<Area>.cpp; this file goes
// away when the last command lands.
#include "cli/Commands.h"

namespace cli {

#define ZOLVANE_PENDING(fn, what)                                                                  \
    __attribute__((weak)) int fn(const Args&) { return fail(what " is not available yet"); }

ZOLVANE_PENDING(runRecord, "record")
ZOLVANE_PENDING(runListing, "listing")
ZOLVANE_PENDING(runChart, "chart")
ZOLVANE_PENDING(runResave, "resave")
ZOLVANE_PENDING(runCheck, "check")
ZOLVANE_PENDING(runPack, "pack")
ZOLVANE_PENDING(runDownload, "download")
ZOLVANE_PENDING(runPorts, "ports")
ZOLVANE_PENDING(runEmulate, "emulate")

} // namespace cli
