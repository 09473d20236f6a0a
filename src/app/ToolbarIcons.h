#pragma once

#include "engine/Command.h"

#include <QIcon>
#include <QString>

// Edge of a toolbar button's picture and of a menu item's icon, display pixels.
inline constexpr int kToolbarIconSize = 16;

// Resource path of the SVG drawn for a command's toolbar button (":/res/toolbar-*.svg"), or
// an empty text for a command without a button.
[[nodiscard]] QString toolbarPicturePath(Command command);

// The command's toolbar picture on a transparent background, rendered from its SVG at 16 x 16
// device pixels and at 32 x 32 for screens with two device pixels per display pixel; the
// disabled form is derived by the style. The menu skin takes the same icon from the
// command's action. A null icon for a command without a button.
[[nodiscard]] QIcon toolbarIcon(Command command);
