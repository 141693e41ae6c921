// Answers a command's questions from queues and logs what was asked, as a person would answer
// the dialogs. An empty queue answers as a person closing the dialog would: no name, Cancel,
// the last choice.
#pragma once

#include "files/Prompts.h"

#include <cstddef>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TScriptedPrompts : public files::TPrompts {
public:
    std::deque<std::optional<std::string>> openChartNames, saveChartNames, openTextNames,
        saveTextNames, savePictureNames;
    std::deque<Answer> answers;
    std::vector<std::string> questions; // every Yes/No/Cancel question, in order
    // Choice questions: the positions to answer with, and every question asked with the choices
    // it offered.
    std::deque<std::size_t> choiceAnswers;
    struct ChoiceQuestion {
        std::string question;
        std::vector<std::string> choices;
    };
    std::vector<ChoiceQuestion> choiceQuestions;
    std::vector<std::string> errors;                        // every error box, in order
    std::vector<std::pair<Severity, std::string>> messages; // every box, errors too
    // "openChart", "saveChart", "openText", "saveText", "savePicture"
    std::vector<std::string> dialogs;
    // A question with no answer queued fails the test instead of answering Cancel.
    bool questionsMustBeScripted = false;

    std::optional<std::string> openFileName(FileKind kind) override {
        if (kind == FileKind::Picture) {
            ADD_FAILURE() << "a picture is never opened";
            return std::nullopt;
        }
        return kind == FileKind::Chart ? take(openChartNames, "openChart")
                                       : take(openTextNames, "openText");
    }
    std::optional<std::string> saveFileName(FileKind kind) override {
        switch (kind) {
        case FileKind::Chart:
            return take(saveChartNames, "saveChart");
        case FileKind::ProgramText:
            return take(saveTextNames, "saveText");
        case FileKind::Picture:
            return take(savePictureNames, "savePicture");
        }
        return std::nullopt;
    }
    Answer askYesNoCancel(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) {
            if (questionsMustBeScripted)
                ADD_FAILURE() << "unexpected question: " << question;
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::size_t askChoice(const std::string& question,
                          const std::vector<std::string>& choices) override {
        choiceQuestions.push_back({question, choices});
        const std::size_t closing = choices.empty() ? 0 : choices.size() - 1;
        if (choiceAnswers.empty()) {
            if (questionsMustBeScripted)
                ADD_FAILURE() << "unexpected question: " << question;
            return closing;
        }
        const std::size_t a = choiceAnswers.front();
        choiceAnswers.pop_front();
        EXPECT_LT(a, choices.size()) << "the script answers with a choice not offered";
        return a;
    }
    void showMessage(Severity severity, const std::string& message) override {
        messages.emplace_back(severity, message);
        if (severity == Severity::Error)
            errors.push_back(message);
    }
    int dialogCount(const std::string& dialog) const {
        int n = 0;
        for (const std::string& d : dialogs)
            n += d == dialog;
        return n;
    }

private:
    std::optional<std::string> take(std::deque<std::optional<std::string>>& queue,
                                    const char* dialog) {
        dialogs.emplace_back(dialog);
        if (queue.empty())
            return std::nullopt;
        std::optional<std::string> name = queue.front();
        queue.pop_front();
        return name;
    }
};
