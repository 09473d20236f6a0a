#include "engine/IdSheetLayout.h"

#include <QColor>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/ImageBuffer.h"
#include "engine/PixelMath.h"
#include "engine/RowBands.h"

namespace {

// Identity photos per centimetre along the 45 mm side (1 / 4.5) and the 35 mm side (1 / 3.5).
constexpr double kPerCmAlong45mm = 0.2222222222222222;
constexpr double kPerCmAlong35mm = 0.2857142857142857;

} // namespace

std::optional<IdSheetLayout> IdSheetLayout::compute(int frameWidth, int frameHeight,
                                                    double heightCm, double widthCm, double ratio) {
    if (frameWidth <= 0 || frameHeight <= 0 || heightCm <= 0.0 || widthCm <= 0.0 || ratio <= 0.0) {
        return std::nullopt;
    }
    const double fw = frameWidth;
    const double fh = frameHeight;
    IdSheetLayout layout;
    layout.m_frameWidth = frameWidth;
    layout.m_frameHeight = frameHeight;

    // Count along each side of the format; the copies lie turned along the longer side
    // here, which the exchange below undoes.
    int sw = 0;
    int sh = 0;
    if (heightCm > widthCm) {
        layout.m_columns = truncToInt(heightCm * kPerCmAlong45mm);
        layout.m_rows = truncToInt(widthCm * kPerCmAlong35mm);
        sw = truncToInt(fh * heightCm * kPerCmAlong45mm);
        sh = truncToInt(fw * widthCm * kPerCmAlong35mm);
    } else {
        layout.m_columns = truncToInt(heightCm * kPerCmAlong35mm);
        layout.m_rows = truncToInt(widthCm * kPerCmAlong45mm);
        sw = truncToInt(fw * heightCm * kPerCmAlong35mm);
        sh = truncToInt(fh * widthCm * kPerCmAlong45mm);
    }

    // Enlarge one side to bring the sheet to the format's proportions.
    if (sh * ratio > sw) {
        sw = truncToInt(sh * ratio);
    } else {
        sh = truncToInt(sw / ratio);
    }

    // The sheet is always upright.
    if (sw > sh) {
        std::swap(sw, sh);
        std::swap(layout.m_columns, layout.m_rows);
    }
    layout.m_sheetWidth = sw;
    layout.m_sheetHeight = sh;
    layout.m_margin = sh - layout.m_rows * frameHeight;
    return layout;
}

QRect IdSheetLayout::bannerRect() const {
    return QRect(0, 0, (m_margin * kBannerWidth) / kBannerHeight, m_margin);
}

std::vector<QRect> IdSheetLayout::copyRects() const {
    std::vector<QRect> rects;
    if (m_columns <= 0 || m_rows <= 0) {
        return rects;
    }
    rects.reserve(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows));
    for (int i = 0; i < m_columns; ++i) {
        for (int j = 0; j < m_rows; ++j) {
            const int x = i * m_frameWidth;
            const int y = m_margin + j * m_frameHeight;
            rects.emplace_back(x, y, m_frameWidth, m_frameHeight);
        }
    }
    return rects;
}

QImage IdSheetLayout::compose(const QImage& face, const QImage& banner, QRgb background) const {
    QImage sheet = allocateRgb888(m_sheetWidth, m_sheetHeight);
    const QImage copy = face.convertToFormat(QImage::Format_RGB888);
    if (sheet.isNull() || (!face.isNull() && copy.isNull())) {
        return {}; // out of memory
    }
    // The banner is painted apart, in 32-bit so QPainter scales it at full speed, over the
    // background: the same pixels as painting it straight onto the sheet.
    QImage strip;
    const QRect bannerArea = bannerRect() & sheet.rect();
    if (!bannerArea.isEmpty()) {
        QImage painted(bannerArea.size(), QImage::Format_RGB32);
        painted.fill(QColor::fromRgba(background));
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(bannerRect(), banner);
        painter.end();
        strip = painted.convertToFormat(QImage::Format_RGB888);
    }
    const QByteArray backgroundRow = [&] {
        QByteArray row(qsizetype{m_sheetWidth} * 3, Qt::Uninitialized);
        for (qsizetype x = 0; x < row.size(); x += 3) {
            row[x] = static_cast<char>(qRed(background));
            row[x + 1] = static_cast<char>(qGreen(background));
            row[x + 2] = static_cast<char>(qBlue(background));
        }
        return row;
    }();
    std::vector<QRect> copies;
    for (const QRect& rect : copyRects()) {
        const QRect onSheet = rect & sheet.rect();
        if (!onSheet.isEmpty() && !copy.isNull()) {
            copies.push_back(rect);
        }
    }
    uchar* const bits = sheet.bits();
    const qsizetype stride = sheet.bytesPerLine();
    RowBands::run(m_sheetHeight, m_sheetWidth, [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            uchar* row = bits + qsizetype{y} * stride;
            std::memcpy(row, backgroundRow.constData(), std::size_t(backgroundRow.size()));
            if (y < strip.height()) {
                std::memcpy(row, strip.constScanLine(y), std::size_t(strip.width()) * 3);
            }
            for (const QRect& rect : copies) {
                const int faceY = y - rect.y();
                if (faceY < 0 || faceY >= copy.height()) {
                    continue;
                }
                const int width = std::min(copy.width(), m_sheetWidth - rect.x());
                std::memcpy(row + qsizetype{rect.x()} * 3, copy.constScanLine(faceY),
                            std::size_t(width) * 3);
            }
        }
    });
    return sheet;
}
