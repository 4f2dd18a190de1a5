#include <QCoreApplication>
#include <gtest/gtest.h>

// Test programs of layers that use Qt's event loop (timers) but no widgets.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
