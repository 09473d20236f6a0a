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
class PhotoList : public QListWidget {
    Q_OBJECT
public:
    explicit PhotoList(QWidget* parent = nullptr);

    void clearRows();
    void appendRow(const std::string& path, int32_t value);
    [[nodiscard]] int rowCount() const { return count(); }
    // Empty / NO_RESULT_INDEX for a row outside the list.
    [[nodiscard]] std::string rowText(int row) const;
    [[nodiscard]] int32_t rowValue(int row) const;
    void setRowValue(int row, int32_t value);
    // Lowest selected row, -1 when none is selected.
    [[nodiscard]] int firstSelectedRow() const;

    // Marks row r as current, scrolls forward when r lies in the lower half of the visible
    // rows, and repaints at once.
    void setCurrentRow(int r);
    [[nodiscard]] int getCurrentRow() const { return m_currentRow; }
    // First visible row and the number of whole rows that fit in the list.
    [[nodiscard]] int topRow() const;
    [[nodiscard]] int rowsPerPage() const;

    // Draws one row into rowRect (viewport pixels).
    void drawItem(QPainter& painter, const QRect& rowRect, int row) const;

signals:
    // A mouse click in the list has been handled by the list (selection already updated).
    void rowsClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_currentRow = 0;
};
