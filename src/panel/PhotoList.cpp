#include "panel/PhotoList.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyledItemDelegate>

#include "engine/PanelRules.h"
#include "naming/ResultIndex.h"

namespace {

constexpr int kValueRole = Qt::UserRole;
// Text insets inside a row, display pixels.
constexpr int kTextLeftInset = 3;
constexpr int kTextRightInset = 6;

// Hands row drawing back to the list, which owns the colours and the current row.
class PictureRowDelegate : public QStyledItemDelegate {
public:
    explicit PictureRowDelegate(PhotoList& list) : QStyledItemDelegate(&list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_list.drawItem(*painter, option.rect, index.row());
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& /*index*/) const override {
        return {option.rect.width(), QFontMetrics(m_list.font()).height() + 4};
    }

private:
    PhotoList& m_list;
};

} // namespace

PhotoList::PhotoList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new PictureRowDelegate(*this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTextElideMode(Qt::ElideRight);
}

void PhotoList::clearRows() {
    clear();
}

void PhotoList::appendRow(const std::string& path, int32_t value) {
    auto* row = new QListWidgetItem(QString::fromStdString(path), this);
    row->setData(kValueRole, value);
}

std::string PhotoList::rowText(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? it->text().toStdString() : std::string();
}

int32_t PhotoList::rowValue(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? it->data(kValueRole).toInt() : kNoResultIndex;
}

void PhotoList::setRowValue(int row, int32_t value) {
    if (QListWidgetItem* it = item(row)) {
        it->setData(kValueRole, value);
    }
}

int PhotoList::firstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

int PhotoList::topRow() const {
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int PhotoList::rowsPerPage() const {
    const int rowHeight = count() > 0 ? sizeHintForRow(0) : 0;
    return rowHeight > 0 ? viewport()->height() / rowHeight : 0;
}

void PhotoList::setCurrentRow(int r) {
    m_currentRow = r;
    if (const std::optional<int> target = scrollTargetRow(r, topRow(), rowsPerPage())) {
        // A row beyond the last one scrolls nothing.
        if (*target >= 0 && *target < count()) {
            scrollTo(model()->index(*target, 0), QAbstractItemView::EnsureVisible);
        }
    }
    viewport()->repaint();
}

void PhotoList::drawItem(QPainter& painter, const QRect& rowRect, int row) const {
    painter.save();
    painter.fillRect(rowRect, palette().color(QPalette::Base));
    QColor textColor = Qt::black;
    if (row < m_currentRow) {
        painter.fillRect(rowRect, QColor(220, 220, 250));
    } else if (row == m_currentRow) {
        painter.fillRect(rowRect, QColor(20, 20, 250));
        textColor = Qt::white;
    }
    painter.setClipRect(rowRect);

    // The file name without its folder, on one line, cut with an ellipsis when too long;
    // Qt draws '&' as itself unless asked for mnemonics.
    const QRect textRect(rowRect.left() + kTextLeftInset, rowRect.top(),
                         rowRect.width() - kTextLeftInset - kTextRightInset, rowRect.height());
    const QString name = QString::fromStdString(fileNameOfPath(rowText(row)));
    painter.setFont(font());
    painter.setPen(textColor);
    const QString shown =
        painter.fontMetrics().elidedText(name, Qt::ElideRight, std::max(0, textRect.width()));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

void PhotoList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit rowsClicked();
    }
}
