#include <QApplication>
#include <gtest/gtest.h>

// The download window tests drive the real window: one QApplication for the whole run, on the
// offscreen platform unless the caller chose another (test discovery at build time sets none).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#if defined(__SANITIZE_THREAD__)
    // The serial ports' threads are woken through their event loops. Glib's
    // loop does that with an eventfd behind Qt's own locks, which the thread
    // sanitizer cannot see; Qt's own loop does it inside Qt, whose hand-overs
    // tests/tsan.supp already names.
    qputenv("QT_NO_GLIB", "1");
#endif
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
