#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>

// True when the label carries "&" + typed (compared upper-cased) anywhere; an "&" that follows
// another "&" is a literal ampersand, not a mnemonic marker.
[[nodiscard]] bool labelHasMnemonic(const QString& label, QChar typed);

// Row of the first label (from the top) whose mnemonic is the typed character.
[[nodiscard]] std::optional<int> findMnemonicItem(const QStringList& labels, QChar typed);
