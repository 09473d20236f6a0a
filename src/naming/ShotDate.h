#pragma once

#include <QDateTime>
#include <string>

class ExifBlock;

// Date of the shot: EXIF DateTimeOriginal (0x9003) when it is an ASCII text of exactly
// 19 characters holding a valid date, else the file's creation time (birth time, else
// modification time), else now. Always the local wall-clock date and time, held as a
// Qt::UTC date-time so that no time-zone rule shifts or refuses it. exif is the EXIF block
// of the photo already held in memory; with exif null, the file's EXIF header is read,
// never its pixels.
[[nodiscard]] QDateTime shotDate(const std::string& photoPath, const ExifBlock* exif);
