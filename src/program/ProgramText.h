#pragma once

// The program text beside the chart, and the three commands that fill it or
// keep it in a file: generate, save text and load text. The commands run
// without a window; they ask a ProgramTextPrompts for file names and show
// errors through it.

#include "program/Listing.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace program {

// The program text, one entry per line, without line ends.
using ProgramText = std::vector<std::string>;

// The file dialogs of save text (SaveDialog2) and load text (OpenDialog2).
inline constexpr std::string_view kTextFileFilter = "ZOLVANE Text Format Files(*.txt)|*.txt";
inline constexpr std::string_view kTextFileExtension = "txt"; // added by the save dialog

// What the commands ask of the window. The window answers with its file
// dialogs and message boxes; tests answer from a script.
class ProgramTextPrompts {
public:
    virtual ~ProgramTextPrompts() = default;

    // The save dialog: asks before overwriting, hides the read-only box, needs
    // an existing folder and adds the default extension to a bare name.
    // Nothing when the user cancels.
    virtual std::optional<std::string> saveTextFileName() = 0;
    // The open dialog: needs an existing folder and file, hides the read-only
    // box. Nothing when the user cancels.
    virtual std::optional<std::string> openTextFileName() = 0;
    // An error message box with the given text.
    virtual void showError(const std::string& message) = 0;
};

// Generate: replaces the program text with the listing of the blocks. When a
// parameter record does not parse, its message is shown and the text is left
// as it was. Returns whether the text was replaced.
bool generateCommand(std::span<const BlockSource> blocks, ProgramText& text,
                     ProgramTextPrompts& prompts);
// The same for a chart given as its parameter records (see generateListingFromRecords).
bool generateFromRecordsCommand(std::span<const std::string> records, ProgramText& text,
                                ProgramTextPrompts& prompts);

// Save text: asks for a name and writes the program text there, every line
// followed by CR LF. Cancel does nothing; a file error is shown. Returns
// whether the file was written.
bool saveTextCommand(const ProgramText& text, ProgramTextPrompts& prompts);

// Load text: asks for a name and replaces the program text with the file's
// lines. Cancel, or a file that no longer exists, ends silently; a file that
// cannot be read is shown as an error. The text changes only on success.
// Returns whether it was replaced.
bool loadTextCommand(ProgramText& text, ProgramTextPrompts& prompts);

// The bytes of a text file: every line followed by CR LF.
std::string joinLines(std::span<const std::string> lines);
// The lines of a text file's bytes, split at CR LF, at a lone CR and at a lone
// LF. A line end at the very end does not start another line.
ProgramText splitLines(std::string_view bytes);

// Writes the lines to a file (created or truncated). Returns the error message
// naming the file and the system's reason, or nothing on success.
std::optional<std::string> writeTextFile(const std::string& path,
                                         std::span<const std::string> lines);

// Reads a file's lines into `lines` (replaced only on success). Returns the
// error message naming the file and the system's reason, or nothing on success.
std::optional<std::string> readTextFile(const std::string& path, ProgramText& lines);

} // namespace program
