#pragma once

#include <QListWidget>
#include <cstdint>
#include <string>

class QMouseEvent;
class QPainter;
class QRect;

// The photo list: one row per photo, the row text being the photo's full path and the row
// value its result index. Rows show the file name only; rows above the current one are
// tinted as passed and the current row stands out in blue. The list's own selection is
// only read by clicks and never changes the colours.
class CPictureListCtrl : public QListWidget {
    Q_OBJECT
public:
    explicit CPictureListCtrl(QWidget* parent = nullptr);

    void ClearRows();
    void AppendRow(const std::string& path, int32_t value);
    [[nodiscard]] int RowCount() const { return count(); }
    // Empty / NO_RESULT_INDEX for a row outside the list.
    [[nodiscard]] std::string RowText(int row) const;
    [[nodiscard]] int32_t RowValue(int row) const;
    void SetRowValue(int row, int32_t value);
    // Lowest selected row, -1 when none is selected.
    [[nodiscard]] int FirstSelectedRow() const;

    // Marks row r as current, scrolls forward when r lies in the lower half of the visible
    // rows, and repaints at once.
    void SetCurrentRow(int r);
    [[nodiscard]] int GetCurrentRow() const { return currentRow; }
    // First visible row and the number of whole rows that fit in the list.
    [[nodiscard]] int TopRow() const;
    [[nodiscard]] int RowsPerPage() const;

    // Draws one row into rowRect (viewport pixels).
    void DrawItem(QPainter& painter, const QRect& rowRect, int row) const;

signals:
    // A mouse click in the list has been handled by the list (selection already updated).
    void rowsClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int currentRow = 0;
};
