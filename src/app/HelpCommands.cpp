// The main window's Help and Examples: the guide in its tool window (F1, and F1 in a block's
// dialog for that block's page), and the bundled example charts in File > Examples and
// Help > Examples.
#include "app/HelpPages.h"
#include "app/HelpWindow.h"
#include "app/Unit1.h"
#include "chart/ChartExample.h"
#include "editors/EditorDialogs.h"
#include "platform/text/CodePage.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QStatusBar>

void TForm1::buildHelpMenus(QMenu* file, QMenu* help) {
    help::initResources();
    auto* guide = new QAction(tr("&Guide"), this);
    guide->setObjectName(QStringLiteral("GuideAction"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    guide->setStatusTip(tr("How to build, check and send a program, block by block"));
    guide->setToolTip(tr("The guide (F1)"));
    connect(guide, &QAction::triggered, this, [this] { showHelp(QString()); });
    addAction(guide);

    // One action per example, listed in both menus.
    auto* examples = new QMenu(tr("&Examples"), this);
    examples->setObjectName(QStringLiteral("ExamplesMenu"));
    for (const help::TExample& example : help::examples()) {
        QAction* open = examples->addAction(help::exampleTitle(example));
        open->setObjectName(QStringLiteral("Example_") + QLatin1String(example.name));
        open->setStatusTip(help::exampleTip(example));
        connect(open, &QAction::triggered, this,
                [this, name = QString::fromLatin1(example.name)] { openExample(name); });
    }

    QAction* about = commandAction(8);
    help->insertAction(about, guide);
    help->insertMenu(about, examples);
    help->insertSeparator(about);
    // File > Examples below Open Recent.
    const QList<QAction*> fileActions = file->actions();
    const qsizetype recent = fileActions.indexOf(m_recentMenu->menuAction());
    QAction* below =
        recent >= 0 && recent + 1 < fileActions.size() ? fileActions[recent + 1] : nullptr;
    file->insertMenu(below, examples);

    m_editors->setHelpHook(
        [this](BlockType type, QWidget* dialog) { showHelp(help::blockPage(type), dialog); });
}

THelpWindow* TForm1::helpWindow() {
    if (!m_helpWindow) {
        m_helpWindow = new THelpWindow(this);
        connect(m_helpWindow, &THelpWindow::exampleRequested, this, &TForm1::openExample);
    }
    return m_helpWindow;
}

void TForm1::showHelp(const QString& page, QWidget* over) {
    THelpWindow* window = helpWindow();
    if (auto* dialog = qobject_cast<QDialog*>(over); dialog && dialog->isVisible()) {
        window->stayWith(dialog);
        // Back with the main window when the dialog closes, still open if it was.
        connect(
            dialog, &QDialog::finished, window, [this, window] { window->stayWith(this); },
            Qt::SingleShotConnection);
    } else {
        window->stayWith(this);
    }
    window->showPage(page);
    if (over)
        window->keepClearOf(over);
}

bool TForm1::openExample(const QString& name) {
    const help::TExample* example = help::findExample(name);
    if (!example)
        return false;
    QFile file(help::exampleResource(*example));
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts->showError(platform::fromQString(
            tr("The example %1 is missing.").arg(help::exampleTitle(*example))));
        return false;
    }
    const QByteArray bytes = file.readAll();
    // The example is named in the messages as its menu entry names it.
    const std::string title = platform::fromQString(help::exampleTitle(*example));
    const TChartFileResult result = OpenExampleChart(
        *m_chartFile, *m_prompts, std::string_view(bytes.data(), bytes.size()), title);
    showFileResult(result);
    return result.done;
}
