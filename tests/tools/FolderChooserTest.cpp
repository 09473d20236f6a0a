#include "tools/FolderChooser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FolderChooserTest, StartsAtTheSettingElsePicturesElseHome) {
    const QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    for (const char* sub : {"set", "Pictures", "home"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
    QFile(dir.path() + "/file").open(QIODevice::WriteOnly);
    // clang-format off
    const std::tuple<const char*, std::string, std::string, std::string> rows[] = {
        {"an existing setting, as given", root + "/set/", root + "/Pictures", root + "/set/"},
        {"missing setting: Pictures", root + "/gone/", root + "/Pictures", root + "/Pictures/"},
        {"a setting that is a file: Pictures", root + "/file", root + "/Pictures", root + "/Pictures/"},
        {"no Pictures folder: home", "", root + "/NoPictures", root + "/home/"},
    };
    // clang-format on
    for (const auto& [name, setting, pictures, expected] : rows)
        EXPECT_EQ(folderChooserStart(setting, pictures, root + "/home"), expected) << name;
}
