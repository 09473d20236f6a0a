#include "tools/UserMessage.h"

QString AppTitle() {
    return QStringLiteral("Lumicut");
}
