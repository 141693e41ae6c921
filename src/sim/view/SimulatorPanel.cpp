#include "sim/view/SimulatorPanel.h"

#include "editors/values/MusicComposer.h"
#include "platform/i18n/CoreText.h"
#include "platform/sound/TonePlayer.h"
#include "platform/text/CodePage.h"
#include "sim/view/FloorView.h"
#include "sim/view/RobotModelFile.h"
#include "sim/view/SensorPlot.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>

static void initSimResources() {
    Q_INIT_RESOURCE(sim);
}

namespace {

constexpr int kFrameMs = 16; // about 60 frames a second
// A frame runs at most this many statements, so that a program that never waits keeps the
// window answering; as fast as possible runs this many a frame.
constexpr std::uint64_t kStatementsPerFrame = 200'000;
// A program that loops without waiting is stopped after this many statements.
constexpr std::uint64_t kStepLimit = 50'000'000;

struct TSpeed {
    const char* text;
    double factor; // 0: as fast as possible
};
constexpr TSpeed kSpeeds[] = {{"x0.25", 0.25},
                              {"x0.5", 0.5},
                              {"x1", 1},
                              {"x2", 2},
                              {"x4", 4},
                              {"x16", 16},
                              {QT_TRANSLATE_NOOP("TSimulatorPanel", "As fast as possible"), 0}};

struct TBundledFloor {
    const char* file;
    const char* name;
};
constexpr TBundledFloor kFloors[] = {
    {":/sim/empty.floor", QT_TRANSLATE_NOOP("TSimulatorPanel", "Empty floor")},
    {":/sim/line-track.floor", QT_TRANSLATE_NOOP("TSimulatorPanel", "Line track")},
    {":/sim/room.floor", QT_TRANSLATE_NOOP("TSimulatorPanel", "Walled room")}};

// One edit of the floor: undone and done again as the whole floor before and after it.
class TFloorEdit final : public QUndoCommand {
public:
    TFloorEdit(std::function<void(const sim::TFloor&)> apply, sim::TFloor before, sim::TFloor after,
               const QString& text)
        : QUndoCommand(text), m_apply(std::move(apply)), m_before(std::move(before)),
          m_after(std::move(after)) {}
    void undo() override { m_apply(m_before); }
    void redo() override { m_apply(m_after); }

private:
    std::function<void(const sim::TFloor&)> m_apply;
    sim::TFloor m_before;
    sim::TFloor m_after;
};

} // namespace

TSimulatorPanel::TSimulatorPanel(QWidget* parent, THooks hooks, std::vector<std::string> phrases)
    : QDockWidget(tr("Simulator"), parent), m_hooks(std::move(hooks)),
      m_phrases(std::move(phrases)) {
    initSimResources();
    setObjectName("SimulatorDock");
    for (const TBundledFloor& bundled : kFloors) {
        QFile file(bundled.file);
        sim::TFloor floor;
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (auto read = sim::ReadFloor(std::string_view(bytes.constData(), bytes.size())))
                floor = *read;
        }
        m_bundled.push_back(floor);
        m_floors.push_back({std::move(floor), {}});
    }
    const TRobotModelChoice model = ChooseRobotModel(
        m_hooks.robotModelFolder ? m_hooks.robotModelFolder() : RobotModelFolder());
    m_sim.setModel(model.model);
    m_modelProblem = model.problem;
    m_undo = new QUndoStack(this);
    m_editSettings.robotRadiusMm = m_sim.model().bodyRadiusMm;
    m_player = new platform::TTonePlayer(this);
    m_timer = new QTimer(this);
    m_timer->setInterval(kFrameMs);
    connect(m_timer, &QTimer::timeout, this, &TSimulatorPanel::advanceFrame);
    m_sim.setListener(this);
    m_sim.setStepLimit(kStepLimit);
    m_sim.setTickInterval(sim::kSampleUs); // the sensor plot's samples
    buildControls();
    chooseFloor(0);
}

TSimulatorPanel::~TSimulatorPanel() {
    m_sim.setListener(nullptr);
}

void TSimulatorPanel::buildControls() {
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](QPushButton*& slot, const char* name, const QString& text,
                            const QString& tip, void (TSimulatorPanel::*command)()) {
        slot = new QPushButton(text, body);
        slot->setObjectName(name);
        slot->setToolTip(tip);
        slot->setAccessibleName(QString(text).remove('&'));
        connect(slot, &QPushButton::clicked, this, command);
        buttons->addWidget(slot);
    };
    button(m_runButton, "SimRunButton", tr("&Run"), tr("Run the program on the simulated robot"),
           &TSimulatorPanel::run);
    button(m_pauseButton, "SimPauseButton", tr("&Pause"), tr("Stop for a moment; Run goes on"),
           &TSimulatorPanel::pause);
    button(m_stepButton, "SimStepButton", tr("S&tep"), tr("Run one statement"),
           &TSimulatorPanel::stepOnce);
    button(m_stopButton, "SimStopButton", tr("St&op"), tr("End the run where it is"),
           &TSimulatorPanel::stop);
    button(m_resetButton, "SimResetButton", tr("R&eset"),
           tr("Take the program text again and put the robot back at the start"),
           &TSimulatorPanel::reset);
    m_speedList = new QComboBox(body);
    m_speedList->setObjectName("SimSpeedList");
    m_speedList->setAccessibleName(tr("Speed"));
    m_speedList->setToolTip(tr("How fast simulated time runs"));
    for (const TSpeed& speed : kSpeeds)
        m_speedList->addItem(tr(speed.text), speed.factor);
    m_speedList->setCurrentIndex(2);
    connect(m_speedList, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSpeed(m_speedList->itemData(index).toDouble()); });
    buttons->addWidget(m_speedList);
    m_floorList = new QComboBox(body);
    m_floorList->setObjectName("SimFloorList");
    m_floorList->setAccessibleName(tr("Floor"));
    for (const TBundledFloor& bundled : kFloors)
        m_floorList->addItem(tr(bundled.name));
    connect(m_floorList, &QComboBox::currentIndexChanged, this, &TSimulatorPanel::chooseFloor);
    buttons->addWidget(m_floorList);
    buttons->addStretch();
    column->addLayout(buttons);
    column->addWidget(buildFloorTools(body));

    m_staleLabel = new QLabel(
        tr("The chart has changed since this listing was made: the simulator runs the listing "
           "as it is. Generate it again to run the chart."),
        body);
    m_staleLabel->setObjectName("SimStaleLabel");
    m_staleLabel->setWordWrap(true);
    m_staleLabel->setStyleSheet("background: #fff4c8; padding: 2px;");
    m_staleLabel->hide();
    column->addWidget(m_staleLabel);
    m_modelLabel = new QLabel(m_modelProblem, body);
    m_modelLabel->setObjectName("SimModelLabel");
    m_modelLabel->setWordWrap(true);
    m_modelLabel->setStyleSheet("background: #ffe0e0; padding: 2px;");
    m_modelLabel->setVisible(!m_modelProblem.isEmpty());
    column->addWidget(m_modelLabel);
    m_statusLabel = new QLabel(body);
    m_statusLabel->setObjectName("SimStatusLabel");
    m_statusLabel->setWordWrap(true);
    column->addWidget(m_statusLabel);

    auto* middle = new QHBoxLayout;
    m_floorView = new TFloorView(body);
    m_floorView->setRobotRadius(m_sim.model().bodyRadiusMm);
    connect(m_floorView, &TFloorView::floorPressed, this, &TSimulatorPanel::floorPressed);
    connect(m_floorView, &TFloorView::floorDragged, this, &TSimulatorPanel::floorDragged);
    connect(m_floorView, &TFloorView::floorReleased, this, &TSimulatorPanel::floorReleased);
    // The floor above, the sensor plot below; the pupil moves the line between them.
    auto* views = new QSplitter(Qt::Vertical, body);
    views->setObjectName("SimViewSplitter");
    views->setChildrenCollapsible(false);
    views->addWidget(m_floorView);
    m_plot = new TSensorPlot(m_recorder, views);
    views->addWidget(m_plot);
    views->setStretchFactor(0, 3);
    views->setStretchFactor(1, 2);
    middle->addWidget(views, 1);
    auto* state = new QVBoxLayout;
    m_variablesLabel = new QLabel(body);
    m_variablesLabel->setObjectName("SimVariablesLabel");
    m_variablesLabel->setWordWrap(true);
    m_variablesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_deviceLabel = new QLabel(body);
    m_deviceLabel->setObjectName("SimDeviceLabel");
    m_deviceLabel->setWordWrap(true);
    m_noteLabel = new QLabel(body);
    m_noteLabel->setObjectName("SimNoteLabel");
    state->addWidget(m_variablesLabel);
    state->addWidget(m_deviceLabel);
    state->addWidget(m_noteLabel);

    // The sensors: read from the floor, or set by hand.
    auto* sensors = new QGroupBox(tr("Sensors (grey: read from the floor)"), body);
    auto* grid = new QGridLayout(sensors);
    const char* digital[] = {"PC0", "PC1", "PC2", "PC3", "PC4", "MIC"};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QCheckBox(digital[i], sensors);
        box->setObjectName(QString("Sim%1").arg(digital[i]));
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        box->setToolTip(tr("Grey: as the floor gives it; ticked: 1; empty: 0"));
        connect(box, &QCheckBox::stateChanged, this, &TSimulatorPanel::inputChanged);
        grid->addWidget(box, i / 3, i % 3);
        m_digital.push_back(box);
    }
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(QString("ADC%1").arg(i), sensors);
        auto* spin = new QSpinBox(sensors);
        spin->setObjectName(QString("SimADC%1").arg(i));
        spin->setRange(-1, static_cast<int>(m_sim.model().adcMax));
        spin->setSpecialValueText(tr("floor"));
        spin->setValue(-1);
        spin->setAccessibleName(QString("ADC%1").arg(i));
        spin->setToolTip(
            tr("0 to %1, or \"floor\" for what the floor gives").arg(m_sim.model().adcMax));
        label->setBuddy(spin);
        connect(spin, &QSpinBox::valueChanged, this, &TSimulatorPanel::inputChanged);
        auto* cell = new QHBoxLayout;
        cell->addWidget(label);
        cell->addWidget(spin);
        grid->addLayout(cell, 2 + i / 2, i % 2 * 2, 1, 2);
        m_analogue.push_back(spin);
    }
    state->addWidget(sensors);
    state->addStretch();
    middle->addLayout(state);
    column->addLayout(middle, 1);
    setWidget(body);
    showState();
}

QWidget* TSimulatorPanel::buildFloorTools(QWidget* parent) {
    m_floorTools = new QWidget(parent);
    m_floorTools->setObjectName("SimFloorTools");
    auto* row = new QHBoxLayout(m_floorTools);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto toolButton = [&](const char* name, const QString& text, const QString& tip) {
        auto* button = new QToolButton(m_floorTools);
        button->setObjectName(name);
        button->setText(text);
        button->setToolTip(tip);
        button->setAccessibleName(QString(text).remove('&'));
        button->setAutoRaise(true);
        row->addWidget(button);
        return button;
    };
    // What the mouse does on the floor: one tool at a time.
    auto* tools = new QButtonGroup(m_floorTools);
    const auto tool = [&](const char* name, const QString& text, const QString& tip,
                          std::optional<sim::TFloorTool> which) {
        QToolButton* button = toolButton(name, text, tip);
        button->setCheckable(true);
        tools->addButton(button);
        m_toolButtons.emplace_back(button, which);
        connect(button, &QToolButton::clicked, this, [this, which] { setFloorTool(which); });
    };
    tool("SimToolLook", tr("Look"), tr("The mouse leaves the floor as it is"), std::nullopt);
    tool("SimToolDraw", tr("Draw"), tr("Draw a black line by hand"), sim::TFloorTool::Freehand);
    tool("SimToolLine", tr("Line"),
         tr("Draw a straight black line: drag from one end to the other"),
         sim::TFloorTool::Straight);
    tool("SimToolWall", tr("Wall"), tr("Place a wall: drag from one end to the other"),
         sim::TFloorTool::Wall);
    tool("SimToolBox", tr("Box"), tr("Place a box: drag from one corner to the other"),
         sim::TFloorTool::Box);
    tool("SimToolRobot", tr("Robot"),
         tr("Drag the robot to where it starts; drag beside it to turn it"),
         sim::TFloorTool::Robot);
    tool("SimToolErase", tr("Erase"), tr("Erase the lines, walls and boxes the mouse goes over"),
         sim::TFloorTool::Erase);
    m_toolButtons.front().first->setChecked(true);
    row->addSpacing(8);
    connect(toolButton("SimFloorClear", tr("Clear"), tr("Take every line, wall and box away")),
            &QToolButton::clicked, this, &TSimulatorPanel::clearFloor);
    QToolButton* undo = toolButton("SimFloorUndo", tr("Undo"), tr("Undo the last floor edit"));
    connect(undo, &QToolButton::clicked, m_undo, &QUndoStack::undo);
    connect(m_undo, &QUndoStack::canUndoChanged, undo, &QToolButton::setEnabled);
    connect(m_undo, &QUndoStack::undoTextChanged, undo, [undo](const QString& text) {
        undo->setToolTip(text.isEmpty() ? tr("Undo the last floor edit")
                                        : tr("Undo: %1").arg(text));
    });
    undo->setEnabled(false);
    QToolButton* redo =
        toolButton("SimFloorRedo", tr("Redo"), tr("Do the floor edit undone again"));
    connect(redo, &QToolButton::clicked, m_undo, &QUndoStack::redo);
    connect(m_undo, &QUndoStack::canRedoChanged, redo, &QToolButton::setEnabled);
    connect(m_undo, &QUndoStack::redoTextChanged, redo, [redo](const QString& text) {
        redo->setToolTip(text.isEmpty() ? tr("Do the floor edit undone again")
                                        : tr("Redo: %1").arg(text));
    });
    redo->setEnabled(false);
    row->addSpacing(8);
    connect(toolButton("SimFloorOpen", tr("Open..."), tr("Open a floor file")),
            &QToolButton::clicked, this, &TSimulatorPanel::openFloor);
    connect(toolButton("SimFloorSave", tr("Save..."),
                       tr("Save the floor as a file, beside the chart unless you choose another "
                          "place")),
            &QToolButton::clicked, this, &TSimulatorPanel::saveFloor);
    row->addStretch();
    return m_floorTools;
}

void TSimulatorPanel::chooseFloor(int index) {
    if (index < 0 || index >= static_cast<int>(m_floors.size()))
        return;
    m_gesture.reset();
    m_undo->clear();
    m_current = static_cast<std::size_t>(index);
    m_sim.setFloor(m_floors[m_current].floor);
    m_floorView->setFloor(m_floors[m_current].floor);
    m_floorView->setPose(m_sim.pose());
    showState();
}

const sim::TFloor& TSimulatorPanel::floor() const {
    return m_floors[m_current].floor;
}

bool TSimulatorPanel::floorEditable() const {
    return !running() && (!m_loaded || m_sim.finished());
}

void TSimulatorPanel::setFloorTool(std::optional<sim::TFloorTool> tool) {
    m_tool = tool;
    // A finished run leaves the robot where it stopped; the tools meet it at its start.
    if (tool && m_loaded && floorEditable())
        applyFloor(floor());
    for (const auto& [button, which] : m_toolButtons)
        if (which == tool)
            button->setChecked(true);
    updateEditing();
}

void TSimulatorPanel::updateEditing() {
    const bool editable = floorEditable();
    m_floorTools->setEnabled(editable);
    m_floorTools->setToolTip(editable ? QString() : tr("Stop the run to edit the floor"));
    m_floorView->setEditing(editable && m_tool.has_value());
    if (!editable)
        m_gesture.reset();
}

namespace {

// The floor on the view with the robot at its start, as an edit leaves it.
void showStart(TFloorView* view, const sim::TFloor& floor) {
    view->setFloor(floor);
    view->setPose({double(floor.start.x), double(floor.start.y), double(floor.startHeading)});
    view->clearPath();
}

} // namespace

void TSimulatorPanel::floorPressed(QPointF mm) {
    if (!m_tool || !floorEditable())
        return;
    if (m_loaded)
        applyFloor(floor()); // a run ended since the tool was chosen
    m_gesture.emplace(floor(), *m_tool, mm.x(), mm.y(), m_editSettings);
    showStart(m_floorView, m_gesture->result());
}

void TSimulatorPanel::floorDragged(QPointF mm) {
    if (!m_gesture)
        return;
    m_gesture->moveTo(mm.x(), mm.y());
    showStart(m_floorView, m_gesture->result());
}

void TSimulatorPanel::floorReleased(QPointF mm) {
    if (!m_gesture)
        return;
    m_gesture->moveTo(mm.x(), mm.y());
    const sim::TFloorGesture gesture = std::move(*m_gesture);
    m_gesture.reset();
    if (!gesture.changes()) {
        showStart(m_floorView, floor());
        return;
    }
    QString what;
    switch (gesture.tool()) {
    case sim::TFloorTool::Freehand:
        what = tr("Draw a line");
        break;
    case sim::TFloorTool::Straight:
        what = tr("Draw a straight line");
        break;
    case sim::TFloorTool::Wall:
        what = tr("Place a wall");
        break;
    case sim::TFloorTool::Box:
        what = tr("Place a box");
        break;
    case sim::TFloorTool::Robot:
        what = tr("Move the robot");
        break;
    case sim::TFloorTool::Erase:
        what = tr("Erase");
        break;
    }
    editFloor(gesture.result(), what);
}

void TSimulatorPanel::editFloor(const sim::TFloor& edited, const QString& what) {
    if (edited == floor())
        return;
    m_undo->push(
        new TFloorEdit([this](const sim::TFloor& f) { applyFloor(f); }, floor(), edited, what));
}

void TSimulatorPanel::applyFloor(const sim::TFloor& edited) {
    m_floors[m_current].floor = edited;
    m_sim.setFloor(edited);
    m_loaded = false; // a finished run is over: the next Run starts on the new floor
    showStart(m_floorView, edited);
    showState();
}

void TSimulatorPanel::clearFloor() {
    sim::TFloor cleared = floor();
    if (floorEditable() && sim::ClearFloor(cleared))
        editFloor(cleared, tr("Clear the floor"));
}

bool TSimulatorPanel::saveFloor() {
    if (!floorEditable())
        return false;
    TFloorEntry& entry = m_floors[m_current];
    QString suggested = entry.file;
    if (suggested.isEmpty() && m_hooks.chartFile)
        suggested = platform::toQString(sim::SuggestedFloorFile(m_hooks.chartFile()));
    if (suggested.isEmpty())
        suggested = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                        .filePath(tr("floor") + ".floor");
    QString name;
    if (m_hooks.saveFloorName) {
        name = m_hooks.saveFloorName(suggested);
    } else {
        name = QFileDialog::getSaveFileName(this, tr("Save Floor"), suggested,
                                            tr("Floor files (*.floor)"));
        if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
            name += ".floor";
    }
    if (name.isEmpty())
        return false;
    const sim::TFloor saving = entry.floor;
    const files::TStatus saved = sim::SaveFloor(saving, platform::fromQString(name));
    if (!saved) {
        // The floor stays as it is in the panel, edits and all, to be saved elsewhere.
        showError(tr("The floor could not be saved.\n%1")
                      .arg(platform::Translated(saved.errorMessage())));
        return false;
    }
    if (entry.file.isEmpty()) {
        // A bundled floor stays as shipped; the floor saved is the file's.
        entry.floor = m_bundled[m_current];
        showFileFloor(name, saving);
    } else if (QFileInfo(entry.file) != QFileInfo(name)) {
        entry.floor = saving;
        showFileFloor(name, saving);
    }
    m_undo->setClean();
    return true;
}

bool TSimulatorPanel::openFloor() {
    if (!floorEditable())
        return false;
    QString name;
    if (m_hooks.openFloorName) {
        name = m_hooks.openFloorName();
    } else {
        QString folder;
        if (m_hooks.chartFile && !m_hooks.chartFile().empty())
            folder = QFileInfo(platform::toQString(m_hooks.chartFile())).absolutePath();
        name = QFileDialog::getOpenFileName(this, tr("Open Floor"), folder,
                                            tr("Floor files (*.floor);;All files (*)"));
    }
    if (name.isEmpty())
        return false;
    files::TResult<sim::TFloor> read = sim::LoadFloor(platform::fromQString(name));
    if (!read) {
        showError(tr("The floor could not be opened.\n%1")
                      .arg(platform::Translated(read.errorMessage())));
        return false;
    }
    showFileFloor(name, *read);
    return true;
}

void TSimulatorPanel::showFileFloor(const QString& file, const sim::TFloor& shown) {
    std::size_t index = 0;
    while (index < m_floors.size() &&
           (m_floors[index].file.isEmpty() || QFileInfo(m_floors[index].file) != QFileInfo(file)))
        ++index;
    if (index == m_floors.size()) {
        m_floors.push_back({shown, file});
        m_floorList->addItem(QFileInfo(file).completeBaseName());
        m_floorList->setItemData(m_floorList->count() - 1, file, Qt::ToolTipRole);
    }
    m_floors[index].floor = shown;
    {
        const QSignalBlocker quiet(m_floorList);
        m_floorList->setCurrentIndex(static_cast<int>(index));
    }
    chooseFloor(static_cast<int>(index));
}

void TSimulatorPanel::showError(const QString& message) {
    if (m_hooks.showError)
        m_hooks.showError(message);
    else
        QMessageBox::warning(this, tr("Simulator"), message);
}

void TSimulatorPanel::loadProgram() {
    const std::vector<sim::TDiagnostic> found = m_sim.load(m_hooks.programLines());
    restartRecord();
    m_loaded = true;
    m_player->stop();
    m_floorView->clearPath();
    m_floorView->setSpeech({});
    m_floorView->setPose(m_sim.pose());
    m_staleLabel->setVisible(m_hooks.textIsStale && m_hooks.textIsStale());
    m_stopped = false;
    m_loadNote.clear();
    if (m_sim.program().empty())
        m_loadNote = tr("The program text holds no line the robot would run: generate the "
                        "listing first.");
    else if (!found.empty())
        m_loadNote = tr("Text line %1: %2")
                         .arg(found.front().position)
                         .arg(platform::Translated(found.front().message));
}

void TSimulatorPanel::run() {
    if (!m_loaded || m_sim.finished())
        reset();
    if (m_sim.finished())
        return;
    m_timer->start();
    showState();
}

void TSimulatorPanel::pause() {
    m_timer->stop();
    m_player->stop();
    showState();
}

void TSimulatorPanel::stepOnce() {
    m_timer->stop();
    if (!m_loaded || m_sim.finished())
        reset();
    m_sim.step();
    showState();
}

void TSimulatorPanel::stop() {
    m_timer->stop();
    m_player->stop();
    m_loaded = false; // the next Run starts over
    m_stopped = true;
    showState();
    m_statusLabel->setText(tr("Stopped. Run starts the program again."));
}

void TSimulatorPanel::reset() {
    m_timer->stop();
    loadProgram();
    showState();
}

bool TSimulatorPanel::running() const {
    return m_timer->isActive();
}

void TSimulatorPanel::setSpeed(double factor) {
    m_speed = factor;
    if (factor == 0 || factor > 2)
        m_player->stop(); // too fast to hear
}

void TSimulatorPanel::advanceFrame() {
    if (m_speed > 0)
        m_sim.runFor(static_cast<std::int64_t>(std::llround(kFrameMs * 1000 * m_speed)),
                     kStatementsPerFrame);
    else
        m_sim.runFor(std::numeric_limits<std::int64_t>::max() / 2, kStatementsPerFrame);
    if (m_sim.finished())
        m_timer->stop();
    showState();
}

void TSimulatorPanel::notePlayed(const sim::TNote& note) {
    // Heard only near real time, as the robot would sound.
    if (m_speed <= 0 || m_speed > 2 || !m_timer->isActive())
        return;
    const int ms = static_cast<int>(note.durationUs / 1000 / m_speed);
    m_player->play({{note.frequencyHz, ms}});
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::string name = editors::noteName(note.key, std::string{hex[note.tone & 15], '1'});
    m_noteLabel->setText("\u266A " + QString::fromStdString(name.substr(0, name.find(','))));
}

void TSimulatorPanel::phraseSpoken(int phrase) {
    const QString text = phrase >= 0 && phrase < static_cast<int>(m_phrases.size())
                             ? platform::toQString(m_phrases[static_cast<std::size_t>(phrase)])
                             : tr("phrase %1").arg(phrase);
    m_floorView->setSpeech(text);
}

void TSimulatorPanel::finished(const sim::TRunStatus&) {
    m_recorder.recordEnd(m_sim);
    m_player->stop();
}

void TSimulatorPanel::inputChanged() {
    for (std::size_t i = 0; i < m_digital.size(); ++i) {
        const auto input = static_cast<sim::TInput>(i); // PC0..PC4, MIC in order
        const Qt::CheckState state = m_digital[i]->checkState();
        if (state == Qt::PartiallyChecked)
            m_sim.clearInput(input);
        else
            m_sim.setInput(input, state == Qt::Checked ? 1 : 0);
    }
    for (std::size_t i = 0; i < m_analogue.size(); ++i) {
        const auto input =
            static_cast<sim::TInput>(static_cast<std::size_t>(sim::TInput::Adc0) + i);
        if (m_analogue[i]->value() < 0)
            m_sim.clearInput(input);
        else
            m_sim.setInput(input, m_analogue[i]->value());
    }
    showState();
}

void TSimulatorPanel::ticked(std::int64_t) {
    m_recorder.record(m_sim);
}

void TSimulatorPanel::restartRecord() {
    m_recorder.clear();
    m_recorder.record(m_sim);
}

void TSimulatorPanel::showState() {
    // Time went back: the simulator was reset (another floor, a new program) since.
    if (m_recorder.empty() || m_sim.timeUs() < m_recorder.lastUs())
        restartRecord();
    m_plot->refresh();
    const bool running = m_timer->isActive();
    m_runButton->setEnabled(!running);
    m_pauseButton->setEnabled(running);
    m_stopButton->setEnabled(m_loaded);

    // Time and how the run stands.
    const QString time = QString::number(m_sim.timeUs() / 1e6, 'f', 2);
    const auto steps = static_cast<qulonglong>(m_sim.steps());
    const sim::TRunStatus& run = m_sim.status();
    QString status;
    if (!m_loaded)
        status = tr("Press Run to run the program text on the simulated robot.");
    else if (m_sim.program().empty())
        status = m_loadNote;
    else if (run.state == sim::TRunState::Ended)
        status = tr("Time %1 s, %2 statements: the program ended.").arg(time).arg(steps);
    else if (run.state == sim::TRunState::StepLimit)
        status = tr("Time %1 s, %2 statements: stopped, the program ran %3 statements without "
                    "ending (a loop without a WAIT?).")
                     .arg(time)
                     .arg(steps)
                     .arg(static_cast<qulonglong>(kStepLimit));
    else if (run.state == sim::TRunState::Error)
        status = tr("Time %1 s, %2 statements: line %3: %4")
                     .arg(time)
                     .arg(steps)
                     .arg(run.line)
                     .arg(platform::Translated(run.message));
    else if (!running)
        status = tr("Time %1 s, %2 statements (paused)").arg(time).arg(steps);
    else
        status = tr("Time %1 s, %2 statements").arg(time).arg(steps);
    // What the loading found stays above how the run stands.
    if (m_loaded && !m_sim.program().empty() && !m_loadNote.isEmpty())
        status = m_loadNote + '\n' + status;
    if (m_loaded || !m_stopped)
        m_statusLabel->setText(status);
    updateEditing();

    const std::string variables = sim::VariablesText(m_sim);
    m_variablesLabel->setText(
        tr("Variables: %1")
            .arg(variables.empty() ? tr("none set") : QString::fromStdString(variables)));
    const int lit = m_sim.leds();
    QString lamps;
    for (int led = 0; led < 3; ++led)
        lamps += (lit >> led) & 1 ? QString("\u25CF") : QString("\u25CB");
    QString ports;
    for (int port = 0; port < 4; ++port)
        ports += QString(" %1:%2/%3")
                     .arg(QChar('A' + port))
                     .arg(m_sim.ddr(port))
                     .arg(m_sim.portOut(port));
    const auto& servos = m_sim.servos();
    m_deviceLabel->setText(
        tr("Lamps %1   Wheels L %2 R %3 mm/s\nServos %4 %5 %6 %7 %8 (speed %9)\nPorts "
           "DDR/PORT%10")
            .arg(lamps)
            .arg(std::lround(m_sim.leftSpeed()))
            .arg(std::lround(m_sim.rightSpeed()))
            .arg(servos[0])
            .arg(servos[1])
            .arg(servos[2])
            .arg(servos[3])
            .arg(servos[4])
            .arg(m_sim.servoSpeed())
            .arg(ports));
    m_floorView->setPose(m_sim.pose());
    m_floorView->setLeds(lit);

    // The statement running, in the text and on the canvas.
    if (m_hooks.showLine) {
        const std::optional<std::size_t> index = m_sim.currentIndex();
        if (m_loaded && index && *index < m_sim.program().size())
            m_hooks.showLine(m_sim.program()[*index].position - 1);
        else
            m_hooks.showLine(std::nullopt);
    }
}
