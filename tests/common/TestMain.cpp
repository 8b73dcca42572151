#include <QCoreApplication>
#include <gtest/gtest.h>

// The engine's tests need no display: an event loop for the port's notices and the protocol's
// waits is all.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
