#include "app/Unit1.h"
#include "chart/AppTitle.h"
#include "platform/i18n/Language.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

namespace {

// Ends the program once the window has been painted for the first time: the start-up
// benchmark measures launch to first paint from outside the process with it.
class TQuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Short, stable names for the user's data and settings folders; the long title is what
    // the desktop shows.
    QApplication::setOrganizationName("ZOLVANE");
    QApplication::setApplicationName("zolvane-flowchart");
    // Taskbars tie the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName("org.zolvane.FlowChart");
    // The interface speaks the language chosen in View > Language, or the system's.
    platform::InstallTranslations(
        platform::EffectiveLanguage(platform::ChosenLanguage(QSettings())));
    QStringList arguments = QApplication::arguments();
    const bool quitAfterPaint = arguments.removeAll("--quit-after-first-paint") > 0;
    TForm1 form;
    TQuitAfterFirstPaint quitter;
    if (quitAfterPaint)
        form.installEventFilter(&quitter);
    form.show();
    // A chart named on the command line (a double click in the file manager) opens at once.
    if (arguments.size() > 1)
        form.openAtStart(arguments.at(1).toLocal8Bit().toStdString());
    return QApplication::exec();
}
