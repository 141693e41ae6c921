// The prompt seam answered by a person: Qt's file dialogs and message boxes.
#pragma once

#include "files/Prompts.h"

#include <QString>

class QWidget;

namespace platform {

class TQtPrompts final : public files::TPrompts {
public:
    // The dialogs belong to parent; while parent is hidden, message boxes show over its own
    // parent instead. title: the message boxes' title (empty: the application's display name).
    explicit TQtPrompts(QWidget* parent, QString title = {})
        : m_parent(parent), m_title(std::move(title)) {}

    using files::TPrompts::askYesNoCancel;
    using files::TPrompts::showMessage;

    std::optional<std::string> openFileName(FileKind kind) override;
    std::optional<std::string> saveFileName(FileKind kind) override;
    Answer askYesNoCancel(const std::string& question) override;
    std::size_t askChoice(const std::string& question,
                          const std::vector<std::string>& choices) override;
    void showMessage(Severity severity, const std::string& message) override;

protected:
    // Messages of the core in the interface's language (platform::Translated).
    Answer askMessage(const files::TMessage& question) override;
    void showMessageOf(Severity severity, const files::TMessage& message) override;

private:
    Answer ask(QString question);
    void show(Severity severity, const QString& message);
    QWidget* owner() const;
    QString title() const;

    QWidget* m_parent;
    QString m_title;
};

} // namespace platform
