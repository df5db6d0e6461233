#include "departmentrules.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "ui/session.h"

namespace mizro::lists {

DepartmentRules::DepartmentRules(ui::Session &session, QObject *parent)
    : QObject(parent), m_session(session),
      m_departments(std::make_unique<db::DataSet>(session.database()))
{
    db::DataSet &ds = *m_departments;
    ds.setSelectSql(QStringLiteral("SELECT * FROM BIRIM"));
    ds.setInsertSql(QStringLiteral("insert into BIRIM\n  (BIRIMADI, BIRKOD)\nvalues\n"
                                   "  (:BIRIMADI, :BIRKOD)"));
    ds.setUpdateSql(
        QStringLiteral("update BIRIM\nset\n  BIRIMADI = :BIRIMADI,\n  BIRKOD = :BIRKOD\n"
                       "where\n  BIRIMADI = :OLD_BIRIMADI and\n  BIRKOD = :OLD_BIRKOD"));
    ds.setDeleteSql(QStringLiteral("delete from BIRIM\nwhere\n  BIRIMADI = :OLD_BIRIMADI and\n"
                                   "  BIRKOD = :OLD_BIRKOD"));
    ds.setRefreshSql(QStringLiteral("Select \n  BIRKOD,\n  BIRIMADI\nfrom BIRIM \nwhere\n"
                                    "  BIRIMADI = :BIRIMADI and\n  BIRKOD = :BIRKOD"));
    // No key: a row is told by both its values.
    ds.setTable(QStringLiteral("BIRIM"), {QStringLiteral("BIRKOD"), QStringLiteral("BIRIMADI")});
    ds.setDisplayColumns({{QStringLiteral("BIRIMADI"), QStringLiteral("Kurum İçi Birim Adı")}});
    ds.setBeforePost([this](db::DataSet &d) { return codeNewDepartment(d); });
}

DepartmentRules::~DepartmentRules() = default;

void DepartmentRules::list()
{
    m_departments->open();
}

QString DepartmentRules::nextCode() const
{
    // Codes are text; only those holding a whole number count. Decisions
    // keep the code of a deleted department, so its code is not given again.
    qint64 highest = 0;
    db::Query codes(m_session.database(), QStringLiteral("SELECT BIRKOD FROM BIRIM"));
    codes.exec();
    while (codes.next()) {
        bool ok = false;
        const qint64 n = codes.value(0).toString().trimmed().toLongLong(&ok);
        if (ok)
            highest = qMax(highest, n);
    }
    db::Query used(m_session.database(), QStringLiteral("SELECT MAX(BKOD) FROM EKAR"));
    highest = qMax(highest, used.scalar().toLongLong());
    return QString::number(highest + 1);
}

QString DepartmentRules::codeNewDepartment(db::DataSet &ds)
{
    if (ds.state() != db::DataSet::State::Insert)
        return QString();
    try {
        const QString code = nextCode();
        if (code.toLongLong() > MaxCode)
            return QStringLiteral("Yeni birime verilecek kod kalmadı (en büyük kod %1).")
                .arg(MaxCode);
        ds.setValue(QStringLiteral("BIRKOD"), code);
    } catch (const db::DbError &e) {
        return e.message();
    }
    return QString();
}

} // namespace mizro::lists
