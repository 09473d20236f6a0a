#include "batch/BatchTexts.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct TextPair {
    BatchText id;
    const char* english;
    const char* french;
};

constexpr char kHelpEnglish[] =
    "Usage: lumicut-batch --format FORMAT [OPTIONS] SOURCE DESTINATION\n"
    "       lumicut-batch --format FORMAT [OPTIONS] --files-from FILE DESTINATION\n"
    "Crops every photo of SOURCE (its .jpg files, and those of its subfolders when the\n"
    "program lists them) to the largest centred frame of FORMAT, turned to the photo's\n"
    "orientation, and writes the results into DESTINATION, which is created if missing.\n"
    "An existing file is never replaced.\n"
    "\n"
    "  --format FORMAT    print size HxW in cm (15x10, 10,5x14.8) or the name of a\n"
    "                     format of the preferences (\"Défaut 10x15\")\n"
    "  --border MM        paint a white border MM millimetres wide on the print\n"
    "  --mask MASK        name mask of the results (tags %i %f %dc %dj %sr %r %t);\n"
    "                     default: the program's\n"
    "  --quality Q        JPEG quality 0 to 100; default: the program's\n"
    "  --jobs N           photos worked on at once; default: one per processor\n"
    "  --dry-run          print \"source -> result\" for each photo and write nothing\n"
    "  --lossless         cut the frame from the JPEG's coded blocks without decoding\n"
    "                     when no border is asked; other photos are decoded as usual\n"
    "  --files-from FILE  take the photos listed in FILE, one path a line (- for the\n"
    "                     standard input), instead of a SOURCE folder\n"
    "  --help             show this help\n"
    "  --version          show the version\n"
    "\n"
    "Exit status: 0 every photo written, 1 some photo not written, 2 bad command line,\n"
    "130 stopped by Ctrl+C.\n";

constexpr char kHelpFrench[] =
    "Utilisation : lumicut-batch --format FORMAT [OPTIONS] SOURCE DESTINATION\n"
    "              lumicut-batch --format FORMAT [OPTIONS] --files-from FICHIER DESTINATION\n"
    "Recadre chaque photo de SOURCE (ses fichiers .jpg, et ceux de ses sous-dossiers quand\n"
    "le programme les liste) au plus grand cadre centré du FORMAT, tourné selon la photo,\n"
    "et écrit les résultats dans DESTINATION, créé au besoin. Un fichier existant n'est\n"
    "jamais remplacé.\n"
    "\n"
    "  --format FORMAT       taille HxL en cm (15x10, 10,5x14.8) ou nom d'un format des\n"
    "                        préférences (\"Défaut 10x15\")\n"
    "  --border MM           peindre une bordure blanche de MM millimètres sur le tirage\n"
    "  --mask MASQUE         masque de nom des résultats (balises %i %f %dc %dj %sr %r %t) ;\n"
    "                        par défaut : celui du programme\n"
    "  --quality Q           qualité JPEG de 0 à 100 ; par défaut : celle du programme\n"
    "  --jobs N              photos traitées à la fois ; par défaut : une par processeur\n"
    "  --dry-run             afficher \"source -> résultat\" pour chaque photo sans rien écrire\n"
    "  --lossless            découper le cadre dans les blocs codés du JPEG sans le décoder\n"
    "                        quand aucune bordure n'est demandée ; les autres photos sont\n"
    "                        décodées comme d'habitude\n"
    "  --files-from FICHIER  prendre les photos listées dans FICHIER, un chemin par ligne\n"
    "                        (- pour l'entrée standard), au lieu d'un dossier SOURCE\n"
    "  --help                afficher cette aide\n"
    "  --version             afficher la version\n"
    "\n"
    "Code de sortie : 0 toutes les photos écrites, 1 une photo au moins non écrite,\n"
    "2 ligne de commande invalide, 130 arrêt par Ctrl+C.\n";

constexpr TextPair kTexts[] = {
    {BatchText::Help, kHelpEnglish, kHelpFrench},
    {BatchText::UsageHint, "Try 'lumicut-batch --help'.", "Voir 'lumicut-batch --help'."},
    {BatchText::UnknownOption, "unknown option: %s", "option inconnue : %s"},
    {BatchText::MissingValue, "option %s needs a value", "l'option %s attend une valeur"},
    {BatchText::MissingFormat, "no print format given (--format)",
     "aucun format d'impression donné (--format)"},
    {BatchText::UnknownFormat, "unknown print format: %s", "format d'impression inconnu : %s"},
    {BatchText::BadBorder, "bad border width in millimetres: %s",
     "largeur de bordure invalide en millimètres : %s"},
    {BatchText::BadQuality, "JPEG quality must be a whole number from 0 to 100: %s",
     "la qualité JPEG doit être un nombre entier de 0 à 100 : %s"},
    {BatchText::BadJobs, "the number of jobs must be a whole number from 1 up: %s",
     "le nombre de tâches doit être un nombre entier à partir de 1 : %s"},
    {BatchText::EmptyMask, "the name mask is empty", "le masque de nom est vide"},
    {BatchText::FoldersExpected, "expected a SOURCE and a DESTINATION folder",
     "un dossier SOURCE et un dossier DESTINATION sont attendus"},
    {BatchText::DestinationExpected, "with --files-from, expected only a DESTINATION folder",
     "avec --files-from, seul un dossier DESTINATION est attendu"},
    {BatchText::NoSourceFolder, "source folder not found: %s", "dossier source introuvable : %s"},
    {BatchText::ListUnreadable, "cannot read the list of photos: %s",
     "impossible de lire la liste des photos : %s"},
    {BatchText::DestinationFailed, "cannot create the destination folder: %s",
     "impossible de créer le dossier de destination : %s"},
    {BatchText::NoPhotos, "no photos to crop", "aucune photo à recadrer"},
    {BatchText::Unreadable, "cannot be read", "illisible"},
    {BatchText::NotJpeg, "not a JPEG photo", "pas une photo JPEG"},
    {BatchText::TooLarge, "too large to decode", "trop grande pour être décodée"},
    {BatchText::Corrupt, "damaged JPEG data", "données JPEG endommagées"},
    {BatchText::NoFrame, "no frame of the format fits the photo",
     "aucun cadre du format ne tient dans la photo"},
    {BatchText::TargetExists, "the result already exists: %s", "le résultat existe déjà : %s"},
    {BatchText::SameName, "same result name as an earlier photo: %s",
     "même nom de résultat qu'une photo précédente : %s"},
    {BatchText::WriteFailed, "the result could not be written: %s",
     "le résultat n'a pas pu être écrit : %s"},
    {BatchText::LosslessFailed, "the lossless cut failed (%s)",
     "la découpe sans perte a échoué (%s)"},
    {BatchText::BorderDecoded, "a white border is painted", "une bordure blanche est peinte"},
    {BatchText::Progress, "%d/%d  %.1f photos/s  %s left", "%d/%d  %.1f photos/s  reste %s"},
    {BatchText::Stopping, "Stopping once the photos under way are written...",
     "Arrêt après l'écriture des photos en cours..."},
    {BatchText::Written, "Written: %d of %d.", "Écrites : %d sur %d."},
    {BatchText::NotWritten, "Not written (%d):", "Non écrites (%d) :"},
    {BatchText::Decoded, "Decoded and encoded again instead of cut losslessly (%d):",
     "Décodées et encodées à nouveau au lieu d'être découpées sans perte (%d) :"},
    {BatchText::Turned, "Turned upright on their coded blocks: %d.",
     "Redressées sur leurs blocs codés : %d."},
    {BatchText::Interrupted, "Stopped; not started: %d.", "Arrêté ; non commencées : %d."},
};

} // namespace

Language languageFromLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value != nullptr && value[0] != '\0') {
            return std::strncmp(value, "fr", 2) == 0 ? Language::French : Language::English;
        }
    }
    return Language::English;
}

Language languageFromEnvironment() {
    return languageFromLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                              std::getenv("LANG"));
}

const char* batchText(Language language, BatchText text) {
    for (const TextPair& pair : kTexts) {
        if (pair.id == text) {
            return language == Language::French ? pair.french : pair.english;
        }
    }
    return "";
}

std::string batchFormat(Language language, BatchText text, ...) {
    const char* pattern = batchText(language, text);
    std::va_list args;
    va_start(args, text);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), pattern, again);
        out.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(again);
    return out;
}
