#pragma once

// Parameter records written by hand, as a chart file or an editor leaves them.

#include "records/BlockCatalog.h"

#include <string>
#include <string_view>

namespace program_test {

// A record of the given type holding the given child elements (already XML).
inline std::string record(int type, std::string_view children = {}) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode type=\"" +
                       std::to_string(type) + "\">";
    text += children;
    text += "</CtrlNode>\r\n";
    return text;
}

// One child element with a value.
inline std::string child(std::string_view name, std::string_view value) {
    return "<" + std::string(name) + ">" + std::string(value) + "</" + std::string(name) + ">";
}

inline int kindOf(int type) {
    return KindBlockBase + type;
}

} // namespace program_test
