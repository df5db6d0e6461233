#include "writeguard.h"

#include "database.h"
#include "query.h"

namespace mizro::db {

namespace {

QString savepointName(int level)
{
    return QStringLiteral("MIZRO_SP%1").arg(level);
}

void run(Database &db, const QString &sql)
{
    Query q(db, sql);
    q.exec();
}

} // namespace

WriteGuard::WriteGuard(Database &db) : m_db(db), m_level(db.guardDepth())
{
    db.transaction(); // throws when not connected, before the depth changes
    if (m_level > 0)
        run(db, QStringLiteral("SAVEPOINT ") + savepointName(m_level));
    ++db.guardDepth();
}

WriteGuard::~WriteGuard()
{
    if (!m_done) {
        try {
            if (m_level > 0)
                run(m_db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepointName(m_level));
            else
                m_db.rollbackRetaining();
        } catch (...) {
            // Nothing more can be done here; the connection reports it next time.
        }
    }
    if (m_db.guardDepth() > m_level)
        m_db.guardDepth() = m_level;
}

void WriteGuard::commit()
{
    if (m_level > 0)
        run(m_db, QStringLiteral("RELEASE SAVEPOINT ") + savepointName(m_level) +
                      QStringLiteral(" ONLY"));
    else
        m_db.commitRetaining();
    m_done = true;
}

} // namespace mizro::db
