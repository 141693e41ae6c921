#pragma once

// The robot's BASIC as a program listing can hold it: the statements the blocks give, read the
// way the checker needs them (jumps, loops, waits) or refused with the place and the reason.
//
// The grammar (spaces and tabs may stand between any two tokens; words are upper case):
//
//   statement  := assignment | command
//   assignment := var "=" expr
//   command    := "FDX" | "BKX" | "LTX" | "RTX" | "STX" | "END" | "RETURN"
//               | ("FD" | "BK" | "LT" | "RT" | "WAIT" | "KEY" | "LED" | "VOICEX") int
//               | ("DDRA" .. "DDRD" | "PORTA" .. "PORTD") int
//               | "MOTOR" int "," int
//               | "SERVOE" int "," int "," int "," int "," int "," int
//               | "PLAY" [notes]
//               | "FOR" var "=" int "TO" int
//               | "NEXT" var
//               | ("GOTO" | "GOSUB") line
//               | "IF" condition "THEN" line
//   condition  := relation { ("AND" | "OR") relation }
//   relation   := expr ("=" | "<>" | "<" | ">" | "<=" | ">=") expr | "(" condition ")"
//   expr       := term { ("+" | "-") term }
//   term       := factor { ("*" | "/") factor }
//   factor     := "-" factor | "(" expr ")" | number | var | source
//   var        := one letter "A" .. "Z"
//   source     := "PINA" .. "PIND" | "PC0" .. "PC4" | "PCX" | "MIC" | "ADC0" .. "ADC7"
//   int        := ["-"] number
//   number     := digits, at most 2147483647
//   line       := digits (a line number: the listing puts one in place of every label: and
//                 sub: name it resolves)
//   notes      := hexadecimal digits "0" .. "9", "A" .. "F" (tone and length of each note)
//
// A condition is always a comparison: a value alone is not taken for true or false.

#include "files/Message.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace check {

enum class TStatementKind { Other, Goto, Gosub, If, End, Return, For, Next, Wait, Play };

// What the checks need of a statement that reads.
struct TStatement {
    TStatementKind kind = TStatementKind::Other;
    char variable = 0;       // For, Next: the loop variable
    bool noNotes = false;    // Play: without any note
    std::int32_t target = 0; // Goto, Gosub, If: the line number jumped to
    std::int32_t from = 0;   // For: the first value
    std::int32_t to = 0;     // For: the last value; Wait: the time
};

// Why a statement does not read.
struct TStatementError {
    std::size_t at = 0;       // byte position in the statement where reading stopped
    files::TMessage expected; // what would have been read there: "a variable A to Z"
    bool atTarget = false;    // the jump target after GOTO, GOSUB or THEN is what failed
};

struct TStatementRead {
    bool ok = false;
    TStatement statement;  // when ok
    TStatementError error; // otherwise
};

// Reads one statement (without line number or quotes).
TStatementRead ReadStatement(std::string_view statement);

// ---- The statement in the form a simulator runs it ----

// Every command of the grammar, one each; Assign is "var = expr".
enum class TCommand : std::uint8_t {
    Assign,
    ForwardOn,  // FDX
    BackwardOn, // BKX
    LeftOn,     // LTX
    RightOn,    // RTX
    Stop,       // STX
    Forward,    // FD n
    Backward,   // BK n
    Left,       // LT n
    Right,      // RT n
    Motor,      // MOTOR l,r
    Wait,       // WAIT n
    Key,        // KEY n
    Play,       // PLAY notes
    For,        // FOR v = from TO to
    Next,       // NEXT v
    Goto,       // GOTO line
    Gosub,      // GOSUB line
    Return,     // RETURN
    If,         // IF condition THEN line
    End,        // END
    Led,        // LED n
    Ddr,        // DDRx n
    Port,       // PORTx n
    Servo,      // SERVOE a,b,c,d,e,s
    Voice,      // VOICEX n
};

// The values an expression may read, in the order of the grammar's source rule.
enum class TSource : std::uint8_t {
    PinA,
    PinB,
    PinC,
    PinD,
    Pc0,
    Pc1,
    Pc2,
    Pc3,
    Pc4,
    PcX,
    Mic,
    Adc0,
    Adc1,
    Adc2,
    Adc3,
    Adc4,
    Adc5,
    Adc6,
    Adc7,
};
inline constexpr std::size_t kSourceCount = 19;

// One step of an expression or condition in postfix order: Number pushes value, Variable the
// variable value (0 for A .. 25 for Z), Source the source value (a TSource); the operators take
// their operands off the stack and push the result. A comparison pushes 1 or 0.
enum class TOp : std::uint8_t {
    Number,
    Variable,
    Source,
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    And,
    Or,
};

struct TInstruction {
    TOp op = TOp::Number;
    std::int32_t value = 0;
};

struct TStatementCode {
    TCommand command = TCommand::End;
    char variable = 0;                    // Assign, For, Next
    int port = 0;                         // Ddr, Port: 0 to 3 for A to D
    std::array<std::int32_t, 6> values{}; // the integers in order; For: from, to
    std::int32_t target = 0;              // Goto, Gosub, If
    std::string notes;                    // Play: the hexadecimal digits
    std::vector<TInstruction> code;       // Assign: the value; If: the condition
};

// Reads one statement as ReadStatement does (the same result, the same errors) and, when it
// reads, gives its command, values and expression in `code`.
TStatementRead ReadStatement(std::string_view statement, TStatementCode& code);

} // namespace check
