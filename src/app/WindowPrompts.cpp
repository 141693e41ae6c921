#include "app/WindowPrompts.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

// Qt writes a filter as "Caption (*.ext)"; the window's filters read
// "FlowChart Files(*.lcs)" with the pattern again after a bar.
const QString kChartFilter = "FlowChart Files(*.lcs)";
const QString kTextFilter = "ZOLVANE Text Format Files(*.txt)";

std::optional<std::string> chosen(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    return platform::fromQString(name);
}

// An open dialog that needs an existing folder and file (the read-only box
// does not exist in Qt's dialogs).
std::optional<std::string> openName(QWidget* parent, const QString& filter) {
    return chosen(QFileDialog::getOpenFileName(parent, QString(), QString(), filter));
}

// A save dialog that adds the default extension to a bare name and asks
// before overwriting an existing file.
std::optional<std::string> saveName(QWidget* parent, const QString& filter, const QString& ext) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ext);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return chosen(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<std::string> TQtWindowPrompts::openChartName() {
    return openName(m_parent, kChartFilter);
}

std::optional<std::string> TQtWindowPrompts::saveChartName() {
    return saveName(m_parent, kChartFilter, "lcs");
}

std::optional<std::string> TQtWindowPrompts::openTextName() {
    return openName(m_parent, kTextFilter);
}

std::optional<std::string> TQtWindowPrompts::saveTextName() {
    return saveName(m_parent, kTextFilter, "txt");
}

TWindowPrompts::Answer TQtWindowPrompts::askYesNoCancel(const std::string& question) {
    // The question's CR LF shows as one line break.
    QString text = platform::toQString(question);
    text.replace("\r\n", "\n");
    const auto button = QMessageBox::warning(
        m_parent, QApplication::applicationDisplayName(), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    switch (button) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void TQtWindowPrompts::showError(const std::string& message) {
    QMessageBox::critical(m_parent, QApplication::applicationDisplayName(),
                          platform::toQString(message));
}
