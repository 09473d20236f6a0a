#pragma once

// Identifiers of the program's commands (menu items and toolbar buttons). The numbers are
// the program's historical command numbers and are kept stable.
enum class CommandId : int {
    Sepia = 32775,
    ZoomIn = 32776,
    ZoomOut = 32777,
    Preferences = 32779,
    WorkingFolder = 32780,
    DestinationFolder = 32781,
    RotateLeft = 32782,
    DeleteResult = 32783,
    NextPicture = 32784,
    PreviousPicture = 32785,
    RotateRight = 32787,
    FlipVertical = 32789,
    FlipHorizontal = 32790,
    Grayscale = 32791,
    TurnFrame = 32793,
    WhiteBorder = 32794,
    DeletePreviousResult = 32795,
    RenamePhotos = 32796,
    IdSheet = 32803,
    FullScreen = 32804,
    OnlineHelp = 32805,
    CheckUpdates = 32806,
    Forum = 32808,
    Thirds = 32810,
    About = 57664,
    Quit = 57665,
};
