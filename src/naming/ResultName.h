#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class ExifBlock;

// Expands a name mask into the full path of a result file. photoPath is the source
// photo's full path; mask already holds the destination folder (ending with '/') followed
// by the file-name part with its tags ("%dj", "%dc", "%sr", "%f", "%i"; "%r" and "%t" are
// left as they stand). exif is the EXIF block of the photo already held in memory (for the
// shot date), or null to read it from the file's header.
// When the mask still holds "%i", the first free index from 000 to 999 is chosen (999 when
// all exist) and reported through indexOut; without "%i", NO_RESULT_INDEX is reported.
// taken, when given, names paths that count as existing although nothing is there yet
// (results queued for writing).
[[nodiscard]] std::string
buildResultName(const std::string& photoPath, const std::string& mask, const ExifBlock* exif,
                int32_t* indexOut, const std::function<bool(const std::string&)>& taken = {});

// The mask with the print format's tags filled in: "%t" by its size "%.0fx%.0f" of heightCm
// and widthCm, "%r" by its label ("15x10"). buildResultName leaves both as they stand.
[[nodiscard]] std::string replaceFormatTags(const std::string& mask, double heightCm,
                                            double widthCm, const std::string& label);

// Replaces every occurrence of tag in text (exact case, left to right, no overlap).
[[nodiscard]] std::string replaceAll(const std::string& text, std::string_view tag,
                                     std::string_view value);

// Replaces every occurrence of search in source, compared without regard to ASCII letter
// case, by replacement; the rest of source keeps its case. An empty search changes nothing.
[[nodiscard]] std::string replaceNoCase(const std::string& source, const std::string& search,
                                        const std::string& replacement);
