#pragma once

#include "download/UDownloadDo.h"
#include "download/VirtualRobot.h"
#include "files/Prompts.h"
#include "platform/prompts/QtPrompts.h"
#include "platform/serial/QtSerialPort.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// TFormDownload: the window where a program goes to the robot. The user opens
// a serial port (or the in-process virtual robot), may still edit the text and
// presses Download; the download runs on a worker while the window stays
// responsive, and a message box reports the outcome. Created once, it lives
// for the whole run; the port stays open when the window closes.
class TFormDownload : public QDialog {
    Q_OBJECT

public:
    explicit TFormDownload(QWidget* parent = nullptr);
    ~TFormDownload() override;

    // The hand-over of the main window's download command: the program text
    // into Memo2, the port box refreshed, then the window shown modally.
    int showForProgram(const std::string& text);

    // Replaces the text of Memo2 with the program text (bytes in the system's code page).
    void setProgramText(const std::string& bytes);
    std::string programText() const;

    // Lists the ports the system reports and, last, the virtual robot. The
    // previous choice stays selected while it is listed, otherwise the first
    // entry is. An open port's entry is always there and selected.
    void refreshPorts();

    // Where the window's message boxes go: the main window's prompts, or a
    // test's script. Unset, the window shows them itself.
    void setPrompts(files::TPrompts* prompts) { m_prompts = prompts; }
    // The in-process robot behind the "Virtual robot" entry.
    download::TVirtualRobotPort& virtualRobotPort() { return m_virtualPort; }
    // A download is running.
    bool downloading() const;
    // The hidden trace list, one line each.
    QStringList traceLines() const;

    static QString virtualRobotEntry() { return QStringLiteral("Virtual robot"); }

private:
    void Button1Click();
    void Button2Click();
    void Button5Click();
    void Button6Click();
    void DownloadCompleted(const download::TDownloadOutcome& outcome);
    void DownloadStep(const download::TDownloadStep& step);
    void DownloadProgress(int chunksSent, int chunksTotal);
    void PortLost(download::TSerialPortInterface* port, const std::string& message);

    void buildControls();
    void connectControls();
    void bindPort(download::TSerialPortInterface& port, download::TDownloader& downloader);
    bool virtualSelected() const;
    download::TSerialPortInterface& selectedPort();
    download::TDownloader& downloaderFor(const download::TSerialPortInterface& port);
    void updatePortButtons();
    void setStatus(const QString& text);
    files::TPrompts& prompts();
    void showMessage(files::TPrompts::Severity severity, const QString& text);

    // The ports outlive their downloaders: declared first, destroyed last.
    platform::TQtSerialPort m_serialPort;
    download::TVirtualRobotPort m_virtualPort;
    download::PostFunction m_post;
    download::TDownloader m_serialDownloader;
    download::TDownloader m_virtualDownloader;
    // The port Open opened; null while none is open.
    download::TSerialPortInterface* m_openPort = nullptr;
    // The downloader of the running download; null when idle.
    download::TDownloader* m_running = nullptr;
    platform::TQtPrompts m_ownPrompts;
    files::TPrompts* m_prompts = nullptr;

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* Button6 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatusLine = nullptr;
    QPushButton* Button5 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
};
