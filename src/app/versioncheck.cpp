#include "versioncheck.h"

#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "ui/messages.h"
#include "ui/session.h"

namespace mizro::app {

QStringList kodCoz(const QString &text)
{
    QStringList pieces;
    QString rest = text;
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = rest.indexOf(QLatin1Char('.'));
        if (dot < 0) {
            pieces << rest;
            break;
        }
        pieces << rest.left(dot);
        rest = rest.mid(dot + 1);
    }
    while (pieces.size() < 4)
        pieces << QString();
    return pieces;
}

VersionCheck::VersionCheck(ui::Session &session) : m_session(session) {}

int VersionCheck::versionNumber(const QString &ver)
{
    const QStringList p = kodCoz(ver);
    const QString digits = p[0] + p[1];
    bool ok = false;
    const int n = digits.toInt(&ok);
    if (!ok)
        throw db::DbError(db::DbError::Kind::Other,
                          QStringLiteral("'%1' geçerli bir tam sayı değil: veritabanının sürüm "
                                         "bilgisi (TANIM.VER = '%2') okunamadı.")
                              .arg(digits, ver));
    return n;
}

void VersionCheck::runStatement(const QString &sql, const QString &param, const QString &value)
{
    db::Query q(m_session.database(), sql);
    if (!param.isEmpty())
        q.bind(param, value);
    q.exec();
}

bool VersionCheck::hasColumn(const QString &table, const QString &column)
{
    db::Query q(m_session.database(),
                QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS\n"
                               "WHERE RDB$RELATION_NAME=:T AND RDB$FIELD_NAME=:C"));
    q.bind(QStringLiteral("T"), table);
    q.bind(QStringLiteral("C"), column);
    return q.scalar().toInt() > 0;
}

void VersionCheck::command(const std::function<void()> &statements)
{
    db::WriteGuard guard(m_session.database());
    statements();
    guard.commit();
}

bool VersionCheck::upgrade(const QString &version, const std::function<void()> &steps)
{
    try {
        steps();
    } catch (const db::DbError &) {
        m_session.messages().information(
            nullptr, version + QStringLiteral(" Güncellemesi Hata Oluştuğundan Yapılamadı."));
        return false;
    }
    m_session.messages().information(nullptr,
                                     version + QStringLiteral(" Güncellemesi Başarıyla Yapıldı."));
    return true;
}

bool VersionCheck::upgrade12002()
{
    return upgrade(QStringLiteral("12.002"), [this] {
        command([this] {
            runStatement(QStringLiteral("ALTER TABLE EKAR\nDROP OTRNO"));
            runStatement(QStringLiteral("ALTER TABLE MKAR\nDROP OTRNO"));
            runStatement(QStringLiteral("UPDATE TANIM SET VER=:V"), QStringLiteral("V"),
                         QStringLiteral("12.002"));
        });
    });
}

bool VersionCheck::upgrade14001()
{
    return upgrade(QStringLiteral("14.001"), [this] {
        // The new columns must be committed before the rows can be given a
        // state. An earlier start may have added them and then failed.
        command([this] {
            if (!hasColumn(QStringLiteral("EUYE"), QStringLiteral("DUR")))
                runStatement(QStringLiteral("ALTER TABLE EUYE\nADD DUR VARCHAR(1)"));
            if (!hasColumn(QStringLiteral("MUYE"), QStringLiteral("DUR")))
                runStatement(QStringLiteral("ALTER TABLE MUYE\nADD DUR VARCHAR(1)"));
        });
        // The version moves with the states: until both are in, the next
        // start tries again.
        command([this] {
            runStatement(QStringLiteral("UPDATE EUYE SET DUR=:A"), QStringLiteral("A"),
                         QStringLiteral("A"));
            runStatement(QStringLiteral("UPDATE MUYE SET DUR=:A "), QStringLiteral("A"),
                         QStringLiteral("A"));
            runStatement(QStringLiteral("UPDATE TANIM SET VER=:V"), QStringLiteral("V"),
                         QStringLiteral("14.001"));
        });
    });
}

VersionCheck::Outcome VersionCheck::run()
{
    db::Query q(m_session.database(), QStringLiteral("SELECT VER FROM TANIM"));
    q.exec();
    const QString ver = q.next() ? q.value(0).toString() : QString();
    q.close();
    const int n = versionNumber(ver);
    m_session.setVersionAccepted(true);
    if (n < FirstUpgrade) {
        upgrade12002();
        return Outcome::Upgraded;
    }
    if (n < Current) {
        upgrade14001();
        return Outcome::Upgraded;
    }
    if (n == Current)
        return Outcome::Accepted;
    m_session.messages().information(nullptr, refusalText());
    m_session.setStartupDone(QStringLiteral("1"));
    m_session.setVersionAccepted(false);
    return Outcome::Refused;
}

} // namespace mizro::app
