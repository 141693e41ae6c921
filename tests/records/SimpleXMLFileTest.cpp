// Reading and writing documents as files, and the reasons given when that fails.
#include "records/SimpleXML.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SimpleXMLFile : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                ("zolvane-records-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void write(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string fileErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const ESimpleXMLFileError& e) {
            return e.what();
        }
        return "(no error)";
    }

    fs::path m_dir;
};

TEST_F(SimpleXMLFile, SaveWritesTheTextAndLoadReadsItBack) {
    TSimpleXML doc;
    doc.Root().SetName("KELMORAX");
    doc.Root().Items().AddChild("record").Items().AddChildText("x", "\xC4 1");
    const std::string file = path("chart.lcs");
    doc.SaveToFile(file);
    EXPECT_EQ(contents(file), doc.SaveToText());

    TSimpleXML reread;
    reread.LoadFromFile(file);
    EXPECT_EQ(reread.SaveToText(), contents(file));
}

TEST_F(SimpleXMLFile, SaveReplacesALongerExistingFileWhole) {
    const std::string file = path("chart.lcs");
    write(file, std::string(10000, 'z'));
    TSimpleXML doc;
    doc.Root().SetName("a");
    doc.SaveToFile(file);
    EXPECT_EQ(contents(file), "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<a/>\r\n");
}

TEST_F(SimpleXMLFile, MissingFileIsReportedWithTheReasonAndLeavesTheDocument) {
    TSimpleXML doc;
    doc.LoadFromText("<keep><x>1</x></keep>");
    const std::string file = path("missing.lcs");
    EXPECT_EQ(fileErrorOf([&] { doc.LoadFromFile(file); }),
              "Cannot open file \"" + file + "\". No such file or directory");
    EXPECT_EQ(doc.Root().Name(), "keep");
    EXPECT_EQ(doc.Root().Items().ChildInt("x", 0), 1);
}

TEST_F(SimpleXMLFile, FolderInsteadOfAFileIsReported) {
    TSimpleXML doc;
    doc.Root().SetName("keep");
    const std::string folder = m_dir.string();
    EXPECT_EQ(fileErrorOf([&] { doc.LoadFromFile(folder); }),
              "Cannot open file \"" + folder + "\". Is a directory");
    EXPECT_EQ(doc.Root().Name(), "keep");
    EXPECT_EQ(fileErrorOf([&] { doc.SaveToFile(folder); }),
              "Cannot open file \"" + folder + "\". Is a directory");
}

TEST_F(SimpleXMLFile, SaveIntoAMissingFolderIsReported) {
    TSimpleXML doc;
    doc.Root().SetName("a");
    const std::string file = path("no/such/folder/chart.lcs");
    EXPECT_EQ(fileErrorOf([&] { doc.SaveToFile(file); }),
              "Cannot create file \"" + file + "\". No such file or directory");
}

TEST_F(SimpleXMLFile, DamagedFileRaisesTheParseError) {
    const std::string file = path("damaged.lcs");
    write(file, "<KELMORAX><record>");
    TSimpleXML doc;
    try {
        doc.LoadFromFile(file);
        FAIL() << "no error";
    } catch (const ESimpleXMLError& e) {
        EXPECT_STREQ(
            e.what(),
            "Invalid XML Element: Erroneous end of tag, expecting </record> but </> found");
    }
}

} // namespace
