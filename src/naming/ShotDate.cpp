#include "naming/ShotDate.h"

#include "metadata/ExifBlock.h"

#include <QDate>
#include <QTime>
#include <cctype>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace {

constexpr std::size_t kExifDateLength = 19; // "YYYY:MM:DD HH:MM:SS"

// The leading decimal integer of text[pos, pos + count) the way atoi reads it: blanks,
// an optional sign, then digits; 0 when there are none.
int leadingInt(const std::string& text, std::size_t pos, std::size_t count) {
    const std::size_t end = pos + count;
    while (pos < end && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < end && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    int value = 0;
    while (pos < end && std::isdigit(static_cast<unsigned char>(text[pos])))
        value = value * 10 + (text[pos++] - '0');
    return negative ? -value : value;
}

// A wall-clock date and time as it reads, with no time zone to shift it or to find it
// missing (a time inside a daylight-saving gap is still a time the camera showed).
QDateTime wallClock(QDate date, QTime time) {
    return QDateTime(date, time, Qt::UTC);
}

// Fields at fixed positions; the separators are not looked at.
QDateTime parseExifDate(const std::string& text) {
    if (text.size() != kExifDateLength)
        return {};
    const QDate date(leadingInt(text, 0, 4), leadingInt(text, 5, 2), leadingInt(text, 8, 2));
    const QTime time(leadingInt(text, 11, 2), leadingInt(text, 14, 2), leadingInt(text, 17, 2));
    if (!date.isValid() || !time.isValid())
        return {};
    return wallClock(date, time);
}

// Birth time where the file system records it, else the last modification.
QDateTime fileCreationTime(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) != 0)
        return {};
    const struct statx_timestamp* stamp = nullptr;
    if ((info.stx_mask & STATX_BTIME) != 0 && info.stx_btime.tv_sec != 0)
        stamp = &info.stx_btime;
    else if ((info.stx_mask & STATX_MTIME) != 0)
        stamp = &info.stx_mtime;
    if (stamp == nullptr)
        return {};
    const QDateTime local =
        QDateTime::fromMSecsSinceEpoch(stamp->tv_sec * 1000 + stamp->tv_nsec / 1000000);
    return wallClock(local.date(), local.time());
}

} // namespace

QDateTime shotDate(const std::string& photoPath, const ExifBlock* exif) {
    std::optional<std::string> text;
    if (exif != nullptr) {
        text = exif->asciiTag(ExifBlock::kTagDateTimeOriginal);
    } else if (const std::optional<ExifBlock> fromFile = ExifBlock::fromFile(photoPath)) {
        text = fromFile->asciiTag(ExifBlock::kTagDateTimeOriginal);
    }
    if (text) {
        const QDateTime shot = parseExifDate(*text);
        if (shot.isValid())
            return shot;
    }
    const QDateTime created = fileCreationTime(photoPath);
    if (created.isValid())
        return created;
    const QDateTime now = QDateTime::currentDateTime();
    return wallClock(now.date(), now.time());
}
