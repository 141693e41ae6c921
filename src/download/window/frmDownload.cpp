#include "download/window/frmDownload.h"

#include "download/ProgramImage.h"
#include "files/Files.h"
#include "platform/events/QueuedPoster.h"
#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <algorithm>

using platform::fromQString;
using platform::toQString;

namespace {

// Item data of the port box: the device to open, and whether the entry is the virtual robot.
constexpr int kDeviceRole = Qt::UserRole;
constexpr int kVirtualRole = Qt::UserRole + 1;

constexpr int kClientWidth = 578;
// The progress bar and the status line sit under the panel, so the window is
// taller than the panel and the Exit button alone would need.
constexpr int kClientHeight = 398;

} // namespace

TFormDownload::TFormDownload(QWidget* parent)
    : QDialog(parent), m_post(platform::queuedPoster(this)),
      m_serialDownloader(m_serialPort, m_post), m_virtualDownloader(m_virtualPort, m_post),
      m_ownPrompts(this, QStringLiteral("ZOLVANE Download")) {
    setObjectName(QStringLiteral("FormDownload"));
    setWindowTitle(QStringLiteral("ZOLVANE Download"));
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(16);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
    connectControls();
    bindPort(m_serialPort, m_serialDownloader);
    bindPort(m_virtualPort, m_virtualDownloader);
    refreshPorts();
    updatePortButtons();
}

TFormDownload::~TFormDownload() {
    // At program end a running worker is woken by the closed port rather than
    // by its time limit; the downloaders then stop and join it.
    if (m_openPort) {
        download::TSerialPortInterface* port = m_openPort;
        m_openPort = nullptr;
        port->close();
    }
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
    Button1 = button(this, "Button1", QStringLiteral("Open"), {40, 16, 75, 25});
    Button2 = button(this, "Button2", QStringLiteral("Close"), {128, 16, 75, 25});

    Label1 = new QLabel(QStringLiteral("COM:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(207, 16, 40, 25);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Wide enough for "1: ttyUSB0 - description"; it ends where the panel ends.
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

    Button6 = button(Panel1, "Button6", QStringLiteral("Download"), {368, 16, 100, 25});

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 311, 553, 20);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QStringLiteral("%v / %m"));

    StatusLine = new QLabel(this);
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    StatusLine->setGeometry(8, 335, 553, 22);

    Button5 = button(this, "Button5", QStringLiteral("Exit"), {232, 365, 75, 25});

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(136, 120, 385, 145);
    Memo1->setReadOnly(true);
    Memo1->hide();
}

void TFormDownload::connectControls() {
    connect(Button1, &QPushButton::clicked, this, &TFormDownload::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormDownload::Button2Click);
    connect(Button5, &QPushButton::clicked, this, &TFormDownload::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFormDownload::Button6Click);

    for (download::TDownloader* d : {&m_serialDownloader, &m_virtualDownloader}) {
        download::TDownloadHandlers handlers;
        handlers.step = [this](const download::TDownloadStep& step) { DownloadStep(step); };
        handlers.progress = [this](int sent, int total) { DownloadProgress(sent, total); };
        handlers.completed = [this](const download::TDownloadOutcome& outcome) {
            DownloadCompleted(outcome);
        };
        d->setHandlers(std::move(handlers));
    }
}

void TFormDownload::bindPort(download::TSerialPortInterface& port,
                             download::TDownloader& downloader) {
    // The downloader's own error handler only wakes its worker; this one does
    // that too and tells the window, so a port that goes away while idle
    // (cable pulled, robot hung up) does not leave Close enabled.
    port.setErrorHandler([this, &port, &downloader](const std::string& message) {
        downloader.receiveQueue().fail(message);
        m_post([this, &port, message] { PortLost(&port, message); });
    });
}

int TFormDownload::showForProgram(const std::string& text) {
    setProgramText(text);
    refreshPorts();
    return exec();
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

void TFormDownload::refreshPorts() {
    QString keepDevice;
    bool keepVirtual = false;
    if (m_openPort) {
        keepVirtual = m_openPort == &m_virtualPort;
        keepDevice = keepVirtual ? QString() : toQString(m_serialPort.portName());
    } else if (ComboBox1->currentIndex() >= 0) {
        keepVirtual = ComboBox1->currentData(kVirtualRole).toBool();
        keepDevice = ComboBox1->currentData(kDeviceRole).toString();
    }
    const bool keep = m_openPort || ComboBox1->currentIndex() >= 0;

    ComboBox1->clear();
    int number = 0;
    for (const std::string& line : platform::TQtSerialPort::availablePorts()) {
        const QString text = toQString(line);
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        const QString device = tab < 0 ? text : text.left(tab);
        const QString description = tab < 0 ? QString() : text.mid(tab + 1);
        QString entry = QStringLiteral("%1: %2").arg(++number).arg(QFileInfo(device).fileName());
        if (!description.isEmpty())
            entry += QStringLiteral(" - ") + description;
        ComboBox1->addItem(entry);
        const int index = ComboBox1->count() - 1;
        ComboBox1->setItemData(index, device, kDeviceRole);
        ComboBox1->setItemData(index, false, kVirtualRole);
        ComboBox1->setItemData(index, device, Qt::ToolTipRole);
    }
    ComboBox1->addItem(virtualRobotEntry());
    ComboBox1->setItemData(ComboBox1->count() - 1, true, kVirtualRole);

    int selected = -1;
    if (keep) {
        for (int i = 0; i < ComboBox1->count(); ++i) {
            const bool isVirtual = ComboBox1->itemData(i, kVirtualRole).toBool();
            if (isVirtual == keepVirtual &&
                (isVirtual || ComboBox1->itemData(i, kDeviceRole).toString() == keepDevice)) {
                selected = i;
                break;
            }
        }
    }
    if (selected < 0 && m_openPort == &m_serialPort) {
        // An open device the system does not list (a pseudo-terminal): the
        // box still shows what is open.
        ComboBox1->insertItem(0, QFileInfo(keepDevice).fileName());
        ComboBox1->setItemData(0, keepDevice, kDeviceRole);
        ComboBox1->setItemData(0, false, kVirtualRole);
        ComboBox1->setItemData(0, keepDevice, Qt::ToolTipRole);
    }
    ComboBox1->setCurrentIndex(std::max(selected, 0));
}

bool TFormDownload::downloading() const {
    return m_running != nullptr;
}

QStringList TFormDownload::traceLines() const {
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

bool TFormDownload::virtualSelected() const {
    return ComboBox1->currentIndex() < 0 || ComboBox1->currentData(kVirtualRole).toBool();
}

download::TSerialPortInterface& TFormDownload::selectedPort() {
    if (virtualSelected())
        return m_virtualPort;
    return m_serialPort;
}

download::TDownloader& TFormDownload::downloaderFor(const download::TSerialPortInterface& port) {
    return &port == &m_virtualPort ? m_virtualDownloader : m_serialDownloader;
}

void TFormDownload::updatePortButtons() {
    Button1->setEnabled(m_openPort == nullptr);
    Button2->setEnabled(m_openPort != nullptr);
    // The box shows which port is open; another is chosen after Close.
    ComboBox1->setEnabled(m_openPort == nullptr);
}

void TFormDownload::setStatus(const QString& text) {
    StatusLine->setText(text);
    StatusLine->setToolTip(text);
}

files::TPrompts& TFormDownload::prompts() {
    return m_prompts ? *m_prompts : m_ownPrompts;
}

void TFormDownload::showMessage(files::TPrompts::Severity severity, const QString& text) {
    prompts().showMessage(severity, fromQString(text));
}

// Open: opens the port chosen in the port box.
void TFormDownload::Button1Click() {
    if (m_openPort)
        return;
    if (!virtualSelected())
        m_serialPort.setDeviceName(fromQString(ComboBox1->currentData(kDeviceRole).toString()));
    download::TSerialPortInterface& port = selectedPort();
    if (!port.open()) {
        QString reason = toQString(port.errorString());
        if (reason.isEmpty())
            reason =
                QStringLiteral("The port %1 cannot be opened.").arg(toQString(port.portName()));
        setStatus(reason);
        showMessage(files::TPrompts::Severity::Error, reason);
        return;
    }
    m_openPort = &port;
    updatePortButtons();
    setStatus(QStringLiteral("%1 is open.").arg(toQString(port.portName())));
}

// Close: closes the open port (a running download then ends as a fail).
void TFormDownload::Button2Click() {
    if (!m_openPort)
        return;
    download::TSerialPortInterface* port = m_openPort;
    m_openPort = nullptr;
    port->close();
    updatePortButtons();
    setStatus(QStringLiteral("%1 is closed.").arg(toQString(port->portName())));
}

// Exit: closes the window; the port stays open and a running download goes on.
void TFormDownload::Button5Click() {
    reject();
}

// Download: packs the lines of Memo2 and sends them through the open port.
// A program the robot could not take is refused; when lines fail the line
// check, the user hears which before anything is sent and may send the rest.
void TFormDownload::Button6Click() {
    if (m_running)
        return;
    const std::vector<std::string> lines = files::SplitLines(programText());
    if (lines.empty()) {
        // Nothing is sent and no box shows; the status line says why nothing happened.
        setStatus(QStringLiteral("There is no program to download: generate or load one first."));
        return;
    }
    download::TDownloader& downloader = downloaderFor(m_openPort ? *m_openPort : selectedPort());
    const download::TPackedListing listing = download::PackListing(lines);
    std::string refusal = download::ListingRefusal(listing);
    if (refusal.empty())
        refusal = downloader.notReadyReason();
    if (!refusal.empty()) {
        setStatus(toQString(refusal));
        showMessage(files::TPrompts::Severity::Warning, toQString(refusal));
        return;
    }
    if (!listing.dropped.empty()) {
        const QPointer<TFormDownload> self(this);
        const files::TPrompts::Answer answer =
            prompts().askYesNoCancel(download::DroppedLinesQuestion(listing));
        if (!self)
            return;
        if (answer != files::TPrompts::Answer::Yes) {
            setStatus(QStringLiteral("Nothing was sent."));
            return;
        }
    }
    const download::TStartResult start = downloader.SendPacked(listing);
    if (!start.started) {
        if (!start.error.empty()) {
            setStatus(toQString(start.error));
            showMessage(files::TPrompts::Severity::Warning, toQString(start.error));
        }
        return;
    }
    m_running = &downloader;
    Button6->setEnabled(false);
    const int chunks = download::ChunkCount(downloader.byteCount());
    ProgressBar1->setRange(0, std::max(chunks, 1));
    ProgressBar1->setValue(0);
    setStatus(
        QStringLiteral("Sending %1 bytes in %2 chunks...").arg(downloader.byteCount()).arg(chunks));
}

// The worker's step: its line into the hidden trace list, and the hello and
// header steps into the status line (the progress report tells of the chunks).
void TFormDownload::DownloadStep(const download::TDownloadStep& step) {
    using Kind = download::TDownloadStep::Kind;
    Memo1->appendPlainText(toQString(download::TraceLine(step)));
    switch (step.kind) {
    case Kind::HelloSent:
        setStatus(QStringLiteral("The robot took the hello packet."));
        break;
    case Kind::HelloAnswered:
        setStatus(QStringLiteral("The robot answered the hello packet."));
        break;
    case Kind::HeaderSent:
        setStatus(QStringLiteral("The robot took the header packet."));
        break;
    case Kind::HeaderAnswered:
        setStatus(QStringLiteral("The robot answered the header packet."));
        break;
    case Kind::ChunkSent:
        break;
    }
}

// The worker's progress: chunks sent of all.
void TFormDownload::DownloadProgress(int chunksSent, int chunksTotal) {
    ProgressBar1->setRange(0, std::max(chunksTotal, 1));
    ProgressBar1->setValue(chunksSent);
    setStatus(QStringLiteral("Chunk %1 of %2 sent.").arg(chunksSent).arg(chunksTotal));
}

// The worker has ended: the outcome in a message box, then Download is enabled again.
void TFormDownload::DownloadCompleted(const download::TDownloadOutcome& outcome) {
    m_running = nullptr;
    QString text = toQString(outcome.message);
    const bool success = outcome.status == download::TDownloadStatus::Success;
    if (success)
        ProgressBar1->setValue(ProgressBar1->maximum());
    else if (!outcome.reason.empty())
        text += QLatin1Char('\n') + toQString(outcome.reason);
    setStatus(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    const QPointer<TFormDownload> self(this);
    showMessage(success ? files::TPrompts::Severity::Information
                        : files::TPrompts::Severity::Warning,
                text);
    if (!self)
        return;
    Button6->setEnabled(true);
}

// The open port went away by itself: Open is offered again.
void TFormDownload::PortLost(download::TSerialPortInterface* port, const std::string& message) {
    if (m_openPort != port || port->isOpen())
        return; // closed with Close, or opened again since
    m_openPort = nullptr;
    updatePortButtons();
    setStatus(QStringLiteral("The port was lost: %1").arg(toQString(message)));
}
