#pragma once

// Identifiers of the program's commands (menu items and toolbar buttons). They travel as
// int in the command signal and the layout tables, where 0 stands for a separator.
enum class CommandId : int {
    Sepia = 1,
    ZoomIn,
    ZoomOut,
    Preferences,
    WorkingFolder,
    DestinationFolder,
    RotateLeft,
    DeleteResult,
    NextPicture,
    PreviousPicture,
    RotateRight,
    FlipVertical,
    FlipHorizontal,
    Grayscale,
    TurnFrame,
    WhiteBorder,
    DeletePreviousResult,
    RenamePhotos,
    IdSheet,
    FullScreen,
    OnlineHelp,
    CheckUpdates,
    Forum,
    Thirds,
    About,
    Quit,
};
