#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs inside one QApplication on the offscreen platform, so
// widget tests use real widgets and the logic tests cost nothing extra.
int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
