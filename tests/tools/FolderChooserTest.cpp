#include "tools/FolderChooser.h"
#include "tools/ToolsApp.h"
#include "widgets/UserPrompts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(FolderChooserTest, StartFolderRule) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = dir.path().toStdString();
    ASSERT_TRUE(QDir(dir.path()).mkpath("set"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("Pictures"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("home"));
    struct Row {
        const char* name;
        std::string setting;
        std::string pictures;
        std::string expected;
    };
    const std::vector<Row> rows{
        {"an existing setting, as given", root + "/set/", root + "/Pictures", root + "/set/"},
        {"empty setting: Pictures", "", root + "/Pictures", root + "/Pictures/"},
        {"missing setting: Pictures", root + "/gone/", root + "/Pictures", root + "/Pictures/"},
        {"a setting that is a file: Pictures", root + "/file", root + "/Pictures",
         root + "/Pictures/"},
        {"no Pictures folder: home", "", root + "/NoPictures", root + "/home/"},
        {"no Pictures folder named: home", "", "", root + "/home/"},
    };
    QFile file(dir.path() + "/file");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(folderChooserStart(row.setting, row.pictures, root + "/home"), row.expected);
    }
}

// Qt's own chooser as the program shows it: French texts and dates, every column title whole.
TEST(FolderChooserTest, QtChooserIsFrenchAndShowsWholeColumnTitles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("Été 2006"));
    const QDateTime modified = QFileInfo(dir.path() + "/Été 2006").lastModified();

    const QLocale localeBefore;
    QTranslator texts;
    ASSERT_TRUE(ToolsApp::installFrench(texts)) << "qtbase_fr is installed with Qt's translations";
    EXPECT_EQ(QLocale().language(), QLocale::French);

    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Sélectionner le répertoire courant");
        EXPECT_EQ(QDir(dialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());

        auto* view = dialog->findChild<QTreeView*>();
        ASSERT_NE(view, nullptr);
        QAbstractItemModel* model = view->model();
        ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) > 0; }));
        const QModelIndex folder = model->index(0, 0, view->rootIndex());
        EXPECT_EQ(folder.data().toString(), "Été 2006");
        EXPECT_EQ(folder.siblingAtColumn(2).data().toString(), "Dossier");
        EXPECT_EQ(
            folder.siblingAtColumn(3).data().toString(),
            QLocale(QLocale::French, QLocale::France).toString(modified, QLocale::ShortFormat));
        EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Dernière modification");

        // Every title whole, and every column within the visible width.
        QHeaderView* header = view->header();
        int total = 0;
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            SCOPED_TRACE(model->headerData(column, Qt::Horizontal).toString().toStdString());
            EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column));
            total += header->sectionSize(column);
        }
        EXPECT_LE(total, view->viewport()->width());
        dialog->reject();
    });
    EXPECT_EQ(DialogPrompts().chooseFolder(QStringLiteral("Sélectionner le répertoire courant"),
                                           dir.path().toStdString() + "/"),
              "");
    EXPECT_TRUE(seen);

    QCoreApplication::removeTranslator(&texts);
    QLocale::setDefault(localeBefore);
}

} // namespace
