#include "chart/ChartFile.h"

#include "files/Files.h"
#include "records/BlockCatalog.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRootName = "KELMORAX";
constexpr std::string_view kRecordName = "record";

} // namespace

TChartFile::TChartFile(TChart& chart, std::string applicationTitle)
    : m_chart(chart), m_applicationTitle(std::move(applicationTitle)),
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

TChartFileResult TChartFile::commandNew(TPrompts& prompts) {
    if (!askSaveChanges(prompts))
        return {};
    {
        TFcUpdateBracket bracket(m_chart.Canvas()); // one repaint for the old chart and the new
        m_chart.ClearChart();
        SetCurrentFile({});
        m_chart.NewChart();
    }
    TakeSnapshot();
    return {true, true, {}};
}

TChartFileResult TChartFile::commandOpen(TPrompts& prompts) {
    if (!askSaveChanges(prompts))
        return {};
    const std::string name =
        prompts.openFileName(TPrompts::FileKind::Chart).value_or(std::string());
    if (name.empty() || !HasChartExtension(name) || files::IsMissing(name))
        return {};
    if (files::TStatus opened = OpenFile(name); !opened) {
        prompts.showError(WithErrorPlace(opened.errorMessage(), name));
        return {};
    }
    return {true, true, m_openNote};
}

TChartFileResult TChartFile::commandSave(TPrompts& prompts) {
    std::string name = m_currentFileName;
    if (name.empty())
        name = saveName(prompts);
    if (name.empty())
        return {};
    return saveShowingError(name, prompts);
}

TChartFileResult TChartFile::commandSaveAs(TPrompts& prompts) {
    const std::string name = saveName(prompts);
    if (name.empty())
        return {};
    return saveShowingError(name, prompts);
}

TChartFileResult TChartFile::saveShowingError(const std::string& path, TPrompts& prompts) {
    if (files::TStatus saved = SaveFile(path); !saved) {
        prompts.showError(saved.errorMessage());
        return {};
    }
    return {true, false, {}};
}

bool TChartFile::confirmClose(TPrompts& prompts) {
    return askSaveChanges(prompts);
}

std::string TChartFile::saveName(TPrompts& prompts) {
    std::string name = prompts.saveFileName(TPrompts::FileKind::Chart).value_or(std::string());
    if (!HasChartExtension(name))
        return {};
    return name;
}

bool TChartFile::askSaveChanges(TPrompts& prompts) {
    if (m_chart.IsEmptyChart())
        return true;
    if (!m_currentFileName.empty() && !IsChartChanged())
        return true; // an unnamed chart with blocks is always worth asking about
    const files::TMessage question = SaveQuestion(m_currentFileName);
    switch (prompts.askYesNoCancel(question)) {
    case TPrompts::Answer::Yes:
        // Going on after a save that did not happen would throw the chart away.
        return commandSave(prompts).done;
    case TPrompts::Answer::No:
        return true;
    case TPrompts::Answer::Cancel:
        break;
    }
    return false;
}

// ---- reading ----

files::TResult<std::unique_ptr<TSimpleXML>> TChartFile::ReadChartFile(const std::string& path) {
    files::TResult<std::string> text = files::ReadWholeFile(path);
    if (!text)
        return files::Error(text.errorMessage());
    auto document = std::make_unique<TSimpleXML>();
    try {
        document->LoadFromText(*text);
    } catch (const std::exception& e) {
        return files::Error(ErrorMessageOf(e));
    }
    return document;
}

files::TMessage TChartFile::SaveQuestion(const std::string& path) {
    if (path.empty())
        return files::Say("chart", ZV_TRANSLATABLE("chart", "Flow Chart changed,\r\nsave it?"));
    return files::Say("chart", ZV_TRANSLATABLE("chart", "Flow Chart %1 changed,\r\nsave it?"),
                      path);
}

files::TMessage TChartFile::ErrorPlaceMessage(const std::string& path) {
    files::TResult<std::string> text = files::ReadWholeFile(path);
    if (!text)
        return {};
    const std::optional<TTextPlace> place = XmlErrorPlace(*text);
    if (!place)
        return {};
    return files::Say("chart", ZV_TRANSLATABLE("chart", " (line %1, column %2)"), place->line,
                      place->column);
}

std::string TChartFile::ErrorPlace(const std::string& path) {
    return ErrorPlaceMessage(path).English();
}

files::TMessage TChartFile::WithErrorPlace(files::TMessage error, const std::string& path) {
    // Two messages one after the other: the wording has no words of its own to translate.
    files::TMessage place = ErrorPlaceMessage(path);
    if (place.empty())
        return error;
    return files::TMessage{{}, "%1%2", {std::move(error), std::move(place)}};
}

files::TStatus TChartFile::OpenFile(const std::string& path) {
    files::TResult<std::unique_ptr<TSimpleXML>> read = ReadChartFile(path);
    if (!read)
        return files::Error(read.errorMessage());
    // A file without any element (empty, or only blanks) is no chart at all; it still opens,
    // as an empty chart, but the pupil is told, so a file emptied by accident is noticed.
    const bool holdsNothing = (*read)->Root().Name().empty();
    if (files::TStatus loaded = LoadChart(std::move(*read), path); !loaded)
        return files::Error(files::FileError("open", path, loaded.errorMessage()));
    m_openNote = holdsNothing ? files::Say("chart",
                                           ZV_TRANSLATABLE("chart", "%1 holds no chart at all: it "
                                                                    "opened as an empty chart."),
                                           fs::path(path).filename().string())
                              : files::TMessage();
    return {};
}

files::TResult<std::vector<TBlockCopy>> TChartFile::BlocksOfDocument(const TSimpleXML& document) {
    std::vector<TBlockCopy> blocks;
    TSimpleXMLElemClassic& record = m_recordDocument.Root();
    const TSimpleXMLElems& children = document.Root().Items();
    blocks.reserve(static_cast<std::size_t>(children.Count()));
    for (int i = 0; i < children.Count(); ++i) {
        // Only the first element of each child of the root counts, and only its type
        // attribute decides what block it becomes; every name is ignored.
        const TSimpleXMLElem* e = children.ItemAt(i)->Items().ItemAt(0);
        record.CopyFrom(e);
        const std::optional<BlockType> type =
            BlockTypeFrom(record.Properties().AttributeInt("type", -1));
        if (!type)
            continue;
        std::string text = m_recordDocument.SaveToText();
        // A record the block cannot read back (a processing instruction or declaration posing
        // as one) could never be saved or turned into a listing: such a chart is refused now,
        // before the pupil adds work to it that could not be kept.
        try {
            m_checkDocument.LoadFromText(text);
        } catch (const std::exception& error) {
            return files::Error(files::Say(
                "chart",
                ZV_TRANSLATABLE("chart",
                                "Record %1 is not a block record that could be saved again (%2)"),
                i + 1, ErrorMessageOf(error)));
        }
        if (BlockTypeFrom(m_checkDocument.Root().Properties().AttributeInt("type", -1)) != type)
            return files::Error(files::Say(
                "chart",
                ZV_TRANSLATABLE("chart", "Record %1 changes its block type when written back"),
                i + 1));
        // What the block keeps is the record as it reads back, so that saving and opening it
        // again gives the same text: a child that writes no tag of its own (a comment, CDATA,
        // an element without a name) would otherwise vanish only on the second open.
        if (std::string again = m_checkDocument.SaveToText(); again != text)
            text = std::move(again);

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
        TBlockCaption caption{std::string(info.caption), BlockHeight};
        if (!name.empty())
            caption = NamedCaption(*type, name).value_or(caption);
        blocks.push_back({*type, std::move(text), std::move(caption)});
    }
    return blocks;
}

files::TResult<std::vector<TBlockCopy>> TChartFile::BlocksOfText(std::string_view text) {
    TSimpleXML document;
    try {
        document.LoadFromText(text);
    } catch (const std::exception& e) {
        return files::Error(ErrorMessageOf(e));
    }
    return BlocksOfDocument(document);
}

std::string TChartFile::TextOfBlocks(const std::vector<TBlockCopy>& blocks) {
    std::vector<std::string_view> records;
    records.reserve(blocks.size());
    for (const TBlockCopy& block : blocks)
        records.emplace_back(block.record);
    TSimpleXML document;
    buildDocument(document, records);
    return document.SaveToText();
}

files::TStatus TChartFile::LoadChart(std::unique_ptr<TSimpleXML> document,
                                     const std::string& path) {
    // Every block is made ready first, so that a chart refused half-way changes nothing.
    files::TResult<std::vector<TBlockCopy>> blocks = BlocksOfDocument(*document);
    if (!blocks)
        return files::Error(blocks.errorMessage());
    // The blocks hold their records now, and every save builds the root anew: only the
    // document's prolog is needed again. Its tree goes back to the heap before the chart's
    // canvas objects are made, so that they take its place instead of adding to it.
    document->Root().Clear();
    ReleaseRecycledXmlBlocks();
    {
        TFcUpdateBracket bracket(m_chart.Canvas()); // one repaint for the old chart and the new
        m_chart.ClearChart();
        m_chart.NewChart();
        for (TBlockCopy& block : *blocks)
            m_chart.AppendBlock(std::move(block));
        m_chart.Relayout();
    }
    m_fileDocument = std::move(document);
    SetCurrentFile(path);
    TakeSnapshot();
    return {};
}

// ---- writing ----

std::string TChartFile::ChartText() {
    BuildChartDocument(*m_fileDocument);
    return m_fileDocument->SaveToText();
}

files::TStatus TChartFile::RestoreChart(std::string_view text, const std::string& path) {
    auto document = std::make_unique<TSimpleXML>();
    try {
        document->LoadFromText(text);
    } catch (const std::exception& e) {
        return files::Error(ErrorMessageOf(e));
    }
    if (files::TStatus loaded = LoadChart(std::move(document), path); !loaded)
        return loaded;
    m_snapshotValid = false; // what was restored is not what the file holds
    return {};
}

files::TStatus TChartFile::SaveFile(const std::string& path) {
    std::string text;
    try {
        text = ChartText();
    } catch (const std::exception& e) {
        return files::Error(ErrorMessageOf(e));
    }
    if (files::TStatus written = files::ReplaceFile(path, text); !written)
        return written;
    SetCurrentFile(path);
    TakeSnapshot();
    return {};
}

void TChartFile::BuildChartDocument(TSimpleXML& d) {
    buildDocument(d, m_chart.BlockRecords());
}

void TChartFile::buildDocument(TSimpleXML& d, const std::vector<std::string_view>& blockRecords) {
    TSimpleXMLElemClassic& root = d.Root();
    root.Clear();
    // The root of a chart file has no value; one read from a hand-made file is not kept.
    root.Value.clear();
    root.Namespace.clear();
    root.SetName(kRootName);
    TSimpleXMLElems& records = root.Items();
    for (const std::string_view payload : blockRecords) {
        m_recordDocument.LoadFromText(payload);
        TSimpleXMLElemClassic& record = records.AddChild(kRecordName);
        record.Items().AddChild("any").CopyFrom(m_recordDocument.Root());
    }
}

std::string TChartFile::recordText(std::string_view payload) {
    m_recordDocument.LoadFromText(payload);
    m_recordCopy.CopyFrom(m_recordDocument.Root());
    return m_recordCopy.SaveToText("    ");
}

const std::string& TChartFile::snapshotText(std::size_t i) {
    std::string& text = m_snapshotTexts[i];
    if (text.empty())
        text = recordText(m_snapshotRecords[i]);
    return text;
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
            if (records[i] != m_snapshotRecords[i] && recordText(records[i]) != snapshotText(i))
                return true;
    } catch (const std::exception&) {
        return true; // a record that no longer reads back is a change worth saving
    }
    return false;
}

void TChartFile::TakeSnapshot() {
    const std::vector<std::string_view> records = m_chart.BlockRecords();
    m_snapshotRecords.assign(records.begin(), records.end());
    m_snapshotTexts.assign(records.size(), std::string());
    m_snapshotValid = true;
}

void TChartFile::SetCurrentFile(const std::string& name) {
    m_currentFileName = name;
}

std::string TChartFile::CaptionText() const {
    if (m_currentFileName.empty())
        return m_applicationTitle;
    return m_applicationTitle + " - " + fs::path(m_currentFileName).filename().string();
}

files::TResult<TOpenedChart> openChart(const std::string& path, std::vector<std::string> phrases,
                                       TFlowChart* canvas) {
    TOpenedChart opened;
    if (!canvas) {
        opened.canvas = std::make_unique<TFlowChart>();
        canvas = opened.canvas.get();
    }
    opened.chart = std::make_unique<TChart>(*canvas);
    opened.file = std::make_unique<TChartFile>(*opened.chart, std::string());
    opened.file->setPhrases(std::move(phrases));
    opened.chart->NewChart();
    if (files::TStatus status = opened.file->OpenFile(path); !status)
        return files::Error(status.errorMessage());
    return opened;
}
