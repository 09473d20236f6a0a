#include "app/AppEventFilter.h"
#include "app/MainWindow.h"
#include "settings/Settings.h"
#include "ui_support/ScriptedPrompts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

using Keys = std::vector<std::pair<QEvent::Type, int>>;

// Stands for the view: records the keys it gets (not the modifiers); may ignore them.
struct KeyRecorder : QWidget {
    using QWidget::QWidget;
    Keys keys;
    bool ignoreKeys = false;
    void keyPressEvent(QKeyEvent* event) override { record(event); }
    void keyReleaseEvent(QKeyEvent* event) override { record(event); }
    void record(QKeyEvent* event) {
        if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Alt)
            keys.emplace_back(event->type(), event->key());
        event->setAccepted(!ignoreKeys);
    }
};

// The main window holding a list (with the focus, on row 1) and the key target.
class AppEventFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        layout->addWidget(m_list = new QListWidget(central));
        layout->addWidget(m_target = new KeyRecorder(central));
        m_target->setFocusPolicy(Qt::StrongFocus);
        m_list->addItems({"a", "b", "c"});
        m_list->setCurrentRow(1);
        m_frame.setView(central);
        m_frame.resize(600, 400);
        m_frame.show();
        m_frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        m_filter.setKeyTarget(m_target);
        qApp->installEventFilter(&m_filter);
        m_list->setFocus();
    }
    void TearDown() override { qApp->removeEventFilter(&m_filter); }

    QTemporaryDir m_dir;
    Settings m_settings{m_dir.path().toStdString() + "/param.dat"};
    ScriptedPrompts m_prompts;
    MainWindow m_frame{m_settings, m_prompts};
    AppEventFilter m_filter{&m_frame};
    QListWidget* m_list = nullptr;
    KeyRecorder* m_target = nullptr;
};

TEST_F(AppEventFilterTest, KeysOfAFocusedChildGoToTheTargetOnce) {
    // clang-format off
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool ignored; // by the target: not handed on again
    } rows[] = {
        {"arrow down", Qt::Key_Down, {}, false},
        {"shift arrow left", Qt::Key_Left, Qt::ShiftModifier, false},
        {"keypad plus", Qt::Key_Plus, Qt::KeypadModifier, false},
        {"escape", Qt::Key_Escape, {}, false},
        {"ignored arrow up", Qt::Key_Up, {}, true},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_target->keys.clear();
        m_target->ignoreKeys = row.ignored;
        QTest::keyClick(m_list, row.key, row.modifiers);
        EXPECT_EQ(m_target->keys,
                  (Keys{{QEvent::KeyPress, row.key}, {QEvent::KeyRelease, row.key}}));
        EXPECT_EQ(m_list->currentRow(), 1) << "the list itself never moved";
    }
}

TEST_F(AppEventFilterTest, AltCombinationsAreLeftToTheMenuBar) {
    QTest::keyClick(m_list, Qt::Key_I, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "&Image");
    QTest::keyClick(popup, Qt::Key_Down);
    popup->close();

    EXPECT_TRUE(m_target->keys.empty());
}

} // namespace
