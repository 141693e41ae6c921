#include "program/ProgramText.h"

namespace program {

namespace {

bool replaceText(ListingResult result, ProgramText& text, TPrompts& prompts) {
    if (!result.ok()) {
        prompts.showError(*result.error);
        return false;
    }
    text = std::move(result.lines);
    return true;
}

} // namespace

files::TStatus writeTextFile(const std::string& path, std::span<const std::string> lines) {
    return files::ReplaceFile(path, files::JoinLines(lines));
}

files::TResult<ProgramText> readTextFile(const std::string& path) {
    files::TResult<std::string> bytes = files::ReadWholeFile(path);
    if (!bytes)
        return files::Error(bytes.errorMessage());
    return files::SplitLines(*bytes);
}

bool generateCommand(std::span<const BlockSource> blocks, ProgramText& text, TPrompts& prompts) {
    return replaceText(generateListing(blocks), text, prompts);
}

bool generateFromRecordsCommand(std::span<const std::string> records, ProgramText& text,
                                TPrompts& prompts) {
    return replaceText(generateListingFromRecords(records), text, prompts);
}

bool saveTextCommand(const ProgramText& text, TPrompts& prompts) {
    const std::optional<std::string> path = prompts.saveFileName(TPrompts::FileKind::ProgramText);
    if (!path)
        return false;
    if (files::TStatus written = writeTextFile(*path, text); !written) {
        prompts.showError(written.errorMessage());
        return false;
    }
    return true;
}

bool loadTextCommand(ProgramText& text, TPrompts& prompts) {
    const std::optional<std::string> path = prompts.openFileName(TPrompts::FileKind::ProgramText);
    if (!path || files::IsMissing(*path))
        return false;
    files::TResult<ProgramText> lines = readTextFile(*path);
    if (!lines) {
        prompts.showError(lines.errorMessage());
        return false;
    }
    text = std::move(*lines);
    return true;
}

} // namespace program
