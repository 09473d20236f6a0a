#include "app/StatusPane.h"

#include <QFontMetrics>
#include <QString>

StatusPane::StatusPane(int widthInBlanks, QWidget* parent)
    : QLabel(parent), m_widthInBlanks(widthInBlanks) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize StatusPane::sizeHint() const {
    const int width = fontMetrics().horizontalAdvance(QString(m_widthInBlanks, QChar(' ')));
    return {width + 2 * margin(), QLabel::sizeHint().height()};
}

QSize StatusPane::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}
