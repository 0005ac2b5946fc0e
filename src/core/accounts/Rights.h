#pragma once

#include <QString>
#include <QStringList>

namespace tl {

// The rights vocabulary and the rights string: granted names joined by "‖"
// in vocabulary order. Item names carry a leading "→" in the vocabulary list;
// the arrow is never stored and never matters to the test.
class Rights {
public:
    static const QChar separator; // U+2016
    static const QChar itemMark;  // U+2192

    // The 97 names in order: 13 group names, each followed by its items ("→"
    // prefixed). Names are only ever added at the end, so every stored
    // rights string keeps its meaning.
    static const QStringList& vocabulary();
    static bool isItem(const QString& entry) { return entry.startsWith(itemMark); }
    static QString bare(QString name) { return name.remove(itemMark); }

    // True when the whole name (not a part of a longer one) is in the string.
    static bool test(const QString& rights, const QString& name);
    // Joins granted names in vocabulary order; names outside the vocabulary are dropped.
    static QString join(const QStringList& granted);
    // Every right of the vocabulary, as given to the preset operator.
    static QString all();
    // Writing a backup, a full copy of the books with the operators' password
    // hashes: "备份套帐", the last name of the vocabulary.
    static QString backupRight();
};

} // namespace tl
