#pragma once

namespace Firebird {
class ITransaction;
}

namespace mizro::db {

class Database;

/// A read-only snapshot transaction of its own: the queries a report reads
/// through it (Query::setSnapshot) see the database as it was when it began,
/// so a ledger printed while other clerks write shows one moment. Every
/// other read of the connection goes on seeing the latest data.
class ReadSnapshot {
public:
    /// Throws DbError.
    explicit ReadSnapshot(Database &db);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot &) = delete;
    ReadSnapshot &operator=(const ReadSnapshot &) = delete;

    Database &database() const { return m_db; }
    // For db/ only: null once the connection it began on has gone.
    Firebird::ITransaction *transaction() const;

private:
    Database &m_db;
    Firebird::ITransaction *m_transaction;
    unsigned long long m_generation;
};

} // namespace mizro::db
