#include "cli/Commands.h"

#include <array>
#include <iostream>

namespace cli {

std::span<const Command> commands() {
    static constexpr std::array<Command, 12> table{{
        {"record", runRecord},
        {"listing", runListing},
        {"lint", runLint},
        {"chart", runChart},
        {"export", runExport},
        {"resave", runResave},
        {"check", runCheck},
        {"pack", runPack},
        {"download", runDownload},
        {"ports", runPorts},
        {"emulate", runEmulate},
        {"run", runRun},
    }};
    return table;
}

int fail(const std::string& message) {
    std::cerr << "zolvane: " << message << '\n';
    return kFailure;
}

} // namespace cli
