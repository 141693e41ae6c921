// A fresh folder for each test, named after it and removed afterwards (even when a test took its
// permissions away), with the small file helpers the file tests share.
#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace testsupport {

class ScratchFolder : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "zolvane-" + std::to_string(::getpid()) + "-" + info->test_suite_name() +
                           "-" + info->name();
        for (char& c : name)
            c = c == '/' ? '-' : c; // parameterised tests have "/" in their names
        m_dir = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string path(std::string_view name) const { return (m_dir / name).string(); }

    static std::string bytesOf(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void writeBytes(const std::string& file, std::string_view bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::filesystem::path m_dir;
};

} // namespace testsupport
