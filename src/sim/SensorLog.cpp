#include "sim/SensorLog.h"

#include <cmath>

namespace sim {

namespace {

// The logged inputs: the five digital sensors, the microphone and the analogue inputs.
constexpr std::size_t kLoggedInputs = static_cast<std::size_t>(TInput::Adc7) + 1;

} // namespace

std::string SensorLogHeader() {
    std::string header = "time_ms";
    for (std::size_t i = 0; i < kLoggedInputs; ++i)
        header += "," + std::string(InputName(static_cast<TInput>(i)));
    return header + ",left_mm_s,right_mm_s\n";
}

std::string SensorLogRow(const TSimulator& simulator) {
    std::string row = std::to_string(simulator.timeUs() / 1000);
    for (std::size_t i = 0; i < kLoggedInputs; ++i)
        row += "," + std::to_string(simulator.input(static_cast<TInput>(i)));
    row += "," + std::to_string(std::lround(simulator.leftSpeed()));
    row += "," + std::to_string(std::lround(simulator.rightSpeed()));
    return row + "\n";
}

} // namespace sim
