#pragma once

#include <QString>
#include <QStringList>

namespace history {

// A history entry is one line of text: number|company|remark, with no escaping. The
// company is the courier's display name (one of them holds a "|" itself) and the remark
// may hold "|" too; a reader takes the pieces as they fall.
QString makeEntry(const QString& number, const QString& company, const QString& remark);

// The index-th (0-based) "|"-separated piece of the entry; empty when there is none.
QString entryPiece(const QString& entry, int index);

// The number a pick of the entry gives: the text before the first "|", and the empty
// string when the entry holds no "|".
QString pickNumber(const QString& entry);

// The stored number of an entry, as saving and deleting recognise it: the text before the
// first "|", or the whole entry when it has none.
QString numberField(const QString& entry);

// True when an entry's number field equals `number` exactly (case-sensitive). A number
// that only occurs inside another number, a company or a remark is not stored.
bool holdsNumber(const QStringList& entries, const QString& number);

}  // namespace history
