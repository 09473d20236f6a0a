#include "view/ViewActions.h"

#include "app/ToolbarIcons.h"
#include "engine/PhotoDocument.h"
#include "panel/SidePanel.h"
#include "view/LumicutView.h"
#include "view/PhotoView.h"

#include <QAction>

#include <algorithm>
#include <array>

// One command: its texts, the view operation it runs and, for a checkable command, the
// state its check mark shows.
struct ViewActions::CommandRow {
    Command command;
    const char* menuText; // nullptr: toolbar only, the prompt is the action's text
    const char* prompt;   // status-bar prompt; nullptr: none
    const char* toolTip;  // nullptr: none of its own (Qt shows the menu text)
    void (*run)(LumicutView& view);
    bool (*isChecked)(LumicutView& view) = nullptr; // null: no check mark
};

namespace {

constexpr LayoutItem kFileMenu[] = {Command::WorkingFolder,
                                    Command::DestinationFolder,
                                    kSeparator,
                                    Command::Preferences,
                                    kSeparator,
                                    Command::Quit};
constexpr LayoutItem kViewMenu[] = {Command::FullScreen, Command::Thirds, Command::WhiteBorder};
constexpr LayoutItem kImageMenu[] = {
    Command::RotateLeft,   Command::RotateRight,          kSeparator,
    Command::FlipVertical, Command::FlipHorizontal,       kSeparator,
    Command::DeleteResult, Command::DeletePreviousResult, kSeparator,
    Command::NextPicture,  Command::PreviousPicture};
constexpr LayoutItem kFilterMenu[] = {Command::Grayscale, Command::Sepia};
constexpr LayoutItem kToolsMenu[] = {Command::RenamePhotos, Command::IdSheet};
constexpr LayoutItem kHelpMenu[] = {Command::OnlineHelp, Command::CheckUpdates,
                                    kSeparator,          Command::Forum,
                                    kSeparator,          Command::About};

constexpr std::array kMenus{
    MenuLayout{"&Fichier", kFileMenu}, MenuLayout{"&Affichage", kViewMenu},
    MenuLayout{"&Image", kImageMenu},  MenuLayout{"Fil&tres", kFilterMenu},
    MenuLayout{"&Outils", kToolsMenu}, MenuLayout{"&?", kHelpMenu},
};

constexpr LayoutItem kToolBar[] = {Command::WorkingFolder,
                                   Command::DestinationFolder,
                                   kSeparator,
                                   Command::Preferences,
                                   kSeparator,
                                   Command::PreviousPicture,
                                   Command::NextPicture,
                                   kSeparator,
                                   Command::DeleteResult,
                                   kSeparator,
                                   Command::ZoomIn,
                                   Command::ZoomOut,
                                   kSeparator,
                                   Command::RotateRight,
                                   Command::RotateLeft,
                                   Command::FlipHorizontal,
                                   Command::FlipVertical,
                                   kSeparator,
                                   Command::TurnFrame,
                                   kSeparator,
                                   Command::Grayscale,
                                   Command::Sepia,
                                   Command::WhiteBorder,
                                   Command::Thirds,
                                   kSeparator,
                                   Command::FullScreen,
                                   kSeparator,
                                   Command::IdSheet,
                                   kSeparator,
                                   Command::About};

// A menu title or item as the menu shows it: no mnemonic marks, no key column.
QString shown(const char* text) {
    QString plain = QString::fromUtf8(text).section(QLatin1Char('\t'), 0, 0);
    return plain.remove(QLatin1Char('&'));
}

} // namespace

std::span<const ViewActions::CommandRow> ViewActions::commandTable() {
    // Commands with a toolbar button show their prompt as tooltip; the About button keeps
    // its short tooltip.
    static constexpr CommandRow kCommands[] = {
        {Command::WorkingFolder, "Répertoire de travail...", "Choix du répertoire courant",
         "Choix du répertoire courant", [](LumicutView& view) { view.chooseWorkingFolder(); }},
        {Command::DestinationFolder, "Répertoire destination...", nullptr, nullptr,
         [](LumicutView& view) { view.chooseDestinationFolder(); }},
        {Command::Preferences, "Préférences...", "Configuration des paramètres",
         "Configuration des paramètres", [](LumicutView& view) { view.runPreferences(); }},
        {Command::Quit, "&Quitter", "Ferme l'application ; propose d'enregistrer les documents",
         "Quitter", [](LumicutView& view) { view.window()->close(); }},
        {Command::FullScreen, "&Plein écran\t<Espace>",
         "Afficher le cadre de recadrage en plein ecran",
         "Afficher le cadre de recadrage en plein ecran",
         [](LumicutView& view) {
             view.m_display->setFullScreen(true);
             view.setFocus();
         }},
        {Command::Thirds, "&Régle des tiers\t</>",
         "Afficher les repères de contrôle de la régle des tiers",
         "Afficher les repères de contrôle de la régle des tiers",
         [](LumicutView& view) { view.toggleThirds(); },
         [](LumicutView& view) { return view.m_document->thirds(); }},
        {Command::WhiteBorder, "Bord blanc\t<B>", "Ajoute un bord blanc à la photo",
         "Ajoute un bord blanc à la photo", [](LumicutView& view) { view.toggleWhiteBorder(); },
         [](LumicutView& view) { return view.m_document->whiteBorder(); }},
        {Command::RotateLeft, "Rotation 90° Gauche\t<shift>+<gauche>",
         "Rotation de la photo sur la gauche", "Rotation de la photo sur la gauche",
         [](LumicutView& view) { view.transform(&PhotoDocument::rotateLeft); }},
        {Command::RotateRight, "Rotation 90° Droite\t<shift>+<droite>",
         "Rotation de la photo sur la droite", "Rotation de la photo sur la droite",
         [](LumicutView& view) { view.transform(&PhotoDocument::rotateRight); }},
        {Command::FlipVertical, "Flip vertical\t<shift>+<haut>", "Flip vertical", "Flip vertical",
         [](LumicutView& view) { view.transform(&PhotoDocument::flipVertical); }},
        {Command::FlipHorizontal, "Flip horizontal\t<shift>+<bas>", "Flip horizontal",
         "Flip horizontal",
         [](LumicutView& view) { view.transform(&PhotoDocument::flipHorizontal); }},
        {Command::DeleteResult, "Supprimer l'image\t<Suppr>",
         "Suppression de la photo résultat (si elle existe)",
         "Suppression de la photo résultat (si elle existe)",
         [](LumicutView& view) { view.deleteResult(); }},
        {Command::DeletePreviousResult, "Supprimer l'image précédente\t<Backspace>", nullptr,
         nullptr,
         [](LumicutView& view) {
             view.m_sidePanel->previousPicture();
             view.deleteResult();
         }},
        {Command::NextPicture, "Image suivante\t<ESC>", "Photo suivante", "Photo suivante",
         [](LumicutView& view) { view.m_sidePanel->nextPicture(); }},
        {Command::PreviousPicture, "Image précédente\t<0>", "Photo précédente", "Photo précédente",
         [](LumicutView& view) { view.m_sidePanel->previousPicture(); }},
        {Command::Grayscale, "Niveau de gris\t<1>", "Transforme la photo en noir et blanc",
         "Transforme la photo en noir et blanc",
         [](LumicutView& view) { view.transform(&PhotoDocument::toGrayscale); }},
        {Command::Sepia, "Sépia\t<2>", "Transforme la photo en ton sépia",
         "Transforme la photo en ton sépia",
         [](LumicutView& view) { view.transform(&PhotoDocument::toSepia); }},
        {Command::RenamePhotos, "&Renommer des photos ...",
         "Permet de renommer des images en utilisant les tags Lumicut",
         "Permet de renommer des images en utilisant les tags Lumicut",
         [](LumicutView& view) { view.runRename(); }},
        {Command::IdSheet, "&Créer une planche de photos d'identité\t<I>",
         "Générer une planche de photos d'identité", "Générer une planche de photos d'identité",
         [](LumicutView& view) { view.toggleIdSheet(); },
         [](LumicutView& view) { return view.m_document->idSheet(); }},
        {Command::OnlineHelp, "Aide en &ligne...\t<F1>",
         "Accédez directement à l'aide de Lumicut en ligne",
         "Accédez directement à l'aide de Lumicut en ligne",
         [](LumicutView& view) { view.runHook(view.m_hooks.onlineHelp); }},
        {Command::CheckUpdates, "Rechercher des mises à &jour...",
         "Rechercher s'il existe une nouvelle version de Lumicut",
         "Rechercher s'il existe une nouvelle version de Lumicut",
         [](LumicutView& view) { view.runHook(view.m_hooks.checkUpdates); }},
        {Command::Forum, "&Forum utilisateurs...", "Accéder au forum (suggestions, bugs...)",
         "Accéder au forum (suggestions, bugs...)",
         [](LumicutView& view) { view.runHook(view.m_hooks.forum); }},
        {Command::About, "&A propos de Lumicut...",
         "Affiche des informations sur le programme, le numéro de version et le copyright",
         "A propos de", [](LumicutView& view) { view.runHook(view.m_hooks.about); }},
        {Command::ZoomIn, nullptr, "Zoom (+) sur la zone de recadrage",
         "Zoom (+) sur la zone de recadrage",
         [](LumicutView& view) { view.zoom(-view.m_keyStep.value()); }},
        {Command::ZoomOut, nullptr, "Zoom (-) sur la zone de recadrage",
         "Zoom (-) sur la zone de recadrage",
         [](LumicutView& view) { view.zoom(view.m_keyStep.value()); }},
        {Command::TurnFrame, nullptr, "Rotation du module de recadrage",
         "Rotation du module de recadrage", [](LumicutView& view) { view.turnFrame(); }},
    };
    return kCommands;
}

ViewActions::ViewActions(LumicutView& view) : QObject(&view), m_view(view) {
    for (const CommandRow& row : commandTable()) {
        const char* text = row.menuText ? row.menuText : row.prompt;
        auto* action = new QAction(QString::fromUtf8(text), this);
        if (row.prompt)
            action->setStatusTip(QString::fromUtf8(row.prompt));
        if (row.toolTip)
            action->setToolTip(QString::fromUtf8(row.toolTip));
        action->setIcon(toolbarIcon(row.command));
        action->setCheckable(row.isChecked != nullptr);
        connect(action, &QAction::triggered, this, [this, run = row.run] { run(this->m_view); });
        m_actions.emplace_back(&row, action);
    }
    syncCheckMarks();
}

ViewActions::~ViewActions() = default;

QAction* ViewActions::action(Command command) const {
    const auto found =
        std::find_if(m_actions.begin(), m_actions.end(),
                     [command](const auto& entry) { return entry.first->command == command; });
    return found == m_actions.end() ? nullptr : found->second;
}

std::span<const MenuLayout> ViewActions::menuLayout() {
    return kMenus;
}

std::span<const LayoutItem> ViewActions::toolBarLayout() {
    return kToolBar;
}

QString ViewActions::menuPath(Command command) {
    const std::span<const CommandRow> table = commandTable();
    const auto row = std::find_if(table.begin(), table.end(), [command](const CommandRow& entry) {
        return entry.command == command;
    });
    const QString item = row != table.end() && row->menuText ? shown(row->menuText) : QString();
    for (const MenuLayout& menu : menuLayout()) {
        if (std::find(menu.items.begin(), menu.items.end(), command) != menu.items.end())
            return shown(menu.title) + QStringLiteral(" > ") + item;
    }
    return item;
}

void ViewActions::syncCheckMarks() {
    for (const auto& [row, action] : m_actions) {
        if (row->isChecked)
            action->setChecked(row->isChecked(m_view));
    }
}
