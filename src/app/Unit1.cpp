#include "app/Unit1.h"

#include "app/About.h"
#include "app/Autosave.h"
#include "app/ChartEditing.h"
#include "app/NavBar.h"
#include "app/SimulatorCommands.h"
#include "app/WindowFont.h"
#include "canvas/view/FlowChartView.h"
#include "chart/AppTitle.h"
#include "chart/Chart.h"
#include "chart/PhraseList.h"
#include "download/window/frmDownload.h"
#include "editors/EditorDialogs.h"
#include "editors/EditorDispatch.h"
#include "platform/events/QueuedPoster.h"
#include "platform/export/ChartView.h"
#include "platform/i18n/CoreText.h"
#include "platform/prompts/QtPrompts.h"
#include "platform/recovery/RecoveryFolder.h"
#include "platform/text/CodePage.h"
#include "program/ChartListing.h"
#include "program/ChartReading.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

// The pictures live in a static library; naming the resource keeps the linker from dropping it.
static void initResources() {
    Q_INIT_RESOURCE(assets);
}

namespace {

// The toolbar buttons from left to right: number, left edge, picture.
struct ToolbarButton {
    int number;
    int left;
    const char* picture;
};
constexpr std::array<ToolbarButton, 10> kToolbar{{
    {1, 2, "new"},
    {2, 34, "open"},
    {3, 66, "save"},
    {4, 98, "saveas"},
    {5, 138, "exit"},
    {8, 170, "about"},
    {7, 362, "generate"},
    {6, 394, "download"},
    {10, 474, "loadtext"},
    {9, 506, "savetext"},
}};

// A question of the window as the prompts take it: bytes, each line break a CR LF.
std::string promptText(QString text) {
    return platform::fromQString(text.replace('\n', QStringLiteral("\r\n")));
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    initResources();
    setObjectName("Form1");
    setFont(courierFont(11));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    m_panel1 = new QWidget(central);
    m_panel1->setObjectName("Panel1");
    m_panel1->setFixedHeight(37);
    buildToolbar(m_panel1);
    outer->addWidget(m_panel1);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    m_navBar1 = new TNavBar(central);
    m_navBar1->setFixedWidth(m_navBar1->preferredWidth());
    body->addWidget(m_navBar1);

    m_splitter1 = new QSplitter(Qt::Horizontal, central);
    m_splitter1->setObjectName("Splitter1");
    m_splitter1->setHandleWidth(5);
    m_splitter1->setChildrenCollapsible(false);
    m_flowChart1 = new TFlowChartView(m_splitter1);
    platform::PrepareChartView(*m_flowChart1);
    QWidget* programPane = buildProgramPane(m_splitter1);
    m_splitter1->addWidget(m_flowChart1);
    m_splitter1->addWidget(programPane);
    // New width is shared between the canvas and the text.
    m_splitter1->setStretchFactor(0, 1);
    m_splitter1->setStretchFactor(1, 1);
    m_splitter1->setSizes({282, 178});
    body->addWidget(m_splitter1, 1);
    outer->addLayout(body, 1);
    setCentralWidget(central);

    buildProblemsDock();
    setWindowIcon(QIcon(":/icon.svg"));
    setAcceptDrops(true);

    // The chart: start terminal, one insertion spot with its marker selected, end terminal.
    m_prompts =
        std::make_unique<platform::TQtPrompts>(this, QString::fromLatin1(kApplicationTitle));
    m_chart = std::make_unique<TChart>(m_flowChart1->chart(), platform::queuedPoster(this));
    // A screen reader walks the chain: BEGIN, each spot and block in turn, the end.
    m_flowChart1->setReading(
        {[this] { return program::ReadingCount(*m_chart); },
         [this](int index) { return program::ReadingObject(*m_chart, index); },
         [this](const TFcObject* object) { return program::ReadingIndex(*m_chart, object); },
         [this](int index) {
             return platform::Translated(program::ReadingMessage(*m_chart, index));
         }});
    m_chart->OnChange = [this] { chartChanged(); };
    m_chartFile = std::make_unique<TChartFile>(*m_chart, kApplicationTitle);
    m_chart->NewChart();

    // Every dialog is made once and lives as long as the window.
    TPhraseList phrases = loadPhraseList(phraseListPath(programFolder()));
    if (!phrases.ok()) {
        phrases.entries = numberedPhrases();
        // The editor still works with the numbered phrases; say why once the window is up.
        QTimer::singleShot(0, this,
                           [this, message = phrases.error] { m_prompts->showError(message); });
    }
    m_chartFile->setPhrases(phrases.entries);
    m_editors = std::make_unique<editors::TEditorDialogs>(this, phrases.entries);
    m_formDownload = new TFormDownload(this);
    m_formDownload->setPrompts(m_prompts.get());
    m_formAbout = new TFormAbout(this);
    auto showStatus = [this](const QString& message) {
        statusBar()->showMessage(message, kStatusMessageTime);
    };
    m_editing = new TChartEditing(*m_chart, *m_chartFile, *m_flowChart1, showStatus, this);
    m_editing->editSelectedBlock = [this] { FlowChart1DblClick(); };
    const files::TResult<std::string> recoveryFolder = platform::RecoveryFolder();
    if (!recoveryFolder)
        showStatus(
            tr("Autosave is off: %1").arg(platform::Translated(recoveryFolder.errorMessage())));
    m_autosave = new TAutosave(*m_chart, *m_chartFile,
                               recoveryFolder ? *recoveryFolder : std::string(), showStatus, this);
    // Once the window is up: the changes an editor that closed unsaved left behind.
    QTimer::singleShot(0, this, [this] {
        if (m_autosave->offerRecovery(*m_prompts))
            showFileResult({false, true,
                            platform::fromQString(
                                tr("The changes were restored; save the chart to keep them."))});
    });
    buildActions();
    buildMenus();
    buildStatusBar();
    connectControls();
    connectDownload();
    InstallSimulator(*this, phrases.entries);
    restoreSettings();
    updateCaption();
}

TForm1::~TForm1() {
    // The editing commands and the autosave hold the chart, which goes before the window's
    // children do.
    delete m_editing;
    m_editing = nullptr;
    delete m_autosave;
    m_autosave = nullptr;
}

QWidget* TForm1::buildProgramPane(QWidget* parent) {
    // The program text with, above it, the bar that shows while the text is the listing of an
    // older chart.
    auto* pane = new QWidget(parent);
    pane->setObjectName("ProgramPane");
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_listingBar = new QFrame(pane);
    m_listingBar->setObjectName("ListingBar");
    m_listingBar->setStyleSheet("QFrame#ListingBar { background: #fff4c8;"
                                " border-bottom: 1px solid #d8c070; }");
    auto* barRow = new QHBoxLayout(m_listingBar);
    barRow->setContentsMargins(4, 2, 4, 2);
    // The words of the bar above a listing of an older chart; the link generates again.
    m_listingBarText = new QLabel(tr("The chart has changed since this listing was made. "
                                     "<a href=\"generate\">Generate again</a>"),
                                  m_listingBar);
    m_listingBarText->setObjectName("ListingBarText");
    m_listingBarText->setTextFormat(Qt::RichText);
    m_listingBarText->setWordWrap(true);
    m_listingBarText->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                              Qt::LinksAccessibleByKeyboard);
    barRow->addWidget(m_listingBarText, 1);
    m_listingBar->hide();
    column->addWidget(m_listingBar);

    m_memo1 = new QPlainTextEdit(pane);
    m_memo1->setObjectName("Memo1");
    m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->setFont(courierFont(13));
    // Tab moves on to the next control, as everywhere else; Ctrl+Tab types a tab.
    m_memo1->setTabChangesFocus(true);
    m_memo1->installEventFilter(this);
    column->addWidget(m_memo1, 1);
    return pane;
}

void TForm1::buildToolbar(QWidget* panel) {
    for (const ToolbarButton& b : kToolbar) {
        auto* button = new QToolButton(panel);
        button->setObjectName(QString("SpeedButton%1").arg(b.number));
        button->setAutoRaise(true);
        button->setGeometry(b.left, 2, 32, 32);
        button->setIcon(QIcon(QString(":/toolbar/%1.svg").arg(b.picture)));
        button->setIconSize(QSize(30, 30));
        m_speedButtons[b.number] = button;
    }
    // Beside Download: Send to Robot in one click (its action is made with the Robot menu).
    m_sendButton = new QToolButton(panel);
    m_sendButton->setObjectName("SendToRobotButton");
    m_sendButton->setAutoRaise(true);
    m_sendButton->setGeometry(428, 2, 32, 32);
    m_sendButton->setIcon(QIcon(":/toolbar/send.svg"));
    m_sendButton->setIconSize(QSize(30, 30));
    // Beside the text buttons: the toggle for the line numbers on the canvas (off at start, so
    // the chart looks as it always did).
    m_lineNumbersButton = new QToolButton(panel);
    m_lineNumbersButton->setObjectName("LineNumbersButton");
    m_lineNumbersButton->setAutoRaise(true);
    m_lineNumbersButton->setCheckable(true);
    m_lineNumbersButton->setGeometry(546, 2, 32, 32);
    m_lineNumbersButton->setIcon(QIcon(":/toolbar/linenumbers.svg"));
    m_lineNumbersButton->setIconSize(QSize(30, 30));
    m_lineNumbersButton->setToolTip(tr("Line numbers on the chart"));
}

void TForm1::connectControls() {
    connect(m_commandActions[1], &QAction::triggered, this, &TForm1::SpeedButton1Click);
    connect(m_commandActions[2], &QAction::triggered, this, &TForm1::SpeedButton2Click);
    connect(m_commandActions[3], &QAction::triggered, this, &TForm1::SpeedButton3Click);
    connect(m_commandActions[4], &QAction::triggered, this, &TForm1::SpeedButton4Click);
    connect(m_commandActions[5], &QAction::triggered, this, &TForm1::SpeedButton5Click);
    connect(m_commandActions[6], &QAction::triggered, this, &TForm1::SpeedButton6Click);
    connect(m_commandActions[7], &QAction::triggered, this, &TForm1::SpeedButton7Click);
    connect(m_commandActions[8], &QAction::triggered, this, &TForm1::SpeedButton8Click);
    connect(m_commandActions[9], &QAction::triggered, this, &TForm1::SpeedButton9Click);
    connect(m_commandActions[10], &QAction::triggered, this, &TForm1::SpeedButton10Click);
    connect(m_navBar1, &TNavBar::itemClicked, this, &TForm1::NavBar1ItemClick);
    connect(m_flowChart1, &TFlowChartView::dblClick, this, &TForm1::FlowChart1DblClick);
    connect(m_memo1, &QPlainTextEdit::textChanged, this, &TForm1::Memo1Change);
    connect(m_listingBarText, &QLabel::linkActivated, this, &TForm1::ListingBarLinkClick);
    connect(m_memo1, &QPlainTextEdit::cursorPositionChanged, this, &TForm1::Memo1CursorMove);
    // A click on the line the cursor is already on moves no cursor: the release is watched too.
    m_memo1->viewport()->installEventFilter(this);
    connect(m_flowChart1, &TFlowChartView::selectionChanged, this,
            &TForm1::FlowChart1SelectionChange);
    connect(m_lineNumbersButton, &QToolButton::clicked, this, &TForm1::LineNumbersButtonClick);
    connect(m_problemsList, &QTreeWidget::itemClicked, this, &TForm1::ProblemsListClick);
    connect(m_problemsList, &QTreeWidget::itemActivated, this, &TForm1::ProblemsListClick);
    m_flowChart1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_flowChart1, &QWidget::customContextMenuRequested, this, [this](QPoint) {
        // The point of the menu is where the pointer is, over the canvas's viewport.
        const QPoint at = m_flowChart1->viewport()->mapFromGlobal(QCursor::pos());
        QMenu* menu = m_editing->contextMenuAt(at, this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (!menu->isEmpty())
            menu->popup(QCursor::pos());
        else
            menu->deleteLater();
    });
    // From the palette through the canvas to the program text and the problems.
    setTabOrder(m_navBar1, m_flowChart1);
    setTabOrder(m_flowChart1, m_memo1);
    setTabOrder(m_memo1, m_problemsList);
}

void TForm1::buildProblemsDock() {
    // Under the canvas and the text: what the program check finds, one row per finding.
    m_problemsDock = new QDockWidget(tr("Problems"), this);
    m_problemsDock->setObjectName("ProblemsDock");
    m_problemsDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_problemsDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::RightDockWidgetArea);
    m_problemsList = new QTreeWidget(m_problemsDock);
    m_problemsList->setObjectName("ProblemsList");
    m_problemsList->setColumnCount(2);
    m_problemsList->setHeaderLabels({tr("Block"), tr("Problem")});
    m_problemsList->setRootIsDecorated(false);
    m_problemsList->setUniformRowHeights(true);
    m_problemsList->setWordWrap(false);
    m_problemsList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_problemsList->header()->setStretchLastSection(true);
    m_problemsList->setColumnWidth(0, 70);
    m_problemsList->setFont(QApplication::font());
    m_problemsDock->setWidget(m_problemsList);
    addDockWidget(Qt::BottomDockWidgetArea, m_problemsDock);
    resizeDocks({m_problemsDock}, {96}, Qt::Vertical);
}

program::ProgramText TForm1::programLines() const {
    return files::SplitLines(platform::fromQString(m_memo1->toPlainText()));
}

void TForm1::setProgramLines(const program::ProgramText& lines) {
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        text.append(platform::toQString(line));
    m_settingText = true;
    m_memo1->setPlainText(text.join('\n'));
    m_settingText = false;
}

bool TForm1::generateListing() {
    program::ListingResult listing = program::generateListing(*m_chart);
    if (!listing.ok()) {
        m_prompts->showError(*listing.error);
        return false;
    }
    setProgramLines(listing.lines);
    statusBar()->showMessage(tr("Listing generated: %1 lines").arg(listing.lines.size()),
                             kStatusMessageTime);
    m_listing.generated(m_chart->Revision(), listing.lines, std::move(listing.lineBlocks));
    updateListingBar();
    updateLinks();
    return true;
}

void TForm1::chartChanged() {
    if (m_autosave)
        m_autosave->chartChanged();
    // Called for every block of a chart being read: only note that a refresh is due.
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        refresh();
    });
}

void TForm1::refresh() {
    updateCaption();
    updateStatementLabel();
    updateListingBar();
    updateLinks();
    checkProgram();
}

const std::vector<check::TFinding>& TForm1::findings() {
    checkProgram();
    return m_findings;
}

void TForm1::checkProgram() {
    if (m_checked && m_checkedRevision == m_chart->Revision())
        return;
    m_findings = check::CheckProgram(program::chartBlocks(*m_chart));
    m_checkedRevision = m_chart->Revision();
    m_checked = true;

    const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(m_findings.size()));
    TFcMarks marks;
    int errors = 0;
    for (const check::TFinding& finding : m_findings) {
        const bool error = finding.severity == check::TSeverity::Error;
        errors += error ? 1 : 0;
        const QString message = platform::Translated(finding.message);
        auto* row = new QTreeWidgetItem({QString::number(finding.block), message});
        row->setIcon(0, error ? errorIcon : warningIcon);
        row->setData(0, Qt::UserRole, static_cast<qulonglong>(finding.block));
        row->setToolTip(1, message);
        rows.append(row);
        // A block's mark shows its worst finding; its tip every finding, one per line.
        const TFcObject* block = m_chart->BlockAt(static_cast<int>(finding.block));
        if (!block)
            continue;
        const TFcMark::Level level = error ? TFcMark::Level::Error : TFcMark::Level::Warning;
        const auto [mark, added] = marks.try_emplace(block, TFcMark{level, message});
        if (added)
            continue;
        mark->second.message += '\n' + message;
        if (level == TFcMark::Level::Error)
            mark->second.level = level;
    }
    m_problemsList->clear();
    m_problemsList->addTopLevelItems(rows);
    m_flowChart1->setMarks(std::move(marks));

    const int warnings = static_cast<int>(m_findings.size()) - errors;
    QString title = tr("Problems");
    if (!m_findings.empty()) {
        const QString errorCount = errors == 1 ? tr("1 error") : tr("%1 errors").arg(errors);
        const QString warningCount =
            warnings == 1 ? tr("1 warning") : tr("%1 warnings").arg(warnings);
        const QString counts = errors > 0 && warnings > 0
                                   //: The number of errors, then that of warnings.
                                   ? tr("%1, %2").arg(errorCount, warningCount)
                                   : (errors > 0 ? errorCount : warningCount);
        //: The panel's title with what the check found.
        title = tr("Problems: %1").arg(counts);
    }
    m_problemsDock->setWindowTitle(title);
}

bool TForm1::sendDespiteErrors() {
    const std::vector<check::TFinding>& found = findings();
    const auto first = std::find_if(found.begin(), found.end(), [](const check::TFinding& f) {
        return f.severity == check::TSeverity::Error;
    });
    if (first == found.end())
        return true;
    const auto errors = std::count_if(found.begin(), found.end(), [](const check::TFinding& f) {
        return f.severity == check::TSeverity::Error;
    });
    const QString block = QString::number(first->block);
    const QString message = platform::Translated(first->message);
    const QString question =
        errors == 1
            ? tr("The program has an error, in block %1: %2\n\nSend it anyway?").arg(block, message)
            : tr("The program has %1 errors; the first, in block %2: %3\n\nSend it anyway?")
                  .arg(QString::number(errors), block, message);
    return m_prompts->askChoice(promptText(question), {platform::fromQString(tr("Send Anyway")),
                                                       platform::fromQString(tr("Cancel"))}) == 0;
}

void TForm1::updateListingBar() {
    m_listingBar->setVisible(m_listing.stale(m_chart->Revision()));
}

void TForm1::updateLinks() {
    highlightSelectedBlock(false);
    updateLineNumbers();
}

void TForm1::highlightSelectedBlock(bool reveal) {
    QList<QTextEdit::ExtraSelection> marked;
    std::vector<std::size_t> lines;
    if (m_listing.linked(m_chart->Revision()))
        if (const int block = m_chart->BlockNumberOf(m_flowChart1->chart().SelectedObject()))
            lines = m_listing.linesOfBlock(static_cast<std::size_t>(block));
    QTextDocument* document = m_memo1->document();
    for (const std::size_t line : lines) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(document->findBlockByNumber(static_cast<int>(line)));
        selection.format.setBackground(QColor(255, 230, 140));
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        marked.append(selection);
    }
    m_memo1->setExtraSelections(marked);
    if (!reveal || lines.empty())
        return;
    // A block picked on the canvas: its first line comes into view, unless the cursor is on
    // one of its lines already (the block was picked by its line).
    const auto cursorLine = static_cast<std::size_t>(m_memo1->textCursor().blockNumber());
    if (std::find(lines.begin(), lines.end(), cursorLine) != lines.end())
        return;
    m_revealingBlock = true;
    m_memo1->setTextCursor(
        QTextCursor(document->findBlockByNumber(static_cast<int>(lines.front()))));
    m_memo1->ensureCursorVisible();
    m_revealingBlock = false;
}

void TForm1::updateLineNumbers() {
    TFcSideLabels labels;
    if (m_lineNumbersButton->isChecked() && m_listing.linked(m_chart->Revision())) {
        const int blocks = m_chart->BlockCount();
        for (int n = 1; n <= blocks; ++n) {
            const std::string_view number = m_listing.firstLineNumber(static_cast<std::size_t>(n));
            if (!number.empty())
                labels.emplace(
                    m_chart->BlockAt(n),
                    QString::fromLatin1(number.data(), static_cast<qsizetype>(number.size())));
        }
    }
    m_flowChart1->setSideLabels(std::move(labels));
}

void TForm1::selectBlockOfTextLine() {
    if (m_settingText || m_revealingBlock || !m_listing.linked(m_chart->Revision()))
        return;
    const auto line = static_cast<std::size_t>(m_memo1->textCursor().blockNumber());
    TFcObject* block = m_chart->BlockAt(static_cast<int>(m_listing.blockOfLine(line)));
    if (!block)
        return;
    TFlowChart& canvas = m_flowChart1->chart();
    canvas.SelectObject(block);
    canvas.ScrollIntoView(block);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_flowChart1->viewport() && event->type() == QEvent::MouseMove)
        showCanvasPoint(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (watched == m_memo1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            m_memo1->insertPlainText("\t");
            return true;
        }
    }
    if (watched == m_memo1->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        !m_memo1->textCursor().hasSelection())
        selectBlockOfTextLine();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::Memo1Change() {
    updateRobotLabel();
    if (m_settingText)
        return;
    m_listing.changedByHand();
    updateListingBar();
    updateLinks();
}

void TForm1::Memo1CursorMove() {
    selectBlockOfTextLine();
}

void TForm1::FlowChart1SelectionChange() {
    highlightSelectedBlock(true);
    updateStatementLabel();
}

void TForm1::LineNumbersButtonClick() {
    updateLineNumbers();
}

void TForm1::ProblemsListClick(QTreeWidgetItem* item) {
    if (!item)
        return;
    TFcObject* block = m_chart->BlockAt(item->data(0, Qt::UserRole).toInt());
    if (!block)
        return;
    TFlowChart& canvas = m_flowChart1->chart();
    canvas.SelectObject(block);
    canvas.ScrollIntoView(block);
}

void TForm1::ListingBarLinkClick() {
    generateListing();
}

void TForm1::setPrompts(std::unique_ptr<files::TPrompts> prompts) {
    m_prompts = std::move(prompts);
    m_formDownload->setPrompts(m_prompts.get());
}

files::TStatus TForm1::openChartFile(const std::string& path) {
    files::TStatus opened = m_chartFile->OpenFile(path);
    if (opened)
        showFileResult({true, true, m_chartFile->OpenNote()});
    return opened;
}

void TForm1::openAtStart(const std::string& path) {
    if (files::TStatus opened = openChartFile(path); !opened)
        m_prompts->showError(TChartFile::WithErrorPlace(opened.errorMessage(), path));
}

void TForm1::showFileResult(const TChartFileResult& result) {
    updateCaption();
    // A new or opened chart has a history of its own; a save marks where the file stands.
    if (result.chartReplaced)
        m_editing->resetHistory();
    else if (result.done)
        m_editing->markSaved();
    // Saved, or replaced by a chart that is its file: nothing to recover.
    if (result.done)
        m_autosave->discard();
    if (result.chartReplaced) {
        m_settingText = true;
        m_memo1->clear();
        m_settingText = false;
        m_listing.emptied();
        updateListingBar();
        updateLinks();
    }
    const std::string& name = m_chartFile->CurrentFileName();
    if (result.done)
        rememberRecent(name);
    const QString shortName = QFileInfo(platform::toQString(name)).fileName();
    if (!result.note.empty())
        statusBar()->showMessage(platform::Translated(result.note));
    else if (result.done && !result.chartReplaced)
        statusBar()->showMessage(tr("Saved %1").arg(shortName), kStatusMessageTime);
    else if (result.done && !name.empty())
        statusBar()->showMessage(tr("Opened %1").arg(shortName), kStatusMessageTime);
    else if (result.done)
        statusBar()->showMessage(tr("New chart"), kStatusMessageTime);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Quitting asks first, then cancels the download between two packets.
    if (m_formDownload->downloading()) {
        if (m_prompts->askYesNoCancel(
                promptText(tr("A download to the robot is still running.\nStop it and quit?"))) !=
            files::TPrompts::Answer::Yes) {
            event->ignore();
            return;
        }
        m_formDownload->cancelAndWait();
    }
    // A changed chart is not thrown away without the same question new and open ask.
    const bool mayClose = m_chartFile->confirmClose(*m_prompts);
    showFileResult({}); // a save on the way may have named the chart
    if (mayClose) {
        m_autosave->discard(); // saved, or thrown away on purpose
        saveSettings();
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::SpeedButton1Click() {
    showFileResult(m_chartFile->commandNew(*m_prompts));
}

void TForm1::SpeedButton2Click() {
    showFileResult(m_chartFile->commandOpen(*m_prompts));
}

void TForm1::SpeedButton3Click() {
    showFileResult(m_chartFile->commandSave(*m_prompts));
}

void TForm1::SpeedButton4Click() {
    showFileResult(m_chartFile->commandSaveAs(*m_prompts));
}

void TForm1::SpeedButton5Click() {
    close();
}

void TForm1::SpeedButton6Click() {
    // A download can hang the port or end the lesson: the work is kept first.
    m_autosave->saveNow();
    // A listing of an older chart is not sent unasked; one typed or loaded is sent as it is.
    if (m_listing.stale(m_chart->Revision())) {
        const std::size_t choice = m_prompts->askChoice(
            platform::fromQString(tr("Generate the listing again before sending?")),
            {platform::fromQString(tr("Generate and Send")),
             platform::fromQString(tr("Send as it is")), platform::fromQString(tr("Cancel"))});
        if (choice == 0 && !generateListing())
            return;
        if (choice != 0 && choice != 1)
            return;
    }
    // The chart's own listing is not sent with errors in it unasked.
    if (m_listing.linked(m_chart->Revision()) && !sendDespiteErrors())
        return;
    // The lines joined with CR LF, with no line end after the last one.
    std::string text = files::JoinLines(programLines());
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    m_formDownload->showForProgram(text);
}

void TForm1::SpeedButton7Click() {
    generateListing();
}

void TForm1::SpeedButton8Click() {
    m_formAbout->exec();
}

void TForm1::SpeedButton9Click() {
    program::saveTextCommand(programLines(), *m_prompts);
}

void TForm1::SpeedButton10Click() {
    program::ProgramText lines = programLines();
    if (program::loadTextCommand(lines, *m_prompts)) {
        setProgramLines(lines);
        m_listing.changedByHand();
        updateListingBar();
        updateLinks();
    }
}

void TForm1::NavBar1ItemClick(int blockType) {
    if (const std::optional<BlockType> type = BlockTypeFrom(blockType))
        m_editing->insertBlock(*type);
}

void TForm1::FlowChart1DblClick() {
    const TFcObject* selected = m_flowChart1->chart().SelectedObject();
    const std::optional<BlockType> type =
        selected ? BlockTypeOfKind(selected->Kind) : std::optional<BlockType>();
    if (!type || m_chart->BlockNumberOf(selected) < 1)
        return;
    m_editing->editInPlace(
        [this] {
            editors::editSelectedBlock(
                *m_chart,
                [this](BlockType type, const std::string& record) {
                    return m_editors->editBlock(type, record);
                },
                [this](const files::TMessage& message) { m_prompts->showError(message); },
                {.offerNames =
                     [this](const std::vector<std::string>& names) {
                         m_editors->setNameChoices(names);
                     },
                 .confirm =
                     [this](const std::string& question) {
                         return m_prompts->askChoice(question, {platform::fromQString(tr("Yes")),
                                                                platform::fromQString(tr("No"))}) ==
                                0;
                     },
                 .removeBlock = [this](TFcObject* block) { m_editing->removeBlock(block); }});
        },
        *type);
}
