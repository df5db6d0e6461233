#include "memberrules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "ui/body.h"
#include "ui/session.h"

namespace mizro::lists {

MemberRules::MemberRules(ui::Session &session, const ui::Body &body, QObject *parent)
    : QObject(parent), m_session(session), m_body(body),
      m_members(std::make_unique<db::DataSet>(session.database()))
{
    const QString &t = body.memberTable;
    m_members->setSelectSql(QStringLiteral("SELECT * FROM %1\nORDER BY YIL, UKOD").arg(t));
    m_members->setInsertSql(
        QStringLiteral("insert into %1\n  (YIL, UKOD, ADSOY, UNVANI, ISTEL, EVTEL, DUR)\nvalues\n"
                       "  (:YIL, :UKOD, :ADSOY, :UNVANI, :ISTEL, :EVTEL, :DUR)")
            .arg(t));
    m_members->setUpdateSql(
        QStringLiteral("update %1\nset\n  ADSOY = :ADSOY,\n  UNVANI = :UNVANI,\n"
                       "  ISTEL = :ISTEL,\n  EVTEL = :EVTEL,\n  DUR = :DUR\n"
                       "where\n  YIL = :OLD_YIL and\n  UKOD = :OLD_UKOD")
            .arg(t));
    m_members->setDeleteSql(
        QStringLiteral("delete from %1\nwhere\n  YIL = :OLD_YIL and\n  UKOD = :OLD_UKOD").arg(t));
    m_members->setTable(t, {QStringLiteral("YIL"), QStringLiteral("UKOD")});
    m_members->setRefreshSql(
        QStringLiteral("Select * from %1\nwhere\n  YIL = :YIL and\n  UKOD = :UKOD").arg(t));
    m_members->setFilter([this](const db::DataSet &ds, const db::DataSet::Row &row) {
        const QVariant y = row[ds.fieldIndex(QStringLiteral("YIL"))];
        return y.toString() == m_year;
    });
    m_members->setDisplayColumns(
        {{QStringLiteral("ADSOY"), QStringLiteral("Adı ve Soyadı")},
         {QStringLiteral("UNVANI"), QStringLiteral("Ünvanı")},
         {QStringLiteral("EVTEL"), QStringLiteral("Ev Telefonu")},
         {QStringLiteral("ISTEL"), QStringLiteral("İş Telefonu")},
         // The state is chosen from the column's popup, never typed.
         {QStringLiteral("DUR"), QStringLiteral("Durumu"), &MemberRules::stateText, true}});
    m_members->setBeforePost([this](db::DataSet &ds) { return numberNewMember(ds); });
}

MemberRules::~MemberRules() = default;

QString MemberRules::stateText(const QVariant &dur)
{
    const QString s = dur.toString();
    if (s == QStringLiteral("A"))
        return QStringLiteral("Aktif");
    if (s == QStringLiteral("P"))
        return QStringLiteral("Pasif");
    return QString();
}

void MemberRules::list(const QString &yearText)
{
    if (m_members->isEditing())
        m_members->cancel();
    m_year = yearText;
    m_members->open();
}

int MemberRules::highestNumberOfDefinitionsYear() const
{
    db::Query q(m_session.database(), m_body.memberNumberingSql);
    q.bind(QStringLiteral("YL"), m_session.definitionsYear());
    q.exec();
    int last = 0;
    while (q.next())
        last = q.value(QStringLiteral("UKOD")).toInt();
    return last;
}

QString MemberRules::numberNewMember(db::DataSet &ds)
{
    if (ds.state() != db::DataSet::State::Insert)
        return QString();
    try {
        // The year is sent as typed: the database refuses one that is not a number.
        ds.setValue(QStringLiteral("YIL"), m_year);
        ds.setValue(QStringLiteral("UKOD"), highestNumberOfDefinitionsYear() + 1);
    } catch (const db::DbError &e) {
        return e.message();
    }
    return QString();
}

bool MemberRules::setState(const QString &state)
{
    return m_members->setValue(QStringLiteral("DUR"), state);
}

} // namespace mizro::lists
