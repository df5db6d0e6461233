#pragma once

namespace mizro::db {
class Database;
}

namespace mizro::admin {

/// Two templates per body that use every placeholder, and for most
/// decisions a document merged from one of them, as a clerk would have made
/// it. Needs a GUI application (documents lay out text). Returns the number
/// of documents written. Throws DbError.
int fillDemoDocuments(db::Database &db);

} // namespace mizro::admin
