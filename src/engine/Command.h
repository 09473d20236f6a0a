#pragma once

// The program's commands. Each is one action of the menu bar, the toolbar or both; the view's
// key map names the same commands for the keys that run them.
enum class Command {
    WorkingFolder,
    DestinationFolder,
    Preferences,
    Quit,
    FullScreen,
    Thirds,
    WhiteBorder,
    RotateLeft,
    RotateRight,
    FlipVertical,
    FlipHorizontal,
    DeleteResult,
    DeletePreviousResult,
    NextPicture,
    PreviousPicture,
    Grayscale,
    Sepia,
    RenamePhotos,
    IdSheet,
    OnlineHelp,
    CheckUpdates,
    Forum,
    About,
    ZoomIn,    // toolbar only: a larger frame
    ZoomOut,   // toolbar only: a smaller frame
    TurnFrame, // toolbar only
};
