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

WriteGuard::WriteGuard(Database &db) : m_db(db), m_level(db.commandDepth())
{
    if (m_level == 0)
        db.beginCommand(); // throws when not connected, before the depth changes
    else
        run(db, QStringLiteral("SAVEPOINT ") + savepointName(m_level));
    ++db.commandDepth();
}

WriteGuard::~WriteGuard()
{
    if (!m_done) {
        try {
            if (m_level > 0)
                run(m_db, QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepointName(m_level));
            else
                m_db.rollbackCommand();
        } catch (...) {
            // Nothing more can be done here; the connection reports it next time.
        }
    }
    if (m_db.commandDepth() > m_level)
        m_db.commandDepth() = m_level;
    if (!m_done)
        m_db.rolledBack(m_level);
}

void WriteGuard::commit()
{
    if (m_level > 0) {
        run(m_db, QStringLiteral("RELEASE SAVEPOINT ") + savepointName(m_level) +
                      QStringLiteral(" ONLY"));
    } else {
        m_db.commitCommand();
        m_db.committed();
    }
    m_done = true;
    // The command is over: a write from now on is a command of its own.
    m_db.commandDepth() = m_level;
}

} // namespace mizro::db
