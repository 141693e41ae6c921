#pragma once

// The simulator panel: the program text run on a simulated robot inside the editor. Run,
// Pause, Step, Stop and Reset; a speed from a quarter to sixteen times real time or as fast as
// possible; the floor with the robot and its path; the variables, lamps, ports, servos and
// wheels as they change; the sensors, each read from the floor or set by hand; the tune through
// the sound output and the spoken phrase in a bubble. The statement running is highlighted in
// the program text and, where the chart made the listing, its block on the canvas.

// moc has no need of the simulator's headers, and its parser stops at the C++20 library
// headers the core uses.
#ifndef Q_MOC_RUN
#include "sim/Simulator.h"
#endif

#include <QDockWidget>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class TFloorView;

namespace platform {
class TTonePlayer;
}

class TSimulatorPanel : public QDockWidget, private sim::TSimListener {
    Q_OBJECT
public:
    // What the panel needs of the window.
    struct THooks {
        std::function<std::vector<std::string>()> programLines; // the program text, line by line
        std::function<bool()> textIsStale; // the text is a listing of an older chart
        // The statement running is on text line (from 0); none: the run is not on a line.
        std::function<void(std::optional<std::size_t> line)> showLine;
    };
    TSimulatorPanel(QWidget* parent, THooks hooks, std::vector<std::string> phrases);
    ~TSimulatorPanel() override;

    sim::TSimulator& simulator() { return m_sim; }
    TFloorView* floorView() const { return m_floorView; }

    // The buttons' commands.
    void run();
    void pause();
    void stepOnce();
    void stop();  // ends the run where it is
    void reset(); // loads the program text again and starts over
    bool running() const;
    // Speed as a factor of real time; 0: as fast as possible.
    void setSpeed(double factor);
    // One frame of a running simulation (the timer calls it every 16 ms).
    void advanceFrame();

private:
    void notePlayed(const sim::TNote& note) override;
    void phraseSpoken(int phrase) override;
    void finished(const sim::TRunStatus& status) override;

    void buildControls();
    void loadProgram();
    void chooseFloor(int index);
    void inputChanged();
    void showState();

    THooks m_hooks;
    std::vector<std::string> m_phrases;
    sim::TSimulator m_sim;
    std::vector<sim::TFloor> m_floors;
    QTimer* m_timer = nullptr;
    double m_speed = 1;
    bool m_loaded = false;
    bool m_stopped = false; // Stop was pressed: its message stays until the next run
    QString m_loadNote;     // what loading the program text found, shown with the state
    platform::TTonePlayer* m_player = nullptr;

    TFloorView* m_floorView = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_stepButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QComboBox* m_speedList = nullptr;
    QComboBox* m_floorList = nullptr;
    QLabel* m_staleLabel = nullptr;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_variablesLabel = nullptr;
    QLabel* m_deviceLabel = nullptr;
    QLabel* m_noteLabel = nullptr;
    std::vector<QCheckBox*> m_digital; // PC0..PC4, MIC: tri-state, partly checked = the floor's
    std::vector<QSpinBox*> m_analogue; // ADC0..ADC7: -1 = the floor's
};
