#include "readsnapshot.h"

#include "database.h"

namespace mizro::db {

ReadSnapshot::ReadSnapshot(Database &db) : m_db(db)
{
    db.beginSnapshot();
}

ReadSnapshot::~ReadSnapshot()
{
    m_db.endSnapshot();
}

} // namespace mizro::db
