// zolvane record TYPE: the default parameter record of a block type, bytes exact.
#include "cli/Commands.h"
#include "records/BlockCatalog.h"

#include <charconv>
#include <iostream>

namespace cli {

int runRecord(const Args& args) {
    // A type that is not a number, or not one of the catalogue's, is a mistake in the command
    // line rather than a failure of the work: wrong usage.
    if (args.size() != 1) {
        std::cerr << "zolvane: record takes one block type\n";
        return kUsageError;
    }
    const std::string& text = args[0];
    int type = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, type);
    if (text.empty() || ec != std::errc() || ptr != end) {
        std::cerr << "zolvane: record: '" << text << "' is not a block type number\n";
        return kUsageError;
    }
    if (!IsBlockType(type)) {
        std::cerr << "zolvane: record: there is no block type " << type
                  << " (1 to 26, except 7 and 8)\n";
        return kUsageError;
    }
    const std::string record = DefaultRecord(type);
    std::cout.write(record.data(), static_cast<std::streamsize>(record.size()));
    std::cout.flush();
    return std::cout ? kSuccess : fail("record: cannot write the output");
}

} // namespace cli
