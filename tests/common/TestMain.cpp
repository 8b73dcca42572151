#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The engine's tests need no display: an event loop for the port's notices and the protocol's
// waits is all.
int main(int argc, char** argv) {
    // The history file and the backups of every test run, and of the programs it starts, go to
    // a folder of the run's own, never the user's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
