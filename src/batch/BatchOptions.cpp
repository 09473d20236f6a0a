#include "batch/BatchOptions.h"

#include <cctype>
#include <charconv>
#include <filesystem>

#include "engine/PanelRules.h"
#include "settings/PrintFormat.h"
#include "settings/Settings.h"

namespace {

// The folder as an absolute path ending with '/', so that result names get the photo's
// own folder name ("%sr") whatever the working folder.
std::string absoluteFolder(const std::string& folder) {
    std::string path = std::filesystem::absolute(folder).lexically_normal().string();
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

// "HxW" in cm, both sides above 0.
std::optional<std::pair<double, double>> parseSize(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) {
        return std::nullopt;
    }
    const std::optional<double> height = parseDecimal(text.substr(0, x));
    const std::optional<double> width = parseDecimal(text.substr(x + 1));
    if (!height || !width || *height <= 0.0 || *width <= 0.0) {
        return std::nullopt;
    }
    return std::pair{*height, *width};
}

std::optional<int> parseWhole(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// The format named or sized by text; a name of the stored list (the default format when none
// is stored) comes first.
bool resolveFormat(const std::string& text, const Settings& settings, BatchOptions& options) {
    std::vector<std::string> texts;
    settings.loadFormats(texts);
    std::vector<PrintFormat> formats = formatsFromTexts(texts);
    if (formats.empty()) {
        formats.push_back(PrintFormat{});
    }
    for (const PrintFormat& format : formats) {
        if (format.name == text && format.heightCm > 0 && format.widthCm > 0) {
            options.heightCm = format.heightCm;
            options.widthCm = format.widthCm;
            options.label = formatSizeLabel(format.heightCm, format.widthCm);
            return true;
        }
    }
    const auto size = parseSize(text);
    if (!size) {
        return false;
    }
    options.heightCm = size->first;
    options.widthCm = size->second;
    options.label = formatSizeLabel(static_cast<int>(size->first), static_cast<int>(size->second));
    return true;
}

BatchParse failure(std::string error) {
    return {std::nullopt, std::move(error)};
}

} // namespace

std::optional<double> parseDecimal(const std::string& text) {
    std::string digits = text;
    size_t i = 0;
    while (i < digits.size() && std::isdigit(static_cast<unsigned char>(digits[i]))) {
        ++i;
    }
    if (i == 0) {
        return std::nullopt;
    }
    if (i < digits.size() && (digits[i] == '.' || digits[i] == ',')) {
        digits[i] = '.';
        ++i;
        while (i < digits.size() && std::isdigit(static_cast<unsigned char>(digits[i]))) {
            ++i;
        }
    }
    if (i != digits.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + i, value);
    if (error != std::errc() || stop != digits.data() + i) {
        return std::nullopt;
    }
    return value;
}

BatchParse parseBatchOptions(const std::vector<std::string>& args, const std::string& paramPath,
                             int defaultJobs, Language language) {
    BatchOptions options;
    options.jobs = defaultJobs;
    std::optional<std::string> format;
    std::optional<std::string> mask;
    std::optional<std::string> quality;
    std::optional<std::string> border;
    std::optional<std::string> jobs;
    std::vector<std::string> folders;
    const std::pair<const char*, std::optional<std::string>*> valued[] = {
        {"--format", &format}, {"--mask", &mask}, {"--quality", &quality},
        {"--border", &border}, {"--jobs", &jobs}, {"--files-from", &options.filesFrom},
    };
    bool optionsEnd = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
            folders.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--dry-run") {
            options.dryRun = true;
        } else if (arg == "--lossless") {
            options.lossless = true;
        } else {
            bool known = false;
            for (const auto& [name, value] : valued) {
                const std::string prefix = std::string(name) + "=";
                if (arg == name) {
                    if (i + 1 >= args.size()) {
                        return failure(batchFormat(language, BatchText::MissingValue, name));
                    }
                    *value = args[++i];
                    known = true;
                } else if (arg.starts_with(prefix)) {
                    *value = arg.substr(prefix.size());
                    known = true;
                }
            }
            if (!known) {
                return failure(batchFormat(language, BatchText::UnknownOption, arg.c_str()));
            }
        }
    }
    if (options.help || options.version) {
        return {options, {}};
    }

    const Settings settings(paramPath);
    if (!format) {
        return failure(batchText(language, BatchText::MissingFormat));
    }
    if (!resolveFormat(*format, settings, options)) {
        return failure(batchFormat(language, BatchText::UnknownFormat, format->c_str()));
    }
    if (border) {
        const std::optional<double> mm = parseDecimal(*border);
        if (!mm) {
            return failure(batchFormat(language, BatchText::BadBorder, border->c_str()));
        }
        options.borderMm = *mm;
    }
    options.quality = settings.jpegQuality();
    if (quality) {
        const std::optional<int> q = parseWhole(*quality);
        if (!q || *q < 0 || *q > 100) {
            return failure(batchFormat(language, BatchText::BadQuality, quality->c_str()));
        }
        options.quality = *q;
    }
    if (jobs) {
        const std::optional<int> n = parseWhole(*jobs);
        if (!n || *n < 1) {
            return failure(batchFormat(language, BatchText::BadJobs, jobs->c_str()));
        }
        options.jobs = *n;
    }
    // As the window names results: the mask when results are renamed, else the photo's name.
    options.mask = mask.value_or(settings.autoRename() ? settings.resultName() : "%f");
    if (options.mask.empty()) {
        return failure(batchText(language, BatchText::EmptyMask));
    }
    options.recurse = settings.recurseOrigin();

    const size_t expected = options.filesFrom ? 1 : 2;
    if (folders.size() != expected) {
        return failure(batchText(language, options.filesFrom ? BatchText::DestinationExpected
                                                             : BatchText::FoldersExpected));
    }
    if (!options.filesFrom) {
        options.source = absoluteFolder(folders.front());
    }
    options.destination = absoluteFolder(folders.back());
    return {options, {}};
}
