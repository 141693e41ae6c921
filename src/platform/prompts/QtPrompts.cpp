#include "platform/prompts/QtPrompts.h"

#include "platform/i18n/CoreText.h"
#include "platform/text/CodePage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

// Qt writes a filter as "Caption (*.ext)"; the window's filters read
// "FlowChart Files(*.lcs)" with the pattern again after a bar. A picture is one of three kinds,
// each a filter of its own.
QString filterOf(files::TPrompts::FileKind kind) {
    // The patterns stay as they are in every language: the dialogs filter by them.
    switch (kind) {
    case files::TPrompts::FileKind::Chart:
        return QCoreApplication::translate("platform::TQtPrompts", "FlowChart Files(*.lcs)");
    case files::TPrompts::FileKind::ProgramText:
        return QCoreApplication::translate("platform::TQtPrompts",
                                           "ZOLVANE Text Format Files(*.txt)");
    case files::TPrompts::FileKind::Picture:
        return QCoreApplication::translate("platform::TQtPrompts", "PNG Pictures (*.png)") + ";;" +
               QCoreApplication::translate("platform::TQtPrompts", "SVG Drawings (*.svg)") + ";;" +
               QCoreApplication::translate("platform::TQtPrompts", "PDF Documents (*.pdf)");
    }
    return {};
}

// The extension of a filter's first pattern: "png" of "PNG Pictures (*.png)".
QString extensionOf(const QString& filter) {
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    if (star < 0)
        return {};
    const qsizetype end = filter.indexOf(QLatin1Char(')'), star);
    return filter.mid(star + 2, end < 0 ? -1 : end - star - 2);
}

// The folder the file dialogs start in: the last one a file was chosen in, the user's
// documents the first time (never the program's own folder, read-only once installed).
QString startFolder() {
    const QString last = QSettings().value("files/lastFolder").toString();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

std::optional<std::string> chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    QSettings().setValue("files/lastFolder", QFileInfo(name).absolutePath());
    return fromQString(name);
}

} // namespace

QWidget* TQtPrompts::owner() const {
    // A hidden window's boxes show over the window beneath it.
    if (m_parent && !m_parent->isVisible() && m_parent->parentWidget())
        return m_parent->parentWidget();
    return m_parent;
}

QString TQtPrompts::title() const {
    return m_title.isEmpty() ? QApplication::applicationDisplayName() : m_title;
}

// An open dialog that needs an existing folder and file (the read-only box
// does not exist in Qt's dialogs).
std::optional<std::string> TQtPrompts::openFileName(FileKind kind) {
    if (kind == FileKind::Picture)
        return std::nullopt; // pictures are written, never opened
    return chosen(QFileDialog::getOpenFileName(m_parent, QString(), startFolder(), filterOf(kind)));
}

// A save dialog that adds the default extension to a bare name and asks
// before overwriting an existing file.
std::optional<std::string> TQtPrompts::saveFileName(FileKind kind) {
    QFileDialog dialog(m_parent, QString(), startFolder(), filterOf(kind));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(extensionOf(dialog.selectedNameFilter()));
    // A bare name takes the extension of the kind of file chosen in the list.
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(extensionOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().constFirst());
}

files::TPrompts::Answer TQtPrompts::askYesNoCancel(const std::string& question) {
    return ask(toQString(question));
}

files::TPrompts::Answer TQtPrompts::askMessage(const files::TMessage& question) {
    return ask(Translated(question));
}

files::TPrompts::Answer TQtPrompts::ask(QString text) {
    // The question's CR LF shows as one line break.
    text.replace("\r\n", "\n");
    const auto button = QMessageBox::warning(
        owner(), title(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

// A question box with one push button per choice, in the order given: the first is the
// default button, the last the answer of Escape and of the frame's close button.
std::size_t TQtPrompts::askChoice(const std::string& question,
                                  const std::vector<std::string>& choices) {
    if (choices.empty())
        return 0;
    QString text = toQString(question);
    text.replace("\r\n", "\n");
    QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::NoButton, owner());
    std::vector<QAbstractButton*> buttons;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const QMessageBox::ButtonRole role = i + 1 == choices.size() ? QMessageBox::RejectRole
                                             : i == 0                ? QMessageBox::AcceptRole
                                                                     : QMessageBox::ActionRole;
        buttons.push_back(box.addButton(toQString(choices[i]), role));
    }
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return i;
    return choices.size() - 1;
}

void TQtPrompts::showMessage(Severity severity, const std::string& message) {
    show(severity, toQString(message));
}

void TQtPrompts::showMessageOf(Severity severity, const files::TMessage& message) {
    show(severity, Translated(message));
}

void TQtPrompts::show(Severity severity, const QString& message) {
    QMessageBox::Icon icon = QMessageBox::Critical;
    if (severity == Severity::Information)
        icon = QMessageBox::Information;
    else if (severity == Severity::Warning)
        icon = QMessageBox::Warning;
    QMessageBox box(icon, title(), message, QMessageBox::Ok, owner());
    box.exec();
}

} // namespace platform
