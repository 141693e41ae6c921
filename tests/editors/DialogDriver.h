// Answers the modal editor dialogs the tests open: once the dialog runs, the test's action
// looks at and changes its controls, then one of its buttons is clicked.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace editors_test {

// Schedules the answer to the next modal dialog: `act` on it, then a click on `button`
// ("Button1" OK, "Button2" CANCEL, "Button3" DELETE). A dialog still open afterwards is closed
// with CANCEL and the test fails, so a broken dialog cannot hang the run.
inline void answerNextDialog(const QString& button, std::function<void(QDialog*)> act = {}) {
    QTimer::singleShot(0, [button, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is open";
            return;
        }
        if (act)
            act(dialog);
        if (dialog->isVisible()) {
            if (auto* b = dialog->findChild<QPushButton*>(button))
                b->click();
            else
                ADD_FAILURE() << "no button " << button.toStdString();
        }
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog did not close";
            dialog->done(2);
        }
    });
}

inline std::string recordText(std::initializer_list<std::string_view> lines) {
    std::string text = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    for (auto line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace editors_test
