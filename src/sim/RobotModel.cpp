#include "sim/RobotModel.h"

#include "files/Files.h"
#include "files/Message.h"
#include "sim/Floor.h"

#include <array>
#include <charconv>
#include <cmath>
#include <sstream>

namespace sim {

namespace {

struct TSetting {
    std::string_view name;
    double TRobotModel::*field;
    double least; // the smallest value that makes sense
    double most;
    bool whole; // only whole numbers
};

// Speeds and units must be above 0 (a robot that never arrives would hang a run); the least
// values here are the smallest positive steps that still make sense.
constexpr std::array<TSetting, 20> kSettings{{
    {"statement_ms", &TRobotModel::statementMs, 0, 1000, false},
    {"wait_unit_ms", &TRobotModel::waitUnitMs, 0, 60000, false},
    {"length_unit_mm", &TRobotModel::lengthUnitMm, 0.001, 1000, false},
    {"turn_unit_deg", &TRobotModel::turnUnitDeg, 0.001, 360, false},
    {"drive_speed_mm_s", &TRobotModel::driveSpeedMmS, 1, 10000, false},
    {"turn_speed_deg_s", &TRobotModel::turnSpeedDegS, 1, 36000, false},
    {"motor_unit_mm_s", &TRobotModel::motorUnitMmS, 0, 100, false},
    {"wheel_track_mm", &TRobotModel::wheelTrackMm, 1, 10000, false},
    {"body_radius_mm", &TRobotModel::bodyRadiusMm, 1, 10000, false},
    {"quarter_beat_ms", &TRobotModel::quarterBeatMs, 0, 60000, false},
    {"low_do_hz", &TRobotModel::lowDoHz, 1, 20000, false},
    {"start_key", &TRobotModel::startKey, 0, 7, true},
    {"servo_deg_per_step", &TRobotModel::servoDegPerStep, 0, 360, false},
    {"led_start", &TRobotModel::ledStart, 0, 7, true},
    {"stack_depth", &TRobotModel::stackDepth, 1, 1000, true},
    {"line_sensor_ahead_mm", &TRobotModel::lineSensorAheadMm, -10000, 10000, false},
    {"line_sensor_spacing_mm", &TRobotModel::lineSensorSpacingMm, 0, 10000, false},
    {"bumper_range_mm", &TRobotModel::bumperRangeMm, 0, 10000, false},
    {"distance_range_mm", &TRobotModel::distanceRangeMm, 1, 100000, false},
    {"adc_max", &TRobotModel::adcMax, 1, 65535, true},
}};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

template <class... Values> files::TMessage say(const char* wording, Values&&... values) {
    return files::Say("sim", wording, std::forward<Values>(values)...);
}

// "-2.5" and "12" read; "1e3", "0x10", "+1" and anything with more after the number do not.
bool readNumber(std::string_view text, double& value) {
    if (text.empty() || text.front() == '+')
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-'))
            return false;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::string shown(double value) {
    std::string s = std::to_string(value);
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        const bool dot = s.back() == '.';
        s.pop_back();
        if (dot)
            break;
    }
    return s;
}

} // namespace

TRobotModel DefaultRobotModel() {
    return TRobotModel{};
}

files::TResult<TRobotModel> ReadRobotModel(std::string_view text) {
    TRobotModel model;
    std::array<bool, kSettings.size()> given{};
    const std::vector<std::string> lines = files::SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        line = trimmed(line);
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "expected %1"), "NAME = VALUE")));
        const std::string_view name = trimmed(line.substr(0, equals));
        const std::string_view valueText = trimmed(line.substr(equals + 1));
        std::size_t k = 0;
        while (k < kSettings.size() && kSettings[k].name != name)
            ++k;
        if (k == kSettings.size())
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "unknown name \"%1\""), name)));
        const TSetting& setting = kSettings[k];
        if (given[k])
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "%1 is set twice"), name)));
        given[k] = true;
        double value = 0;
        if (!readNumber(valueText, value))
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "%1 takes a decimal number, not \"%2\""),
                                  name, valueText)));
        if (setting.whole && value != std::floor(value))
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "%1 takes a whole number"), name)));
        if (value < setting.least || value > setting.most)
            return files::Error(
                OnLine(i + 1, say(ZV_TRANSLATABLE("sim", "%1 must lie from %2 to %3"), name,
                                  shown(setting.least), shown(setting.most))));
        model.*setting.field = value;
    }
    return model;
}

files::TResult<TRobotModel> LoadRobotModel(const std::string& fileName) {
    files::TResult<std::string> bytes = files::ReadWholeFile(fileName);
    if (!bytes)
        return files::Error(bytes.errorMessage());
    files::TResult<TRobotModel> model = ReadRobotModel(*bytes);
    if (!model)
        return files::Error(files::Say("sim", ZV_TRANSLATABLE("sim", "Robot model \"%1\", %2"),
                                       fileName, model.errorMessage()));
    return model;
}

} // namespace sim

namespace sim {

std::string UnitText(double perStep, std::string_view unit) {
    if (perStep == 1)
        return std::string(unit);
    std::ostringstream text;
    text << "x " << perStep << ' ' << unit;
    return text.str();
}

} // namespace sim
