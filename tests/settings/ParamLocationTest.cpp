#include "settings/ParamLocation.h"

#include <pwd.h>
#include <unistd.h>

#include "support/ParamFixture.h"

#include <QScopeGuard>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace paramtest;

namespace {

TEST(ParamLocation, ResolvesBesideTheProgramOrInTheConfigFolder) {
    enum Where { Unchanged, BesideProgram, InConfig };
    // clang-format off
    // exeFolderHoldsFile (and takes no new file)
    const struct { const char* description; std::string name; bool exeFolderExists; bool exeFolderHoldsFile; Where expected; } rows[] = {
        {"whole path used unchanged", "/x/y/param.dat", false, false, Unchanged},
        {"writable executable folder", "param.dat", true, false, BesideProgram},
        {"executable folder holding the file", "param.dat", true, true, BesideProgram},
        {"no usable executable folder", "param.dat", false, false, InConfig},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.description);
        TempFolder folder;
        const std::string exe = (folder.path() / "bin").string();
        const std::string config = (folder.path() / "config").string();
        if (row.exeFolderExists) {
            std::filesystem::create_directory(exe);
        }
        if (row.exeFolderHoldsFile) {
            writeBytes(exe + "/" + row.name, {});
            ASSERT_EQ(chmod(exe.c_str(), 0555), 0);
        }
        const std::string expected[] = {row.name, exe + "/" + row.name,
                                        config + "/lumicut/" + row.name};
        EXPECT_EQ(resolveParamPath(row.name, exe, config), expected[row.expected]);
        EXPECT_FALSE(std::filesystem::exists(config)) << "resolution creates nothing";
        chmod(exe.c_str(), 0755);
    }
}

TEST(ParamLocation, ConfigFolderIsAnAbsoluteXdgConfigHomeElseHomeConfig) {
    const std::string oldXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const auto restore = qScopeGuard([&] {
        setenv("HOME", oldHome.c_str(), 1);
        oldXdg.empty() ? unsetenv("XDG_CONFIG_HOME") : setenv("XDG_CONFIG_HOME", oldXdg.c_str(), 1);
    });
    const struct {
        const char* xdg; // nullptr: unset
        const char* home;
        std::string expected;
    } rows[] = {{"/srv/conf", "/home/anne", "/srv/conf"},
                {"relative/conf", "/home/anne", "/home/anne/.config"},
                {nullptr, "/home/anne/", "/home/anne/.config"},
                // An empty HOME names no folder: the user's entry in the password database.
                {nullptr, "", std::string(getpwuid(getuid())->pw_dir) + "/.config"}};
    for (const auto& row : rows) {
        row.xdg ? setenv("XDG_CONFIG_HOME", row.xdg, 1) : unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", row.home, 1);
        EXPECT_EQ(configHomeFolder(), row.expected) << (row.xdg ? row.xdg : "unset");
    }
}

TEST(ParamLocation, ExecutableFolderIsTheTestProgramsOwn) {
    EXPECT_TRUE(std::filesystem::exists(executableFolder() + "/lumicut_core_tests"));
}

} // namespace
