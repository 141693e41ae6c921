// The simulator: statements a second of a tight arithmetic loop (the aim: 5 million), and ten
// simulated minutes of a program that drives and waits (the aim: under 100 ms), on the empty
// floor and in the walled room, where every 10 ms of movement is looked at for walls.
#include "sim/Simulator.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> listing(const std::vector<std::string>& statements) {
    std::vector<std::string> lines{"10 REM \"ZOLVANE\""};
    int number = 20;
    for (const std::string& s : statements) {
        lines.push_back(std::to_string(number) + " REM \"" + s + "\"");
        number += 10;
    }
    return lines;
}

// A counted loop of arithmetic, a condition and a jump: 100,000 rounds of five statements.
void BM_TightArithmeticLoop(benchmark::State& state) {
    sim::TSimulator simulator;
    simulator.load(listing({
        "A=0",                    // 20
        "FOR I=1 TO 100000",      // 30
        "A=A+I*3-(A/7)",          // 40
        "B=A-I*2",                // 50
        "IF B<0 AND A>5 THEN 70", // 60
        "C=C+1",                  // 70
        "NEXT I",                 // 80
    }));
    std::uint64_t statements = 0;
    for (auto _ : state) {
        simulator.reset();
        simulator.run();
        if (simulator.status().state != sim::TRunState::Ended)
            state.SkipWithError("the loop did not end");
        statements += simulator.steps();
        benchmark::DoNotOptimize(simulator.variable('C'));
    }
    state.counters["statements/s"] =
        benchmark::Counter(static_cast<double>(statements), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TightArithmeticLoop)->Unit(benchmark::kMillisecond);

// Drives a square with waits and tunes between, round and round, for ten simulated minutes.
void driveAndWait(benchmark::State& state, sim::TFloor floor) {
    sim::TSimulator simulator(sim::DefaultRobotModel(), std::move(floor));
    simulator.load(listing({
        "FDX",          // 20
        "WAIT 50",      // 30
        "STX",          // 40
        "LT 90",        // 50
        "MOTOR 80,120", // 60
        "WAIT 100",     // 70
        "MOTOR 0,0",    // 80
        "PLAY 1122",    // 90
        "A=ADC0+PC1",   // 100
        "GOTO 20",      // 110
    }));
    constexpr std::int64_t kTenMinutes = 10 * 60 * 1'000'000LL;
    for (auto _ : state) {
        simulator.reset();
        simulator.runFor(kTenMinutes);
        if (simulator.timeUs() < kTenMinutes)
            state.SkipWithError("ten minutes were not simulated");
        benchmark::DoNotOptimize(simulator.pose());
    }
}

void BM_TenMinutesDrivingAndWaiting(benchmark::State& state) {
    driveAndWait(state, sim::TFloor{});
}
BENCHMARK(BM_TenMinutesDrivingAndWaiting)->Unit(benchmark::kMillisecond);

void BM_TenMinutesDrivingAndWaitingInARoom(benchmark::State& state) {
    sim::TFloor room;
    room.walls = {{{-1000, -1000}, {1000, -1000}},
                  {{1000, -1000}, {1000, 1000}},
                  {{1000, 1000}, {-1000, 1000}},
                  {{-1000, 1000}, {-1000, -1000}}};
    room.boxes = {{{-200, 200}, 400, 200}, {{500, -500}, 200, 300}};
    driveAndWait(state, std::move(room));
}
BENCHMARK(BM_TenMinutesDrivingAndWaitingInARoom)->Unit(benchmark::kMillisecond);

// A line follower that polls its sensors without waiting: a statement every simulated
// millisecond, each reading the floor under a moving robot, for ten simulated minutes.
void BM_TenMinutesLineFollowing(benchmark::State& state) {
    sim::TFloor track;
    track.start = {-270, -400};
    track.startHeading = 0;
    track.lines.push_back({20,
                           {{-400, -400},
                            {400, -400},
                            {600, -200},
                            {600, 200},
                            {400, 400},
                            {-400, 400},
                            {-600, 200},
                            {-600, -200},
                            {-400, -400}}});
    sim::TSimulator simulator(sim::DefaultRobotModel(), std::move(track));
    simulator.load(listing({
        "IF PC0=1 THEN 60", // 20
        "IF PC2=1 THEN 80", // 30
        "MOTOR 150,150",    // 40
        "GOTO 20",          // 50
        "MOTOR 40,150",     // 60
        "GOTO 20",          // 70
        "MOTOR 150,40",     // 80
        "GOTO 20",          // 90
    }));
    constexpr std::int64_t kTenMinutes = 10 * 60 * 1'000'000LL;
    for (auto _ : state) {
        simulator.reset();
        simulator.runFor(kTenMinutes);
        benchmark::DoNotOptimize(simulator.pose());
    }
    state.counters["statements"] = static_cast<double>(simulator.steps());
}
BENCHMARK(BM_TenMinutesLineFollowing)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
