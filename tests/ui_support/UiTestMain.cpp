#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The widget tests' main(): a plain QApplication, not the program's own application object.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    // Qt's own dialogs keep their state in a configuration folder of the tests' own.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
