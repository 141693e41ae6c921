// Chart files (".lcs"): the XML text that holds the parameter record of every block in chart
// order, the file commands new, open, save and save as with the unsaved-changes question, the
// current file name with the window caption, and the snapshot the change check compares with.
//
// The commands run without a window: they ask a TChartFileUi for file names, answers and
// messages. The window implements it with its dialogs; tests script the answers.
#pragma once

#include "chart/Chart.h"
#include "records/SimpleXML.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What the file commands need from the window.
class TChartFileUi {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~TChartFileUi() = default;
    // The open dialog (filter "FlowChart Files(*.lcs)|*.lcs", existing file). Empty: cancelled.
    virtual std::string openFileName() = 0;
    // The save dialog (same filter, default extension "lcs", overwrite question). Empty:
    // cancelled.
    virtual std::string saveFileName() = 0;
    // A modal warning with Yes, No and Cancel; closing the box answers Cancel.
    virtual Answer askYesNoCancel(const std::string& question) = 0;
    // A modal error message box.
    virtual void showError(const std::string& message) = 0;
    // The main window's caption.
    virtual void setCaption(const std::string& caption) = 0;
    // Empties the program text (Memo1).
    virtual void clearProgramText() = 0;
};

// The result of reading a chart file without touching the chart.
struct TChartFileRead {
    std::unique_ptr<TSimpleXML> document; // set on success
    std::string error;                    // set on failure: the message to show
};

// The file state of the main window and its file commands. The chart and the window interface
// must outlive it.
class TChartFile {
public:
    static constexpr std::string_view FileFilter = "FlowChart Files(*.lcs)|*.lcs";
    static constexpr std::string_view DefaultExtension = "lcs";

    TChartFile(TChart& chart, TChartFileUi& ui, std::string applicationTitle);
    ~TChartFile();
    TChartFile(const TChartFile&) = delete;
    TChartFile& operator=(const TChartFile&) = delete;

    // The voice phrase list that names VoiceX blocks while a file is read (entry i names phrase
    // number i). Empty until set: every VoiceX caption then shows the phrase number.
    void setPhrases(std::vector<std::string> phrases) { m_phrases = std::move(phrases); }

    // ---- commands (each returns true when it did its work) ----
    // New chart: the question, then an empty unnamed chart; empties the program text.
    bool commandNew();
    // Open: the question, the open dialog, then the file read as a whole before anything is
    // replaced. A file that cannot be read or parsed is reported and changes nothing.
    bool commandOpen();
    // Save: to the current file, or to a name asked for when the chart is unnamed.
    bool commandSave();
    // Save as: always asks for a name.
    bool commandSaveAs();
    // Closing the window: the same question as new and open. True when the window may close.
    bool confirmClose();

    // ---- the steps ----
    // The unsaved-changes question: true to go on. Yes saves first and goes on only when the
    // save wrote the file; Cancel (or a save that did not happen) ends the command.
    bool askSaveChanges();
    // Reads and parses a chart file; nothing else changes.
    static TChartFileRead ReadChartFile(const std::string& path);
    // Replaces the chart by the records of a parsed chart file (which becomes the file document,
    // so its prolog is written back on the next save), names it and takes the snapshot.
    void LoadChart(std::unique_ptr<TSimpleXML> document, const std::string& path);
    // Opens a file as the open command does once a name is chosen, without questions or
    // dialogs. Returns the error message, empty on success (then everything is as after open).
    std::string OpenFile(const std::string& path);
    // Writes the chart to path (a new file in the same folder renamed over the old one), names
    // the chart and takes the snapshot. Returns the error message, empty on success; on failure
    // the old file, the name and the snapshot are as they were.
    std::string SaveFile(const std::string& path);
    // SaveFile, with a failure shown in an error box; true when the file was written.
    bool saveShowingError(const std::string& path);

    // Clears d's root (its prolog stays), names it KELMORAX and adds one record per block, in
    // chart order, holding a copy of the block's parameter record.
    void BuildChartDocument(TSimpleXML& d);
    // True when the chart's records differ from the snapshot's: when the written texts of the
    // chart built into a fresh document and of the snapshot differ.
    bool IsChartChanged();

    // Takes the snapshot of the current chart.
    void TakeSnapshot();
    // Stores the current file name and sets the window caption.
    void SetCurrentFile(const std::string& name);

    const std::string& CurrentFileName() const { return m_currentFileName; }
    // "title - file name without directory", or the title alone for an unnamed chart.
    std::string CaptionText() const;
    // The file document (SimpleXML2): the last file read, rebuilt for every save.
    TSimpleXML& FileDocument() { return *m_fileDocument; }

    // True when the name ends in ".lcs", letters in any case.
    static bool HasChartExtension(std::string_view name);

private:
    std::string saveName();
    // How BuildChartDocument writes one record inside the chart: its copy, indented two levels.
    std::string recordText(std::string_view payload);

    TChart& m_chart;
    TChartFileUi& m_ui;
    std::string m_applicationTitle;
    std::vector<std::string> m_phrases;
    std::string m_currentFileName;
    TSimpleXML m_recordDocument;                // SimpleXML1
    std::unique_ptr<TSimpleXML> m_fileDocument; // SimpleXML2
    // The snapshot (SimpleXML3): the records the chart held when it was taken. The snapshot
    // document and the comparison document (SimpleXML4) would be built from these and from the
    // chart's records; the check compares what they would write record by record instead.
    std::vector<std::string> m_snapshotRecords;
    bool m_snapshotValid = false; // false until the first snapshot
};
