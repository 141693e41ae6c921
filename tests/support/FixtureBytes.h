// The bytes of a fixture file, read as the program reads files.
#pragma once

#include "files/Files.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace testsupport {

// The file's bytes; a file that cannot be read fails the test and gives no bytes.
inline std::vector<std::uint8_t> fileBytes(const std::string& path) {
    const files::TResult<std::string> text = files::ReadWholeFile(path);
    if (!text) {
        ADD_FAILURE() << text.error();
        return {};
    }
    return {text->begin(), text->end()};
}

} // namespace testsupport
