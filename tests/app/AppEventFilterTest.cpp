#include "app/AppEventFilter.h"
#include "app/MainWindow.h"
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
    void keyPressEvent(QKeyEvent* event) override { record(event); }
    void keyReleaseEvent(QKeyEvent* event) override { record(event); }

private:
    void record(QKeyEvent* event) {
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
        m_list = new QListWidget(central);
        m_list->addItems({"a", "b", "c"});
        m_list->setCurrentRow(1);
        m_target = new KeyRecorder(central);
        m_target->setFocusPolicy(Qt::StrongFocus);
        m_button = new QPushButton("bouton", central);
        layout->addWidget(m_list);
        layout->addWidget(m_target);
        layout->addWidget(m_button);
        m_frame.setView(central);
        m_frame.resize(600, 400);
        m_frame.show();
        m_frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        m_filter.setKeyTarget(m_target);
        qApp->installEventFilter(&m_filter);
        m_list->setFocus();
    }
    void TearDown() override {
        qApp->removeEventFilter(&m_filter);
        SplashWindow::hideSplash();
        SplashWindow::enableSplash(false);
    }

    QTemporaryDir m_dir;
    Settings m_settings{m_dir.path().toStdString() + "/param.dat"};
    ScriptedPrompts m_prompts;
    MainWindow m_frame{m_settings, m_prompts};
    AppEventFilter m_filter{&m_frame};
    QListWidget* m_list = nullptr;
    KeyRecorder* m_target = nullptr;
    QPushButton* m_button = nullptr;
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
        m_target->keys.clear();
        QTest::keyClick(m_list, row.key, row.modifiers);
        ASSERT_EQ(m_target->keys.size(), 2u);
        EXPECT_EQ(m_target->keys[0].type, QEvent::KeyPress);
        EXPECT_EQ(m_target->keys[0].key, row.key);
        EXPECT_EQ(m_target->keys[1].type, QEvent::KeyRelease);
        EXPECT_EQ(m_target->keys[1].key, row.key);
        EXPECT_EQ(m_list->currentRow(), 1); // the list itself never moved
    }
}

TEST_F(AppEventFilterTest, KeysArriveOnceEvenWhenIgnored) {
    m_target->setFocus();
    QTest::keyClick(m_target, Qt::Key_Right);
    EXPECT_EQ(m_target->keys.size(), 2u);
    m_target->keys.clear();
    m_target->ignoreKeys = true;
    m_list->setFocus();
    QTest::keyPress(m_list, Qt::Key_Up);
    EXPECT_EQ(m_target->keys.size(), 1u);
    EXPECT_EQ(m_list->currentRow(), 1);
}

TEST_F(AppEventFilterTest, AltMnemonicIsLeftToTheMenuBar) {
    QTest::keyClick(m_list, Qt::Key_I, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "&Image");
    // Keys of the open menu stay with the menu.
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_TRUE(m_target->keys.empty());
    popup->close();
}

TEST_F(AppEventFilterTest, KeysOfADialogAreLeftAlone) {
    QDialog dialog(&m_frame);
    auto* edit = new QLineEdit(&dialog);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    EXPECT_EQ(edit->text(), "ab");
    EXPECT_TRUE(m_target->keys.empty());
}

TEST_F(AppEventFilterTest, SplashSwallowsTheFirstKeyAndIsDeleted) {
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(&m_frame);
    ASSERT_NE(SplashWindow::instance(), nullptr);

    QTest::keyPress(m_list, Qt::Key_Left);
    EXPECT_EQ(SplashWindow::instance(), nullptr);
    EXPECT_TRUE(m_target->keys.empty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_frame.findChildren<SplashWindow*>().isEmpty());

    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    QTest::keyPress(m_list, Qt::Key_Left);
    ASSERT_EQ(m_target->keys.size(), 1u);
    EXPECT_EQ(m_target->keys[0].key, Qt::Key_Left);
}

TEST_F(AppEventFilterTest, SplashSwallowsTheFirstClick) {
    QSignalSpy clicked(m_button, &QPushButton::clicked);
    SplashWindow::enableSplash(true);
    SplashWindow::showSplash(&m_frame);
    QTest::mouseClick(m_button, Qt::LeftButton);
    EXPECT_EQ(SplashWindow::instance(), nullptr);
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(m_button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

} // namespace
