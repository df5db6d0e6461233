#include "templaterules.h"

#include "db/blobcolumn.h"
#include "db/dataset.h"
#include "db/query.h"
#include "ui/body.h"
#include "ui/messages.h"
#include "ui/session.h"

namespace mizro::documents {

namespace {

db::BlobColumn documentColumn(db::Database &db)
{
    return db::BlobColumn(db, QStringLiteral("ORNEK"), QStringLiteral("ORNEK"),
                          {QStringLiteral("SNO")});
}

} // namespace

TemplateRules::TemplateRules(ui::Session &session, QObject *parent)
    : QObject(parent), m_session(session),
      m_templates(std::make_unique<db::DataSet>(session.database())),
      m_documents(std::make_unique<db::BlobColumn>(documentColumn(session.database())))
{
    db::DataSet &ds = *m_templates;
    // The document is read and written on its own, by the number.
    ds.setSelectSql(QStringLiteral("SELECT SNO, TUR, ACIK FROM ORNEK"));
    ds.setInsertSql(QStringLiteral("insert into ORNEK\n  (SNO, TUR, ACIK)\nvalues\n"
                                   "  (:SNO, :TUR, :ACIK)"));
    ds.setUpdateSql(QStringLiteral("update ORNEK\nset\n  SNO = :SNO,\n  TUR = :TUR,\n"
                                   "  ACIK = :ACIK\nwhere\n  SNO = :OLD_SNO"));
    ds.setDeleteSql(QStringLiteral("delete from ORNEK\nwhere\n  SNO = :OLD_SNO"));
    ds.setRefreshSql(QStringLiteral("Select SNO, TUR, ACIK\nfrom ORNEK \nwhere\n  SNO = :SNO"));
    ds.setTable(QStringLiteral("ORNEK"), {QStringLiteral("SNO")});
    ds.addCalculatedField(
        QStringLiteral("TURADI"), [](const db::DataSet &d, const db::DataSet::Row &row) {
            return QVariant(bodyText(row[d.fieldIndex(QStringLiteral("TUR"))].toString()));
        });
    ds.setBeforePost([](db::DataSet &d) {
        return d.value(QStringLiteral("ACIK")).toString().isEmpty() ? emptyDescriptionText()
                                                                    : QString();
    });
}

TemplateRules::~TemplateRules() = default;

void TemplateRules::list()
{
    m_templates->open();
}

QString TemplateRules::bodyText(const QString &type)
{
    if (type == QLatin1String("E"))
        return QStringLiteral("Encümen Kararı");
    if (type == QLatin1String("M"))
        return QStringLiteral("Meclis Kararı");
    return QString();
}

QString TemplateRules::emptyDescriptionText()
{
    return QStringLiteral("DİKKAT! Örnek Şablon İçin Açıklama Belirtiniz..");
}

QString TemplateRules::defaultDescription(int number)
{
    return QStringLiteral("Encümen Örnek Şablon :") + QString::number(number);
}

bool TemplateRules::add()
{
    m_error.clear();
    int number = 0;
    // A pending template is stored first, so that it counts for the number.
    if (!postPending())
        return false;
    try {
        if (!m_templates->isOpen())
            list();
        db::Query q(m_session.database(), QStringLiteral("SELECT MAX(SNO) SNO FROM ORNEK"));
        number = q.scalar().toInt() + 1;
    } catch (const db::DbError &e) {
        m_error.set(e);
        return false;
    }
    if (!m_templates->append()) {
        m_error.set(m_templates->lastError(), m_templates->lastErrorDetails());
        return false;
    }
    m_templates->setValue(QStringLiteral("SNO"), number);
    m_templates->setValue(QStringLiteral("TUR"), QStringLiteral("E"));
    m_templates->setValue(QStringLiteral("ACIK"), defaultDescription(number));
    return true;
}

bool TemplateRules::remove(QWidget *parent)
{
    m_error.clear();
    if (m_templates->currentRow() < 0)
        return false;
    if (!m_session.messages().question(parent, QStringLiteral("BU KARAR SİLİNECEKTİR. "
                                                              "ONAYLIYORMUSUNUZ")))
        return false;
    if (!m_templates->remove()) {
        m_error.set(m_templates->lastError(), m_templates->lastErrorDetails());
        return false;
    }
    return true;
}

bool TemplateRules::postPending()
{
    m_error.clear();
    if (!m_templates->isEditing() || m_templates->post())
        return true;
    m_error.set(m_templates->lastError(), m_templates->lastErrorDetails());
    return false;
}

QByteArray TemplateRules::document(int number) const
{
    return m_documents->read({number});
}

bool TemplateRules::storeDocument(int number, const QByteArray &value, const QByteArray &asRead)
{
    m_error.clear();
    try {
        m_documents->write({number}, value, asRead);
    } catch (const db::DbError &e) {
        m_error.set(e);
        return false;
    }
    return true;
}

QVector<TemplateRules::Offer> TemplateRules::offered(db::Database &db, const ui::Body &body)
{
    db::Query q(db, body.isCommittee()
                        ? QStringLiteral("SELECT SNO, ACIK FROM ORNEK\nWHERE TUR='E'")
                        : QStringLiteral("SELECT SNO, ACIK FROM ORNEK\nWHERE TUR='M'"));
    q.exec();
    QVector<Offer> out;
    while (q.next())
        out.append({q.value(0).toInt(), q.value(1).toString()});
    return out;
}

QByteArray TemplateRules::documentOf(db::Database &db, int number)
{
    return documentColumn(db).read({number});
}

} // namespace mizro::documents
