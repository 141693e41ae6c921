#include "chart/ChartFile.h"

#include "chart/FileReplace.h"
#include "records/BlockCatalog.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRootName = "KELMORAX";
constexpr std::string_view kRecordName = "record";

std::string osReason(int error) {
    return std::generic_category().message(error);
}

std::string cannotOpen(const std::string& name, const std::string& reason) {
    return "Cannot open file \"" + name + "\". " + reason;
}

} // namespace

TChartFile::TChartFile(TChart& chart, TChartFileUi& ui, std::string applicationTitle)
    : m_chart(chart), m_ui(ui), m_applicationTitle(std::move(applicationTitle)),
      m_fileDocument(std::make_unique<TSimpleXML>()) {}

TChartFile::~TChartFile() = default;

bool TChartFile::HasChartExtension(std::string_view name) {
    constexpr std::string_view ext = ".lcs";
    if (name.size() < ext.size())
        return false;
    const std::string_view tail = name.substr(name.size() - ext.size());
    for (std::size_t i = 0; i < ext.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != ext[i])
            return false;
    }
    return true;
}

// ---- commands ----

bool TChartFile::commandNew() {
    if (!askSaveChanges())
        return false;
    {
        TFcUpdateBracket bracket(m_chart.Canvas()); // one repaint for the old chart and the new
        m_chart.ClearChart();
        SetCurrentFile({});
        m_chart.NewChart();
    }
    m_ui.clearProgramText();
    TakeSnapshot();
    return true;
}

bool TChartFile::commandOpen() {
    if (!askSaveChanges())
        return false;
    const std::string name = m_ui.openFileName();
    if (name.empty() || !HasChartExtension(name))
        return false;
    std::error_code ec;
    if (!fs::exists(name, ec))
        return false;
    const std::string error = OpenFile(name);
    if (!error.empty()) {
        m_ui.showError(error);
        return false;
    }
    return true;
}

bool TChartFile::commandSave() {
    std::string name = m_currentFileName;
    if (name.empty())
        name = saveName();
    if (name.empty())
        return false;
    return saveShowingError(name);
}

bool TChartFile::commandSaveAs() {
    const std::string name = saveName();
    return !name.empty() && saveShowingError(name);
}

bool TChartFile::saveShowingError(const std::string& path) {
    const std::string error = SaveFile(path);
    if (!error.empty())
        m_ui.showError(error);
    return error.empty();
}

bool TChartFile::confirmClose() {
    return askSaveChanges();
}

std::string TChartFile::saveName() {
    std::string name = m_ui.saveFileName();
    if (!HasChartExtension(name))
        return {};
    return name;
}

bool TChartFile::askSaveChanges() {
    if (m_chart.IsEmptyChart())
        return true;
    std::string question;
    if (m_currentFileName.empty()) {
        // An unnamed chart with blocks is always worth asking about.
        question = "Flow Chart changed,\r\nsave it?";
    } else {
        if (!IsChartChanged())
            return true;
        question = "Flow Chart " + m_currentFileName + " changed,\r\nsave it?";
    }
    switch (m_ui.askYesNoCancel(question)) {
    case TChartFileUi::Answer::Yes:
        // Going on after a save that did not happen would throw the chart away.
        return commandSave();
    case TChartFileUi::Answer::No:
        return true;
    case TChartFileUi::Answer::Cancel:
        break;
    }
    return false;
}

// ---- reading ----

TChartFileRead TChartFile::ReadChartFile(const std::string& path) {
    TChartFileRead result;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        result.error = cannotOpen(path, osReason(EISDIR));
        return result;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        result.error = cannotOpen(path, osReason(errno));
        return result;
    }
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const int readError = std::ferror(file) ? (errno ? errno : EIO) : 0;
    std::fclose(file);
    if (readError) {
        result.error = cannotOpen(path, osReason(readError));
        return result;
    }
    auto document = std::make_unique<TSimpleXML>();
    try {
        document->LoadFromText(text);
    } catch (const std::exception& e) {
        result.error = e.what();
        return result;
    }
    result.document = std::move(document);
    return result;
}

std::string TChartFile::OpenFile(const std::string& path) {
    TChartFileRead read = ReadChartFile(path);
    if (!read.document)
        return read.error;
    LoadChart(std::move(read.document), path);
    return {};
}

void TChartFile::LoadChart(std::unique_ptr<TSimpleXML> document, const std::string& path) {
    {
        TFcUpdateBracket bracket(m_chart.Canvas()); // one repaint for the old chart and the new
        m_chart.ClearChart();
        m_chart.NewChart();
        m_ui.clearProgramText();
        TSimpleXMLElemClassic& record = m_recordDocument.Root();
        const TSimpleXMLElems& children = document->Root().Items();
        for (int i = 0; i < children.Count(); ++i) {
            // Only the first element of each child of the root counts, and only its type
            // attribute decides what block it becomes; every name is ignored.
            const TSimpleXMLElem* e = children.ItemAt(i)->Items().ItemAt(0);
            record.CopyFrom(e);
            const std::optional<BlockType> type =
                BlockTypeFrom(record.Properties().AttributeInt("type", -1));
            if (!type)
                continue;
            TFcObject* block = m_chart.AppendBlock(ToInt(*type), m_recordDocument.SaveToText());

            // A named block shows the name its record holds; an empty one keeps the new
            // block's caption.
            const TBlockInfo& info = BlockInfo(*type);
            std::string name;
            if (info.captionName == TCaptionName::Phrase) {
                const std::int64_t index = record.Items().ChildInt(info.nameChild, -1);
                name = index >= 0 && index < std::int64_t(m_phrases.size())
                           ? m_phrases[static_cast<std::size_t>(index)]
                           : std::to_string(index);
            } else if (info.captionName == TCaptionName::Text) {
                name = XmlDecode(record.Items().ChildText(info.nameChild, {}));
            }
            if (name.empty())
                continue;
            if (const std::optional<TBlockCaption> caption = NamedCaption(*type, name)) {
                m_chart.SetBlockHeight(block, caption->height);
                block->SetText(caption->text);
            }
        }
        m_chart.Relayout();
    }
    m_fileDocument = std::move(document);
    SetCurrentFile(path);
    TakeSnapshot();
}

// ---- writing ----

std::string TChartFile::SaveFile(const std::string& path) {
    std::string text;
    try {
        BuildChartDocument(*m_fileDocument);
        text = m_fileDocument->SaveToText();
    } catch (const std::exception& e) {
        return e.what();
    }
    std::string error = WriteFileReplacing(path, text);
    if (!error.empty())
        return error;
    SetCurrentFile(path);
    TakeSnapshot();
    return {};
}

void TChartFile::BuildChartDocument(TSimpleXML& d) {
    TSimpleXMLElemClassic& root = d.Root();
    root.Clear();
    // The root of a chart file has no value; one read from a hand-made file is not kept.
    root.Value.clear();
    root.Namespace.clear();
    root.SetName(kRootName);
    TSimpleXMLElems& records = root.Items();
    for (const std::string_view payload : m_chart.BlockRecords()) {
        m_recordDocument.LoadFromText(payload);
        TSimpleXMLElemClassic& record = records.AddChild(kRecordName);
        record.Items().AddChild("any").CopyFrom(m_recordDocument.Root());
    }
}

std::string TChartFile::recordText(std::string_view payload) {
    m_recordDocument.LoadFromText(payload);
    TSimpleXMLElemClassic copy("any");
    copy.CopyFrom(m_recordDocument.Root());
    return copy.SaveToText("    ");
}

bool TChartFile::IsChartChanged() {
    // The written chart is the header, the root's tags and one "record" element per block
    // around the block's copied record, two levels deeper than every line of that copy. So two
    // written charts are equal exactly when they hold as many records and each record writes
    // the same: only records whose texts differ need to be read and written again.
    if (!m_snapshotValid)
        return true; // nothing taken yet: the empty snapshot writes no root at all
    const std::vector<std::string_view> records = m_chart.BlockRecords();
    if (records.size() != m_snapshotRecords.size())
        return true;
    try {
        for (std::size_t i = 0; i < records.size(); ++i)
            if (records[i] != m_snapshotRecords[i] &&
                recordText(records[i]) != recordText(m_snapshotRecords[i]))
                return true;
    } catch (const std::exception&) {
        return true; // a record that no longer reads back is a change worth saving
    }
    return false;
}

void TChartFile::TakeSnapshot() {
    const std::vector<std::string_view> records = m_chart.BlockRecords();
    m_snapshotRecords.assign(records.begin(), records.end());
    m_snapshotValid = true;
}

void TChartFile::SetCurrentFile(const std::string& name) {
    m_currentFileName = name;
    m_ui.setCaption(CaptionText());
}

std::string TChartFile::CaptionText() const {
    if (m_currentFileName.empty())
        return m_applicationTitle;
    return m_applicationTitle + " - " + fs::path(m_currentFileName).filename().string();
}
