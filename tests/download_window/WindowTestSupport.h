// The download window's tests share this: the fixture files, the window's
// message boxes answered by a script, and the window on the offscreen platform.
#pragma once

#include "../support/FixtureBytes.h"
#include "download/ProgramImage.h"
#include "download/pty/PtyRobotServer.h"
#include "download/window/frmDownload.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/text/CodePage.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace windowtest {

inline std::string fixture(const std::string& name) {
    const download::Bytes raw =
        testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/download/example/" + name);
    return std::string(raw.begin(), raw.end());
}

inline std::string hostileFixture(const std::string& name) {
    const download::Bytes raw =
        testsupport::fileBytes(std::string(ZOLVANE_FIXTURES) + "/hostile/" + name);
    return std::string(raw.begin(), raw.end());
}

using Severity = files::TPrompts::Severity;

struct Message {
    Severity icon;
    QString text;
};

// The window's message boxes, answered by a test: each is handed to onMessage,
// and each question takes the next scripted answer (an unscripted one fails).
class RecordingPrompts final : public files::TPrompts {
public:
    std::function<void(Severity, const std::string&)> onMessage;
    std::function<void(const std::string&)> onQuestion;
    std::deque<Answer> answers;
    std::optional<std::string> openFileName(FileKind) override { return std::nullopt; }
    std::optional<std::string> saveFileName(FileKind) override { return std::nullopt; }
    Answer askYesNoCancel(const std::string& question) override {
        if (answers.empty()) {
            ADD_FAILURE() << "the download window asked: " << question;
            return Answer::Cancel;
        }
        if (onQuestion)
            onQuestion(question);
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::size_t askChoice(const std::string& question,
                          const std::vector<std::string>& choices) override {
        ADD_FAILURE() << "the download window asked: " << question;
        return choices.empty() ? 0 : choices.size() - 1;
    }
    void showMessage(Severity severity, const std::string& message) override {
        onMessage(severity, message);
    }
};

// The window on the offscreen platform, its message boxes answered by the test.
class DownloadWindowTest : public testing::Test {
protected:
    void SetUp() override {
        prompts.onMessage = [this](Severity icon, const std::string& text) {
            // Download stays disabled until the completion box has been answered.
            downloadEnabledAtMessage.push_back(button("Button6")->isEnabled());
            messages.push_back({icon, platform::toQString(text)});
        };
        form.setPrompts(&prompts);
        form.show();
    }

    QPushButton* button(const char* name) {
        auto* b = form.findChild<QPushButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QComboBox* portBox() { return form.findChild<QComboBox*>(QStringLiteral("ComboBox1")); }
    QString statusLine() { return form.findChild<QLabel*>(QStringLiteral("StatusLine"))->text(); }
    QString statusTip() { return form.findChild<QLabel*>(QStringLiteral("StatusLine"))->toolTip(); }
    QString remedy() { return form.findChild<QLabel*>(QStringLiteral("RemedyLabel"))->text(); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }

    void openVirtualRobot() {
        portBox()->setCurrentIndex(portBox()->findText(TFormDownload::virtualRobotEntry()));
        click("Button1");
        ASSERT_TRUE(form.virtualRobotPort().isOpen());
    }
    bool waitForMessages(std::size_t count) {
        return QTest::qWaitFor([&] { return messages.size() >= count; }, 10000);
    }

    RecordingPrompts prompts; // outlives the window that shows through it
    TFormDownload form;
    std::vector<Message> messages;
    std::vector<bool> downloadEnabledAtMessage;
};

} // namespace windowtest
