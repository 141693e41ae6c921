// zolvane run: a listing run on the simulated robot in simulated time, without a window.
//
// Output (stdout): with --trace one line per statement begun, "TIME_MS<tab>LINE<tab>STATEMENT";
// then how the run ended ("end", "step limit" or "error LINE: MESSAGE"), the variables that
// were set ("A=3 C=-1", letters in order, empty when none) and the robot's pose
// ("x=0 y=120 heading=90": millimetres and degrees rounded to whole numbers, the heading from 0
// to 359). What loading the listing found goes to stderr as warnings.
//
// --log FILE.csv also writes the sensor log (SensorRecorder.h): a row at 0 ms, every 10 ms of
// simulated time and at the end of the run. A run longer than kLogRows rows (83 simulated
// minutes) is logged every 20 ms, 40 ms and so on, so that no run can exhaust the memory or the
// disk. The file is replaced whole once the run is over; when it cannot be written, the message
// names it and the exit status is 1.
#include "cli/Commands.h"
#include "files/Files.h"
#include "sim/SensorRecorder.h"
#include "sim/Simulator.h"

#include <charconv>
#include <cmath>
#include <iostream>

namespace cli {

namespace {

constexpr std::uint64_t kDefaultMaxSteps = 100'000;
constexpr std::uint64_t kMostSteps = 1'000'000'000;
// About 44 MB of samples and a file of about 30 MB.
constexpr std::size_t kLogRows = 500'000;

bool parseNumber(std::string_view text, long long low, long long high, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

int usage(const std::string& message) {
    std::cerr << "zolvane: run: " << message << '\n';
    return kUsageError;
}

// The trace and the sensor log, as the run goes.
class TRunReport : public sim::TSimListener {
public:
    TRunReport(sim::TSimulator& simulator, bool trace, bool log)
        : m_simulator(simulator), m_trace(trace), m_log(log) {
        if (m_log)
            m_recorder.record(simulator);
    }

    void statementStarted(std::int64_t timeUs, std::size_t index) override {
        if (!m_trace)
            return;
        const sim::TProgramLine& line = m_simulator.program()[index];
        std::cout << timeUs / 1000 << '\t' << line.number << '\t' << line.statement << '\n';
    }
    void ticked(std::int64_t) override {
        if (!m_log)
            return;
        m_recorder.record(m_simulator);
        // Thinned: the ticks in between would only be dropped.
        if (m_recorder.intervalUs() != m_tickUs) {
            m_tickUs = m_recorder.intervalUs();
            m_simulator.setTickInterval(m_tickUs);
        }
    }
    void finished(const sim::TRunStatus&) override {
        if (m_log)
            m_recorder.recordEnd(m_simulator);
    }

    std::string csv() const { return m_recorder.csv(); }

private:
    sim::TSimulator& m_simulator;
    bool m_trace;
    bool m_log;
    sim::TSensorRecorder m_recorder{kLogRows};
    std::int64_t m_tickUs = sim::kSampleUs;
};

std::string poseText(const sim::TPose& pose) {
    const long heading = std::lround(pose.heading) % 360;
    // -0.4 rounds to 0, not to "-0".
    return "x=" + std::to_string(std::lround(pose.x) + 0) +
           " y=" + std::to_string(std::lround(pose.y) + 0) + " heading=" + std::to_string(heading);
}

} // namespace

int runRun(const Args& args) {
    bool trace = false;
    long long maxSteps = kDefaultMaxSteps;
    std::vector<std::pair<sim::TInput, std::int32_t>> inputs;
    std::string floorFile;
    std::string modelFile;
    std::string logFile;
    std::string listing;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--trace") {
            trace = true;
        } else if (a == "--max-steps") {
            if (!hasValue || !parseNumber(args[++i], 1, kMostSteps, maxSteps))
                return usage("--max-steps takes a whole number of statements from 1 to " +
                             std::to_string(kMostSteps));
        } else if (a == "--set") {
            if (!hasValue)
                return usage("--set takes NAME=VALUE, for example PC0=1 or ADC3=200");
            const std::string& setting = args[++i];
            const std::size_t equals = setting.find('=');
            const std::optional<sim::TInput> input =
                sim::InputByName(std::string_view(setting).substr(0, equals));
            if (equals == std::string::npos || !input)
                return usage("--set takes NAME=VALUE with NAME one of PC0 to PC4, MIC, ADC0 to "
                             "ADC7 or PINA to PIND, not \"" +
                             setting + "\"");
            inputs.emplace_back(*input, 0);
            long long value = 0;
            // The range depends on the model, read below; here only that it is a number.
            if (!parseNumber(std::string_view(setting).substr(equals + 1), INT32_MIN, INT32_MAX,
                             value))
                return usage("--set " + setting + ": the value is not a whole number");
            inputs.back().second = static_cast<std::int32_t>(value);
        } else if (a == "--floor" || a == "--model" || a == "--log") {
            if (!hasValue || args[i + 1].empty())
                return usage(a + " takes a file name");
            std::string& file = a == "--floor" ? floorFile : a == "--model" ? modelFile : logFile;
            if (!file.empty())
                return usage(a + " is given twice");
            file = args[++i];
        } else if (listing.empty() && !a.starts_with("--") && !a.empty()) {
            listing = a;
        } else {
            return kUsageError;
        }
    }
    if (listing.empty())
        return kUsageError;

    sim::TRobotModel model = sim::DefaultRobotModel();
    if (!modelFile.empty()) {
        files::TResult<sim::TRobotModel> read = sim::LoadRobotModel(modelFile);
        if (!read)
            return fail(read.error());
        model = *read;
    }
    sim::TFloor floor;
    if (!floorFile.empty()) {
        files::TResult<sim::TFloor> read = sim::LoadFloor(floorFile);
        if (!read)
            return fail(read.error());
        floor = std::move(*read);
    }
    files::TResult<std::string> text = files::ReadWholeFile(listing);
    if (!text)
        return fail(text.error());

    sim::TSimulator simulator(model, std::move(floor));
    for (const auto& [input, value] : inputs) {
        if (!simulator.setInput(input, value)) {
            const sim::TInputRange range = simulator.inputRange(input);
            return usage("--set " + std::string(sim::InputName(input)) + " takes a value from " +
                         std::to_string(range.least) + " to " + std::to_string(range.most));
        }
    }
    for (const sim::TDiagnostic& d : simulator.load(files::SplitLines(*text))) {
        std::cerr << "zolvane: run: warning: ";
        if (d.position > 0)
            std::cerr << "line " << d.position << " of the text: ";
        std::cerr << d.message << '\n';
    }
    simulator.setStepLimit(static_cast<std::uint64_t>(maxSteps));
    TRunReport report(simulator, trace, !logFile.empty());
    simulator.setListener(&report);
    if (!logFile.empty())
        simulator.setTickInterval(sim::kSampleUs);
    simulator.run();
    simulator.setListener(nullptr);

    std::cout << sim::EndText(simulator.status()) << '\n'
              << sim::VariablesText(simulator) << '\n'
              << poseText(simulator.pose()) << '\n';
    std::cout.flush();
    if (!logFile.empty()) {
        if (files::TStatus written = files::ReplaceFile(logFile, report.csv()); !written)
            return fail(written.error());
    }
    return simulator.status().state == sim::TRunState::Error ? kFailure : kSuccess;
}

} // namespace cli
