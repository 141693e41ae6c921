// The main window's commands as actions shared by the toolbar and the menu bar, the status
// bar, the caption, the places and sizes remembered between runs, recent files and charts
// dropped on the window.
#include "app/Autosave.h"
#include "app/ChartEditing.h"
#include "app/NavBar.h"
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/AppTitle.h"
#include "chart/Chart.h"
#include "chart/ChartSelection.h"
#include "download/window/frmDownload.h"
#include "files/Files.h"
#include "platform/i18n/Language.h"
#include "platform/text/CodePage.h"
#include "program/BlockStatements.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The commands of the toolbar buttons: button number, menu text, what it does, shortcut (the
// platform's standard key, or a key of our own).
struct Command {
    int number;
    const char* text;
    const char* tip;
    QKeySequence::StandardKey standard;
    int key;

    // Made once the application is there: standard keys come from the platform.
    QKeySequence shortcut() const {
        return standard != QKeySequence::UnknownKey ? QKeySequence(standard) : QKeySequence(key);
    }
};

constexpr QKeySequence::StandardKey kNoStandard = QKeySequence::UnknownKey;
// The texts are translated where the actions are made (TForm1's context).
const Command kCommands[] = {
    {1, QT_TRANSLATE_NOOP("TForm1", "&New"), QT_TRANSLATE_NOOP("TForm1", "Start a new chart"),
     QKeySequence::New, 0},
    {2, QT_TRANSLATE_NOOP("TForm1", "&Open..."), QT_TRANSLATE_NOOP("TForm1", "Open a chart file"),
     QKeySequence::Open, 0},
    {3, QT_TRANSLATE_NOOP("TForm1", "&Save"), QT_TRANSLATE_NOOP("TForm1", "Save the chart"),
     QKeySequence::Save, 0},
    {4, QT_TRANSLATE_NOOP("TForm1", "Save &As..."),
     QT_TRANSLATE_NOOP("TForm1", "Save the chart under a new name"), QKeySequence::SaveAs, 0},
    {5, QT_TRANSLATE_NOOP("TForm1", "E&xit"), QT_TRANSLATE_NOOP("TForm1", "Close the editor"),
     QKeySequence::Quit, 0},
    {6, QT_TRANSLATE_NOOP("TForm1", "&Download..."),
     QT_TRANSLATE_NOOP("TForm1", "Send the program to the robot"), kNoStandard, Qt::Key_F9},
    {7, QT_TRANSLATE_NOOP("TForm1", "&Generate"),
     QT_TRANSLATE_NOOP("TForm1", "Generate the program listing"), kNoStandard, Qt::Key_F5},
    {8, QT_TRANSLATE_NOOP("TForm1", "&About"), QT_TRANSLATE_NOOP("TForm1", "About this program"),
     kNoStandard, 0},
    {9, QT_TRANSLATE_NOOP("TForm1", "Save Program &Text..."),
     QT_TRANSLATE_NOOP("TForm1", "Save the program text to a file"), kNoStandard, 0},
    {10, QT_TRANSLATE_NOOP("TForm1", "&Load Program Text..."),
     QT_TRANSLATE_NOOP("TForm1", "Replace the program text with a text file"), kNoStandard, 0},
};

constexpr int kRecentFiles = 8;
constexpr const char* kRecentKey = "files/recent";

// "Generate the program listing (F5)".
QString tipWithKey(const QString& tip, const QKeySequence& key) {
    if (key.isEmpty())
        return tip;
    //: A tip followed by its shortcut key.
    return QCoreApplication::translate("TForm1", "%1 (%2)")
        .arg(tip, key.toString(QKeySequence::NativeText));
}

// A menu text as a name: "Save As" of "Save &As...", "另存为" of "另存为(&A)...".
QString plainText(QString menuText) {
    static const QRegularExpression accelerator(QStringLiteral("\\(&[^)]\\)"));
    return menuText.remove(accelerator).remove('&').remove("...").remove(QChar(0x2026));
}

// The button shows the action (the button's picture, the action's tip) and triggers it when
// clicked; it keeps its place on the toolbar.
void showOnButton(QAction* action, QToolButton* button) {
    action->setIcon(button->icon());
    const QRect place = button->geometry();
    button->setDefaultAction(action);
    button->setGeometry(place);
    button->setAccessibleName(plainText(action->text()));
    button->setAccessibleDescription(action->toolTip());
}

bool isChartFile(const QString& path) {
    return TChartFile::HasChartExtension(platform::fromQString(path));
}

} // namespace

void TForm1::buildActions() {
    for (const Command& c : kCommands) {
        auto* action = new QAction(tr(c.text), this);
        action->setObjectName(QString("Command%1").arg(c.number));
        const QKeySequence key = c.shortcut();
        if (!key.isEmpty())
            action->setShortcut(key);
        const QString tip = tipWithKey(tr(c.tip), key);
        action->setToolTip(tip);
        action->setStatusTip(tr(c.tip));
        showOnButton(action, m_speedButtons[c.number]);
        m_commandActions[c.number] = action;
    }
    m_checkAction = new QAction(tr("&Check Program"), this);
    m_checkAction->setObjectName("CheckProgramAction");
    m_checkAction->setStatusTip(tr("Look for problems in the program and list them"));
    m_checkAction->setToolTip(m_checkAction->statusTip());
    connect(m_checkAction, &QAction::triggered, this, [this] {
        checkProgram();
        m_problemsDock->show();
        m_problemsDock->raise();
        statusBar()->showMessage(m_problemsDock->windowTitle(), kStatusMessageTime);
    });
    m_lineNumbersButton->setAccessibleName(tr("Line numbers"));
    m_lineNumbersButton->setAccessibleDescription(m_lineNumbersButton->toolTip());
    // Every control a screen reader meets has a name.
    m_flowChart1->setAccessibleName(tr("Chart"));
    m_flowChart1->setAccessibleDescription(
        tr("The program as a chain of blocks: arrows move, Enter edits, Delete removes"));
    m_memo1->setAccessibleName(tr("Program text"));
    m_memo1->setAccessibleDescription(tr("The BASIC listing sent to the robot"));
    m_navBar1->setAccessibleName(tr("Block palette"));
    m_problemsList->setAccessibleName(tr("Problems"));
    m_listingBarText->setAccessibleName(tr("The listing is older than the chart"));
}

void TForm1::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("FileMenu");
    file->addAction(m_commandActions[1]);
    file->addAction(m_commandActions[2]);
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    m_recentMenu->setObjectName("RecentMenu");
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TForm1::updateRecentMenu);
    updateRecentMenu();
    file->addAction(m_commandActions[3]);
    file->addAction(m_commandActions[4]);
    file->addSeparator();
    QAction* exportAction = file->addAction(tr("&Export..."));
    exportAction->setObjectName("ExportAction");
    exportAction->setShortcut(QKeySequence("Ctrl+E"));
    exportAction->setStatusTip(tr("Write the chart as a PNG or SVG picture or as PDF pages"));
    connect(exportAction, &QAction::triggered, this, &TForm1::exportChart);
    QAction* printAction = file->addAction(tr("&Print..."));
    printAction->setObjectName("PrintAction");
    printAction->setShortcut(QKeySequence::Print);
    printAction->setStatusTip(tr("Print the chart, cut into pages between blocks"));
    connect(printAction, &QAction::triggered, this, &TForm1::printChart);
    for (QAction* action : {exportAction, printAction}) {
        action->setToolTip(tipWithKey(action->statusTip(), action->shortcut()));
        addAction(action);
    }
    file->addSeparator();
    file->addAction(m_commandActions[5]);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName("EditMenu");
    edit->addAction(m_editing->undoAction());
    edit->addAction(m_editing->redoAction());
    edit->addSeparator();
    edit->addAction(m_editing->cutAction());
    edit->addAction(m_editing->copyAction());
    edit->addAction(m_editing->pasteAction());
    edit->addAction(m_editing->duplicateAction());
    edit->addAction(m_editing->deleteAction());
    edit->addSeparator();
    edit->addAction(m_editing->selectAllAction());
    edit->addAction(m_editing->editAction());

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName("ViewMenu");
    auto zoomAction = [this, view](const char* name, const char* text, const char* tip,
                                   QList<QKeySequence> keys, auto&& slot) {
        auto* action = view->addAction(tr(text));
        action->setObjectName(name);
        action->setShortcuts(keys);
        action->setToolTip(tipWithKey(tr(tip), keys.isEmpty() ? QKeySequence() : keys.front()));
        action->setStatusTip(tr(tip));
        connect(action, &QAction::triggered, m_flowChart1, slot);
        addAction(action);
        return action;
    };
    QList<QKeySequence> zoomInKeys = QKeySequence::keyBindings(QKeySequence::ZoomIn);
    // Ctrl with the key that holds "+" unshifted on most keyboards.
    if (!zoomInKeys.contains(QKeySequence("Ctrl+=")))
        zoomInKeys.append(QKeySequence("Ctrl+="));
    zoomAction("ZoomInAction", QT_TR_NOOP("Zoom &In"), QT_TR_NOOP("Show the chart larger"),
               zoomInKeys, &TFlowChartView::zoomIn);
    zoomAction("ZoomOutAction", QT_TR_NOOP("Zoom &Out"), QT_TR_NOOP("Show the chart smaller"),
               QKeySequence::keyBindings(QKeySequence::ZoomOut), &TFlowChartView::zoomOut);
    zoomAction("ActualSizeAction", QT_TR_NOOP("&Actual Size"),
               QT_TR_NOOP("Show the chart at 100 %"), {QKeySequence("Ctrl+0")},
               &TFlowChartView::resetZoom);
    zoomAction("FitWidthAction", QT_TR_NOOP("Fit &Width"),
               QT_TR_NOOP("Show the chart as wide as the canvas"), {}, &TFlowChartView::fitWidth);
    view->addSeparator();
    buildLanguageMenu(view);

    QMenu* program = menuBar()->addMenu(tr("&Program"));
    program->setObjectName("ProgramMenu");
    program->addAction(m_commandActions[7]);
    program->addAction(m_commandActions[9]);
    program->addAction(m_commandActions[10]);
    program->addSeparator();
    program->addAction(m_checkAction);

    QMenu* robot = menuBar()->addMenu(tr("&Robot"));
    robot->setObjectName("RobotMenu");
    robot->addAction(m_commandActions[6]);
    m_sendAction = robot->addAction(tr("&Send to Robot"));
    m_sendAction->setObjectName("SendToRobotAction");
    m_sendAction->setShortcut(QKeySequence("Shift+F9"));
    m_sendAction->setStatusTip(tr("Generate if the chart changed and send the program to the "
                                  "robot on the last port used"));
    m_sendAction->setToolTip(tipWithKey(m_sendAction->statusTip(), m_sendAction->shortcut()));
    showOnButton(m_sendAction, m_sendButton);
    addAction(m_sendAction);
    connect(m_sendAction, &QAction::triggered, this, &TForm1::sendToRobot);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("HelpMenu");
    help->addAction(m_commandActions[8]);
    buildHelpMenus(file, help);
    // The shortcuts work wherever the focus is in the window.
    for (QAction* action : m_commandActions)
        if (action)
            addAction(action);
}

void TForm1::buildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    m_statementLabel = new QLabel(statusBar());
    m_statementLabel->setObjectName("StatementLabel");
    m_statementLabel->setAccessibleName(tr("Statement of the selected block"));
    m_statementLabel->setContentsMargins(12, 0, 4, 0);
    statusBar()->addPermanentWidget(m_statementLabel);
    m_robotLabel = new QLabel(statusBar());
    m_robotLabel->setObjectName("RobotLabel");
    m_robotLabel->setAccessibleName(tr("What the robot holds"));
    m_robotLabel->setContentsMargins(12, 0, 4, 0);
    statusBar()->addPermanentWidget(m_robotLabel);
    m_zoomLabel = new QLabel(statusBar());
    m_zoomLabel->setObjectName("ZoomLabel");
    m_zoomLabel->setAccessibleName(tr("Zoom"));
    m_zoomLabel->setContentsMargins(12, 0, 4, 0);
    m_zoomLabel->setToolTip(
        tr("Zoom of the chart: Ctrl with the wheel, Ctrl+plus, Ctrl+minus, Ctrl+0"));
    statusBar()->addPermanentWidget(m_zoomLabel);
    auto showZoom = [this](double zoom) {
        m_zoomLabel->setText(QString("%1 %").arg(qRound(zoom * 100)));
    };
    connect(m_flowChart1, &TFlowChartView::zoomChanged, this, showZoom);
    showZoom(m_flowChart1->zoom());
    // What the pointer is over on the canvas, said while nothing else is.
    m_flowChart1->viewport()->setMouseTracking(true);
    m_flowChart1->viewport()->installEventFilter(this);
}

void TForm1::showCanvasPoint(QPoint viewportPoint) {
    const TFcObject* object =
        m_flowChart1->chart().HitTest(m_flowChart1->canvasPoint(viewportPoint)).object;
    // Said once as the pointer comes onto an object, not again for every move over it.
    if (object == m_hoverObject)
        return;
    m_hoverObject = object;
    const QString about = describeObject(object);
    if (!about.isEmpty())
        statusBar()->showMessage(about, kStatusMessageTime);
}

QString TForm1::describeObject(const TFcObject* object) const {
    if (!object)
        return {};
    if (const int number = m_chart->BlockNumberOf(object)) {
        const QString statement = statementOf(object);
        //: The block's number, its caption, then two spaces and its statements (or nothing).
        return tr("Block %1: %2%3")
            .arg(QString::number(number), platform::toQString(object->Text()),
                 statement.isEmpty() ? QString() : "  " + statement);
    }
    if (m_chart->SpotNumberOf(object) >= 0)
        return tr("Insertion spot: select it, then click a block in the palette to insert it here");
    return {};
}

QString TForm1::statementOf(const TFcObject* block) const {
    std::vector<std::string> statements;
    if (program::blockStatementTexts(block->Kind, block->Payload, statements))
        return {}; // a record that does not read
    QStringList texts;
    for (const std::string& statement : statements)
        texts << platform::toQString(statement);
    return texts.join("; ");
}

void TForm1::updateStatementLabel() {
    const TChartSelection selection = selectionOf(*m_chart);
    QString text;
    if (selection.isBlocks() && selection.count == 1)
        text = statementOf(m_chart->BlockAt(selection.first));
    else if (selection.isBlocks())
        text = tr("%1 blocks selected").arg(selection.count);
    m_statementLabel->setText(text);
}

void TForm1::updateCaption() {
    // "[*]" is where the toolkit shows that the chart differs from its file.
    setWindowTitle(platform::toQString(m_chartFile->CaptionText()) + "[*]");
    const bool changed = m_chartFile->CurrentFileName().empty() ? !m_chart->IsEmptyChart()
                                                                : m_chartFile->IsChartChanged();
    setWindowModified(changed);
}

// ---- places remembered between runs ----

void TForm1::restoreSettings() {
    QSettings settings;
    if (!restoreGeometry(settings.value("window/geometry").toByteArray())) {
        // A first run: most of the screen the window opens on, centred.
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
        QSize size(std::min(1000, screen.width() * 9 / 10),
                   std::min(700, screen.height() * 9 / 10));
        size = size.expandedTo(QSize(610, 436));
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, screen));
    }
    restoreState(settings.value("window/state").toByteArray());
    if (!m_splitter1->restoreState(settings.value("window/splitter").toByteArray())) {
        // The canvas takes the larger share of the first width, the text the rest.
        const int width = std::max(460, this->width() - m_navBar1->width());
        m_splitter1->setSizes({width * 11 / 20, width * 9 / 20});
    }
    m_flowChart1->setZoom(settings.value("view/zoom", 1.0).toDouble());
    m_formDownload->setLastPort(settings.value("robot/lastPort").toString());
    m_formDownload->programMemory().load(settings.value("robot/programs").toString().toStdString());
    const int group = settings.value("palette/group", 0).toInt();
    if (group >= 0 && group < m_navBar1->count())
        m_navBar1->setCurrentIndex(group);
}

void TForm1::saveSettings() const {
    QSettings settings;
    settings.setValue("window/geometry", saveGeometry());
    settings.setValue("window/state", saveState());
    settings.setValue("window/splitter", m_splitter1->saveState());
    settings.setValue("palette/group", m_navBar1->currentIndex());
    settings.setValue("view/zoom", m_flowChart1->zoom());
    if (!m_formDownload->lastPort().isEmpty())
        settings.setValue("robot/lastPort", m_formDownload->lastPort());
    settings.setValue("robot/programs",
                      QString::fromStdString(m_formDownload->programMemory().save()));
}

// ---- recent files ----

QStringList TForm1::recentFiles() const {
    return QSettings().value(kRecentKey).toStringList();
}

void TForm1::rememberRecent(const std::string& path) {
    if (path.empty())
        return;
    const QString name = QFileInfo(platform::toQString(path)).absoluteFilePath();
    QStringList recent = recentFiles();
    recent.removeAll(name);
    recent.prepend(name);
    while (recent.size() > kRecentFiles)
        recent.removeLast();
    QSettings().setValue(kRecentKey, recent);
}

void TForm1::updateRecentMenu() {
    m_recentMenu->clear();
    const QStringList recent = recentFiles();
    for (int i = 0; i < recent.size(); ++i) {
        const QString& path = recent[i];
        QAction* action =
            m_recentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] { openAsked(path); });
    }
    if (recent.isEmpty()) {
        m_recentMenu->addAction(tr("No recent charts"))->setEnabled(false);
        return;
    }
    m_recentMenu->addSeparator();
    connect(m_recentMenu->addAction(tr("&Clear the List")), &QAction::triggered, this,
            [] { QSettings().remove(kRecentKey); });
}

void TForm1::openAsked(const QString& path) {
    if (!m_chartFile->askSaveChanges(*m_prompts)) {
        showFileResult({}); // a save on the way may have named the chart
        return;
    }
    const std::string name = platform::fromQString(path);
    if (files::TStatus opened = openChartFile(name); !opened) {
        m_prompts->showError(TChartFile::WithErrorPlace(opened.errorMessage(), name));
        // A chart that is gone or broken leaves the list.
        QStringList recent = recentFiles();
        if (!QFileInfo::exists(path) && recent.removeAll(path) > 0)
            QSettings().setValue(kRecentKey, recent);
    }
}

// ---- charts dropped on the window ----

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && data->urls().size() == 1 && data->urls().front().isLocalFile() &&
        isChartFile(data->urls().front().toLocalFile()))
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    const QString path = urls.front().toLocalFile();
    // The question may open a dialog: answered once the drop is over.
    QTimer::singleShot(0, this, [this, path] { openAsked(path); });
}

// ---- Send to Robot ----

void TForm1::sendToRobot() {
    // The chart's own listing, made again when the chart changed since; a typed or loaded text
    // goes as it is.
    if (m_listing.stale(m_chart->Revision()) || m_memo1->toPlainText().isEmpty())
        if (!generateListing())
            return;
    if (m_listing.linked(m_chart->Revision()) && !sendDespiteErrors())
        return;
    m_autosave->saveNow();
    std::string text = files::JoinLines(programLines());
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    if (m_formDownload->sendToRobot(text))
        statusBar()->showMessage(tr("Connecting to the robot"));
}

void TForm1::connectDownload() {
    connect(m_formDownload, &TFormDownload::stageChanged, this,
            [this](const QString& text, int, int) {
                if (!m_formDownload->isVisible())
                    statusBar()->showMessage(text);
            });
    connect(m_formDownload, &TFormDownload::downloadFinished, this,
            [this](bool, const QString& text, const QString& remedy) {
                statusBar()->showMessage(remedy.isEmpty() ? text : text + " " + remedy,
                                         kStatusMessageTime * 2);
                updateRobotLabel();
            });
    connect(m_formDownload, &TFormDownload::lastPortChanged, this, &TForm1::updateRobotLabel);
}

void TForm1::updateRobotLabel() {
    // Whether the robot on the last port used holds the program text as it is now.
    std::string text = files::JoinLines(programLines());
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    m_robotLabel->setText(text.empty() ? QString() : m_formDownload->robotProgramStatus(text));
}

// ---- the interface's language ----

void TForm1::buildLanguageMenu(QMenu* view) {
    QMenu* menu = view->addMenu(tr("&Language"));
    menu->setObjectName("LanguageMenu");
    auto* group = new QActionGroup(menu);
    const QString chosen = platform::ChosenLanguage(QSettings());
    QStringList choices{QString(), QStringLiteral("en")};
    choices += platform::TranslatedLanguages();
    for (const QString& language : choices) {
        // Each language is named in its own tongue, so that a person finds theirs whatever the
        // interface speaks now.
        QAction* action = menu->addAction(language.isEmpty() ? tr("System language")
                                                             : platform::LanguageName(language));
        action->setObjectName(language.isEmpty() ? QStringLiteral("LanguageSystem")
                                                 : QStringLiteral("Language_") + language);
        action->setCheckable(true);
        action->setChecked(language == chosen);
        action->setData(language);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language] { LanguageClick(language); });
    }
}

void TForm1::LanguageClick(const QString& language) {
    QSettings settings;
    platform::SetChosenLanguage(settings, language);
    const QString next = platform::EffectiveLanguage(language);
    const QString name = platform::LanguageName(next);
    if (next == platform::InstalledLanguage()) {
        statusBar()->showMessage(tr("The editor speaks %1.").arg(name), kStatusMessageTime);
        return;
    }
    // The windows keep their words until the next start, so nothing open is lost; the note is
    // written in the language shown now and in the one chosen, so that either reader follows.
    static const char* const note =
        QT_TR_NOOP("The editor speaks %1 from its next start. Everything open stays as it is.");
    QString text = tr(note).arg(name);
    const QString there = platform::TranslateIn(next, "TForm1", note).arg(name);
    if (there != text)
        text += "\n\n" + there;
    m_prompts->showMessage(files::TPrompts::Severity::Information, platform::fromQString(text));
}
