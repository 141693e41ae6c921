// Chart files (".lcs"): the XML text that holds the parameter record of every block in chart
// order, the file commands new, open, save and save as with the unsaved-changes question, the
// current file name with the window caption, and the snapshot the change check compares with.
//
// The commands run without a window: they ask the prompt seam for file names, answers and
// messages, and report what they did; the window shows the caption and empties the program
// text from that report. Tests script the answers.
#pragma once

#include "chart/Chart.h"
#include "files/Prompts.h"
#include "files/Result.h"
#include "records/SimpleXML.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What a file command did, for the window to show: the caption (CaptionText) may have changed
// after any of them, and a replaced chart leaves the program text of the old one behind.
struct TChartFileResult {
    bool done = false;          // the command did its work (nothing cancelled or failed)
    bool chartReplaced = false; // a new or opened chart took the old one's place
    files::TMessage note;       // a word for the status line, empty when all went as expected
    explicit operator bool() const { return done; }
};

// The file state of the main window and its file commands. The chart must outlive it.
class TChartFile {
public:
    static constexpr std::string_view FileFilter = "FlowChart Files(*.lcs)|*.lcs";
    static constexpr std::string_view DefaultExtension = "lcs";

    TChartFile(TChart& chart, std::string applicationTitle);
    ~TChartFile();
    TChartFile(const TChartFile&) = delete;
    TChartFile& operator=(const TChartFile&) = delete;

    // The voice phrase list that names VoiceX blocks while a file is read (entry i names phrase
    // number i). Empty until set: every VoiceX caption then shows the phrase number.
    void setPhrases(std::vector<std::string> phrases) { m_phrases = std::move(phrases); }

    using TPrompts = files::TPrompts;

    // ---- commands ----
    // New chart: the question, then an empty unnamed chart.
    TChartFileResult commandNew(TPrompts& prompts);
    // Open: the question, the open dialog, then the file read as a whole before anything is
    // replaced. A file that cannot be read or parsed is reported and changes nothing.
    TChartFileResult commandOpen(TPrompts& prompts);
    // Save: to the current file, or to a name asked for when the chart is unnamed.
    TChartFileResult commandSave(TPrompts& prompts);
    // Save as: always asks for a name.
    TChartFileResult commandSaveAs(TPrompts& prompts);
    // Closing the window: the same question as new and open. True when the window may close.
    bool confirmClose(TPrompts& prompts);

    // ---- the steps ----
    // The unsaved-changes question: true to go on. Yes saves first and goes on only when the
    // save wrote the file; Cancel (or a save that did not happen) ends the command.
    bool askSaveChanges(TPrompts& prompts);
    // Reads and parses a chart file; nothing else changes.
    static files::TResult<std::unique_ptr<TSimpleXML>> ReadChartFile(const std::string& path);
    // Replaces the chart by the records of a parsed chart file (which becomes the file document,
    // so its prolog is written back on the next save), names it and takes the snapshot.
    // A record that would not read back as the same block (so that the chart could never be
    // saved or generated) refuses the whole chart with its number; nothing changes then.
    files::TStatus LoadChart(std::unique_ptr<TSimpleXML> document, const std::string& path);
    // Opens a file as the open command does once a name is chosen, without questions or
    // dialogs. On success everything is as after open; on failure nothing changed.
    files::TStatus OpenFile(const std::string& path);
    // Where a chart file's XML is broken, for a person to find it: " (line 3, column 14)", or
    // empty when the file reads (or cannot be read at all).
    static std::string ErrorPlace(const std::string& path);
    static files::TMessage ErrorPlaceMessage(const std::string& path);
    // error followed by the place of the first error in the chart file at path, if any.
    static files::TMessage WithErrorPlace(files::TMessage error, const std::string& path);
    // The question before the chart is thrown away: "Flow Chart changed,\r\nsave it?", or
    // with the file's name, "Flow Chart NAME changed,\r\nsave it?".
    static files::TMessage SaveQuestion(const std::string& path);
    // After a successful OpenFile: a word on what was opened worth a look (a file that held
    // nothing at all opens as an empty chart), empty otherwise.
    const files::TMessage& OpenNote() const { return m_openNote; }
    // Writes the chart to path (a new file in the same folder renamed over the old one), names
    // the chart and takes the snapshot. On failure the old file, the name and the snapshot are
    // as they were.
    files::TStatus SaveFile(const std::string& path);
    // The text SaveFile would write now.
    std::string ChartText();
    // Replaces the chart by the one a chart text holds (an autosave of a chart that was never
    // saved), named after path but counted as changed, so that the next save or close asks.
    // Nothing changes when the text is no chart.
    files::TStatus RestoreChart(std::string_view text, const std::string& path);
    // SaveFile, with a failure shown in an error box.
    TChartFileResult saveShowingError(const std::string& path, TPrompts& prompts);

    // Clears d's root (its prolog stays), names it KELMORAX and adds one record per block, in
    // chart order, holding a copy of the block's parameter record.
    void BuildChartDocument(TSimpleXML& d);

    // ---- blocks as chart text (the clipboard) ----
    // The blocks a parsed chart text holds, each made ready as opening the file makes it
    // (record as it reads back, caption and height from its name). A record that would not read
    // back as the same block refuses the whole text, naming the record. Children of the root
    // that are no block record are passed over.
    files::TResult<std::vector<TBlockCopy>> BlocksOfDocument(const TSimpleXML& document);
    // The same from text; XML that does not parse gives the reader's message.
    files::TResult<std::vector<TBlockCopy>> BlocksOfText(std::string_view text);
    // The text of a chart file that would hold just these blocks.
    std::string TextOfBlocks(const std::vector<TBlockCopy>& blocks);
    // True when the chart's records differ from the snapshot's: when the written texts of the
    // chart built into a fresh document and of the snapshot differ.
    bool IsChartChanged();

    // Takes the snapshot of the current chart.
    void TakeSnapshot();
    // Stores the current file name (the caption follows it).
    void SetCurrentFile(const std::string& name);

    const std::string& CurrentFileName() const { return m_currentFileName; }
    // "title - file name without directory", or the title alone for an unnamed chart.
    std::string CaptionText() const;
    // The file document (SimpleXML2): the last file read, rebuilt for every save.
    TSimpleXML& FileDocument() { return *m_fileDocument; }

    // True when the name ends in ".lcs", letters in any case.
    static bool HasChartExtension(std::string_view name);

private:
    std::string saveName(TPrompts& prompts);
    void buildDocument(TSimpleXML& d, const std::vector<std::string_view>& blockRecords);
    // How BuildChartDocument writes one record inside the chart: its copy, indented two levels.
    std::string recordText(std::string_view payload);
    // The snapshot's record `i` as recordText writes it, worked out once per snapshot.
    const std::string& snapshotText(std::size_t i);

    TChart& m_chart;
    std::string m_applicationTitle;
    std::vector<std::string> m_phrases;
    std::string m_currentFileName;
    files::TMessage m_openNote;
    TSimpleXML m_recordDocument;                // SimpleXML1
    TSimpleXMLElemClassic m_recordCopy;         // recordText's copy, its elements reused
    TSimpleXML m_checkDocument;                 // reads each opened record back once
    std::unique_ptr<TSimpleXML> m_fileDocument; // SimpleXML2
    // The snapshot (SimpleXML3): the records the chart held when it was taken. The snapshot
    // document and the comparison document (SimpleXML4) would be built from these and from the
    // chart's records; the check compares what they would write record by record instead.
    std::vector<std::string> m_snapshotRecords;
    // What recordText gives for each snapshot record; empty until a check needs it (no record
    // writes as nothing).
    std::vector<std::string> m_snapshotTexts;
    bool m_snapshotValid = false; // false until the first snapshot
};

// A chart opened without a window, as the editor opens it: the canvas model, the chart on it
// and its file state. What the command-line tool and the benchmarks work on.
struct TOpenedChart {
    std::unique_ptr<TFlowChart> canvas;
    std::unique_ptr<TChart> chart;
    std::unique_ptr<TChartFile> file;
};

// Opens the chart file at path with the phrase list naming VoiceX blocks (entry i names phrase
// number i). The error is the message the editor would show. The chart is laid out on `canvas`
// where one is given (a view's own model; the result's canvas is then empty), on a canvas of
// its own otherwise.
files::TResult<TOpenedChart> openChart(const std::string& path,
                                       std::vector<std::string> phrases = {},
                                       TFlowChart* canvas = nullptr);
