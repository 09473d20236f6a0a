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
#include "view/PhotoView.h"

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
::testing::AssertionResult near(QRgb actual, QRgb expected, int tolerance = 2) {
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
QRgb blend(uint32_t argb, QRgb under) {
    const int a = static_cast<int>(argb >> 24);
    const auto mix = [a](int top, int bottom) { return (top * a + bottom * (255 - a)) / 255; };
    return qRgb(mix(qRed(argb), qRed(under)), mix(qGreen(argb), qGreen(under)),
                mix(qBlue(argb), qBlue(under)));
}

const QRgb kPhotoColor = qRgb(40, 80, 200);
const QRgb kGreen = qRgb(0x32, 0x64, 0x32);
const QRgb kRed = qRgb(0xFF, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

class PhotoViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_settings = std::make_unique<Settings>(m_dir.path().toStdString() + "/param.dat");
        m_settings->setDestinationFolder(m_dir.path().toStdString() + "/");
        m_doc = std::make_unique<PhotoDocument>(*m_settings);
        m_wnd = std::make_unique<PhotoView>(*m_settings, *m_doc, nullptr);
        m_wnd->resize(1010, 760);
        m_wnd->show(); // a shown window reports its size to the document at once
        m_doc->setFormat(15, 10, "15x10");
    }

    // A uniform photo: every displayed pixel of it has the same colour.
    std::string writePhoto(int width, int height, QRgb color = kPhotoColor) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(color);
        const std::optional<QByteArray> bytes = JpegCodec::encode(image, 100);
        EXPECT_TRUE(bytes.has_value());
        const std::string path =
            m_dir.path().toStdString() + "/p" + std::to_string(++m_photoCount) + ".jpg";
        EXPECT_TRUE(JpegCodec::writeFileSafely(path, bytes.value_or(QByteArray())));
        return path;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<PhotoDocument> m_doc;
    std::unique_ptr<PhotoView> m_wnd;
    int m_photoCount = 0;
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

TEST_F(PhotoViewTest, GivesTheDocumentItsSizeAndRepaintsOnEveryAnnouncedChange) {
    m_wnd->resize(801, 555);
    ASSERT_TRUE(m_doc->load(writePhoto(3000, 2000), kNoResultIndex));
    EXPECT_EQ(m_doc->geometry().clientWidth(), 801);
    EXPECT_EQ(m_doc->geometry().clientHeight(), 555);
    EXPECT_EQ(rightEdge(m_doc->imageRect()), 801 - 5);

    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_wnd.get()));
    PaintCounter counter;
    m_wnd->installEventFilter(&counter);
    const std::pair<const char*, void (*)(PhotoDocument&)> changes[] = {
        {"photo", [](PhotoDocument& d) { d.rotateLeft(); }},
        {"frame", [](PhotoDocument& d) { d.zoomFrame(5); }},
        {"flags", [](PhotoDocument& d) { d.setThirds(true); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        counter.paints = 0;
        change(*m_doc);
        EXPECT_GE(counter.paints, 1) << "painted at once, not later";
    }
}

TEST_F(PhotoViewTest, CanvasTileAroundThePhotoOrAloneWithoutOne) {
    const QImage tile = QImage(":/res/canvas-tile.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(tile.isNull());
    const auto isTile = [&tile](const QImage& shown, QPoint p) {
        return (shown.pixel(p) & 0xFFFFFF) ==
               (tile.pixel(p.x() % tile.width(), p.y() % tile.height()) & 0xFFFFFF);
    };
    EXPECT_TRUE(isTile(m_wnd->renderToImage(), QPoint(505, 380))) << "no photo";
    ASSERT_TRUE(m_doc->load(writePhoto(600, 400), kNoResultIndex));
    m_doc->setFormat(0, 0, ""); // no frame: nothing tinted
    const QImage shown = m_wnd->renderToImage();
    const QRect image = m_doc->imageRect();
    ASSERT_EQ(image, edges(205, 180, 805, 580)); // own size, centred
    EXPECT_TRUE(near(shown.pixel(image.x(), image.y()), kPhotoColor));
    EXPECT_TRUE(near(shown.pixel(rightEdge(image) - 1, bottomEdge(image) - 1), kPhotoColor));
    for (const QPoint p : {QPoint(image.x() - 1, 300), QPoint(500, image.y() - 1),
                           QPoint(rightEdge(image), 300), QPoint(500, bottomEdge(image))}) {
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

TEST_F(PhotoViewTest, TintOutsideTheFrame) {
    const TintRow rows[] = {
        // The colour itself is the document's (frameColor); here, that it is blended.
        {"half opacity", 50, true, true, blend(0x7F326432, kPhotoColor)},
        {"opaque", 100, true, true, kGreen},
        {"no format: no tint", 100, true, false, kPhotoColor},
    };
    // 1800 x 1000 in 15 x 10: a turned frame 1500 photo pixels wide, 100 px/cm, green.
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000), kNoResultIndex));
    for (const TintRow& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings->setOpacity(row.opacity);
        m_settings->setUseRecadColor(row.recadColor ? 1 : 0);
        if (row.format) {
            m_doc->setFormat(15, 10, "15x10");
        } else {
            m_doc->setFormat(0, 0, "");
        }
        const QImage shown = m_wnd->renderToImage();
        const QRect image = m_doc->imageRect();
        const int midY = (image.y() + bottomEdge(image)) / 2;
        EXPECT_TRUE(near(shown.pixel(image.x() + 3, midY), row.expected));
        EXPECT_TRUE(near(shown.pixel(rightEdge(image) - 3, midY), row.expected));
        // Inside the frame the photo shows as it is.
        EXPECT_TRUE(near(shown.pixel((image.x() + rightEdge(image)) / 2, midY), kPhotoColor));
    }
}

TEST_F(PhotoViewTest, ThirdsGuidesInTheQualityColour) {
    m_settings->setOpacity(100);
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000), kNoResultIndex));
    const QRect f = m_doc->frameRect(false);
    const int x1 = f.x() + f.width() / 3;
    const int y2 = f.y() + (2 * f.height()) / 3;
    const QPoint onVertical(x1, f.y() + f.height() / 6);
    const QPoint onHorizontal(f.x() + f.width() / 6, y2);
    const QPoint onCircle(x1, y2 - 10); // top of the circle round a crossing
    const QPoint clear(x1 + f.width() / 6, f.y() + f.height() / 6);

    const auto hit = [](const QImage& shown, QPoint p, QRgb color) {
        // The 2-pixel pen covers the coordinate or its neighbour before it.
        return near(shown.pixel(p), color) || near(shown.pixel(p - QPoint(1, 0)), color) ||
               near(shown.pixel(p - QPoint(0, 1)), color);
    };
    const QImage without = m_wnd->renderToImage();
    EXPECT_TRUE(near(without.pixel(onVertical), kPhotoColor));
    EXPECT_TRUE(near(without.pixel(onHorizontal), kPhotoColor));

    m_doc->setThirds(true);
    const QImage with = m_wnd->renderToImage();
    EXPECT_TRUE(hit(with, onVertical, kGreen));
    EXPECT_TRUE(hit(with, onHorizontal, kGreen));
    EXPECT_TRUE(hit(with, onCircle, kGreen));
    EXPECT_TRUE(near(with.pixel(clear), kPhotoColor));
}

TEST_F(PhotoViewTest, WhiteRingPreviewWidthFollowsTheFrameOnScreen) {
    // An upright frame 600 display pixels high: b = trunc(0.4 / 15 x 600) = 16.
    m_wnd->resize(1010, 610);
    ASSERT_TRUE(m_doc->load(writePhoto(1000, 1500), kNoResultIndex));
    m_doc->setWhiteBorderSize(4);
    m_doc->setWhiteBorder(true);
    const QRect f = m_doc->frameRect(false);
    ASSERT_EQ(f.height(), 600);
    ASSERT_FALSE(m_doc->geometry().isFrameRotated());
    const QImage shown = m_wnd->renderToImage();
    const int midX = (f.x() + rightEdge(f)) / 2;
    const int midY = (f.y() + bottomEdge(f)) / 2;
    EXPECT_EQ(shown.pixel(f.x() + 15, midY) & 0xFFFFFF, kWhite & 0xFFFFFF);
    EXPECT_TRUE(near(shown.pixel(f.x() + 16, midY), kPhotoColor));
    EXPECT_EQ(shown.pixel(midX, bottomEdge(f) - 16) & 0xFFFFFF, kWhite & 0xFFFFFF);
    EXPECT_TRUE(near(shown.pixel(midX, bottomEdge(f) - 17), kPhotoColor));

    m_doc->setWhiteBorder(false);
    EXPECT_TRUE(near(m_wnd->renderToImage().pixel(f.x() + 15, midY), kPhotoColor));
}

TEST_F(PhotoViewTest, ThinOutlineOnlyWhereTheFrameLeavesTheEdge) {
    m_settings->setUseSmallRBorder(1);
    m_settings->setUseRecadColor(0); // red outline whatever the quality
    m_settings->setOpacity(100);
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000), kNoResultIndex));
    // Full-height turned frame: touches the top and bottom of the photo only.
    const QRect f = m_doc->frameRect(false);
    const QRect image = m_doc->imageRect();
    ASSERT_EQ(f.y(), image.y());
    const int midY = (f.y() + bottomEdge(f)) / 2;
    const int midX = (f.x() + rightEdge(f)) / 2;
    const QImage shown = m_wnd->renderToImage();
    // Red lines just outside the frame's sides; the rest of the outside is the grey tint.
    EXPECT_TRUE(near(shown.pixel(f.x() - 1, midY), kRed));
    EXPECT_TRUE(near(shown.pixel(rightEdge(f), midY), kRed));
    EXPECT_TRUE(near(shown.pixel(image.x() + 3, midY), qRgb(0x14, 0x14, 0x14)));
    // No line along the top: the frame's first row is the photo.
    EXPECT_TRUE(near(shown.pixel(midX, f.y()), kPhotoColor));
}

TEST_F(PhotoViewTest, PaintShowsTheComposedPicture) {
    m_settings->setOpacity(70);
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000), kNoResultIndex));
    m_doc->setThirds(true);
    m_doc->moveFrameX(40);
    const QImage painted = m_wnd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage composed = m_wnd->renderToImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted, composed);
}

TEST_F(PhotoViewTest, DisplayCopyFollowsEditsAndResizes) {
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000, kPhotoColor), kNoResultIndex));
    m_doc->setFormat(0, 0, "");
    (void)m_wnd->renderToImage(); // builds the display copy
    m_doc->rotateRight();
    QRect image = m_doc->imageRect();
    ASSERT_GT(image.height(), image.width()); // the turned photo is upright now
    QImage shown = m_wnd->renderToImage();
    EXPECT_TRUE(
        near(shown.pixel((image.x() + rightEdge(image)) / 2, bottomEdge(image) - 2), kPhotoColor));

    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000, qRgb(250, 250, 0)), kNoResultIndex));
    m_wnd->resize(700, 500);
    image = m_doc->imageRect();
    shown = m_wnd->renderToImage();
    ASSERT_EQ(shown.size(), QSize(700, 500));
    EXPECT_TRUE(near(shown.pixel(rightEdge(image) - 2, bottomEdge(image) - 2), qRgb(250, 250, 0)));
}

TEST_F(PhotoViewTest, FullScreenRoundTripReturnsToItsPlaceInTheLayout) {
    m_wnd.reset(); // the document is shown by the window in the view alone
    QWidget view;
    view.resize(1200, 800);
    PhotoView* display = new PhotoView(*m_settings, *m_doc, &view);
    auto* layout = new QHBoxLayout(&view);
    layout->addWidget(display); // first: index 0 is a place too
    layout->addWidget(new QWidget(&view));
    layout->addWidget(new QWidget(&view));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(m_doc->load(writePhoto(1800, 1000), kNoResultIndex));
    m_doc->setFormat(15, 10, "15x10");
    m_doc->moveFrameX(-30);
    const QRect place = display->geometry();
    const QRect frame = m_doc->frameRect(false);

    display->setFullScreen(true);
    QWidget* full = display->window();
    ASSERT_NE(full, &view);
    EXPECT_EQ(full, display->fullScreenWindow());
    EXPECT_TRUE(full->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(full->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(full->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_EQ(display->geometry(), full->rect());
    display->setFullScreen(true); // entering again keeps the place in the view

    display->setFullScreen(false);
    display->setFullScreen(false); // leaving twice changes nothing
    EXPECT_EQ(display->parentWidget(), &view);
    EXPECT_TRUE(display->isVisible());
    EXPECT_EQ(display->geometry(), place);
    EXPECT_EQ(m_doc->frameRect(false), frame);
    EXPECT_EQ(layout->indexOf(display), 0);
    EXPECT_TRUE(display->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(full->isVisible());
}

TEST_F(PhotoViewTest, FullScreenWindowTakesInputAndHandsItToTheView) {
    m_wnd.reset();
    InputRecorder view;
    view.resize(800, 600);
    PhotoView* display = new PhotoView(*m_settings, *m_doc, &view);
    display->setGeometry(160, 0, 640, 600);
    display->setKeyForwardTarget(&view);
    view.show();

    display->setFullScreen(true);
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
    display->setFullScreen(false);
}

} // namespace
