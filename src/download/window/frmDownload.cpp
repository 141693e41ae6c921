#include "download/window/frmDownload.h"

#include "download/ProgramImage.h"
#include "files/Files.h"
#include "platform/events/QueuedPoster.h"
#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

using platform::fromQString;
using platform::toQString;

namespace {

// Item data of the port box: the device to open, and whether the entry is the virtual robot.
constexpr int kDeviceRole = Qt::UserRole;
constexpr int kVirtualRole = Qt::UserRole + 1;

constexpr int kClientWidth = 578;
// Under the panel: the bar, two lines of status, three of remedy, then the
// robots' rows (while Send to all has some) and Exit.
constexpr int kBarTop = 311;
constexpr int kStatusTop = 335;
constexpr int kStatusHeight = 40;
constexpr int kRemedyTop = 377;
constexpr int kRemedyHeight = 58;
constexpr int kBelowRemedy = 441;
constexpr int kRowHeight = 26;
constexpr int kRowsShown = 6;
constexpr int kPortPollMs = 1000;

// The text as it fits the label's box: wrapped, and cut short with an
// ellipsis when it would need more lines than the box has.
QString fitted(const QString& text, const QFont& font, const QSize& box) {
    const QFontMetrics metrics(font);
    auto fits = [&](const QString& t) {
        return metrics.boundingRect(QRect(0, 0, box.width(), 1 << 20), Qt::TextWordWrap, t)
                   .height() <= box.height();
    };
    if (fits(text))
        return text;
    const QString ellipsis(QChar(0x2026));
    qsizetype low = 0, high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(text.left(mid) + ellipsis))
            low = mid;
        else
            high = mid - 1;
    }
    return text.left(low).trimmed() + ellipsis;
}

QString portEntry(int number, const download::TPortInfo& port) {
    return QStringLiteral("%1: %2").arg(number).arg(toQString(download::PortEntryText(port)));
}

} // namespace

TFormDownload::TFormDownload(QWidget* parent)
    : QDialog(parent), m_post(platform::queuedPoster(this)), m_serialJob(m_serialPort, m_post),
      m_virtualJob(m_virtualPort, m_post), m_portSource(&platform::TQtSerialPort::portInfos),
      m_ownPrompts(this, tr("ZOLVANE Download")) {
    setObjectName(QStringLiteral("FormDownload"));
    setWindowTitle(tr("ZOLVANE Download"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(16);
    setFont(font);
    m_serialJob.setProgramMemory(&m_memory);
    m_virtualJob.setProgramMemory(&m_memory);
    buildControls();
    connectControls();
    bindPort(m_serialPort, m_serialJob);
    bindPort(m_virtualPort, m_virtualJob);
    placeBottom();
    refreshPorts();
    updateButtons();
}

TFormDownload::~TFormDownload() {
    // At program end a running worker is woken by the closed port rather than
    // by its time limit; the jobs then stop and join it.
    m_openPort = nullptr;
    m_serialPort.close();
    m_virtualPort.close();
    clearRobotRows();
}

void TFormDownload::buildControls() {
    auto button = [this](QWidget* parent, const char* name, const QString& text,
                         const QRect& bounds) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(bounds);
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button(this, "Button1", tr("Open"), {40, 16, 75, 25});
    Button2 = button(this, "Button2", tr("Close"), {128, 16, 75, 25});

    Label1 = new QLabel(tr("COM:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(207, 16, 40, 25);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Wide enough for "1: ttyUSB0 - description (maker)"; it ends where the panel ends.
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(249, 16, 312, 25);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1 = panel;
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 64, 553, 241);

    Memo2 = new QPlainTextEdit(Panel1);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(8, 9, 288, 224);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Button6 = button(Panel1, "Button6", tr("Download"), {368, 16, 100, 25});
    CancelButton = button(Panel1, "CancelButton", tr("Cancel"), {368, 48, 100, 25});
    CancelButton->setToolTip(tr("Stop the download (Escape)"));
    TestButton = button(Panel1, "TestButton", tr("Test connection"), {304, 96, 241, 25});
    TestButton->setToolTip(
        tr("Ask the robot on the chosen port to answer, without sending a program"));
    SendAllButton =
        button(Panel1, "SendAllButton", tr("Send to all connected robots"), {304, 128, 241, 25});
    // The caption is long for the panel's column: a smaller letter than the window's.
    QFont small = font();
    small.setPixelSize(12);
    SendAllButton->setFont(small);
    SendAllButton->setToolTip(tr("Send the program to the robot on every listed port at once"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QStringLiteral("%v / %m"));

    StatusLine = new QLabel(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setWordWrap(true);
    StatusLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    RemedyLabel = new QLabel(this);
    RemedyLabel->setObjectName(QStringLiteral("RemedyLabel"));
    RemedyLabel->setWordWrap(true);
    RemedyLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    RobotRows = new QScrollArea(this);
    RobotRows->setObjectName(QStringLiteral("RobotRows"));
    RobotRows->setWidgetResizable(true);
    RobotRows->hide();

    Button5 = button(this, "Button5", tr("Exit"), {232, kBelowRemedy, 75, 25});

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(136, 120, 385, 145);
    Memo1->setReadOnly(true);
    Memo1->hide();

    m_portTimer = new QTimer(this);
    m_portTimer->setInterval(kPortPollMs);
}

void TFormDownload::connectControls() {
    connect(Button1, &QPushButton::clicked, this, &TFormDownload::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormDownload::Button2Click);
    connect(Button5, &QPushButton::clicked, this, &TFormDownload::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFormDownload::Button6Click);
    connect(CancelButton, &QPushButton::clicked, this, &TFormDownload::CancelButtonClick);
    connect(TestButton, &QPushButton::clicked, this, &TFormDownload::TestButtonClick);
    connect(SendAllButton, &QPushButton::clicked, this, &TFormDownload::SendAllButtonClick);
    connect(m_portTimer, &QTimer::timeout, this, &TFormDownload::pollPorts);

    for (download::TDownloadJob* job : {&m_serialJob, &m_virtualJob}) {
        download::TDownloadJob::THandlers handlers;
        handlers.stage = [this](const download::TStageView& view) { DownloadStage(view); };
        handlers.step = [this](const download::TDownloadStep& step) { DownloadStep(step); };
        handlers.finished = [this](const download::TDownloadJob::TResult& result) {
            DownloadCompleted(result);
        };
        job->setHandlers(std::move(handlers));
    }
}

void TFormDownload::bindPort(download::TSerialPortInterface& port, download::TDownloadJob& job) {
    // The downloader's own error handler only wakes its worker; this one does
    // that too and tells the window, so a port that goes away while idle
    // (cable pulled, robot hung up) does not leave Close enabled.
    port.setErrorHandler([this, &port, &job](const std::string& message) {
        job.downloader().receiveQueue().fail(message);
        m_post([this, &port, message] { PortLost(&port, message); });
    });
}

// ---- layout and words ----

void TFormDownload::placeBottom() {
    ProgressBar1->setGeometry(8, kBarTop, 553, 20);
    StatusLine->setGeometry(8, kStatusTop, 553, kStatusHeight);
    RemedyLabel->setGeometry(8, kRemedyTop, 553, kRemedyHeight);
    int top = kBelowRemedy;
    if (!m_rows.empty()) {
        const int shown = std::min<int>(static_cast<int>(m_rows.size()), kRowsShown);
        const int height = shown * kRowHeight + 6;
        RobotRows->setGeometry(8, top, 553, height);
        RobotRows->show();
        top += height + 8;
    } else {
        RobotRows->hide();
    }
    Button5->move(232, top);
    setFixedSize(kClientWidth, top + 25 + 8);
}

void TFormDownload::setStatus(const QString& text, const QString& details) {
    m_statusText = text;
    StatusLine->setText(fitted(text, StatusLine->font(), StatusLine->size()));
    // The whole text, whatever fits the line, and what lies behind it.
    StatusLine->setToolTip(details.isEmpty() ? text : text + QLatin1Char('\n') + details);
}

void TFormDownload::setRemedy(const QString& text) {
    m_remedyText = text;
    RemedyLabel->setText(fitted(text, RemedyLabel->font(), RemedyLabel->size()));
    RemedyLabel->setToolTip(text);
}

void TFormDownload::startClean() {
    if (downloading())
        return;
    setStatus({});
    setRemedy({});
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    clearRobotRows();
}

void TFormDownload::clearRobotRows() {
    // Closed first, on their threads: no byte or error of theirs reaches a
    // job while it goes away, and a worker still writing is let go at once.
    for (auto& port : m_robotPorts)
        port->port().close();
    m_multi.reset();
    m_robotPorts.clear();
    m_rows.clear();
    delete RobotRows->takeWidget();
    placeBottom();
}

files::TPrompts& TFormDownload::prompts() {
    return m_prompts ? *m_prompts : m_ownPrompts;
}

void TFormDownload::showMessage(files::TPrompts::Severity severity, const QString& text) {
    prompts().showMessage(severity, fromQString(text));
}

// ---- showing ----

int TFormDownload::showForProgram(const std::string& text) {
    setProgramText(text);
    refreshPorts();
    startClean();
    return exec();
}

void TFormDownload::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_portTimer->start();
}

void TFormDownload::hideEvent(QHideEvent* event) {
    m_portTimer->stop();
    QDialog::hideEvent(event);
}

void TFormDownload::setProgramText(const std::string& bytes) {
    Memo2->setPlainText(toQString(bytes));
}

std::string TFormDownload::programText() const {
    // toPlainText() would turn a no-break space into a space and a line
    // separator into a line break; the raw text keeps them and separates
    // only the box's own lines.
    QString text = Memo2->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return fromQString(text);
}

// ---- ports ----

void TFormDownload::setPortSource(std::function<std::vector<download::TPortInfo>()> source) {
    m_portSource = std::move(source);
}

void TFormDownload::setPortPollInterval(int msecs) {
    m_portTimer->setInterval(msecs);
}

void TFormDownload::setLastPort(const QString& device) {
    if (!m_openPort && !downloading()) {
        const int index = device == virtualRobotEntry() ? ComboBox1->findData(true, kVirtualRole)
                                                        : ComboBox1->findData(device, kDeviceRole);
        if (index >= 0)
            ComboBox1->setCurrentIndex(index);
    }
    if (m_lastPort == device)
        return;
    m_lastPort = device;
    emit lastPortChanged(device);
}

void TFormDownload::setAnswerTimeout(std::chrono::milliseconds timeout) {
    m_answerTimeout = timeout;
    m_serialJob.setAnswerTimeout(timeout);
    m_virtualJob.setAnswerTimeout(timeout);
}

void TFormDownload::refreshPorts() {
    fillPortBox(m_portSource());
}

void TFormDownload::pollPorts() {
    // Rebuilt only when the system's list changed, so an open drop-down and
    // the user's choice are left alone otherwise.
    std::vector<download::TPortInfo> ports = m_portSource();
    if (m_listedOnce && ports == m_knownPorts)
        return;
    fillPortBox(ports);
}

void TFormDownload::fillPortBox(const std::vector<download::TPortInfo>& ports) {
    const bool openSerial = m_openPort == &m_serialPort;
    const bool openVirtual = m_openPort == &m_virtualPort;
    const QString openDevice = openSerial ? toQString(m_serialPort.portName()) : QString();
    const bool wasVirtual = openVirtual || (!openSerial && ComboBox1->currentIndex() >= 0 &&
                                            ComboBox1->currentData(kVirtualRole).toBool());
    const std::string current = openSerial
                                    ? m_serialPort.portName()
                                    : fromQString(ComboBox1->currentData(kDeviceRole).toString());
    const std::string lastUsed =
        m_lastPort == virtualRobotEntry() ? std::string() : fromQString(m_lastPort);
    const download::TPortChoice choice =
        download::ChoosePort(m_knownPorts, ports, !m_listedOnce, current, lastUsed);

    ComboBox1->clear();
    int number = 0;
    for (const download::TPortInfo& port : ports) {
        ComboBox1->addItem(portEntry(++number, port));
        const int index = ComboBox1->count() - 1;
        const QString device = toQString(port.device);
        ComboBox1->setItemData(index, device, kDeviceRole);
        ComboBox1->setItemData(index, false, kVirtualRole);
        QString tip = device;
        if (!port.description.empty())
            tip += QLatin1Char('\n') + toQString(port.description);
        if (!port.manufacturer.empty())
            tip += QLatin1Char('\n') + toQString(port.manufacturer);
        ComboBox1->setItemData(index, tip, Qt::ToolTipRole);
    }
    ComboBox1->addItem(virtualRobotEntry());
    const int virtualIndex = ComboBox1->count() - 1;
    ComboBox1->setItemData(virtualIndex, true, kVirtualRole);

    int selected = -1;
    if (openVirtual) {
        selected = virtualIndex;
    } else if (openSerial) {
        selected = ComboBox1->findData(openDevice, kDeviceRole);
        if (selected < 0) {
            // An open device the system does not list (a pseudo-terminal):
            // the box still shows what is open.
            ComboBox1->insertItem(0, openDevice.section(QLatin1Char('/'), -1));
            ComboBox1->setItemData(0, openDevice, kDeviceRole);
            ComboBox1->setItemData(0, false, kVirtualRole);
            ComboBox1->setItemData(0, openDevice, Qt::ToolTipRole);
            selected = 0;
        }
    } else if (wasVirtual && choice.reason != download::TPortChoiceReason::NewAdapter) {
        selected = virtualIndex;
    } else if (!choice.device.empty()) {
        selected = ComboBox1->findData(toQString(choice.device), kDeviceRole);
    } else if (!m_listedOnce && m_lastPort == virtualRobotEntry()) {
        selected = virtualIndex;
    }
    ComboBox1->setCurrentIndex(std::max(selected, 0));
    m_knownPorts = ports;
    m_listedOnce = true;
}

bool TFormDownload::downloading() const {
    return m_running != nullptr || (m_multi && m_multi->busy());
}

QStringList TFormDownload::traceLines() const {
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

bool TFormDownload::virtualSelected() const {
    return ComboBox1->currentIndex() < 0 || ComboBox1->currentData(kVirtualRole).toBool();
}

download::TDownloadJob& TFormDownload::jobForRun(bool lastPortFirst) {
    if (m_openPort)
        return m_openPort == &m_virtualPort ? m_virtualJob : m_serialJob;
    if (lastPortFirst && !m_lastPort.isEmpty()) {
        if (m_lastPort == virtualRobotEntry())
            return m_virtualJob;
        m_serialPort.setDeviceName(fromQString(m_lastPort));
        return m_serialJob;
    }
    if (virtualSelected())
        return m_virtualJob;
    m_serialPort.setDeviceName(fromQString(ComboBox1->currentData(kDeviceRole).toString()));
    return m_serialJob;
}

void TFormDownload::updateButtons() {
    const bool busy = downloading();
    // Open would close and reopen the port under a running download.
    Button1->setEnabled(m_openPort == nullptr && !busy);
    Button2->setEnabled(m_openPort != nullptr);
    // The box shows which port is open; another is chosen after Close.
    ComboBox1->setEnabled(m_openPort == nullptr && !busy);
    Button6->setEnabled(!busy);
    CancelButton->setEnabled(busy);
    TestButton->setEnabled(!busy);
    // The robots' ports are opened one by one: a real port held open here is not among them.
    SendAllButton->setEnabled(!busy && m_openPort != &m_serialPort);
}

// ---- the user's commands ----

// Open: opens the port chosen in the port box.
void TFormDownload::Button1Click() {
    if (m_openPort || downloading())
        return;
    if (!virtualSelected())
        m_serialPort.setDeviceName(fromQString(ComboBox1->currentData(kDeviceRole).toString()));
    download::TSerialPortInterface& port =
        virtualSelected() ? static_cast<download::TSerialPortInterface&>(m_virtualPort)
                          : m_serialPort;
    if (!port.open()) {
        download::TFailureFacts facts;
        facts.open = port.openFailure();
        facts.cause = download::CauseOfOpenProblem(facts.open.problem);
        facts.port = download::PortShortName(port.portName());
        const download::TFailureReport report = download::DescribeFailure(facts);
        QString reason = toQString(port.errorString());
        if (reason.isEmpty())
            reason = tr("The port %1 cannot be opened.").arg(toQString(port.portName()));
        setStatus(platform::Translated(report.headline), reason);
        setRemedy(platform::Translated(report.remedy));
        showMessage(files::TPrompts::Severity::Error,
                    reason + QLatin1Char('\n') + platform::Translated(report.remedy));
        return;
    }
    m_openPort = &port;
    updateButtons();
    setRemedy({});
    setStatus(tr("%1 is open.").arg(toQString(port.portName())));
}

// Close: closes the open port (a running download then ends as a fail).
void TFormDownload::Button2Click() {
    if (!m_openPort)
        return;
    download::TSerialPortInterface* port = m_openPort;
    m_openPort = nullptr;
    port->close();
    updateButtons();
    setStatus(tr("%1 is closed.").arg(toQString(port->portName())));
}

// Exit: closes the window; a running download is cancelled, an open port stays open.
void TFormDownload::Button5Click() {
    reject();
}

void TFormDownload::reject() {
    cancelDownload();
    QDialog::reject();
}

void TFormDownload::keyPressEvent(QKeyEvent* event) {
    // Escape during a download cancels it and keeps the window, which then
    // says what the robot holds; otherwise it closes the window as usual.
    if (event->key() == Qt::Key_Escape && downloading()) {
        CancelButtonClick();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Cancel: stops the download, test or robots between two packets.
void TFormDownload::CancelButtonClick() {
    cancelDownload();
}

void TFormDownload::cancelDownload() {
    if (m_running)
        m_running->cancel();
    if (m_multi)
        m_multi->cancel();
}

bool TFormDownload::cancelAndWait(int msecs) {
    cancelDownload();
    QElapsedTimer clock;
    clock.start();
    while (downloading() && clock.elapsed() < msecs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !downloading();
}

std::optional<download::TPackedListing> TFormDownload::listingToSend(const std::string& text) {
    const std::vector<std::string> lines = files::SplitLines(text);
    if (lines.empty()) {
        // Nothing is sent and no box shows; the status line says why nothing happened.
        setStatus(tr("There is no program to download: generate or load one first."));
        return std::nullopt;
    }
    download::TPackedListing listing = download::PackListing(lines);
    if (const files::TMessage refusal = download::ListingRefusalMessage(listing);
        !refusal.empty()) {
        setStatus(platform::Translated(refusal));
        showMessage(files::TPrompts::Severity::Warning, platform::Translated(refusal));
        return std::nullopt;
    }
    if (!listing.dropped.empty()) {
        const QPointer<TFormDownload> self(this);
        const files::TPrompts::Answer answer = prompts().askYesNoCancel(
            fromQString(platform::Translated(download::DroppedLinesQuestionMessage(listing))));
        if (!self)
            return std::nullopt;
        if (answer != files::TPrompts::Answer::Yes) {
            setStatus(tr("Nothing was sent."));
            return std::nullopt;
        }
    }
    return listing;
}

bool TFormDownload::startRun(download::TDownloadJob& job, const download::Bytes* image) {
    startClean();
    m_runIsTest = image == nullptr;
    m_running = &job;
    // Said before the run starts: its first stage is shown at once.
    const download::TStartResult start = image ? job.start(*image) : job.testConnection();
    if (!start.started) {
        m_running = nullptr;
        updateButtons();
        if (!job.lastResult().opened && !start.error.empty())
            showFailure(job.lastResult());
        else if (!start.error.empty()) {
            // The downloader's refusals of a start are fixed sentences (UDownloadDo.cpp).
            const QString error = platform::Translated("download", start.error);
            setStatus(error);
            showMessage(files::TPrompts::Severity::Warning, error);
        }
        return false;
    }
    setLastPort(&job == &m_virtualJob ? virtualRobotEntry() : toQString(job.port().portName()));
    updateButtons();
    return true;
}

// Download: packs the lines of Memo2 and sends them to the robot on the open
// port, or on the chosen one, which is opened for the download. A program the
// robot could not take is refused; when lines fail the line check, the user
// hears which before anything is sent and may send the rest.
void TFormDownload::Button6Click() {
    if (downloading())
        return;
    m_quiet = false;
    const std::optional<download::TPackedListing> listing = listingToSend(programText());
    if (listing)
        startRun(jobForRun(false), &listing->image);
}

bool TFormDownload::sendToRobot(const std::string& programText) {
    if (downloading())
        return false;
    setProgramText(programText);
    refreshPorts();
    m_quiet = true;
    const std::optional<download::TPackedListing> listing = listingToSend(programText);
    if (!listing) {
        emit downloadFinished(false, m_statusText, {});
        return false;
    }
    return startRun(jobForRun(true), &listing->image);
}

// Test connection: the hello exchange with the robot on the open or chosen port.
void TFormDownload::TestButtonClick() {
    if (downloading())
        return;
    m_quiet = false;
    startRun(jobForRun(false), nullptr);
}

// Send to all connected robots: the program to the robot on every listed
// port at once, a row of progress each.
void TFormDownload::SendAllButtonClick() {
    if (downloading() || m_openPort == &m_serialPort)
        return;
    std::vector<std::string> devices;
    for (int i = 0; i < ComboBox1->count(); ++i) {
        if (!ComboBox1->itemData(i, kVirtualRole).toBool())
            devices.push_back(fromQString(ComboBox1->itemData(i, kDeviceRole).toString()));
    }
    startClean();
    if (devices.empty()) {
        const QString text = tr("No robot's port is listed: plug in the robots' "
                                "cables and wait until their ports appear.");
        setStatus(text);
        showMessage(files::TPrompts::Severity::Warning, text);
        return;
    }
    const std::optional<download::TPackedListing> listing = listingToSend(programText());
    if (!listing)
        return;

    m_multi = std::make_unique<download::TMultiDownload>(m_post);
    auto* rows = new QWidget;
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(2);
    QFont small = font();
    small.setPixelSize(12);
    for (const std::string& device : devices) {
        m_robotPorts.push_back(std::make_unique<platform::TSerialPortThread>(device));
        const std::size_t robot = m_multi->addRobot(m_robotPorts.back()->port());
        TRobotRow row;
        const QString prefix = QStringLiteral("RobotRow%1").arg(robot);
        row.name = new QLabel(toQString(download::PortShortName(device)), rows);
        row.name->setObjectName(prefix + QStringLiteral("Name"));
        row.name->setToolTip(toQString(device));
        row.bar = new QProgressBar(rows);
        row.bar->setObjectName(prefix + QStringLiteral("Bar"));
        row.bar->setRange(0, 1);
        row.bar->setValue(0);
        row.bar->setFixedWidth(150);
        row.status = new QLabel(rows);
        row.status->setObjectName(prefix + QStringLiteral("Status"));
        for (QWidget* w : {static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.bar),
                           static_cast<QWidget*>(row.status)})
            w->setFont(small);
        const int line = static_cast<int>(robot);
        grid->addWidget(row.name, line, 0);
        grid->addWidget(row.bar, line, 1);
        grid->addWidget(row.status, line, 2);
        m_rows.push_back(row);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(static_cast<int>(devices.size()), 1);
    RobotRows->setWidget(rows);
    placeBottom();

    m_multi->setProgramMemory(&m_memory);
    m_multi->setAnswerTimeout(m_answerTimeout);
    m_multi->setHandlers(
        {[this](std::size_t robot, const download::TStageView& view) { RobotStage(robot, view); },
         [this](std::size_t robot, const download::TDownloadJob::TResult& result) {
             RobotCompleted(robot, result);
         },
         [this](std::size_t succeeded, std::size_t robots) {
             AllRobotsCompleted(succeeded, robots);
         }});
    setStatus(tr("Sending the program to %1 robots").arg(devices.size()));
    m_multi->start(listing->image);
    updateButtons();
}

// ---- what the workers report ----

// A download's (or test's) words and bar.
void TFormDownload::DownloadStage(const download::TStageView& view) {
    ProgressBar1->setRange(0, std::max(view.maximum, 1));
    ProgressBar1->setValue(view.value);
    const QString text = platform::Translated(view.text);
    setStatus(text);
    emit stageChanged(text, view.value, view.maximum);
}

// The worker's step: its line into the hidden trace list (downloads only).
void TFormDownload::DownloadStep(const download::TDownloadStep& step) {
    if (!m_runIsTest)
        Memo1->appendPlainText(toQString(download::TraceLine(step)));
}

void TFormDownload::showFailure(const download::TDownloadJob::TResult& result) {
    const QString headline = platform::Translated(result.report.headline);
    const QString remedy = platform::Translated(result.report.remedy);
    setStatus(headline, platform::Translated(result.outcome.reasonMessage));
    setRemedy(remedy);
    // A port that would not open sent nothing: no completion message for it.
    QString text = result.opened && !result.outcome.helloOnly
                       ? toQString(result.outcome.message) + QLatin1Char('\n') + headline
                       : headline;
    if (!remedy.isEmpty())
        text += QLatin1Char('\n') + remedy;
    showMessage(result.opened ? files::TPrompts::Severity::Warning
                              : files::TPrompts::Severity::Error,
                text);
    emit downloadFinished(false, headline, remedy);
}

// The run has ended: its last words, the completion message box (with what
// to check beside a failure), then the buttons again. A cancel shows no box:
// the user asked for it, and the status line says what the robot holds.
void TFormDownload::DownloadCompleted(const download::TDownloadJob::TResult& result) {
    m_running = nullptr;
    if (!result.outcome.helloOnly)
        emit programMemoryChanged();
    const QPointer<TFormDownload> self(this);
    if (result.outcome.cancelled()) {
        setStatus(platform::Translated(result.text));
        setRemedy({});
        emit downloadFinished(false, platform::Translated(result.text), {});
    } else if (result.success()) {
        ProgressBar1->setValue(ProgressBar1->maximum());
        const QString text = platform::Translated(result.text);
        setStatus(text);
        setRemedy({});
        if (!m_quiet)
            showMessage(files::TPrompts::Severity::Information,
                        result.outcome.helloOnly
                            //: A message box's sentence made of the status line's words.
                            ? tr("%1.").arg(text)
                            : toQString(result.outcome.message));
        if (self)
            emit downloadFinished(true, text, {});
    } else {
        showFailure(result);
    }
    if (!self)
        return;
    updateButtons();
}

void TFormDownload::RobotStage(std::size_t robot, const download::TStageView& view) {
    if (robot >= m_rows.size())
        return;
    const TRobotRow& row = m_rows[robot];
    row.bar->setRange(0, std::max(view.maximum, 1));
    row.bar->setValue(view.value);
    const QString text = platform::Translated(view.text);
    row.status->setText(fitted(text, row.status->font(),
                               QSize(row.status->width(), row.status->fontMetrics().height())));
    row.status->setToolTip(text);
}

void TFormDownload::RobotCompleted(std::size_t robot,
                                   const download::TDownloadJob::TResult& result) {
    if (robot >= m_rows.size())
        return;
    const TRobotRow& row = m_rows[robot];
    if (result.success())
        row.bar->setValue(row.bar->maximum());
    const QString text = platform::Translated(result.text);
    row.status->setText(text);
    row.status->setToolTip(result.report.remedy.empty()
                               ? text
                               : text + QLatin1Char('\n') +
                                     platform::Translated(result.report.remedy));
}

void TFormDownload::AllRobotsCompleted(std::size_t succeeded, std::size_t robots) {
    emit programMemoryChanged();
    // One line a robot, as the tool prints them.
    QStringList lines;
    QString remedies;
    for (std::size_t robot = 0; robot < m_multi->robots(); ++robot) {
        const auto& result = m_multi->result(robot);
        if (!result)
            continue;
        QString line = toQString(download::PortShortName(result->port)) + QStringLiteral(": ") +
                       toQString(result->outcome.message);
        if (!result->success())
            line += QStringLiteral(": ") + platform::Translated(result->report.headline);
        lines << line;
    }
    const QString summary = tr("%1 of %2 robots have the program").arg(succeeded).arg(robots);
    setStatus(summary, lines.join(QLatin1Char('\n')));
    if (succeeded < robots)
        setRemedy(tr("Point at a robot's row to see what to check."));
    updateButtons();
    showMessage(succeeded == robots ? files::TPrompts::Severity::Information
                                    : files::TPrompts::Severity::Warning,
                summary + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

// The open port went away by itself: Open is offered again.
void TFormDownload::PortLost(download::TSerialPortInterface* port, const std::string& message) {
    if (m_openPort != port || port->isOpen())
        return; // closed with Close, or opened again since
    m_openPort = nullptr;
    updateButtons();
    if (!downloading())
        setStatus(tr("The port was lost: %1")
                      .arg(platform::Translated(download::PortWordsMessage(message))));
}

QString TFormDownload::robotProgramStatus(const std::string& programText) const {
    if (m_lastPort.isEmpty())
        return {};
    const download::TPackedListing listing = download::PackListing(files::SplitLines(programText));
    return platform::Translated(m_memory.statusMessage(fromQString(m_lastPort), listing.image));
}
