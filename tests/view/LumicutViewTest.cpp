#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/AppEventFilter.h"
#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "support/ExifJpegFixture.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/LumicutView.h"
#include "view/PhotoView.h"
#include "view/ViewActions.h"

namespace {

namespace fs = std::filesystem;

constexpr char kShotDate[] = "2006:07:14 10:00:00";
constexpr char kResult0[] = "Photos_20060714_000.jpg";
constexpr char kResult1[] = "Photos_20060714_001.jpg";

// Steps of a held key with progressive keys on: 1, 5, 9, ... 61, then 65 for good.
std::vector<int> progressiveSteps(int presses) {
    std::vector<int> steps;
    for (int k = 0; k < presses; ++k)
        steps.push_back(std::min(1 + 4 * k, 65));
    return steps;
}

// The working cycle on real widgets: a main frame with the photo view as its central widget,
// settings in a temporary param.dat, a working folder of generated gradient photos with an
// EXIF shot date, and a destination folder. Message boxes and folder pickers are answered by
// script.
class LumicutViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SplashWindow::enableSplash(false);
        ASSERT_TRUE(m_dir.isValid());
        m_root = m_dir.path().toStdString() + "/";
        for (const char* sub : {"photos", "out", "other"})
            ASSERT_TRUE(QDir(m_dir.path()).mkpath(sub));
        m_settings = std::make_unique<Settings>(paramPath());
        m_settings->setCurrentFolder(m_root + "photos/");
        m_settings->setDestinationFolder(m_root + "out/");
        m_settings->setRecurseOrigin(0);
        m_settings->setShowFullFileName(0);
        m_settings->setKeybProgressif(1);
    }
    void TearDown() override {
        if (m_filter)
            qApp->removeEventFilter(m_filter.get());
        m_frame.reset();
    }

    [[nodiscard]] std::string paramPath() const { return m_root + "param.dat"; }

    // A gradient JPEG (red across, green down) with the EXIF shot date.
    void photo(const std::string& relative, int width, int height,
               const std::string& date = kShotDate) const {
        QImage image(width, height, QImage::Format_RGB888);
        for (int y = 0; y < height; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<uchar>(x * 255 / width);
                row[3 * x + 1] = static_cast<uchar>(y * 255 / height);
                row[3 * x + 2] = 160;
            }
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "JPG", 90));
        if (!date.empty())
            bytes.insert(2, fixture::exifSegment(date));
        std::ofstream out(fs::path(m_root + relative), std::ios::binary);
        out.write(bytes.constData(), bytes.size());
        ASSERT_TRUE(static_cast<bool>(out));
    }

    void threePhotos() const {
        photo("photos/a.jpg", 600, 400);
        photo("photos/b.jpg", 400, 600);
        photo("photos/c.jpg", 500, 500);
    }

    // Builds frame and view as the program does, shows them and runs the initial update.
    void makeFrame(QSize size = QSize(1920, 1080)) {
        m_frame = std::make_unique<MainWindow>(*m_settings, m_prompts);
        m_view = new LumicutView(*m_settings, m_prompts, m_frame.get());
        m_frame->setView(m_view);
        m_frame->resize(size);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        m_view->onInitialUpdate();
        m_view->setFocus();
    }

    // The application's key filter, with the frame as the active window.
    void installKeyFilter() {
        m_filter = std::make_unique<AppEventFilter>(m_frame.get());
        m_filter->setKeyTarget(m_view);
        qApp->installEventFilter(m_filter.get());
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    }

    PhotoView& display() { return m_view->display(); }
    PhotoDocument& doc() { return m_view->document(); }
    SidePanel& panel() { return m_view->sidePanel(); }
    int offsetX() { return doc().geometry().offsetX(); }
    int offsetY() { return doc().geometry().offsetY(); }

    // Makes the crop frame small so that it has room to travel over the displayed photo.
    void shrinkFrameForTravel() {
        const QRect frameRect = doc().frameRect(false);
        doc().zoomFrame(std::min(frameRect.width(), frameRect.height()) / 2 - 20);
    }

    [[nodiscard]] std::set<std::string> outFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(m_root + "out")))
            names.insert(entry.path().filename().string());
        return names;
    }

    [[nodiscard]] QString statusText() const { return m_frame->resultStatusText(); }
    [[nodiscard]] std::optional<ResultIcon> statusIcon() const {
        return m_frame->resultStatusIcon();
    }

    // One key, and the results it queued written.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(m_view, key, modifiers);
        m_view->finishSaves();
    }

    QTemporaryDir m_dir;
    std::string m_root;
    std::unique_ptr<Settings> m_settings;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_frame;
    LumicutView* m_view = nullptr; // owned by the frame
    std::unique_ptr<AppEventFilter> m_filter;
};

enum class Holding {
    X11Repeat,     // auto-repeat arrives as release + press pairs, both flagged auto-repeat
    RepeatPresses, // auto-repeat arrives as presses only
    Strokes,       // the key is released after every press
};

TEST_F(LumicutViewTest, KeyStepFollowsHeldArrowKeys) {
    photo("photos/big.jpg", 2400, 1600);
    makeFrame();
    ASSERT_EQ(doc().sourcePath(), m_root + "photos/big.jpg");
    shrinkFrameForTravel();
    const int room = doc().imageRect().width() - doc().frameRect(false).width();
    ASSERT_GT(room, 800) << "the frame needs room to travel 20 presses";

    struct Row {
        const char* name;
        int progressive;
        Qt::KeyboardModifiers modifiers;
        Holding holding;
        std::vector<int> moves; // display pixels per press
        int afterRelease;       // move of one press after the key came up
    };
    const std::vector<int> progressive = progressiveSteps(20);
    const Row rows[] = {
        {"progressive, X11 auto-repeat pairs keep growing up to 65", 1, Qt::NoModifier,
         Holding::X11Repeat, progressive, 1},
        {"progressive, repeated presses keep growing up to 65", 1, Qt::NoModifier,
         Holding::RepeatPresses, progressive, 1},
        {"progressive, a real release after each press starts again at 1", 1, Qt::NoModifier,
         Holding::Strokes, std::vector<int>(20, 1), 1},
        {"progressive off: always 5", 0, Qt::NoModifier, Holding::X11Repeat,
         std::vector<int>(20, 5), 5},
        {"Ctrl with progressive on: always 1", 1, Qt::ControlModifier, Holding::X11Repeat,
         std::vector<int>(20, 1), 1},
        {"Ctrl with progressive off: always 1", 0, Qt::ControlModifier, Holding::X11Repeat,
         std::vector<int>(20, 1), 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings->setKeybProgressif(row.progressive);
        doc().moveFrameX(-100000); // to the left edge of the photo
        std::vector<int> moves;
        const auto press = [&](int i) {
            const int before = offsetX();
            if (i == 0 || row.holding == Holding::Strokes) {
                QTest::keyPress(m_view, Qt::Key_Right, row.modifiers);
            } else {
                if (row.holding == Holding::X11Repeat)
                    QTest::simulateEvent(m_view, false, Qt::Key_Right, row.modifiers, {}, true);
                QTest::simulateEvent(m_view, true, Qt::Key_Right, row.modifiers, {}, true);
            }
            moves.push_back(offsetX() - before);
            if (row.holding == Holding::Strokes)
                QTest::keyRelease(m_view, Qt::Key_Right, row.modifiers);
        };
        for (int i = 0; i < static_cast<int>(row.moves.size()); ++i)
            press(i);
        EXPECT_EQ(moves, row.moves);
        QTest::keyRelease(m_view, Qt::Key_Right, row.modifiers);
        EXPECT_EQ(m_view->currentKeyStep(), 1) << "a real release brings the step back to 1";

        moves.clear();
        press(0);
        QTest::keyRelease(m_view, Qt::Key_Right, row.modifiers);
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0], row.afterRelease);
    }

    // The other arrows move the same way, with the step of the moment.
    m_settings->setKeybProgressif(0);
    const int x = offsetX();
    const int y = offsetY();
    press(Qt::Key_Left);
    press(Qt::Key_Down);
    EXPECT_EQ(offsetX(), x - 5);
    EXPECT_EQ(offsetY(), y + 5);
    press(Qt::Key_Up);
    EXPECT_EQ(offsetY(), y);
}

TEST_F(LumicutViewTest, EnterSavesAndStaysThenMovesOnEscapeNeverSaves) {
    threePhotos();
    makeFrame();
    ASSERT_EQ(panel().currentIndex(), 0);
    EXPECT_TRUE(doc().isModified()) << "a fresh photo counts as modified";
    EXPECT_EQ(statusText(), QString("Destination : ") + kResult0);
    EXPECT_EQ(statusIcon(), ResultIcon::Missing);

    struct Step {
        const char* name;
        Qt::Key key;
        int index; // current row afterwards
        std::set<std::string> files;
        const char* statusName;
        ResultIcon icon;
    };
    const Step steps[] = {
        {"Enter on a fresh photo saves and stays",
         Qt::Key_Return,
         0,
         {kResult0},
         kResult0,
         ResultIcon::Saved},
        {"second Enter goes to the next photo",
         Qt::Key_Return,
         1,
         {kResult0},
         kResult1,
         ResultIcon::Missing},
        {"Escape goes on without saving",
         Qt::Key_Escape,
         2,
         {kResult0},
         kResult1,
         ResultIcon::Missing},
        {"keypad Enter saves too",
         Qt::Key_Enter,
         2,
         {kResult0, kResult1},
         kResult1,
         ResultIcon::Saved},
        {"Enter at the last saved photo stays there",
         Qt::Key_Return,
         2,
         {kResult0, kResult1},
         kResult1,
         ResultIcon::Saved},
        {"Escape at the last photo changes nothing",
         Qt::Key_Escape,
         2,
         {kResult0, kResult1},
         kResult1,
         ResultIcon::Saved},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        // The keypad's Enter carries the keypad flag.
        press(step.key, step.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(panel().currentIndex(), step.index);
        EXPECT_EQ(outFiles(), step.files);
        EXPECT_EQ(statusText(), QString("Destination : ") + step.statusName);
        EXPECT_EQ(statusIcon(), step.icon);
    }
    EXPECT_EQ(panel().photoList().rowValue(0), 0);
    EXPECT_EQ(panel().photoList().rowValue(1), kNoResultIndex) << "b was passed by";
    EXPECT_EQ(panel().photoList().rowValue(2), 1);
    // The 10x15 frame over a 600 x 400 photo is the whole photo; over the square one, 500 x
    // 333 (or 333 x 500).
    EXPECT_EQ(QImageReader(QString::fromStdString(m_root + "out/" + kResult0)).size(),
              QSize(600, 400));
    const QSize square = QImageReader(QString::fromStdString(m_root + "out/" + kResult1)).size();
    EXPECT_EQ(std::max(square.width(), square.height()), 500);
    EXPECT_NEAR(std::min(square.width(), square.height()), 333, 1);
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(LumicutViewTest, DoubleClickValidatesLikeEnterAndLeftDragMovesTheFrame) {
    photo("photos/big.jpg", 2400, 1600);
    photo("photos/next.jpg", 600, 400);
    makeFrame();
    shrinkFrameForTravel();
    const QPoint start = display().geometry().center();
    const int x = offsetX();
    const int y = offsetY();
    QTest::mousePress(m_view, Qt::LeftButton, {}, start);
    QTest::mouseMove(m_view, start + QPoint(30, -20));
    QTest::mouseRelease(m_view, Qt::LeftButton, {}, start + QPoint(30, -20));
    EXPECT_EQ(offsetX(), x + 30);
    EXPECT_EQ(offsetY(), y - 20);

    QTest::mouseDClick(m_view, Qt::LeftButton, {}, start);
    m_view->finishSaves();
    EXPECT_EQ(outFiles(), std::set<std::string>{kResult0});
    EXPECT_EQ(panel().currentIndex(), 0);
    QTest::mouseDClick(m_view, Qt::LeftButton, {}, start);
    EXPECT_EQ(panel().currentIndex(), 1);
}

TEST_F(LumicutViewTest, ShiftEnterOnASavedPhotoStartsTheNextIndex) {
    threePhotos();
    makeFrame();
    press(Qt::Key_Return);
    ASSERT_EQ(outFiles(), std::set<std::string>{kResult0});
    const std::string first = fixture::readAll(m_root + "out/" + kResult0);

    press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(panel().currentIndex(), 0) << "Shift+Enter stays on the photo";
    EXPECT_TRUE(doc().isModified()) << "reloaded";
    EXPECT_EQ(doc().resultIndex(), 1);
    EXPECT_EQ(statusText(), QString("Destination : ") + kResult1);
    EXPECT_EQ(statusIcon(), ResultIcon::Missing);

    press(Qt::Key_Right); // a different crop of the same photo
    press(Qt::Key_Return);
    EXPECT_EQ(outFiles(), (std::set<std::string>{kResult0, kResult1}));
    EXPECT_EQ(fixture::readAll(m_root + "out/" + kResult0), first) << "first result untouched";
    EXPECT_EQ(panel().currentResultIndex(), 1);
    EXPECT_EQ(statusIcon(), ResultIcon::Saved);
}

TEST_F(LumicutViewTest, DeleteAsksAndRemovesOnlyOnYes) {
    struct Row {
        const char* name;
        bool save; // a result exists before the key
        Qt::Key key;
        std::optional<QMessageBox::StandardButton> answer;
        QString text;
        QString caption;
        QMessageBox::Icon icon;
        bool fileAfter;
        int32_t rowValueAfter;
        ResultIcon iconAfter;
    };
    const QString question = "Voulez vous effacer le fichier résultat ?";
    const Row rows[] = {
        {"answered Yes: removed", true, Qt::Key_Delete, QMessageBox::Yes, question,
         "Suppression fichier résultat", QMessageBox::Question, false, kNoResultIndex,
         ResultIcon::Missing},
        {"answered No: kept", true, Qt::Key_Delete, QMessageBox::No, question,
         "Suppression fichier résultat", QMessageBox::Question, true, 0, ResultIcon::Saved},
        {"Enter answers Yes (the default)", true, Qt::Key_Delete, std::nullopt, question,
         "Suppression fichier résultat", QMessageBox::Question, false, kNoResultIndex,
         ResultIcon::Missing},
        {"no result file: a warning", false, Qt::Key_Delete, std::nullopt,
         "Le fichier résultat n'existe pas", "Attention!!!", QMessageBox::Warning, false,
         kNoResultIndex, ResultIcon::Missing},
    };
    threePhotos();
    makeFrame();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_view->actions().action(Command::PreviousPicture)->trigger(); // back to a
        m_view->actions().action(Command::PreviousPicture)->trigger();
        ASSERT_EQ(panel().currentIndex(), 0);
        press(Qt::Key_Home); // reloaded: modified again, so that Enter saves
        if (row.save) {
            press(Qt::Key_Return);
            ASSERT_TRUE(fs::exists(m_root + "out/" + kResult0));
        }
        m_prompts.messages.clear();
        if (row.answer)
            m_prompts.answerButton(*row.answer);
        press(row.key);
        ASSERT_EQ(m_prompts.messages.size(), 1u);
        EXPECT_EQ(m_prompts.messages[0].text, row.text);
        EXPECT_EQ(m_prompts.messages[0].caption, row.caption);
        EXPECT_EQ(m_prompts.messages[0].icon, row.icon);
        EXPECT_EQ(fs::exists(m_root + "out/" + kResult0), row.fileAfter);
        EXPECT_EQ(panel().currentResultIndex(), row.rowValueAfter);
        EXPECT_EQ(statusIcon(), row.iconAfter);
        fs::remove(m_root + "out/" + kResult0);
        panel().setCurrentResultIndex(kNoResultIndex);
    }
}

TEST_F(LumicutViewTest, BackspaceGoesBackAndDeletesThatResult) {
    threePhotos();
    makeFrame();
    press(Qt::Key_Return); // saves a
    press(Qt::Key_Return); // on to b
    press(Qt::Key_Return); // saves b
    ASSERT_EQ(outFiles(), (std::set<std::string>{kResult0, kResult1}));
    ASSERT_EQ(panel().currentIndex(), 1);

    m_prompts.answerButton(QMessageBox::Yes);
    press(Qt::Key_Backspace);
    EXPECT_EQ(panel().currentIndex(), 0);
    EXPECT_EQ(outFiles(), std::set<std::string>{kResult1}) << "a's result went, b's stayed";
    EXPECT_EQ(panel().photoList().rowValue(0), kNoResultIndex);
    EXPECT_EQ(panel().photoList().rowValue(1), 1);
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(m_prompts.messages[0].caption, "Suppression fichier résultat");
}

TEST_F(LumicutViewTest, SidePanelTakesAFifthOfTheWidth) {
    struct Row {
        int viewWidth;
        int panelWidth;
    };
    const Row rows[] = {{1005, 201}, {1920, 384}}; // the rounding itself: core layout test
    LumicutView alone(*m_settings, m_prompts, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.viewWidth);
        alone.resize(row.viewWidth, 600);
        alone.show();
        EXPECT_EQ(alone.sidePanel().geometry(), QRect(0, 0, row.panelWidth, 600));
        EXPECT_EQ(alone.display().geometry(),
                  QRect(row.panelWidth, 0, row.viewWidth - row.panelWidth, 600));
    }
}

TEST_F(LumicutViewTest, IdentitySheetTurnsTheWhiteBorderOffAndKeepsItOff) {
    threePhotos();
    makeFrame();
    QAction* border = m_view->actions().action(Command::WhiteBorder);
    QAction* sheet = m_view->actions().action(Command::IdSheet);
    struct Step {
        const char* name;
        Qt::Key key;
        bool whiteBorder;
        bool idSheet;
    };
    const Step steps[] = {
        {"B turns the white border on", Qt::Key_B, true, false},
        {"I turns the sheet on and the border off", Qt::Key_I, false, true},
        {"I again: sheet off, border stays off", Qt::Key_I, false, false},
        {"B again", Qt::Key_B, true, false},
        {"B toggles off", Qt::Key_B, false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        press(step.key);
        EXPECT_EQ(doc().whiteBorder(), step.whiteBorder);
        EXPECT_EQ(doc().idSheet(), step.idSheet);
        EXPECT_EQ(border->isChecked(), step.whiteBorder);
        EXPECT_EQ(sheet->isChecked(), step.idSheet);
    }
}

TEST_F(LumicutViewTest, DigitsAndOperatorsActOnlyFromTheKeypad) {
    threePhotos();
    makeFrame();
    press(Qt::Key_Escape); // b, so that keypad 0 has somewhere to go back to
    doc().zoomFrame(20);   // room for keypad + to enlarge
    const auto state = [this] {
        return std::make_tuple(doc().photoGeneration(), doc().geometry().isFrameRotated(),
                               doc().geometry().shrink(), doc().thirds(), panel().currentIndex());
    };
    struct Row {
        const char* name;
        Qt::Key key;
    };
    const Row rows[] = {
        {"1 (grayscale)", Qt::Key_1},         {"2 (sepia)", Qt::Key_2},
        {"* (turn frame)", Qt::Key_Asterisk}, {"+ (larger frame)", Qt::Key_Plus},
        {"- (smaller frame)", Qt::Key_Minus}, {"/ (thirds)", Qt::Key_Slash},
        {"0 (previous photo)", Qt::Key_0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto before = state();
        press(row.key);
        EXPECT_EQ(state(), before) << "top-row key";
        press(row.key, Qt::KeypadModifier);
        EXPECT_NE(state(), before) << "keypad key";
    }
    EXPECT_EQ(panel().currentIndex(), 0) << "keypad 0 went back";

    // With Num Lock off the keypad 0 arrives as Insert; the main Insert key does nothing.
    press(Qt::Key_Escape);
    ASSERT_EQ(panel().currentIndex(), 1);
    press(Qt::Key_Insert);
    EXPECT_EQ(panel().currentIndex(), 1);
    press(Qt::Key_Insert, Qt::KeypadModifier);
    EXPECT_EQ(panel().currentIndex(), 0);
}

TEST_F(LumicutViewTest, SpaceFullScreenRoundTripKeepsPlaceAndFrame) {
    photo("photos/big.jpg", 2400, 1600);
    makeFrame();
    doc().zoomFrame(100); // a frame that can move on the screen-sized window too
    press(Qt::Key_Right, Qt::ControlModifier);
    const QRect place = display().geometry();
    const QRect crop = doc().frameRect(true);
    const int x = offsetX();
    const int y = offsetY();
    const int shrink = doc().geometry().shrink();

    press(Qt::Key_Space);
    ASSERT_TRUE(display().isFullScreen());
    QWidget* full = display().window();
    ASSERT_NE(full, m_frame.get());
    EXPECT_EQ(full->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(display().isVisible());
    // Offsets and inset are display pixels and keep their values on the larger window.
    EXPECT_EQ(offsetX(), x);
    EXPECT_EQ(offsetY(), y);
    EXPECT_EQ(doc().geometry().shrink(), shrink);

    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_FALSE(display().isFullScreen());
    EXPECT_FALSE(full->isVisible());
    EXPECT_EQ(display().parentWidget(), m_view);
    EXPECT_TRUE(display().isVisible());
    EXPECT_EQ(display().geometry(), place);
    EXPECT_EQ(doc().frameRect(true), crop);

    // The menu command only enters.
    m_view->actions().action(Command::FullScreen)->trigger();
    EXPECT_TRUE(display().isFullScreen());
    m_view->actions().action(Command::FullScreen)->trigger();
    EXPECT_TRUE(display().isFullScreen());
    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_EQ(display().parentWidget(), m_view);
    EXPECT_EQ(display().geometry(), place);
}

TEST_F(LumicutViewTest, FullScreenWindowTakesEveryKeyAndGesture) {
    photo("photos/big.jpg", 2400, 1600);
    photo("photos/next.jpg", 600, 400);
    makeFrame();
    installKeyFilter();
    doc().zoomFrame(100); // room to move and to grow
    press(Qt::Key_Space);
    ASSERT_TRUE(display().isFullScreen());
    QWidget* full = display().window();
    ASSERT_NE(full, m_frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(full)) << "the full-screen window has the keyboard";
    const int x = offsetX();
    const int y = offsetY();
    const int shrink = doc().geometry().shrink();

    const QPoint middle = full->rect().center();
    const auto sendWheel = [full, middle](int delta) {
        QWheelEvent wheel(middle, full->mapToGlobal(middle), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(full, &wheel);
    };
    struct Row {
        const char* name;
        std::function<void()> act;
        std::function<bool()> done;
    };
    const Row rows[] = {
        {"Ctrl+Right moves the frame by 1",
         [full] { QTest::keyClick(full, Qt::Key_Right, Qt::ControlModifier); },
         [&] { return offsetX() == x + 1; }},
        {"Ctrl+Left moves it back",
         [full] { QTest::keyClick(full, Qt::Key_Left, Qt::ControlModifier); },
         [&] { return offsetX() == x; }},
        {"a left drag moves the frame",
         [full, middle] {
             QTest::mousePress(full, Qt::LeftButton, {}, middle);
             QTest::mouseMove(full, middle + QPoint(0, -12));
             QTest::mouseRelease(full, Qt::LeftButton, {}, middle + QPoint(0, -12));
         },
         [&] { return offsetY() == y - 12; }},
        {"the wheel away from the user makes the frame smaller", [&] { sendWheel(120); },
         [&] { return doc().geometry().shrink() == shrink + 1; }},
        {"the wheel toward the user makes it larger again", [&] { sendWheel(-120); },
         [&] { return doc().geometry().shrink() == shrink; }},
        {"keypad / shows the thirds",
         [full] { QTest::keyClick(full, Qt::Key_Slash, Qt::KeypadModifier); },
         [&] { return doc().thirds(); }},
        {"Escape goes on to the next photo", [full] { QTest::keyClick(full, Qt::Key_Escape); },
         [&] { return panel().currentIndex() == 1; }},
        {"keypad 0 comes back", [full] { QTest::keyClick(full, Qt::Key_0, Qt::KeypadModifier); },
         [&] { return panel().currentIndex() == 0; }},
        {"Enter saves",
         [this, full] {
             QTest::keyClick(full, Qt::Key_Return);
             m_view->finishSaves();
         },
         [&] { return outFiles() == std::set<std::string>{kResult0}; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.done());
        row.act();
        EXPECT_TRUE(row.done());
        EXPECT_TRUE(display().isFullScreen());
    }

    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_FALSE(display().isFullScreen());
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_frame.get())) << "the keyboard is back";
}

TEST_F(LumicutViewTest, ClosingInFullScreenLeavesItAndClosesTheMainWindow) {
    struct Row {
        const char* name;
        bool closeFullScreenWindow; // else the main window
    };
    const Row rows[] = {
        {"the window manager closes the full-screen window (Alt+F4)", true},
        {"the main window is closed (window manager, Quit)", false},
    };
    photo("photos/a.jpg", 600, 400);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        makeFrame();
        press(Qt::Key_Space);
        ASSERT_TRUE(display().isFullScreen());
        QWidget* full = display().window();
        ASSERT_TRUE(full->isVisible());

        if (row.closeFullScreenWindow)
            full->close();
        else
            m_frame->close();
        EXPECT_FALSE(display().isFullScreen());
        EXPECT_EQ(display().parentWidget(), m_view);
        EXPECT_FALSE(m_frame->isVisible()) << "the main window closed: the program ends";
        EXPECT_FALSE(full->isVisible()) << "nothing of the program stays on the screen";
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
        m_frame.reset();
    }
}

TEST_F(LumicutViewTest, ArrowsWithThePhotoListFocusedMoveTheFrame) {
    photo("photos/big.jpg", 2400, 1600);
    photo("photos/next.jpg", 600, 400);
    makeFrame();
    installKeyFilter();
    shrinkFrameForTravel();
    PhotoList& list = panel().photoList();
    list.setFocus();
    ASSERT_TRUE(list.hasFocus());
    const int listRow = static_cast<QListWidget&>(list).currentRow();
    const int x = offsetX();
    const int y = offsetY();

    QTest::keyClick(&list, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(offsetX(), x + 1);
    EXPECT_EQ(offsetY(), y + 2);
    EXPECT_EQ(static_cast<QListWidget&>(list).currentRow(), listRow)
        << "the list did not see the arrows";
    EXPECT_EQ(panel().currentIndex(), 0);

    QTest::keyClick(&list, Qt::Key_Escape);
    EXPECT_EQ(panel().currentIndex(), 1) << "Escape from the list goes to the next photo";
}

TEST_F(LumicutViewTest, WorkingFolderCommandWritesTheSettingAndRefillsTheList) {
    threePhotos();
    photo("other/x.jpg", 300, 200);
    photo("other/y.jpg", 300, 200);
    makeFrame();
    ASSERT_EQ(panel().photoList().rowCount(), 3);

    // Cancelled: nothing changes.
    m_view->actions().action(Command::WorkingFolder)->trigger();
    ASSERT_EQ(m_prompts.folderRequests.size(), 1u);
    EXPECT_EQ(m_prompts.folderRequests[0].first, "Sélectionner le répertoire courant");
    EXPECT_EQ(m_prompts.folderRequests[0].second, m_root + "photos/");
    EXPECT_EQ(Settings(paramPath()).currentFolder(), m_root + "photos/");
    EXPECT_EQ(panel().photoList().rowCount(), 3);

    m_prompts.answerFolder(m_root + "other");
    m_view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(Settings(paramPath()).currentFolder(), m_root + "other/");
    ASSERT_EQ(panel().photoList().rowCount(), 2);
    EXPECT_EQ(panel().currentIndex(), 0);
    EXPECT_EQ(doc().sourcePath(), m_root + "other/x.jpg");

    // The destination command writes its own setting and leaves the list alone.
    m_prompts.answerFolder(m_root + "out2/");
    m_view->actions().action(Command::DestinationFolder)->trigger();
    EXPECT_EQ(m_prompts.folderRequests.back().first, "Sélectionner le répertoire de destination");
    EXPECT_EQ(Settings(paramPath()).destinationFolder(), m_root + "out2/");
    EXPECT_EQ(panel().photoList().rowCount(), 2);
}

TEST_F(LumicutViewTest, PreferencesRefillTheListOnlyWhenTheSubfolderOptionChanged) {
    threePhotos();
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("photos/sub"));
    photo("photos/sub/d.jpg", 300, 200);
    makeFrame();
    ASSERT_EQ(panel().photoList().rowCount(), 3);
    const struct {
        const char* name;
        int32_t recurse; // what the sheet stores
        int rows;        // after the sheet; 0: the list was not filled again
    } rows[] = {
        {"option left as it was", 0, 0},
        {"sub-folders turned on", 1, 4},
        {"set again to the same value", 1, 0},
        {"turned off", 0, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        panel().photoList().clearRows(); // shows whether the list was filled again
        LumicutView::DialogHooks hooks;
        hooks.preferences = [&] { m_settings->setRecurseOrigin(row.recurse); };
        m_view->setDialogHooks(hooks);
        m_view->actions().action(Command::Preferences)->trigger();
        EXPECT_EQ(panel().photoList().rowCount(), row.rows);
    }
}

TEST_F(LumicutViewTest, FirstStartShowsTheFirstStepsThenAsksForBothFolders) {
    threePhotos();
    m_settings->setCurrentFolder("");
    m_settings->setDestinationFolder("");
    makeFrame();

    // The hint names both commands as the menu shows them, and is drawn over the empty area.
    const QString hint = display().hint();
    QMenu* fileMenu = m_frame->menuBar()->actions().value(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    const QString file = fileMenu->title().remove('&');
    EXPECT_TRUE(hint.startsWith("Pour commencer")) << hint.toStdString();
    for (const Command id : {Command::WorkingFolder, Command::DestinationFolder}) {
        const QString item = file + " > " + m_view->actions().action(id)->text();
        EXPECT_TRUE(hint.contains(item)) << item.toStdString() << " in " << hint.toStdString();
    }
    const QImage empty = display().renderToImage();
    EXPECT_NE(display().grab().toImage().convertToFormat(empty.format()), empty);

    // Choosing the working folder without a destination: the warning, then the destination
    // chooser at once.
    m_prompts.answerFolder(m_root + "photos");
    m_prompts.answerFolder(m_root + "out");
    m_view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(m_prompts.asked,
              (std::vector<std::string>{"folder: Sélectionner le répertoire courant",
                                        "message: Veuillez définir un répertoire de destination...",
                                        "folder: Sélectionner le répertoire de destination"}));
    const Settings stored(paramPath());
    EXPECT_EQ(stored.currentFolder(), m_root + "photos/");
    EXPECT_EQ(stored.destinationFolder(), m_root + "out/");
    EXPECT_EQ(statusText(), QString("Destination : ") + kResult0);
    EXPECT_TRUE(display().hint().isEmpty());
    const QImage photo = display().renderToImage();
    EXPECT_EQ(display().grab().toImage().convertToFormat(photo.format()), photo);

    // With a destination set, choosing the working folder again asks nothing more.
    m_prompts.asked.clear();
    m_prompts.answerFolder(m_root + "other");
    m_view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(m_prompts.asked,
              std::vector<std::string>{"folder: Sélectionner le répertoire courant"});
}

TEST_F(LumicutViewTest, ResultsInsideTheWorkingFolderAreNeverListed) {
    threePhotos();
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("photos/sub"));
    photo("photos/sub/d.jpg", 300, 200);
    m_settings->setRecurseOrigin(1);
    m_settings->setDestinationFolder(m_root + "photos/out/");
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("photos/out"));
    makeFrame();
    press(Qt::Key_Return);
    ASSERT_TRUE(fs::exists(m_root + "photos/out/" + kResult0));

    // The list is filled again, as after choosing the working folder.
    m_prompts.answerFolder(m_root + "photos");
    m_view->actions().action(Command::WorkingFolder)->trigger();
    std::vector<std::string> listed;
    for (int row = 0; row < panel().photoList().rowCount(); ++row)
        listed.push_back(panel().photoList().rowText(row));
    EXPECT_EQ(listed,
              (std::vector<std::string>{m_root + "photos/a.jpg", m_root + "photos/b.jpg",
                                        m_root + "photos/c.jpg", m_root + "photos/sub/d.jpg"}));
}

TEST_F(LumicutViewTest, TransformsMarkAnExistingResultAsChanged) {
    threePhotos();
    makeFrame();
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Row rows[] = {
        {"rotate left", Qt::Key_Left, Qt::ShiftModifier},
        {"sepia", Qt::Key_2, Qt::KeypadModifier},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        press(Qt::Key_Return); // saves (the photo is modified)
        ASSERT_EQ(statusIcon(), ResultIcon::Saved);
        ASSERT_FALSE(doc().isModified());
        const uint64_t generation = doc().photoGeneration();
        press(row.key, row.modifiers);
        EXPECT_NE(doc().photoGeneration(), generation);
        EXPECT_TRUE(doc().isModified());
        EXPECT_EQ(statusIcon(), ResultIcon::Changed);
        EXPECT_EQ(statusText(), QString("Destination : ") + kResult0);
    }
    EXPECT_EQ(outFiles(), std::set<std::string>{kResult0}) << "each save overwrote its own";

    press(Qt::Key_Escape);
    press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(statusIcon(), ResultIcon::Missing) << "no result yet for b";
}

TEST_F(LumicutViewTest, VanishedWorkingFolder) {
    threePhotos();
    makeFrame();
    ASSERT_EQ(doc().sourcePath(), m_root + "photos/a.jpg");
    fs::remove_all(m_root + "photos");

    press(Qt::Key_Escape);
    EXPECT_EQ(doc().sourcePath(), m_root + "photos/a.jpg") << "the shown photo stays";
    EXPECT_TRUE(doc().hasPhoto());
    press(Qt::Key_Return);
    EXPECT_EQ(outFiles(), std::set<std::string>{kResult0}) << "the shown crop is still saved";

    // Starting again on the missing folder: an empty list, keys do nothing.
    m_frame.reset();
    makeFrame();
    EXPECT_EQ(panel().photoList().rowCount(), 0);
    EXPECT_EQ(panel().currentIndex(), -1);
    EXPECT_FALSE(doc().hasPhoto());
    m_prompts.messages.clear();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Right, Qt::Key_Return, Qt::Key_Backspace})
        press(key);
    EXPECT_EQ(outFiles(), std::set<std::string>{kResult0});
    EXPECT_EQ(panel().currentIndex(), -1);
}

TEST_F(LumicutViewTest, UndecodableFileIsPassedAndThePreviousPhotoStaysShown) {
    photo("photos/a.jpg", 600, 400);
    {
        std::ofstream broken(m_root + "photos/b.jpg", std::ios::binary);
        broken << "not a photo at all";
    }
    photo("photos/c.jpg", 500, 500);
    makeFrame();
    const QImage preview = panel().preview().preview();

    press(Qt::Key_Escape);
    EXPECT_EQ(panel().currentIndex(), 1);
    EXPECT_EQ(doc().sourcePath(), m_root + "photos/a.jpg");
    ASSERT_TRUE(doc().hasPhoto());
    EXPECT_EQ(doc().photo()->width(), 600);
    EXPECT_EQ(panel().preview().preview(), preview);

    press(Qt::Key_Escape);
    EXPECT_EQ(panel().currentIndex(), 2);
    EXPECT_EQ(doc().sourcePath(), m_root + "photos/c.jpg");
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(LumicutViewTest, UnwritableDestinationWarnsAndLosesNothing) {
    {
        std::ofstream file(m_root + "plain-file", std::ios::binary);
        file << "x";
    }
    struct Row {
        const char* name;
        std::string destination;
    };
    const Row rows[] = {
        {"a path that is a file", m_root + "plain-file/"},
    };
    threePhotos();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_settings->setDestinationFolder(row.destination);
        makeFrame();
        const std::string source = fixture::readAll(m_root + "photos/a.jpg");
        m_prompts.messages.clear();

        press(Qt::Key_Return);
        ASSERT_EQ(m_prompts.messages.size(), 1u);
        EXPECT_EQ(m_prompts.messages[0].text, "Impossible de sauvegarder l'image");
        EXPECT_EQ(m_prompts.messages[0].caption, "Attention !!!");
        EXPECT_EQ(m_prompts.messages[0].icon, QMessageBox::Warning);
        EXPECT_EQ(panel().currentIndex(), 0);
        EXPECT_TRUE(doc().isModified()) << "the next Enter tries again";
        EXPECT_EQ(statusIcon(), ResultIcon::Missing);
        EXPECT_EQ(fixture::readAll(m_root + "photos/a.jpg"), source);
        EXPECT_TRUE(outFiles().empty());
        EXPECT_EQ(fixture::readAll(m_root + "plain-file"), "x");

        // Once the destination is usable the same Enter writes the result.
        m_settings->setDestinationFolder(m_root + "out/");
        press(Qt::Key_Return);
        EXPECT_EQ(outFiles(), std::set<std::string>{kResult0});
        EXPECT_EQ(panel().currentIndex(), 0);
        EXPECT_EQ(statusIcon(), ResultIcon::Saved);
        fs::remove(m_root + "out/" + kResult0);
        m_frame.reset();
    }
}

} // namespace
