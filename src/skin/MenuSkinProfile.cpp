#include "skin/MenuSkinProfile.h"

#include <QSettings>
#include <QVariant>

namespace {

// Accepts decimal and 0x-prefixed hexadecimal integers, as people write colours both ways.
int readInt(const QSettings& store, const QString& key, int fallback) {
    const QVariant value = store.value(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int parsed = value.toString().trimmed().toInt(&ok, 0);
    return ok ? parsed : fallback;
}

} // namespace

MenuSkinProfile readMenuSkinProfile(const QSettings& store) {
    MenuSkinProfile profile;
    profile.showGradient = readInt(store, "MenuXP/ShowGradient", 1) != 0;
    profile.showGradientSel = readInt(store, "MenuEx/ShowGradientSel", 1) != 0;
    profile.gradientStart = readInt(store, "MenuXP/GradientStart", profile.gradientStart);
    profile.gradientEnd = readInt(store, "MenuXP/GradientEnd", profile.gradientEnd);
    const int width = readInt(store, "MenuXP/GradientWidth", profile.gradientWidth);
    if (width >= 0)
        profile.gradientWidth = width;
    return profile;
}

MenuSkinProfile loadMenuSkinProfile() {
    const QSettings store(QSettings::IniFormat, QSettings::UserScope, "lumicut", "Lumicut");
    return readMenuSkinProfile(store);
}

QColor profileColour(int bgr, const QColor& derived) {
    if (bgr == MenuSkinProfile::kDerivedColour)
        return derived;
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
