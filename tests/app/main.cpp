#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The main window tests drive the real window: one QApplication for the whole run, on the
// offscreen platform unless the caller chose another (test discovery at build time sets none).
// The windows' autosaves and settings go to a data folder of the run's own, never the user's (a run
// started by another to stand for a second editor shares its caller's).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir data;
    if (data.isValid() && qEnvironmentVariableIsEmpty("ZOLVANE_AUTOSAVE_PROBE")) {
        qputenv("XDG_DATA_HOME", (data.path() + "/data").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (data.path() + "/config").toLocal8Bit());
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
