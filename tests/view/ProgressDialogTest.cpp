#include "view/ProgressDialog.h"

#include <QPushButton>
#include <gtest/gtest.h>

TEST(ProgressDlg, AnnulerOnlyHidesTheWindowAndTheBarKeepsMoving) {
    ProgressDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Opération en cours..."));
    dialog.show();
    auto* cancel = dialog.findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Annuler"));
    cancel->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.setPos(50);
    EXPECT_EQ(dialog.pos(), 50);
}
