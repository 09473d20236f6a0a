#include "tools/UserMessage.h"

QString appTitle() {
    return QStringLiteral("Lumicut");
}
