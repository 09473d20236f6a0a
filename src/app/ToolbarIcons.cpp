#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The picture of each toolbar button; file names are res/toolbar-<name>.svg.
constexpr std::array<std::pair<Command, const char*>, 20> kPictures{{
    {Command::WorkingFolder, "working-folder"},
    {Command::DestinationFolder, "destination-folder"},
    {Command::Preferences, "preferences"},
    {Command::PreviousPicture, "previous"},
    {Command::NextPicture, "next"},
    {Command::DeleteResult, "delete-result"},
    {Command::ZoomIn, "zoom-in"},
    {Command::ZoomOut, "zoom-out"},
    {Command::RotateRight, "rotate-right"},
    {Command::RotateLeft, "rotate-left"},
    {Command::FlipHorizontal, "flip-horizontal"},
    {Command::FlipVertical, "flip-vertical"},
    {Command::TurnFrame, "turn-frame"},
    {Command::Grayscale, "grayscale"},
    {Command::Sepia, "sepia"},
    {Command::WhiteBorder, "white-border"},
    {Command::Thirds, "thirds"},
    {Command::FullScreen, "full-screen"},
    {Command::IdSheet, "id-sheet"},
    {Command::About, "about"},
}};

// Renders the whole picture into a transparent square of edge device pixels.
QPixmap render(QSvgRenderer& renderer, int edge) {
    QPixmap pixmap(edge, edge);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

QString toolbarPicturePath(Command command) {
    const auto found =
        std::find_if(kPictures.begin(), kPictures.end(),
                     [command](const auto& picture) { return picture.first == command; });
    if (found == kPictures.end())
        return {};
    return QStringLiteral(":/res/toolbar-%1.svg").arg(QLatin1String(found->second));
}

QIcon toolbarIcon(Command command) {
    const QString path = toolbarPicturePath(command);
    if (path.isEmpty())
        return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int scale : {1, 2})
        icon.addPixmap(render(renderer, kToolbarIconSize * scale));
    return icon;
}
