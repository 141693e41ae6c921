#pragma once

// Small listings and what a run of them gives, for the simulator's tests.

#include "sim/Simulator.h"

#include <string>
#include <vector>

namespace simtest {

// The listing of the statements as the generator numbers it: the title at line 10, then 20,
// 30, ... each "N REM "STATEMENT"" (quotes inside doubled).
inline std::vector<std::string> Listing(const std::vector<std::string>& statements) {
    std::vector<std::string> lines{"10 REM \"ZOLVANE\""};
    int number = 20;
    for (const std::string& s : statements) {
        std::string quoted = "\"";
        for (char c : s) {
            quoted += c;
            if (c == '"')
                quoted += '"';
        }
        lines.push_back(std::to_string(number) + " REM " + quoted + "\"");
        number += 10;
    }
    return lines;
}

// The line numbers of the statements begun, in order.
class TTraceRecorder : public sim::TSimListener {
public:
    explicit TTraceRecorder(const sim::TSimulator& simulator) : m_simulator(simulator) {}
    void statementStarted(std::int64_t timeUs, std::size_t index) override {
        lines.push_back(m_simulator.program()[index].number);
        times.push_back(timeUs);
    }
    void notePlayed(const sim::TNote& note) override { notes.push_back(note); }
    void phraseSpoken(int phrase) override { phrases.push_back(phrase); }
    void ledsChanged(int lit) override { leds.push_back(lit); }
    void ticked(std::int64_t timeUs) override { ticks.push_back(timeUs); }
    void finished(const sim::TRunStatus& status) override { ends.push_back(status.state); }

    std::vector<std::int32_t> lines;
    std::vector<std::int64_t> times;
    std::vector<sim::TNote> notes;
    std::vector<int> phrases;
    std::vector<int> leds;
    std::vector<std::int64_t> ticks;
    std::vector<sim::TRunState> ends;

private:
    const sim::TSimulator& m_simulator;
};

} // namespace simtest
