#pragma once

#include <QString>

namespace mizro::db {
class Database;
}

namespace mizro::reg {

/// Inside a command that writes a numbered row (a meeting, a decision):
/// waits until no other clerk's such command is open, and keeps the others
/// waiting until this one ends, so that a number found free is still free
/// when the row is written. Throws DbError (a lock wait that ran out).
void lockNumbering(db::Database &db);

/// The text that tells the clerk a number was taken meanwhile and the row
/// was given the next free one.
QString renumberedText(const QString &what, int taken, int given);

} // namespace mizro::reg
