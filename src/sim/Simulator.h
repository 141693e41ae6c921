#pragma once

// The simulator: runs a program text on the simulated robot in simulated time, one statement
// after another, as the robot would run the image the download sends it. Nothing in it reads a
// clock of the machine: the same program, model, floor and inputs give the same run.
//
// The program is the text's lines that the download packs (download::ParseLine): their line
// numbers and quoted statements, in the order of the text; other lines are not part of it. A
// first statement equal to the product name is the program's title and does nothing. A jump
// goes to the line numbered at least its target with the smallest number (the first of equal
// ones): the listing jumps to the number a label's dropped line would have had, and lands on
// the line after it. Falling off the end ends the run as END does.
//
// Arithmetic is on 32-bit integers that wrap around (2147483647 + 1 gives -2147483648);
// division truncates toward 0, -2147483648 / -1 gives -2147483648 and a division by 0 is a
// runtime error. A comparison gives 1 or 0; AND and OR take any value other than 0 as true.
//
// Time: every statement takes the model's statementMs; WAIT, FD n, BK n, LT n, RT n and PLAY
// take their own time before that (the robot goes on with the next statement when they are
// done); FDX, BKX, LTX, RTX and MOTOR set the wheels and return at once, the robot moving on
// while later statements run. FD n and the like stop the wheels when done. The run's time stops
// with the run: after END the wheels keep the speeds they had, but no more time passes.
//
// Statements (see RobotModel.h for the units):
//   FD n, BK n    drive n length units at the drive speed (a negative n the other way;
//                 0 does nothing)
//   LT n, RT n    turn on the spot by n turn units at the turn speed (0 does nothing)
//   FDX, BKX      both wheels at the drive speed, forward or backward, until changed
//   LTX, RTX      turn on the spot at the turn speed until changed
//   STX           both wheels stop
//   MOTOR l,r     left and right wheel at l and r times motorUnitMmS, each held to -255..255
//   WAIT n        n wait units (nothing for n <= 0)
//   KEY n         the key of later PLAY statements, held to 0..7
//   PLAY notes    two hexadecimal digits a note: tone (0 a rest; 1 to F the scale degree
//                 counted from the key) and length in quarter beats; a last single digit is
//                 left out
//   LED n         the three lamps are bits 0..2 of PORTB (a 0 bit lights its lamp)
//   DDRx n, PORTx n  the port's direction or output register, n's low 8 bits
//   v=PINx        for each bit: an output (DDR bit 1) reads its PORT bit, an input the pin
//                 (the value set by hand, else 0)
//   v=PCn, MIC, ADCn  the sensors (World.h) or the value set by hand
//   PCX           the five PC sensors as one number: PC0 + 2 PC1 + 4 PC2 + 8 PC3 + 16 PC4
//   SERVOE a,b,c,d,e,s  servo positions held to 0..18, speed to 1..5; servos turn at once
//   VOICEX n      the robot speaks phrase n (it goes on at once)
//   FOR v=a TO b  v = a; when a > b the loop is skipped past its NEXT v, else the loop is
//                 opened on the stack. NEXT v: v + 1, and back to the statement after the FOR
//                 while v <= b; NEXT looks for its loop in the current call only. A FOR of a
//                 variable already open closes that loop and those opened after it. GOSUB opens a
//                 call on the same stack, RETURN closes the innermost call and the loops opened in
//                 it. The stack holds the model's stackDepth entries.

#include "check/Basic.h"
#include "sim/Floor.h"
#include "sim/RobotModel.h"
#include "sim/World.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The inputs a pupil can set by hand.
enum class TInput : std::uint8_t {
    Pc0,
    Pc1,
    Pc2,
    Pc3,
    Pc4,
    Mic,
    Adc0,
    Adc1,
    Adc2,
    Adc3,
    Adc4,
    Adc5,
    Adc6,
    Adc7,
    PinA,
    PinB,
    PinC,
    PinD,
};
inline constexpr std::size_t kInputCount = 18;

// "PC0", "MIC", "ADC3", "PINB".
std::string_view InputName(TInput input);
// The input of that name (exact case), if any.
std::optional<TInput> InputByName(std::string_view name);

struct TInputRange {
    std::int32_t least = 0;
    std::int32_t most = 1;
};

// A statement of the program.
struct TProgramLine {
    std::size_t position = 0; // the line of the text, counted from 1
    std::int32_t number = 0;  // its line number
    std::string statement;    // without quotes
};

// What load found: a line the download leaves out, a statement that cannot be read, a jump to
// no line, a program too large for the robot. The program still runs; the statement that
// cannot be read or jumps nowhere stops it with a runtime error when it is reached.
struct TDiagnostic {
    std::size_t position = 0; // the line of the text, counted from 1; 0 for the whole program
    std::int32_t number = -1; // the line number when the line has one
    files::TMessage message;
};

enum class TRunState { Running, Ended, StepLimit, Error };

struct TRunStatus {
    TRunState state = TRunState::Running;
    std::int32_t line = 0;   // Error: the line number of the statement that failed
    files::TMessage message; // Error: what went wrong
};

struct TNote {
    int tone = 0;           // 0 a rest, 1 to 15
    int key = 0;            // the key it was played in
    double frequencyHz = 0; // 0 for a rest
    std::int64_t startUs = 0;
    std::int64_t durationUs = 0;
};

// Told of what a panel shows as it happens; the calls come from within step() and runFor().
class TSimListener {
public:
    virtual ~TSimListener() = default;
    // A statement begins (index into program()).
    virtual void statementStarted(std::int64_t /*timeUs*/, std::size_t /*index*/) {}
    // A note (or rest) of a tune begins.
    virtual void notePlayed(const TNote& /*note*/) {}
    virtual void phraseSpoken(int /*phrase*/) {}
    // The lamps that are lit changed: bit n for PBn.
    virtual void ledsChanged(int /*lit*/) {}
    // Simulated time reached a multiple of the tick interval (setTickInterval).
    virtual void ticked(std::int64_t /*timeUs*/) {}
    virtual void finished(const TRunStatus& /*status*/) {}
};

class TSimulator {
public:
    explicit TSimulator(const TRobotModel& model = DefaultRobotModel(), TFloor floor = {});

    // Replaces the program by the lines of a program text and resets.
    std::vector<TDiagnostic> load(const std::vector<std::string>& lines);
    // Another floor or model; resets.
    void setFloor(TFloor floor);
    void setModel(const TRobotModel& model);

    // Back to the start: time 0, first statement, variables unset, ports, servos and sound as
    // at switch-on, the robot at the floor's start. Program, inputs set by hand, step limit,
    // listener and tick interval stay.
    void reset();

    // Runs one statement to its end (or ends the statement in progress); false when the run
    // is over (nothing ran).
    bool step();
    // Runs until the simulated time has advanced by us, maxSteps statements have begun, or the
    // run is over. A statement still in progress at the end of the span goes on in the next
    // call.
    void runFor(std::int64_t us,
                std::uint64_t maxSteps = std::numeric_limits<std::uint64_t>::max());
    // Runs until the run is over: END, an error, the end of the program or the step limit.
    void run();

    // Statements begun since reset after which the run stops with TRunState::StepLimit;
    // 0 for none.
    void setStepLimit(std::uint64_t steps) { m_stepLimit = steps; }
    void setListener(TSimListener* listener) { m_listener = listener; }
    // The listener's ticked() at every multiple of us of simulated time; 0 for never.
    void setTickInterval(std::int64_t us);

    // ---- inputs ----
    // Fixes an input to a value, overriding the world, until cleared; false (nothing set) for a
    // value outside inputRange.
    bool setInput(TInput input, std::int32_t value);
    void clearInput(TInput input);
    std::optional<std::int32_t> inputOverride(TInput input) const;
    // What the program reads from the input now.
    std::int32_t input(TInput input) const;
    TInputRange inputRange(TInput input) const;

    // ---- state ----
    const std::vector<TProgramLine>& program() const { return m_program; }
    const TRobotModel& model() const { return m_model; }
    const TWorld& world() const { return m_world; }
    const TRunStatus& status() const { return m_status; }
    bool finished() const { return m_status.state != TRunState::Running; }
    // The statement running or to run next (the one that ended or failed once finished);
    // none past the end of the program.
    std::optional<std::size_t> currentIndex() const;
    // Whether a statement is still in progress (its time not yet passed).
    bool inProgress() const { return m_inProgress; }
    std::int64_t timeUs() const { return m_time; }
    std::uint64_t steps() const { return m_steps; }

    std::int32_t variable(char name) const { return m_vars[static_cast<std::size_t>(name - 'A')]; }
    bool variableSet(char name) const { return (m_varsSet >> (name - 'A')) & 1u; }
    int ddr(int port) const { return m_ddr[static_cast<std::size_t>(port)]; }
    int portOut(int port) const { return m_port[static_cast<std::size_t>(port)]; }
    // The three lamps that are lit: bit n for PBn.
    int leds() const { return ~m_port[1] & 7; }
    const std::array<int, 5>& servos() const { return m_servos; }
    int servoSpeed() const { return m_servoSpeed; }
    int key() const { return m_key; }
    const TPose& pose() const { return m_world.pose(); }
    double leftSpeed() const { return m_world.leftSpeed(); }
    double rightSpeed() const { return m_world.rightSpeed(); }
    std::optional<TNote> lastNote() const { return m_lastNote; }
    std::optional<int> lastPhrase() const { return m_lastPhrase; }

private:
    enum class TAction : std::uint8_t { Command, Title, Unreadable };
    static constexpr std::uint32_t kNoStatement = std::numeric_limits<std::uint32_t>::max();

    struct TCompiled {
        TAction action = TAction::Command;
        check::TCommand command = check::TCommand::End;
        std::uint8_t variable = 0; // 0 for A
        std::uint8_t port = 0;
        std::array<std::int32_t, 6> values{};
        std::int32_t target = 0;
        std::uint32_t jump = kNoStatement; // Goto, Gosub, If: the statement jumped to
        std::uint32_t skip = kNoStatement; // For: the statement after its NEXT
        std::uint32_t codeBegin = 0;       // into m_code
        std::uint32_t codeEnd = 0;
        std::uint32_t text = 0; // Play: the notes (into m_texts); Unreadable: into m_failures
    };

    struct TFrame {
        bool call = false; // GOSUB, else FOR
        std::uint8_t variable = 0;
        std::int32_t to = 0;
        std::uint32_t resume = 0; // the statement after the GOSUB or the FOR
    };

    void beginNext();
    // Moves the statement in progress on up to time limit; true when it is done.
    bool continueTo(std::int64_t limit);
    void advanceTo(std::int64_t t);
    void fireDueNotes();
    bool evaluate(const TCompiled& s, std::int32_t& result);
    std::int32_t source(check::TSource s) const;
    std::int32_t pcSensor(int index) const;
    void fail(files::TMessage message);
    void finish(TRunState state);
    void setPortB(int value);
    void driveFor(double left, double right, double seconds);
    bool push(const TFrame& frame);

    TRobotModel m_model;
    TWorld m_world;
    std::vector<TProgramLine> m_program;
    std::vector<TCompiled> m_compiled;
    std::vector<check::TInstruction> m_code;
    std::vector<std::string> m_texts;
    std::vector<files::TMessage> m_failures; // Unreadable: why (c.text is the index)
    std::vector<std::int32_t> m_stack;       // for expressions
    std::array<std::optional<std::int32_t>, kInputCount> m_inputs{};

    TSimListener* m_listener = nullptr;
    std::int64_t m_tickUs = 0;
    std::int64_t m_nextTick = 0;
    std::uint64_t m_stepLimit = 0;

    // The run.
    TRunStatus m_status;
    std::uint32_t m_pc = 0;      // the next statement
    std::uint32_t m_current = 0; // the statement begun last
    bool m_inProgress = false;
    bool m_stoppedHere = false; // END or an error stopped the run at m_current
    std::int64_t m_time = 0;
    std::int64_t m_stopAt = -1; // the wheels stop then (FD n and the like); -1 for never
    std::int64_t m_doneAt = 0;  // the statement in progress is done then
    std::uint64_t m_steps = 0;
    std::array<std::int32_t, 26> m_vars{};
    std::uint32_t m_varsSet = 0;
    std::vector<TFrame> m_frames;
    std::array<int, 4> m_ddr{};
    std::array<int, 4> m_port{};
    std::array<int, 5> m_servos{};
    int m_servoSpeed = 1;
    int m_key = 0;
    std::vector<TNote> m_tune; // the notes of the PLAY in progress
    std::size_t m_nextNote = 0;
    std::optional<TNote> m_lastNote;
    std::optional<int> m_lastPhrase;
};

// How a run stands, as `zolvane run` prints it: "end", "step limit", "error LINE: MESSAGE" or
// "running".
std::string EndText(const TRunStatus& status);
// The variables the run has set, in letter order: "A=3 C=-1" (empty when none).
std::string VariablesText(const TSimulator& simulator);

} // namespace sim
