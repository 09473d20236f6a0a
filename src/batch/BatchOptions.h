#pragma once

#include "batch/BatchTexts.h"

#include <optional>
#include <string>
#include <vector>

// What one run of the batch program is asked to do, from its command line and the program's
// settings (param.dat, only read).
struct BatchOptions {
    // Print format, cm; label is what "%r" becomes ("15x10").
    double heightCm = 0.0;
    double widthCm = 0.0;
    std::string label;
    // White border on the print, mm; 0 for none.
    double borderMm = 0.0;
    // The file-name part of the result names, with its tags.
    std::string mask;
    int quality = 100;
    int jobs = 1;
    bool dryRun = false;
    bool lossless = false;
    // Photos listed in this file ("-": standard input) instead of a source folder.
    std::optional<std::string> filesFrom;
    std::string source;      // a folder, ending with '/'; empty with filesFrom
    std::string destination; // a folder, ending with '/'
    // Subfolders of the source are listed, as the program's own photo list does.
    bool recurse = true;
    bool help = false;
    bool version = false;
};

struct BatchParse {
    std::optional<BatchOptions> options;
    std::string error; // when no options: what is wrong, in the language asked
};

// Reads the arguments (without the program name). Formats named instead of sized, and the
// defaults of the mask, the quality and the folder listing, come from the parameter file at
// paramPath. defaultJobs is what --jobs is when not given.
[[nodiscard]] BatchParse parseBatchOptions(const std::vector<std::string>& args,
                                           const std::string& paramPath, int defaultJobs,
                                           Language language);

// A decimal number of at least one digit with an optional fraction after '.' or ',' (as a
// French user writes it); nothing for anything else.
[[nodiscard]] std::optional<double> parseDecimal(const std::string& text);
