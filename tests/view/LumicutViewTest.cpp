#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "app/AppEventFilter.h"
#include "app/MainWindow.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "engine/NoiseImage.h"
#include "engine/Photo.h"
#include "engine/PhotoDocument.h"
#include "engine/PhotoPrefetch.h"
#include "panel/PhotoList.h"
#include "panel/PhotoPreview.h"
#include "panel/QualityGauge.h"
#include "panel/SidePanel.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"
#include "ui_support/WidgetPixels.h"
#include "view/LumicutView.h"
#include "view/PhotoView.h"

namespace {

using Files = std::set<std::string>;
constexpr char kR0[] = "Photos_20060714_000.jpg";
constexpr char kR1[] = "Photos_20060714_001.jpg";

// The main window and view as the program builds them, the key filter on, prompts scripted.
class LumicutViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SplashWindow::enableSplash(false);
        for (const char* sub : {"photos", "out"})
            ASSERT_TRUE(QDir(m_dir.path()).mkpath(sub));
        m_settings.setCurrentFolder(m_root + "photos/");
        m_settings.setDestinationFolder(m_root + "out/");
        m_settings.setShowFullFileName(0);
        m_settings.setRecurseOrigin(0);
        m_frame.setView(m_view);
        m_frame.resize(1280, 800);
        m_frame.show();
        m_frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        m_filter.setKeyTarget(m_view);
        qApp->installEventFilter(&m_filter);
    }
    void TearDown() override { qApp->removeEventFilter(&m_filter); }

    // Photos a (600 x 400; 2400 x 1600 if large), b (400 x 600), c (500 x 500); initial update.
    void start(bool large = false) {
        const QSize sizes[] = {large ? QSize(2400, 1600) : QSize(600, 400), {400, 600}, {500, 500}};
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(writePhoto(m_root + "photos/" + char('a' + i) + ".jpg", sizes[i].width(),
                                   sizes[i].height(), qRgb(40, 80, 200)));
        }
        m_view->onInitialUpdate();
        m_view->setFocus();
    }
    // The photos beside the current one that are decoded ahead.
    int heldAhead() {
        m_view->prefetch().waitForIdle(10000);
        return m_view->prefetch().heldCount();
    }
    PhotoView& display() { return m_view->display(); }
    PhotoDocument& doc() { return m_view->document(); }
    SidePanel& panel() { return m_view->sidePanel(); }
    // One key, and the results it queued written.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(m_view, key, modifiers);
        m_view->finishSaves();
    }
    [[nodiscard]] Files outFiles() const {
        Files names;
        for (const auto& entry : std::filesystem::directory_iterator(m_root + "out"))
            names.insert(entry.path().filename().string());
        return names;
    }

    QTemporaryDir m_dir;
    std::string m_root = m_dir.path().toStdString() + "/";
    Settings m_settings{m_root + "param.dat"};
    ScriptedPrompts m_prompts;
    MainWindow m_frame{m_settings, m_prompts};
    LumicutView* m_view = new LumicutView(m_settings, m_prompts, &m_frame);
    AppEventFilter m_filter{&m_frame};
};

// Special gestures of the round trip, in the key column.
constexpr Qt::Key kDoubleClick = Qt::Key_F30;
constexpr Qt::Key kUnwritable = Qt::Key_F31; // an edit, then Enter into a file's path

TEST_F(LumicutViewTest, RoundTripThroughKeysMouseAndPrompts) {
    start();
    const char* question = "Voulez vous effacer le fichier résultat ?";
    const auto none = QMessageBox::NoButton;
    const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    // Key, answer to a question if one comes; then the current row, the files written, the
    // result and its icon in the status bar, the one message shown if any.
    using Step =
        std::tuple<const char*, Qt::Key, Qt::KeyboardModifiers, QMessageBox::StandardButton, int,
                   Files, const char*, ResultIcon, const char*>;
    // clang-format off
    const Step steps[] = {
        {"Enter on a fresh photo saves it and stays", Qt::Key_Return, {}, none, 0, {kR0}, kR0, ResultIcon::Saved, nullptr},
        {"a rotation marks the result as changed", Qt::Key_Left, shift, none, 0, {kR0}, kR0, ResultIcon::Changed, nullptr},
        {"keypad Enter saves over its own result", Qt::Key_Enter, keypad, none, 0, {kR0}, kR0, ResultIcon::Saved, nullptr},
        {"Enter on a saved photo goes on", Qt::Key_Return, {}, none, 1, {kR0}, kR1, ResultIcon::Missing, nullptr},
        {"Escape goes on without saving", Qt::Key_Escape, {}, none, 2, {kR0}, kR1, ResultIcon::Missing, nullptr},
        {"Escape on the last photo stays", Qt::Key_Escape, {}, none, 2, {kR0}, kR1, ResultIcon::Missing, nullptr},
        {"keypad 0 goes back", Qt::Key_0, keypad, none, 1, {kR0}, kR1, ResultIcon::Missing, nullptr},
        {"keypad Insert (Num Lock off) too", Qt::Key_Insert, keypad, none, 0, {kR0}, kR0, ResultIcon::Saved, nullptr},
        {"keypad 0 on the first photo stays", Qt::Key_0, keypad, none, 0, {kR0}, kR0, ResultIcon::Saved, nullptr},
        {"Delete answered No keeps the result", Qt::Key_Delete, {}, QMessageBox::No, 0, {kR0}, kR0, ResultIcon::Saved, question},
        {"Delete answered Yes removes it", Qt::Key_Delete, {}, QMessageBox::Yes, 0, {}, kR0, ResultIcon::Missing, question},
        {"Delete without a result warns", Qt::Key_Delete, {}, none, 0, {}, kR0, ResultIcon::Missing, "Le fichier résultat n'existe pas"},
        {"a double click validates like Enter", kDoubleClick, {}, none, 0, {kR0}, kR0, ResultIcon::Saved, nullptr},
        {"Shift+Enter on a saved photo starts the next index", Qt::Key_Return, shift, none, 0, {kR0}, kR1, ResultIcon::Missing, nullptr},
        {"Enter saves under that index", Qt::Key_Return, {}, none, 0, {kR0, kR1}, kR1, ResultIcon::Saved, nullptr},
        {"an unwritable destination: warned, nothing lost", kUnwritable, {}, none, 0, {kR0, kR1}, kR1, ResultIcon::Missing, "Impossible de sauvegarder l'image"},
        {"the next Enter tries again", Qt::Key_Return, {}, none, 0, {kR0, kR1}, kR1, ResultIcon::Saved, nullptr},
        {"Escape, then Backspace goes back and deletes that result", Qt::Key_Escape, {}, none, 1, {kR0, kR1}, "Photos_20060714_002.jpg", ResultIcon::Missing, nullptr},
        {"(Enter answers Yes)", Qt::Key_Backspace, {}, none, 0, {kR0}, kR1, ResultIcon::Missing, question},
    };
    // clang-format on
    for (const auto& [name, key, modifiers, answer, photo, files, result, icon, asked] : steps) {
        SCOPED_TRACE(name);
        m_prompts.messages.clear();
        if (answer != none)
            m_prompts.answerButton(answer);
        if (key == kDoubleClick) {
            QTest::mouseDClick(m_view, Qt::LeftButton, {}, display().geometry().center());
            m_view->finishSaves();
        } else if (key == kUnwritable) {
            std::ofstream(m_root + "plain") << "x";
            m_settings.setDestinationFolder(m_root + "plain/");
            press(Qt::Key_Left, shift);
            press(Qt::Key_Return);
            m_settings.setDestinationFolder(m_root + "out/");
        } else {
            press(key, modifiers);
        }
        EXPECT_EQ(panel().currentIndex(), photo);
        EXPECT_EQ(outFiles(), files);
        EXPECT_EQ(m_frame.resultStatusText().toStdString(), std::string("Destination : ") + result);
        EXPECT_EQ(m_frame.resultStatusIcon(), icon);
        ASSERT_EQ(m_prompts.messages.size(), asked ? 1u : 0u);
        if (asked) {
            EXPECT_EQ(m_prompts.messages[0].text, asked);
        }
    }
}

TEST_F(LumicutViewTest, HeldKeysDragAndWheelMoveAndZoomTheFrame) {
    start(true);
    doc().zoomFrame(200); // room to travel and to grow
    const QPoint middle = display().geometry().center();
    enum Gesture { HeldX11, Drag, Wheel, SideWheel };
    // Key or wheel delta; the frame's move and change of inset.
    const std::tuple<const char*, Gesture, int, int, int, int> rows[] = {
        {"held with X11 auto-repeat pairs: 1 + 5 + 9", HeldX11, Qt::Key_Right, 15, 0, 0},
        {"a left drag moves the frame with the mouse", Drag, 0, 30, -20, 0},
        {"the wheel away from the user: smaller", Wheel, 120, 0, 0, 1},
        {"the wheel toward the user: larger", Wheel, -120, 0, 0, -1},
        {"a sideways wheel is not toward the user: smaller", SideWheel, 120, 0, 0, 1},
    };
    for (const auto& [name, gesture, key, dx, dy, shrink] : rows) {
        SCOPED_TRACE(name);
        const FrameGeometry before = doc().geometry();
        if (gesture == Drag) {
            QTest::mousePress(m_view, Qt::LeftButton, {}, middle);
            QTest::mouseMove(m_view, middle + QPoint(30, -20));
            QTest::mouseRelease(m_view, Qt::LeftButton, {}, middle + QPoint(30, -20));
        } else if (gesture == Wheel || gesture == SideWheel) {
            const QPoint delta = gesture == Wheel ? QPoint(0, key) : QPoint(key, 0);
            QWheelEvent wheel(middle, m_view->mapToGlobal(middle), {}, delta, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(m_view, &wheel);
        } else {
            QTest::keyPress(m_view, Qt::Key(key));
            for (int i = 0; i < 2; ++i) { // auto-repeat: a release, then a press
                QTest::simulateEvent(m_view, false, key, {}, {}, true);
                QTest::simulateEvent(m_view, true, key, {}, {}, true);
            }
            QTest::keyRelease(m_view, Qt::Key(key));
        }
        EXPECT_EQ(doc().geometry().offsetX() - before.offsetX(), dx);
        EXPECT_EQ(doc().geometry().offsetY() - before.offsetY(), dy);
        EXPECT_EQ(doc().geometry().shrink() - before.shrink(), shrink);
    }
}

TEST_F(LumicutViewTest, ClicksOnTheListAndThePreviewLoadTheirPhoto) {
    start();
    PhotoList& list = panel().photoList();
    QWidget& preview = panel().preview();
    const auto click = [&list](int row) {
        const QPoint at = row < 0 ? QPoint(20, list.viewport()->height() - 2)
                                  : list.visualRect(list.model()->index(row, 0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    };
    // clang-format off
    const std::tuple<const char*, std::function<void()>, int, int> steps[] = { // row, photo width
        {"a click on row 1", [&] { click(1); }, 1, 400},
        {"a click on row 0", [&] { click(0); }, 0, 600},
        {"a click on the current row loads it again, undoing an edit", [&] { doc().rotateLeft(); click(0); }, 0, 600},
        {"a click below the rows, nothing selected: nothing", [&] { list.clearSelection(); click(-1); }, 0, 600},
        {"an edit leaves the preview as loaded", [&] { doc().rotateLeft(); }, 0, 400},
        {"a right click on the preview: nothing", [&] { QTest::mouseClick(&preview, Qt::RightButton); }, 0, 400},
        {"a left click on it loads the photo again", [&] { QTest::mouseClick(&preview, Qt::LeftButton); }, 0, 600},
    };
    // clang-format on
    for (const auto& [name, act, row, width] : steps) {
        SCOPED_TRACE(name);
        act();
        EXPECT_EQ(panel().currentIndex(), row);
        EXPECT_EQ(list.getCurrentRow(), row);
        EXPECT_EQ(doc().sourcePath(), m_root + "photos/" + char('a' + row) + ".jpg");
        EXPECT_EQ(doc().photo()->width(), width);
        const QSize shown = panel().preview().preview().size();
        EXPECT_EQ(shown.width() > shown.height(), row == 0) << "the photo as loaded, upright";
    }
    doc().zoomFrame(40);
    EXPECT_EQ(panel().gauge().cropWidth(), doc().frameSize().width()) << "the gauge follows";
    EXPECT_EQ(heldAhead(), 1) << "the next photo; the first has no previous one";
}

TEST_F(LumicutViewTest, TheSelectedFormatIsAppliedAndKeptByNameAcrossRefills) {
    start();
    QListWidget& formats = panel().formatList();
    const auto selected = [&formats] {
        const QList<QListWidgetItem*> items = formats.selectedItems();
        return items.size() == 1 ? formats.row(items.front()) : -1;
    };
    EXPECT_EQ(doc().geometry().formatLabel(), "15x10") << "the default format, height first";
    m_settings.saveFormats({"10x15", "15", "10", "4", "13x18", "18", "13", "4"});
    panel().fillFormatList();
    formats.setCurrentRow(1);
    EXPECT_EQ(doc().geometry().formatLabel(), "18x13");
    formats.clearSelection();
    EXPECT_EQ(doc().geometry().formatLabel(), "18x13") << "no selection: the format stays";

    m_settings.saveFormats(
        {"A4", "30", "21", "0", "9x13", "13", "9", "2", "13x18", "18", "13", "4"});
    panel().fillFormatList();
    EXPECT_EQ(selected(), 2);
    m_settings.saveFormats({"A4", "30", "21", "0"});
    panel().fillFormatList();
    EXPECT_EQ(selected(), 0) << "the applied format is gone: the first one";
    EXPECT_EQ(panel().currentFormatName(), "A4");
    EXPECT_EQ(doc().geometry().formatLabel(), "30x21");
}

TEST_F(LumicutViewTest, StatusShowsAResultBeingWrittenAndClosingWritesItFirst) {
    // Large and grainy, so that writing its result takes a while; first in the list.
    ASSERT_TRUE(
        noiseImage(3000, 2000).save(QString::fromStdString(m_root + "photos/0.jpg"), "JPG", 95));
    start();
    QTest::keyClick(m_view, Qt::Key_Return);
    EXPECT_EQ(m_frame.resultStatusIcon(), ResultIcon::Writing);
    m_frame.close();
    // Right after the close, without the event loop: the whole file and no temporary one.
    ASSERT_EQ(outFiles().size(), 1u);
    EXPECT_FALSE(QImage(QString::fromStdString(m_root + "out/" + *outFiles().begin())).isNull());
    EXPECT_EQ(m_frame.resultStatusIcon(), ResultIcon::Saved);
}

TEST_F(LumicutViewTest, MenusLeaveEveryKeyToTheViewToolbarButtonsHaveTheirOwnPicture) {
    for (const QAction* popup : m_frame.menuBar()->actions()) {
        for (const QAction* action : popup->menu()->actions())
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
    EXPECT_FALSE(m_frame.toolBar()->isMovable());
    std::set<QByteArray> pictures;
    for (const QAction* action : m_frame.toolBar()->actions()) {
        const QImage image = action->icon().pixmap(16, 16).toImage();
        if (!action->isSeparator())
            pictures.emplace(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    }
    EXPECT_EQ(pictures.size(), 20u);
}

TEST_F(LumicutViewTest, StatusBarShowsTheLockIndicatorsAndTheResultsIcon) {
    const auto texts = [this] {
        QStringList all;
        for (const QLabel* label : m_frame.statusBar()->findChildren<QLabel*>())
            all << label->text();
        return all;
    };
    // Keyboard LEDs unknown: every indicator stays; known: only the locked ones show.
    for (const bool known : {false, true}) {
        if (known) {
            for (const auto& [led, lit] :
                 {std::pair{"capslock", 1}, {"numlock", 0}, {"scrolllock", 0}}) {
                std::filesystem::create_directories(m_root + "leds/input3::" + led);
                std::ofstream(m_root + "leds/input3::" + led + "/brightness") << lit;
            }
        }
        m_frame.setLedFolder(m_root + (known ? "leds" : "no leds"));
        for (const auto& [text, lit] :
             {std::pair{"Prêt", true}, {"MAJ", true}, {"NUM", false}, {"DEF", false}})
            EXPECT_EQ(texts().contains(text), !known || lit) << text;
    }

    start();
    press(Qt::Key_Return);
    const auto* iconPane = m_frame.findChild<QLabel*>("ResultIconPane");
    EXPECT_EQ(iconPane->pixmap().toImage(), resultIconPixmap(ResultIcon::Saved).toImage());
    m_settings.setShowFullFileName(1);
    m_frame.showResultStatus(m_root + "out/", false); // a folder is not a result
    EXPECT_EQ(m_frame.resultStatusText().toStdString(), "Destination : " + m_root + "out/");
    EXPECT_EQ(m_frame.resultStatusIcon(), ResultIcon::Missing);
    EXPECT_EQ(iconPane->pixmap().toImage(), resultIconPixmap(ResultIcon::Missing).toImage());
}

TEST_F(LumicutViewTest, AboutShowsOneSplashWindowCentredForFiveSeconds) {
    m_frame.setGeometry(100, 80, 900, 700);
    m_frame.showAbout();
    SplashWindow* first = SplashWindow::instance();
    ASSERT_NE(first, nullptr);
    EXPECT_LE((first->geometry().center() - m_frame.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_GT(first->remainingLifetimeMs(), 4000);
    EXPECT_LE(first->remainingLifetimeMs(), 5000);
    m_frame.showAbout();
    EXPECT_EQ(SplashWindow::instance(), first);
    SplashWindow::hideSplash();
    SplashWindow::showSplash(nullptr); // without an owner to hand activation back to
    SplashWindow::hideSplash();
    EXPECT_EQ(SplashWindow::instance(), nullptr);
}

} // namespace
