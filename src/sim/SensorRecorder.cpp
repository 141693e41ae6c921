#include "sim/SensorRecorder.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace sim {

namespace {

// Whole numbers only: -0.4 rounds to 0, not to "-0".
std::string whole(double value) {
    return std::to_string(std::lround(value) + 0);
}

} // namespace

TSensorSample SampleOf(const TSimulator& simulator) {
    TSensorSample sample;
    sample.timeUs = simulator.timeUs();
    for (std::size_t i = 0; i < kSampledInputs; ++i)
        sample.inputs[i] = simulator.input(static_cast<TInput>(i));
    sample.leftMmS = static_cast<float>(simulator.leftSpeed());
    sample.rightMmS = static_cast<float>(simulator.rightSpeed());
    const TPose& pose = simulator.pose();
    sample.x = static_cast<float>(pose.x);
    sample.y = static_cast<float>(pose.y);
    sample.heading = static_cast<float>(pose.heading);
    return sample;
}

std::string SensorCsvHeader() {
    std::string header = "time_ms";
    for (std::size_t i = 0; i < kSampledInputs; ++i)
        header += "," + std::string(InputName(static_cast<TInput>(i)));
    return header + ",left_mm_s,right_mm_s,x_mm,y_mm,heading_deg\n";
}

std::string SensorCsvRow(const TSensorSample& sample) {
    std::string row = std::to_string(sample.timeUs / 1000);
    for (std::int32_t value : sample.inputs)
        row += "," + std::to_string(value);
    row += "," + whole(sample.leftMmS) + "," + whole(sample.rightMmS);
    row += "," + whole(sample.x) + "," + whole(sample.y);
    // A heading just below 360 rounds to 360, which is 0.
    row += "," + std::to_string(std::lround(sample.heading) % 360);
    return row + "\n";
}

TSensorRecorder::TSensorRecorder(std::size_t capacity) : m_capacity(capacity) {
    // No room is taken ahead: the editor's panel holds a recorder from the start, and most
    // lessons never run the simulator.
    assert(capacity == 0 || capacity >= 2);
}

void TSensorRecorder::clear() {
    m_samples.clear();
    m_intervalUs = kSampleUs;
}

void TSensorRecorder::record(const TSimulator& simulator) {
    const std::int64_t t = simulator.timeUs();
    if (t == 0 || t % m_intervalUs == 0 || (!m_samples.empty() && t == m_samples.back().timeUs))
        add(SampleOf(simulator));
}

void TSensorRecorder::recordEnd(const TSimulator& simulator) {
    add(SampleOf(simulator));
}

void TSensorRecorder::add(const TSensorSample& sample) {
    if (!m_samples.empty() && sample.timeUs <= m_samples.back().timeUs) {
        // The same time again (an end that fell on a tick): the newer state holds. Time going
        // back means a new run the caller did not clear for: start over rather than mix runs.
        if (sample.timeUs == m_samples.back().timeUs) {
            m_samples.back() = sample;
            return;
        }
        clear();
    }
    if (m_capacity != 0 && m_samples.size() == m_capacity) {
        // Samples taken more sparsely than the interval may all sit on the wider grid: thin
        // until there is room (the one at time 0 always stays, the rest go in the end).
        while (m_samples.size() == m_capacity)
            thin();
        // A sample off the new grid would be thinned next time anyway.
        if (sample.timeUs % m_intervalUs != 0)
            return;
    }
    m_samples.push_back(sample);
}

void TSensorRecorder::thin() {
    const std::int64_t wider = m_intervalUs * 2;
    const auto kept = std::remove_if(m_samples.begin(), m_samples.end(),
                                     [&](const TSensorSample& s) { return s.timeUs % wider != 0; });
    m_samples.erase(kept, m_samples.end());
    m_intervalUs = wider;
}

std::size_t TSensorRecorder::firstAtOrAfter(std::int64_t timeUs) const {
    const auto at =
        std::lower_bound(m_samples.begin(), m_samples.end(), timeUs,
                         [](const TSensorSample& s, std::int64_t t) { return s.timeUs < t; });
    return static_cast<std::size_t>(at - m_samples.begin());
}

std::string TSensorRecorder::csv() const {
    std::string text = SensorCsvHeader();
    for (const TSensorSample& sample : m_samples)
        text += SensorCsvRow(sample);
    return text;
}

} // namespace sim
