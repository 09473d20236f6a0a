#include "engine/ViewKeys.h"

#include <Qt>
#include <cstdlib>

namespace {

ViewKey mapKeypadKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_0:
    case Qt::Key_Insert: // keypad 0 with Num Lock off
        return Command::PreviousPicture;
    case Qt::Key_1:
        return Command::Grayscale;
    case Qt::Key_2:
        return Command::Sepia;
    case Qt::Key_Asterisk:
        return Command::TurnFrame;
    case Qt::Key_Plus:
        return Command::ZoomIn;
    case Qt::Key_Minus:
        return Command::ZoomOut;
    case Qt::Key_Slash:
        return Command::Thirds;
    default:
        return std::monostate{};
    }
}

ViewKey mapArrow(int qtKey, bool shift) {
    switch (qtKey) {
    case Qt::Key_Left:
        return shift ? ViewKey(Command::RotateLeft) : ViewKey(KeyAction::MoveLeft);
    case Qt::Key_Up:
        return shift ? ViewKey(Command::FlipVertical) : ViewKey(KeyAction::MoveUp);
    case Qt::Key_Right:
        return shift ? ViewKey(Command::RotateRight) : ViewKey(KeyAction::MoveRight);
    case Qt::Key_Down:
        return shift ? ViewKey(Command::FlipHorizontal) : ViewKey(KeyAction::MoveDown);
    default:
        return std::monostate{};
    }
}

} // namespace

ViewKey mapViewKey(int qtKey, bool keypad, bool shift, bool alt) {
    if (alt)
        return std::monostate{};
    if (keypad) {
        const ViewKey key = mapKeypadKey(qtKey);
        if (!std::holds_alternative<std::monostate>(key))
            return key;
    }
    switch (qtKey) {
    case Qt::Key_Backspace:
        return Command::DeletePreviousResult;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyAction::Validate;
    case Qt::Key_Escape:
        return Command::NextPicture;
    case Qt::Key_Space:
        return KeyAction::ToggleFullScreen;
    case Qt::Key_Home:
        return KeyAction::Reload;
    case Qt::Key_Delete:
        return Command::DeleteResult;
    case Qt::Key_B:
        return Command::WhiteBorder;
    case Qt::Key_I:
        return Command::IdSheet;
    case Qt::Key_F1:
        return Command::OnlineHelp;
    default:
        return mapArrow(qtKey, shift);
    }
}

void KeyStep::beginKey(bool ctrl, bool progressive) {
    if (ctrl)
        m_step = 1;
    else if (!progressive)
        m_step = kFixedStep;
}

void KeyStep::endKey(bool progressive) {
    if (progressive && m_step < kProgressiveCeiling)
        m_step += kProgressiveGain;
}

int rightDragZoomAmount(int anchorX, int anchorY, int x, int y) {
    const int dx = anchorX - x;
    const int dy = y - anchorY;
    return std::abs(dy) < std::abs(dx) ? dx : dy;
}
