// What a command asks the person at the window: a file name to open or save, a Yes/No/Cancel
// question, a question answered by one of a few named choices, and a message to read. The editor
// answers with its dialogs and message boxes; tests answer from a script; the command-line tool
// asks nothing. Texts are bytes in the system's code page, as everywhere in the core. A question
// or message given as a TMessage is shown in the interface's language where the prompts can
// translate, else in English.
#pragma once

#include "files/Message.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace files {

class TPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    // Which file dialog: its filter and default extension.
    //   Chart: "FlowChart Files(*.lcs)|*.lcs", extension "lcs"
    //   ProgramText: "ZOLVANE Text Format Files(*.txt)|*.txt", extension "txt"
    //   Picture (save only): PNG, SVG or PDF, the extension of the filter chosen
    enum class FileKind { Chart, ProgramText, Picture };
    enum class Severity { Information, Warning, Error };

    virtual ~TPrompts() = default;
    // The open dialog: an existing file of the kind. Nothing when cancelled.
    virtual std::optional<std::string> openFileName(FileKind kind) = 0;
    // The save dialog: adds the kind's extension to a bare name and asks before overwriting.
    // Nothing when cancelled.
    virtual std::optional<std::string> saveFileName(FileKind kind) = 0;
    // A modal warning with Yes, No and Cancel; closing the box answers Cancel.
    virtual Answer askYesNoCancel(const std::string& question) = 0;
    // A modal question with one button per choice, the first the default; returns the position
    // of the choice taken. The last choice is the answer of Escape and of closing the box, so it
    // should be the one that does nothing ("Cancel").
    virtual std::size_t askChoice(const std::string& question,
                                  const std::vector<std::string>& choices) = 0;
    // A modal message box with OK.
    virtual void showMessage(Severity severity, const std::string& message) = 0;

    void showError(const std::string& message) { showMessage(Severity::Error, message); }

    // The same for messages of the core.
    Answer askYesNoCancel(const TMessage& question) { return askMessage(question); }
    void showMessage(Severity severity, const TMessage& message) {
        showMessageOf(severity, message);
    }
    void showError(const TMessage& message) { showMessageOf(Severity::Error, message); }

protected:
    // What the message overloads do: by default ask or show the English.
    virtual Answer askMessage(const TMessage& question) {
        return askYesNoCancel(question.English());
    }
    virtual void showMessageOf(Severity severity, const TMessage& message) {
        showMessage(severity, message.English());
    }
};

// Asks nothing and shows nothing: every dialog is cancelled, every question answered Cancel (a
// choice with its last choice).
class TSilentPrompts final : public TPrompts {
public:
    std::optional<std::string> openFileName(FileKind) override { return std::nullopt; }
    std::optional<std::string> saveFileName(FileKind) override { return std::nullopt; }
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    std::size_t askChoice(const std::string&, const std::vector<std::string>& choices) override {
        return choices.empty() ? 0 : choices.size() - 1;
    }
    void showMessage(Severity, const std::string&) override {}
};

} // namespace files
