#pragma once

#include <QBrush>
#include <QImage>
#include <QRect>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// Thumbnail of the current photo as it was loaded, drawn fitted over the canvas background.
// It keeps its own reduced copy, so later edits of the photo in the display window do not
// show here until the next photo is handed over.
class CPreviewWnd : public QWidget {
    Q_OBJECT
public:
    explicit CPreviewWnd(QWidget* parent = nullptr);

    // Keeps a copy of photo reduced to 0.33 of each side, then repaints at once.
    void SetPreview(const QImage& photo);
    [[nodiscard]] const QImage& Preview() const { return preview; }
    // Where the reduced copy is drawn, client pixels: the client area less a 5-pixel margin,
    // the copy scaled down (never up) to fit and centred. Empty before the first photo.
    [[nodiscard]] QRect GetPreviewRect() const;

signals:
    // A left click on the widget.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage preview;
    QBrush backgroundBrush;
};
