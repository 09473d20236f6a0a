#include "settings/ParamLocation.h"
#include "settings/ParamFile.h"

#include "settings/ParamFixture.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

using namespace paramtest;

namespace {

struct LocationRow {
    const char* description;
    std::string name;
    bool exeFolderExists;
    bool exeFolderHoldsFile;
    // Expected, with {exe} and {config} standing for the two folders.
    std::string expected;
};

class ParamLocation : public ::testing::TestWithParam<LocationRow> {};

std::string Expand(std::string text, const std::string& exe, const std::string& config) {
    for (const auto& [tag, value] : {std::pair<std::string, std::string>{"{exe}", exe},
                                     std::pair<std::string, std::string>{"{config}", config}}) {
        if (const size_t at = text.find(tag); at != std::string::npos) {
            text.replace(at, tag.size(), value);
        }
    }
    return text;
}

TEST_P(ParamLocation, Resolves) {
    const LocationRow& row = GetParam();
    TempFolder folder;
    const std::string exe = (folder.Path() / "bin").string();
    const std::string config = (folder.Path() / "config").string();
    if (row.exeFolderExists) {
        std::filesystem::create_directory(exe);
    }
    if (row.exeFolderHoldsFile) {
        WriteBytes(exe + "/" + row.name, {});
    }
    EXPECT_EQ(ResolveParamPath(row.name, exe, config), Expand(row.expected, exe, config));
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
    [](const auto& info) { return RowName(info.param.description); });

// Sets an environment variable for the scope, restoring the previous value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name); old != nullptr) {
            m_old = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ParamLocationConfig, XdgConfigHomeOrHomeConfig) {
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/conf");
        ScopedEnv home("HOME", "/home/anne");
        EXPECT_EQ(ConfigHomeFolder(), "/srv/conf");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/conf");
        ScopedEnv home("HOME", "/home/anne");
        EXPECT_EQ(ConfigHomeFolder(), "/home/anne/.config");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "/home/anne/");
        EXPECT_EQ(ConfigHomeFolder(), "/home/anne/.config");
    }
}

TEST(ParamLocationExe, BareNameGoesBesideTheTestProgram) {
    const std::string exeFolder = ExecutableFolder();
    ASSERT_FALSE(exeFolder.empty());
    EXPECT_TRUE(std::filesystem::exists(exeFolder + "/lumicut_core_tests"));
    // The build folder is writable, so the bare name lands beside the program. Only the path
    // is looked at: nothing is written there.
    EXPECT_EQ(CParamFile("param.dat").GetFilePath(), exeFolder + "/param.dat");
}

} // namespace
