#pragma once

// Small charts written by hand for the checker's tests: each block a type and the children of
// its record, written as the editor writes records.

#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <string>
#include <string_view>
#include <vector>

namespace check_test {

// One child element with a value, on its own line as the editor writes it.
inline std::string child(std::string_view name, std::string_view value) {
    return "  <" + std::string(name) + ">" + std::string(value) + "</" + std::string(name) +
           ">\r\n";
}

// A record of the given type holding the given child elements (already XML).
inline std::string record(int type, std::string_view children = {}) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<CtrlNode type=\"" +
                       std::to_string(type) + "\"";
    if (children.empty())
        return text + "/>\r\n";
    return text + ">\r\n" + std::string(children) + "</CtrlNode>\r\n";
}

struct Block {
    int type = 0;
    std::string children;
    // A record given whole instead (type and children then unused for it).
    std::string payload = {};
};

// A chart's records and the sources the checker reads (views into the records).
struct Chart {
    std::vector<std::string> records;
    std::vector<program::BlockSource> sources;

    explicit Chart(const std::vector<Block>& blocks) {
        records.reserve(blocks.size());
        for (const Block& b : blocks)
            records.push_back(b.payload.empty() ? record(b.type, b.children) : b.payload);
        for (std::size_t i = 0; i < blocks.size(); ++i)
            sources.push_back({KindBlockBase + blocks[i].type, records[i]});
    }
};

// ---- the blocks by name ----

inline Block direct(int mode, std::string_view wait = "100") {
    return {1, child("mode", std::to_string(mode)) + child("wait", wait)};
}
inline Block wait(std::string_view time = "100") {
    return {5, child("wait", time)};
}
inline Block music(std::string_view content, std::string_view keycmd = "-1") {
    return {6, child("key", "2") + child("keycmd", keycmd) + child("content", content)};
}
inline Block loopBegin(int var, std::string_view times = "3") {
    return {9, child("times", times) + child("var", std::to_string(var))};
}
inline Block loopEnd(int var) {
    return {10, child("var", std::to_string(var))};
}
inline Block label(std::string_view name) {
    return {11, child("label", name)};
}
inline Block jump(std::string_view name) {
    return {12, child("label", name)};
}
// The condition and name as the editor stores them (escaped).
inline Block jumpIf(std::string_view condition, std::string_view name) {
    return {13, child("condition", condition) + child("label", name)};
}
inline Block end() {
    return {14, ""};
}
inline Block expression(std::string_view command) {
    return {20, child("command", command)};
}
inline Block analog(int var, int index) {
    return {22, child("var", std::to_string(var)) + child("index", std::to_string(index))};
}
inline Block subBegin(std::string_view name) {
    return {23, child("sub", name)};
}
inline Block subEnd() {
    return {24, ""};
}
inline Block call(std::string_view name) {
    return {25, child("sub", name)};
}

inline std::vector<Block> repeated(std::size_t count, const Block& block) {
    return std::vector<Block>(count, block);
}

inline std::vector<Block> joined(std::initializer_list<std::vector<Block>> parts) {
    std::vector<Block> all;
    for (const std::vector<Block>& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace check_test
