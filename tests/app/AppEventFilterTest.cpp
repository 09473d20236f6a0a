#include "app/AppEventFilter.h"
#include "app/MainFrame.h"
#include "app/SplashWindow.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Stands for the photo view: records the keys it gets; may ignore them.
class KeyRecorder : public QWidget {
public:
    using QWidget::QWidget;
    struct Key {
        QEvent::Type type;
        int key;
    };
    std::vector<Key> keys;
    bool ignoreKeys = false;

protected:
    void keyPressEvent(QKeyEvent* event) override { Record(event); }
    void keyReleaseEvent(QKeyEvent* event) override { Record(event); }

private:
    void Record(QKeyEvent* event) {
        // Modifier keys arrive as keys of their own; only the main keys matter here.
        const int key = event->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt)
            keys.push_back({event->type(), key});
        if (ignoreKeys)
            event->ignore();
    }
};

class AppEventFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        list = new QListWidget(central);
        list->addItems({"a", "b", "c"});
        list->setCurrentRow(1);
        target = new KeyRecorder(central);
        target->setFocusPolicy(Qt::StrongFocus);
        button = new QPushButton("bouton", central);
        layout->addWidget(list);
        layout->addWidget(target);
        layout->addWidget(button);
        frame.SetView(central);
        frame.resize(600, 400);
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
        filter.SetKeyTarget(target);
        qApp->installEventFilter(&filter);
        list->setFocus();
    }
    void TearDown() override {
        qApp->removeEventFilter(&filter);
        CSplashWindow::HideSplash();
        CSplashWindow::EnableSplash(false);
    }

    QTemporaryDir dir;
    CSettings settings{dir.path().toStdString() + "/param.dat"};
    ScriptedPrompts prompts;
    CMainFrame frame{settings, prompts};
    CAppEventFilter filter{&frame};
    QListWidget* list = nullptr;
    KeyRecorder* target = nullptr;
    QPushButton* button = nullptr;
};

TEST_F(AppEventFilterTest, KeysOfAFocusedChildGoToTheTarget) {
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const std::vector<Row> rows{
        {"arrow down", Qt::Key_Down, Qt::NoModifier},
        {"shift arrow left", Qt::Key_Left, Qt::ShiftModifier},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier},
        {"escape", Qt::Key_Escape, Qt::NoModifier},
        {"letter b", Qt::Key_B, Qt::NoModifier},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        target->keys.clear();
        QTest::keyClick(list, row.key, row.modifiers);
        ASSERT_EQ(target->keys.size(), 2u);
        EXPECT_EQ(target->keys[0].type, QEvent::KeyPress);
        EXPECT_EQ(target->keys[0].key, row.key);
        EXPECT_EQ(target->keys[1].type, QEvent::KeyRelease);
        EXPECT_EQ(target->keys[1].key, row.key);
        EXPECT_EQ(list->currentRow(), 1); // the list itself never moved
    }
}

TEST_F(AppEventFilterTest, KeysArriveOnceEvenWhenIgnored) {
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Right);
    EXPECT_EQ(target->keys.size(), 2u);
    target->keys.clear();
    target->ignoreKeys = true;
    list->setFocus();
    QTest::keyPress(list, Qt::Key_Up);
    EXPECT_EQ(target->keys.size(), 1u);
    EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(AppEventFilterTest, AltMnemonicIsLeftToTheMenuBar) {
    QTest::keyClick(list, Qt::Key_I, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "&Image");
    // Keys of the open menu stay with the menu.
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_TRUE(target->keys.empty());
    popup->close();
}

TEST_F(AppEventFilterTest, KeysOfADialogAreLeftAlone) {
    QDialog dialog(&frame);
    auto* edit = new QLineEdit(&dialog);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_TRUE(target->keys.empty());
}

TEST_F(AppEventFilterTest, SplashSwallowsTheFirstKeyAndIsDeleted) {
    CSplashWindow::EnableSplash(true);
    CSplashWindow::ShowSplash(&frame);
    ASSERT_NE(CSplashWindow::Instance(), nullptr);

    QTest::keyPress(list, Qt::Key_Left);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    EXPECT_TRUE(target->keys.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.findChildren<CSplashWindow*>().isEmpty());

    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyPress(list, Qt::Key_Left);
    ASSERT_EQ(target->keys.size(), 1u);
    EXPECT_EQ(target->keys[0].key, Qt::Key_Left);
}

TEST_F(AppEventFilterTest, SplashSwallowsTheFirstClick) {
    QSignalSpy clicked(button, &QPushButton::clicked);
    CSplashWindow::EnableSplash(true);
    CSplashWindow::ShowSplash(&frame);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

} // namespace
