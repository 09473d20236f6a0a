// TEMPORARY: lets the widget tests link the rename tool before the shot date reader is in
// the tree. It reads the date the fixtures write (else the file's modification time) and
// compiles to nothing once engine/Photo.h exists; the file is to be deleted then.
#if !__has_include("engine/Photo.h")

#include "naming/ShotDate.h"
#include "ui_support/ExifJpegFixture.h"

#include <QFileInfo>

QDateTime GetShotDate(const std::string& photoPath, const Photo* /*image*/) {
    const QDateTime shot =
        QDateTime::fromString(QString::fromStdString(fixture::FixtureDate(photoPath)),
                              QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    if (shot.isValid()) {
        return shot;
    }
    const QDateTime modified = QFileInfo(QString::fromStdString(photoPath)).lastModified();
    return modified.isValid() ? modified : QDateTime::currentDateTime();
}

#endif
