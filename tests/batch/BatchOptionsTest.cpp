#include "batch/BatchOptions.h"

#include "settings/Settings.h"
#include "support/ParamFixture.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

enum class Param { None, Renaming, NotRenaming };

// The options that matter, as one line a row can spell out.
std::string describe(const BatchOptions& o, const std::string& root) {
    if (o.help) {
        return "help";
    }
    const auto local = [&root](const std::string& path) {
        return path.starts_with(root) ? "~" + path.substr(root.size()) : path;
    };
    char size[64];
    std::snprintf(size, sizeof size, "%gx%g", o.heightCm, o.widthCm);
    std::string line = std::string(size) + " %r=" + o.label +
                       " border=" + std::to_string(static_cast<int>(o.borderMm * 10)) +
                       " mask=" + o.mask + " q=" + std::to_string(o.quality) +
                       " jobs=" + std::to_string(o.jobs) + " recurse=" + (o.recurse ? "1" : "0");
    line += o.dryRun ? " dry" : "";
    line += o.lossless ? " lossless" : "";
    line += o.filesFrom ? " list=" + *o.filesFrom : " src=" + local(o.source);
    return line + " dst=" + local(o.destination);
}

TEST(BatchOptions, CommandLinesReadWithTheProgramSettings) {
    paramtest::TempFolder folder;
    const std::string renaming = folder.file("renaming.dat");
    {
        Settings settings(renaming);
        settings.setResultName("Tirage_%i");
        settings.setJpegQuality(85);
        settings.setRecurseOrigin(0);
        settings.saveFormats({"Carré 20", "20", "20", "0", "Panorama", "10", "30", "5"});
    }
    const std::string notRenaming = folder.file("plain.dat");
    Settings(notRenaming).setAutoRename(0);
    const std::string root = folder.path().string() + "/";

    // clang-format off
    // expected (describe() of the options, or the error text)
    const struct { const char* name; Param param; std::vector<std::string> args; std::string expected; } rows[] = {
        {"without settings, the program's defaults", Param::None, {"--format", "15x10", "in/", "out"},
         "15x10 %r=15x10 border=0 mask=Photos_%dc_%i q=100 jobs=4 recurse=1 src=~in/ dst=~out/"},
        {"results not renamed take the photo's name", Param::NotRenaming, {"--format", "15x10", "in", "out"},
         "15x10 %r=15x10 border=0 mask=%f q=100 jobs=4 recurse=1 src=~in/ dst=~out/"},
        {"decimal comma and point, whole cm in %r", Param::None, {"--format", "10,5x14.8", "in", "out"},
         "10.5x14.8 %r=10x14 border=0 mask=Photos_%dc_%i q=100 jobs=4 recurse=1 src=~in/ dst=~out/"},
        {"a stored format by name; the stored mask, quality, listing", Param::Renaming, {"in", "--format", "Panorama", "out"},
         "10x30 %r=10x30 border=0 mask=Tirage_%i q=85 jobs=4 recurse=0 src=~in/ dst=~out/"},
        {"the default format when none is stored", Param::None, {"--format", "Défaut 10x15", "in", "out"},
         "15x10 %r=15x10 border=0 mask=Photos_%dc_%i q=100 jobs=4 recurse=1 src=~in/ dst=~out/"},
        {"every option, some with =", Param::Renaming,
         {"--format=Carré 20", "--border=3,5", "--mask", "%f_%r", "--quality", "0", "--jobs=2",
          "--dry-run", "--lossless", "in", "out"},
         "20x20 %r=20x20 border=35 mask=%f_%r q=0 jobs=2 recurse=0 dry lossless src=~in/ "
         "dst=~out/"},
        {"a list on the standard input and a destination", Param::None, {"--files-from", "-", "--format", "13x18", "out"},
         "13x18 %r=13x18 border=0 mask=Photos_%dc_%i q=100 jobs=4 recurse=1 list=- dst=~out/"},
        {"names that look like options after --", Param::None, {"--format", "15x10", "--", "-in", "-out"},
         "15x10 %r=15x10 border=0 mask=Photos_%dc_%i q=100 jobs=4 recurse=1 src=~-in/ dst=~-out/"},
        {"help needs nothing else", Param::None, {"--help"}, "help"},
        {"no format", Param::None, {"in", "out"}, "no print format given (--format)"},
        {"a name no format has", Param::Renaming, {"--format", "Poster", "in", "out"}, "unknown print format: Poster"},
        {"a side of 0", Param::None, {"--format", "15x0", "in", "out"}, "unknown print format: 15x0"},
        {"quality above 100", Param::None, {"--format", "15x10", "--quality", "101", "in", "out"},
         "JPEG quality must be a whole number from 0 to 100: 101"},
        {"no jobs", Param::None, {"--format", "15x10", "--jobs", "0", "in", "out"}, "the number of jobs must be a whole number from 1 up: 0"},
        {"a negative border", Param::None, {"--format", "15x10", "--border", "-1", "in", "out"}, "bad border width in millimetres: -1"},
        {"an empty mask", Param::None, {"--format", "15x10", "--mask", "", "in", "out"}, "the name mask is empty"},
        {"an unknown option", Param::None, {"--format", "15x10", "--fast", "in", "out"}, "unknown option: --fast"},
        {"an option without its value", Param::None, {"in", "out", "--format"}, "option --format needs a value"},
        {"a source folder beside a list", Param::None, {"--format", "15x10", "--files-from", "list", "in", "out"},
         "with --files-from, expected only a DESTINATION folder"},
    };
    // clang-format on
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string param = row.param == Param::Renaming      ? renaming
                                  : row.param == Param::NotRenaming ? notRenaming
                                                                    : folder.file("none.dat");
        const BatchParse parse = parseBatchOptions(row.args, param, 4, Language::English);
        EXPECT_EQ(parse.options ? describe(*parse.options, root) : parse.error, row.expected);
    }
    std::filesystem::current_path(saved);
    EXPECT_FALSE(std::filesystem::exists(folder.file("none.dat"))) << "settings only read";
}

TEST(BatchOptions, LanguageFollowsTheLocaleThatNamesMessages) {
    // LC_ALL, LC_MESSAGES, LANG (nullptr: unset): the first one set and not empty decides.
    // clang-format off
    const std::tuple<const char*, const char*, const char*, Language> rows[] = {
        {nullptr, nullptr, nullptr, Language::English}, {nullptr, nullptr, "fr_FR.UTF-8", Language::French},
        {"C", nullptr, "fr_FR.UTF-8", Language::English}, {nullptr, "fr_BE", "de_DE", Language::French},
        {"fr_FR", "en_US", nullptr, Language::French},   {"", "fr_FR", "en_US", Language::French},
    };
    // clang-format on
    for (const auto& row : rows) {
        const auto& [all, messages, lang, expected] = row;
        EXPECT_EQ(languageFromLocale(all, messages, lang), expected) << "row " << &row - rows;
    }
}

} // namespace
