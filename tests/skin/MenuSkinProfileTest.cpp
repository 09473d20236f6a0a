#include "skin/MenuSkinProfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <ostream>
#include <string>

namespace {

struct ProfileRow {
    std::string name;
    QByteArray ini;
    MenuSkinProfile expected;
};

void PrintTo(const ProfileRow& row, std::ostream* os) {
    *os << row.name;
}

MenuSkinProfile make(bool gradient, bool gradientSel, int start, int end, int width) {
    MenuSkinProfile profile;
    profile.showGradient = gradient;
    profile.showGradientSel = gradientSel;
    profile.gradientStart = start;
    profile.gradientEnd = end;
    profile.gradientWidth = width;
    return profile;
}

class ProfileTest : public ::testing::TestWithParam<ProfileRow> {};

TEST_P(ProfileTest, ReadsSections) {
    const ProfileRow& row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("lumicut.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(row.ini);
    file.close();

    const QSettings store(path, QSettings::IniFormat);
    const MenuSkinProfile profile = readMenuSkinProfile(store);
    EXPECT_EQ(profile.showGradient, row.expected.showGradient);
    EXPECT_EQ(profile.showGradientSel, row.expected.showGradientSel);
    EXPECT_EQ(profile.gradientStart, row.expected.gradientStart);
    EXPECT_EQ(profile.gradientEnd, row.expected.gradientEnd);
    EXPECT_EQ(profile.gradientWidth, row.expected.gradientWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileTest,
    ::testing::Values(
        ProfileRow{"empty_file_gives_defaults", "", make(true, true, 0xE4C4B4, 0xFFFFFF, 30)},
        ProfileRow{"all_values_set",
                   "[MenuXP]\nShowGradient=0\nGradientStart=255\nGradientEnd=65280\n"
                   "GradientWidth=40\n[MenuEx]\nShowGradientSel=0\n",
                   make(false, false, 255, 65280, 40)},
        ProfileRow{"hexadecimal_colour", "[MenuXP]\nGradientStart=0x123456\n",
                   make(true, true, 0x123456, 0xFFFFFF, 30)},
        ProfileRow{"gradient_sel_only_read_from_menuex", "[MenuXP]\nShowGradientSel=0\n",
                   make(true, true, 0xE4C4B4, 0xFFFFFF, 30)},
        ProfileRow{"garbage_keeps_defaults",
                   "[MenuXP]\nGradientStart=rouge\nGradientWidth=-5\nShowGradient=oui\n",
                   make(true, true, 0xE4C4B4, 0xFFFFFF, 30)}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileColour, BgrOrderAndDerived) {
    EXPECT_EQ(profileColour(0xE4C4B4, Qt::black), QColor(180, 196, 228));
    EXPECT_EQ(profileColour(-1, QColor(1, 2, 3)), QColor(1, 2, 3));
}

} // namespace
