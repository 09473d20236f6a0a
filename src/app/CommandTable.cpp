#include "app/CommandTable.h"

#include <algorithm>
#include <array>

namespace {

// Commands with a toolbar button show their prompt as tooltip; the About button keeps the
// short tooltip the framework gives it.
constexpr std::array kCommands{
    CommandInfo{CommandId::WorkingFolder, "Répertoire de travail...", "Choix du répertoire courant",
                "Choix du répertoire courant"},
    CommandInfo{CommandId::DestinationFolder, "Répertoire destination...", nullptr, nullptr},
    CommandInfo{CommandId::Preferences, "Préférences...", "Configuration des paramètres",
                "Configuration des paramètres"},
    CommandInfo{CommandId::Quit, "&Quitter",
                "Ferme l'application ; propose d'enregistrer les documents", "Quitter"},
    CommandInfo{CommandId::FullScreen, "&Plein écran\t<Espace>",
                "Afficher le cadre de recadrage en plein ecran",
                "Afficher le cadre de recadrage en plein ecran"},
    CommandInfo{CommandId::Thirds, "&Régle des tiers\t</>",
                "Afficher les repères de contrôle de la régle des tiers",
                "Afficher les repères de contrôle de la régle des tiers", true},
    CommandInfo{CommandId::WhiteBorder, "Bord blanc\t<B>", "Ajoute un bord blanc à la photo",
                "Ajoute un bord blanc à la photo", true},
    CommandInfo{CommandId::RotateLeft, "Rotation 90° Gauche\t<shift>+<gauche>",
                "Rotation de la photo sur la gauche", "Rotation de la photo sur la gauche"},
    CommandInfo{CommandId::RotateRight, "Rotation 90° Droite\t<shift>+<droite>",
                "Rotation de la photo sur la droite", "Rotation de la photo sur la droite"},
    CommandInfo{CommandId::FlipVertical, "Flip vertical\t<shift>+<haut>", "Flip vertical",
                "Flip vertical"},
    CommandInfo{CommandId::FlipHorizontal, "Flip horizontal\t<shift>+<bas>", "Flip horizontal",
                "Flip horizontal"},
    CommandInfo{CommandId::DeleteResult, "Supprimer l'image\t<Suppr>",
                "Suppression de la photo résultat (si elle existe)",
                "Suppression de la photo résultat (si elle existe)"},
    CommandInfo{CommandId::DeletePreviousResult, "Supprimer l'image précédente\t<Backspace>",
                nullptr, nullptr},
    CommandInfo{CommandId::NextPicture, "Image suivante\t<ESC>", "Photo suivante",
                "Photo suivante"},
    CommandInfo{CommandId::PreviousPicture, "Image précédente\t<0>", "Photo précédente",
                "Photo précédente"},
    CommandInfo{CommandId::Grayscale, "Niveau de gris\t<1>", "Transforme la photo en noir et blanc",
                "Transforme la photo en noir et blanc"},
    CommandInfo{CommandId::Sepia, "Sépia\t<2>", "Transforme la photo en ton sépia",
                "Transforme la photo en ton sépia"},
    CommandInfo{CommandId::RenamePhotos, "&Renommer des photos ...",
                "Permet de renommer des images en utilisant les tags Lumicut",
                "Permet de renommer des images en utilisant les tags Lumicut"},
    CommandInfo{CommandId::IdSheet, "&Créer une planche de photos d'identité\t<I>",
                "Générer une planche de photos d'identité",
                "Générer une planche de photos d'identité", true},
    CommandInfo{CommandId::OnlineHelp, "Aide en &ligne...\t<F1>",
                "Accédez directement à l'aide de Lumicut en ligne",
                "Accédez directement à l'aide de Lumicut en ligne"},
    CommandInfo{CommandId::CheckUpdates, "Rechercher des mises à &jour...",
                "Rechercher s'il existe une nouvelle version de Lumicut",
                "Rechercher s'il existe une nouvelle version de Lumicut"},
    CommandInfo{CommandId::Forum, "&Forum utilisateurs...",
                "Accéder au forum (suggestions, bugs...)",
                "Accéder au forum (suggestions, bugs...)"},
    CommandInfo{CommandId::About, "&A propos de Lumicut...",
                "Affiche des informations sur le programme, le numéro de version et le copyright",
                "A propos de"},
    CommandInfo{CommandId::ZoomIn, nullptr, "Zoom (+) sur la zone de recadrage",
                "Zoom (+) sur la zone de recadrage"},
    CommandInfo{CommandId::ZoomOut, nullptr, "Zoom (-) sur la zone de recadrage",
                "Zoom (-) sur la zone de recadrage"},
    CommandInfo{CommandId::TurnFrame, nullptr, "Rotation du module de recadrage",
                "Rotation du module de recadrage"},
};

constexpr int Id(CommandId id) {
    return static_cast<int>(id);
}
constexpr int Sep = LayoutSeparator;

constexpr std::array kFileMenu{Id(CommandId::WorkingFolder),
                               Id(CommandId::DestinationFolder),
                               Sep,
                               Id(CommandId::Preferences),
                               Sep,
                               Id(CommandId::Quit)};
constexpr std::array kViewMenu{Id(CommandId::FullScreen), Id(CommandId::Thirds),
                               Id(CommandId::WhiteBorder)};
constexpr std::array kImageMenu{
    Id(CommandId::RotateLeft),   Id(CommandId::RotateRight),          Sep,
    Id(CommandId::FlipVertical), Id(CommandId::FlipHorizontal),       Sep,
    Id(CommandId::DeleteResult), Id(CommandId::DeletePreviousResult), Sep,
    Id(CommandId::NextPicture),  Id(CommandId::PreviousPicture)};
constexpr std::array kFilterMenu{Id(CommandId::Grayscale), Id(CommandId::Sepia)};
constexpr std::array kToolsMenu{Id(CommandId::RenamePhotos), Id(CommandId::IdSheet)};
constexpr std::array kHelpMenu{
    Id(CommandId::OnlineHelp), Id(CommandId::CheckUpdates), Sep, Id(CommandId::Forum), Sep,
    Id(CommandId::About)};

constexpr std::array kMenus{
    MenuInfo{"&Fichier", kFileMenu}, MenuInfo{"&Affichage", kViewMenu},
    MenuInfo{"&Image", kImageMenu},  MenuInfo{"Fil&tres", kFilterMenu},
    MenuInfo{"&Outils", kToolsMenu}, MenuInfo{"&?", kHelpMenu},
};

constexpr std::array kToolbar{Id(CommandId::WorkingFolder),
                              Id(CommandId::DestinationFolder),
                              Sep,
                              Id(CommandId::Preferences),
                              Sep,
                              Id(CommandId::PreviousPicture),
                              Id(CommandId::NextPicture),
                              Sep,
                              Id(CommandId::DeleteResult),
                              Sep,
                              Id(CommandId::ZoomIn),
                              Id(CommandId::ZoomOut),
                              Sep,
                              Id(CommandId::RotateRight),
                              Id(CommandId::RotateLeft),
                              Id(CommandId::FlipHorizontal),
                              Id(CommandId::FlipVertical),
                              Sep,
                              Id(CommandId::TurnFrame),
                              Sep,
                              Id(CommandId::Grayscale),
                              Id(CommandId::Sepia),
                              Id(CommandId::WhiteBorder),
                              Id(CommandId::Thirds),
                              Sep,
                              Id(CommandId::FullScreen),
                              Sep,
                              Id(CommandId::IdSheet),
                              Sep,
                              Id(CommandId::About)};

} // namespace

std::span<const CommandInfo> CommandTable() {
    return kCommands;
}

const CommandInfo* FindCommand(CommandId id) {
    const auto found = std::find_if(kCommands.begin(), kCommands.end(),
                                    [id](const CommandInfo& info) { return info.id == id; });
    return found == kCommands.end() ? nullptr : &*found;
}

std::span<const MenuInfo> MenuStructure() {
    return kMenus;
}

std::span<const int> ToolbarLayout() {
    return kToolbar;
}
