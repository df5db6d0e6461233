#include "decisionrules.h"

#include "numbering.h"

#include "db/blobcolumn.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "ui/body.h"
#include "ui/messages.h"
#include "ui/session.h"

namespace mizro::reg {

namespace {

QString lines(const QStringList &parts)
{
    return parts.join(QLatin1Char('\n'));
}

// "  A = :A," ... for the update's set list, and the bare lists for insert.
QString setList(const QStringList &columns)
{
    QStringList out;
    for (const QString &c : columns)
        out << QStringLiteral("  %1 = :%1").arg(c);
    return out.join(QStringLiteral(",\n"));
}

} // namespace

DecisionRules::DecisionRules(ui::Session &session, const ui::Body &body, Variant variant,
                             QObject *parent)
    : QObject(parent), m_session(session), m_body(body), m_variant(variant),
      m_decisions(std::make_unique<db::DataSet>(session.database())),
      m_documents(std::make_unique<db::BlobColumn>(
          session.database(), body.decisionTable, QStringLiteral("KARAR"),
          QStringList{QStringLiteral("KAYNO"), QStringLiteral("KARNO")}))
{
    const QString &t = body.decisionTable;
    // Every column but the document, which is read and written on its own.
    const QStringList listed = body.decisionColumns();
    QStringList columns = listed;
    if (variant == Variant::Classic && !body.isCommittee())
        columns = {QStringLiteral("KARNO"), QStringLiteral("KAYNO"), QStringLiteral("MKAR"),
                   QStringLiteral("OZET"), QStringLiteral("SNO")};
    QStringList params;
    for (const QString &c : columns)
        params << QLatin1Char(':') + c;
    const QString select = QStringLiteral("SELECT ") + listed.join(QStringLiteral(", ")) +
                           QStringLiteral(" FROM ") + t;
    m_decisions->setSelectSql(
        variant == Variant::SingleScreen
            ? lines({select, QStringLiteral("WHERE KAYNO=:OT"), QStringLiteral("ORDER BY SNO")})
            : lines({select, QStringLiteral("WHERE KAYNO=:OT")}));
    m_decisions->setTable(t, {QStringLiteral("KAYNO"), QStringLiteral("KARNO")});
    m_decisions->setInsertSql(
        lines({QStringLiteral("insert into ") + t,
               QStringLiteral("  (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'),
               QStringLiteral("values"),
               QStringLiteral("  (") + params.join(QStringLiteral(", ")) + QLatin1Char(')')}));
    m_decisions->setUpdateSql(
        lines({QStringLiteral("update ") + t, QStringLiteral("set"), setList(columns),
               QStringLiteral("where"), QStringLiteral("  KARNO = :OLD_KARNO and"),
               QStringLiteral("  KAYNO = :OLD_KAYNO")}));
    m_decisions->setDeleteSql(lines({QStringLiteral("delete from ") + t, QStringLiteral("where"),
                                     QStringLiteral("  KARNO = :OLD_KARNO and"),
                                     QStringLiteral("  KAYNO = :OLD_KAYNO")}));
    m_decisions->setRefreshSql(
        lines({QStringLiteral("Select ") + listed.join(QStringLiteral(", ")),
               QStringLiteral("from ") + t + QLatin1Char(' '), QStringLiteral("where"),
               QStringLiteral("  KARNO = :KARNO and"), QStringLiteral("  KAYNO = :KAYNO")}));
    m_decisions->setBeforePost([this](db::DataSet &ds) { return fillBeforeSave(ds); });
}

DecisionRules::~DecisionRules() = default;

void DecisionRules::list(int recordNumber)
{
    if (m_decisions->isEditing())
        m_decisions->cancel();
    m_decisions->setParam(QStringLiteral("OT"), recordNumber);
    m_decisions->open();
}

int DecisionRules::yearMaximum() const
{
    db::Query q(m_session.database(),
                lines({QStringLiteral("SELECT MAX(KARNO) KNO FROM ") + m_body.decisionTable +
                           QStringLiteral(" K"),
                       QStringLiteral("LEFT JOIN ") + m_body.meetingTable +
                           QStringLiteral(" E ON(E.KAYNO=K.KAYNO)"),
                       QStringLiteral("WHERE EXTRACT(YEAR FROM E.TARIH)=:YL")}));
    q.bind(QStringLiteral("YL"), m_session.workingYearNumber());
    return q.scalar().toInt();
}

void DecisionRules::prepareNumbering()
{
    m_counter = yearMaximum();
}

int DecisionRules::nextOrderNumber(int recordNumber) const
{
    db::Query q(m_session.database(), QStringLiteral("SELECT MAX(SNO) SNO FROM ") +
                                          m_body.decisionTable +
                                          QStringLiteral(" WHERE KAYNO=:KN "));
    q.bind(QStringLiteral("KN"), recordNumber);
    return q.scalar().toInt() + 1;
}

void DecisionRules::numberPending(int recordNumber)
{
    const int number = yearMaximum() + 1;
    const int order = nextOrderNumber(recordNumber);
    m_decisions->setValue(QStringLiteral("KARNO"), number);
    m_decisions->setValue(QStringLiteral("SNO"), order);
    m_givenNumber = number;
}

void DecisionRules::setMeeting(int recordNumber, const QDate &date)
{
    m_meetingRecord = recordNumber;
    m_meetingDate = date;
}

QString DecisionRules::fillBeforeSave(db::DataSet &ds)
{
    // The classic register stores what its editor gives, but its numbers
    // stay unique just the same.
    if (m_variant != Variant::SingleScreen) {
        lockNumbering(m_session.database());
        // The meeting is held until the decision is written: one another
        // clerk deleted meanwhile takes no decision, and a delete begun
        // meanwhile sees this one.
        db::Query meeting(
            m_session.database(),
            QStringLiteral("UPDATE %1 SET KAYNO=KAYNO WHERE KAYNO=:K").arg(m_body.meetingTable));
        meeting.bind(QStringLiteral("K"), ds.value(QStringLiteral("KAYNO")));
        meeting.exec();
        if (meeting.rowsAffected() == 0)
            return QStringLiteral("Bu kararın oturumu başka bir kullanıcı tarafından silinmiş; "
                                  "karar kaydedilmedi.");
        return checkNumber(ds);
    }
    if (m_meetingRecord <= 0)
        return QStringLiteral("Karar hiçbir oturuma bağlı değil; kayıt yapılamadı.");
    ds.setValue(QStringLiteral("KAYNO"), m_meetingRecord);
    ds.setValue(QStringLiteral("TARIH"),
                m_meetingDate.isValid() ? QVariant(m_meetingDate) : QVariant());
    lockNumbering(m_session.database());
    return checkNumber(ds);
}

QString DecisionRules::checkNumber(db::DataSet &ds)
{
    const QVariant number = ds.value(QStringLiteral("KARNO"));
    if (number.isNull() ||
        (ds.state() == db::DataSet::State::Edit && number == ds.oldValue(QStringLiteral("KARNO"))))
        return QString();
    // The year's decisions, and those of this year's meetings still being
    // entered (by this clerk or another), whose meeting is not stored yet.
    const auto ofYear = [&](const QString &select, const QVariant &withNumber) {
        db::Query q(
            m_session.database(),
            lines({select + QStringLiteral(" FROM ") + m_body.decisionTable + QStringLiteral(" K"),
                   QStringLiteral("LEFT JOIN ") + m_body.meetingTable +
                       QStringLiteral(" E ON(E.KAYNO=K.KAYNO)"),
                   QStringLiteral("WHERE (EXTRACT(YEAR FROM E.TARIH)=:YL OR (E.KAYNO IS NULL "
                                  "AND EXTRACT(YEAR FROM K.TARIH)=:YL))") +
                       (withNumber.isValid() ? QStringLiteral(" AND K.KARNO=:N") : QString())}));
        q.bind(QStringLiteral("YL"), m_session.workingYearNumber());
        if (withNumber.isValid())
            q.bind(QStringLiteral("N"), withNumber);
        return q.scalar().toInt();
    };
    if (ofYear(QStringLiteral("SELECT COUNT(*)"), number) == 0)
        return QString();
    // Only the number the addition gave is replaced; one typed by hand is
    // the clerk's to correct.
    if (ds.state() != db::DataSet::State::Insert || number.toInt() != m_givenNumber)
        return QStringLiteral("Bu yılın %1 numaralı kararı zaten var. Başka bir karar numarası "
                              "giriniz.")
            .arg(number.toInt());
    const int given = ofYear(QStringLiteral("SELECT MAX(K.KARNO)"), QVariant()) + 1;
    ds.setValue(QStringLiteral("KARNO"), given);
    m_givenNumber = given;
    m_counter = qMax(m_counter, given);
    m_notices << renumberedText(QStringLiteral("Karar"), number.toInt(), given);
    return QString();
}

QVector<QPair<int, QString>> DecisionRules::departments() const
{
    db::Query q(m_session.database(), QStringLiteral("SELECT * FROM BIRIM"));
    q.exec();
    QVector<QPair<int, QString>> out;
    while (q.next()) {
        // The decision holds the code as a number: a code that is none
        // cannot be chosen.
        bool number = false;
        const int code = q.value(QStringLiteral("BIRKOD")).toString().trimmed().toInt(&number);
        if (number)
            out.append({code, q.value(QStringLiteral("BIRIMADI")).toString()});
    }
    return out;
}

bool DecisionRules::setDocumentKind(const QString &kind)
{
    m_documentKind = kind;
    if (!m_body.documentParticulars || m_decisions->currentRow() < 0)
        return false;
    return m_decisions->setValue(QStringLiteral("ETUR"), kind.isEmpty() ? QVariant() : kind);
}

bool DecisionRules::add(const QTime &now)
{
    m_error.clear();
    if (!m_decisions->isOpen()) {
        try {
            list(m_meetingRecord);
        } catch (const db::DbError &e) {
            m_error.set(e);
            return false;
        }
    }
    if (!m_decisions->append()) {
        m_error.set(m_decisions->lastError(), m_decisions->lastErrorDetails());
        return false;
    }
    try {
        const int sno = nextOrderNumber(m_meetingRecord);
        ++m_counter;
        m_decisions->setValue(QStringLiteral("KAYNO"), m_meetingRecord);
        m_decisions->setValue(QStringLiteral("SAAT"), QTime(now.hour(), now.minute()));
        m_decisions->setValue(QStringLiteral("KARNO"), m_counter);
        m_givenNumber = m_counter;
        m_decisions->setValue(QStringLiteral("SNO"), sno);
    } catch (const db::DbError &e) {
        m_decisions->cancel();
        m_error.set(e);
        return false;
    }
    return true;
}

bool DecisionRules::save()
{
    m_error.clear();
    if (m_decisions->post())
        return true;
    m_error.set(m_decisions->lastError(), m_decisions->lastErrorDetails());
    return false;
}

QVariantList DecisionRules::currentKey() const
{
    // The key as stored, whatever is being typed over it.
    if (m_decisions->currentRow() < 0 || m_decisions->state() == db::DataSet::State::Insert)
        throw db::DbError(db::DbError::Kind::Other,
                          QStringLiteral("Karar kaydedilmeden metni okunamaz ya da yazılamaz."));
    return {m_decisions->oldValue(QStringLiteral("KAYNO")),
            m_decisions->oldValue(QStringLiteral("KARNO"))};
}

QByteArray DecisionRules::document() const
{
    return m_documents->read(currentKey());
}

bool DecisionRules::storeDocument(const QByteArray &value, const QByteArray &asRead)
{
    m_error.clear();
    try {
        m_documents->write(currentKey(), value, asRead);
    } catch (const db::DbError &e) {
        m_error.set(e);
        return false;
    }
    return true;
}

void DecisionRules::cancel()
{
    m_decisions->cancel();
}

bool DecisionRules::remove(QWidget *parent)
{
    m_error.clear();
    if (m_decisions->currentRow() < 0)
        return false;
    const QString question = m_variant == Variant::Classic
                                 ? m_body.classicDecisionDeleteQuestion
                                 : QStringLiteral("BU KARAR SİLİNECEKTİR. "
                                                  "ONAYLIYORMUSUNUZ");
    if (!m_session.messages().question(parent, question))
        return false;
    if (!m_decisions->remove()) {
        m_error.set(m_decisions->lastError(), m_decisions->lastErrorDetails());
        return false;
    }
    if (m_variant == Variant::Classic)
        m_decisions->last();
    return true;
}

} // namespace mizro::reg
