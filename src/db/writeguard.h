#pragma once

namespace mizro::db {

class Database;

/// Makes one command that writes all or nothing, and durable when it ends.
///
/// The outermost guard starts the command's own transaction, commits it in
/// full in commit() and rolls it back in its destructor when commit() was not
/// reached. A guard inside another one works on a savepoint, so the inner
/// command can fail alone and the outer one decides about the whole.
class WriteGuard {
public:
    explicit WriteGuard(Database &db);
    ~WriteGuard();
    WriteGuard(const WriteGuard &) = delete;
    WriteGuard &operator=(const WriteGuard &) = delete;

    /// Throws DbError; after a failure the destructor rolls back.
    void commit();

private:
    Database &m_db;
    int m_level;
    bool m_done = false;
};

} // namespace mizro::db
