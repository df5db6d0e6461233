#include "ledgerrules.h"

#include "ledgerlayout.h"
#include "reportsource.h"

#include "db/dataset.h"
#include "db/query.h"
#include "db/readsnapshot.h"
#include "ui/body.h"

#include <QDate>
#include <QHash>

namespace mizro::reports {

namespace {

/// Rows read whole, with their fields by name.
struct Rows {
    QHash<QString, int> fields;
    QVector<QVector<QVariant>> rows;

    void read(db::Query &q)
    {
        rows.clear();
        q.exec();
        if (fields.isEmpty()) {
            for (int i = 0; i < q.fieldCount(); ++i)
                fields.insert(q.fieldNames().at(i), i);
        }
        while (q.next())
            rows.append(q.row());
    }
    QVariant value(int row, const QString &field) const
    {
        const int i = fields.value(field, -1);
        return i < 0 ? QVariant() : rows.at(row).value(i);
    }
    QString text(int row, const QString &field) const
    {
        return db::DataSet::defaultText(value(row, field));
    }
};

class LedgerSource : public ReportSource {
public:
    LedgerSource(const LedgerRules &rules, db::Database &db, const db::ReadSnapshot &snapshot)
        : m_attendance(db, rules.attendanceSql()), m_decisions(db, rules.decisionsSql())
    {
        m_attendance.setSnapshot(&snapshot);
        m_decisions.setSnapshot(&snapshot);
    }

    void readMeetings(db::Query &q) { m_meetings.read(q); }

    int masterCount() const override { return int(m_meetings.rows.size()); }
    void masterMoved(int row) override
    {
        m_current = row;
        const QVariant kayno = m_meetings.value(row, QStringLiteral("KAYNO"));
        m_attendance.bind(QStringLiteral("OTN"), kayno);
        m_attendance.bind(QStringLiteral("YIL"),
                          m_meetings.value(row, QStringLiteral("TARIH")).toDate().year());
        m_attendance.exec();
        QVector<QPair<QString, QString>> members;
        while (m_attendance.next())
            members.append({m_attendance.value(2).toString(), m_attendance.value(3).toString()});
        m_memberText = LedgerRules::memberText(members);
        m_decisions.bind(QStringLiteral("OTN"), kayno);
        m_decisionRows.read(m_decisions);
    }
    QString masterText(const QString &field) const override
    {
        return m_meetings.text(m_current, field);
    }
    int subDetailCount() const override { return int(m_decisionRows.rows.size()); }
    QString subDetailText(int row, const QString &field) const override
    {
        return m_decisionRows.text(row, field);
    }
    QString memo(const QString &name) const override
    {
        return name == LedgerLayout::MemberMemo ? m_memberText : QString();
    }

private:
    db::Query m_attendance;
    db::Query m_decisions;
    Rows m_meetings;
    Rows m_decisionRows;
    int m_current = -1;
    QString m_memberText;
};

} // namespace

LedgerRules::LedgerRules(db::Database &db, const ui::Body &body) : m_db(db), m_body(body) {}

QString LedgerRules::openingSql() const
{
    // TARIH is in both tables; the meeting's is meant.
    return QStringLiteral("SELECT E.TARIH,K.KARNO,OZET,OTRNO FROM %1 K\n"
                          "LEFT JOIN  %2 E ON(E.KAYNO=K.KAYNO)\n"
                          "WHERE EXTRACT (YEAR FROM E.TARIH)=:TT")
        .arg(m_body.decisionTable, m_body.meetingTable);
}

QString LedgerRules::gridSql(bool month) const
{
    QString sql = QStringLiteral("SELECT E.TARIH,K.KARNO,OZET,OTRNO FROM %1 K\n"
                                 "LEFT JOIN %2 E ON(E.KAYNO=K.KAYNO)\n"
                                 "WHERE EXTRACT(YEAR FROM E.TARIH)=:YY")
                      .arg(m_body.decisionTable, m_body.meetingTable);
    if (month)
        sql += m_body.isCommittee() ? QStringLiteral("\n AND EXTRACT(MONTH FROM E.TARIH)=:AA ")
                                    : QStringLiteral("\n AND EXTRACT(MONTH FROM E.TARIH)=:AA");
    return sql;
}

QString LedgerRules::meetingsSql(bool month) const
{
    QString sql = QStringLiteral("SELECT * FROM %1\nWHERE EXTRACT(YEAR FROM TARIH)=:YY")
                      .arg(m_body.meetingTable);
    if (month)
        sql += QStringLiteral("\n AND EXTRACT(MONTH FROM TARIH)=:AA");
    return sql;
}

QString LedgerRules::attendanceSql() const
{
    // A member number is unique only within a year: the member of the
    // meeting's year, not every year's holder of the number.
    return QStringLiteral("SELECT K.KAYNO,K.UKOD,U.ADSOY,U.UNVANI FROM %1 K\n"
                          "LEFT JOIN %2  U ON(U.UKOD=K.UKOD AND U.YIL=:YIL)\n"
                          "WHERE K.KAYNO=:OTN")
        .arg(m_body.attendanceTable, m_body.memberTable);
}

QString LedgerRules::decisionsSql() const
{
    return QStringLiteral("SELECT %1 FROM %2\nWHERE  KAYNO=:OTN")
        .arg(m_body.decisionColumns().join(QLatin1Char(',')), m_body.decisionTable);
}

QString LedgerRules::memberText(const QVector<QPair<QString, QString>> &rows)
{
    QString text;
    for (const auto &[name, title] : rows)
        text = name + QLatin1Char(' ') + title + QStringLiteral(", ") + text;
    return text;
}

ReportDocument LedgerRules::build(const QString &year, int month,
                                  const ReportProgressHook &progress) const
{
    const db::ReadSnapshot snapshot(m_db);
    LedgerSource source(*this, m_db, snapshot);
    db::Query meetings(m_db, meetingsSql(month != 0));
    meetings.setSnapshot(&snapshot);
    meetings.bind(QStringLiteral("YY"), year);
    if (month != 0)
        meetings.bind(QStringLiteral("AA"), month);
    source.readMeetings(meetings);
    return buildReport(LedgerLayout::make(m_body), source, progress);
}

} // namespace mizro::reports
