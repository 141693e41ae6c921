#pragma once

#include "download/DownloadJob.h"
#include "download/PortList.h"
#include "download/ProgramMemory.h"
#include "download/VirtualRobot.h"
#include "files/Prompts.h"
#include "platform/prompts/QtPrompts.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/serial/SerialPortThread.h"

#include <QDialog>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QTimer;
class QWidget;

// TFormDownload: the window where a program goes to the robot. The user
// chooses a serial port (or the in-process virtual robot), may still edit the
// text and presses Download: the chosen port is opened if it is closed (and
// closed again after), the download runs on a worker while the window shows
// its stage in words and a bar, and a message box reports the outcome, with
// what to check beside a failure. Cancel (or Escape, or closing the window)
// stops a download between two packets. Test connection asks the robot for
// its hello alone; Send to all connected robots sends the program to every
// listed port at once, a row of progress each. The port list follows the
// cables plugged in and out while the window is open. Created once, the
// window lives for the whole run; a port opened with Open stays open when
// the window closes.
class TFormDownload : public QDialog {
    Q_OBJECT

public:
    explicit TFormDownload(QWidget* parent = nullptr);
    ~TFormDownload() override;

    // The hand-over of the main window's download command: the program text
    // into Memo2, the port box refreshed, the window clean of the last run's
    // words, then shown modally.
    int showForProgram(const std::string& text);

    // Replaces the text of Memo2 with the program text (bytes in the system's code page).
    void setProgramText(const std::string& bytes);
    std::string programText() const;

    // Lists the ports the system reports (with their description and maker)
    // and, last, the virtual robot. The previous choice stays while it is
    // listed; an adapter just plugged in is chosen when it is the only one;
    // otherwise the last port used, the only adapter, or the first entry. An
    // open port's entry is always there and chosen. While the window shows,
    // the list is read again every second and rebuilt when it changed.
    void refreshPorts();

    // Where the window's message boxes go: the main window's prompts, or a
    // test's script. Unset, the window shows them itself.
    void setPrompts(files::TPrompts* prompts) { m_prompts = prompts; }
    // The in-process robot behind the "Virtual robot" entry.
    download::TVirtualRobotPort& virtualRobotPort() { return m_virtualPort; }
    // A download, a Test connection or a Send to all runs.
    bool downloading() const;
    // The hidden trace list, one line each.
    QStringList traceLines() const;

    static QString virtualRobotEntry() { return QStringLiteral("Virtual robot"); }

    // ---- for the main window ----

    // Send to Robot in one click: the program text goes to the last port used
    // (or, before the first download, the chosen one) without showing the
    // window, which is for choosing the port and for details. Lines that fail
    // the check are asked about as Download asks. Progress comes as
    // stageChanged, the end as downloadFinished. False when nothing started
    // (no program, a refusal, a port that would not open: said through the
    // prompts and downloadFinished).
    bool sendToRobot(const std::string& programText);
    // Cancel whatever runs; it ends within kWindDown and a chunk's pause.
    void cancelDownload();
    // Cancel, and wait (running the event loop) until it has ended, at most
    // msecs: for quitting the editor during a download. True when it ended.
    bool cancelAndWait(int msecs = 1000);

    // The port of the last download or Test connection, for the settings
    // ("/dev/ttyUSB0", "COM3", or virtualRobotEntry()); empty before any.
    QString lastPort() const { return m_lastPort; }
    // The remembered last port (from the settings): chosen in the port box
    // when it is listed and no port is open.
    void setLastPort(const QString& device);
    // The checksum of the image each robot last got; the main window keeps
    // it in its settings with save() and load().
    download::TProgramMemory& programMemory() { return m_memory; }
    // "The robot on ttyUSB0 has this program", "... has an older version of
    // this program", or empty: the last port's robot against a program text.
    QString robotProgramStatus(const std::string& programText) const;

    // How long the robot has to begin each answer (1 s by default).
    void setAnswerTimeout(std::chrono::milliseconds timeout);

    // Tests: where the port list comes from (the system's by default), and
    // how often it is read while the window shows.
    void setPortSource(std::function<std::vector<download::TPortInfo>()> source);
    void setPortPollInterval(int msecs);

signals:
    // Every change of a running download's words or bar.
    void stageChanged(const QString& text, int value, int maximum);
    // A download or Test connection ended (not for Send to all): its last
    // words and, for a failure, what to check.
    void downloadFinished(bool success, const QString& text, const QString& remedy);
    void lastPortChanged(const QString& device);
    // A download ended and the program memory may have changed.
    void programMemoryChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

public slots:
    // Exit, the window's close button and Escape when nothing runs: closes
    // the window; a running download is cancelled first.
    void reject() override;

private:
    // A row of Send to all: one robot's port, bar and words.
    struct TRobotRow {
        QLabel* name = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* status = nullptr;
    };

    void Button1Click();
    void Button2Click();
    void Button5Click();
    void Button6Click();
    void CancelButtonClick();
    void TestButtonClick();
    void SendAllButtonClick();
    void DownloadStage(const download::TStageView& view);
    void DownloadStep(const download::TDownloadStep& step);
    void DownloadCompleted(const download::TDownloadJob::TResult& result);
    void RobotStage(std::size_t robot, const download::TStageView& view);
    void RobotCompleted(std::size_t robot, const download::TDownloadJob::TResult& result);
    void AllRobotsCompleted(std::size_t succeeded, std::size_t robots);
    void PortLost(download::TSerialPortInterface* port, const std::string& message);

    void buildControls();
    void connectControls();
    void bindPort(download::TSerialPortInterface& port, download::TDownloadJob& job);
    void pollPorts();
    void fillPortBox(const std::vector<download::TPortInfo>& ports);
    bool virtualSelected() const;
    // The job of the port a run goes to: the open port's, else the chosen
    // one's (the serial port is pointed at the chosen device).
    download::TDownloadJob& jobForRun(bool lastPortFirst);
    bool startRun(download::TDownloadJob& job, const download::Bytes* image);
    // Packs the text; refuses what the robot cannot take and asks about
    // lines left out. Nothing when the program is not to be sent.
    std::optional<download::TPackedListing> listingToSend(const std::string& text);
    void showFailure(const download::TDownloadJob::TResult& result);
    void updateButtons();
    void startClean();
    void clearRobotRows();
    void placeBottom();
    void setStatus(const QString& text, const QString& details = {});
    void setRemedy(const QString& text);
    files::TPrompts& prompts();
    void showMessage(files::TPrompts::Severity severity, const QString& text);

    // The ports outlive their jobs: declared first, destroyed last.
    platform::TQtSerialPort m_serialPort;
    download::TVirtualRobotPort m_virtualPort;
    download::PostFunction m_post;
    download::TProgramMemory m_memory;
    download::TDownloadJob m_serialJob;
    download::TDownloadJob m_virtualJob;
    // The port Open opened; null while none is open.
    download::TSerialPortInterface* m_openPort = nullptr;
    // The job of the running download or Test connection; null when idle.
    download::TDownloadJob* m_running = nullptr;
    bool m_runIsTest = false;
    bool m_quiet = false; // the run started from sendToRobot: no box for success
    std::chrono::milliseconds m_answerTimeout = download::kDefaultAnswerTimeout;
    // Send to all: a port with a thread of its own for each robot, then the run.
    std::vector<std::unique_ptr<platform::TSerialPortThread>> m_robotPorts;
    std::unique_ptr<download::TMultiDownload> m_multi;
    std::vector<TRobotRow> m_rows;

    std::function<std::vector<download::TPortInfo>()> m_portSource;
    std::vector<download::TPortInfo> m_knownPorts;
    bool m_listedOnce = false;
    QString m_lastPort;
    platform::TQtPrompts m_ownPrompts;
    files::TPrompts* m_prompts = nullptr;

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* TestButton = nullptr;
    QPushButton* SendAllButton = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatusLine = nullptr;
    QLabel* RemedyLabel = nullptr;
    QScrollArea* RobotRows = nullptr;
    QPushButton* Button5 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QTimer* m_portTimer = nullptr;
    QString m_statusText; // the whole status line, however it is shown
    QString m_remedyText; // the whole remedy
};
