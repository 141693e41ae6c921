#pragma once

// A parameter record's values read in one pass over its text. A record in the form the editors
// write (the XML declaration, the record element with its attributes, one child per value
// holding plain text) needs no element tree; any other record is read through the tree, which
// gives the same children and values for every record read here.

#include "program/BlockStatements.h"
#include "program/StatementRules.h"
#include "records/SimpleXML.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace program {

// A child of a record: its name and value, as views into the record's text (or into a tree).
using TRecordField = std::pair<std::string_view, std::string_view>;

// Appends the record's children to `fields` and gives true when the record has the editors'
// form; false (with `fields` in any state) when it must be read through the element tree.
bool ReadRecordFieldsQuick(std::string_view text, std::vector<TRecordField>& fields);

// A decimal number written out without a std::string.
struct TDecimal {
    char digits[12];
    std::size_t size = 0;

    explicit TDecimal(std::int32_t value) {
        size = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                        digits);
    }
    operator std::string_view() const { return {digits, size}; }
};

// A record's values as the generator reads them, over its children read either way.
class TRecordFields {
public:
    explicit TRecordFields(const std::vector<TRecordField>& fields) : m_fields(fields) {}

    // The last child of that name, in any letter case.
    std::optional<std::string_view> find(std::string_view name) const;
    // Missing, empty, not a whole number or outside 32 bits: -1.
    std::int32_t integer(std::string_view name) const {
        const std::optional<std::string_view> value = find(name);
        std::int64_t number = -1;
        if (!value || !XmlValueInt(*value, number))
            return -1;
        return int32OrMinusOne(number);
    }
    TDecimal decimal(std::string_view name) const { return TDecimal(integer(name)); }
    // The value exactly as stored; empty when the child is missing.
    std::string_view text(std::string_view name) const { return find(name).value_or(""); }
    // Texts the editors store escaped.
    std::string decoded(std::string_view name) const { return XmlDecode(text(name)); }
    char letter(std::string_view name) const { return letterCode(integer(name)); }
    // Missing or empty: on. Numbers are on unless zero, "true" and "false" in any case count,
    // and any other text is off.
    bool keyCommand() const {
        const std::optional<std::string_view> value = find("keycmd");
        return XmlValueBool(value.value_or(std::string_view()), true);
    }

private:
    const std::vector<TRecordField>& m_fields;
};

} // namespace program
