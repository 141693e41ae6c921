// Any bytes read as the phrase list: the entries never hold CR, LF or NUL; they are the lines
// of the text before the first NUL, every line end made CR LF, so that written back with CR LF
// and read again they give the same entries.
#include "FuzzCheck.h"
#include "chart/PhraseList.h"
#include "files/Files.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The text before the first NUL with each line end (CR LF, lone CR, lone LF) written as
// CR LF, and a CR LF after a last line that has none.
std::string normalised(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            text += "\r\n";
        } else {
            text += bytes[i];
        }
    }
    if (!text.empty() && !text.ends_with("\r\n"))
        text += "\r\n";
    return text;
}

std::string listed(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += "[" + entry + "]";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzcheck::require;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = splitPhraseLines(bytes);

    for (const std::string& entry : entries)
        require(entry.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                "an entry holds no CR, LF or NUL", entry);

    const std::string joined = files::JoinLines(entries);
    if (joined != normalised(bytes))
        fuzzcheck::fail("the entries are the lines before the first NUL", listed(entries));
    if (splitPhraseLines(joined) != entries)
        fuzzcheck::fail("written back and read again, the same entries", listed(entries));
    return 0;
}
