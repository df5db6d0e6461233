#include "readsnapshot.h"

#include "database.h"

#include <firebird/Interface.h>

namespace mizro::db {

ReadSnapshot::ReadSnapshot(Database &db)
    : m_db(db), m_transaction(db.startSnapshot()), m_generation(db.generation())
{
}

ReadSnapshot::~ReadSnapshot()
{
    if (transaction())
        Database::endTransaction(m_transaction, true);
    else if (m_transaction)
        m_transaction->release(); // its attachment is gone
}

Firebird::ITransaction *ReadSnapshot::transaction() const
{
    return m_db.isConnected() && m_db.generation() == m_generation ? m_transaction : nullptr;
}

} // namespace mizro::db
