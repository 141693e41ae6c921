#pragma once

// The statement forms of the block types, written once for every reader of parameter records:
// the generator reads a record through the element tree, the checker mostly straight from its
// text, and both hand their values to appendBlockStatements.
//
// A reader of values offers:
//  - integer(name): the value as a signed 32-bit whole number, -1 when it is missing or
//    unusable (see int32OrMinusOne);
//  - decimal(name): that number written in decimal, as anything that converts to
//    std::string_view;
//  - text(name): the value exactly as stored, empty when missing (std::string or
//    std::string_view);
//  - decoded(name): the value with the XML escapes the editors write decoded;
//  - letter(name): the letter code of the integer value (letterCode);
//  - keyCommand(): whether a Music block plays its key command first.

#include "program/Listing.h"
#include "records/BlockCatalog.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace program {

// A whole number read from a record as the statements use it: one outside the signed 32-bit
// range reads as -1, like a missing one.
constexpr std::int32_t int32OrMinusOne(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(value);
}

namespace statement_rules {

// The parts joined into one statement with a single allocation.
inline std::string join(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string result;
    result.reserve(size);
    for (const std::string_view part : parts)
        result.append(part);
    return result;
}

} // namespace statement_rules

// Appends the statements (plain, not quoted) of a block of the given type with the given values
// to `out`: one for most types, two for a Music block with its key command. For a Label, Goto,
// GotoIf, Sub Begin and Call Sub the name the statement uses is also put in `name` when one is
// given (it is left alone for the other types).
template <class Values>
void appendBlockStatements(BlockType type, const Values& v, std::vector<std::string>& out,
                           std::string* name = nullptr) {
    using B = BlockType;
    using statement_rules::join;
    const std::string_view label = kLabelPrefix;
    const std::string_view sub = kSubPrefix;
    switch (type) {
    case B::Direct:
    case B::Turn: {
        const bool direct = type == B::Direct;
        switch (v.integer("mode")) {
        case 0:
            out.emplace_back(direct ? "FDX" : "LTX");
            return;
        case 1:
            out.emplace_back(direct ? "BKX" : "RTX");
            return;
        case 2:
            out.push_back(join({direct ? "FD " : "LT ", v.text("wait")}));
            return;
        case 3:
            out.push_back(join({direct ? "BK " : "RT ", v.text("wait")}));
            return;
        default:
            out.emplace_back();
            return;
        }
    }
    case B::MotorOn:
        out.push_back(join({"MOTOR ", v.decimal("motorL"), ",", v.decimal("motorR")}));
        return;
    case B::MotorStop:
        switch (v.integer("mode")) {
        case 0:
            out.emplace_back("STX");
            return;
        case 1:
            out.emplace_back("MOTOR 0,0");
            return;
        default:
            out.emplace_back();
            return;
        }
    case B::Wait:
        out.push_back(join({"WAIT ", v.decimal("wait")}));
        return;
    case B::Music:
        if (v.keyCommand())
            out.push_back(join({"KEY ", v.decimal("key")}));
        out.push_back(join({"PLAY ", v.text("content")}));
        return;
    case B::LoopBegin: {
        const char var = v.letter("var");
        out.push_back(join({"FOR ", {&var, 1}, "=1 TO ", v.decimal("times")}));
        return;
    }
    case B::LoopEnd: {
        const char var = v.letter("var");
        out.push_back(join({"NEXT ", {&var, 1}}));
        return;
    }
    case B::Label: {
        const auto& target = v.text("label");
        if (name)
            *name = target;
        out.push_back(join({label, target}));
        return;
    }
    case B::Goto: {
        const auto& target = v.text("label");
        if (name)
            *name = target;
        out.push_back(join({"GOTO ", label, target}));
        return;
    }
    case B::GotoIf: {
        const auto& target = v.decoded("label");
        if (name)
            *name = target;
        out.push_back(join({"IF ", v.decoded("condition"), " THEN ", label, target}));
        return;
    }
    case B::End:
        out.emplace_back("END");
        return;
    case B::Led:
        out.push_back(join({"LED ", v.decimal("led")}));
        return;
    case B::IoSetup: {
        const char port = v.letter("ddr");
        out.push_back(join({"DDR", {&port, 1}, " ", v.decimal("data")}));
        return;
    }
    case B::IoInput: {
        const char var = v.letter("var");
        const char port = v.letter("port");
        out.push_back(join({{&var, 1}, "=PIN", {&port, 1}}));
        return;
    }
    case B::IoOutput: {
        const char port = v.letter("port");
        out.push_back(join({"PORT", {&port, 1}, " ", v.decimal("data")}));
        return;
    }
    case B::Servo:
        out.push_back(
            join({"SERVOE ", v.decimal("data1"), ",", v.decimal("data2"), ",", v.decimal("data3"),
                  ",", v.decimal("data4"), ",", v.decimal("data5"), ",", v.decimal("speed")}));
        return;
    case B::Expression:
        out.emplace_back(v.decoded("command"));
        return;
    case B::DigitalSensor: {
        const std::int32_t index = v.integer("index");
        static constexpr std::string_view kSources[] = {"PC0", "PC1", "PC2", "PC3", "PC4", "MIC"};
        const std::string_view source =
            index >= 0 && index <= 5 ? kSources[static_cast<std::size_t>(index)] : "PCX";
        const char var = v.letter("var");
        out.push_back(join({{&var, 1}, "=", source}));
        return;
    }
    case B::AnalogSensor: {
        const char var = v.letter("var");
        out.push_back(join({{&var, 1}, "=ADC", v.decimal("index")}));
        return;
    }
    case B::SubBegin: {
        const auto& target = v.text("sub");
        if (name)
            *name = target;
        out.push_back(join({sub, target}));
        return;
    }
    case B::SubEnd:
        out.emplace_back("RETURN");
        return;
    case B::CallSub: {
        const auto& target = v.text("sub");
        if (name)
            *name = target;
        out.push_back(join({"GOSUB ", sub, target}));
        return;
    }
    case B::VoiceX:
        out.push_back(join({"VOICEX ", v.decimal("index")}));
        return;
    }
}

} // namespace program
