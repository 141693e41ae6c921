// What the chart file tests share: the person at the window answered from a script, the chart
// file as the window shows it, and a fixture with a scratch folder.
#pragma once

#include "../support/ScratchFolder.h"
#include "../support/ScriptedPrompts.h"
#include "ChartTestSupport.h"
#include "chart/ChartFile.h"
#include "records/BlockCatalog.h"
#include "records/SimpleXML.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>

namespace chart_file_test {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using Answer = files::TPrompts::Answer;

inline const std::string kHeader = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
inline const std::string kTitle = "TITLE";

// The person at the window, answered by the test, with what the window shows of the file
// commands (captions and the program text). A question nobody scripted fails the test.
struct ScriptedUi : TScriptedPrompts {
    std::vector<std::string> captions;
    std::string programText = "10 REM \"ZOLVANE\"\r\n";
    ScriptedUi() { questionsMustBeScripted = true; }
};

// The chart file as the main window drives it: each command asks ui, and what it reports is
// shown there as the window shows it (the caption after every command that did its work, an
// empty program text after the chart was replaced).
class ShownChartFile {
public:
    ShownChartFile(TChart& chart, ScriptedUi& ui, std::string title)
        : m_file(chart, std::move(title)), m_ui(ui) {}

    bool commandNew() { return show(m_file.commandNew(m_ui)); }
    bool commandOpen() { return show(m_file.commandOpen(m_ui)); }
    bool commandSave() { return show(m_file.commandSave(m_ui)); }
    bool commandSaveAs() { return show(m_file.commandSaveAs(m_ui)); }
    bool confirmClose() { return showIfRenamed(m_file.confirmClose(m_ui)); }
    bool askSaveChanges() { return showIfRenamed(m_file.askSaveChanges(m_ui)); }
    std::string OpenFile(const std::string& path) {
        const files::TStatus status = m_file.OpenFile(path);
        if (status)
            show({true, true, {}});
        return status.error();
    }
    std::string SaveFile(const std::string& path) {
        const files::TStatus status = m_file.SaveFile(path);
        if (status)
            show({true, false, {}});
        return status.error();
    }
    void SetCurrentFile(const std::string& name) {
        m_file.SetCurrentFile(name);
        show({true, false, {}});
    }
    TChartFile* operator->() { return &m_file; }
    void setPhrases(std::vector<std::string> phrases) { m_file.setPhrases(std::move(phrases)); }
    bool IsChartChanged() { return m_file.IsChartChanged(); }
    void TakeSnapshot() { m_file.TakeSnapshot(); }
    const std::string& CurrentFileName() const { return m_file.CurrentFileName(); }
    std::string CaptionText() const { return m_file.CaptionText(); }
    TSimpleXML& FileDocument() { return m_file.FileDocument(); }
    void BuildChartDocument(TSimpleXML& d) { m_file.BuildChartDocument(d); }

private:
    bool show(const TChartFileResult& result) {
        if (result.done)
            m_ui.captions.push_back(m_file.CaptionText());
        if (result.chartReplaced)
            m_ui.programText.clear();
        return result.done;
    }
    // A Yes on the way saves, which may name the chart.
    bool showIfRenamed(bool goOn) {
        if (m_ui.captions.empty() || m_ui.captions.back() != m_file.CaptionText())
            if (!m_file.CurrentFileName().empty())
                m_ui.captions.push_back(m_file.CaptionText());
        return goOn;
    }

    TChartFile m_file;
    ScriptedUi& m_ui;
};

// A parameter record as the record document writes it, with the given children.
inline std::string record(int type,
                          std::vector<std::pair<std::string, std::string>> children = {}) {
    TSimpleXML d;
    d.Root().SetName("CtrlNode");
    d.Root().Properties().AddAttributeInt("type", type);
    for (const auto& [name, value] : children)
        d.Root().Items().AddChildText(name, value);
    return d.SaveToText();
}

inline std::string fixture(const std::string& name) {
    return std::string(ZOLVANE_FIXTURES) + "/chart/" + name;
}

class ChartFileTest : public testsupport::ScratchFolder {
protected:
    static std::string readBytes(const std::string& file) { return bytesOf(file); }
    std::vector<std::string> filesInDir() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Opens a chart file text written to the test folder.
    void openText(const std::string& text, const std::string& name = "chart.lcs") {
        writeBytes(path(name), text);
        ASSERT_EQ(file.OpenFile(path(name)), "");
    }
    std::vector<std::string> captions() const {
        std::vector<std::string> result;
        for (TFcObject* b : h.chart.Blocks())
            result.push_back(b->Text());
        return result;
    }
    std::vector<int> heights() const {
        std::vector<int> result;
        for (TFcObject* b : h.chart.Blocks())
            result.push_back(b->Height());
        return result;
    }
    // The example chart: Direct, Label A1, Goto A1, End.
    void buildExample() {
        h.chart.AppendBlock(1);
        h.chart.AppendBlock(11)->Payload = record(11, {{"label", "A1"}});
        h.chart.AppendBlock(12)->Payload = record(12, {{"label", "A1"}});
        h.chart.AppendBlock(14);
        h.chart.Relayout();
    }

    ChartHarness h;
    ScriptedUi ui;
    ShownChartFile file{h.chart, ui, kTitle};
};

} // namespace chart_file_test
