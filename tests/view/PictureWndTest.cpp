#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/JpegCodec.h"
#include "engine/PhotoDocument.h"
#include "engine/RectTesting.h"
#include "settings/Settings.h"
#include "view/PictureWnd.h"

namespace {

// Stands in for the view: counts the input handed to it.
class InputRecorder : public QWidget {
public:
    std::vector<int> keysPressed;
    std::vector<int> keysReleased;
    std::vector<QEvent::Type> mouse;

protected:
    void keyPressEvent(QKeyEvent* e) override { keysPressed.push_back(e->key()); }
    void keyReleaseEvent(QKeyEvent* e) override { keysReleased.push_back(e->key()); }
    void mousePressEvent(QMouseEvent* e) override { mouse.push_back(e->type()); }
    void mouseReleaseEvent(QMouseEvent* e) override { mouse.push_back(e->type()); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.push_back(e->type()); }
};

// Channels within tolerance of each other.
::testing::AssertionResult Near(QRgb actual, QRgb expected, int tolerance = 2) {
    const int d = std::max({std::abs(qRed(actual) - qRed(expected)),
                            std::abs(qGreen(actual) - qGreen(expected)),
                            std::abs(qBlue(actual) - qBlue(expected))});
    if (d <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << std::hex << "got 0x" << (actual & 0xFFFFFF)
                                         << ", expected 0x" << (expected & 0xFFFFFF);
}

// Source-over of an ARGB colour on an opaque pixel.
QRgb Blend(uint32_t argb, QRgb under) {
    const int a = static_cast<int>(argb >> 24);
    const auto mix = [a](int top, int bottom) { return (top * a + bottom * (255 - a)) / 255; };
    return qRgb(mix(qRed(argb), qRed(under)), mix(qGreen(argb), qGreen(under)),
                mix(qBlue(argb), qBlue(under)));
}

const QRgb kPhotoColor = qRgb(40, 80, 200);
const QRgb kGreen = qRgb(0x32, 0x64, 0x32);
const QRgb kRed = qRgb(0xFF, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

class PictureWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        settings = std::make_unique<CSettings>(dir.path().toStdString() + "/param.dat");
        settings->SetDestinationFolder(dir.path().toStdString() + "/");
        doc = std::make_unique<PhotoDocument>(*settings);
        wnd = std::make_unique<CPictureWnd>(*settings, *doc, nullptr);
        wnd->resize(1010, 760);
        wnd->show(); // a shown window reports its size to the document at once
        doc->setFormat(15, 10, "15x10");
    }

    // A uniform photo: every displayed pixel of it has the same colour.
    std::string WritePhoto(int width, int height, QRgb color = kPhotoColor) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(color);
        const std::optional<QByteArray> bytes = JpegCodec::Encode(image, 100);
        EXPECT_TRUE(bytes.has_value());
        const std::string path =
            dir.path().toStdString() + "/p" + std::to_string(++photoCount) + ".jpg";
        EXPECT_TRUE(JpegCodec::WriteFileSafely(path, bytes.value_or(QByteArray())));
        return path;
    }

    QTemporaryDir dir;
    std::unique_ptr<CSettings> settings;
    std::unique_ptr<PhotoDocument> doc;
    std::unique_ptr<CPictureWnd> wnd;
    int photoCount = 0;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(PictureWndTest, GivesTheDocumentItsSizeAndRepaintsOnEveryAnnouncedChange) {
    wnd->resize(801, 555);
    ASSERT_TRUE(doc->load(WritePhoto(3000, 2000), NO_RESULT_INDEX));
    EXPECT_EQ(doc->geometry().ClientWidth(), 801);
    EXPECT_EQ(doc->geometry().ClientHeight(), 555);
    EXPECT_EQ(RightEdge(doc->imageRect()), 801 - 5);

    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd.get()));
    PaintCounter counter;
    wnd->installEventFilter(&counter);
    const std::pair<const char*, void (*)(PhotoDocument&)> changes[] = {
        {"photo", [](PhotoDocument& d) { d.rotateLeft(); }},
        {"frame", [](PhotoDocument& d) { d.zoomFrame(5); }},
        {"flags", [](PhotoDocument& d) { d.setThirds(true); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        counter.paints = 0;
        change(*doc);
        EXPECT_GE(counter.paints, 1) << "painted at once, not later";
    }
}

TEST_F(PictureWndTest, CanvasTileAroundThePhotoOrAloneWithoutOne) {
    const QImage tile = QImage(":/res/canvas-tile.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(tile.isNull());
    const auto isTile = [&tile](const QImage& shown, QPoint p) {
        return (shown.pixel(p) & 0xFFFFFF) ==
               (tile.pixel(p.x() % tile.width(), p.y() % tile.height()) & 0xFFFFFF);
    };
    EXPECT_TRUE(isTile(wnd->RenderToImage(), QPoint(505, 380))) << "no photo";
    ASSERT_TRUE(doc->load(WritePhoto(600, 400), NO_RESULT_INDEX));
    doc->setFormat(0, 0, ""); // no frame: nothing tinted
    const QImage shown = wnd->RenderToImage();
    const QRect image = doc->imageRect();
    ASSERT_EQ(image, Edges(205, 180, 805, 580)); // own size, centred
    EXPECT_TRUE(Near(shown.pixel(image.x(), image.y()), kPhotoColor));
    EXPECT_TRUE(Near(shown.pixel(RightEdge(image) - 1, BottomEdge(image) - 1), kPhotoColor));
    for (const QPoint p : {QPoint(image.x() - 1, 300), QPoint(500, image.y() - 1),
                           QPoint(RightEdge(image), 300), QPoint(500, BottomEdge(image))}) {
        EXPECT_TRUE(isTile(shown, p)) << p.x() << ", " << p.y();
    }
}

struct TintRow {
    const char* name;
    int opacity;
    bool recadColor;
    bool format;
    QRgb expected; // at a photo pixel outside the frame
};

TEST_F(PictureWndTest, TintOutsideTheFrame) {
    const TintRow rows[] = {
        // The colour itself is the document's (frameColor); here, that it is blended.
        {"half opacity", 50, true, true, Blend(0x7F326432, kPhotoColor)},
        {"opaque", 100, true, true, kGreen},
        {"no format: no tint", 100, true, false, kPhotoColor},
    };
    // 1800 x 1000 in 15 x 10: a turned frame 1500 photo pixels wide, 100 px/cm, green.
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000), NO_RESULT_INDEX));
    for (const TintRow& row : rows) {
        SCOPED_TRACE(row.name);
        settings->SetOpacity(row.opacity);
        settings->SetUseRecadColor(row.recadColor ? 1 : 0);
        if (row.format) {
            doc->setFormat(15, 10, "15x10");
        } else {
            doc->setFormat(0, 0, "");
        }
        const QImage shown = wnd->RenderToImage();
        const QRect image = doc->imageRect();
        const int midY = (image.y() + BottomEdge(image)) / 2;
        EXPECT_TRUE(Near(shown.pixel(image.x() + 3, midY), row.expected));
        EXPECT_TRUE(Near(shown.pixel(RightEdge(image) - 3, midY), row.expected));
        // Inside the frame the photo shows as it is.
        EXPECT_TRUE(Near(shown.pixel((image.x() + RightEdge(image)) / 2, midY), kPhotoColor));
    }
}

TEST_F(PictureWndTest, ThirdsGuidesInTheQualityColour) {
    settings->SetOpacity(100);
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000), NO_RESULT_INDEX));
    const QRect f = doc->frameRect(false);
    const int x1 = f.x() + f.width() / 3;
    const int y2 = f.y() + (2 * f.height()) / 3;
    const QPoint onVertical(x1, f.y() + f.height() / 6);
    const QPoint onHorizontal(f.x() + f.width() / 6, y2);
    const QPoint onCircle(x1, y2 - 10); // top of the circle round a crossing
    const QPoint clear(x1 + f.width() / 6, f.y() + f.height() / 6);

    const auto hit = [](const QImage& shown, QPoint p, QRgb color) {
        // The 2-pixel pen covers the coordinate or its neighbour before it.
        return Near(shown.pixel(p), color) || Near(shown.pixel(p - QPoint(1, 0)), color) ||
               Near(shown.pixel(p - QPoint(0, 1)), color);
    };
    const QImage without = wnd->RenderToImage();
    EXPECT_TRUE(Near(without.pixel(onVertical), kPhotoColor));
    EXPECT_TRUE(Near(without.pixel(onHorizontal), kPhotoColor));

    doc->setThirds(true);
    const QImage with = wnd->RenderToImage();
    EXPECT_TRUE(hit(with, onVertical, kGreen));
    EXPECT_TRUE(hit(with, onHorizontal, kGreen));
    EXPECT_TRUE(hit(with, onCircle, kGreen));
    EXPECT_TRUE(Near(with.pixel(clear), kPhotoColor));
}

TEST_F(PictureWndTest, WhiteRingPreviewWidthFollowsTheFrameOnScreen) {
    // An upright frame 600 display pixels high: b = trunc(0.4 / 15 x 600) = 16.
    wnd->resize(1010, 610);
    ASSERT_TRUE(doc->load(WritePhoto(1000, 1500), NO_RESULT_INDEX));
    doc->setWhiteBorderSize(4);
    doc->setWhiteBorder(true);
    const QRect f = doc->frameRect(false);
    ASSERT_EQ(f.height(), 600);
    ASSERT_FALSE(doc->geometry().IsFrameRotated());
    const QImage shown = wnd->RenderToImage();
    const int midX = (f.x() + RightEdge(f)) / 2;
    const int midY = (f.y() + BottomEdge(f)) / 2;
    EXPECT_EQ(shown.pixel(f.x() + 15, midY) & 0xFFFFFF, kWhite & 0xFFFFFF);
    EXPECT_TRUE(Near(shown.pixel(f.x() + 16, midY), kPhotoColor));
    EXPECT_EQ(shown.pixel(midX, BottomEdge(f) - 16) & 0xFFFFFF, kWhite & 0xFFFFFF);
    EXPECT_TRUE(Near(shown.pixel(midX, BottomEdge(f) - 17), kPhotoColor));

    doc->setWhiteBorder(false);
    EXPECT_TRUE(Near(wnd->RenderToImage().pixel(f.x() + 15, midY), kPhotoColor));
}

TEST_F(PictureWndTest, ThinOutlineOnlyWhereTheFrameLeavesTheEdge) {
    settings->SetUseSmallRBorder(1);
    settings->SetUseRecadColor(0); // red outline whatever the quality
    settings->SetOpacity(100);
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000), NO_RESULT_INDEX));
    // Full-height turned frame: touches the top and bottom of the photo only.
    const QRect f = doc->frameRect(false);
    const QRect image = doc->imageRect();
    ASSERT_EQ(f.y(), image.y());
    const int midY = (f.y() + BottomEdge(f)) / 2;
    const int midX = (f.x() + RightEdge(f)) / 2;
    const QImage shown = wnd->RenderToImage();
    // Red lines just outside the frame's sides; the rest of the outside is the grey tint.
    EXPECT_TRUE(Near(shown.pixel(f.x() - 1, midY), kRed));
    EXPECT_TRUE(Near(shown.pixel(RightEdge(f), midY), kRed));
    EXPECT_TRUE(Near(shown.pixel(image.x() + 3, midY), qRgb(0x14, 0x14, 0x14)));
    // No line along the top: the frame's first row is the photo.
    EXPECT_TRUE(Near(shown.pixel(midX, f.y()), kPhotoColor));
}

TEST_F(PictureWndTest, PaintShowsTheComposedPicture) {
    settings->SetOpacity(70);
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000), NO_RESULT_INDEX));
    doc->setThirds(true);
    doc->moveFrameX(40);
    const QImage painted = wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage composed = wnd->RenderToImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, composed);
}

TEST_F(PictureWndTest, DisplayCopyFollowsEditsAndResizes) {
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000, kPhotoColor), NO_RESULT_INDEX));
    doc->setFormat(0, 0, "");
    (void)wnd->RenderToImage(); // builds the display copy
    doc->rotateRight();
    QRect image = doc->imageRect();
    ASSERT_GT(image.height(), image.width()); // the turned photo is upright now
    QImage shown = wnd->RenderToImage();
    EXPECT_TRUE(
        Near(shown.pixel((image.x() + RightEdge(image)) / 2, BottomEdge(image) - 2), kPhotoColor));

    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000, qRgb(250, 250, 0)), NO_RESULT_INDEX));
    wnd->resize(700, 500);
    image = doc->imageRect();
    shown = wnd->RenderToImage();
    ASSERT_EQ(shown.size(), QSize(700, 500));
    EXPECT_TRUE(Near(shown.pixel(RightEdge(image) - 2, BottomEdge(image) - 2), qRgb(250, 250, 0)));
}

TEST_F(PictureWndTest, FullScreenRoundTripReturnsToItsPlaceInTheLayout) {
    wnd.reset(); // the document is shown by the window in the view alone
    QWidget view;
    view.resize(1200, 800);
    CPictureWnd* display = new CPictureWnd(*settings, *doc, &view);
    auto* layout = new QHBoxLayout(&view);
    layout->addWidget(new QWidget(&view));
    layout->addWidget(display);
    layout->addWidget(new QWidget(&view));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(doc->load(WritePhoto(1800, 1000), NO_RESULT_INDEX));
    doc->setFormat(15, 10, "15x10");
    doc->moveFrameX(-30);
    const QRect place = display->geometry();
    const QRect frame = doc->frameRect(false);

    display->SetFullScreen(true);
    QWidget* full = display->window();
    ASSERT_NE(full, &view);
    EXPECT_EQ(full, display->FullScreenWindow());
    EXPECT_TRUE(full->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(full->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(full->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(display->geometry(), full->rect());
    display->SetFullScreen(true); // entering again keeps the place in the view

    display->SetFullScreen(false);
    display->SetFullScreen(false); // leaving twice changes nothing
    EXPECT_EQ(display->parentWidget(), &view);
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(display->geometry(), place);
    EXPECT_EQ(doc->frameRect(false), frame);
    EXPECT_EQ(layout->indexOf(display), 1);
    EXPECT_TRUE(display->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(full->isVisible());
}

TEST_F(PictureWndTest, FullScreenWindowTakesInputAndHandsItToTheView) {
    wnd.reset();
    InputRecorder view;
    view.resize(800, 600);
    CPictureWnd* display = new CPictureWnd(*settings, *doc, &view);
    display->setGeometry(160, 0, 640, 600);
    display->SetKeyForwardTarget(&view);
    view.show();

    display->SetFullScreen(true);
    QWidget* full = display->window();
    ASSERT_NE(full, &view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(full));
    // A window marked transparent for input gets no key and no mouse event at all from a
    // real window system (X11).
    ASSERT_NE(full->windowHandle(), nullptr);
    EXPECT_FALSE(full->windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_EQ(QApplication::focusWidget(), full);

    QTest::keyClick(full, Qt::Key_Left);
    QTest::keyClick(full, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view.keysPressed, (std::vector<int>{Qt::Key_Left, Qt::Key_Plus}));
    EXPECT_EQ(view.keysReleased, (std::vector<int>{Qt::Key_Left, Qt::Key_Plus}));

    QTest::mouseDClick(full, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_NE(std::find(view.mouse.begin(), view.mouse.end(), QEvent::MouseButtonDblClick),
              view.mouse.end());
    display->SetFullScreen(false);
}

} // namespace
