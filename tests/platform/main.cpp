// The platform tests' main: one QCoreApplication for the whole run, so the
// serial port has an event loop to deliver received bytes and queued writes.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
