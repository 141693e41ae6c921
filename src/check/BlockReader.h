#pragma once

// The statements of one block, read the way the generator reads them
// (program::blockStatementTexts) but fast enough to check a chart of ten thousand blocks while
// the pupil works: a record in the form the editor writes (the XML declaration, the record
// element with its attributes, one child per value holding plain text) is read in one pass
// over its text; any other record goes through the element tree as the generator does.

#include "files/Message.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace check {

// One block as read: its statements (plain, not quoted) and the name a Label, Goto, GotoIf,
// Sub Begin or Call Sub carries, as its statement uses it.
struct TBlockText {
    std::vector<std::string> statements;
    std::string name;
};

class TBlockReader {
public:
    // Empties `out`, then reads the block with the given object kind and parameter record. The
    // statements are those of program::blockStatementTexts for every record; a record that does
    // not parse gives the element tree's message (and no statements), as it does there.
    std::optional<files::TMessage> read(int kind, std::string_view payload, TBlockText& out);
    // The same for a block type (nothing for a kind that is not a block's).
    std::optional<files::TMessage> read(std::optional<BlockType> type, std::string_view payload,
                                        TBlockText& out);

    // Whether the last record read had the editor's form and was read without the tree.
    bool lastReadWasQuick() const { return m_quick; }

private:
    // Reads the record's values into m_fields without the element tree; false when the record
    // has some other form.
    bool readQuick(std::string_view payload);
    // The same through the element tree; the message of a parse error.
    std::optional<files::TMessage> readWithTree(std::string_view payload);

    TSimpleXML m_document;
    // The record's values in order: child name and value (views into the record text or into
    // m_document).
    std::vector<std::pair<std::string_view, std::string_view>> m_fields;
    bool m_quick = false;
};

} // namespace check
