#include "attendancerules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "ui/body.h"
#include "ui/messages.h"
#include "ui/session.h"

namespace mizro::reg {

AttendanceRules::AttendanceRules(ui::Session &session, const ui::Body &body, QObject *parent)
    : QObject(parent), m_session(session), m_body(body),
      m_attendance(std::make_unique<db::DataSet>(session.database())),
      m_candidates(std::make_unique<db::DataSet>(session.database()))
{
    m_attendance->setSelectSql(QStringLiteral("SELECT E.UKOD,ADSOY,UNVANI FROM %1 E\n"
                                              "LEFT JOIN %2 U ON(U.UKOD=E.UKOD)\n"
                                              "WHERE KAYNO=:KN AND U.YIL=:YL")
                                   .arg(body.attendanceTable, body.memberTable));
    m_attendance->setDisplayColumns({{QStringLiteral("ADSOY"), QStringLiteral("Adı Soyadı")},
                                     {QStringLiteral("UNVANI"), QStringLiteral("Ünvanı")}});
    m_candidates->setSelectSql(QStringLiteral("SELECT UKOD,ADSOY,UNVANI FROM %1\n"
                                              "WHERE DUR='A' AND YIL=:YL AND UKOD NOT IN(SELECT "
                                              "UKOD FROM %2 WHERE KAYNO=:KN)")
                                   .arg(body.memberTable, body.attendanceTable));
    m_candidates->setDisplayColumns({{QStringLiteral("ADSOY"), QStringLiteral("Adı Soyadı")}});
}

AttendanceRules::~AttendanceRules() = default;

void AttendanceRules::list(int recordNumber, int year)
{
    m_attendance->setParam(QStringLiteral("KN"), recordNumber);
    m_attendance->setParam(QStringLiteral("YL"), year);
    m_attendance->open();
}

void AttendanceRules::listCandidates(int recordNumber, int year)
{
    m_candidates->setParam(QStringLiteral("KN"), recordNumber);
    m_candidates->setParam(QStringLiteral("YL"), year);
    m_candidates->open();
}

bool AttendanceRules::write(const QString &sql, const QVariantMap &params)
{
    m_error.clear();
    try {
        db::WriteGuard guard(m_session.database());
        db::Query q(m_session.database(), sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            q.bind(it.key(), it.value());
        q.exec();
        guard.commit();
    } catch (const db::DbError &e) {
        m_error.set(e);
        return false;
    }
    return true;
}

bool AttendanceRules::add(int recordNumber, int memberCode)
{
    return write(
        QStringLiteral("INSERT INTO %1(KAYNO,UKOD)\nVALUES(:X0,:X1)").arg(m_body.attendanceTable),
        {{QStringLiteral("X0"), recordNumber}, {QStringLiteral("X1"), memberCode}});
}

int AttendanceRules::addAllCandidates(int recordNumber)
{
    m_error.clear();
    int added = 0;
    try {
        db::WriteGuard guard(m_session.database());
        db::Query q(m_session.database(),
                    QStringLiteral("INSERT INTO %1(KAYNO,UKOD)\nVALUES(:X0,:X1)")
                        .arg(m_body.attendanceTable));
        for (int r = 0; r < m_candidates->count(); ++r) {
            q.bind(QStringLiteral("X0"), recordNumber);
            q.bind(QStringLiteral("X1"), m_candidates->rowValue(r, QStringLiteral("UKOD")));
            q.exec();
            ++added;
        }
        guard.commit();
    } catch (const db::DbError &e) {
        m_error.set(e);
        return -1;
    }
    return added;
}

bool AttendanceRules::remove(QWidget *parent, int recordNumber, int memberCode)
{
    m_error.clear();
    if (!m_session.messages().question(parent,
                                       QStringLiteral("BU KAYIT SİLİNECEKTİR ONAYLIYORMUSUNUZ")))
        return false;
    return write(
        QStringLiteral("DELETE FROM %1\nWHERE KAYNO=:KN AND UKOD=:UK").arg(m_body.attendanceTable),
        {{QStringLiteral("KN"), recordNumber}, {QStringLiteral("UK"), memberCode}});
}

} // namespace mizro::reg
