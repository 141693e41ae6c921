#include "check/Basic.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

using check::ReadStatement;
using check::TStatement;
using check::TStatementKind;
using K = TStatementKind;

// ---- statements the robot reads ---------------------------------------------------------------

struct ReadCase {
    const char* statement;
    TStatement expected; // kind, variable, noNotes, target, from, to
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << '"' << c.statement << '"';
}

class Reads : public testing::TestWithParam<ReadCase> {};

TEST_P(Reads, WithWhatTheChecksNeed) {
    const check::TStatementRead read = ReadStatement(GetParam().statement);
    ASSERT_TRUE(read.ok) << "at " << read.error.at << ": " << read.error.expected;
    const TStatement& s = read.statement;
    const TStatement& e = GetParam().expected;
    EXPECT_EQ(s.kind, e.kind);
    EXPECT_EQ(s.variable, e.variable);
    EXPECT_EQ(s.noNotes, e.noNotes);
    EXPECT_EQ(s.target, e.target);
    EXPECT_EQ(s.from, e.from);
    EXPECT_EQ(s.to, e.to);
}

INSTANTIATE_TEST_SUITE_P(
    BlockStatements, Reads,
    testing::Values(
        ReadCase{"FDX", {}}, ReadCase{"BKX", {}}, ReadCase{"LTX", {}}, ReadCase{"RTX", {}},
        ReadCase{"STX", {}}, ReadCase{"FD 100", {}}, ReadCase{"BK 0", {}}, ReadCase{"LT 32767", {}},
        ReadCase{"RT -1", {}}, ReadCase{"MOTOR -255,255", {}}, ReadCase{"MOTOR 0,0", {}},
        ReadCase{"WAIT 250", {K::Wait, 0, false, 0, 0, 250}},
        ReadCase{"WAIT -1", {K::Wait, 0, false, 0, 0, -1}}, ReadCase{"KEY 3", {}},
        ReadCase{"PLAY 1C2D3E", {K::Play}}, ReadCase{"PLAY ", {K::Play, 0, true}},
        ReadCase{"FOR A=1 TO 5", {K::For, 'A', false, 0, 1, 5}},
        ReadCase{"FOR Z=1 TO -1", {K::For, 'Z', false, 0, 1, -1}},
        ReadCase{"NEXT Q", {K::Next, 'Q'}}, ReadCase{"GOTO 20", {K::Goto, 0, false, 20}},
        ReadCase{"GOSUB 110", {K::Gosub, 0, false, 110}},
        ReadCase{"IF A>3 THEN 60", {K::If, 0, false, 60}}, ReadCase{"END", {K::End}},
        ReadCase{"RETURN", {K::Return}}, ReadCase{"LED 7", {}}, ReadCase{"DDRA 255", {}},
        ReadCase{"PORTD 0", {}}, ReadCase{"VOICEX 3", {}}, ReadCase{"SERVOE 9,9,9,9,9,1", {}},
        ReadCase{"A=PINA", {}}, ReadCase{"B=PIND", {}}, ReadCase{"B=PC0", {}},
        ReadCase{"C=PCX", {}}, ReadCase{"D=MIC", {}}, ReadCase{"E=ADC7", {}}));

INSTANTIATE_TEST_SUITE_P(
    Written, Reads,
    testing::Values(ReadCase{"X=20*20", {}}, ReadCase{" X = ( A + 1 ) * -B / 2 ", {}},
                    ReadCase{"A=--1", {}}, ReadCase{"WAIT\t5", {K::Wait, 0, false, 0, 0, 5}},
                    ReadCase{"IF (A>1) AND (B<2) OR C<>D THEN 10", {K::If, 0, false, 10}},
                    ReadCase{"IF (A+1)*2>=B THEN 30", {K::If, 0, false, 30}},
                    ReadCase{"IF ((A=1)) THEN 40", {K::If, 0, false, 40}},
                    ReadCase{"IF A<=-1 THEN 50 ", {K::If, 0, false, 50}},
                    ReadCase{"IF PC0=1 THEN 2147483647", {K::If, 0, false, 2147483647}},
                    ReadCase{"FOR B=5 TO 1", {K::For, 'B', false, 0, 5, 1}}));

// ---- statements it does not read ----------------------------------------------------------------

struct RefusalCase {
    const char* statement;
    std::size_t at;
    const char* expected; // a piece of what the reader expected there
    bool atTarget = false;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << '"' << c.statement << '"';
}

class Refuses : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refuses, SayingWhereAndWhatWasExpected) {
    const check::TStatementRead read = ReadStatement(GetParam().statement);
    ASSERT_FALSE(read.ok);
    EXPECT_EQ(read.error.at, GetParam().at) << read.error.expected;
    EXPECT_NE(read.error.expected.English().find(GetParam().expected), std::string::npos)
        << read.error.expected;
    EXPECT_EQ(read.error.atTarget, GetParam().atTarget);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refuses,
    testing::Values(
        RefusalCase{"", 0, "a variable A to Z followed by \"=\", or a command word"},
        RefusalCase{"   ", 3, "a command word"}, RefusalCase{"FD", 2, "a number"},
        RefusalCase{"FD abc", 3, "a number"}, RefusalCase{"FD100", 0, "a command word"},
        RefusalCase{"WAIT 1 2", 7, "the end of the statement"}, RefusalCase{"MOTOR 1", 7, "\",\""},
        RefusalCase{"SERVOE 1,2,3,4,5", 16, "\",\""}, RefusalCase{"DDRE 1", 0, "a command word"},
        RefusalCase{"PORTA", 5, "a number"},
        RefusalCase{"PLAY 1g", 6, "notes: the digits 0 to 9 and A to F"},
        RefusalCase{"FOR A=1 TO", 10, "a number"}, RefusalCase{"FOR 1=1 TO 3", 4, "a variable"},
        RefusalCase{"FOR A=1 STEP 2", 8, "TO"}, RefusalCase{"NEXT", 4, "a variable A to Z"},
        RefusalCase{"NEXT a", 5, "written as a capital letter"},
        RefusalCase{"GOTO label: L1", 5, "a line number, but no Label is named \"L1\"", true},
        RefusalCase{"GOSUB sub: S", 6, "a line number, but no Sub Begin is named \"S\"", true},
        RefusalCase{"IF A>3 THEN", 11, "a line number", true},
        RefusalCase{"IF A>3 THEN B=1", 12, "a line number", true},
        RefusalCase{"IF A=>3 THEN 20", 5, "a value"},
        RefusalCase{"IF A THEN 20", 5, "a comparison"},
        RefusalCase{"IF A>3 GOTO 20", 7, "AND, OR, THEN"},
        RefusalCase{"IF A>3 AND THEN 20", 11, "a value"}, RefusalCase{"X=", 2, "a value"},
        RefusalCase{"X=1+", 4, "a value"}, RefusalCase{"X=(1+2", 6, "\")\""},
        RefusalCase{"X=Y1", 2, "a value"}, RefusalCase{"X=PINE", 2, "a value"},
        RefusalCase{"X=ADC8", 2, "a value"},
        RefusalCase{"X=2147483648", 2, "a number up to 2147483647"},
        RefusalCase{"LET A=1", 0, "a command word"},
        RefusalCase{"A=1:B=2", 3, "the end of the statement"}, RefusalCase{"A", 1, "\"=\""},
        RefusalCase{"x=1", 0, "written as a capital letter"},
        RefusalCase{"A=label: L1+1", 2, "no Label is named \"L1\""},
        RefusalCase{"PRINT \"HI\"", 0, "a command word"}, RefusalCase{"A=1\r\n", 3, "the end"}));

} // namespace
