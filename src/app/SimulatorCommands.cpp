// The simulator in the main window: Robot > Simulate (Ctrl+R), its toolbar button, and the
// panel docked under the chart, fed from the program text.
#include "app/SimulatorCommands.h"

#include "app/Unit1.h"
#include "chart/Chart.h"
#include "platform/text/CodePage.h"
#include "program/ListingFreshness.h"
#include "sim/view/SimulatorPanel.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolButton>

TSimulatorPanel* InstallSimulator(TForm1& window, std::vector<std::string> phrases) {
    TSimulatorPanel::THooks hooks;
    hooks.programLines = [&window] {
        std::vector<std::string> lines;
        const QStringList text = window.programText()->toPlainText().split('\n');
        for (const QString& line : text)
            lines.push_back(platform::fromQString(line));
        return lines;
    };
    hooks.textIsStale = [&window] {
        return window.listingState().stale(window.chart().Revision());
    };
    hooks.showLine = [&window](std::optional<std::size_t> line) {
        QPlainTextEdit* memo = window.programText();
        if (!line) {
            return;
        }
        const QTextBlock block = memo->document()->findBlockByNumber(static_cast<int>(*line));
        if (!block.isValid())
            return;
        // The cursor on the line: where the chart made the listing, its block is selected on
        // the canvas and its lines marked; a typed text gets the line marked here.
        if (memo->textCursor().blockNumber() != static_cast<int>(*line))
            memo->setTextCursor(QTextCursor(block));
        memo->ensureCursorVisible();
        if (!window.listingState().linked(window.chart().Revision())) {
            QTextEdit::ExtraSelection running;
            running.cursor = QTextCursor(block);
            running.format.setBackground(QColor(200, 240, 200));
            running.format.setProperty(QTextFormat::FullWidthSelection, true);
            memo->setExtraSelections({running});
        }
    };
    // A floor of the pupil's own is suggested beside the chart, under its name.
    hooks.chartFile = [&window] { return window.chartFile().CurrentFileName(); };
    auto* panel = new TSimulatorPanel(&window, std::move(hooks), std::move(phrases));
    // Under the chart and the text, beside the problems, so neither gets narrower.
    window.addDockWidget(Qt::BottomDockWidgetArea, panel);
    if (QDockWidget* problems = window.problemsDock())
        window.tabifyDockWidget(problems, panel);
    panel->hide();

    auto* simulate =
        new QAction(QCoreApplication::translate("SimulatorCommands", "Si&mulate"), &window);
    simulate->setObjectName("SimulateAction");
    simulate->setShortcut(QKeySequence("Ctrl+R"));
    simulate->setStatusTip(QCoreApplication::translate(
        "SimulatorCommands", "Run the program on a simulated robot, without the robot"));
    // The tip with its key, as the window's other commands show it.
    simulate->setToolTip(
        QCoreApplication::translate("TForm1", "%1 (%2)")
            .arg(simulate->statusTip(), simulate->shortcut().toString(QKeySequence::NativeText)));
    simulate->setIcon(QIcon(":/toolbar/simulate.svg"));
    QObject::connect(simulate, &QAction::triggered, panel, [panel] {
        panel->show();
        panel->raise();
        panel->run();
    });
    window.addAction(simulate);
    if (auto* robot = window.findChild<QMenu*>("RobotMenu"))
        robot->addAction(simulate);
    // The window's own toolbar strip (the download window has a Panel1 of its own).
    if (auto* toolbar =
            window.centralWidget()->findChild<QWidget*>("Panel1", Qt::FindDirectChildrenOnly)) {
        auto* button = new QToolButton(toolbar);
        button->setObjectName("SimulateButton");
        button->setAutoRaise(true);
        button->setDefaultAction(simulate);
        button->setGeometry(580, 2, 32, 32);
        button->setIconSize(QSize(30, 30));
        button->setAccessibleName(QCoreApplication::translate("SimulatorCommands", "Simulate"));
        button->show();
    }
    return panel;
}
