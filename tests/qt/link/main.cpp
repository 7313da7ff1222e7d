#include <gtest/gtest.h>

#include <QCoreApplication>

// Sockets and child processes need an application object for their events.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
