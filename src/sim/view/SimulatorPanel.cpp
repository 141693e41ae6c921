#include "sim/view/SimulatorPanel.h"

#include "editors/values/MusicComposer.h"
#include "platform/i18n/CoreText.h"
#include "platform/sound/TonePlayer.h"
#include "platform/text/CodePage.h"
#include "sim/view/FloorView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
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

    m_staleLabel = new QLabel(
        tr("The chart has changed since this listing was made: the simulator runs the listing "
           "as it is. Generate it again to run the chart."),
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
    m_stopped = false;
    m_loadNote.clear();
    if (m_sim.program().empty())
        m_loadNote = tr("The program text holds no line the robot would run: generate the "
                        "listing first.");
    else if (!found.empty())
        m_loadNote = tr("Text line %1: %2")
                         .arg(found.front().position)
                         .arg(platform::toQString(found.front().message));
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
                     .arg(platform::toQString(run.message));
    else if (!running)
        status = tr("Time %1 s, %2 statements (paused)").arg(time).arg(steps);
    else
        status = tr("Time %1 s, %2 statements").arg(time).arg(steps);
    // What the loading found stays above how the run stands.
    if (m_loaded && !m_sim.program().empty() && !m_loadNote.isEmpty())
        status = m_loadNote + '\n' + status;
    if (m_loaded || !m_stopped)
        m_statusLabel->setText(status);

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
