#pragma once

// The inputs, wheel speeds and pose of a run sampled in simulated time, for the sensor plot of
// the simulator panel and `zolvane run --log`. Its CSV text:
//   time_ms,PC0,PC1,PC2,PC3,PC4,MIC,ADC0,...,ADC7,left_mm_s,right_mm_s,x_mm,y_mm,heading_deg
// one row a sample, lines ending with LF. Inputs as the program would read them at that moment;
// wheel speeds in millimetres a second, the pose in millimetres and degrees (0 to 359), each
// rounded to a whole number; the time in whole milliseconds.
//
// A sample is taken at time 0, at every multiple of the interval (the simulator's ticks), and
// when the run is over; the rows are in time order, one per time.
//
// With a capacity the recorder holds at most that many samples: when it is full, every other
// sample goes (those off a multiple of twice the interval) and the interval doubles, so a long
// run stays whole in view at half the detail and memory stays bounded. Without one, it keeps
// every sample.

#include "sim/Simulator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// The interval of the samples before any thinning: 10 ms of simulated time.
inline constexpr std::int64_t kSampleUs = 10'000;
// The inputs a sample holds: PC0..PC4, MIC, ADC0..ADC7 (TInput::Pc0 to TInput::Adc7).
inline constexpr std::size_t kSampledInputs = static_cast<std::size_t>(TInput::Adc7) + 1;

struct TSensorSample {
    std::int64_t timeUs = 0;
    std::array<std::int32_t, kSampledInputs> inputs{};
    float leftMmS = 0;
    float rightMmS = 0;
    float x = 0;       // millimetres
    float y = 0;       // millimetres
    float heading = 0; // degrees
};

// The simulator's state now as a sample.
TSensorSample SampleOf(const TSimulator& simulator);

// The CSV header line and one sample's row.
std::string SensorCsvHeader();
std::string SensorCsvRow(const TSensorSample& sample);

class TSensorRecorder {
public:
    // capacity 0: every sample is kept; else at least 2.
    explicit TSensorRecorder(std::size_t capacity = 0);

    // Forgets every sample; the interval goes back to kSampleUs.
    void clear();
    // Takes a sample when the simulator's time is 0, a multiple of the interval, or the time of
    // the last sample (which it then replaces); otherwise nothing. The simulator's ticks every
    // kSampleUs call it.
    void record(const TSimulator& simulator);
    // The run is over (or stands where it is to be saved): a sample of its time, whatever the
    // interval.
    void recordEnd(const TSimulator& simulator);

    const std::vector<TSensorSample>& samples() const { return m_samples; }
    bool empty() const { return m_samples.empty(); }
    std::size_t capacity() const { return m_capacity; }
    std::int64_t intervalUs() const { return m_intervalUs; }
    // The time of the first and the last sample (0 when empty).
    std::int64_t firstUs() const { return m_samples.empty() ? 0 : m_samples.front().timeUs; }
    std::int64_t lastUs() const { return m_samples.empty() ? 0 : m_samples.back().timeUs; }
    // The index of the first sample at or after the time (size() when none).
    std::size_t firstAtOrAfter(std::int64_t timeUs) const;

    // The whole CSV text: the header and a row a sample.
    std::string csv() const;

private:
    void add(const TSensorSample& sample);
    // Every other sample goes, the interval doubles.
    void thin();

    std::size_t m_capacity;
    std::int64_t m_intervalUs = kSampleUs;
    std::vector<TSensorSample> m_samples;
};

} // namespace sim
