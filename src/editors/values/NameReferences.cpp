#include "editors/values/NameReferences.h"

#include "editors/values/EditorValues.h"

#include <algorithm>
#include <unordered_set>
#include <variant>

namespace editors {

namespace {

std::optional<BlockType> typeOf(const TBlockRecord& block) {
    return BlockTypeOfKind(block.kind);
}

// The name in one of the five name blocks' values, or nullptr for any other values.
std::string* nameIn(TEditorValues& values) {
    if (auto* v = std::get_if<TLabelValues>(&values))
        return &v->name;
    if (auto* v = std::get_if<TGotoValues>(&values))
        return &v->name;
    if (auto* v = std::get_if<TGotoIfValues>(&values))
        return &v->label;
    if (auto* v = std::get_if<TSubBeginValues>(&values))
        return &v->name;
    if (auto* v = std::get_if<TCallSubValues>(&values))
        return &v->name;
    return nullptr;
}

bool isNameBlock(BlockType type) {
    return nameDefinedBy(type) || nameUsedBy(type);
}

} // namespace

std::optional<TNameKind> nameDefinedBy(BlockType type) {
    switch (type) {
    case BlockType::Label:
        return TNameKind::Label;
    case BlockType::SubBegin:
        return TNameKind::Subroutine;
    default:
        return std::nullopt;
    }
}

std::optional<TNameKind> nameUsedBy(BlockType type) {
    switch (type) {
    case BlockType::Goto:
    case BlockType::GotoIf:
        return TNameKind::Label;
    case BlockType::CallSub:
        return TNameKind::Subroutine;
    default:
        return std::nullopt;
    }
}

std::optional<std::string> nameInRecord(BlockType type, std::string_view record) {
    if (!isNameBlock(type))
        return std::nullopt;
    TValuesResult read = valuesFromRecord(type, record);
    if (!read.values)
        return std::nullopt;
    const std::string* name = nameIn(*read.values);
    if (!name)
        return std::nullopt;
    return *name;
}

std::optional<std::string> recordWithName(BlockType type, std::string_view record,
                                          std::string_view name) {
    if (!isNameBlock(type))
        return std::nullopt;
    TValuesResult read = valuesFromRecord(type, record);
    if (!read.values)
        return std::nullopt;
    std::string* held = nameIn(*read.values);
    if (!held)
        return std::nullopt;
    *held = name;
    return recordFromValues(type, *read.values);
}

std::vector<std::string> definedNames(std::span<const TBlockRecord> blocks, TNameKind kind) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const TBlockRecord& block : blocks) {
        const std::optional<BlockType> type = typeOf(block);
        if (!type || nameDefinedBy(*type) != kind)
            continue;
        std::optional<std::string> name = nameInRecord(*type, block.record);
        if (name && !name->empty() && seen.insert(*name).second)
            names.push_back(std::move(*name));
    }
    return names;
}

std::vector<TRenamedBlock> referencesToFollow(std::span<const TBlockRecord> blocks,
                                              std::size_t renamed, std::string_view oldName) {
    if (renamed >= blocks.size())
        return {};
    const std::optional<BlockType> renamedType = typeOf(blocks[renamed]);
    const std::optional<TNameKind> kind = renamedType ? nameDefinedBy(*renamedType) : std::nullopt;
    if (!kind)
        return {};
    const std::optional<std::string> newName = nameInRecord(*renamedType, blocks[renamed].record);
    if (!newName || newName->empty() || oldName.empty() || *newName == oldName)
        return {};
    // Another definition of the old name takes the references over: they stay as they are.
    const std::vector<std::string> defined = definedNames(blocks, *kind);
    if (std::find(defined.begin(), defined.end(), oldName) != defined.end())
        return {};

    std::vector<TRenamedBlock> renamedBlocks;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::optional<BlockType> type = typeOf(blocks[i]);
        if (!type || nameUsedBy(*type) != kind)
            continue;
        if (nameInRecord(*type, blocks[i].record) != oldName)
            continue;
        if (std::optional<std::string> record = recordWithName(*type, blocks[i].record, *newName))
            renamedBlocks.push_back({i, std::move(*record)});
    }
    return renamedBlocks;
}

} // namespace editors
