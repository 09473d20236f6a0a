#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Runs `cmake --install` of the current build folder into a fresh prefix, as a packager would.
class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(prefix->isValid());
        QProcess cmake;
        cmake.setProcessChannelMode(QProcess::MergedChannels);
        cmake.start("cmake", {"--install", LUMICUT_BUILD_DIR, "--prefix", prefix->path()});
        ASSERT_TRUE(cmake.waitForFinished(60000)) << "cmake --install did not finish";
        output = QString::fromLocal8Bit(cmake.readAll());
        exitCode = cmake.exitCode();
    }
    static void TearDownTestSuite() { prefix.reset(); }

    void SetUp() override {
        ASSERT_TRUE(prefix) << "no install prefix";
        ASSERT_EQ(exitCode, 0) << output.toStdString();
    }

    static QString Installed(const QString& relative) { return prefix->filePath(relative); }

    static QString ReadText(const QString& relative) {
        QFile file(Installed(relative));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    static inline std::unique_ptr<QTemporaryDir> prefix;
    static inline QString output;
    static inline int exitCode = -1;
};

const QString kAppId = QStringLiteral(LUMICUT_APP_ID);

TEST_F(InstallTest, ExecutableAloneInBin) {
    const QFileInfo program(Installed("bin/lumicut"));
    EXPECT_TRUE(program.isFile());
    EXPECT_TRUE(program.isExecutable());
    // Settings are created at run time (beside the program or in the user's folder), so the
    // install puts nothing else there.
    EXPECT_EQ(QDir(Installed("bin")).entryList(QDir::Files), QStringList{"lumicut"});
}

TEST_F(InstallTest, DesktopEntry) {
    const QString entry = ReadText("share/applications/" + kAppId + ".desktop");
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_TRUE(entry.contains("\nExec=lumicut\n"));
    EXPECT_TRUE(entry.contains("\nIcon=" + kAppId + "\n"));
    EXPECT_TRUE(entry.contains("\nCategories=Graphics;Photography;\n"));
    EXPECT_TRUE(
        entry.contains("\nComment=Recadrer un dossier de photos aux formats d'impression\n"));
}

TEST_F(InstallTest, IconsInEveryHicolorSize) {
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
        const QImage icon(Installed(path));
        EXPECT_EQ(icon.size(), QSize(size, size)) << path.toStdString();
    }
    EXPECT_TRUE(
        QFileInfo(Installed("share/icons/hicolor/scalable/apps/" + kAppId + ".svg")).isFile());
}

TEST_F(InstallTest, MetainfoFilledIn) {
    const QString metainfo = ReadText("share/metainfo/" + kAppId + ".metainfo.xml");
    ASSERT_FALSE(metainfo.isEmpty());
    EXPECT_TRUE(metainfo.contains("<id>" + kAppId + "</id>"));
    EXPECT_TRUE(metainfo.contains("<launchable type=\"desktop-id\">" + kAppId + ".desktop"));
    EXPECT_TRUE(metainfo.contains("release version=\"" LUMICUT_VERSION "\""));
    EXPECT_FALSE(metainfo.contains('@')) << "unreplaced configure variable";
}

} // namespace
