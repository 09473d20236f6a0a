#include "engine/ViewKeys.h"

#include <Qt>
#include <cstdlib>

namespace {

ViewAction MapKeypadKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_0:
    case Qt::Key_Insert: // keypad 0 with Num Lock off
        return ViewAction::PreviousPicture;
    case Qt::Key_1:
        return ViewAction::Grayscale;
    case Qt::Key_2:
        return ViewAction::Sepia;
    case Qt::Key_Asterisk:
        return ViewAction::TurnFrame;
    case Qt::Key_Plus:
        return ViewAction::ZoomIn;
    case Qt::Key_Minus:
        return ViewAction::ZoomOut;
    case Qt::Key_Slash:
        return ViewAction::ToggleThirds;
    default:
        return ViewAction::None;
    }
}

ViewAction MapArrow(int qtKey, bool shift) {
    switch (qtKey) {
    case Qt::Key_Left:
        return shift ? ViewAction::RotateLeft : ViewAction::MoveLeft;
    case Qt::Key_Up:
        return shift ? ViewAction::FlipVertical : ViewAction::MoveUp;
    case Qt::Key_Right:
        return shift ? ViewAction::RotateRight : ViewAction::MoveRight;
    case Qt::Key_Down:
        return shift ? ViewAction::FlipHorizontal : ViewAction::MoveDown;
    default:
        return ViewAction::None;
    }
}

} // namespace

ViewAction MapViewKey(int qtKey, bool keypad, bool shift, bool alt) {
    if (alt)
        return ViewAction::None;
    if (keypad) {
        const ViewAction action = MapKeypadKey(qtKey);
        if (action != ViewAction::None)
            return action;
    }
    switch (qtKey) {
    case Qt::Key_Backspace:
        return ViewAction::DeletePreviousResult;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ViewAction::Validate;
    case Qt::Key_Escape:
        return ViewAction::NextPicture;
    case Qt::Key_Space:
        return ViewAction::ToggleFullScreen;
    case Qt::Key_Home:
        return ViewAction::Reload;
    case Qt::Key_Delete:
        return ViewAction::DeleteResult;
    case Qt::Key_B:
        return ViewAction::ToggleWhiteBorder;
    case Qt::Key_I:
        return ViewAction::ToggleIdSheet;
    case Qt::Key_F1:
        return ViewAction::OnlineHelp;
    default:
        return MapArrow(qtKey, shift);
    }
}

void KeyStep::BeginKey(bool ctrl, bool progressive) {
    if (ctrl)
        step = 1;
    else if (!progressive)
        step = kFixedStep;
}

void KeyStep::EndKey(bool progressive) {
    if (progressive && step < kProgressiveCeiling)
        step += kProgressiveGain;
}

int RightDragZoomAmount(int anchorX, int anchorY, int x, int y) {
    const int dx = anchorX - x;
    const int dy = y - anchorY;
    return std::abs(dy) < std::abs(dx) ? dx : dy;
}
