// Any record text, read as any block type the way the editor dispatch reads it, either gives
// the parser's message or values; the record rebuilt from those values reads back as the same
// values, and rebuilding it again gives the same bytes. So an OK that changes nothing never
// changes a block's record twice, and what a dialog shows survives the round trip.
#include "editors/values/EditorValues.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // 0..27: the catalogue and a few numbers outside it (0, 7, 8 and 27 have no catalogue row).
    const auto blockType = static_cast<BlockType>(data[0] % 28);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const editors::TValuesResult read = editors::valuesFromRecord(blockType, text);
    if (!read.values) {
        if (read.error.empty())
            std::abort(); // a failure without a message
        return 0;
    }
    const std::string record = editors::recordFromValues(blockType, *read.values);
    if (!editors::dialogEditsRecord(editors::dialogKindForBlockType(blockType))) {
        if (!record.empty())
            std::abort();
        return 0;
    }
    const editors::TValuesResult again = editors::valuesFromRecord(blockType, record);
    if (!again.values || *again.values != *read.values)
        std::abort();
    if (editors::recordFromValues(blockType, *again.values) != record)
        std::abort();
    return 0;
}
