#include "check/Basic.h"

#include "program/Listing.h"

#include <array>
#include <limits>

namespace check {

namespace {

using K = TStatementKind;

constexpr std::string_view kValue =
    ZV_TRANSLATABLE("check", "a value: a variable A to Z, a number, a port or sensor name "
                             "(PINA, PC0, MIC, ADC0, ...) or \"(\"");
constexpr std::string_view kStatementStart = ZV_TRANSLATABLE(
    "check", "a variable A to Z followed by \"=\", or a command word such as FD, WAIT or IF");

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("check", wording, std::forward<Args>(args)...);
}
constexpr std::int64_t kLargestNumber = std::numeric_limits<std::int32_t>::max();

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F');
}
// As the listing reads names: letters, digits, underscore and the code page's own letters.
bool continuesName(char c) {
    return isLetter(c) || isDigit(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool isSource(std::string_view word) {
    static constexpr std::array<std::string_view, 19> kSources{
        "PINA", "PINB", "PINC", "PIND", "PC0",  "PC1",  "PC2",  "PC3",  "PC4", "PCX",
        "MIC",  "ADC0", "ADC1", "ADC2", "ADC3", "ADC4", "ADC5", "ADC6", "ADC7"};
    for (const std::string_view source : kSources)
        if (word == source)
            return true;
    return false;
}

bool isPortCommand(std::string_view word) {
    if (word.size() == 4 && word.starts_with("DDR"))
        return word[3] >= 'A' && word[3] <= 'D';
    if (word.size() == 5 && word.starts_with("PORT"))
        return word[4] >= 'A' && word[4] <= 'D';
    return false;
}

// Commands of one integer.
bool takesOneInteger(std::string_view word) {
    static constexpr std::array<std::string_view, 7> kWords{"FD",  "BK",  "LT",    "RT",
                                                            "KEY", "LED", "VOICEX"};
    for (const std::string_view w : kWords)
        if (word == w)
            return true;
    return isPortCommand(word);
}

// Where a source name stands in the grammar's list, which is TSource's order.
TSource sourceOf(std::string_view word) {
    static constexpr std::array<std::string_view, kSourceCount> kOrder{
        "PINA", "PINB", "PINC", "PIND", "PC0",  "PC1",  "PC2",  "PC3",  "PC4", "PCX",
        "MIC",  "ADC0", "ADC1", "ADC2", "ADC3", "ADC4", "ADC5", "ADC6", "ADC7"};
    for (std::size_t i = 0; i < kOrder.size(); ++i)
        if (word == kOrder[i])
            return static_cast<TSource>(i);
    return TSource::PinA;
}

// Reads a statement for the checker (code null) or also gives its runnable form. The checker's
// path through the reader is the same either way: the code is only written beside it.
class TReader {
public:
    explicit TReader(std::string_view text, TStatementCode* code = nullptr)
        : m_text(text), m_code(code) {}

    TStatementRead read() {
        TStatementRead result;
        if (statement(result.statement) && end()) {
            result.ok = true;
            return result;
        }
        result.error = m_error;
        return result;
    }

private:
    // ---- tokens ----
    void skipBlanks() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
    }
    std::string_view rest() const { return m_text.substr(m_pos); }

    // The word at the current position (letters, then letters and digits), not taken.
    std::string_view peekWord() {
        skipBlanks();
        std::size_t end = m_pos;
        if (end < m_text.size() && isLetter(m_text[end]))
            while (end < m_text.size() && (isLetter(m_text[end]) || isDigit(m_text[end])))
                ++end;
        return m_text.substr(m_pos, end - m_pos);
    }
    bool word(std::string_view w) {
        if (peekWord() != w)
            return false;
        m_pos += w.size();
        return true;
    }
    bool symbol(char c) {
        skipBlanks();
        if (m_pos >= m_text.size() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    bool symbol(char c1, char c2) {
        skipBlanks();
        if (m_pos + 1 >= m_text.size() || m_text[m_pos] != c1 || m_text[m_pos + 1] != c2)
            return false;
        m_pos += 2;
        return true;
    }
    bool end() {
        skipBlanks();
        return m_pos >= m_text.size() ||
               fail(say(ZV_TRANSLATABLE("check", "the end of the statement")));
    }

    // Remembers what was expected at the current position; the failure furthest into the
    // statement is the one reported, as the alternatives that got further say most.
    bool fail(files::TMessage expected, bool atTarget = false) {
        skipBlanks();
        if (!m_failed || m_pos >= m_error.at) {
            // A name the listing left unresolved is what the reader meets there.
            for (const std::string_view prefix : {program::kLabelPrefix, program::kSubPrefix}) {
                if (!rest().starts_with(prefix))
                    continue;
                std::size_t end = m_pos + prefix.size();
                while (end < m_text.size() && continuesName(m_text[end]))
                    ++end;
                const std::string_view name =
                    m_text.substr(m_pos + prefix.size(), end - m_pos - prefix.size());
                expected =
                    prefix == program::kLabelPrefix
                        ? say(ZV_TRANSLATABLE("check", "%1, but no Label is named \"%2\""),
                              std::move(expected), name)
                        : say(ZV_TRANSLATABLE("check", "%1, but no Sub Begin is named \"%2\""),
                              std::move(expected), name);
            }
            m_error = {m_pos, std::move(expected), atTarget};
            m_failed = true;
        }
        return false;
    }

    // ---- the runnable form ----
    void emit(TOp op, std::int32_t value = 0) {
        if (m_code)
            m_code->code.push_back({op, value});
    }
    std::size_t emitted() const { return m_code ? m_code->code.size() : 0; }
    void unemit(std::size_t size) {
        if (m_code)
            m_code->code.resize(size);
    }
    void command(TCommand c) {
        if (m_code)
            m_code->command = c;
    }

    // ---- values ----
    bool number(std::int32_t& value) {
        skipBlanks();
        std::size_t end = m_pos;
        std::int64_t read = 0;
        while (end < m_text.size() && isDigit(m_text[end])) {
            read = read * 10 + (m_text[end] - '0');
            if (read > kLargestNumber)
                return fail(say(ZV_TRANSLATABLE("check", "a number up to %1"), kLargestNumber));
            ++end;
        }
        if (end == m_pos)
            return fail(say(ZV_TRANSLATABLE("check", "a number")));
        m_pos = end;
        value = static_cast<std::int32_t>(read);
        return true;
    }
    bool integer(std::int32_t& value) {
        const bool negative = symbol('-');
        if (!number(value))
            return false;
        if (negative)
            value = -value;
        return true;
    }
    bool line(std::int32_t& value) {
        skipBlanks();
        if (m_pos >= m_text.size() || !isDigit(m_text[m_pos]))
            return fail(say(ZV_TRANSLATABLE("check", "a line number")), true);
        return number(value);
    }
    bool variable(char& name) {
        const std::string_view w = peekWord();
        if (w.size() == 1 && w[0] >= 'A' && w[0] <= 'Z') {
            name = w[0];
            ++m_pos;
            return true;
        }
        if (w.size() == 1)
            return fail(
                say(ZV_TRANSLATABLE("check", "a variable A to Z, written as a capital letter")));
        return fail(say(ZV_TRANSLATABLE("check", "a variable A to Z")));
    }
    bool integers(std::size_t count) {
        std::int32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0 && !symbol(','))
                return fail(files::Value("\",\""));
            if (!integer(value))
                return false;
            if (m_code)
                m_code->values[i] = value;
        }
        return true;
    }

    // ---- expressions ----
    bool factor() {
        if (symbol('-')) {
            if (!factor())
                return false;
            emit(TOp::Negate);
            return true;
        }
        if (symbol('('))
            return expr() &&
                   (symbol(')') || fail(say(ZV_TRANSLATABLE("check", "\")\" or an operator"))));
        skipBlanks();
        if (m_pos < m_text.size() && isDigit(m_text[m_pos])) {
            std::int32_t value = 0;
            if (!number(value))
                return false;
            emit(TOp::Number, value);
            return true;
        }
        const std::string_view w = peekWord();
        if (w.size() == 1 && w[0] >= 'A' && w[0] <= 'Z') {
            m_pos += 1;
            emit(TOp::Variable, w[0] - 'A');
            return true;
        }
        if (isSource(w)) {
            m_pos += w.size();
            emit(TOp::Source, static_cast<std::int32_t>(sourceOf(w)));
            return true;
        }
        if (w.size() == 1)
            return fail(
                say(ZV_TRANSLATABLE("check", "a variable A to Z, written as a capital letter")));
        return fail(say(kValue));
    }
    bool term() {
        if (!factor())
            return false;
        for (;;) {
            TOp op = TOp::Multiply;
            if (symbol('*'))
                op = TOp::Multiply;
            else if (symbol('/'))
                op = TOp::Divide;
            else
                return true;
            if (!factor())
                return false;
            emit(op);
        }
    }
    bool expr() {
        if (!term())
            return false;
        for (;;) {
            TOp op = TOp::Add;
            if (symbol('+'))
                op = TOp::Add;
            else if (symbol('-'))
                op = TOp::Subtract;
            else
                return true;
            if (!term())
                return false;
            emit(op);
        }
    }
    bool comparison(TOp& op) {
        if (symbol('<', '>'))
            op = TOp::NotEqual;
        else if (symbol('<', '='))
            op = TOp::LessEqual;
        else if (symbol('>', '='))
            op = TOp::GreaterEqual;
        else if (symbol('='))
            op = TOp::Equal;
        else if (symbol('<'))
            op = TOp::Less;
        else if (symbol('>'))
            op = TOp::Greater;
        else
            return fail(say(ZV_TRANSLATABLE("check", "a comparison: =, <>, <, >, <= or >=")));
        return true;
    }
    bool relation() {
        const std::size_t start = m_pos;
        const std::size_t code = emitted();
        if (symbol('(')) {
            if (condition() && symbol(')'))
                return true;
            m_pos = start; // a bracketed value, not a bracketed condition
            unemit(code);
        }
        TOp op = TOp::Equal;
        if (!(expr() && comparison(op) && expr()))
            return false;
        emit(op);
        return true;
    }
    bool condition() {
        if (!relation())
            return false;
        for (;;) {
            TOp op = TOp::And;
            if (word("AND"))
                op = TOp::And;
            else if (word("OR"))
                op = TOp::Or;
            else
                return true;
            if (!relation())
                return false;
            emit(op);
        }
    }

    // ---- statements ----
    bool statement(TStatement& s) {
        const std::string_view w = peekWord();
        if (w.empty())
            return fail(say(kStatementStart));
        if (w.size() == 1 && w[0] >= 'A' && w[0] <= 'Z') {
            m_pos += 1;
            command(TCommand::Assign);
            if (m_code)
                m_code->variable = w[0];
            return (symbol('=') || fail(files::Value("\"=\""))) && expr();
        }
        m_pos += w.size();
        if (w == "FDX" || w == "BKX" || w == "LTX" || w == "RTX" || w == "STX") {
            command(w == "FDX"   ? TCommand::ForwardOn
                    : w == "BKX" ? TCommand::BackwardOn
                    : w == "LTX" ? TCommand::LeftOn
                    : w == "RTX" ? TCommand::RightOn
                                 : TCommand::Stop);
            return true;
        }
        if (w == "END") {
            s.kind = K::End;
            command(TCommand::End);
            return true;
        }
        if (w == "RETURN") {
            s.kind = K::Return;
            command(TCommand::Return);
            return true;
        }
        if (w == "WAIT") {
            s.kind = K::Wait;
            command(TCommand::Wait);
            if (!integer(s.to))
                return false;
            if (m_code)
                m_code->values[0] = s.to;
            return true;
        }
        if (takesOneInteger(w)) {
            if (isPortCommand(w)) {
                command(w.starts_with("DDR") ? TCommand::Ddr : TCommand::Port);
                if (m_code)
                    m_code->port = w.back() - 'A';
            } else {
                command(w == "FD"    ? TCommand::Forward
                        : w == "BK"  ? TCommand::Backward
                        : w == "LT"  ? TCommand::Left
                        : w == "RT"  ? TCommand::Right
                        : w == "KEY" ? TCommand::Key
                        : w == "LED" ? TCommand::Led
                                     : TCommand::Voice);
            }
            return integers(1);
        }
        if (w == "MOTOR") {
            command(TCommand::Motor);
            return integers(2);
        }
        if (w == "SERVOE") {
            command(TCommand::Servo);
            return integers(6);
        }
        if (w == "PLAY") {
            s.kind = K::Play;
            command(TCommand::Play);
            skipBlanks();
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && isHexDigit(m_text[m_pos]))
                ++m_pos;
            s.noNotes = m_pos == start;
            if (m_code)
                m_code->notes = m_text.substr(start, m_pos - start);
            skipBlanks();
            return m_pos >= m_text.size() ||
                   fail(say(ZV_TRANSLATABLE("check", "notes: the digits 0 to 9 and A to F")));
        }
        if (w == "FOR") {
            s.kind = K::For;
            command(TCommand::For);
            if (!(variable(s.variable) && (symbol('=') || fail(files::Value("\"=\""))) &&
                  integer(s.from) && (word("TO") || fail(files::Value("TO"))) && integer(s.to)))
                return false;
            if (m_code) {
                m_code->variable = s.variable;
                m_code->values[0] = s.from;
                m_code->values[1] = s.to;
            }
            return true;
        }
        if (w == "NEXT") {
            s.kind = K::Next;
            command(TCommand::Next);
            if (!variable(s.variable))
                return false;
            if (m_code)
                m_code->variable = s.variable;
            return true;
        }
        if (w == "GOTO" || w == "GOSUB") {
            s.kind = w == "GOTO" ? K::Goto : K::Gosub;
            command(w == "GOTO" ? TCommand::Goto : TCommand::Gosub);
            if (!line(s.target))
                return false;
            if (m_code)
                m_code->target = s.target;
            return true;
        }
        if (w == "IF") {
            s.kind = K::If;
            command(TCommand::If);
            if (!(condition() &&
                  (word("THEN") ||
                   fail(say(ZV_TRANSLATABLE("check", "AND, OR, THEN or an operator")))) &&
                  line(s.target)))
                return false;
            if (m_code)
                m_code->target = s.target;
            return true;
        }
        m_pos -= w.size();
        if (w.size() == 1)
            return fail(
                say(ZV_TRANSLATABLE("check", "a variable A to Z, written as a capital letter")));
        return fail(say(kStatementStart));
    }

    std::string_view m_text;
    TStatementCode* m_code = nullptr;
    std::size_t m_pos = 0;
    TStatementError m_error;
    bool m_failed = false;
};

} // namespace

TStatementRead ReadStatement(std::string_view statement) {
    return TReader(statement).read();
}

TStatementRead ReadStatement(std::string_view statement, TStatementCode& code) {
    code = TStatementCode{};
    return TReader(statement, &code).read();
}

} // namespace check
