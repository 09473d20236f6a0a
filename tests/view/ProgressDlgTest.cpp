#include "view/ProgressDlg.h"

#include <QPushButton>
#include <gtest/gtest.h>

TEST(ProgressDlg, BarRunsFromZeroToHundred) {
    CProgressDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Opération en cours..."));
    EXPECT_EQ(dialog.Minimum(), 0);
    EXPECT_EQ(dialog.Maximum(), 100);
    EXPECT_EQ(dialog.Pos(), 0);
    dialog.show();
    dialog.SetPos(75);
    EXPECT_EQ(dialog.Pos(), 75);
}

TEST(ProgressDlg, AnnulerOnlyHidesTheWindow) {
    CProgressDlg dialog;
    dialog.show();
    auto* cancel = dialog.findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Annuler"));
    cancel->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.SetPos(50);
    EXPECT_EQ(dialog.Pos(), 50);
}
