#include "program/BlockSummary.h"

#include "program/BlockStatements.h"
#include "records/BlockCatalog.h"

#include <vector>

namespace program {

namespace {

// The text after `prefix` when `text` begins with it.
bool after(std::string_view text, std::string_view prefix, std::string_view& rest) {
    if (!text.starts_with(prefix))
        return false;
    rest = text.substr(prefix.size());
    return true;
}

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("program", wording, std::forward<Args>(args)...);
}

// The short form of a block's last statement.
files::TMessage shortForm(BlockType type, const std::vector<std::string>& statements) {
    const std::string_view last = statements.back();
    std::string_view rest;
    switch (type) {
    case BlockType::LoopBegin:
        // "FOR A=1 TO 4": how many times.
        if (const auto to = last.rfind(" TO "); to != std::string_view::npos)
            return say(ZV_TRANSLATABLE("program", "x%1"), last.substr(to + 4));
        break;
    case BlockType::Goto:
        if (after(last, "GOTO label: ", rest))
            return say(ZV_TRANSLATABLE("program", "to %1"), rest);
        break;
    case BlockType::GotoIf:
        // "IF A>3 THEN label: L1": the condition and where it goes.
        if (after(last, "IF ", rest)) {
            if (const auto then = rest.rfind(" THEN label: "); then != std::string_view::npos)
                return say(ZV_TRANSLATABLE("program", "if %1 to %2"), rest.substr(0, then),
                           rest.substr(then + 13));
        }
        break;
    case BlockType::Music:
        // "PLAY 8408F1": two characters a note.
        if (after(last, "PLAY ", rest)) {
            const std::size_t notes = (rest.size() + 1) / 2;
            if (notes == 0)
                return say(ZV_TRANSLATABLE("program", "no notes"));
            return notes == 1 ? say(ZV_TRANSLATABLE("program", "%1 note"), notes)
                              : say(ZV_TRANSLATABLE("program", "%1 notes"), notes);
        }
        break;
    default:
        break;
    }
    return files::Value(std::string(last));
}

} // namespace

TBlockSummary BlockSummary(int kind, std::string_view payload) {
    const std::optional<BlockType> type = BlockTypeOfKind(kind);
    if (!type)
        return {};
    std::vector<std::string> statements;
    if (blockStatementTexts(kind, payload, statements) || statements.empty())
        return {};
    TBlockSummary summary;
    for (const std::string& statement : statements) {
        if (!summary.statements.empty())
            summary.statements += '\n';
        summary.statements += statement;
    }
    if (!HasNamedCaption(*type) && !statements.back().empty())
        summary.value = shortForm(*type, statements);
    return summary;
}

} // namespace program
