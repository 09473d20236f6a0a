#include "skin/MenuMnemonic.h"

bool labelHasMnemonic(const QString& label, QChar typed) {
    const QString text = label.toUpper();
    const QChar wanted = typed.toUpper();
    if (wanted == u'&')
        return false; // "&&" shows one ampersand and is never a mnemonic
    // From the end towards the start, so that "&&" pairs are recognised from their second "&".
    for (qsizetype i = text.size() - 2; i >= 0; --i) {
        if (text[i] != u'&' || text[i + 1] != wanted)
            continue;
        if (i > 0 && text[i - 1] == u'&')
            continue;
        return true;
    }
    return false;
}

std::optional<int> findMnemonicItem(const QStringList& labels, QChar typed) {
    for (int row = 0; row < labels.size(); ++row) {
        if (labelHasMnemonic(labels[row], typed))
            return row;
    }
    return std::nullopt;
}
