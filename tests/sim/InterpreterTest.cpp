// The interpreter on small listings: the order the statements run in, the variables they
// leave and how the run ends, for the control statements, the arithmetic and every runtime
// error.
#include "SimSupport.h"
#include "download/ProgramImage.h"
#include "files/Files.h"

#include <gtest/gtest.h>

namespace {

using simtest::Listing;

// head, then loop times over, then tail.
std::vector<std::int32_t> Trace(std::vector<std::int32_t> head,
                                const std::vector<std::int32_t>& loop, int times,
                                const std::vector<std::int32_t>& tail = {}) {
    for (int i = 0; i < times; ++i)
        head.insert(head.end(), loop.begin(), loop.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct TRunCase {
    const char* name;
    std::vector<std::string> statements; // numbered 20, 30, ... after the title at 10
    std::vector<std::int32_t> trace;     // the line numbers begun
    std::string end;
    std::string variables;
};

std::ostream& operator<<(std::ostream& os, const TRunCase& c) {
    return os << c.name;
}

class RunListing : public testing::TestWithParam<TRunCase> {};

TEST_P(RunListing, runs_in_order_and_leaves_its_variables) {
    const TRunCase& c = GetParam();
    sim::TSimulator simulator;
    simulator.load(Listing(c.statements));
    simulator.setStepLimit(60);
    simtest::TTraceRecorder trace(simulator);
    simulator.setListener(&trace);
    simulator.run();
    EXPECT_EQ(trace.lines, c.trace);
    EXPECT_EQ(sim::EndText(simulator.status()), c.end);
    EXPECT_EQ(sim::VariablesText(simulator), c.variables);
    EXPECT_EQ(trace.ends.size(), 1u) << "finished is told once";
}

const TRunCase kRunCases[] = {
    {"nothing_but_the_title", {}, {10}, "end", ""},
    {"arithmetic_precedence_and_brackets",
     {"A=2+3*4", "B=(2+3)*4", "C=20-2-3", "D=-A+1", "E=--3"},
     {10, 20, 30, 40, 50, 60},
     "end",
     "A=14 B=20 C=15 D=-13 E=3"},
    {"division_truncates_toward_zero",
     {"A=7/2", "B=-7/2", "C=7/-2", "D=-7/-2"},
     {10, 20, 30, 40, 50},
     "end",
     "A=3 B=-3 C=-3 D=3"},
    {"arithmetic_wraps_at_32_bits",
     {"A=2147483647+1", "B=65536*65536", "C=0-2147483647-1", "D=C/-1", "E=-C"},
     {10, 20, 30, 40, 50, 60},
     "end",
     "A=-2147483648 B=0 C=-2147483648 D=-2147483648 E=-2147483648"},
    {"counted_loop",
     {"FOR A=1 TO 3", "B=B+A", "NEXT A"},
     {10, 20, 30, 40, 30, 40, 30, 40},
     "end",
     "A=4 B=6"},
    {"nested_loops",
     {"FOR I=1 TO 2", "FOR J=1 TO 2", "C=C+1", "NEXT J", "NEXT I"},
     {10, 20, 30, 40, 50, 40, 50, 60, 30, 40, 50, 40, 50, 60},
     "end",
     "C=4 I=3 J=3"},
    {"loop_counting_nothing_is_skipped_past_its_next",
     {"FOR A=5 TO 1", "B=1", "NEXT A", "C=2"},
     {10, 20, 50},
     "end",
     "A=5 C=2"},
    {"loop_entered_again_by_a_jump_reuses_its_place",
     // Twenty times into a loop left by GOTO: the stack of 16 does not fill up.
     {"FOR A=1 TO 2", "B=B+1", "IF B<20 THEN 20"},
     Trace({10}, {20, 30, 40}, 19, {20, 30}),
     "step limit",
     "A=1 B=20"},
    {"subroutine_called_twice",
     {"GOSUB 50", "GOSUB 50", "END", "A=A+5", "RETURN"},
     {10, 20, 50, 60, 30, 50, 60, 40},
     "end",
     "A=10"},
    {"nested_subroutines",
     {"GOSUB 40", "END", "A=1", "GOSUB 80", "RETURN", "END", "B=2", "RETURN"},
     {10, 20, 40, 50, 80, 90, 60, 30},
     "end",
     "A=1 B=2"},
    {"return_closes_loops_opened_in_the_call",
     {"GOSUB 50", "NEXT A", "END", "FOR A=1 TO 3", "RETURN"},
     {10, 20, 50, 60, 30},
     "error 30: NEXT A without FOR A",
     "A=1"},
    {"condition_true_jumps",
     {"A=3", "IF A>2 THEN 50", "B=1", "C=1"},
     {10, 20, 30, 50},
     "end",
     "A=3 C=1"},
    {"condition_false_goes_on",
     {"A=2", "IF A>2 THEN 50", "B=1", "C=1"},
     {10, 20, 30, 40, 50},
     "end",
     "A=2 B=1 C=1"},
    {"comparisons_and_logic",
     {"A=3", "IF A=3 AND A<>4 THEN 50", "END", "IF (A<2 OR A>=3) AND (A<=3) THEN 70", "END", "B=1"},
     {10, 20, 30, 50, 70},
     "end",
     "A=3 B=1"},
    {"a_jump_to_a_dropped_label_line_lands_on_the_next",
     // The title's line 10 stands where a dropped "label: L" line would be numbered 15.
     {"A=A+1", "IF A<3 THEN 15", "END"},
     {10, 20, 30, 20, 30, 20, 30, 40},
     "end",
     "A=3"},
    {"end_stops_before_the_rest", {"A=1", "END", "B=2"}, {10, 20, 30}, "end", "A=1"},
    {"step_limit_stops_an_endless_loop", {"GOTO 20"}, Trace({10}, {20}, 59), "step limit", ""},
    {"sensors_and_ports_read_in_expressions",
     {"A=PC0+MIC+ADC7+PINA+PCX", "B=ADC0*2"},
     {10, 20, 30},
     "end",
     "A=0 B=0"},
    // Runtime errors: the failing line is the last begun and the run stops there.
    {"unreadable_statement",
     {"A=1", "FD", "B=2"},
     {10, 20, 30},
     "error 30: the statement cannot be read at column 3: expected a number",
     "A=1"},
    {"unreadable_lower_case_variable",
     {"a=1"},
     {10, 20},
     "error 20: the statement cannot be read at column 1: expected a variable A to Z, written "
     "as a capital letter",
     ""},
    {"jump_past_the_last_line",
     {"GOTO 900"},
     {10, 20},
     "error 20: no line 900 or after it to go to",
     ""},
    {"condition_jumping_nowhere_only_when_true",
     {"IF 1=2 THEN 900", "IF 1=1 THEN 900"},
     {10, 20, 30},
     "error 30: no line 900 or after it to go to",
     ""},
    {"return_without_gosub",
     {"A=1", "RETURN"},
     {10, 20, 30},
     "error 30: RETURN without GOSUB",
     "A=1"},
    {"next_without_for", {"NEXT B"}, {10, 20}, "error 20: NEXT B without FOR B", ""},
    {"next_of_another_variable",
     {"FOR A=1 TO 2", "NEXT B"},
     {10, 20, 30},
     "error 30: NEXT B without FOR B",
     "A=1"},
    {"next_does_not_reach_a_loop_outside_the_call",
     {"FOR A=1 TO 2", "GOSUB 50", "END", "NEXT A"},
     {10, 20, 30, 50},
     "error 50: NEXT A without FOR A",
     "A=1"},
    {"calls_deeper_than_the_stack",
     {"A=A+1", "GOSUB 20"},
     Trace({10}, {20, 30}, 17),
     "error 30: more than 16 GOSUB calls and FOR loops open at once (the robot's stack holds 16)",
     "A=17"},
    {"loops_deeper_than_the_stack",
     {"FOR A=1 TO 2", "FOR B=1 TO 2", "FOR C=1 TO 2", "FOR D=1 TO 2", "FOR E=1 TO 2",
      "FOR F=1 TO 2", "FOR G=1 TO 2", "FOR H=1 TO 2", "FOR I=1 TO 2", "FOR J=1 TO 2",
      "FOR K=1 TO 2", "FOR L=1 TO 2", "FOR M=1 TO 2", "FOR N=1 TO 2", "FOR O=1 TO 2",
      "FOR P=1 TO 2", "FOR Q=1 TO 2"},
     {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180},
     "error 180: more than 16 GOSUB calls and FOR loops open at once (the robot's stack holds "
     "16)",
     "A=1 B=1 C=1 D=1 E=1 F=1 G=1 H=1 I=1 J=1 K=1 L=1 M=1 N=1 O=1 P=1 Q=1"},
    {"division_by_zero", {"A=0", "B=5/A"}, {10, 20, 30}, "error 30: division by zero", "A=0"},
    {"division_by_zero_in_a_condition",
     {"IF 1/0=1 THEN 20"},
     {10, 20},
     "error 20: division by zero",
     ""},
    {"loop_counting_nothing_without_next",
     {"FOR A=2 TO 1", "B=1"},
     {10, 20},
     "error 20: the loop of A counts nothing and no NEXT A follows to go on after",
     "A=2"},
};

INSTANTIATE_TEST_SUITE_P(Listings, RunListing, testing::ValuesIn(kRunCases),
                         [](const testing::TestParamInfo<TRunCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- the program text as the download reads it ----

TEST(ProgramText, lines_the_download_leaves_out_are_not_run) {
    sim::TSimulator simulator;
    const std::vector<std::string> lines{
        "10 REM \"ZOLVANE\"",
        "20 rem \"A=1\"",             // lower-case REM: left out
        "",                           // blank
        "30 REMARK \"B=2\" and more", // REMARK and extra words pass
        "40\tREM\t\"C=\"\"\"",        // tabs pass; C="" cannot be read
        "$32 REM \"D=4\"",            // hexadecimal line number 50
        "60 REM \"\"",                // quoted empty text: left out
    };
    const std::vector<sim::TDiagnostic> found = simulator.load(lines);
    ASSERT_EQ(simulator.program().size(), 4u);
    EXPECT_EQ(simulator.program()[1].statement, "B=2");
    EXPECT_EQ(simulator.program()[1].position, 4u);
    EXPECT_EQ(simulator.program()[2].statement, "C=\"");
    EXPECT_EQ(simulator.program()[3].number, 50);

    std::vector<std::size_t> positions;
    for (const sim::TDiagnostic& d : found)
        positions.push_back(d.position);
    EXPECT_EQ(positions, (std::vector<std::size_t>{2, 3, 5, 7}));
    EXPECT_EQ(found[0].message.English(), "the download leaves this line out: " +
                                              download::LineCheckText(download::kLineNoRem));
    EXPECT_EQ(found[2].number, 40);

    simulator.run();
    EXPECT_EQ(sim::EndText(simulator.status()),
              "error 40: the statement cannot be read at column 3: expected a value: a variable "
              "A to Z, a number, a port or sensor name (PINA, PC0, MIC, ADC0, ...) or \"(\"");
    EXPECT_EQ(sim::VariablesText(simulator), "B=2");
}

TEST(ProgramText, only_a_first_product_name_is_a_title) {
    sim::TSimulator simulator;
    const std::vector<sim::TDiagnostic> found =
        simulator.load({"10 REM \"A=1\"", "20 REM \"ZOLVANE\""});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].number, 20);
    simulator.run();
    EXPECT_EQ(sim::EndText(simulator.status()),
              "error 20: the statement cannot be read at column 1: expected a variable A to Z "
              "followed by \"=\", or a command word such as FD, WAIT or IF");
}

TEST(ProgramText, a_jump_to_no_line_is_found_on_load) {
    sim::TSimulator simulator;
    const std::vector<sim::TDiagnostic> found =
        simulator.load(Listing({"GOSUB 35", "GOTO 70", "IF A=1 THEN 999"}));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].number, 30);
    EXPECT_EQ(found[0].message.English(), "no line 70 or after it to go to");
    EXPECT_EQ(found[1].number, 40);
}

TEST(ProgramText, a_jump_goes_to_the_smallest_number_at_or_after_its_target) {
    // Out of order: the run goes by the order of the text, jumps by number.
    sim::TSimulator simulator;
    simulator.load({"10 REM \"GOTO 25\"", "40 REM \"C=3\"", "30 REM \"B=2\"", "20 REM \"A=1\""});
    simtest::TTraceRecorder trace(simulator);
    simulator.setListener(&trace);
    simulator.run();
    EXPECT_EQ(trace.lines, (std::vector<std::int32_t>{10, 30, 20}));
    EXPECT_EQ(sim::VariablesText(simulator), "A=1 B=2");
}

TEST(ProgramText, the_worked_example_runs) {
    files::TResult<std::string> text =
        files::ReadWholeFile(std::string(ZOLVANE_FIXTURES) + "/download/example/listing.txt");
    ASSERT_TRUE(text) << text.error();
    sim::TSimulator simulator;
    EXPECT_TRUE(simulator.load(files::SplitLines(*text)).empty());
    simulator.setStepLimit(9);
    simtest::TTraceRecorder trace(simulator);
    simulator.setListener(&trace);
    simulator.run();
    EXPECT_EQ(simulator.status().state, sim::TRunState::StepLimit);
    // GOTO 40 goes to the line after the label's dropped line 40.
    EXPECT_EQ(trace.lines, (std::vector<std::int32_t>{10, 20, 30, 50, 60, 50, 60, 50, 60}));
    // Forward for the wait's second and the statements around it, then three turns of 50.
    EXPECT_NEAR(simulator.pose().y, 200.4, 1e-6);
    EXPECT_NEAR(simulator.pose().heading, 240, 1e-6);
}

// ---- stepping and slicing ----

TEST(Stepping, step_runs_one_statement_and_its_time) {
    sim::TSimulator simulator;
    simulator.load(Listing({"A=1", "WAIT 50", "B=2"}));
    EXPECT_EQ(simulator.currentIndex(), 0u);
    EXPECT_TRUE(simulator.step()); // the title
    EXPECT_EQ(simulator.currentIndex(), 1u);
    EXPECT_TRUE(simulator.step());
    EXPECT_EQ(simulator.variable('A'), 1);
    EXPECT_FALSE(simulator.variableSet('B'));
    EXPECT_EQ(simulator.timeUs(), 2'000);
    EXPECT_TRUE(simulator.step()); // the whole wait
    EXPECT_EQ(simulator.timeUs(), 503'000);
    EXPECT_FALSE(simulator.inProgress());
    EXPECT_TRUE(simulator.step());
    EXPECT_EQ(simulator.currentIndex(), std::nullopt);
    EXPECT_FALSE(simulator.finished()) << "the end is found when the next statement is sought";
    EXPECT_FALSE(simulator.step());
    EXPECT_EQ(simulator.status().state, sim::TRunState::Ended);
    EXPECT_FALSE(simulator.step());
}

TEST(Stepping, run_for_stops_inside_a_long_statement_and_goes_on) {
    sim::TSimulator simulator;
    simulator.load(Listing({"WAIT 100", "A=1"}));
    simulator.runFor(400'000);
    EXPECT_EQ(simulator.timeUs(), 400'000);
    EXPECT_TRUE(simulator.inProgress());
    EXPECT_EQ(simulator.currentIndex(), 1u) << "the wait is the statement running";
    EXPECT_FALSE(simulator.variableSet('A'));
    simulator.runFor(700'000);
    EXPECT_TRUE(simulator.finished());
    EXPECT_EQ(simulator.variable('A'), 1);
    EXPECT_EQ(simulator.timeUs(), 1'003'000);
}

TEST(Stepping, run_for_begins_no_more_than_max_steps) {
    sim::TRobotModel instant;
    instant.statementMs = 0; // nothing takes time: only the step count stops the slice
    sim::TSimulator simulator(instant);
    simulator.load(Listing({"A=A+1", "GOTO 20"}));
    simulator.runFor(1'000'000, 7);
    EXPECT_EQ(simulator.steps(), 7u);
    EXPECT_FALSE(simulator.finished());
    EXPECT_EQ(simulator.variable('A'), 3);
}

TEST(Stepping, the_current_statement_is_the_one_that_ended_or_failed) {
    sim::TSimulator simulator;
    simulator.load(Listing({"END", "A=1"}));
    simulator.run();
    EXPECT_EQ(simulator.currentIndex(), 1u);
    simulator.load(Listing({"A=1", "B=1/0", "C=1"}));
    simulator.run();
    EXPECT_EQ(simulator.currentIndex(), 2u);
}

TEST(Stepping, reset_starts_again_and_keeps_the_program_and_inputs) {
    sim::TSimulator simulator;
    simulator.load(Listing({"FD 100", "A=PC3"}));
    ASSERT_TRUE(simulator.setInput(sim::TInput::Pc3, 1));
    simulator.run();
    ASSERT_EQ(simulator.variable('A'), 1);
    simulator.reset();
    EXPECT_FALSE(simulator.finished());
    EXPECT_EQ(simulator.timeUs(), 0);
    EXPECT_FALSE(simulator.variableSet('A'));
    EXPECT_EQ(simulator.pose().y, 0);
    simulator.run();
    EXPECT_EQ(sim::VariablesText(simulator), "A=1");
    EXPECT_NEAR(simulator.pose().y, 100, 1e-9);
}

} // namespace

// ---- hostile text ----

TEST(HostileText, deep_brackets_are_refused_before_reading) {
    sim::TSimulator simulator;
    const std::string deep = "A=" + std::string(5000, '(') + "1" + std::string(5000, ')');
    const std::vector<sim::TDiagnostic> found = simulator.load(Listing({deep, "B=1"}));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].message.English(), "the statement holds more than 1000 brackets and signs");
    simulator.run();
    EXPECT_EQ(sim::EndText(simulator.status()),
              "error 20: the statement holds more than 1000 brackets and signs");
    // Within the limit they are read and worked out.
    simulator.load(Listing({"A=" + std::string(300, '(') + "2" + std::string(300, ')') + "*" +
                            std::string(200, '-') + "3"}));
    simulator.run();
    EXPECT_EQ(sim::VariablesText(simulator), "A=6");
}

TEST(HostileText, a_program_too_large_for_the_robot_is_told_and_still_runs) {
    std::vector<std::string> statements(240, "A=A+1" + std::string(240, ' '));
    sim::TSimulator simulator;
    const std::vector<sim::TDiagnostic> found = simulator.load(Listing(statements));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].position, 0u);
    EXPECT_NE(found[0].message.English().find("too large for the robot"), std::string::npos);
    simulator.run();
    EXPECT_EQ(simulator.variable('A'), 240);
}

// Programs put together at random from the statements' pieces: every run ends with END, the
// step limit or an error naming a line of the program, and never runs past the limit.
TEST(HostileText, random_programs_always_end_cleanly) {
    const std::vector<std::string> pieces{"A=A+1",
                                          "B=A*B-7",
                                          "C=B/A",
                                          "GOTO 30",
                                          "GOTO 5000",
                                          "GOSUB 40",
                                          "RETURN",
                                          "FOR A=1 TO 3",
                                          "FOR B=3 TO 1",
                                          "NEXT A",
                                          "NEXT B",
                                          "IF A>2 THEN 20",
                                          "IF (A<B) OR C=0 THEN 70",
                                          "END",
                                          "FD 10",
                                          "LT 45",
                                          "MOTOR 255,-255",
                                          "WAIT 1",
                                          "PLAY 1F2",
                                          "KEY 3",
                                          "LED 5",
                                          "PORTB 1",
                                          "DDRA 255",
                                          "A=PINA+PCX",
                                          "SERVOE 1,2,3,4,5,6",
                                          "VOICEX 2",
                                          "FD",
                                          "A=2147483647*A",
                                          "X=(",
                                          "STX",
                                          "FDX",
                                          "RTX"};
    std::uint32_t seed = 12345;
    auto next = [&seed](std::size_t n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::size_t>((seed >> 8) % n);
    };
    for (int program = 0; program < 2000; ++program) {
        std::vector<std::string> statements;
        const std::size_t count = 1 + next(10);
        for (std::size_t i = 0; i < count; ++i)
            statements.push_back(pieces[next(pieces.size())]);
        sim::TSimulator simulator;
        simulator.load(Listing(statements));
        simulator.setStepLimit(300);
        simulator.run();
        ASSERT_TRUE(simulator.finished());
        ASSERT_LE(simulator.steps(), 300u);
        if (simulator.status().state == sim::TRunState::Error) {
            const std::int32_t line = simulator.status().line;
            ASSERT_TRUE(line >= 20 && line <= 10 * static_cast<std::int32_t>(count + 1) &&
                        line % 10 == 0)
                << line;
            ASSERT_FALSE(simulator.status().message.empty());
        }
    }
}
