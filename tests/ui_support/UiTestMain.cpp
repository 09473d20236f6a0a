#include <QApplication>
#include <gtest/gtest.h>

// The one main() of the widget tests: widgets need a QApplication before any is created.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
