#include "app/MainFrame.h"
#include "app/CommandId.h"
#include "app/ShellIcons.h"
#include "app/SplashWindow.h"
#include "app/ToolbarIcons.h"
#include "settings/Settings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int Id(CommandId id) {
    return static_cast<int>(id);
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
    }
    void TearDown() override { CSplashWindow::EnableSplash(false); }

    QTemporaryDir dir;
    std::string root;
    CSettings settings{dir.path().toStdString() + "/param.dat"};
};

std::vector<QString> Texts(const QList<QAction*>& actions) {
    std::vector<QString> texts;
    for (const QAction* action : actions)
        texts.push_back(action->isSeparator() ? QString("-") : action->text());
    return texts;
}

TEST_F(MainFrameTest, MenuBarHasEveryPopupAndItemInOrder) {
    struct ExpectedMenu {
        QString title;
        std::vector<QString> items; // "-" is a separator
    };
    const std::vector<ExpectedMenu> expected{
        {"&Fichier",
         {"Répertoire de travail...", "Répertoire destination...", "-", "Préférences...", "-",
          "&Quitter"}},
        {"&Affichage", {"&Plein écran\t<Espace>", "&Régle des tiers\t</>", "Bord blanc\t<B>"}},
        {"&Image",
         {"Rotation 90° Gauche\t<shift>+<gauche>", "Rotation 90° Droite\t<shift>+<droite>", "-",
          "Flip vertical\t<shift>+<haut>", "Flip horizontal\t<shift>+<bas>", "-",
          "Supprimer l'image\t<Suppr>", "Supprimer l'image précédente\t<Backspace>", "-",
          "Image suivante\t<ESC>", "Image précédente\t<0>"}},
        {"Fil&tres", {"Niveau de gris\t<1>", "Sépia\t<2>"}},
        {"&Outils", {"&Renommer des photos ...", "&Créer une planche de photos d'identité\t<I>"}},
        {"&?",
         {"Aide en &ligne...\t<F1>", "Rechercher des mises à &jour...", "-",
          "&Forum utilisateurs...", "-", "&A propos de Lumicut..."}},
    };
    CMainFrame frame(settings);
    const QList<QAction*> popups = frame.menuBar()->actions();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].title.toStdString());
        EXPECT_EQ(popups[i]->text(), expected[i].title);
        ASSERT_NE(popups[i]->menu(), nullptr);
        EXPECT_EQ(Texts(popups[i]->menu()->actions()), expected[i].items);
    }
}

TEST_F(MainFrameTest, ToolbarButtonsInOrderWithTooltips) {
    struct Button {
        int id; // 0: separator
        QString toolTip;
    };
    const std::vector<Button> expected{
        {Id(CommandId::WorkingFolder), "Choix du répertoire courant"},
        {Id(CommandId::DestinationFolder),
         "Répertoire destination"}, // no prompt of its own: Qt shows the menu text
        {0, ""},
        {Id(CommandId::Preferences), "Configuration des paramètres"},
        {0, ""},
        {Id(CommandId::PreviousPicture), "Photo précédente"},
        {Id(CommandId::NextPicture), "Photo suivante"},
        {0, ""},
        {Id(CommandId::DeleteResult), "Suppression de la photo résultat (si elle existe)"},
        {0, ""},
        {Id(CommandId::ZoomIn), "Zoom (+) sur la zone de recadrage"},
        {Id(CommandId::ZoomOut), "Zoom (-) sur la zone de recadrage"},
        {0, ""},
        {Id(CommandId::RotateRight), "Rotation de la photo sur la droite"},
        {Id(CommandId::RotateLeft), "Rotation de la photo sur la gauche"},
        {Id(CommandId::FlipHorizontal), "Flip horizontal"},
        {Id(CommandId::FlipVertical), "Flip vertical"},
        {0, ""},
        {Id(CommandId::TurnFrame), "Rotation du module de recadrage"},
        {0, ""},
        {Id(CommandId::Grayscale), "Transforme la photo en noir et blanc"},
        {Id(CommandId::Sepia), "Transforme la photo en ton sépia"},
        {Id(CommandId::WhiteBorder), "Ajoute un bord blanc à la photo"},
        {Id(CommandId::Thirds), "Afficher les repères de contrôle de la régle des tiers"},
        {0, ""},
        {Id(CommandId::FullScreen), "Afficher le cadre de recadrage en plein ecran"},
        {0, ""},
        {Id(CommandId::IdSheet), "Générer une planche de photos d'identité"},
        {0, ""},
        {Id(CommandId::About), "A propos de"},
    };
    CMainFrame frame(settings);
    const QList<QAction*> actions = frame.ToolBar()->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("toolbar position " + std::to_string(i));
        if (expected[i].id == 0) {
            EXPECT_TRUE(actions[i]->isSeparator());
            continue;
        }
        EXPECT_EQ(actions[i], frame.Action(expected[i].id));
        EXPECT_EQ(actions[i]->toolTip(), expected[i].toolTip);
        // The button shows its command's own picture.
        EXPECT_EQ(actions[i]->icon().pixmap(16, 16).toImage(),
                  ToolbarIcon(static_cast<CommandId>(expected[i].id)).pixmap(16, 16).toImage());
    }
    EXPECT_EQ(frame.ToolBar()->iconSize(), QSize(16, 16));
    EXPECT_FALSE(frame.ToolBar()->isMovable());
    EXPECT_FALSE(frame.ToolBar()->isFloatable());
}

TEST_F(MainFrameTest, StatusPromptsOfCommands) {
    const std::vector<std::pair<CommandId, QString>> rows{
        {CommandId::WorkingFolder, "Choix du répertoire courant"},
        {CommandId::DestinationFolder, ""},
        {CommandId::Quit, "Ferme l'application ; propose d'enregistrer les documents"},
        {CommandId::DeletePreviousResult, ""},
        {CommandId::RenamePhotos, "Permet de renommer des images en utilisant les tags Lumicut"},
        {CommandId::OnlineHelp, "Accédez directement à l'aide de Lumicut en ligne"},
        {CommandId::CheckUpdates, "Rechercher s'il existe une nouvelle version de Lumicut"},
        {CommandId::Forum, "Accéder au forum (suggestions, bugs...)"},
    };
    CMainFrame frame(settings);
    for (const auto& [id, prompt] : rows) {
        SCOPED_TRACE(prompt.toStdString());
        EXPECT_EQ(frame.Action(id)->statusTip(), prompt);
    }
}

TEST_F(MainFrameTest, MenuActionsBindNoKeysOfTheirOwn) {
    CMainFrame frame(settings);
    for (QAction* popup : frame.menuBar()->actions()) {
        for (QAction* action : popup->menu()->actions())
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
    }
}

TEST_F(MainFrameTest, ToolbarBackgroundShowsAroundThePictures) {
    CMainFrame frame(settings);
    frame.resize(800, 600);
    QWidget* button = frame.ToolBar()->widgetForAction(frame.Action(CommandId::WorkingFolder));
    ASSERT_NE(button, nullptr);
    const QImage shown = button->grab().toImage();
    // The picture is centred in its button, in the button's pixels; the folder does not
    // reach the picture's bottom-left corner, so what the toolbar paints shows there, the
    // same as just left of the picture.
    const QRect picture = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, QSize(16, 16),
                                              QRect(QPoint(0, 0), shown.size()));
    EXPECT_EQ(shown.pixelColor(picture.left(), picture.bottom()),
              shown.pixelColor(picture.left() - 1, picture.bottom()));
    EXPECT_NE(shown.pixelColor(picture.center()),
              shown.pixelColor(picture.left() - 1, picture.bottom()));
}

TEST_F(MainFrameTest, StatusBarIdleTextAndIndicators) {
    CMainFrame frame(settings);
    QStringList texts;
    for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Prêt"));
    for (const char* indicator : {"MAJ", "NUM", "DEF"})
        EXPECT_TRUE(texts.contains(indicator)) << indicator;
}

TEST_F(MainFrameTest, ShowResultStatusTable) {
    const std::string destination = root + "out/";
    std::filesystem::create_directories(destination);
    const std::string saved = destination + "Photos_20060714_000.jpg";
    std::ofstream(saved) << "x";

    struct Row {
        const char* name;
        int showFullFileName;
        std::string destinationSetting;
        std::string path;
        bool changed;
        std::string expectedText;
        ResultIcon expectedIcon;
    };
    const std::vector<Row> rows{
        {"full name shown", 1, destination, saved, false, "Destination : " + saved,
         ResultIcon::Saved},
        {"folder removed when full name off", 0, destination, saved, false,
         "Destination : Photos_20060714_000.jpg", ResultIcon::Saved},
        {"changed since saved", 0, destination, saved, true,
         "Destination : Photos_20060714_000.jpg", ResultIcon::Changed},
        {"empty path", 0, destination, "", false, "Destination : ", ResultIcon::Missing},
        {"no file yet", 1, destination, destination + "Photos_x_001.jpg", true,
         "Destination : " + destination + "Photos_x_001.jpg", ResultIcon::Missing},
        {"folder case differs: nothing removed", 0, root + "OUT/", saved, false,
         "Destination : " + saved, ResultIcon::Saved},
        {"every occurrence removed", 0, "/x/", "/x/y/x/z.jpg", false, "Destination : yz.jpg",
         ResultIcon::Missing},
        {"a folder is not a result", 1, destination, destination, false,
         "Destination : " + destination, ResultIcon::Missing},
    };
    CMainFrame frame(settings);
    EXPECT_FALSE(frame.ResultStatusIcon().has_value());
    auto* iconPane = frame.findChild<QLabel*>("ResultIconPane");
    ASSERT_NE(iconPane, nullptr);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        settings.SetShowFullFileName(row.showFullFileName);
        settings.SetDestinationFolder(row.destinationSetting);
        frame.ShowResultStatus(row.path, row.changed);
        EXPECT_EQ(frame.ResultStatusText().toStdString(), row.expectedText);
        ASSERT_TRUE(frame.ResultStatusIcon().has_value());
        EXPECT_EQ(*frame.ResultStatusIcon(), row.expectedIcon);
        EXPECT_EQ(iconPane->pixmap().toImage(), ResultIconPixmap(row.expectedIcon).toImage());
    }
    const QImage missing = ResultIconPixmap(ResultIcon::Missing).toImage();
    const QImage changed = ResultIconPixmap(ResultIcon::Changed).toImage();
    EXPECT_NE(missing, changed);
    EXPECT_NE(missing, ResultIconPixmap(ResultIcon::Saved).toImage());
    EXPECT_NE(changed, ResultIconPixmap(ResultIcon::Saved).toImage());
}

TEST_F(MainFrameTest, CheckMarksFollowTheirSource) {
    CMainFrame frame(settings);
    bool thirdsShown = false;
    frame.SetCheckSource(CommandId::Thirds, [&thirdsShown] { return thirdsShown; });
    QAction* thirds = frame.Action(CommandId::Thirds);
    EXPECT_TRUE(thirds->isCheckable());
    EXPECT_FALSE(thirds->isChecked());
    // The view toggles its state on the command; the mark follows once the command ran.
    QObject::connect(thirds, &QAction::triggered, [&thirdsShown] { thirdsShown = !thirdsShown; });
    thirds->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(thirds->isChecked());
    thirdsShown = false;
    frame.UpdateCheckMarks();
    EXPECT_FALSE(thirds->isChecked());
}

TEST_F(MainFrameTest, CommandsAreAnnouncedWithTheirNumber) {
    CMainFrame frame(settings);
    QSignalSpy spy(&frame, &CMainFrame::CommandTriggered);
    frame.Action(CommandId::RotateLeft)->trigger();
    frame.Action(CommandId::ZoomOut)->trigger();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), Id(CommandId::RotateLeft));
    EXPECT_EQ(spy.at(1).at(0).toInt(), Id(CommandId::ZoomOut));
}

TEST_F(MainFrameTest, AboutShowsOneSplashWindowOnly) {
    CMainFrame frame(settings);
    EXPECT_EQ(CSplashWindow::Instance(), nullptr); // not enabled: none at creation
    frame.Action(CommandId::About)->trigger();
    CSplashWindow* first = CSplashWindow::Instance();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    frame.Action(CommandId::About)->trigger();
    EXPECT_EQ(CSplashWindow::Instance(), first);
    EXPECT_EQ(frame.findChildren<CSplashWindow*>().size(), 1);
    CSplashWindow::HideSplash();
    EXPECT_EQ(CSplashWindow::Instance(), nullptr);
}

} // namespace
