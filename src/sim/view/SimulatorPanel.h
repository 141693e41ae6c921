#pragma once

// The simulator panel: the program text run on a simulated robot inside the editor. Run,
// Pause, Step, Stop and Reset; a speed from a quarter to sixteen times real time or as fast as
// possible; the floor with the robot and its path; the variables, lamps, ports, servos and
// wheels as they change; the sensors, each read from the floor or set by hand; the tune through
// the sound output and the spoken phrase in a bubble. The statement running is highlighted in
// the program text and, where the chart made the listing, its block on the canvas.
//
// The floor can be the pupil's own: lines drawn by hand, walls and boxes placed, the robot's
// start moved and turned, with undo, saved as a floor file (beside the chart, as it suggests)
// and opened again. Editing is off while a run is under way (running or paused); an edit ends
// a run that had finished, so the next Run meets the new floor. The bundled floors stay as
// shipped: edits to one are saved as a new file.

// moc has no need of the simulator's headers, and its parser stops at the C++20 library
// headers the core uses.
#ifndef Q_MOC_RUN
#include "sim/FloorEditing.h"
#include "sim/SensorRecorder.h"
#include "sim/Simulator.h"
#endif

#include <QDockWidget>
#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class QUndoStack;
class QWidget;
class TFloorView;
class TSensorPlot;

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
        // The chart's file name (empty while it has none), for the floor file suggested beside it.
        std::function<std::string()> chartFile;
        // The file dialogs and the error box of the floor files; left empty, the panel's own.
        // A name dialog gives an empty name when cancelled.
        std::function<QString(const QString& suggested)> saveFloorName;
        std::function<QString()> openFloorName;
        std::function<void(const QString& message)> showError;
        // Where a teacher's robot-model.txt is looked for; left empty, the configuration folder.
        std::function<QString()> robotModelFolder;
    };
    TSimulatorPanel(QWidget* parent, THooks hooks, std::vector<std::string> phrases);
    ~TSimulatorPanel() override;

    sim::TSimulator& simulator() { return m_sim; }
    TFloorView* floorView() const { return m_floorView; }
    // The run's inputs and wheels in time, and their plot beside the floor.
    const sim::TSensorRecorder& sensorRecorder() const { return m_recorder; }
    TSensorPlot* sensorPlot() const { return m_plot; }

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

    // ---- the floor ----
    const sim::TFloor& floor() const;
    // The floor may be edited now: no run is under way.
    bool floorEditable() const;
    // What the mouse does on the floor; none: nothing (the floor is only shown).
    void setFloorTool(std::optional<sim::TFloorTool> tool);
    QUndoStack* floorUndo() const { return m_undo; }
    // Takes every line, wall and box away (undoable).
    void clearFloor();
    // Asks for a file name (the floor's own file, else one beside the chart) and saves the floor
    // there; false when cancelled or when saving failed, which is said and changes nothing.
    bool saveFloor();
    // Asks for a floor file and shows it; false when cancelled or unreadable (said).
    bool openFloor();
    // The floor shown becomes the floor given, as an undoable edit.
    void editFloor(const sim::TFloor& floor, const QString& what);

private:
    void notePlayed(const sim::TNote& note) override;
    void phraseSpoken(int phrase) override;
    void finished(const sim::TRunStatus& status) override;
    void ticked(std::int64_t timeUs) override;
    // A new run: the record starts again at its time 0.
    void restartRecord();

    void buildControls();
    QWidget* buildFloorTools(QWidget* parent);
    void floorPressed(QPointF mm);
    void floorDragged(QPointF mm);
    void floorReleased(QPointF mm);
    // Shows the floor and runs on it from now on (the undo stack's edits come here).
    void applyFloor(const sim::TFloor& floor);
    // A floor from a file in the list (the entry of that file, or a new one), and shown.
    void showFileFloor(const QString& file, const sim::TFloor& floor);
    void showError(const QString& message);
    void updateEditing();
    void loadProgram();
    void chooseFloor(int index);
    void inputChanged();
    void showState();

    THooks m_hooks;
    std::vector<std::string> m_phrases;
    sim::TSimulator m_sim;
    // About 1.8 MB: 200 s of simulated time at full detail, then thinned.
    sim::TSensorRecorder m_recorder{20'000};
    // The floors of the list: the bundled ones, then those of files; each as last edited.
    struct TFloorEntry {
        sim::TFloor floor;
        QString file; // empty: bundled
    };
    std::vector<TFloorEntry> m_floors;
    std::size_t m_current = 0;
    std::vector<sim::TFloor> m_bundled; // as shipped
    QUndoStack* m_undo = nullptr;
    std::optional<sim::TFloorTool> m_tool;
    std::optional<sim::TFloorGesture> m_gesture;
    sim::TFloorEditSettings m_editSettings;
    QWidget* m_floorTools = nullptr;
    std::vector<std::pair<QToolButton*, std::optional<sim::TFloorTool>>> m_toolButtons;
    QTimer* m_timer = nullptr;
    double m_speed = 1;
    bool m_loaded = false;
    bool m_stopped = false; // Stop was pressed: its message stays until the next run
    QString m_loadNote;     // what loading the program text found, shown with the state
    platform::TTonePlayer* m_player = nullptr;

    TFloorView* m_floorView = nullptr;
    TSensorPlot* m_plot = nullptr;
    QPushButton* m_runButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_stepButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_resetButton = nullptr;
    QComboBox* m_speedList = nullptr;
    QComboBox* m_floorList = nullptr;
    QLabel* m_staleLabel = nullptr;
    QLabel* m_modelLabel = nullptr; // why the teacher's robot model is not used
    QString m_modelProblem;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_variablesLabel = nullptr;
    QLabel* m_deviceLabel = nullptr;
    QLabel* m_noteLabel = nullptr;
    std::vector<QCheckBox*> m_digital; // PC0..PC4, MIC: tri-state, partly checked = the floor's
    std::vector<QSpinBox*> m_analogue; // ADC0..ADC7: -1 = the floor's
};
