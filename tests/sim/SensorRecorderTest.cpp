// The sensor recorder: when it samples, what a sample holds, its CSV text, and how it stays
// within its capacity on a long run.
#include "sim/SensorRecorder.h"

#include "SimSupport.h"

#include <gtest/gtest.h>

namespace {

using simtest::Listing;

// Feeds the recorder as the panel and the tool do: a sample at the start, one every tick and
// one at the end.
class TFeed : public sim::TSimListener {
public:
    TFeed(const sim::TSimulator& simulator, sim::TSensorRecorder& recorder)
        : m_simulator(simulator), m_recorder(recorder) {}
    void ticked(std::int64_t) override { m_recorder.record(m_simulator); }
    void finished(const sim::TRunStatus&) override { m_recorder.recordEnd(m_simulator); }

private:
    const sim::TSimulator& m_simulator;
    sim::TSensorRecorder& m_recorder;
};

void runRecorded(sim::TSimulator& simulator, sim::TSensorRecorder& recorder,
                 const std::vector<std::string>& statements) {
    simulator.load(Listing(statements));
    TFeed feed(simulator, recorder);
    simulator.setListener(&feed);
    simulator.setTickInterval(sim::kSampleUs);
    recorder.clear();
    recorder.record(simulator);
    simulator.run();
    simulator.setListener(nullptr);
}

std::vector<std::int64_t> timesMs(const sim::TSensorRecorder& recorder) {
    std::vector<std::int64_t> times;
    for (const sim::TSensorSample& s : recorder.samples())
        times.push_back(s.timeUs / 1000);
    return times;
}

std::vector<std::int64_t> range(std::int64_t from, std::int64_t to, std::int64_t step) {
    std::vector<std::int64_t> values;
    for (std::int64_t v = from; v <= to; v += step)
        values.push_back(v);
    return values;
}

// One column of a sample as the CSV shows it.
std::string column(const sim::TSensorSample& sample, std::size_t index) {
    std::string row = sim::SensorCsvRow(sample);
    for (std::size_t i = 0; i < index; ++i)
        row.erase(0, row.find(',') + 1);
    return row.substr(0, row.find_first_of(",\n"));
}

constexpr std::size_t kLeft = 15, kRight = 16, kX = 17, kY = 18, kHeading = 19;

struct TExpectedValue {
    std::int64_t timeMs;
    std::size_t column;
    std::string value;
};

struct TRecordCase {
    const char* name;
    std::vector<std::string> statements;
    std::vector<std::pair<sim::TInput, std::int32_t>> inputs;
    std::size_t capacity;
    std::vector<std::int64_t> times; // of the samples, in ms
    std::vector<TExpectedValue> values;
};

class SensorRecorderRuns : public testing::TestWithParam<TRecordCase> {};

TEST_P(SensorRecorderRuns, samples_at_the_start_every_interval_and_the_end) {
    const TRecordCase& c = GetParam();
    sim::TSimulator simulator;
    for (const auto& [input, value] : c.inputs)
        ASSERT_TRUE(simulator.setInput(input, value));
    sim::TSensorRecorder recorder(c.capacity);
    runRecorded(simulator, recorder, c.statements);
    EXPECT_EQ(timesMs(recorder), c.times);
    for (const TExpectedValue& v : c.values) {
        const std::size_t at = recorder.firstAtOrAfter(v.timeMs * 1000);
        ASSERT_LT(at, recorder.samples().size()) << v.timeMs;
        ASSERT_EQ(recorder.samples()[at].timeUs, v.timeMs * 1000);
        EXPECT_EQ(column(recorder.samples()[at], v.column), v.value)
            << "column " << v.column << " at " << v.timeMs << " ms";
    }
}

std::vector<std::int64_t> withEnd(std::vector<std::int64_t> times, std::int64_t end) {
    times.push_back(end);
    return times;
}

// The default model: every statement 1 ms, FD at 200 mm/s, turns at 180 degrees a second; the
// robot starts at (0, 0) facing 90 degrees.
INSTANTIATE_TEST_SUITE_P(
    Runs, SensorRecorderRuns,
    testing::Values(
        // Title 1 ms, FD 100 drives 500 ms and takes its 1 ms: 0..500 and the end at 502.
        TRecordCase{"drive_then_stop",
                    {"FD 100"},
                    {},
                    0,
                    withEnd(range(0, 500, 10), 502),
                    {{0, kLeft, "0"},
                     {250, kLeft, "200"},
                     {250, kRight, "200"},
                     {250, kX, "0"},
                     {250, kY, "50"},
                     {250, kHeading, "90"},
                     {502, kLeft, "0"},
                     {502, kY, "100"}}},
        // The wheels keep turning while the program waits: MOTOR at 1 ms, WAIT 5 to 52 ms.
        TRecordCase{
            "motor_while_waiting",
            {"MOTOR -20,100", "WAIT 5"},
            {},
            0,
            withEnd(range(0, 50, 10), 53),
            {{0, kRight, "0"}, {30, kLeft, "-20"}, {30, kRight, "100"}, {53, kRight, "100"}}},
        // Inputs set by hand read in every sample, the others the floor's (0 on an empty one).
        TRecordCase{"inputs_set_by_hand",
                    {"WAIT 2"},
                    {{sim::TInput::Pc3, 1}, {sim::TInput::Mic, 1}, {sim::TInput::Adc7, 201}},
                    0,
                    {0, 10, 20, 22},
                    {{0, 4, "1"},
                     {20, 4, "1"},
                     {20, 6, "1"},
                     {20, 14, "201"},
                     {22, 14, "201"},
                     {22, 13, "0"}}},
        // A run that ends on a tick has that sample once.
        TRecordCase{"end_on_a_tick",
                    {"WAIT 1", "STX", "STX", "STX", "STX", "STX", "STX", "STX", "STX"},
                    {},
                    0,
                    {0, 10, 20},
                    {}},
        // A run of no time: the start only.
        TRecordCase{"nothing_to_run", {}, {}, 0, {0, 1}, {}},
        // Capacity 4: full at 30 ms, at 40 the odd ones go (0 20 40), full again at 60, at 80
        // the grid is 40 ms (0 40 80); 100 ms is off it; the end always comes in.
        TRecordCase{"thinned_to_its_capacity", {"WAIT 10"}, {}, 4, {0, 40, 80, 102}, {}},
        // A left turn of 90 degrees: half a second, the heading at 90 + 90.
        TRecordCase{"turn",
                    {"LT 90"},
                    {},
                    0,
                    withEnd(range(0, 500, 10), 502),
                    {{250, kHeading, "135"}, {502, kHeading, "180"}, {250, kLeft, "-157"}}}),
    [](const testing::TestParamInfo<TRecordCase>& info) { return std::string(info.param.name); });

TEST(SensorRecorder, csv_header_and_rows_round_to_whole_numbers) {
    EXPECT_EQ(sim::SensorCsvHeader(),
              "time_ms,PC0,PC1,PC2,PC3,PC4,MIC,ADC0,ADC1,ADC2,ADC3,ADC4,ADC5,ADC6,ADC7,"
              "left_mm_s,right_mm_s,x_mm,y_mm,heading_deg\n");
    sim::TSensorSample sample;
    sample.timeUs = 12'999; // whole milliseconds, cut
    sample.inputs = {1, 0, 1, 0, 0, 3, 255, 1, 2, 3, 4, 5, 6, 7};
    sample.leftMmS = -0.4f; // not "-0"
    sample.rightMmS = 99.5f;
    sample.x = -12.6f;
    sample.y = 0.49f;
    sample.heading = 359.6f; // 360 is 0
    EXPECT_EQ(sim::SensorCsvRow(sample), "12,1,0,1,0,0,3,255,1,2,3,4,5,6,7,0,100,-13,0,0\n");

    sim::TSimulator simulator;
    sim::TSensorRecorder recorder;
    runRecorded(simulator, recorder, {"WAIT 1"});
    EXPECT_EQ(recorder.csv(), sim::SensorCsvHeader() +
                                  "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,90\n"
                                  "10,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,90\n"
                                  "12,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,90\n");
}

TEST(SensorRecorder, a_long_run_stays_within_the_capacity_and_whole) {
    // An hour of driving in circles: 360,000 ticks into 1,000 samples.
    sim::TSimulator simulator;
    sim::TSensorRecorder recorder(1000);
    runRecorded(simulator, recorder,
                {"MOTOR 50,100", "WAIT 32767", "WAIT 32767", "WAIT 32767", "WAIT 32767",
                 "WAIT 32767", "WAIT 32767", "WAIT 32767", "WAIT 32767", "WAIT 32767", "WAIT 32767",
                 "WAIT 32767"});
    const std::vector<sim::TSensorSample>& samples = recorder.samples();
    ASSERT_LE(samples.size(), 1000u);
    EXPECT_GE(samples.size(), 500u); // thinning halves, never more
    EXPECT_EQ(samples.front().timeUs, 0);
    EXPECT_EQ(samples.back().timeUs, simulator.timeUs());
    EXPECT_GT(recorder.intervalUs(), sim::kSampleUs);
    for (std::size_t i = 1; i + 1 < samples.size(); ++i) {
        EXPECT_EQ(samples[i].timeUs - samples[i - 1].timeUs, recorder.intervalUs()) << i;
        if (::testing::Test::HasFailure())
            break;
    }
    EXPECT_EQ(samples[1].leftMmS, 50);
}

TEST(SensorRecorder, a_new_run_starts_a_new_record) {
    sim::TSimulator simulator;
    sim::TSensorRecorder recorder(4);
    runRecorded(simulator, recorder, {"WAIT 10"});
    ASSERT_EQ(recorder.intervalUs(), 40'000);
    // Cleared: the interval is back to 10 ms.
    runRecorded(simulator, recorder, {"WAIT 1"});
    EXPECT_EQ(timesMs(recorder), (std::vector<std::int64_t>{0, 10, 12}));
    EXPECT_EQ(recorder.intervalUs(), sim::kSampleUs);
    // Not cleared after a reset: time going back starts the record over rather than mixing runs.
    simulator.reset();
    recorder.record(simulator);
    EXPECT_EQ(timesMs(recorder), (std::vector<std::int64_t>{0}));
    // Between ticks nothing is taken.
    simulator.runFor(5'000);
    recorder.record(simulator);
    EXPECT_EQ(timesMs(recorder), (std::vector<std::int64_t>{0}));
}

TEST(SensorRecorder, first_at_or_after_finds_the_window_of_a_view) {
    sim::TSimulator simulator;
    sim::TSensorRecorder recorder;
    runRecorded(simulator, recorder, {"WAIT 5"});
    ASSERT_EQ(timesMs(recorder), (std::vector<std::int64_t>{0, 10, 20, 30, 40, 50, 52}));
    EXPECT_EQ(recorder.firstAtOrAfter(-5), 0u);
    EXPECT_EQ(recorder.firstAtOrAfter(0), 0u);
    EXPECT_EQ(recorder.firstAtOrAfter(1), 1u);
    EXPECT_EQ(recorder.firstAtOrAfter(50'000), 5u);
    EXPECT_EQ(recorder.firstAtOrAfter(51'000), 6u);
    EXPECT_EQ(recorder.firstAtOrAfter(53'000), 7u);
    EXPECT_EQ(recorder.firstUs(), 0);
    EXPECT_EQ(recorder.lastUs(), 52'000);
}

} // namespace
