// The robot model at work: where the drive statements take the robot, what its sensors read on
// the bundled floors, what PLAY, LED, the ports and VOICEX give, and the same run every time.
#include "SimSupport.h"
#include "files/Files.h"
#include "sim/SensorRecorder.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using simtest::Listing;

std::string assetFile(const std::string& name) {
    return std::string(ZOLVANE_FIXTURES) + "/../../assets/sim/" + name;
}

sim::TFloor bundledFloor(const std::string& name) {
    files::TResult<sim::TFloor> floor = sim::LoadFloor(assetFile(name));
    EXPECT_TRUE(floor) << floor.error();
    return floor ? *floor : sim::TFloor{};
}

// A model in which statements take no time of their own, so that a pose is the drive alone.
sim::TRobotModel timeless() {
    sim::TRobotModel model;
    model.statementMs = 0;
    return model;
}

struct TDriveCase {
    const char* name;
    std::vector<std::string> statements;
    double x, y, heading; // from the start at 0 0 facing 90
    std::int64_t timeMs;
};

std::ostream& operator<<(std::ostream& os, const TDriveCase& c) {
    return os << c.name;
}

class Drive : public testing::TestWithParam<TDriveCase> {};

TEST_P(Drive, ends_at_the_pose_of_the_model) {
    const TDriveCase& c = GetParam();
    sim::TSimulator simulator(timeless());
    simulator.load(Listing(c.statements));
    simulator.run();
    ASSERT_EQ(simulator.status().state, sim::TRunState::Ended) << simulator.status().message;
    EXPECT_NEAR(simulator.pose().x, c.x, 0.01);
    EXPECT_NEAR(simulator.pose().y, c.y, 0.01);
    EXPECT_NEAR(simulator.pose().heading, c.heading, 0.01);
    EXPECT_EQ(simulator.timeUs() / 1000, c.timeMs);
}

const TDriveCase kDriveCases[] = {
    // 200 mm/s: FD 100 is 100 mm in half a second, and the wheels stop after it.
    {"forward_length", {"FD 100"}, 0, 100, 90, 500},
    {"backward_length", {"BK 50"}, 0, -50, 90, 250},
    {"negative_length_goes_the_other_way", {"FD -50"}, 0, -50, 90, 250},
    {"wheels_stop_after_a_length", {"FD 100", "WAIT 100"}, 0, 100, 90, 1500},
    // 180 degrees a second on the spot.
    {"left_turn", {"LT 90"}, 0, 0, 180, 500},
    {"right_turn_past_zero", {"RT 135"}, 0, 0, 315, 750},
    {"square_comes_home",
     {"FD 100", "LT 90", "FD 100", "LT 90", "FD 100", "LT 90", "FD 100", "LT 90"},
     0,
     0,
     90,
     4000},
    {"turn_then_drive", {"RT 90", "FD 100"}, 100, 0, 0, 1000},
    {"forward_until_stopped", {"FDX", "WAIT 150", "STX", "WAIT 100"}, 0, 300, 90, 2500},
    {"backward_until_stopped", {"BKX", "WAIT 50", "STX"}, 0, -100, 90, 500},
    {"left_until_stopped", {"LTX", "WAIT 50", "STX"}, 0, 0, 180, 500},
    {"right_until_another_drive", {"RTX", "WAIT 50", "FD 100"}, 100, 0, 0, 1000},
    // MOTOR 50,150: 100 mm/s along an arc of radius 100 mm, 1 radian a second (track 100).
    {"motor_arc", {"MOTOR 50,150", "WAIT 100", "STX"}, -45.970, 84.147, 147.296, 1000},
    {"motor_on_the_spot", {"MOTOR -50,50", "WAIT 157", "STX"}, 0, 0, 90 + 89.9544, 1570},
    // Values beyond 255 are held to it.
    {"motor_held_to_255", {"MOTOR 1000,255", "WAIT 100", "MOTOR 0,0"}, 0, 255, 90, 1000},
};

INSTANTIATE_TEST_SUITE_P(Statements, Drive, testing::ValuesIn(kDriveCases),
                         [](const testing::TestParamInfo<TDriveCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(DriveTime, every_statement_takes_a_millisecond_in_the_shipped_model) {
    sim::TSimulator simulator;
    simulator.load(Listing({"FDX", "WAIT 100", "STX"}));
    simtest::TTraceRecorder trace(simulator);
    simulator.setListener(&trace);
    simulator.run();
    EXPECT_EQ(trace.times, (std::vector<std::int64_t>{0, 1'000, 2'000, 1'003'000}));
    // Moving from the FDX at 1 ms to the STX at 1003 ms.
    EXPECT_NEAR(simulator.pose().y, 200.4, 1e-9);
    EXPECT_EQ(simulator.leftSpeed(), 0);
}

// ---- the floors ----

TEST(LineTrack, the_downward_sensors_read_the_line_under_them) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), bundledFloor("line-track.floor"));
    // At the start the middle sensor is over the line; a right turn of 10 degrees brings the
    // left one over it; going on round the start, the right one; driving off the line, none.
    simulator.load(Listing({"A=PCX", "RT 10", "B=PCX", "LT 20", "C=PCX", "RT 100", "FD 100",
                            "D=PCX", "E=PC0+PC1+PC2"}));
    simulator.run();
    EXPECT_EQ(sim::VariablesText(simulator), "A=2 B=1 C=4 D=0 E=0");
}

TEST(LineTrack, a_line_follower_goes_round_the_track) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), bundledFloor("line-track.floor"));
    simulator.load(Listing({
        "IF PC0=1 THEN 60", // 20
        "IF PC2=1 THEN 80", // 30
        "MOTOR 150,150",    // 40
        "GOTO 20",          // 50
        "MOTOR 40,150",     // 60: the line is to the left
        "GOTO 20",          // 70
        "MOTOR 150,40",     // 80: to the right
        "GOTO 20",          // 90
    }));
    // Where the robot has been, every 10 ms: it must reach every side of the loop.
    struct TPath : sim::TSimListener {
        const sim::TSimulator* simulator = nullptr;
        double least = 0, most = 0, lowest = 0, highest = 0;
        int offTrack = 0;
        void ticked(std::int64_t) override {
            const sim::TPose& p = simulator->pose();
            least = std::min(least, p.x);
            most = std::max(most, p.x);
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
            // The track's straights run at y = +-400 and x = +-600.
            const double off =
                std::min(std::abs(std::abs(p.y) - 400), std::abs(std::abs(p.x) - 600));
            if (off > 100)
                ++offTrack;
        }
    } path;
    path.simulator = &simulator;
    simulator.setListener(&path);
    simulator.setTickInterval(10'000);
    simulator.runFor(30'000'000); // half a minute
    EXPECT_FALSE(simulator.finished());
    EXPECT_GT(path.most, 550);
    EXPECT_LT(path.least, -550);
    EXPECT_GT(path.highest, 350);
    EXPECT_LT(path.lowest, -350);
    EXPECT_EQ(path.offTrack, 0);
}

TEST(Room, walls_stop_the_robot_and_the_sensors_see_them) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), bundledFloor("room.floor"));
    // From 0 -700 facing the box whose lower side is at y = 200: nothing within 500 mm, then
    // 325 mm from the front of the body, then against the box.
    simulator.load(
        Listing({"A=ADC0", "B=PC3+PC4", "FD 500", "C=ADC0", "FD 1000", "D=ADC0", "E=PC3", "F=PC4",
                 "LT 60", "G=PC3", "H=PC4", "RT 120", "I=PC3", "J=PC4", "RT 60", "K=PC3+PC4"}));
    simulator.run();
    // Stopped within the last 10 ms step before the box: 0 to 2 mm from it.
    EXPECT_GE(simulator.variable('D'), 254);
    // Turned 60 degrees left the box is on the right only; 60 right, on the left only;
    // turned away, on neither.
    EXPECT_EQ(sim::VariablesText(simulator),
              "A=0 B=0 C=89 D=" + std::to_string(simulator.variable('D')) +
                  " E=1 F=1 G=0 H=1 I=1 J=0 K=0");
    EXPECT_LE(simulator.pose().y, 200 - 75);
    EXPECT_GT(simulator.pose().y, 200 - 75 - 3);
    EXPECT_NEAR(simulator.pose().x, 0, 1e-9);
}

TEST(Room, a_fast_robot_does_not_pass_through_a_thin_wall) {
    sim::TFloor floor;
    floor.walls.push_back({{-500, 300}, {500, 300}});
    sim::TSimulator simulator(sim::DefaultRobotModel(), floor);
    simulator.load(Listing({"MOTOR 255,255", "WAIT 500"}));
    simulator.run();
    EXPECT_LT(simulator.pose().y, 300 - 75);
    EXPECT_GT(simulator.pose().y, 300 - 75 - 3);
}

// ---- inputs set by hand ----

TEST(Inputs, set_by_hand_they_override_the_floor) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), bundledFloor("line-track.floor"));
    simulator.load(Listing({"A=PC1", "B=ADC3", "C=MIC", "D=PCX"}));
    EXPECT_EQ(simulator.input(sim::TInput::Pc1), 1);
    EXPECT_TRUE(simulator.setInput(sim::TInput::Pc1, 0));
    EXPECT_TRUE(simulator.setInput(sim::TInput::Adc3, 200));
    EXPECT_TRUE(simulator.setInput(sim::TInput::Mic, 1));
    EXPECT_TRUE(simulator.setInput(sim::TInput::Pc4, 1));
    simulator.run();
    EXPECT_EQ(sim::VariablesText(simulator), "A=0 B=200 C=1 D=16");
    simulator.clearInput(sim::TInput::Pc1);
    EXPECT_EQ(simulator.inputOverride(sim::TInput::Pc1), std::nullopt);
    EXPECT_EQ(simulator.input(sim::TInput::Pc1), 1);
}

TEST(Inputs, values_outside_their_range_are_refused) {
    sim::TSimulator simulator;
    EXPECT_FALSE(simulator.setInput(sim::TInput::Pc0, 2));
    EXPECT_FALSE(simulator.setInput(sim::TInput::Adc0, 256));
    EXPECT_FALSE(simulator.setInput(sim::TInput::Adc0, -1));
    EXPECT_FALSE(simulator.setInput(sim::TInput::PinD, 256));
    EXPECT_TRUE(simulator.setInput(sim::TInput::PinD, 255));
    EXPECT_EQ(simulator.inputOverride(sim::TInput::Pc0), std::nullopt);
    sim::TRobotModel tenBits;
    tenBits.adcMax = 1023;
    sim::TSimulator wider(tenBits);
    EXPECT_TRUE(wider.setInput(sim::TInput::Adc0, 1023));
}

TEST(Inputs, names_and_their_inputs) {
    for (std::size_t i = 0; i < sim::kInputCount; ++i) {
        const auto input = static_cast<sim::TInput>(i);
        EXPECT_EQ(sim::InputByName(sim::InputName(input)), input);
    }
    EXPECT_EQ(sim::InputName(sim::TInput::Adc3), "ADC3");
    EXPECT_EQ(sim::InputByName("pc0"), std::nullopt);
    EXPECT_EQ(sim::InputByName("PCX"), std::nullopt) << "PCX is read from the five, not set";
}

// ---- ports, lamps, servos, sound and speech ----

TEST(Ports, pins_read_outputs_from_the_port_and_inputs_from_outside) {
    sim::TSimulator simulator;
    ASSERT_TRUE(simulator.setInput(sim::TInput::PinA, 0xA5));
    simulator.load(
        Listing({"A=PINA", "DDRA 15", "PORTA 255", "B=PINA", "PORTC 300", "DDRD -1", "C=PIND"}));
    simulator.run();
    EXPECT_EQ(sim::VariablesText(simulator), "A=165 B=175 C=0");
    EXPECT_EQ(simulator.ddr(0), 15);
    EXPECT_EQ(simulator.portOut(2), 300 & 0xFF);
    EXPECT_EQ(simulator.ddr(3), 255);
}

TEST(Ports, the_lamps_are_the_low_bits_of_port_b_and_tell_when_they_change) {
    sim::TSimulator simulator;
    simtest::TTraceRecorder events(simulator);
    simulator.setListener(&events);
    EXPECT_EQ(simulator.leds(), 0) << "all dark at switch-on";
    simulator.load(Listing({"LED 6", "LED 6", "PORTB 248", "LED 7", "PORTB 15"}));
    simulator.run();
    // 6: PB0 lit; PORTB 248 lights all three; LED 7 darkens them and keeps bits 3..7;
    // PORTB 15 changes only bit 3 and no lamp.
    EXPECT_EQ(events.leds, (std::vector<int>{1, 7, 0}));
    EXPECT_EQ(simulator.portOut(1), 15);
}

TEST(Servos, positions_and_speed_are_held_to_the_dialog_ranges) {
    sim::TSimulator simulator;
    EXPECT_EQ(simulator.servos(), (std::array<int, 5>{9, 9, 9, 9, 9}));
    simulator.load(Listing({"SERVOE 0,18,25,-3,7,9"}));
    simulator.run();
    EXPECT_EQ(simulator.servos(), (std::array<int, 5>{0, 18, 18, 0, 7}));
    EXPECT_EQ(simulator.servoSpeed(), 5);
}

TEST(Sound, play_gives_each_note_at_its_time_in_the_key) {
    sim::TSimulator simulator;
    simtest::TTraceRecorder events(simulator);
    simulator.setListener(&events);
    // The composer's example: the middle 1 for a beat, a rest of two, the high 1 (tone F) for
    // a quarter; then tone 1 in key 2, the third degree; a last single digit is left out.
    simulator.load(Listing({"PLAY 8408F1", "KEY 2", "PLAY 125", "KEY 9", "A=1"}));
    simulator.run();
    ASSERT_EQ(events.notes.size(), 4u);
    EXPECT_EQ(events.notes[0].tone, 8);
    EXPECT_NEAR(events.notes[0].frequencyHz, 524, 1e-9);
    EXPECT_EQ(events.notes[0].startUs, 1'000);
    EXPECT_EQ(events.notes[0].durationUs, 600'000);
    EXPECT_EQ(events.notes[1].frequencyHz, 0);
    EXPECT_EQ(events.notes[1].startUs, 601'000);
    EXPECT_EQ(events.notes[1].durationUs, 1'200'000);
    EXPECT_NEAR(events.notes[2].frequencyHz, 262 * 4, 1e-9);
    EXPECT_EQ(events.notes[2].durationUs, 150'000);
    EXPECT_EQ(events.notes[3].key, 2);
    EXPECT_NEAR(events.notes[3].frequencyHz, 262 * std::pow(2.0, 4 / 12.0), 1e-9);
    EXPECT_EQ(events.notes[3].durationUs, 300'000);
    ASSERT_TRUE(simulator.lastNote());
    EXPECT_EQ(simulator.lastNote()->startUs, events.notes[3].startUs);
    // The statements after PLAY begin when the tune is over.
    EXPECT_EQ(events.times[2], 1'000 + 1'950'000 + 1'000);
    EXPECT_EQ(simulator.key(), 7) << "KEY is held to 0..7";
}

TEST(Sound, a_note_in_a_slice_is_told_when_its_time_comes) {
    sim::TSimulator simulator;
    simtest::TTraceRecorder events(simulator);
    simulator.setListener(&events);
    simulator.load(Listing({"PLAY 14243444"}));
    simulator.runFor(700'000);
    EXPECT_EQ(events.notes.size(), 2u);
    simulator.runFor(1'000'000); // to 1.7 s: the third note began at 1.201 s
    EXPECT_EQ(events.notes.size(), 3u);
    simulator.runFor(200'000);
    EXPECT_EQ(events.notes.size(), 4u);
}

TEST(Speech, voicex_tells_the_phrase_and_goes_on) {
    sim::TSimulator simulator;
    simtest::TTraceRecorder events(simulator);
    simulator.setListener(&events);
    simulator.load(Listing({"VOICEX 12", "VOICEX 3"}));
    EXPECT_EQ(simulator.lastPhrase(), std::nullopt);
    simulator.run();
    EXPECT_EQ(events.phrases, (std::vector<int>{12, 3}));
    EXPECT_EQ(simulator.lastPhrase(), 3);
    EXPECT_EQ(simulator.timeUs(), 3'000);
}

// ---- the same run every time ----

struct TRecord : sim::TSimListener {
    const sim::TSimulator* simulator = nullptr;
    std::string text;
    void statementStarted(std::int64_t t, std::size_t i) override {
        text += std::to_string(t) + " " + std::to_string(i) + "\n";
    }
    void ticked(std::int64_t) override { text += sim::SensorCsvRow(sim::SampleOf(*simulator)); }
};

std::string recordedRun(std::int64_t slice) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), bundledFloor("room.floor"));
    simulator.load(
        Listing({"MOTOR 120,100", "IF ADC0<100 THEN 20", "RT 90", "PLAY 1122", "GOTO 20"}));
    TRecord record;
    record.simulator = &simulator;
    simulator.setListener(&record);
    simulator.setTickInterval(sim::kSampleUs);
    simulator.setStepLimit(20'000);
    if (slice == 0) {
        simulator.run();
    } else {
        while (!simulator.finished())
            simulator.runFor(slice);
    }
    const sim::TPose& p = simulator.pose();
    return record.text + std::to_string(p.x) + " " + std::to_string(p.y) + " " +
           std::to_string(p.heading);
}

// Where two long records first differ, instead of the whole of both.
testing::AssertionResult sameRecord(const std::string& a, const std::string& b) {
    if (a == b)
        return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    const std::size_t from = at > 80 ? at - 80 : 0;
    return testing::AssertionFailure() << "differ at " << at << ":\n"
                                       << a.substr(from, 160) << "\n---\n"
                                       << b.substr(from, 160);
}

TEST(Determinism, the_same_program_gives_the_same_run) {
    const std::string first = recordedRun(0);
    EXPECT_TRUE(sameRecord(recordedRun(0), first));
    EXPECT_GT(first.size(), 100'000u);
}

TEST(Determinism, slices_of_any_length_give_the_run_of_one_go) {
    const std::string whole = recordedRun(0);
    for (std::int64_t slice : {1'000, 16'667, 250'000})
        EXPECT_TRUE(sameRecord(recordedRun(slice), whole)) << "slices of " << slice << " us";
}

} // namespace
