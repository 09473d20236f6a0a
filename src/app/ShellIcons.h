#pragma once

#include <QIcon>
#include <QPixmap>

// State of the current photo's result file, shown as an icon in the status bar.
enum class ResultIcon {
    Saved,   // a result file exists and the photo is unchanged since
    Missing, // no result file
    Changed, // a result file exists and the photo has been changed since
    Writing, // the result is queued for writing or being written
};

// 16 x 16 pictures on a transparent background: an empty page, a page with a pencil, a
// page with a green check mark, a page with a blue arrow going into it.
[[nodiscard]] QPixmap resultIconPixmap(ResultIcon icon);

// The program's window icon: a crop frame over a small landscape, in several sizes.
[[nodiscard]] QIcon programIcon();
