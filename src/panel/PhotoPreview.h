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
class PhotoPreview : public QWidget {
    Q_OBJECT
public:
    explicit PhotoPreview(QWidget* parent = nullptr);

    // Keeps a copy of photo reduced to 0.33 of each side, then repaints at once.
    void setPreview(const QImage& photo);
    [[nodiscard]] const QImage& preview() const { return m_preview; }
    // Where the reduced copy is drawn, client pixels: the client area less a 5-pixel margin,
    // the copy scaled down (never up) to fit and centred. Empty before the first photo.
    [[nodiscard]] QRect previewRect() const;

signals:
    // A left click on the widget.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_preview;
    QBrush m_backgroundBrush;
};
