#include "check/Check.h"

#include "check/Basic.h"
#include "check/BlockReader.h"
#include "check/LineMeasure.h"
#include "download/ProgramImage.h"
#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>

namespace check {

namespace {

using B = BlockType;
using K = TStatementKind;

constexpr char kHex[] = "0123456789ABCDEF";

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("check", wording, std::forward<Args>(args)...);
}

// User text inside a message: control characters written out (a message is one line) and a
// long text cut short.
std::string shown(std::string_view text, std::size_t longest = 40) {
    std::string result;
    const bool cut = text.size() > longest;
    if (cut)
        text = text.substr(0, longest);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            result += "\\r";
        else if (c == '\n')
            result += "\\n";
        else if (c == '\t')
            result += "\\t";
        else if (c == '\0')
            result += "\\0";
        else if (byte < 0x20 || byte == 0x7F) {
            result += "\\x";
            result += kHex[byte >> 4];
            result += kHex[byte & 0x0F];
        } else
            result += c;
    }
    if (cut)
        result += "...";
    return result;
}

std::string quoted(std::string_view text, std::size_t longest = 40) {
    return "\"" + shown(text, longest) + "\"";
}

// A message inside a message, its English as shown() shows it: the message itself when that
// writes nothing out and cuts nothing short, so that it is translated too.
files::TMessage shown(const files::TMessage& message, std::size_t longest) {
    const std::string english = message.English();
    std::string text = shown(english, longest);
    if (text == english)
        return message;
    return files::Value(std::move(text));
}

files::TMessage blockNumber(std::size_t block) {
    return say(ZV_TRANSLATABLE("check", "block %1"), block);
}

// A name must not hold a control character (bytes 0 to 31 and 127). Line breaks and NUL would
// split the program line or cut it short, so the listing refuses them outright. The others
// (tab among them) pass through the listing, but the block's caption does not show them and
// the name box cannot type them: a jump naming what the pupil reads as the same name would
// miss, with nothing on the screen to tell why.
std::optional<char> controlCharacter(std::string_view name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return c;
    }
    return std::nullopt;
}

files::TMessage controlCharacterText(char c) {
    if (c == '\r' || c == '\n')
        return say(ZV_TRANSLATABLE("check", "a line break, which a program line cannot carry"));
    if (c == '\0')
        return say(ZV_TRANSLATABLE("check", "a NUL byte, which a program line cannot carry"));
    if (c == '\t')
        return say(ZV_TRANSLATABLE(
            "check", "a tab, which the block does not show and the editor cannot type"));
    return say(ZV_TRANSLATABLE("check", "the control character %1, which the block does not "
                                        "show and the editor cannot type"),
               shown(std::string_view(&c, 1)));
}

// Folded, without blanks at the end: names that look alike on the screen.
std::string lookalike(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return program::foldedName(text);
}

// The two kinds of names: labels (jumped to) and subroutines (called).
enum TNameKind { kLabels = 0, kSubs = 1 };

struct TNameWords {
    std::string_view definition; // the block that defines a name
    std::string_view reference;  // what uses it
};
constexpr TNameWords kNameWords[2] = {
    {ZV_TRANSLATABLE("check", "Label"), ZV_TRANSLATABLE("check", "jump")},
    {ZV_TRANSLATABLE("check", "Sub Begin"), ZV_TRANSLATABLE("check", "call")}};

std::string_view prefixOf(TNameKind kind) {
    return kind == kLabels ? program::kLabelPrefix : program::kSubPrefix;
}

// The definitions of one kind of name, as the listing resolves them.
struct TDefinitions {
    // Key (prefix and name, exact case) to the entry of the first definition whose key equals it
    // when letter case is ignored: where every reference to the key leads.
    std::unordered_map<std::string_view, std::size_t> targets;
    std::unordered_map<std::string, std::size_t> firstByFolded;
    // Lookalike key to its first definition; made only when a name is missing.
    std::unordered_map<std::string, std::size_t> firstByLookalike;
    bool lookalikesMade = false;
};

struct TBlockState {
    std::optional<BlockType> type;
    bool readable = true;      // the record parsed
    bool unsafe = false;       // a statement holds a line break or NUL: its lines are not read
    bool nameReported = false; // the name's own error is out: its target is not reported again
    std::uint32_t firstEntry = 0;
    std::uint32_t entryCount = 0;
    // A named block's name ends its one statement.
    std::uint32_t nameLength = 0;
};

class TChecker {
public:
    explicit TChecker(std::span<const program::BlockSource> blocks) : m_sources(blocks) {}

    std::vector<TFinding> run() {
        readBlocks();
        collectDefinitions();
        checkNames();
        checkLines();
        checkValues();
        checkLoops();
        checkSubroutines();
        checkFlow();
        std::stable_sort(m_findings.begin(), m_findings.end(),
                         [](const TFinding& a, const TFinding& b) { return a.block < b.block; });
        return std::move(m_findings);
    }

private:
    void error(std::size_t block, files::TMessage message) {
        m_findings.push_back({block, TSeverity::Error, std::move(message)});
    }
    void warning(std::size_t block, files::TMessage message) {
        m_findings.push_back({block, TSeverity::Warning, std::move(message)});
    }
    const TBlockState& blockOfEntry(std::size_t entry) const {
        return m_blocks[m_entryBlock[entry] - 1];
    }
    bool isType(std::size_t block, BlockType type) const {
        return m_blocks[block - 1].type == type;
    }
    std::string_view nameOf(std::size_t block) const {
        const TBlockState& state = m_blocks[block - 1];
        if (state.entryCount == 0)
            return {};
        const std::string_view statement = m_entries[state.firstEntry];
        return statement.substr(statement.size() - state.nameLength);
    }

    // ---- reading ----

    void readBlocks() {
        m_entries.reserve(m_sources.size() + 1);
        m_entryBlock.reserve(m_sources.size() + 1);
        m_entries.emplace_back(program::kProductName);
        m_entryBlock.push_back(0);
        m_blocks.resize(m_sources.size());
        TBlockReader reader;
        TBlockText text;
        for (std::size_t i = 0; i < m_sources.size(); ++i) {
            const std::size_t block = i + 1;
            TBlockState& state = m_blocks[i];
            state.type = BlockTypeOfKind(m_sources[i].kind);
            if (std::optional<files::TMessage> failure =
                    reader.read(state.type, m_sources[i].payload, text)) {
                state.readable = false;
                error(block, say(ZV_TRANSLATABLE("check", "The %1 block's record cannot be read "
                                                          "(%2). Delete the block and put a new "
                                                          "one in its place."),
                                 BlockInfo(*state.type).caption, shown(*failure, 120)));
                continue;
            }
            state.firstEntry = static_cast<std::uint32_t>(m_entries.size());
            state.entryCount = static_cast<std::uint32_t>(text.statements.size());
            state.nameLength = static_cast<std::uint32_t>(text.name.size());
            checkCarried(block, state, text);
            for (std::string& statement : text.statements) {
                m_entries.push_back(std::move(statement));
                m_entryBlock.push_back(static_cast<std::uint32_t>(block));
            }
        }
    }

    // A name or statement holding what a program line cannot carry.
    void checkCarried(std::size_t block, TBlockState& state, const TBlockText& text) {
        const bool named = state.type == B::Label || state.type == B::Goto ||
                           state.type == B::GotoIf || state.type == B::SubBegin ||
                           state.type == B::CallSub;
        if (named) {
            if (const std::optional<char> c = controlCharacter(text.name)) {
                error(block, say(ZV_TRANSLATABLE(
                                     "check", "The name %1 holds %2. Open the block and type the "
                                              "name again."),
                                 quoted(text.name), controlCharacterText(*c)));
                state.nameReported = true;
            }
        }
        for (const std::string& statement : text.statements) {
            const auto at = std::find_if(statement.begin(), statement.end(), [](char c) {
                return c == '\r' || c == '\n' || c == '\0';
            });
            if (at == statement.end())
                continue;
            state.unsafe = true;
            // A name holding it is reported already.
            if (!state.nameReported)
                error(block,
                      *at == '\0'
                          ? say(ZV_TRANSLATABLE("check",
                                                "The block holds a NUL byte in its values, which "
                                                "a program line cannot carry. Open the block and "
                                                "remove it."))
                          : say(ZV_TRANSLATABLE("check",
                                                "The block holds a line break in its values, "
                                                "which a program line cannot carry. Open the "
                                                "block and remove it.")));
            return;
        }
    }

    // ---- names ----

    void collectDefinitions() {
        for (std::size_t k = 1; k < m_entries.size(); ++k) {
            const std::string& key = m_entries[k];
            for (const TNameKind kind : {kLabels, kSubs}) {
                if (!key.starts_with(prefixOf(kind)))
                    continue;
                TDefinitions& d = m_definitions[kind];
                const std::size_t first =
                    d.firstByFolded.try_emplace(program::foldedName(key), k).first->second;
                d.targets.try_emplace(key, first);
                if (first != k)
                    reportTwin(kind, k, first);
            }
        }
    }

    void reportTwin(TNameKind kind, std::size_t entry, std::size_t first) {
        const std::string_view prefix = prefixOf(kind);
        const std::string_view name = std::string_view(m_entries[entry]).substr(prefix.size());
        const std::string_view firstName = std::string_view(m_entries[first]).substr(prefix.size());
        const TNameWords& words = kNameWords[kind];
        const files::TMessage where = blockNumber(m_entryBlock[first]);
        warning(m_entryBlock[entry],
                name == firstName
                    ? say(ZV_TRANSLATABLE("check", "Another %1 named %2 comes first (%3): every "
                                                   "%4 to %5 goes there, so this one is never "
                                                   "reached. Rename one of them."),
                          say(words.definition), quoted(name), where, say(words.reference),
                          quoted(name))
                    : say(ZV_TRANSLATABLE("check", "The %1 %2 (%3) has the same name but for "
                                                   "letter case, which counts as the same name: "
                                                   "every %4 to %5 goes there, so this one is "
                                                   "never reached. Rename one of them."),
                          say(words.definition), quoted(firstName), where, say(words.reference),
                          quoted(name)));
    }

    void checkNames() {
        for (std::size_t i = 0; i < m_blocks.size(); ++i) {
            TBlockState& state = m_blocks[i];
            const std::size_t block = i + 1;
            if (!state.readable || state.nameReported)
                continue;
            switch (state.type.value_or(B::End)) {
            case B::Label:
                if (state.nameLength == 0)
                    warning(block, say(ZV_TRANSLATABLE("check", "The Label has no name. Give it "
                                                                "one, so that a Goto or GotoIf can "
                                                                "choose it.")));
                break;
            case B::SubBegin:
                if (state.nameLength == 0)
                    warning(block,
                            say(ZV_TRANSLATABLE("check", "The Sub Begin has no name. Give "
                                                         "the subroutine one, so that a Call "
                                                         "Sub can choose it.")));
                break;
            case B::Goto:
            case B::GotoIf:
                checkReference(block, state, kLabels);
                break;
            case B::CallSub:
                checkReference(block, state, kSubs);
                break;
            default:
                break;
            }
        }
    }

    const std::unordered_map<std::string, std::size_t>& lookalikes(TNameKind kind) {
        TDefinitions& d = m_definitions[kind];
        if (!d.lookalikesMade)
            for (std::size_t k = 1; k < m_entries.size(); ++k)
                if (m_entries[k].starts_with(prefixOf(kind)))
                    d.firstByLookalike.try_emplace(lookalike(m_entries[k]), k);
        d.lookalikesMade = true;
        return d.firstByLookalike;
    }

    void checkReference(std::size_t block, TBlockState& state, TNameKind kind) {
        const std::string_view name = nameOf(block);
        const std::string key = std::string(prefixOf(kind)) + std::string(name);
        const TDefinitions& d = m_definitions[kind];
        const std::string_view blockWord = BlockInfo(*state.type).caption;
        const std::string_view wanted = kNameWords[kind].definition;
        const auto found = d.targets.find(key);
        if (found != d.targets.end()) {
            if (name.empty())
                warning(block,
                        say(ZV_TRANSLATABLE("check", "The %1 names no %2: it goes to "
                                                     "the %2 without a name (%3). Name that "
                                                     "one and choose its name here."),
                            blockWord, say(wanted), blockNumber(m_entryBlock[found->second])));
            return;
        }
        state.nameReported = true;
        if (name.empty()) {
            error(block, kind == kLabels
                             ? say(ZV_TRANSLATABLE("check", "The %1 names no Label. Open it and "
                                                            "choose the Label to jump to."),
                                   blockWord)
                             : say(ZV_TRANSLATABLE("check", "The %1 names no Sub Begin. Open it "
                                                            "and choose the Sub Begin to call."),
                                   blockWord));
            return;
        }
        const auto alike = lookalikes(kind).find(lookalike(key));
        if (alike != lookalikes(kind).end()) {
            const std::string_view other =
                std::string_view(m_entries[alike->second]).substr(prefixOf(kind).size());
            error(block, say(ZV_TRANSLATABLE("check", "No %1 is named exactly %2: the one at %3 "
                                                      "is named %4, and names must match in "
                                                      "letter case and blanks. Choose %4 here, or "
                                                      "rename that %1."),
                             say(wanted), quoted(name), blockNumber(m_entryBlock[alike->second]),
                             quoted(other)));
            return;
        }
        const TNameKind otherKind = kind == kLabels ? kSubs : kLabels;
        const std::string otherKey = std::string(prefixOf(otherKind)) + std::string(name);
        const auto elsewhere = lookalikes(otherKind).find(lookalike(otherKey));
        if (elsewhere != lookalikes(otherKind).end()) {
            const files::TMessage at = blockNumber(m_entryBlock[elsewhere->second]);
            error(block,
                  kind == kLabels
                      ? say(ZV_TRANSLATABLE("check", "No Label is named %1; a subroutine is (Sub "
                                                     "Begin at %2), and a Goto cannot run a "
                                                     "subroutine. Use a Call Sub for it, or put a "
                                                     "Label named %1 where the jump should go."),
                            quoted(name), at)
                      : say(ZV_TRANSLATABLE("check", "No Sub Begin is named %1; a Label is (%2), "
                                                     "and a Call Sub cannot jump to a Label. Use a "
                                                     "Goto for it, or begin a subroutine with a "
                                                     "Sub Begin named %1."),
                            quoted(name), at));
            return;
        }
        error(block, kind == kLabels
                         ? say(ZV_TRANSLATABLE("check", "No Label is named %1. Put a Label named "
                                                        "%1 where the jump should go, or choose "
                                                        "the name of an existing Label."),
                               quoted(name))
                         : say(ZV_TRANSLATABLE("check", "No Sub Begin is named %1. Begin the "
                                                        "subroutine with a Sub Begin named %1, or "
                                                        "choose the name of an existing one."),
                               quoted(name)));
    }

    // ---- the listing's lines: line check, size and the robot's reading ----

    void checkLines() {
        const std::vector<program::ResolvedLine> resolved = program::resolveStatements(m_entries);
        const TListingMeasure measure = MeasureListing(resolved);

        std::vector<bool> dropped(resolved.size(), false);
        bool numbersReported = false;
        for (const download::TDroppedLine& d : measure.dropped) {
            const std::size_t i = d.position - 1;
            dropped[i] = true;
            const std::size_t entry = resolved[i].entry;
            const std::size_t block = m_entryBlock[entry];
            if (block == 0 || blockOfEntry(entry).unsafe)
                continue;
            // A listing line fails for its number or an empty statement; a NUL byte makes the
            // block unsafe, reported already (see LineMeasure.h).
            if (d.code == download::kLineBadNumber) {
                if (!numbersReported)
                    reportLineNumbers(block, entry);
                numbersReported = true;
            } else if (d.code == download::kLineNotQuoted) {
                error(block, isType(block, B::Expression)
                                 ? say(ZV_TRANSLATABLE("check", "The Expression is empty, and the "
                                                                "robot takes no empty program "
                                                                "line. Write a statement in it, "
                                                                "or remove the block."))
                                 : say(ZV_TRANSLATABLE(
                                       "check", "The block gives an empty statement (one of its "
                                                "values is outside what the block knows), and "
                                                "the robot takes no empty program line. Open the "
                                                "block and choose its values again.")));
            }
        }
        checkSize(measure, resolved, dropped);

        m_statements.assign(m_entries.size(), TStatement{});
        for (std::size_t i = 0; i < resolved.size(); ++i) {
            const std::size_t entry = resolved[i].entry;
            const std::size_t block = m_entryBlock[entry];
            const std::string& statement = resolved[i].statement;
            if (block == 0 || statement.empty() || blockOfEntry(entry).unsafe)
                continue;
            const TStatementRead read = ReadStatement(statement);
            if (read.ok)
                m_statements[entry] = read.statement;
            else
                reportUnread(block, statement, read.error);
        }
    }

    void reportLineNumbers(std::size_t block, std::size_t entry) {
        // Entry k is numbered 10 * (k + 1); the product-name line takes the first number.
        const std::size_t most = download::kMaxLineNumber / 10 - 1;
        error(block, say(ZV_TRANSLATABLE("check", "From this block on, the program lines are "
                                                  "numbered above %1 (this block's line is %2), "
                                                  "which the robot cannot number: the download "
                                                  "would leave them out. Make the program "
                                                  "shorter: it can hold %3 statements at most, "
                                                  "Labels and Sub Begins counted too."),
                         download::kMaxLineNumber, 10 * (entry + 1), most));
    }

    void checkSize(const TListingMeasure& measure,
                   const std::vector<program::ResolvedLine>& resolved,
                   const std::vector<bool>& dropped) {
        const bool imageTooLarge = measure.imageTooLarge();
        const bool memoryTooSmall = measure.tooLargeForRobot();
        if (!imageTooLarge && !memoryTooSmall)
            return;
        // The first line that goes into the image but does not fit.
        std::size_t block = m_blocks.size();
        for (std::size_t i = measure.lastLineThatFits; i < resolved.size(); ++i) {
            if (!dropped[i] && m_entryBlock[resolved[i].entry] != 0) {
                block = m_entryBlock[resolved[i].entry];
                break;
            }
        }
        const files::TMessage image =
            say(ZV_TRANSLATABLE("check", "its image takes %1 bytes, and a download carries %2 at "
                                         "most"),
                measure.imageSize, download::kMaxImageSize);
        const files::TMessage memory =
            say(ZV_TRANSLATABLE("check", "its lines need %1 bytes of program memory, and the "
                                         "robot has %2"),
                measure.memory, download::kProgramMemory);
        const files::TMessage why = !memoryTooSmall ? image
                                    : !imageTooLarge
                                        ? memory
                                        : say(ZV_TRANSLATABLE("check", "%1; %2"), image, memory);
        error(block, say(ZV_TRANSLATABLE("check", "The program is too large for one download: %1. "
                                                  "The lines from this block on do not fit; "
                                                  "remove blocks, or split the program in two."),
                         why));
    }

    void reportUnread(std::size_t block, const std::string& statement,
                      const TStatementError& failure) {
        const TBlockState& state = m_blocks[block - 1];
        constexpr std::string_view kThen = " THEN ";
        const std::size_t then = statement.rfind(kThen);
        // The name after GOTO, GOSUB or THEN has its own finding already.
        if (state.nameReported && (state.type != B::GotoIf || (then != std::string::npos &&
                                                               failure.at >= then + kThen.size())))
            return;
        const files::TMessage reading =
            failure.at >= statement.size()
                ? say(ZV_TRANSLATABLE("check", "at its end the robot expects %1"), failure.expected)
                : say(ZV_TRANSLATABLE("check", "at %1 the robot expects %2"),
                      quoted(std::string_view(statement).substr(failure.at), 24), failure.expected);
        if (state.type == B::Expression) {
            error(block, say(ZV_TRANSLATABLE("check", "The robot cannot read the expression %1: "
                                                      "%2. Write an assignment such as A=B+1, or a "
                                                      "command such as WAIT 100."),
                             quoted(statement), reading));
            return;
        }
        if (state.type == B::GotoIf && statement.starts_with("IF ") && then != std::string::npos) {
            const std::string_view condition = std::string_view(statement).substr(3, then - 3);
            if (condition.find_first_not_of(" \t") == std::string_view::npos) {
                error(block, say(ZV_TRANSLATABLE("check", "The GotoIf has no condition. Write a "
                                                          "comparison such as A>3 or PC0=1.")));
                return;
            }
            error(block, say(ZV_TRANSLATABLE("check", "The robot cannot read the condition %1: "
                                                      "%2. Write a comparison such as A>3 or "
                                                      "PC0=1, of variables A to Z, numbers and "
                                                      "sensor names, joined with AND or OR."),
                             quoted(condition), reading));
            return;
        }
        error(block, say(ZV_TRANSLATABLE("check", "The robot cannot read the statement %1 this "
                                                  "block gives: %2. Open the block and choose its "
                                                  "values again."),
                         quoted(statement), reading));
    }

    // ---- values that do nothing ----

    void checkValues() {
        for (std::size_t k = 1; k < m_entries.size(); ++k) {
            const TStatement& s = m_statements[k];
            const std::size_t block = m_entryBlock[k];
            if (s.kind == K::Wait && s.to <= 0)
                warning(block, say(ZV_TRANSLATABLE("check", "The wait time is %1, so it does not "
                                                            "wait at all. Set a time above 0, or "
                                                            "remove the block."),
                                   s.to));
            if (s.kind == K::Play && s.noNotes)
                warning(block, isType(block, B::Music)
                                   ? say(ZV_TRANSLATABLE("check", "The Music block has no notes, "
                                                                  "so it plays nothing. Open it "
                                                                  "and compose a tune, or remove "
                                                                  "the block."))
                                   : say(ZV_TRANSLATABLE("check", "The PLAY has no notes, so it "
                                                                  "plays nothing. Write the notes "
                                                                  "after PLAY, or remove it.")));
        }
    }

    // ---- loops ----

    void checkLoops() {
        struct TOpenLoop {
            char variable;
            std::size_t block;
        };
        std::vector<TOpenLoop> open;
        for (std::size_t k = 1; k < m_entries.size(); ++k) {
            const TStatement& s = m_statements[k];
            const std::size_t block = m_entryBlock[k];
            const std::string variable(1, s.variable);
            if (s.kind == K::For) {
                for (const TOpenLoop& outer : open) {
                    if (outer.variable != s.variable)
                        continue;
                    warning(block, say(ZV_TRANSLATABLE("check", "This loop counts with variable "
                                                                "%1, as does the loop around it "
                                                                "(%2): the inner loop upsets the "
                                                                "outer one's count. Give one of "
                                                                "them another variable."),
                                       variable, blockNumber(outer.block)));
                    break;
                }
                const std::int64_t count = std::int64_t{s.to} - s.from + 1;
                if (count <= 0)
                    warning(block, say(ZV_TRANSLATABLE("check", "The loop repeats %1 times (it "
                                                                "counts from %2 to %3). Set a "
                                                                "count of 1 or more, or remove "
                                                                "the loop."),
                                       count, s.from, s.to));
                open.push_back({s.variable, block});
            } else if (s.kind == K::Next) {
                auto match = std::find_if(open.rbegin(), open.rend(), [&](const TOpenLoop& l) {
                    return l.variable == s.variable;
                });
                if (match == open.rend()) {
                    error(block, say(ZV_TRANSLATABLE("check", "No loop of variable %1 is open "
                                                              "above this Loop End to close. Put "
                                                              "a Loop Begin of %1 above it, or "
                                                              "give this block the variable of "
                                                              "its Loop Begin."),
                                     variable));
                    continue;
                }
                const std::size_t kept = static_cast<std::size_t>(open.rend() - match) - 1;
                for (std::size_t j = kept + 1; j < open.size(); ++j) {
                    const std::string inner(1, open[j].variable);
                    error(open[j].block,
                          say(ZV_TRANSLATABLE("check", "The loop of variable %1 is not closed "
                                                       "before the Loop End at %2 closes the loop "
                                                       "of %3 around it. Put a Loop End of %1 "
                                                       "above %2."),
                              inner, blockNumber(block), variable));
                }
                open.resize(kept);
            }
        }
        for (const TOpenLoop& loop : open) {
            const std::string variable(1, loop.variable);
            error(loop.block, say(ZV_TRANSLATABLE("check", "The loop of variable %1 is never "
                                                           "closed. Put a Loop End of %1 below "
                                                           "the blocks to repeat."),
                                  variable));
        }
    }

    // ---- subroutines ----

    void checkSubroutines() {
        std::size_t open = 0; // the Sub Begin without its Sub End yet; 0 for none
        for (std::size_t block = 1; block <= m_blocks.size(); ++block) {
            if (!m_blocks[block - 1].readable)
                continue;
            if (isType(block, B::SubBegin)) {
                if (open != 0)
                    warning(open, say(ZV_TRANSLATABLE("check", "The subroutine %1 has no Sub End "
                                                               "before the next Sub Begin (%2), "
                                                               "so it runs on into that "
                                                               "subroutine. Put a Sub End where "
                                                               "it should return."),
                                      quoted(nameOf(open)), blockNumber(block)));
                open = block;
            } else if (isType(block, B::SubEnd)) {
                open = 0;
            }
        }
        if (open != 0)
            warning(open, say(ZV_TRANSLATABLE("check", "The subroutine %1 has no Sub End before "
                                                       "the end of the chart, so it never returns "
                                                       "to its Call Sub. Put a Sub End where it "
                                                       "should return."),
                              quoted(nameOf(open))));
    }

    // ---- the paths through the program ----

    // The entry a jump to the line number leads to: the robot goes on at the first line
    // numbered at least that.
    std::optional<std::size_t> entryOfLine(std::int64_t number) const {
        if (number <= 0)
            return std::nullopt;
        const auto entry = static_cast<std::size_t>((number + 9) / 10 - 1);
        return entry < m_entries.size() ? std::optional<std::size_t>(entry) : std::nullopt;
    }

    // Marks every entry reached from `start`. From the main program (`called` false) a RETURN is
    // recorded in m_returnsUncalled; every GOSUB target goes into m_calls.
    void walk(std::size_t start, bool called, std::vector<char>& reached) {
        std::vector<std::size_t> pending{start};
        auto go = [&](std::optional<std::size_t> entry) {
            if (entry && *entry < m_entries.size() && !reached[*entry])
                pending.push_back(*entry);
        };
        while (!pending.empty()) {
            const std::size_t k = pending.back();
            pending.pop_back();
            if (reached[k])
                continue;
            reached[k] = 1;
            const TStatement& s = m_statements[k];
            switch (s.kind) {
            case K::Goto:
                go(entryOfLine(s.target));
                break;
            case K::If:
                go(k + 1);
                go(entryOfLine(s.target));
                break;
            case K::Gosub:
                go(k + 1);
                if (const std::optional<std::size_t> target = entryOfLine(s.target))
                    m_calls.push_back(*target);
                break;
            case K::End:
                break;
            case K::Return:
                if (!called)
                    m_returnsUncalled.push_back(k);
                break;
            default:
                go(k + 1);
            }
        }
    }

    void checkFlow() {
        // Nothing to run: nothing to end either.
        if (m_entries.size() <= 1)
            return;
        std::vector<char> main(m_entries.size(), 0);
        std::vector<char> called(m_entries.size(), 0);
        walk(0, false, main);
        for (std::size_t i = 0; i < m_calls.size(); ++i)
            walk(m_calls[i], true, called);

        std::sort(m_returnsUncalled.begin(), m_returnsUncalled.end());
        std::size_t lastBlock = 0;
        for (const std::size_t k : m_returnsUncalled) {
            const std::size_t block = m_entryBlock[k];
            if (block == lastBlock)
                continue;
            lastBlock = block;
            reportUncalledReturn(block);
        }

        bool hasEnd = false;
        for (const TStatement& s : m_statements)
            hasEnd = hasEnd || s.kind == K::End;
        if (!hasEnd)
            warning(m_entryBlock.back(),
                    say(ZV_TRANSLATABLE("check", "The program has no End. Put an End at the "
                                                 "bottom of the main program, so that the robot "
                                                 "stops there.")));

        // Runs of blocks that no path reaches; a run ending in End blocks ends before them (an
        // End nothing reaches does no harm, as after an endless loop).
        auto reached = [&](std::size_t block) {
            const TBlockState& state = m_blocks[block - 1];
            for (std::size_t k = state.firstEntry; k < state.firstEntry + state.entryCount; ++k)
                if (main[k] || called[k])
                    return true;
            return false;
        };
        auto counts = [&](std::size_t block) {
            const TBlockState& state = m_blocks[block - 1];
            return state.readable && state.entryCount > 0;
        };
        std::size_t block = 1;
        while (block <= m_blocks.size()) {
            if (!counts(block) || reached(block)) {
                ++block;
                continue;
            }
            const std::size_t first = block;
            while (block <= m_blocks.size() && counts(block) && !reached(block))
                ++block;
            std::size_t last = block - 1;
            while (last >= first && isType(last, B::End))
                --last;
            if (last >= first)
                reportUnreached(first, last);
        }
    }

    void reportUncalledReturn(std::size_t block) {
        std::optional<std::size_t> begin;
        for (std::size_t b = block; b-- > 1;) {
            if (isType(b, B::SubBegin)) {
                begin = b;
                break;
            }
        }
        const files::TMessage what = isType(block, B::SubEnd)
                                         ? say(ZV_TRANSLATABLE("check", "this Sub End"))
                                         : say(ZV_TRANSLATABLE("check", "this RETURN"));
        const files::TMessage todo =
            begin ? say(ZV_TRANSLATABLE("check", "Put an End above the subroutine's Sub Begin "
                                                 "(%1)."),
                        blockNumber(*begin))
                  : say(ZV_TRANSLATABLE("check", "Put an End above it, or remove it."));
        warning(block, say(ZV_TRANSLATABLE("check", "The program runs into %1 without a Call "
                                                    "Sub, and the robot cannot return from a "
                                                    "subroutine it was not called into. %2"),
                           what, todo));
    }

    void reportUnreached(std::size_t first, std::size_t last) {
        const std::size_t after = last - first;
        const files::TMessage these =
            after == 0   ? say(ZV_TRANSLATABLE("check", "this block"))
            : after == 1 ? say(ZV_TRANSLATABLE("check", "this block and the 1 block after it (up "
                                                        "to %1)"),
                               blockNumber(last))
                         : say(ZV_TRANSLATABLE("check", "this block and the %1 blocks after it (up "
                                                        "to %2)"),
                               after, blockNumber(last));
        if (isType(first, B::SubBegin)) {
            warning(first,
                    after == 0
                        ? say(ZV_TRANSLATABLE("check", "No Call Sub that runs calls the "
                                                       "subroutine %1, and no path runs into it: "
                                                       "%2 never runs. Call it with a Call Sub, or "
                                                       "remove it."),
                              quoted(nameOf(first)), these)
                        : say(ZV_TRANSLATABLE("check", "No Call Sub that runs calls the "
                                                       "subroutine %1, and no path runs into it: "
                                                       "%2 never run. Call it with a Call Sub, or "
                                                       "remove it."),
                              quoted(nameOf(first)), these));
            return;
        }
        warning(first, after == 0
                           ? say(ZV_TRANSLATABLE("check", "No path reaches %1: the blocks above "
                                                          "end the program or jump away, and no "
                                                          "jump leads here. Remove it, or put a "
                                                          "Label above and jump to it."),
                                 these)
                           : say(ZV_TRANSLATABLE("check", "No path reaches %1: the blocks above "
                                                          "end the program or jump away, and no "
                                                          "jump leads here. Remove them, or put a "
                                                          "Label above and jump to it."),
                                 these));
    }

    std::span<const program::BlockSource> m_sources;
    std::vector<TBlockState> m_blocks;
    std::vector<std::string> m_entries;      // the listing's entries, product name first
    std::vector<std::uint32_t> m_entryBlock; // the block of each entry (0: the product name)
    TDefinitions m_definitions[2];           // labels, subroutines
    // Each entry's statement as read; one that does not read (or a definition) counts as Other.
    std::vector<TStatement> m_statements;
    std::vector<std::size_t> m_calls;           // the entries GOSUB leads to
    std::vector<std::size_t> m_returnsUncalled; // RETURN entries reached without a call
    std::vector<TFinding> m_findings;
};

} // namespace

std::string_view SeverityWord(TSeverity severity) {
    return severity == TSeverity::Error ? "error" : "warning";
}

std::vector<TFinding> CheckProgram(std::span<const program::BlockSource> blocks) {
    return TChecker(blocks).run();
}

bool HasError(std::span<const TFinding> findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const TFinding& f) { return f.severity == TSeverity::Error; });
}

} // namespace check
