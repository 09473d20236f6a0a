#pragma once

#include <string>

// Language of the batch program's messages and help.
enum class Language { English, French };

// French when the locale that names the messages' language (LC_ALL, else LC_MESSAGES, else
// LANG: the first one set and not empty) starts with "fr"; English otherwise. Null stands
// for an unset variable.
[[nodiscard]] Language languageFromLocale(const char* lcAll, const char* lcMessages,
                                          const char* lang);
[[nodiscard]] Language languageFromEnvironment();

// Every text the batch program prints, in both languages.
enum class BatchText {
    Help,
    UsageHint,
    UnknownOption,
    MissingValue,
    MissingFormat,
    UnknownFormat,
    BadBorder,
    BadQuality,
    BadJobs,
    EmptyMask,
    FoldersExpected,
    DestinationExpected,
    NoSourceFolder,
    ListUnreadable,
    DestinationFailed,
    NoPhotos,
    Unreadable,
    NotJpeg,
    TooLarge,
    Corrupt,
    NoFrame,
    TargetExists,
    SameName,
    WriteFailed,
    LosslessFailed,
    BorderDecoded,
    Progress,
    Stopping,
    Written,
    NotWritten,
    Decoded,
    Turned,
    Interrupted,
};

// The text; where it holds printf conversions, batchFormat fills them.
[[nodiscard]] const char* batchText(Language language, BatchText text);

// The text with its printf conversions filled from the arguments.
[[nodiscard]] std::string batchFormat(Language language, BatchText text, ...);
