#include "sim/Simulator.h"

#include "download/ProgramImage.h"
#include "program/Listing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

using check::TCommand;
using check::TOp;
using check::TSource;

constexpr std::array<std::string_view, kInputCount> kInputNames{
    "PC0",  "PC1",  "PC2",  "PC3",  "PC4",  "MIC",  "ADC0", "ADC1", "ADC2",
    "ADC3", "ADC4", "ADC5", "ADC6", "ADC7", "PINA", "PINB", "PINC", "PIND"};

// Brackets and signs are read by recursion: a statement with more than this many of them is
// refused before reading, so that no hand-made line can exhaust the stack.
constexpr std::size_t kMostNesting = 1000;
constexpr int kLongestMotor = 255;
constexpr int kLastServoPosition = 18;
constexpr int kFastestServo = 5;
constexpr int kHighestKey = 7;

// Semitones of the major scale's degrees above its first.
constexpr std::array<int, 7> kScale{0, 2, 4, 5, 7, 9, 11};

std::int32_t wrap(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int64_t microseconds(double ms) {
    return static_cast<std::int64_t>(std::llround(ms * 1000.0));
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

template <class... Args> files::TMessage say(std::string_view wording, Args&&... args) {
    return files::Say("sim", wording, std::forward<Args>(args)...);
}

files::TMessage unreadableMessage(std::string_view statement, const check::TStatementError& error) {
    if (statement.empty())
        return say(ZV_TRANSLATABLE("sim", "the statement cannot be read: expected %1"),
                   error.expected);
    return say(ZV_TRANSLATABLE("sim", "the statement cannot be read at column %1: expected %2"),
               error.at + 1, error.expected);
}

files::TMessage noLineMessage(std::int32_t target) {
    return say(ZV_TRANSLATABLE("sim", "no line %1 or after it to go to"), target);
}

// The expression stack the code needs at most.
std::size_t stackNeed(const std::vector<check::TInstruction>& code) {
    std::size_t depth = 0;
    std::size_t most = 0;
    for (const check::TInstruction& i : code) {
        if (i.op == TOp::Number || i.op == TOp::Variable || i.op == TOp::Source)
            most = std::max(most, ++depth);
        else if (i.op != TOp::Negate)
            --depth;
    }
    return most;
}

} // namespace

std::string_view InputName(TInput input) {
    return kInputNames[static_cast<std::size_t>(input)];
}

std::optional<TInput> InputByName(std::string_view name) {
    for (std::size_t i = 0; i < kInputNames.size(); ++i)
        if (kInputNames[i] == name)
            return static_cast<TInput>(i);
    return std::nullopt;
}

TSimulator::TSimulator(const TRobotModel& model, TFloor floor)
    : m_model(model), m_world(model, std::move(floor)) {
    reset();
}

void TSimulator::setFloor(TFloor floor) {
    m_world = TWorld(m_model, std::move(floor));
    reset();
}

void TSimulator::setModel(const TRobotModel& model) {
    m_model = model;
    TFloor floor = m_world.floor();
    m_world = TWorld(m_model, std::move(floor));
    reset();
}

std::vector<TDiagnostic> TSimulator::load(const std::vector<std::string>& lines) {
    std::vector<TDiagnostic> diagnostics;
    m_program.clear();
    m_compiled.clear();
    m_code.clear();
    m_texts.clear();
    m_failures.clear();
    std::size_t stack = 1;

    const download::TPackedListing packed = download::PackListing(lines);
    for (const download::TDroppedLine& dropped : packed.dropped)
        diagnostics.push_back({dropped.position, -1,
                               say(ZV_TRANSLATABLE("sim", "the download leaves this line out: %1"),
                                   download::LineCheckMessage(dropped.code))});
    if (packed.tooLargeForRobot())
        diagnostics.push_back({0, -1, download::TooLargeForRobot(packed)});

    check::TStatementCode code;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const download::TParsedLine parsed = download::ParseLine(lines[i]);
        if (parsed.code != download::kLineAccepted)
            continue;
        TProgramLine line{i + 1, parsed.number, program::unquotedForm(parsed.statement)};
        TCompiled c;
        if (m_program.empty() && line.statement == program::kProductName) {
            c.action = TAction::Title;
        } else {
            const std::string& text = line.statement;
            const std::size_t nesting = static_cast<std::size_t>(std::count_if(
                text.begin(), text.end(), [](char ch) { return ch == '(' || ch == '-'; }));
            files::TMessage failure;
            if (nesting > kMostNesting) {
                failure = say(ZV_TRANSLATABLE("sim", "the statement holds more than %1 brackets "
                                                     "and signs"),
                              kMostNesting);
            } else if (const check::TStatementRead read = check::ReadStatement(text, code);
                       !read.ok) {
                failure = unreadableMessage(text, read.error);
            }
            if (!failure.empty()) {
                c.action = TAction::Unreadable;
                c.text = static_cast<std::uint32_t>(m_failures.size());
                m_failures.push_back(failure);
                diagnostics.push_back({line.position, line.number, std::move(failure)});
            } else {
                c.command = code.command;
                c.variable = code.variable ? static_cast<std::uint8_t>(code.variable - 'A') : 0;
                c.port = static_cast<std::uint8_t>(code.port);
                c.values = code.values;
                c.target = code.target;
                c.codeBegin = static_cast<std::uint32_t>(m_code.size());
                m_code.insert(m_code.end(), code.code.begin(), code.code.end());
                c.codeEnd = static_cast<std::uint32_t>(m_code.size());
                stack = std::max(stack, stackNeed(code.code));
                if (c.command == TCommand::Play) {
                    c.text = static_cast<std::uint32_t>(m_texts.size());
                    m_texts.push_back(code.notes);
                }
            }
        }
        m_program.push_back(std::move(line));
        m_compiled.push_back(c);
    }
    m_stack.assign(stack, 0);

    // Jumps and the ends of loops are found once, here.
    std::vector<std::uint32_t> byNumber(m_program.size());
    for (std::uint32_t i = 0; i < byNumber.size(); ++i)
        byNumber[i] = i;
    std::stable_sort(byNumber.begin(), byNumber.end(), [&](std::uint32_t a, std::uint32_t b) {
        return m_program[a].number < m_program[b].number;
    });
    for (std::size_t i = 0; i < m_compiled.size(); ++i) {
        TCompiled& c = m_compiled[i];
        if (c.action != TAction::Command)
            continue;
        if (c.command == TCommand::Goto || c.command == TCommand::Gosub ||
            c.command == TCommand::If) {
            const auto at = std::lower_bound(
                byNumber.begin(), byNumber.end(), c.target,
                [&](std::uint32_t k, std::int32_t target) { return m_program[k].number < target; });
            if (at != byNumber.end())
                c.jump = *at;
            else
                diagnostics.push_back(
                    {m_program[i].position, m_program[i].number, noLineMessage(c.target)});
        } else if (c.command == TCommand::For) {
            for (std::size_t k = i + 1; k < m_compiled.size(); ++k) {
                const TCompiled& n = m_compiled[k];
                if (n.action == TAction::Command && n.command == TCommand::Next &&
                    n.variable == c.variable) {
                    c.skip = static_cast<std::uint32_t>(k + 1);
                    break;
                }
            }
        }
    }
    std::sort(diagnostics.begin(), diagnostics.end(),
              [](const TDiagnostic& a, const TDiagnostic& b) { return a.position < b.position; });
    reset();
    return diagnostics;
}

void TSimulator::reset() {
    m_world.reset();
    m_status = {};
    m_pc = 0;
    m_current = 0;
    m_inProgress = false;
    m_stoppedHere = false;
    m_time = 0;
    m_nextTick = m_tickUs;
    m_stopAt = -1;
    m_doneAt = 0;
    m_steps = 0;
    m_vars.fill(0);
    m_varsSet = 0;
    m_frames.clear();
    m_frames.reserve(static_cast<std::size_t>(m_model.stackDepth));
    m_ddr.fill(0);
    m_port.fill(0);
    m_port[1] = static_cast<int>(m_model.ledStart) & 7;
    m_servos.fill(9);
    m_servoSpeed = 1;
    m_key = static_cast<int>(m_model.startKey);
    m_tune.clear();
    m_nextNote = 0;
    m_lastNote.reset();
    m_lastPhrase.reset();
}

void TSimulator::setTickInterval(std::int64_t us) {
    m_tickUs = std::max<std::int64_t>(us, 0);
    m_nextTick = m_tickUs ? (m_time / m_tickUs + 1) * m_tickUs : 0;
}

// ---- inputs ----

TInputRange TSimulator::inputRange(TInput input) const {
    if (input >= TInput::Adc0 && input <= TInput::Adc7)
        return {0, static_cast<std::int32_t>(m_model.adcMax)};
    if (input >= TInput::PinA)
        return {0, 255};
    return {0, 1};
}

bool TSimulator::setInput(TInput input, std::int32_t value) {
    const TInputRange range = inputRange(input);
    if (value < range.least || value > range.most)
        return false;
    m_inputs[static_cast<std::size_t>(input)] = value;
    return true;
}

void TSimulator::clearInput(TInput input) {
    m_inputs[static_cast<std::size_t>(input)].reset();
}

std::optional<std::int32_t> TSimulator::inputOverride(TInput input) const {
    return m_inputs[static_cast<std::size_t>(input)];
}

std::int32_t TSimulator::input(TInput input) const {
    if (const std::optional<std::int32_t>& set = m_inputs[static_cast<std::size_t>(input)])
        return *set;
    switch (input) {
    case TInput::Pc0:
    case TInput::Pc1:
    case TInput::Pc2:
        return m_world.lineSensor(static_cast<int>(input) - static_cast<int>(TInput::Pc0));
    case TInput::Pc3:
        return m_world.bumper(0);
    case TInput::Pc4:
        return m_world.bumper(1);
    case TInput::Adc0:
        return m_world.distanceReading();
    default:
        return 0;
    }
}

std::int32_t TSimulator::pcSensor(int index) const {
    return input(static_cast<TInput>(static_cast<int>(TInput::Pc0) + index));
}

std::int32_t TSimulator::source(TSource s) const {
    const int i = static_cast<int>(s);
    if (s <= TSource::PinD) {
        const int pins = input(static_cast<TInput>(static_cast<int>(TInput::PinA) + i));
        return (m_port[i] & m_ddr[i]) | (pins & ~m_ddr[i] & 0xFF);
    }
    if (s <= TSource::Pc4)
        return pcSensor(i - static_cast<int>(TSource::Pc0));
    if (s == TSource::PcX) {
        std::int32_t all = 0;
        for (int k = 0; k < 5; ++k)
            all |= (pcSensor(k) ? 1 : 0) << k;
        return all;
    }
    if (s == TSource::Mic)
        return input(TInput::Mic);
    return input(
        static_cast<TInput>(static_cast<int>(TInput::Adc0) + i - static_cast<int>(TSource::Adc0)));
}

// ---- running ----

std::optional<std::size_t> TSimulator::currentIndex() const {
    if (m_inProgress || m_stoppedHere)
        return m_current;
    if (m_pc < m_compiled.size())
        return m_pc;
    return std::nullopt;
}

bool TSimulator::step() {
    if (finished())
        return false;
    if (!m_inProgress) {
        const std::uint64_t before = m_steps;
        beginNext();
        if (m_steps == before)
            return false; // the end of the program or the step limit: nothing ran
    }
    if (m_inProgress)
        continueTo(std::numeric_limits<std::int64_t>::max());
    return true;
}

void TSimulator::runFor(std::int64_t us, std::uint64_t maxSteps) {
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    const std::int64_t target = us >= most - m_time ? most : m_time + us;
    std::uint64_t begun = 0;
    while (!finished()) {
        if (m_inProgress && !continueTo(target))
            return;
        if (m_time >= target || begun >= maxSteps || finished())
            return;
        beginNext();
        ++begun;
    }
}

void TSimulator::run() {
    const std::int64_t most = std::numeric_limits<std::int64_t>::max();
    while (!finished()) {
        if (m_inProgress)
            continueTo(most);
        if (finished())
            return;
        beginNext();
    }
    if (m_inProgress)
        continueTo(most);
}

bool TSimulator::continueTo(std::int64_t limit) {
    if (m_stopAt >= 0) {
        advanceTo(std::min(limit, m_stopAt));
        if (m_time < m_stopAt)
            return false;
        m_world.setWheels(0, 0);
        m_stopAt = -1;
    }
    advanceTo(std::min(limit, m_doneAt));
    if (m_time < m_doneAt)
        return false;
    m_inProgress = false;
    return true;
}

void TSimulator::advanceTo(std::int64_t t) {
    if (t <= m_time)
        return;
    if (m_tickUs == 0 && m_nextNote >= m_tune.size()) {
        m_world.advanceTo(t);
        m_time = t;
        return;
    }
    while (m_time < t) {
        std::int64_t next = t;
        if (m_tickUs > 0)
            next = std::min(next, m_nextTick);
        if (m_nextNote < m_tune.size())
            next = std::min(next, m_tune[m_nextNote].startUs);
        m_world.advanceTo(next);
        m_time = next;
        fireDueNotes();
        if (m_tickUs > 0 && m_time == m_nextTick) {
            m_nextTick += m_tickUs;
            if (m_listener)
                m_listener->ticked(m_time);
        }
    }
}

void TSimulator::fireDueNotes() {
    while (m_nextNote < m_tune.size() && m_tune[m_nextNote].startUs <= m_time) {
        m_lastNote = m_tune[m_nextNote++];
        if (m_listener)
            m_listener->notePlayed(*m_lastNote);
    }
}

void TSimulator::finish(TRunState state) {
    m_status.state = state;
    if (m_listener)
        m_listener->finished(m_status);
}

void TSimulator::fail(files::TMessage message) {
    m_status.line = m_program[m_current].number;
    m_status.message = std::move(message);
    m_inProgress = false;
    m_stoppedHere = true;
    finish(TRunState::Error);
}

void TSimulator::setPortB(int value) {
    const int lit = leds();
    m_port[1] = value & 0xFF;
    if (leds() != lit && m_listener)
        m_listener->ledsChanged(leds());
}

void TSimulator::driveFor(double left, double right, double seconds) {
    const std::int64_t us = static_cast<std::int64_t>(std::llround(seconds * 1e6));
    if (us <= 0)
        return;
    // The time is whole microseconds: the wheels are a hair faster or slower to cover the
    // length or angle exactly in it.
    const double scale = seconds * 1e6 / static_cast<double>(us);
    m_world.setWheels(left * scale, right * scale);
    m_stopAt = m_time + us;
}

bool TSimulator::push(const TFrame& frame) {
    if (m_frames.size() >= static_cast<std::size_t>(m_model.stackDepth)) {
        const std::string depth = std::to_string(static_cast<int>(m_model.stackDepth));
        fail(say(ZV_TRANSLATABLE("sim", "more than %1 GOSUB calls and FOR loops open at once "
                                        "(the robot's stack holds %1)"),
                 depth));
        return false;
    }
    m_frames.push_back(frame);
    return true;
}

bool TSimulator::evaluate(const TCompiled& s, std::int32_t& result) {
    std::int32_t* const stack = m_stack.data();
    std::size_t top = 0; // the values on the stack
    for (std::uint32_t k = s.codeBegin; k < s.codeEnd; ++k) {
        const check::TInstruction& i = m_code[k];
        switch (i.op) {
        case TOp::Number:
            stack[top++] = i.value;
            break;
        case TOp::Variable:
            stack[top++] = m_vars[static_cast<std::size_t>(i.value)];
            break;
        case TOp::Source:
            stack[top++] = source(static_cast<TSource>(i.value));
            break;
        case TOp::Negate:
            stack[top - 1] = wrap(-std::int64_t{stack[top - 1]});
            break;
        default: {
            const std::int32_t b = stack[--top];
            const std::int32_t a = stack[top - 1];
            std::int32_t r = 0;
            switch (i.op) {
            case TOp::Add:
                r = wrap(std::int64_t{a} + b);
                break;
            case TOp::Subtract:
                r = wrap(std::int64_t{a} - b);
                break;
            case TOp::Multiply:
                r = wrap(std::int64_t{a} * b);
                break;
            case TOp::Divide:
                if (b == 0) {
                    fail(say(ZV_TRANSLATABLE("sim", "division by zero")));
                    return false;
                }
                r = wrap(std::int64_t{a} / b);
                break;
            case TOp::Equal:
                r = a == b;
                break;
            case TOp::NotEqual:
                r = a != b;
                break;
            case TOp::Less:
                r = a < b;
                break;
            case TOp::Greater:
                r = a > b;
                break;
            case TOp::LessEqual:
                r = a <= b;
                break;
            case TOp::GreaterEqual:
                r = a >= b;
                break;
            case TOp::And:
                r = a != 0 && b != 0;
                break;
            case TOp::Or:
                r = a != 0 || b != 0;
                break;
            default:
                break;
            }
            stack[top - 1] = r;
        }
        }
    }
    result = stack[0];
    return true;
}

void TSimulator::beginNext() {
    if (m_pc >= m_compiled.size()) {
        finish(TRunState::Ended);
        return;
    }
    if (m_stepLimit != 0 && m_steps >= m_stepLimit) {
        finish(TRunState::StepLimit);
        return;
    }
    const TCompiled& s = m_compiled[m_pc];
    m_current = m_pc;
    ++m_steps;
    if (m_listener)
        m_listener->statementStarted(m_time, m_pc);
    std::uint32_t next = m_pc + 1;
    std::int64_t busy = 0; // the statement's own time
    const double drive = m_model.driveSpeedMmS;
    // Each wheel's speed when turning on the spot at the turn speed.
    const double spin = m_model.turnSpeedDegS * std::numbers::pi / 180.0 * m_model.wheelTrackMm / 2;

    if (s.action == TAction::Unreadable) {
        fail(m_failures[s.text]);
        return;
    }
    if (s.action == TAction::Command) {
        const std::int32_t n = s.values[0];
        switch (s.command) {
        case TCommand::Assign: {
            std::int32_t value = 0;
            if (!evaluate(s, value))
                return;
            m_vars[s.variable] = value;
            m_varsSet |= 1u << s.variable;
            break;
        }
        case TCommand::If: {
            std::int32_t value = 0;
            if (!evaluate(s, value))
                return;
            if (value != 0) {
                if (s.jump == kNoStatement)
                    return fail(noLineMessage(s.target));
                next = s.jump;
            }
            break;
        }
        case TCommand::Goto:
            if (s.jump == kNoStatement)
                return fail(noLineMessage(s.target));
            next = s.jump;
            break;
        case TCommand::Gosub:
            if (s.jump == kNoStatement)
                return fail(noLineMessage(s.target));
            if (!push({true, 0, 0, next}))
                return;
            next = s.jump;
            break;
        case TCommand::Return: {
            auto call = std::find_if(m_frames.rbegin(), m_frames.rend(),
                                     [](const TFrame& f) { return f.call; });
            if (call == m_frames.rend())
                return fail(say(ZV_TRANSLATABLE("sim", "RETURN without GOSUB")));
            next = call->resume;
            m_frames.erase(std::prev(call.base()), m_frames.end());
            break;
        }
        case TCommand::For: {
            // A loop of the same variable open in this call is closed with those inside it.
            for (std::size_t k = m_frames.size(); k-- > 0 && !m_frames[k].call;) {
                if (m_frames[k].variable == s.variable) {
                    m_frames.resize(k);
                    break;
                }
            }
            m_vars[s.variable] = s.values[0];
            m_varsSet |= 1u << s.variable;
            if (s.values[0] > s.values[1]) {
                if (s.skip == kNoStatement)
                    return fail(say(ZV_TRANSLATABLE("sim", "the loop of %1 counts nothing and "
                                                           "no NEXT %1 follows to go on after"),
                                    char('A' + s.variable)));
                next = s.skip;
            } else if (!push({false, s.variable, s.values[1], next})) {
                return;
            }
            break;
        }
        case TCommand::Next: {
            std::size_t k = m_frames.size();
            while (k > 0 && !m_frames[k - 1].call && m_frames[k - 1].variable != s.variable)
                --k;
            if (k == 0 || m_frames[k - 1].call)
                return fail(
                    say(ZV_TRANSLATABLE("sim", "NEXT %1 without FOR %1"), char('A' + s.variable)));
            m_frames.resize(k);
            const TFrame& loop = m_frames.back();
            const std::int64_t counted = std::int64_t{m_vars[s.variable]} + 1;
            m_vars[s.variable] = wrap(counted);
            if (counted <= loop.to)
                next = loop.resume;
            else
                m_frames.pop_back();
            break;
        }
        case TCommand::End:
            m_inProgress = false;
            m_stoppedHere = true;
            finish(TRunState::Ended);
            return;
        case TCommand::ForwardOn:
            m_stopAt = -1;
            m_world.setWheels(drive, drive);
            break;
        case TCommand::BackwardOn:
            m_stopAt = -1;
            m_world.setWheels(-drive, -drive);
            break;
        case TCommand::LeftOn:
            m_stopAt = -1;
            m_world.setWheels(-spin, spin);
            break;
        case TCommand::RightOn:
            m_stopAt = -1;
            m_world.setWheels(spin, -spin);
            break;
        case TCommand::Stop:
            m_stopAt = -1;
            m_world.setWheels(0, 0);
            break;
        case TCommand::Forward:
        case TCommand::Backward: {
            const double sign = (s.command == TCommand::Forward) == (n >= 0) ? 1 : -1;
            const double mm = std::abs(double(n)) * m_model.lengthUnitMm;
            driveFor(sign * drive, sign * drive, mm / drive);
            break;
        }
        case TCommand::Left:
        case TCommand::Right: {
            const double sign = (s.command == TCommand::Left) == (n >= 0) ? 1 : -1;
            const double degrees = std::abs(double(n)) * m_model.turnUnitDeg;
            driveFor(-sign * spin, sign * spin, degrees / m_model.turnSpeedDegS);
            break;
        }
        case TCommand::Motor: {
            const double l = std::clamp(n, -kLongestMotor, kLongestMotor) * m_model.motorUnitMmS;
            const double r =
                std::clamp(s.values[1], -kLongestMotor, kLongestMotor) * m_model.motorUnitMmS;
            m_stopAt = -1;
            m_world.setWheels(l, r);
            break;
        }
        case TCommand::Wait:
            busy = n > 0 ? microseconds(n * m_model.waitUnitMs) : 0;
            break;
        case TCommand::Key:
            m_key = std::clamp(n, 0, kHighestKey);
            break;
        case TCommand::Play: {
            const std::string& notes = m_texts[s.text];
            m_tune.clear();
            m_nextNote = 0;
            std::int64_t at = m_time;
            for (std::size_t k = 0; k + 1 < notes.size(); k += 2) {
                TNote note;
                note.tone = hexValue(notes[k]);
                note.key = m_key;
                if (note.tone > 0) {
                    const int degree = note.tone + m_key - 1; // 0 for the low 1
                    const int semitones = 12 * (degree / 7) + kScale[degree % 7];
                    note.frequencyHz = m_model.lowDoHz * std::pow(2.0, semitones / 12.0);
                }
                note.startUs = at;
                note.durationUs = microseconds(hexValue(notes[k + 1]) * m_model.quarterBeatMs);
                at += note.durationUs;
                m_tune.push_back(note);
            }
            busy = at - m_time;
            fireDueNotes();
            break;
        }
        case TCommand::Led:
            setPortB((m_port[1] & ~7) | (n & 7));
            break;
        case TCommand::Ddr:
            m_ddr[s.port] = n & 0xFF;
            break;
        case TCommand::Port:
            if (s.port == 1)
                setPortB(n);
            else
                m_port[s.port] = n & 0xFF;
            break;
        case TCommand::Servo:
            for (std::size_t k = 0; k < 5; ++k)
                m_servos[k] = std::clamp(s.values[k], 0, kLastServoPosition);
            m_servoSpeed = std::clamp(s.values[5], 1, kFastestServo);
            break;
        case TCommand::Voice:
            m_lastPhrase = n;
            if (m_listener)
                m_listener->phraseSpoken(n);
            break;
        }
    }
    m_pc = next;
    if (m_stopAt >= 0)
        busy = m_stopAt - m_time;
    m_doneAt = m_time + busy + microseconds(m_model.statementMs);
    m_inProgress = true;
}

std::string EndText(const TRunStatus& status) {
    switch (status.state) {
    case TRunState::Ended:
        return "end";
    case TRunState::StepLimit:
        return "step limit";
    case TRunState::Error:
        return "error " + std::to_string(status.line) + ": " + status.message.English();
    case TRunState::Running:
        break;
    }
    return "running";
}

std::string VariablesText(const TSimulator& simulator) {
    std::string text;
    for (char v = 'A'; v <= 'Z'; ++v) {
        if (!simulator.variableSet(v))
            continue;
        if (!text.empty())
            text += ' ';
        text += std::string(1, v) + "=" + std::to_string(simulator.variable(v));
    }
    return text;
}

} // namespace sim
