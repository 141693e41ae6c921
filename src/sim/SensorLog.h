#pragma once

// The inputs and wheel speeds of a run as comma-separated rows, one per sample, for the sensor
// plot's CSV and `zolvane run --log`:
//   time_ms,PC0,PC1,PC2,PC3,PC4,MIC,ADC0,...,ADC7,left_mm_s,right_mm_s
// Inputs as the program would read them at that moment; wheel speeds rounded to whole
// millimetres a second. Lines end with LF.

#include "sim/Simulator.h"

#include <string>

namespace sim {

// Every kSampleUs of simulated time, the sample interval the tool logs at.
inline constexpr std::int64_t kSampleUs = 10'000;

std::string SensorLogHeader();
std::string SensorLogRow(const TSimulator& simulator);

} // namespace sim
