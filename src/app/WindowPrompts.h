#pragma once

#include <optional>
#include <string>

class QWidget;

// The questions the main window's commands ask a person: file names, the
// Yes/No/Cancel question and error boxes. The window uses the Qt dialogs;
// tests replace them with scripted answers.
class TWindowPrompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~TWindowPrompts() = default;
    // Chart files: filter "FlowChart Files(*.lcs)|*.lcs". Nothing when cancelled.
    virtual std::optional<std::string> openChartName() = 0;
    virtual std::optional<std::string> saveChartName() = 0;
    // Program text files: filter "ZOLVANE Text Format Files(*.txt)|*.txt".
    virtual std::optional<std::string> openTextName() = 0;
    virtual std::optional<std::string> saveTextName() = 0;
    // A modal warning with Yes, No and Cancel; closing the box is Cancel.
    virtual Answer askYesNoCancel(const std::string& question) = 0;
    virtual void showError(const std::string& message) = 0;
};

// The real dialogs, parented to the main window.
class TQtWindowPrompts final : public TWindowPrompts {
public:
    explicit TQtWindowPrompts(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> openChartName() override;
    std::optional<std::string> saveChartName() override;
    std::optional<std::string> openTextName() override;
    std::optional<std::string> saveTextName() override;
    Answer askYesNoCancel(const std::string& question) override;
    void showError(const std::string& message) override;

private:
    QWidget* m_parent;
};
