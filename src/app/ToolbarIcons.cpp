#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The picture of each toolbar button; file names are res/toolbar-<name>.svg.
constexpr std::array<std::pair<CommandId, const char*>, 20> kPictures{{
    {CommandId::WorkingFolder, "working-folder"},
    {CommandId::DestinationFolder, "destination-folder"},
    {CommandId::Preferences, "preferences"},
    {CommandId::PreviousPicture, "previous"},
    {CommandId::NextPicture, "next"},
    {CommandId::DeleteResult, "delete-result"},
    {CommandId::ZoomIn, "zoom-in"},
    {CommandId::ZoomOut, "zoom-out"},
    {CommandId::RotateRight, "rotate-right"},
    {CommandId::RotateLeft, "rotate-left"},
    {CommandId::FlipHorizontal, "flip-horizontal"},
    {CommandId::FlipVertical, "flip-vertical"},
    {CommandId::TurnFrame, "turn-frame"},
    {CommandId::Grayscale, "grayscale"},
    {CommandId::Sepia, "sepia"},
    {CommandId::WhiteBorder, "white-border"},
    {CommandId::Thirds, "thirds"},
    {CommandId::FullScreen, "full-screen"},
    {CommandId::IdSheet, "id-sheet"},
    {CommandId::About, "about"},
}};

// Renders the whole picture into a transparent square of edge device pixels.
QPixmap Render(QSvgRenderer& renderer, int edge) {
    QPixmap pixmap(edge, edge);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

QString ToolbarPicturePath(CommandId id) {
    const auto found = std::find_if(kPictures.begin(), kPictures.end(),
                                    [id](const auto& picture) { return picture.first == id; });
    if (found == kPictures.end())
        return {};
    return QStringLiteral(":/res/toolbar-%1.svg").arg(QLatin1String(found->second));
}

QIcon ToolbarIcon(CommandId id) {
    const QString path = ToolbarPicturePath(id);
    if (path.isEmpty())
        return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int scale : {1, 2})
        icon.addPixmap(Render(renderer, kToolbarIconSize * scale));
    return icon;
}
