// The simulator's files: the floor file read and written again, the robot model file and the
// shipped one, and what each says of a bad line. Also the statement reader's runnable form,
// which must read exactly what the checker reads.
#include "files/Files.h"

#include "check/Basic.h"
#include "sim/Floor.h"
#include "sim/RobotModel.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::string assetFile(const std::string& name) {
    return std::string(ZOLVANE_FIXTURES) + "/../../assets/sim/" + name;
}

// ---- floors ----

TEST(FloorFile, a_floor_is_written_in_a_fixed_form_and_reads_back) {
    sim::TFloor floor;
    floor.name = "Test # floor";
    floor.areaLow = {-500, -400};
    floor.areaHigh = {500, 400};
    floor.start = {-10, 20};
    floor.startHeading = 270;
    floor.lines.push_back({15, {{0, 0}, {100, 0}, {100, -100}}});
    floor.walls.push_back({{-500, 400}, {500, 400}});
    floor.boxes.push_back({{10, 20}, 30, 40});
    const std::string text = sim::WriteFloor(floor);
    EXPECT_EQ(text, "zolvane-floor 1\n"
                    "name Test   floor\n"
                    "area -500 -400 500 400\n"
                    "start -10 20 270\n"
                    "line 15 0 0 100 0 100 -100\n"
                    "wall -500 400 500 400\n"
                    "box 10 20 30 40\n");
    files::TResult<sim::TFloor> read = sim::ReadFloor(text);
    ASSERT_TRUE(read) << read.error();
    floor.name = "Test   floor";
    EXPECT_EQ(*read, floor);
}

TEST(FloorFile, comments_blank_lines_tabs_and_crlf_are_read) {
    files::TResult<sim::TFloor> read = sim::ReadFloor("# a floor\r\n\r\n  zolvane-floor 1 # v1\r\n"
                                                      "line\t20 0 0 10 10\r\nstart 1 2 3\r\n");
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read->lines.size(), 1u);
    EXPECT_EQ(read->start, (sim::TPoint{1, 2}));
    EXPECT_EQ(read->startHeading, 3);
    EXPECT_EQ(read->areaHigh, (sim::TPoint{1000, 1000})) << "the default area";
}

TEST(FloorFile, the_bundled_floors_read_and_write_back_the_same) {
    for (const char* name : {"empty.floor", "line-track.floor", "room.floor"}) {
        files::TResult<sim::TFloor> floor = sim::LoadFloor(assetFile(name));
        ASSERT_TRUE(floor) << floor.error();
        EXPECT_FALSE(floor->name.empty()) << name;
        files::TResult<sim::TFloor> again = sim::ReadFloor(sim::WriteFloor(*floor));
        ASSERT_TRUE(again) << again.error();
        EXPECT_EQ(*again, *floor) << name;
    }
}

TEST(FloorFile, save_and_load) {
    const std::string file = testing::TempDir() + "/sim-floor-test.floor";
    sim::TFloor floor;
    floor.boxes.push_back({{1, 2}, 3, 4});
    ASSERT_TRUE(sim::SaveFloor(floor, file));
    files::TResult<sim::TFloor> read = sim::LoadFloor(file);
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, floor);
    std::filesystem::remove(file);
    read = sim::LoadFloor(file);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find(file), std::string::npos) << read.error();
}

struct TBadFloor {
    const char* name;
    const char* text;
    const char* error;
};

class BadFloor : public testing::TestWithParam<TBadFloor> {};

TEST_P(BadFloor, is_refused_naming_the_line) {
    files::TResult<sim::TFloor> read = sim::ReadFloor(GetParam().text);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error(), GetParam().error);
}

const TBadFloor kBadFloors[] = {
    {"empty", "", "an empty text is not a floor: a floor file begins with \"zolvane-floor 1\""},
    {"no_header", "line 20 0 0 1 1\n", "line 1: a floor file begins with \"zolvane-floor 1\""},
    {"later_version", "zolvane-floor 2\n",
     "line 1: floor format version 2 is not known (this program reads version 1)"},
    {"unknown_item", "zolvane-floor 1\n\ncircle 1 2 3\n",
     "line 3: unknown item \"circle\" (expected name, area, start, line, wall or box)"},
    {"wall_short", "zolvane-floor 1\nwall 1 2 3\n", "line 2: expected wall X1 Y1 X2 Y2"},
    {"box_long", "zolvane-floor 1\nbox 1 2 3 4 5\n", "line 2: expected box X Y WIDTH HEIGHT"},
    {"line_one_point", "zolvane-floor 1\nline 20 0 0\n",
     "line 2: expected line WIDTH X1 Y1 X2 Y2, and more X Y pairs if any"},
    {"line_odd_numbers", "zolvane-floor 1\nline 20 0 0 1 1 2\n",
     "line 2: expected line WIDTH X1 Y1 X2 Y2, and more X Y pairs if any"},
    {"not_a_number", "zolvane-floor 1\nwall 1 2 3 4.5\n",
     "line 2: \"4.5\" is not a whole number from -1000000 to 1000000"},
    {"too_far", "zolvane-floor 1\nwall 1 2 3 1000001\n",
     "line 2: \"1000001\" is not a whole number from -1000000 to 1000000"},
    {"plus_sign", "zolvane-floor 1\nstart +1 0 0\n",
     "line 2: \"+1\" is not a whole number from -1000000 to 1000000"},
    {"zero_width_line", "zolvane-floor 1\nline 0 0 0 1 1\n",
     "line 2: a line's width must be 1 or more"},
    {"flat_box", "zolvane-floor 1\nbox 0 0 10 0\n",
     "line 2: a box's width and height must be 1 or more"},
    {"heading_360", "zolvane-floor 1\nstart 0 0 360\n",
     "line 2: the start heading must lie from 0 to 359 degrees"},
    {"area_upside_down", "zolvane-floor 1\narea 0 0 10 -10\n",
     "line 2: the area's upper right corner must lie above and right of its lower left one"},
    {"start_twice", "zolvane-floor 1\nstart 0 0 0\nstart 1 1 1\n", "line 3: start is given twice"},
};

INSTANTIATE_TEST_SUITE_P(Texts, BadFloor, testing::ValuesIn(kBadFloors),
                         [](const testing::TestParamInfo<TBadFloor>& info) {
                             return std::string(info.param.name);
                         });

// ---- the robot model ----

TEST(RobotModelFile, the_shipped_file_is_the_built_in_model) {
    files::TResult<sim::TRobotModel> shipped = sim::LoadRobotModel(assetFile("robot-model.txt"));
    ASSERT_TRUE(shipped) << shipped.error();
    EXPECT_EQ(*shipped, sim::DefaultRobotModel());
}

TEST(RobotModelFile, every_value_of_the_shipped_file_is_read) {
    // Each setting of the shipped file changed in turn must change the model read: no name
    // is read into the wrong value or not at all.
    files::TResult<std::string> text = files::ReadWholeFile(assetFile("robot-model.txt"));
    ASSERT_TRUE(text) << text.error();
    std::vector<std::string> lines = files::SplitLines(*text);
    std::size_t settings = 0;
    std::vector<sim::TRobotModel> seen;
    for (std::string& line : lines) {
        if (line.empty() || line[0] == '#')
            continue;
        ++settings;
        const std::string old = line;
        line = line.substr(0, line.find('=') + 1) + " 1";
        if (old.ends_with("= 1"))
            line = line.substr(0, line.find('=') + 1) + " 2";
        files::TResult<sim::TRobotModel> changed = sim::ReadRobotModel(files::JoinLines(lines));
        ASSERT_TRUE(changed) << line << ": " << changed.error();
        EXPECT_NE(*changed, sim::DefaultRobotModel()) << line;
        for (const sim::TRobotModel& other : seen)
            EXPECT_NE(*changed, other) << line << " changes what another line changed";
        seen.push_back(*changed);
        line = old;
    }
    EXPECT_EQ(settings, 20u);
}

TEST(RobotModelFile, names_left_out_keep_their_values) {
    files::TResult<sim::TRobotModel> read =
        sim::ReadRobotModel("# slower\n  drive_speed_mm_s =  100.5  # mm/s\r\nadc_max=1023\n");
    ASSERT_TRUE(read) << read.error();
    sim::TRobotModel expected;
    expected.driveSpeedMmS = 100.5;
    expected.adcMax = 1023;
    EXPECT_EQ(*read, expected);
    EXPECT_EQ(*sim::ReadRobotModel(""), sim::DefaultRobotModel());
}

struct TBadModel {
    const char* name;
    const char* text;
    const char* error;
};

class BadModel : public testing::TestWithParam<TBadModel> {};

TEST_P(BadModel, is_refused_naming_the_line) {
    files::TResult<sim::TRobotModel> read = sim::ReadRobotModel(GetParam().text);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error(), GetParam().error);
}

const TBadModel kBadModels[] = {
    {"no_equals", "\nwait_unit_ms 10\n", "line 2: expected NAME = VALUE"},
    {"unknown_name", "wait_ms = 10\n", "line 1: unknown name \"wait_ms\""},
    {"twice", "adc_max = 255\nadc_max = 1023\n", "line 2: adc_max is set twice"},
    {"not_a_number", "wait_unit_ms = ten\n",
     "line 1: wait_unit_ms takes a decimal number, not \"ten\""},
    {"empty_value", "wait_unit_ms =\n", "line 1: wait_unit_ms takes a decimal number, not \"\""},
    {"exponent", "wait_unit_ms = 1e3\n",
     "line 1: wait_unit_ms takes a decimal number, not \"1e3\""},
    {"two_numbers", "wait_unit_ms = 1 2\n",
     "line 1: wait_unit_ms takes a decimal number, not \"1 2\""},
    {"not_whole", "stack_depth = 8.5\n", "line 1: stack_depth takes a whole number"},
    {"zero_speed", "drive_speed_mm_s = 0\n", "line 1: drive_speed_mm_s must lie from 1 to 10000"},
    {"negative_wait", "wait_unit_ms = -1\n", "line 1: wait_unit_ms must lie from 0 to 60000"},
    {"key_too_high", "start_key = 8\n", "line 1: start_key must lie from 0 to 7"},
    {"fine_unit", "length_unit_mm = 0.0001\n",
     "line 1: length_unit_mm must lie from 0.001 to 1000"},
};

INSTANTIATE_TEST_SUITE_P(Texts, BadModel, testing::ValuesIn(kBadModels),
                         [](const testing::TestParamInfo<TBadModel>& info) {
                             return std::string(info.param.name);
                         });

TEST(RobotModelFile, a_missing_file_is_named) {
    files::TResult<sim::TRobotModel> read = sim::LoadRobotModel("/no/such/robot-model.txt");
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("/no/such/robot-model.txt"), std::string::npos);
    const std::string file = testing::TempDir() + "/sim-model-test.txt";
    ASSERT_TRUE(files::ReplaceFile(file, "adc_max = 0\n"));
    read = sim::LoadRobotModel(file);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error(),
              "Robot model \"" + file + "\", line 1: adc_max must lie from 1 to 65535");
    std::filesystem::remove(file);
}

// ---- the runnable form of a statement ----

TEST(RunnableForm, reads_what_the_checker_reads_with_the_same_errors) {
    const char* statements[] = {
        "A=1",
        "A = B + -C*(D-2)/3",
        "IF (A<2 OR B>=3) AND C<>1 THEN 40",
        "IF (A)=1 THEN 10",
        "IF (A+1)*2>3 THEN 10",
        "FOR I=-2 TO 5",
        "NEXT I",
        "PLAY 8408F1",
        "PLAY",
        "SERVOE 1,2,3,4,5,6",
        "MOTOR -255,255",
        "DDRC 7",
        "PORTD 255",
        "A=PINB+PC4+PCX+MIC+ADC7",
        "",
        "FD",
        "a=1",
        "IF A THEN 10",
        "GOTO label: x",
        "PLAY 12G",
        "FOR A=1 TO",
        "A=(1+2",
        "SERVOE 1,2",
        "X=2147483648",
        "IF 1=1 THEN",
        "STX 1",
        "PINA=1",
    };
    for (const char* statement : statements) {
        const check::TStatementRead plain = check::ReadStatement(statement);
        check::TStatementCode code;
        const check::TStatementRead coded = check::ReadStatement(statement, code);
        EXPECT_EQ(coded.ok, plain.ok) << statement;
        EXPECT_EQ(coded.error.at, plain.error.at) << statement;
        EXPECT_EQ(coded.error.expected, plain.error.expected) << statement;
        EXPECT_EQ(coded.error.atTarget, plain.error.atTarget) << statement;
        EXPECT_EQ(coded.statement.kind, plain.statement.kind) << statement;
        EXPECT_EQ(coded.statement.target, plain.statement.target) << statement;
    }
}

TEST(RunnableForm, gives_commands_values_and_postfix_code) {
    using check::TOp;
    check::TStatementCode code;
    ASSERT_TRUE(check::ReadStatement("B = 2 - A * (C + PC1)", code).ok);
    EXPECT_EQ(code.command, check::TCommand::Assign);
    EXPECT_EQ(code.variable, 'B');
    std::vector<std::pair<TOp, std::int32_t>> ops;
    for (const check::TInstruction& i : code.code)
        ops.emplace_back(i.op, i.value);
    EXPECT_EQ(ops, (std::vector<std::pair<TOp, std::int32_t>>{
                       {TOp::Number, 2},
                       {TOp::Variable, 0},
                       {TOp::Variable, 2},
                       {TOp::Source, static_cast<std::int32_t>(check::TSource::Pc1)},
                       {TOp::Add, 0},
                       {TOp::Multiply, 0},
                       {TOp::Subtract, 0}}));

    // A bracket that turns out to hold a value, not a condition, leaves no code behind.
    ASSERT_TRUE(check::ReadStatement("IF (A+1)*2>3 OR B=1 THEN 70", code).ok);
    EXPECT_EQ(code.command, check::TCommand::If);
    EXPECT_EQ(code.target, 70);
    ops.clear();
    for (const check::TInstruction& i : code.code)
        ops.emplace_back(i.op, 0);
    EXPECT_EQ(ops, (std::vector<std::pair<TOp, std::int32_t>>{{TOp::Variable, 0},
                                                              {TOp::Number, 0},
                                                              {TOp::Add, 0},
                                                              {TOp::Number, 0},
                                                              {TOp::Multiply, 0},
                                                              {TOp::Number, 0},
                                                              {TOp::Greater, 0},
                                                              {TOp::Variable, 0},
                                                              {TOp::Number, 0},
                                                              {TOp::Equal, 0},
                                                              {TOp::Or, 0}}));

    ASSERT_TRUE(check::ReadStatement("SERVOE 1,-2,3,4,5,6", code).ok);
    EXPECT_EQ(code.command, check::TCommand::Servo);
    EXPECT_EQ(code.values, (std::array<std::int32_t, 6>{1, -2, 3, 4, 5, 6}));
    ASSERT_TRUE(check::ReadStatement("PORTC 12", code).ok);
    EXPECT_EQ(code.command, check::TCommand::Port);
    EXPECT_EQ(code.port, 2);
    ASSERT_TRUE(check::ReadStatement("PLAY 8408F1", code).ok);
    EXPECT_EQ(code.notes, "8408F1");
    ASSERT_TRUE(check::ReadStatement("FOR K=3 TO -1", code).ok);
    EXPECT_EQ(code.variable, 'K');
    EXPECT_EQ(code.values[0], 3);
    EXPECT_EQ(code.values[1], -1);
}

} // namespace

TEST(UnitText, TheUnitAloneOrHowManyOfItAStepIs) {
    EXPECT_EQ(sim::UnitText(1, "mm"), "mm");
    EXPECT_EQ(sim::UnitText(10, "ms"), "x 10 ms");
    EXPECT_EQ(sim::UnitText(0.5, "mm"), "x 0.5 mm");
    const sim::TRobotModel model = sim::DefaultRobotModel();
    EXPECT_EQ(sim::UnitText(model.waitUnitMs, "ms"), "x 10 ms") << "the shipped model's WAIT";
}
