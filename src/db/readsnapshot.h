#pragma once

namespace mizro::db {

class Database;

/// While it lives, the reads of the connection see the database as it was
/// when it began, so a report printed while other clerks write shows one
/// moment. Snapshots nest; the outermost one ends the transaction.
class ReadSnapshot {
public:
    /// Throws DbError.
    explicit ReadSnapshot(Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

private:
    Database &m_db;
};

} // namespace mizro::db
