#include "program/Listing.h"

#include "program/BlockStatements.h"
#include "records/SimpleXML.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace program {

namespace {

constexpr char kQuote = '"';

// Letters, digits and underscore continue a name. Bytes from 0x80 up are the
// code page's own letters (accented letters, both bytes of a double-byte
// character), so a name written in them is not cut in the middle either.
bool continuesName(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c >= 0x80;
}

std::string lineNumber(std::size_t position) {
    return std::to_string(10 * (position + 1));
}

// The definitions of one kind (labels or subroutines), indexed by key so that
// each statement is read once instead of once per definition.
class DefinitionIndex {
public:
    explicit DefinitionIndex(std::string_view prefix) : m_prefix(prefix) {}

    bool isDefinition(std::string_view statement) const { return statement.starts_with(m_prefix); }

    // Collects every definition among the statements, in order.
    void collect(std::span<const std::string> statements) {
        std::unordered_map<std::string, std::size_t> firstByFoldedKey;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            const std::string_view key = statements[i];
            if (!isDefinition(key))
                continue;
            // Keys equal but for letter case all lead to the first of them.
            const std::size_t first =
                firstByFoldedKey.try_emplace(foldedName(key), i).first->second;
            if (m_targets.try_emplace(key, lineNumber(first)).second)
                m_lengths.push_back(key.size());
        }
        std::sort(m_lengths.begin(), m_lengths.end(), std::greater<>());
        m_lengths.erase(std::unique(m_lengths.begin(), m_lengths.end()), m_lengths.end());
    }

    struct Match {
        std::string_view key;
        const std::string* target = nullptr;
    };

    // The longest key that counts at `position` of `statement`, if any.
    std::optional<Match> matchAt(std::string_view statement, std::size_t position) const {
        const std::string_view rest = statement.substr(position);
        if (!rest.starts_with(m_prefix))
            return std::nullopt;
        // Only keys that fit in the rest of the statement, longest first.
        const auto fitting =
            std::lower_bound(m_lengths.begin(), m_lengths.end(), rest.size(), std::greater<>());
        for (auto it = fitting; it != m_lengths.end(); ++it) {
            const std::size_t length = *it;
            if (length < rest.size() && continuesName(static_cast<unsigned char>(rest[length])))
                continue;
            const auto found = m_targets.find(rest.substr(0, length));
            if (found != m_targets.end())
                return Match{found->first, &found->second};
        }
        return std::nullopt;
    }

private:
    std::string_view m_prefix;
    // Key (exact case, a view into the statement list) to target line number.
    std::unordered_map<std::string_view, std::string> m_targets;
    // The distinct key lengths, longest first.
    std::vector<std::size_t> m_lengths;
};

// Appends one statement that is not a definition to out, its references replaced.
void appendRewritten(std::string& out, std::string_view statement, const DefinitionIndex& labels,
                     const DefinitionIndex& subs) {
    std::size_t copied = 0; // statement bytes up to here are in out
    std::size_t position = 0;
    while (position < statement.size()) {
        const char c = statement[position];
        std::optional<DefinitionIndex::Match> match;
        if (c == kLabelPrefix.front())
            match = labels.matchAt(statement, position);
        else if (c == kSubPrefix.front())
            match = subs.matchAt(statement, position);
        if (!match) {
            ++position;
            continue;
        }
        // Reading goes on after the key in the statement, never in what replaced it.
        if (position >= 2) {
            out.append(statement.substr(copied, position - copied));
            out.append(*match->target);
            copied = position + match->key.size();
        }
        position += match->key.size();
    }
    out.append(statement.substr(copied));
}

// Calls emit(entry, statement) for every statement that is not a definition, in order, its
// references replaced; the statement is a view valid during the call only.
template <typename Emit> void resolveEach(std::span<const std::string> statements, Emit&& emit) {
    DefinitionIndex labels(kLabelPrefix);
    DefinitionIndex subs(kSubPrefix);
    labels.collect(statements);
    subs.collect(statements);
    std::string rewritten; // one buffer for every statement
    for (std::size_t k = 0; k < statements.size(); ++k) {
        const std::string_view statement = statements[k];
        // A definition keeps its line number but has no line of its own.
        if (labels.isDefinition(statement) || subs.isDefinition(statement))
            continue;
        rewritten.clear();
        appendRewritten(rewritten, statement, labels, subs);
        emit(k, std::string_view(rewritten));
    }
}

} // namespace

std::string foldedName(std::string_view name) {
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return result;
}

namespace {
// Appends the text in quotes, each quote inside it doubled.
void appendQuoted(std::string& out, std::string_view text) {
    out.push_back(kQuote);
    for (const char c : text) {
        out.push_back(c);
        if (c == kQuote)
            out.push_back(kQuote);
    }
    out.push_back(kQuote);
}
} // namespace

std::string quotedForm(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    appendQuoted(result, text);
    return result;
}

std::string unquotedForm(std::string_view entry) {
    if (entry.size() < 2 || entry.front() != kQuote || entry.back() != kQuote)
        return std::string(entry);
    const std::string_view inner = entry.substr(1, entry.size() - 2);
    std::string result;
    result.reserve(inner.size());
    for (std::size_t i = 0; i < inner.size(); ++i) {
        result.push_back(inner[i]);
        if (inner[i] == kQuote && i + 1 < inner.size() && inner[i + 1] == kQuote)
            ++i;
    }
    return result;
}

bool isDefinition(std::string_view statement) {
    return statement.starts_with(kLabelPrefix) || statement.starts_with(kSubPrefix);
}

std::string listingLine(std::size_t position, std::string_view statement) {
    // Built in place: a listing has a line like this for nearly every block.
    const std::string number = lineNumber(position);
    constexpr std::string_view rem = " REM ";
    std::string line;
    line.reserve(number.size() + rem.size() + statement.size() + 2);
    line.append(number).append(rem);
    appendQuoted(line, statement);
    return line;
}

std::vector<ResolvedLine> resolveStatements(std::span<const std::string> statements) {
    std::vector<ResolvedLine> lines;
    lines.reserve(statements.size());
    resolveEach(statements, [&](std::size_t entry, std::string_view statement) {
        lines.push_back({entry, std::string(statement)});
    });
    return lines;
}

std::vector<std::string> resolveListing(std::span<const std::string> statements) {
    std::vector<std::string> lines;
    lines.reserve(statements.size());
    resolveEach(statements, [&](std::size_t entry, std::string_view statement) {
        lines.push_back(listingLine(entry, statement));
    });
    return lines;
}

namespace {

files::TMessage unsafeValueMessage(std::size_t blockNumber, std::string_view statement) {
    if (statement.find('\0') != std::string_view::npos)
        return files::Say("program",
                          ZV_TRANSLATABLE("program", "Block %1 holds a NUL byte in its values, "
                                                     "which a program line cannot carry. Open the "
                                                     "block and remove it."),
                          blockNumber);
    return files::Say("program",
                      ZV_TRANSLATABLE("program", "Block %1 holds a line break in its values, which "
                                                 "a program line cannot carry. Open the block and "
                                                 "remove it."),
                      blockNumber);
}

files::TMessage emptyStatementMessage(std::size_t blockNumber) {
    return files::Say("program",
                      ZV_TRANSLATABLE("program",
                                      "Block %1 gives no statement, and the robot cannot "
                                      "take an empty line. Open the block and fill it "
                                      "in, or delete it."),
                      blockNumber);
}

template <typename Statements>
ListingResult listingOf(std::size_t count, Statements&& statementsOfBlock) {
    std::vector<std::string> entries;
    std::vector<std::size_t> entryBlocks; // the block number of each entry
    // Most blocks give one statement, a few two or more: room for a quarter more than one each
    // spares the list most of its moves as it grows.
    entries.reserve(count + count / 4 + 1);
    entryBlocks.reserve(count + count / 4 + 1);
    entries.emplace_back(kProductName);
    entryBlocks.push_back(0);
    std::vector<std::string> block;
    TSimpleXML document; // one document reads every record in turn
    for (std::size_t i = 0; i < count; ++i) {
        if (std::optional<files::TMessage> error = statementsOfBlock(document, i, block))
            return ListingResult{{}, std::move(error), {}};
        for (std::string& statement : block) {
            // A line break would split the listing line in two (the robot would drop both
            // halves, or take the second as a line of its own); a NUL would cut it short.
            if (statement.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
                return ListingResult{{}, unsafeValueMessage(i + 1, statement), {}};
            // An empty statement makes a line the robot refuses (REM "" is no statement): the
            // download would leave it out without the pupil knowing which block it was.
            if (statement.empty())
                return ListingResult{{}, emptyStatementMessage(i + 1), {}};
            entries.push_back(std::move(statement));
            entryBlocks.push_back(i + 1);
        }
    }
    ListingResult result;
    result.lines.reserve(entries.size());
    result.lineBlocks.reserve(entries.size());
    resolveEach(entries, [&](std::size_t entry, std::string_view statement) {
        result.lines.push_back(listingLine(entry, statement));
        result.lineBlocks.push_back(entryBlocks[entry]);
    });
    return result;
}

} // namespace

ListingResult generateListing(std::span<const BlockSource> blocks) {
    return listingOf(
        blocks.size(), [&](TSimpleXML& document, std::size_t i, std::vector<std::string>& out) {
            return blockStatementTexts(document, blocks[i].kind, blocks[i].payload, out);
        });
}

ListingResult generateListingFromRecords(std::span<const std::string> records) {
    return listingOf(records.size(),
                     [&](TSimpleXML& document, std::size_t i, std::vector<std::string>& out) {
                         return recordStatementTexts(document, records[i], out);
                     });
}

} // namespace program
