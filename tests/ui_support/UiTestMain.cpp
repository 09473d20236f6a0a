#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

// The one main() of the widget tests: a plain QApplication, so that every window can be
// tested without the program's own application object.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
