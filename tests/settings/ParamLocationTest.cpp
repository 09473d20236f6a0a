#include "settings/ParamLocation.h"
#include "settings/ParamFile.h"

#include "support/ParamFixture.h"

#include <QScopeGuard>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace paramtest;

namespace {

struct LocationRow {
    const char* description;
    std::string name;
    bool exeFolderExists;
    bool exeFolderHoldsFile;
    std::string expected; // "{exe}" and "{config}" stand for the two folders
};

class ParamLocation : public ::testing::TestWithParam<LocationRow> {};

TEST_P(ParamLocation, Resolves) {
    const LocationRow& row = GetParam();
    TempFolder folder;
    const std::string exe = (folder.path() / "bin").string();
    const std::string config = (folder.path() / "config").string();
    if (row.exeFolderExists) {
        std::filesystem::create_directory(exe);
    }
    if (row.exeFolderHoldsFile) {
        writeBytes(exe + "/" + row.name, {});
    }
    std::string expected = row.expected;
    for (const auto& [tag, value] : {std::pair{"{exe}", exe}, std::pair{"{config}", config}}) {
        if (const size_t at = expected.find(tag); at != std::string::npos) {
            expected.replace(at, std::string(tag).size(), value);
        }
    }
    EXPECT_EQ(resolveParamPath(row.name, exe, config), expected);
    EXPECT_FALSE(std::filesystem::exists(config)) << "resolution creates nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParamLocation,
    ::testing::Values(
        LocationRow{"whole path used unchanged", "/x/y/param.dat", false, false, "/x/y/param.dat"},
        LocationRow{"relative path used unchanged", "sub/param.dat", true, false, "sub/param.dat"},
        LocationRow{"writable executable folder", "param.dat", true, false, "{exe}/param.dat"},
        LocationRow{"executable folder holding the file", "param.dat", true, true,
                    "{exe}/param.dat"},
        LocationRow{"no usable executable folder", "param.dat", false, false,
                    "{config}/lumicut/param.dat"}),
    [](const auto& info) { return rowName(info.param.description); });

TEST(ParamLocationConfig, XdgConfigHomeWhenAbsoluteElseHomeConfig) {
    const std::string oldXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const auto restore = qScopeGuard([&] {
        setenv("HOME", oldHome.c_str(), 1);
        oldXdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
    });
    const struct {
        const char* xdg; // nullptr: unset
        const char* home;
        const char* expected;
    } rows[] = {{"/srv/conf", "/home/anne", "/srv/conf"},
                {"relative/conf", "/home/anne", "/home/anne/.config"},
                {nullptr, "/home/anne/", "/home/anne/.config"}};
    for (const auto& row : rows) {
        row.xdg ? setenv("XDG_CONFIG_HOME", row.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", row.home, 1);
        EXPECT_EQ(configHomeFolder(), row.expected) << (row.xdg ? row.xdg : "unset");
    }
}

TEST(ParamLocationExe, BareNameGoesBesideTheTestProgram) {
    const std::string exeFolder = executableFolder();
    EXPECT_TRUE(std::filesystem::exists(exeFolder + "/lumicut_core_tests"));
    EXPECT_EQ(ParamFile("param.dat").filePath(), exeFolder + "/param.dat");
}

} // namespace
