#pragma once

#include "chart/ChartFile.h"
#include "check/Check.h"
#include "files/Prompts.h"
#include "program/ListingFreshness.h"
#include "program/ProgramText.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QDockWidget;
class QMenu;
class QDragEnterEvent;
class QDropEvent;
class TAutosave;
class TChartEditing;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QSplitter;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TChart;
class TFlowChartView;
class TFormAbout;
class TFormDownload;
class THelpWindow;
class TNavBar;
namespace editors {
class TEditorDialogs;
}

// TForm1: the main window. It owns the chart, the canvas, the program text and
// the file state, and wires every toolbar and palette command to the code that
// carries it out. Handlers read controls, call the core and show the result.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The parts tests and the screenshot script reach.
    TChart& chart() { return *m_chart; }
    TChartFile& chartFile() { return *m_chartFile; }
    TFlowChartView* flowChart() const { return m_flowChart1; }
    QPlainTextEdit* programText() const { return m_memo1; }
    // The bar above the program text that says the chart changed since the listing was made.
    QFrame* listingBar() const { return m_listingBar; }
    QLabel* listingBarText() const { return m_listingBarText; }
    // Where the program text came from, and which of its lines each block made.
    const program::TListingFreshness& listingState() const { return m_listing; }
    // The problems panel under the canvas: one row per finding of the program check.
    QDockWidget* problemsDock() const { return m_problemsDock; }
    QTreeWidget* problemsList() const { return m_problemsList; }
    // The findings of the chart as it is (checked now if the last check is older).
    const std::vector<check::TFinding>& findings();
    editors::TEditorDialogs& editorDialogs() { return *m_editors; }
    TFormDownload* downloadWindow() const { return m_formDownload; }
    // The action of toolbar command 1..10 (the button and the menu entry); nullptr otherwise.
    QAction* commandAction(int number) const {
        return number >= 1 && number <= 10 ? m_commandActions[number] : nullptr;
    }
    // Toolbar button 1..10; nullptr for any other number.
    QToolButton* speedButton(int number) const {
        return number >= 1 && number <= 10 ? m_speedButtons[number] : nullptr;
    }
    TNavBar* palette() const { return m_navBar1; }
    // The undo stack and the editing commands of the chart.
    TChartEditing& editing() const { return *m_editing; }
    TAutosave& autosave() const { return *m_autosave; }
    // The toolbar's toggle that shows each block's first line number on the canvas.
    QToolButton* lineNumbersButton() const { return m_lineNumbersButton; }
    QToolButton* sendButton() const { return m_sendButton; }
    // Opens a chart file as Open does once the name is chosen (no question, no dialog).
    files::TStatus openChartFile(const std::string& path);
    // Opens a chart named on the command line: errors in a box, nothing asked.
    void openAtStart(const std::string& path);
    // Replaces the file dialogs and message boxes of the window and of the download window
    // (tests answer from a script).
    void setPrompts(std::unique_ptr<files::TPrompts> prompts);
    // File > Export: asks for a PNG, SVG or PDF name and writes the chart there.
    void exportChart();
    // Prints the chart on the printer's pages, as File > Print does once the printer is chosen;
    // returns the number of pages (0 when the printer would not start).
    int printTo(QPrinter& printer);

    // The guide (Help > Guide, F1) at `page` (the page shown before, or the contents, when
    // empty); over `over`, a block's dialog, while that is open (F1 in the dialog).
    void showHelp(const QString& page, QWidget* over = nullptr);
    THelpWindow* helpWindow();
    // File > Examples, Help > Examples: the bundled example `name` as a new unnamed chart,
    // after the unsaved-changes question. True when it opened.
    bool openExample(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar(QWidget* panel);
    // The commands as actions: the toolbar buttons show them, the menus list them.
    void buildActions();
    void buildMenus();
    // Help > Guide and Examples, File > Examples, and F1 in the block dialogs.
    void buildHelpMenus(QMenu* file, QMenu* help);
    void buildStatusBar();
    // View > Language: the system's language, English and each translation, one checked.
    void buildLanguageMenu(QMenu* view);
    // The caption, with the mark of a chart that differs from its file.
    void updateCaption();
    // The statement of the selected block in the status bar.
    void updateStatementLabel();
    QString statementOf(const TFcObject* block) const;
    // What is under the pointer on the canvas, in words in the status bar.
    void showCanvasPoint(QPoint viewportPoint);
    QString describeObject(const TFcObject* object) const;
    // Window size and place, splitter and palette group from the last run.
    void restoreSettings();
    void saveSettings() const;
    QStringList recentFiles() const;
    void rememberRecent(const std::string& path);
    void updateRecentMenu();
    // Opens a chart file after the unsaved-changes question (recent files, a dropped file).
    void openAsked(const QString& path);
    // Send to Robot: generate when the chart changed, then the download window's one-click
    // download to the last port, its progress and outcome in the status bar.
    void sendToRobot();
    // File > Print: the system's print dialog, then printTo.
    void printChart();
    // The chart's file name for page heads, "Untitled chart" before it has one.
    QString chartTitle() const;
    void connectDownload();
    // "The robot on ttyUSB0 has this program" (or an older version of it) in the status bar.
    void updateRobotLabel();
    void connectControls();

    QWidget* buildProgramPane(QWidget* parent);
    void buildProblemsDock();

    // The program text as lines of bytes, and back into the text box (which is no typing).
    program::ProgramText programLines() const;
    void setProgramLines(const program::ProgramText& lines);

    // The listing of the chart as it is into the program text, remembered as the chart's.
    // A record that does not parse is shown and the text stays. True when the text was replaced.
    bool generateListing();
    // The chart changed: what follows it is brought up to date once the current event is over,
    // so a burst of changes (a file read block by block) is followed once.
    void chartChanged();
    void refresh();
    // The bar above the program text shows while the text is the listing of an older chart.
    void updateListingBar();
    // The program check of the chart as it is, shown in the problems panel and as marks on the
    // blocks; nothing is done when the chart has not changed since the last check.
    void checkProgram();
    // Download of the chart's own listing while the check finds errors: the person decides.
    bool sendDespiteErrors();
    // While the program text is the chart's listing: the lines of the selected block marked in
    // the text, and (when asked for) each block's first line number beside it on the canvas.
    void updateLinks();
    void highlightSelectedBlock(bool reveal);
    void updateLineNumbers();
    // The block the line under the text cursor came from, selected on the canvas.
    void selectBlockOfTextLine();

    // Shows what a file command did: the caption, and an empty program text after the chart
    // was replaced.
    void showFileResult(const TChartFileResult& result);

    // New chart: ask about unsaved changes, then an empty chart.
    void SpeedButton1Click();
    // Open: ask about unsaved changes, pick a chart file and read it.
    void SpeedButton2Click();
    // Save: write the chart to its file, or ask for a name first.
    void SpeedButton3Click();
    // Save as: ask for a name, then write the chart.
    void SpeedButton4Click();
    // Exit: close the main window (the close event asks about unsaved changes).
    void SpeedButton5Click();
    // Download: hand the program text to the download window and show it.
    void SpeedButton6Click();
    // Generate: the listing of the whole chart into the program text.
    void SpeedButton7Click();
    // About: the about box.
    void SpeedButton8Click();
    // Save text: write the program text to a text file.
    void SpeedButton9Click();
    // Load text: replace the program text with a text file's lines.
    void SpeedButton10Click();
    // NavBar1Item1Click to NavBar1Item26Click: insert a block of that type at the selected spot.
    void NavBar1ItemClick(int blockType);
    // Double click on the canvas: edit the selected block in its dialog.
    void FlowChart1DblClick();
    // Typing, pasting or undoing in the program text: from now on it is sent as it is.
    void Memo1Change();
    // Click on "Generate again" in the bar above the program text: generate.
    void ListingBarLinkClick();
    // The text cursor moved (a click or a key in the program text): select the line's block.
    void Memo1CursorMove();
    // The selection on the canvas changed: mark the selected block's lines in the text.
    void FlowChart1SelectionChange();
    // Click on the line-number toggle: show or hide the blocks' line numbers.
    void LineNumbersButtonClick();
    // View > Language > a language: kept for the next start, which speaks it.
    void LanguageClick(const QString& language);
    // Click (or Enter) on a row of the problems panel: select its block and show it.
    void ProblemsListClick(QTreeWidgetItem* item);

    QWidget* m_panel1 = nullptr;
    std::array<QToolButton*, 11> m_speedButtons{}; // index 1..10
    QToolButton* m_lineNumbersButton = nullptr;
    QToolButton* m_sendButton = nullptr; // Send to Robot, beside Download
    TNavBar* m_navBar1 = nullptr;
    QSplitter* m_splitter1 = nullptr;
    TFlowChartView* m_flowChart1 = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
    QFrame* m_listingBar = nullptr;
    QLabel* m_listingBarText = nullptr;
    program::TListingFreshness m_listing;
    QDockWidget* m_problemsDock = nullptr;
    QTreeWidget* m_problemsList = nullptr;
    std::vector<check::TFinding> m_findings;
    std::uint64_t m_checkedRevision = 0;
    bool m_checked = false;        // the findings are those of m_checkedRevision
    bool m_settingText = false;    // the window itself is filling the program text
    bool m_refreshQueued = false;  // a refresh waits in the event queue
    bool m_revealingBlock = false; // the text cursor is moved to the selected block's lines
    std::unique_ptr<files::TPrompts> m_prompts;
    // The chart lives on the canvas model the view owns; the file state on the chart.
    std::unique_ptr<TChart> m_chart;
    std::unique_ptr<TChartFile> m_chartFile;
    std::unique_ptr<editors::TEditorDialogs> m_editors;
    TFormDownload* m_formDownload = nullptr;
    TFormAbout* m_formAbout = nullptr;
    THelpWindow* m_helpWindow = nullptr; // made when first asked for
    TChartEditing* m_editing = nullptr;
    TAutosave* m_autosave = nullptr;
    std::array<QAction*, 11> m_commandActions{}; // index 1..10, as the toolbar buttons
    QAction* m_checkAction = nullptr;
    QAction* m_sendAction = nullptr;
    QMenu* m_recentMenu = nullptr;
    QLabel* m_statementLabel = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QLabel* m_robotLabel = nullptr;
    // The object the pointer was last over; compared only, never dereferenced.
    const TFcObject* m_hoverObject = nullptr;
    // How long a command's word stays in the status line.
    static constexpr int kStatusMessageTime = 8000;
};
