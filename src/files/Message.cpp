#include "files/Message.h"

namespace files {

std::string TMessage::English() const {
    if (args.empty())
        return text;
    std::string result;
    result.reserve(text.size() + 16 * args.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < args.size()) {
                result += args[n].English();
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

std::ostream& operator<<(std::ostream& out, const TMessage& message) {
    return out << message.English();
}

} // namespace files
