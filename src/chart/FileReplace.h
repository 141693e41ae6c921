#pragma once

#include <string>

// Writes text to a new file beside the target and renames it over the target, so the old file
// stays whole until the new one is complete (its permissions are kept; a link is followed to the
// file it names). Returns the error message, "Cannot open file "%s". %s" for an existing file and
// "Cannot create file "%s". %s" for a new one, or the empty text on success.
std::string WriteFileReplacing(const std::string& path, const std::string& text);
