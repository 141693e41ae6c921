// The voice phrase list: the names of the robot's speech phrases by phrase number, read once
// from the file "qexvo.txt" beside the program. Without the file the phrases are simply
// numbered "0" to "127".
#pragma once

#include "files/Message.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kPhraseListFileName = "qexvo.txt";
inline constexpr int kNumberedPhraseCount = 128;

// Result of reading the phrase list. On an error the entries are empty and error holds a
// message naming the file and the system's reason.
struct TPhraseList {
    std::vector<std::string> entries; // entry i names phrase number i; bytes as in the file
    files::TMessage error;
    bool ok() const { return error.empty(); }
};

// The file's lines in order, unchanged: lines end at CR LF, LF or CR; an empty line is an empty
// entry; a line break at the very end adds no entry; a NUL byte ends the list.
std::vector<std::string> splitPhraseLines(std::string_view bytes);

// "0", "1", ... "127".
std::vector<std::string> numberedPhrases();

// The folder holding the running program (from the system, else from argv0 as given); empty
// when neither tells.
std::filesystem::path programFolder(const char* argv0 = nullptr);

// The phrase list file in the program's folder.
std::filesystem::path phraseListPath(const std::filesystem::path& programFolder);

// Reads the list from file: its lines when it exists, the numbered phrases when it does not,
// an error when it exists but cannot be read.
TPhraseList loadPhraseList(const std::filesystem::path& file);
