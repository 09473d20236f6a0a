#include "panel/PictureListCtrl.h"

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
    explicit PictureRowDelegate(CPictureListCtrl& list) : QStyledItemDelegate(&list), list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        list.DrawItem(*painter, option.rect, index.row());
    }

    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& /*index*/) const override {
        return {option.rect.width(), QFontMetrics(list.font()).height() + 4};
    }

private:
    CPictureListCtrl& list;
};

} // namespace

CPictureListCtrl::CPictureListCtrl(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new PictureRowDelegate(*this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTextElideMode(Qt::ElideRight);
}

void CPictureListCtrl::ClearRows() {
    clear();
}

void CPictureListCtrl::AppendRow(const std::string& path, int32_t value) {
    auto* row = new QListWidgetItem(QString::fromStdString(path), this);
    row->setData(kValueRole, value);
}

std::string CPictureListCtrl::RowText(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? it->text().toStdString() : std::string();
}

int32_t CPictureListCtrl::RowValue(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr ? it->data(kValueRole).toInt() : NO_RESULT_INDEX;
}

void CPictureListCtrl::SetRowValue(int row, int32_t value) {
    if (QListWidgetItem* it = item(row)) {
        it->setData(kValueRole, value);
    }
}

int CPictureListCtrl::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

int CPictureListCtrl::TopRow() const {
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

int CPictureListCtrl::RowsPerPage() const {
    const int rowHeight = count() > 0 ? sizeHintForRow(0) : 0;
    return rowHeight > 0 ? viewport()->height() / rowHeight : 0;
}

void CPictureListCtrl::SetCurrentRow(int r) {
    currentRow = r;
    if (const std::optional<int> target = ScrollTargetRow(r, TopRow(), RowsPerPage())) {
        // A row beyond the last one scrolls nothing.
        if (*target >= 0 && *target < count()) {
            scrollTo(model()->index(*target, 0), QAbstractItemView::EnsureVisible);
        }
    }
    viewport()->repaint();
}

void CPictureListCtrl::DrawItem(QPainter& painter, const QRect& rowRect, int row) const {
    painter.save();
    painter.fillRect(rowRect, palette().color(QPalette::Base));
    QColor textColor = Qt::black;
    if (row < currentRow) {
        painter.fillRect(rowRect, QColor(220, 220, 250));
    } else if (row == currentRow) {
        painter.fillRect(rowRect, QColor(20, 20, 250));
        textColor = Qt::white;
    }
    painter.setClipRect(rowRect);

    // The file name without its folder, on one line, cut with an ellipsis when too long;
    // Qt draws '&' as itself unless asked for mnemonics.
    const QRect textRect(rowRect.left() + kTextLeftInset, rowRect.top(),
                         rowRect.width() - kTextLeftInset - kTextRightInset, rowRect.height());
    const QString name = QString::fromStdString(FileNameOfPath(RowText(row)));
    painter.setFont(font());
    painter.setPen(textColor);
    const QString shown =
        painter.fontMetrics().elidedText(name, Qt::ElideRight, std::max(0, textRect.width()));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
}

void CPictureListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit rowsClicked();
    }
}
