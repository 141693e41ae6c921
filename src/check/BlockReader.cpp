#include "check/BlockReader.h"

#include "program/BlockStatements.h"
#include "program/RecordFields.h"
#include "records/BlockCatalog.h"

namespace check {

namespace {

using B = BlockType;

} // namespace

bool TBlockReader::readQuick(std::string_view payload) {
    m_fields.clear();
    if (program::ReadRecordFieldsQuick(payload, m_fields))
        return true;
    m_fields.clear();
    return false;
}

std::optional<files::TMessage> TBlockReader::readWithTree(std::string_view payload) {
    m_fields.clear();
    try {
        m_document.LoadFromText(payload);
    } catch (const ESimpleXMLError& error) {
        return error.Message();
    }
    const TSimpleXMLElems& children = m_document.Root().Items();
    for (int i = 0; i < children.Count(); ++i) {
        const TSimpleXMLElem* child = children.ItemAt(i);
        m_fields.emplace_back(child->Name(), child->Value);
    }
    return std::nullopt;
}

std::optional<files::TMessage> TBlockReader::read(int kind, std::string_view payload,
                                                  TBlockText& out) {
    return read(BlockTypeOfKind(kind), payload, out);
}

std::optional<files::TMessage> TBlockReader::read(std::optional<BlockType> type,
                                                  std::string_view payload, TBlockText& out) {
    out.statements.clear();
    out.name.clear();
    m_quick = false;
    if (!type)
        return std::nullopt;
    m_fields.clear();
    // End and Sub End read nothing of their record.
    if (*type != B::End && *type != B::SubEnd) {
        m_quick = readQuick(payload);
        if (!m_quick)
            if (std::optional<files::TMessage> error = readWithTree(payload))
                return error;
    }
    program::appendBlockStatements(*type, program::TRecordFields(m_fields), out.statements,
                                   &out.name);
    return std::nullopt;
}

} // namespace check
