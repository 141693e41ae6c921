#pragma once

// The pieces the large-chart benchmarks build their charts from: parameter records in the form
// the editor writes them, and a chart holding the records with its blocks.

#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <string>
#include <vector>

namespace bench {

inline std::string record(int type, const std::string& children) {
    return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode type=\"" +
           std::to_string(type) + "\">\r\n" + children + "</CtrlNode>\r\n";
}

inline std::string child(const char* name, const std::string& value) {
    return "  <" + std::string(name) + ">" + value + "</" + name + ">\r\n";
}

struct Chart {
    std::vector<std::string> payloads;
    std::vector<program::BlockSource> blocks;
};

// Fills the chart's blocks from its records, the kind taken from each record's type.
inline void addBlocks(Chart& c) {
    for (const std::string& payload : c.payloads) {
        const int type = std::stoi(payload.substr(payload.find("type=\"") + 6));
        c.blocks.push_back({KindBlockBase + type, payload});
    }
}

} // namespace bench
