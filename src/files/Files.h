// Files and text for the whole core: reading a file whole, replacing a file without ever
// leaving it half written, private temporary files, and the lines of a text. Every failure is
// one message that names the file and the system's reason:
//   Cannot open file "NAME". REASON      (also read, create and write)
#pragma once

#include "files/Message.h"
#include "files/Result.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace files {

// No chart, listing or phrase list comes near this; a file beyond it is refused unread.
inline constexpr std::uint64_t kMaxFileSize = 64ull * 1024 * 1024;

// What is done to a file, as FileError says it: "open", "read", "create", "write", "remove".
TMessage FileVerb(std::string_view verb);
// "Cannot VERB file "NAME". REASON", the verb a phrase of its own (FileVerb), the name and the
// system's reason values as they stand.
TMessage FileError(std::string_view verb, const std::string& name, const std::string& reason);
// The same with a reason that is a phrase of its own.
TMessage FileError(std::string_view verb, const std::string& name, TMessage reason);
// The system's words for an errno value ("No such file or directory").
std::string SystemReason(int error);
// The same as a message: a phrase that is translated when it is one of the common reasons and
// the system words it as the phrase does, else the system's words as a value.
TMessage SystemReasonMessage(int error);

// The bytes of a regular file. Folders, pipes, devices and files larger than kMaxFileSize are
// refused before anything is read, so a link to /dev/zero or a FIFO cannot hang or exhaust the
// program. A link is followed to the file it names.
TResult<std::string> ReadWholeFile(const std::string& path);

// Whether a name exists for certain (an unreadable folder on the way is not "missing").
bool IsMissing(const std::string& path);

// Replaces the file at path by bytes: they are written to a new file in the same folder,
// flushed to the disk and renamed over the old one, so the old file stays whole until the new
// one is complete. A link is followed and the regular file it names is replaced (the link
// stays); the old file's permissions are kept. Refused without touching anything: a folder, a
// device or pipe (or a link to one), and a file the user may not write. Temporary files of
// earlier saves of the same file that were interrupted are removed first.
TStatus ReplaceFile(const std::string& path, std::string_view bytes);

// The prefix of ReplaceFile's temporary files beside path: ".NAME.tmp" followed by digits.
std::string ReplaceTemporaryPrefix(const std::string& path);

// The system's temporary folder.
TResult<std::string> TempFolder();
// Creates a new empty file named prefix followed by six random digits in folder, readable and
// writable by the user alone, and returns its full name. The name was free: no other file is
// ever opened or replaced by it.
TResult<std::string> MakeTempFile(const std::string& folder, std::string_view prefix);

// The lines of a text: they end at CR LF, at a lone CR or at a lone LF; a line end at the very
// end starts no further line.
std::vector<std::string> SplitLines(std::string_view text);
// The lines each followed by CR LF.
std::string JoinLines(std::span<const std::string> lines);

} // namespace files
