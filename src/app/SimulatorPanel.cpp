#include "app/SimulatorPanel.h"

#include "app/FloorView.h"
#include "app/Unit1.h"
#include "chart/Chart.h"
#include "editors/values/MusicComposer.h"
#include "platform/sound/TonePlayer.h"
#include "platform/text/CodePage.h"
#include "program/ListingFreshness.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
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
constexpr TSpeed kSpeeds[] = {
    {"x0.25", 0.25},           {"x0.5", 0.5}, {"x1", 1}, {"x2", 2}, {"x4", 4}, {"x16", 16},
    {"As fast as possible", 0}};

struct TBundledFloor {
    const char* file;
    const char* name;
};
constexpr TBundledFloor kFloors[] = {{":/sim/empty.floor", "Empty floor"},
                                     {":/sim/line-track.floor", "Line track"},
                                     {":/sim/room.floor", "Walled room"}};

} // namespace

TSimulatorPanel::TSimulatorPanel(QWidget* parent, THooks hooks, std::vector<std::string> phrases)
    : QDockWidget("Simulator", parent), m_hooks(std::move(hooks)), m_phrases(std::move(phrases)) {
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
        m_floors.push_back(std::move(floor));
    }
    m_player = new platform::TTonePlayer(this);
    m_timer = new QTimer(this);
    m_timer->setInterval(kFrameMs);
    connect(m_timer, &QTimer::timeout, this, &TSimulatorPanel::advanceFrame);
    m_sim.setListener(this);
    m_sim.setStepLimit(kStepLimit);
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
    button(m_runButton, "SimRunButton", "&Run", "Run the program on the simulated robot",
           &TSimulatorPanel::run);
    button(m_pauseButton, "SimPauseButton", "&Pause", "Stop for a moment; Run goes on",
           &TSimulatorPanel::pause);
    button(m_stepButton, "SimStepButton", "S&tep", "Run one statement", &TSimulatorPanel::stepOnce);
    button(m_stopButton, "SimStopButton", "St&op", "End the run where it is",
           &TSimulatorPanel::stop);
    button(m_resetButton, "SimResetButton", "R&eset",
           "Take the program text again and put the robot back at the start",
           &TSimulatorPanel::reset);
    m_speedList = new QComboBox(body);
    m_speedList->setObjectName("SimSpeedList");
    m_speedList->setAccessibleName("Speed");
    m_speedList->setToolTip("How fast simulated time runs");
    for (const TSpeed& speed : kSpeeds)
        m_speedList->addItem(speed.text, speed.factor);
    m_speedList->setCurrentIndex(2);
    connect(m_speedList, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSpeed(m_speedList->itemData(index).toDouble()); });
    buttons->addWidget(m_speedList);
    m_floorList = new QComboBox(body);
    m_floorList->setObjectName("SimFloorList");
    m_floorList->setAccessibleName("Floor");
    for (const TBundledFloor& bundled : kFloors)
        m_floorList->addItem(bundled.name);
    connect(m_floorList, &QComboBox::currentIndexChanged, this, &TSimulatorPanel::chooseFloor);
    buttons->addWidget(m_floorList);
    buttons->addStretch();
    column->addLayout(buttons);

    m_staleLabel = new QLabel(
        "The chart has changed since this listing was made: the simulator runs the listing as "
        "it is. Generate it again to run the chart.",
        body);
    m_staleLabel->setObjectName("SimStaleLabel");
    m_staleLabel->setWordWrap(true);
    m_staleLabel->setStyleSheet("background: #fff4c8; padding: 2px;");
    m_staleLabel->hide();
    column->addWidget(m_staleLabel);
    m_statusLabel = new QLabel(body);
    m_statusLabel->setObjectName("SimStatusLabel");
    m_statusLabel->setWordWrap(true);
    column->addWidget(m_statusLabel);

    auto* middle = new QHBoxLayout;
    m_floorView = new TFloorView(body);
    m_floorView->setRobotRadius(m_sim.model().bodyRadiusMm);
    middle->addWidget(m_floorView, 1);
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
    auto* sensors = new QGroupBox("Sensors (grey: read from the floor)", body);
    auto* grid = new QGridLayout(sensors);
    const char* digital[] = {"PC0", "PC1", "PC2", "PC3", "PC4", "MIC"};
    for (int i = 0; i < 6; ++i) {
        auto* box = new QCheckBox(digital[i], sensors);
        box->setObjectName(QString("Sim%1").arg(digital[i]));
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        box->setToolTip("Grey: as the floor gives it; ticked: 1; empty: 0");
        connect(box, &QCheckBox::stateChanged, this, &TSimulatorPanel::inputChanged);
        grid->addWidget(box, i / 3, i % 3);
        m_digital.push_back(box);
    }
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(QString("ADC%1").arg(i), sensors);
        auto* spin = new QSpinBox(sensors);
        spin->setObjectName(QString("SimADC%1").arg(i));
        spin->setRange(-1, static_cast<int>(m_sim.model().adcMax));
        spin->setSpecialValueText("floor");
        spin->setValue(-1);
        spin->setAccessibleName(QString("ADC%1").arg(i));
        spin->setToolTip(
            QString("0 to %1, or \"floor\" for what the floor gives").arg(m_sim.model().adcMax));
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

void TSimulatorPanel::chooseFloor(int index) {
    if (index < 0 || index >= static_cast<int>(m_floors.size()))
        return;
    m_sim.setFloor(m_floors[static_cast<std::size_t>(index)]);
    m_floorView->setFloor(m_floors[static_cast<std::size_t>(index)]);
    m_floorView->setPose(m_sim.pose());
    showState();
}

void TSimulatorPanel::loadProgram() {
    const std::vector<sim::TDiagnostic> found = m_sim.load(m_hooks.programLines());
    m_loaded = true;
    m_player->stop();
    m_floorView->clearPath();
    m_floorView->setSpeech({});
    m_floorView->setPose(m_sim.pose());
    m_staleLabel->setVisible(m_hooks.textIsStale && m_hooks.textIsStale());
    if (m_sim.program().empty())
        m_statusLabel->setText("The program text holds no line the robot would run: "
                               "generate the listing first.");
    else if (!found.empty())
        m_statusLabel->setText(QString("Text line %1: %2")
                                   .arg(found.front().position)
                                   .arg(platform::toQString(found.front().message)));
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
    showState();
    m_statusLabel->setText("Stopped. Run starts the program again.");
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
                             : QString("phrase %1").arg(phrase);
    m_floorView->setSpeech(text);
}

void TSimulatorPanel::finished(const sim::TRunStatus&) {
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

void TSimulatorPanel::showState() {
    const bool running = m_timer->isActive();
    m_runButton->setEnabled(!running);
    m_pauseButton->setEnabled(running);
    m_stopButton->setEnabled(m_loaded);

    // Time and how the run stands.
    const double seconds = m_sim.timeUs() / 1e6;
    QString status = QString("Time %1 s, %2 statements").arg(seconds, 0, 'f', 2).arg(m_sim.steps());
    const sim::TRunStatus& run = m_sim.status();
    if (!m_loaded)
        status = "Press Run to run the program text on the simulated robot.";
    else if (run.state == sim::TRunState::Ended)
        status += ": the program ended.";
    else if (run.state == sim::TRunState::StepLimit)
        status += ": stopped, the program ran " + QString::number(kStepLimit) +
                  " statements without ending (a loop without a WAIT?).";
    else if (run.state == sim::TRunState::Error)
        status += QString(": line %1: %2").arg(run.line).arg(platform::toQString(run.message));
    else if (!running)
        status += " (paused)";
    if (m_loaded || !m_statusLabel->text().startsWith("Stopped"))
        m_statusLabel->setText(status);

    const std::string variables = sim::VariablesText(m_sim);
    m_variablesLabel->setText("Variables: " + (variables.empty()
                                                   ? QString("none set")
                                                   : QString::fromStdString(variables)));
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
        QString(
            "Lamps %1   Wheels L %2 R %3 mm/s\nServos %4 %5 %6 %7 %8 (speed %9)\nPorts DDR/PORT%10")
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

// ---------------------------------------------------------------------------------------------

TSimulatorPanel* InstallSimulator(TForm1& window, std::vector<std::string> phrases) {
    TSimulatorPanel::THooks hooks;
    hooks.programLines = [&window] {
        std::vector<std::string> lines;
        const QStringList text = window.programText()->toPlainText().split('\n');
        for (const QString& line : text)
            lines.push_back(platform::fromQString(line));
        return lines;
    };
    hooks.textIsStale = [&window] {
        return window.listingState().stale(window.chart().Revision());
    };
    hooks.showLine = [&window](std::optional<std::size_t> line) {
        QPlainTextEdit* memo = window.programText();
        if (!line) {
            return;
        }
        const QTextBlock block = memo->document()->findBlockByNumber(static_cast<int>(*line));
        if (!block.isValid())
            return;
        // The cursor on the line: where the chart made the listing, its block is selected on
        // the canvas and its lines marked; a typed text gets the line marked here.
        if (memo->textCursor().blockNumber() != static_cast<int>(*line))
            memo->setTextCursor(QTextCursor(block));
        memo->ensureCursorVisible();
        if (!window.listingState().linked(window.chart().Revision())) {
            QTextEdit::ExtraSelection running;
            running.cursor = QTextCursor(block);
            running.format.setBackground(QColor(200, 240, 200));
            running.format.setProperty(QTextFormat::FullWidthSelection, true);
            memo->setExtraSelections({running});
        }
    };
    auto* panel = new TSimulatorPanel(&window, std::move(hooks), std::move(phrases));
    // Under the chart and the text, beside the problems, so neither gets narrower.
    window.addDockWidget(Qt::BottomDockWidgetArea, panel);
    if (QDockWidget* problems = window.problemsDock())
        window.tabifyDockWidget(problems, panel);
    panel->hide();

    auto* simulate = new QAction("Si&mulate", &window);
    simulate->setObjectName("SimulateAction");
    simulate->setShortcut(QKeySequence("Ctrl+R"));
    simulate->setStatusTip("Run the program on a simulated robot, without the robot");
    simulate->setToolTip(simulate->statusTip() + " (" +
                         simulate->shortcut().toString(QKeySequence::NativeText) + ")");
    simulate->setIcon(QIcon(":/toolbar/simulate.svg"));
    QObject::connect(simulate, &QAction::triggered, panel, [panel] {
        panel->show();
        panel->raise();
        panel->run();
    });
    window.addAction(simulate);
    if (auto* robot = window.findChild<QMenu*>("RobotMenu"))
        robot->addAction(simulate);
    // The window's own toolbar strip (the download window has a Panel1 of its own).
    if (auto* toolbar =
            window.centralWidget()->findChild<QWidget*>("Panel1", Qt::FindDirectChildrenOnly)) {
        auto* button = new QToolButton(toolbar);
        button->setObjectName("SimulateButton");
        button->setAutoRaise(true);
        button->setDefaultAction(simulate);
        button->setGeometry(580, 2, 32, 32);
        button->setIconSize(QSize(30, 30));
        button->setAccessibleName("Simulate");
        button->show();
    }
    return panel;
}
