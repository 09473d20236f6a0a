#include "tools/ToolsApp.h"
#include "widgets/UserPrompts.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(DialogPromptsTest, RealMessageBoxesAreModalWithTheirDefaultAndSelectableText) {
    MessageRequest address{ToolsApp::urlNotOpenedText("https://lumicut.example.org/"),
                           "Attention!!!", QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
    address.selectableText = true;
    const MessageRequest question{"Question ?", "Titre", QMessageBox::Question,
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
    for (const auto& [request, click] :
         {std::pair{question, QMessageBox::No}, std::pair{address, QMessageBox::Ok}}) {
        bool seen = false;
        QTimer::singleShot(0, [&, r = request, c = click] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->text(), r.text);
            EXPECT_EQ(box->windowTitle(), r.caption);
            EXPECT_EQ(box->icon(), r.icon);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->defaultButton(), box->button(r.defaultButton));
            if (r.selectableText) {
                EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse);
            }
            box->button(c)->click();
        });
        EXPECT_EQ(DialogPrompts().showBox(request), click);
        EXPECT_TRUE(seen);
    }
}
