#pragma once

// The program text beside the chart, and the three commands that fill it or
// keep it in a file: generate, save text and load text. The commands run
// without a window; they ask a TPrompts for file names and show errors
// through it.

#include "files/Files.h"
#include "files/Prompts.h"
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

// The commands ask the person through the prompt seam; program text files use its
// FileKind::ProgramText dialogs (the filter and extension above).
using files::TPrompts;

// Generate: replaces the program text with the listing of the blocks. When a
// parameter record does not parse, its message is shown and the text is left
// as it was. Returns whether the text was replaced.
bool generateCommand(std::span<const BlockSource> blocks, ProgramText& text, TPrompts& prompts);
// The same for a chart given as its parameter records (see generateListingFromRecords).
bool generateFromRecordsCommand(std::span<const std::string> records, ProgramText& text,
                                TPrompts& prompts);

// Save text: asks for a name and writes the program text there, every line
// followed by CR LF. Cancel does nothing; a file error is shown. Returns
// whether the file was written.
bool saveTextCommand(const ProgramText& text, TPrompts& prompts);

// Load text: asks for a name and replaces the program text with the file's
// lines. Cancel, or a file that no longer exists, ends silently; a file that
// cannot be read is shown as an error. The text changes only on success.
// Returns whether it was replaced.
bool loadTextCommand(ProgramText& text, TPrompts& prompts);

// Writes the lines to a file, every line followed by CR LF; the file is replaced whole, so a
// failed write keeps the old one.
files::TStatus writeTextFile(const std::string& path, std::span<const std::string> lines);

// The lines of a text file, split at CR LF, at a lone CR and at a lone LF.
files::TResult<ProgramText> readTextFile(const std::string& path);

} // namespace program
