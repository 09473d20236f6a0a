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
#include "app/MainFrame.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "naming/ResultIndex.h"
#include "panel/SidePanelDlg.h"
#include "settings/Settings.h"
#include "support/ExifJpegFixture.h"
#include "ui_support/ScriptedPrompts.h"
#include "view/LumicutView.h"
#include "view/PictureWnd.h"
#include "view/ViewActions.h"

namespace {

namespace fs = std::filesystem;

constexpr char kShotDate[] = "2006:07:14 10:00:00";
constexpr char kResult0[] = "Photos_20060714_000.jpg";
constexpr char kResult1[] = "Photos_20060714_001.jpg";

// Steps of a held key with progressive keys on: 1, 5, 9, ... 61, then 65 for good.
std::vector<int> ProgressiveSteps(int presses) {
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
        CSplashWindow::EnableSplash(false);
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        for (const char* sub : {"photos", "out", "other"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
        settings = std::make_unique<CSettings>(ParamPath());
        settings->SetCurrentFolder(root + "photos/");
        settings->SetDestinationFolder(root + "out/");
        settings->SetRecurseOrigin(0);
        settings->SetShowFullFileName(0);
        settings->SetKeybProgressif(1);
    }
    void TearDown() override {
        if (filter)
            qApp->removeEventFilter(filter.get());
        frame.reset();
    }

    [[nodiscard]] std::string ParamPath() const { return root + "param.dat"; }

    // A gradient JPEG (red across, green down) with the EXIF shot date.
    void Photo(const std::string& relative, int width, int height,
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
            bytes.insert(2, fixture::ExifSegment(date));
        std::ofstream out(fs::path(root + relative), std::ios::binary);
        out.write(bytes.constData(), bytes.size());
        ASSERT_TRUE(static_cast<bool>(out));
    }

    void ThreePhotos() const {
        Photo("photos/a.jpg", 600, 400);
        Photo("photos/b.jpg", 400, 600);
        Photo("photos/c.jpg", 500, 500);
    }

    // Builds frame and view as the program does, shows them and runs the initial update.
    void MakeFrame(QSize size = QSize(1920, 1080)) {
        frame = std::make_unique<CMainFrame>(*settings, prompts);
        view = new CLumicutView(*settings, prompts, frame.get());
        frame->SetView(view);
        frame->resize(size);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        view->OnInitialUpdate();
        view->setFocus();
    }

    // The application's key filter, with the frame as the active window.
    void InstallKeyFilter() {
        filter = std::make_unique<CAppEventFilter>(frame.get());
        filter->SetKeyTarget(view);
        qApp->installEventFilter(filter.get());
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    CPictureWnd& Display() { return view->Display(); }
    PhotoDocument& Doc() { return view->Document(); }
    CSidePanelDlg& Panel() { return view->SidePanel(); }
    int OffsetX() { return Doc().geometry().OffsetX(); }
    int OffsetY() { return Doc().geometry().OffsetY(); }

    // Makes the crop frame small so that it has room to travel over the displayed photo.
    void ShrinkFrameForTravel() {
        const QRect frameRect = Doc().frameRect(false);
        Doc().zoomFrame(std::min(frameRect.width(), frameRect.height()) / 2 - 20);
    }

    [[nodiscard]] std::set<std::string> OutFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(root + "out")))
            names.insert(entry.path().filename().string());
        return names;
    }

    [[nodiscard]] QString StatusText() const { return frame->ResultStatusText(); }
    [[nodiscard]] std::optional<ResultIcon> StatusIcon() const { return frame->ResultStatusIcon(); }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(view, key, modifiers);
    }

    QTemporaryDir dir;
    std::string root;
    std::unique_ptr<CSettings> settings;
    ScriptedPrompts prompts;
    std::unique_ptr<CMainFrame> frame;
    CLumicutView* view = nullptr; // owned by the frame
    std::unique_ptr<CAppEventFilter> filter;
};

enum class Holding {
    X11Repeat,     // auto-repeat arrives as release + press pairs, both flagged auto-repeat
    RepeatPresses, // auto-repeat arrives as presses only
    Strokes,       // the key is released after every press
};

TEST_F(LumicutViewTest, KeyStepFollowsHeldArrowKeys) {
    Photo("photos/big.jpg", 2400, 1600);
    MakeFrame();
    ASSERT_EQ(Doc().sourcePath(), root + "photos/big.jpg");
    ShrinkFrameForTravel();
    const int room = Doc().imageRect().width() - Doc().frameRect(false).width();
    ASSERT_GT(room, 800) << "the frame needs room to travel 20 presses";

    struct Row {
        const char* name;
        int progressive;
        Qt::KeyboardModifiers modifiers;
        Holding holding;
        std::vector<int> moves; // display pixels per press
        int afterRelease;       // move of one press after the key came up
    };
    const std::vector<int> progressive = ProgressiveSteps(20);
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
        settings->SetKeybProgressif(row.progressive);
        Doc().moveFrameX(-100000); // to the left edge of the photo
        std::vector<int> moves;
        const auto press = [&](int i) {
            const int before = OffsetX();
            if (i == 0 || row.holding == Holding::Strokes) {
                QTest::keyPress(view, Qt::Key_Right, row.modifiers);
            } else {
                if (row.holding == Holding::X11Repeat)
                    QTest::simulateEvent(view, false, Qt::Key_Right, row.modifiers, {}, true);
                QTest::simulateEvent(view, true, Qt::Key_Right, row.modifiers, {}, true);
            }
            moves.push_back(OffsetX() - before);
            if (row.holding == Holding::Strokes)
                QTest::keyRelease(view, Qt::Key_Right, row.modifiers);
        };
        for (int i = 0; i < static_cast<int>(row.moves.size()); ++i)
            press(i);
        EXPECT_EQ(moves, row.moves);
        QTest::keyRelease(view, Qt::Key_Right, row.modifiers);
        EXPECT_EQ(view->CurrentKeyStep(), 1) << "a real release brings the step back to 1";

        moves.clear();
        press(0);
        QTest::keyRelease(view, Qt::Key_Right, row.modifiers);
        ASSERT_EQ(moves.size(), 1u);
        EXPECT_EQ(moves[0], row.afterRelease);
    }

    // The other arrows move the same way, with the step of the moment.
    settings->SetKeybProgressif(0);
    const int x = OffsetX();
    const int y = OffsetY();
    Key(Qt::Key_Left);
    Key(Qt::Key_Down);
    EXPECT_EQ(OffsetX(), x - 5);
    EXPECT_EQ(OffsetY(), y + 5);
    Key(Qt::Key_Up);
    EXPECT_EQ(OffsetY(), y);
}

TEST_F(LumicutViewTest, EnterSavesAndStaysThenMovesOnEscapeNeverSaves) {
    ThreePhotos();
    MakeFrame();
    ASSERT_EQ(Panel().GetCurrentIndex(), 0);
    EXPECT_TRUE(Doc().isModified()) << "a fresh photo counts as modified";
    EXPECT_EQ(StatusText(), QString("Destination : ") + kResult0);
    EXPECT_EQ(StatusIcon(), ResultIcon::Missing);

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
        Key(step.key, step.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(Panel().GetCurrentIndex(), step.index);
        EXPECT_EQ(OutFiles(), step.files);
        EXPECT_EQ(StatusText(), QString("Destination : ") + step.statusName);
        EXPECT_EQ(StatusIcon(), step.icon);
    }
    EXPECT_EQ(Panel().PhotoList().RowValue(0), 0);
    EXPECT_EQ(Panel().PhotoList().RowValue(1), NO_RESULT_INDEX) << "b was passed by";
    EXPECT_EQ(Panel().PhotoList().RowValue(2), 1);
    // The 10x15 frame over a 600 x 400 photo is the whole photo; over the square one, 500 x
    // 333 (or 333 x 500).
    EXPECT_EQ(QImageReader(QString::fromStdString(root + "out/" + kResult0)).size(),
              QSize(600, 400));
    const QSize square = QImageReader(QString::fromStdString(root + "out/" + kResult1)).size();
    EXPECT_EQ(std::max(square.width(), square.height()), 500);
    EXPECT_NEAR(std::min(square.width(), square.height()), 333, 1);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LumicutViewTest, DoubleClickValidatesLikeEnterAndLeftDragMovesTheFrame) {
    Photo("photos/big.jpg", 2400, 1600);
    Photo("photos/next.jpg", 600, 400);
    MakeFrame();
    ShrinkFrameForTravel();
    const QPoint start = Display().geometry().center();
    const int x = OffsetX();
    const int y = OffsetY();
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    QTest::mouseMove(view, start + QPoint(30, -20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(30, -20));
    EXPECT_EQ(OffsetX(), x + 30);
    EXPECT_EQ(OffsetY(), y - 20);

    QTest::mouseDClick(view, Qt::LeftButton, {}, start);
    EXPECT_EQ(OutFiles(), std::set<std::string>{kResult0});
    EXPECT_EQ(Panel().GetCurrentIndex(), 0);
    QTest::mouseDClick(view, Qt::LeftButton, {}, start);
    EXPECT_EQ(Panel().GetCurrentIndex(), 1);
}

TEST_F(LumicutViewTest, ShiftEnterOnASavedPhotoStartsTheNextIndex) {
    ThreePhotos();
    MakeFrame();
    Key(Qt::Key_Return);
    ASSERT_EQ(OutFiles(), std::set<std::string>{kResult0});
    const std::string first = fixture::ReadAll(root + "out/" + kResult0);

    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Panel().GetCurrentIndex(), 0) << "Shift+Enter stays on the photo";
    EXPECT_TRUE(Doc().isModified()) << "reloaded";
    EXPECT_EQ(Doc().resultIndex(), 1);
    EXPECT_EQ(StatusText(), QString("Destination : ") + kResult1);
    EXPECT_EQ(StatusIcon(), ResultIcon::Missing);

    Key(Qt::Key_Right); // a different crop of the same photo
    Key(Qt::Key_Return);
    EXPECT_EQ(OutFiles(), (std::set<std::string>{kResult0, kResult1}));
    EXPECT_EQ(fixture::ReadAll(root + "out/" + kResult0), first) << "first result untouched";
    EXPECT_EQ(Panel().GetCurrentResultIndex(), 1);
    EXPECT_EQ(StatusIcon(), ResultIcon::Saved);
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
         "Suppression fichier résultat", QMessageBox::Question, false, NO_RESULT_INDEX,
         ResultIcon::Missing},
        {"answered No: kept", true, Qt::Key_Delete, QMessageBox::No, question,
         "Suppression fichier résultat", QMessageBox::Question, true, 0, ResultIcon::Saved},
        {"Enter answers Yes (the default)", true, Qt::Key_Delete, std::nullopt, question,
         "Suppression fichier résultat", QMessageBox::Question, false, NO_RESULT_INDEX,
         ResultIcon::Missing},
        {"no result file: a warning", false, Qt::Key_Delete, std::nullopt,
         "Le fichier résultat n'existe pas", "Attention!!!", QMessageBox::Warning, false,
         NO_RESULT_INDEX, ResultIcon::Missing},
    };
    ThreePhotos();
    MakeFrame();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        view->actions().action(Command::PreviousPicture)->trigger(); // back to a
        view->actions().action(Command::PreviousPicture)->trigger();
        ASSERT_EQ(Panel().GetCurrentIndex(), 0);
        Key(Qt::Key_Home); // reloaded: modified again, so that Enter saves
        if (row.save) {
            Key(Qt::Key_Return);
            ASSERT_TRUE(fs::exists(root + "out/" + kResult0));
        }
        prompts.messages.clear();
        if (row.answer)
            prompts.AnswerButton(*row.answer);
        Key(row.key);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, row.text);
        EXPECT_EQ(prompts.messages[0].caption, row.caption);
        EXPECT_EQ(prompts.messages[0].icon, row.icon);
        EXPECT_EQ(fs::exists(root + "out/" + kResult0), row.fileAfter);
        EXPECT_EQ(Panel().GetCurrentResultIndex(), row.rowValueAfter);
        EXPECT_EQ(StatusIcon(), row.iconAfter);
        fs::remove(root + "out/" + kResult0);
        Panel().SetCurrentResultIndex(NO_RESULT_INDEX);
    }
}

TEST_F(LumicutViewTest, BackspaceGoesBackAndDeletesThatResult) {
    ThreePhotos();
    MakeFrame();
    Key(Qt::Key_Return); // saves a
    Key(Qt::Key_Return); // on to b
    Key(Qt::Key_Return); // saves b
    ASSERT_EQ(OutFiles(), (std::set<std::string>{kResult0, kResult1}));
    ASSERT_EQ(Panel().GetCurrentIndex(), 1);

    prompts.AnswerButton(QMessageBox::Yes);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Panel().GetCurrentIndex(), 0);
    EXPECT_EQ(OutFiles(), std::set<std::string>{kResult1}) << "a's result went, b's stayed";
    EXPECT_EQ(Panel().PhotoList().RowValue(0), NO_RESULT_INDEX);
    EXPECT_EQ(Panel().PhotoList().RowValue(1), 1);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, "Suppression fichier résultat");
}

TEST_F(LumicutViewTest, SidePanelTakesAFifthOfTheWidth) {
    struct Row {
        int viewWidth;
        int panelWidth;
    };
    const Row rows[] = {{1005, 201}, {1920, 384}}; // the rounding itself: core layout test
    CLumicutView alone(*settings, prompts, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.viewWidth);
        alone.resize(row.viewWidth, 600);
        alone.show();
        EXPECT_EQ(alone.SidePanel().geometry(), QRect(0, 0, row.panelWidth, 600));
        EXPECT_EQ(alone.Display().geometry(),
                  QRect(row.panelWidth, 0, row.viewWidth - row.panelWidth, 600));
    }
}

TEST_F(LumicutViewTest, IdentitySheetTurnsTheWhiteBorderOffAndKeepsItOff) {
    ThreePhotos();
    MakeFrame();
    QAction* border = view->actions().action(Command::WhiteBorder);
    QAction* sheet = view->actions().action(Command::IdSheet);
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
        Key(step.key);
        EXPECT_EQ(Doc().whiteBorder(), step.whiteBorder);
        EXPECT_EQ(Doc().idSheet(), step.idSheet);
        EXPECT_EQ(border->isChecked(), step.whiteBorder);
        EXPECT_EQ(sheet->isChecked(), step.idSheet);
    }
}

TEST_F(LumicutViewTest, DigitsAndOperatorsActOnlyFromTheKeypad) {
    ThreePhotos();
    MakeFrame();
    Key(Qt::Key_Escape); // b, so that keypad 0 has somewhere to go back to
    Doc().zoomFrame(20); // room for keypad + to enlarge
    const auto state = [this] {
        return std::make_tuple(Doc().photoGeneration(), Doc().geometry().IsFrameRotated(),
                               Doc().geometry().Shrink(), Doc().thirds(),
                               Panel().GetCurrentIndex());
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
        Key(row.key);
        EXPECT_EQ(state(), before) << "top-row key";
        Key(row.key, Qt::KeypadModifier);
        EXPECT_NE(state(), before) << "keypad key";
    }
    EXPECT_EQ(Panel().GetCurrentIndex(), 0) << "keypad 0 went back";

    // With Num Lock off the keypad 0 arrives as Insert; the main Insert key does nothing.
    Key(Qt::Key_Escape);
    ASSERT_EQ(Panel().GetCurrentIndex(), 1);
    Key(Qt::Key_Insert);
    EXPECT_EQ(Panel().GetCurrentIndex(), 1);
    Key(Qt::Key_Insert, Qt::KeypadModifier);
    EXPECT_EQ(Panel().GetCurrentIndex(), 0);
}

TEST_F(LumicutViewTest, SpaceFullScreenRoundTripKeepsPlaceAndFrame) {
    Photo("photos/big.jpg", 2400, 1600);
    MakeFrame();
    Doc().zoomFrame(100); // a frame that can move on the screen-sized window too
    Key(Qt::Key_Right, Qt::ControlModifier);
    const QRect place = Display().geometry();
    const QRect crop = Doc().frameRect(true);
    const int x = OffsetX();
    const int y = OffsetY();
    const int shrink = Doc().geometry().Shrink();

    Key(Qt::Key_Space);
    ASSERT_TRUE(Display().IsFullScreen());
    QWidget* full = Display().window();
    ASSERT_NE(full, frame.get());
    EXPECT_EQ(full->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(Display().isVisible());
    // Offsets and inset are display pixels and keep their values on the larger window.
    EXPECT_EQ(OffsetX(), x);
    EXPECT_EQ(OffsetY(), y);
    EXPECT_EQ(Doc().geometry().Shrink(), shrink);

    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_FALSE(Display().IsFullScreen());
    EXPECT_FALSE(full->isVisible());
    EXPECT_EQ(Display().parentWidget(), view);
    EXPECT_TRUE(Display().isVisible());
    EXPECT_EQ(Display().geometry(), place);
    EXPECT_EQ(Doc().frameRect(true), crop);

    // The menu command only enters.
    view->actions().action(Command::FullScreen)->trigger();
    EXPECT_TRUE(Display().IsFullScreen());
    view->actions().action(Command::FullScreen)->trigger();
    EXPECT_TRUE(Display().IsFullScreen());
    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_EQ(Display().parentWidget(), view);
    EXPECT_EQ(Display().geometry(), place);
}

TEST_F(LumicutViewTest, FullScreenWindowTakesEveryKeyAndGesture) {
    Photo("photos/big.jpg", 2400, 1600);
    Photo("photos/next.jpg", 600, 400);
    MakeFrame();
    InstallKeyFilter();
    Doc().zoomFrame(100); // room to move and to grow
    Key(Qt::Key_Space);
    ASSERT_TRUE(Display().IsFullScreen());
    QWidget* full = Display().window();
    ASSERT_NE(full, frame.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(full)) << "the full-screen window has the keyboard";
    const int x = OffsetX();
    const int y = OffsetY();
    const int shrink = Doc().geometry().Shrink();

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
         [&] { return OffsetX() == x + 1; }},
        {"Ctrl+Left moves it back",
         [full] { QTest::keyClick(full, Qt::Key_Left, Qt::ControlModifier); },
         [&] { return OffsetX() == x; }},
        {"a left drag moves the frame",
         [full, middle] {
             QTest::mousePress(full, Qt::LeftButton, {}, middle);
             QTest::mouseMove(full, middle + QPoint(0, -12));
             QTest::mouseRelease(full, Qt::LeftButton, {}, middle + QPoint(0, -12));
         },
         [&] { return OffsetY() == y - 12; }},
        {"the wheel away from the user makes the frame smaller", [&] { sendWheel(120); },
         [&] { return Doc().geometry().Shrink() == shrink + 1; }},
        {"the wheel toward the user makes it larger again", [&] { sendWheel(-120); },
         [&] { return Doc().geometry().Shrink() == shrink; }},
        {"keypad / shows the thirds",
         [full] { QTest::keyClick(full, Qt::Key_Slash, Qt::KeypadModifier); },
         [&] { return Doc().thirds(); }},
        {"Escape goes on to the next photo", [full] { QTest::keyClick(full, Qt::Key_Escape); },
         [&] { return Panel().GetCurrentIndex() == 1; }},
        {"keypad 0 comes back", [full] { QTest::keyClick(full, Qt::Key_0, Qt::KeypadModifier); },
         [&] { return Panel().GetCurrentIndex() == 0; }},
        {"Enter saves", [full] { QTest::keyClick(full, Qt::Key_Return); },
         [&] { return OutFiles() == std::set<std::string>{kResult0}; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.done());
        row.act();
        EXPECT_TRUE(row.done());
        EXPECT_TRUE(Display().IsFullScreen());
    }

    QTest::keyClick(full, Qt::Key_Space);
    EXPECT_FALSE(Display().IsFullScreen());
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get())) << "the keyboard is back";
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
    Photo("photos/a.jpg", 600, 400);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MakeFrame();
        Key(Qt::Key_Space);
        ASSERT_TRUE(Display().IsFullScreen());
        QWidget* full = Display().window();
        ASSERT_TRUE(full->isVisible());

        if (row.closeFullScreenWindow)
            full->close();
        else
            frame->close();
        EXPECT_FALSE(Display().IsFullScreen());
        EXPECT_EQ(Display().parentWidget(), view);
        EXPECT_FALSE(frame->isVisible()) << "the main window closed: the program ends";
        EXPECT_FALSE(full->isVisible()) << "nothing of the program stays on the screen";
        for (QWidget* window : QApplication::topLevelWidgets())
            EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
        frame.reset();
    }
}

TEST_F(LumicutViewTest, ArrowsWithThePhotoListFocusedMoveTheFrame) {
    Photo("photos/big.jpg", 2400, 1600);
    Photo("photos/next.jpg", 600, 400);
    MakeFrame();
    InstallKeyFilter();
    ShrinkFrameForTravel();
    CPictureListCtrl& list = Panel().PhotoList();
    list.setFocus();
    ASSERT_TRUE(list.hasFocus());
    const int listRow = static_cast<QListWidget&>(list).currentRow();
    const int x = OffsetX();
    const int y = OffsetY();

    QTest::keyClick(&list, Qt::Key_Right, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(&list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(OffsetX(), x + 1);
    EXPECT_EQ(OffsetY(), y + 2);
    EXPECT_EQ(static_cast<QListWidget&>(list).currentRow(), listRow)
        << "the list did not see the arrows";
    EXPECT_EQ(Panel().GetCurrentIndex(), 0);

    QTest::keyClick(&list, Qt::Key_Escape);
    EXPECT_EQ(Panel().GetCurrentIndex(), 1) << "Escape from the list goes to the next photo";
}

TEST_F(LumicutViewTest, WorkingFolderCommandWritesTheSettingAndRefillsTheList) {
    ThreePhotos();
    Photo("other/x.jpg", 300, 200);
    Photo("other/y.jpg", 300, 200);
    MakeFrame();
    ASSERT_EQ(Panel().PhotoList().RowCount(), 3);

    // Cancelled: nothing changes.
    view->actions().action(Command::WorkingFolder)->trigger();
    ASSERT_EQ(prompts.folderRequests.size(), 1u);
    EXPECT_EQ(prompts.folderRequests[0].first, "Sélectionner le répertoire courant");
    EXPECT_EQ(prompts.folderRequests[0].second, root + "photos/");
    EXPECT_EQ(CSettings(ParamPath()).GetCurrentFolder(), root + "photos/");
    EXPECT_EQ(Panel().PhotoList().RowCount(), 3);

    prompts.AnswerFolder(root + "other");
    view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(CSettings(ParamPath()).GetCurrentFolder(), root + "other/");
    ASSERT_EQ(Panel().PhotoList().RowCount(), 2);
    EXPECT_EQ(Panel().GetCurrentIndex(), 0);
    EXPECT_EQ(Doc().sourcePath(), root + "other/x.jpg");

    // The destination command writes its own setting and leaves the list alone.
    prompts.AnswerFolder(root + "out2/");
    view->actions().action(Command::DestinationFolder)->trigger();
    EXPECT_EQ(prompts.folderRequests.back().first, "Sélectionner le répertoire de destination");
    EXPECT_EQ(CSettings(ParamPath()).GetDestinationFolder(), root + "out2/");
    EXPECT_EQ(Panel().PhotoList().RowCount(), 2);
}

TEST_F(LumicutViewTest, PreferencesRefillTheListOnlyWhenTheSubfolderOptionChanged) {
    ThreePhotos();
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos/sub"));
    Photo("photos/sub/d.jpg", 300, 200);
    MakeFrame();
    ASSERT_EQ(Panel().PhotoList().RowCount(), 3);
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
        Panel().PhotoList().ClearRows(); // shows whether the list was filled again
        CLumicutView::DialogHooks hooks;
        hooks.preferences = [&] { settings->SetRecurseOrigin(row.recurse); };
        view->SetDialogHooks(hooks);
        view->actions().action(Command::Preferences)->trigger();
        EXPECT_EQ(Panel().PhotoList().RowCount(), row.rows);
    }
}

TEST_F(LumicutViewTest, FirstStartShowsTheFirstStepsThenAsksForBothFolders) {
    ThreePhotos();
    settings->SetCurrentFolder("");
    settings->SetDestinationFolder("");
    MakeFrame();

    // The hint names both commands as the menu shows them, and is drawn over the empty area.
    const QString hint = Display().Hint();
    QMenu* fileMenu = frame->menuBar()->actions().value(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    const QString file = fileMenu->title().remove('&');
    EXPECT_TRUE(hint.startsWith("Pour commencer")) << hint.toStdString();
    for (const Command id : {Command::WorkingFolder, Command::DestinationFolder}) {
        const QString item = file + " > " + view->actions().action(id)->text();
        EXPECT_TRUE(hint.contains(item)) << item.toStdString() << " in " << hint.toStdString();
    }
    const QImage empty = Display().RenderToImage();
    EXPECT_NE(Display().grab().toImage().convertToFormat(empty.format()), empty);

    // Choosing the working folder without a destination: the warning, then the destination
    // chooser at once.
    prompts.AnswerFolder(root + "photos");
    prompts.AnswerFolder(root + "out");
    view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(prompts.asked,
              (std::vector<std::string>{"folder: Sélectionner le répertoire courant",
                                        "message: Veuillez définir un répertoire de destination...",
                                        "folder: Sélectionner le répertoire de destination"}));
    const CSettings stored(ParamPath());
    EXPECT_EQ(stored.GetCurrentFolder(), root + "photos/");
    EXPECT_EQ(stored.GetDestinationFolder(), root + "out/");
    EXPECT_EQ(StatusText(), QString("Destination : ") + kResult0);
    EXPECT_TRUE(Display().Hint().isEmpty());
    const QImage photo = Display().RenderToImage();
    EXPECT_EQ(Display().grab().toImage().convertToFormat(photo.format()), photo);

    // With a destination set, choosing the working folder again asks nothing more.
    prompts.asked.clear();
    prompts.AnswerFolder(root + "other");
    view->actions().action(Command::WorkingFolder)->trigger();
    EXPECT_EQ(prompts.asked,
              std::vector<std::string>{"folder: Sélectionner le répertoire courant"});
}

TEST_F(LumicutViewTest, ResultsInsideTheWorkingFolderAreNeverListed) {
    ThreePhotos();
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos/sub"));
    Photo("photos/sub/d.jpg", 300, 200);
    settings->SetRecurseOrigin(1);
    settings->SetDestinationFolder(root + "photos/out/");
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos/out"));
    MakeFrame();
    Key(Qt::Key_Return);
    ASSERT_TRUE(fs::exists(root + "photos/out/" + kResult0));

    // The list is filled again, as after choosing the working folder.
    prompts.AnswerFolder(root + "photos");
    view->actions().action(Command::WorkingFolder)->trigger();
    std::vector<std::string> listed;
    for (int row = 0; row < Panel().PhotoList().RowCount(); ++row)
        listed.push_back(Panel().PhotoList().RowText(row));
    EXPECT_EQ(listed, (std::vector<std::string>{root + "photos/a.jpg", root + "photos/b.jpg",
                                                root + "photos/c.jpg", root + "photos/sub/d.jpg"}));
}

TEST_F(LumicutViewTest, TransformsMarkAnExistingResultAsChanged) {
    ThreePhotos();
    MakeFrame();
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
        Key(Qt::Key_Return); // saves (the photo is modified)
        ASSERT_EQ(StatusIcon(), ResultIcon::Saved);
        ASSERT_FALSE(Doc().isModified());
        const uint64_t generation = Doc().photoGeneration();
        Key(row.key, row.modifiers);
        EXPECT_NE(Doc().photoGeneration(), generation);
        EXPECT_TRUE(Doc().isModified());
        EXPECT_EQ(StatusIcon(), ResultIcon::Changed);
        EXPECT_EQ(StatusText(), QString("Destination : ") + kResult0);
    }
    EXPECT_EQ(OutFiles(), std::set<std::string>{kResult0}) << "each save overwrote its own";

    Key(Qt::Key_Escape);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(StatusIcon(), ResultIcon::Missing) << "no result yet for b";
}

TEST_F(LumicutViewTest, VanishedWorkingFolder) {
    ThreePhotos();
    MakeFrame();
    ASSERT_EQ(Doc().sourcePath(), root + "photos/a.jpg");
    fs::remove_all(root + "photos");

    Key(Qt::Key_Escape);
    EXPECT_EQ(Doc().sourcePath(), root + "photos/a.jpg") << "the shown photo stays";
    EXPECT_TRUE(Doc().hasPhoto());
    Key(Qt::Key_Return);
    EXPECT_EQ(OutFiles(), std::set<std::string>{kResult0}) << "the shown crop is still saved";

    // Starting again on the missing folder: an empty list, keys do nothing.
    frame.reset();
    MakeFrame();
    EXPECT_EQ(Panel().PhotoList().RowCount(), 0);
    EXPECT_EQ(Panel().GetCurrentIndex(), -1);
    EXPECT_FALSE(Doc().hasPhoto());
    prompts.messages.clear();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Right, Qt::Key_Return, Qt::Key_Backspace})
        Key(key);
    EXPECT_EQ(OutFiles(), std::set<std::string>{kResult0});
    EXPECT_EQ(Panel().GetCurrentIndex(), -1);
}

TEST_F(LumicutViewTest, UndecodableFileIsPassedAndThePreviousPhotoStaysShown) {
    Photo("photos/a.jpg", 600, 400);
    {
        std::ofstream broken(root + "photos/b.jpg", std::ios::binary);
        broken << "not a photo at all";
    }
    Photo("photos/c.jpg", 500, 500);
    MakeFrame();
    const QImage preview = Panel().Preview().Preview();

    Key(Qt::Key_Escape);
    EXPECT_EQ(Panel().GetCurrentIndex(), 1);
    EXPECT_EQ(Doc().sourcePath(), root + "photos/a.jpg");
    ASSERT_TRUE(Doc().hasPhoto());
    EXPECT_EQ(Doc().photo()->Width(), 600);
    EXPECT_EQ(Panel().Preview().Preview(), preview);

    Key(Qt::Key_Escape);
    EXPECT_EQ(Panel().GetCurrentIndex(), 2);
    EXPECT_EQ(Doc().sourcePath(), root + "photos/c.jpg");
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LumicutViewTest, UnwritableDestinationWarnsAndLosesNothing) {
    {
        std::ofstream file(root + "plain-file", std::ios::binary);
        file << "x";
    }
    struct Row {
        const char* name;
        std::string destination;
    };
    const Row rows[] = {
        {"a path that is a file", root + "plain-file/"},
    };
    ThreePhotos();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        settings->SetDestinationFolder(row.destination);
        MakeFrame();
        const std::string source = fixture::ReadAll(root + "photos/a.jpg");
        prompts.messages.clear();

        Key(Qt::Key_Return);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, "Impossible de sauvegarder l'image");
        EXPECT_EQ(prompts.messages[0].caption, "Attention !!!");
        EXPECT_EQ(prompts.messages[0].icon, QMessageBox::Warning);
        EXPECT_EQ(Panel().GetCurrentIndex(), 0);
        EXPECT_TRUE(Doc().isModified()) << "the next Enter tries again";
        EXPECT_EQ(StatusIcon(), ResultIcon::Missing);
        EXPECT_EQ(fixture::ReadAll(root + "photos/a.jpg"), source);
        EXPECT_TRUE(OutFiles().empty());
        EXPECT_EQ(fixture::ReadAll(root + "plain-file"), "x");

        // Once the destination is usable the same Enter writes the result.
        settings->SetDestinationFolder(root + "out/");
        Key(Qt::Key_Return);
        EXPECT_EQ(OutFiles(), std::set<std::string>{kResult0});
        EXPECT_EQ(Panel().GetCurrentIndex(), 0);
        EXPECT_EQ(StatusIcon(), ResultIcon::Saved);
        fs::remove(root + "out/" + kResult0);
        frame.reset();
    }
}

} // namespace
