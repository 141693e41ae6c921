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

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
    std::size_t at = 0;    // byte position in the statement where reading stopped
    std::string expected;  // what would have been read there: "a variable A to Z"
    bool atTarget = false; // the jump target after GOTO, GOSUB or THEN is what failed
};

struct TStatementRead {
    bool ok = false;
    TStatement statement;  // when ok
    TStatementError error; // otherwise
};

// Reads one statement (without line number or quotes).
TStatementRead ReadStatement(std::string_view statement);

} // namespace check
