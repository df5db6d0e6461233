#include "meetingrules.h"

#include "decisionrules.h"
#include "numbering.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "ui/body.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QTime>

namespace mizro::reg {

namespace {

QString lines(std::initializer_list<QString> parts)
{
    return QStringList(parts).join(QLatin1Char('\n'));
}

} // namespace

MeetingRules::MeetingRules(ui::Session &session, const ui::Body &body, Variant variant,
                           QObject *parent)
    : QObject(parent), m_session(session), m_body(body), m_variant(variant),
      m_meetings(std::make_unique<db::DataSet>(session.database())),
      m_count(std::make_unique<db::Query>(
          session.database(),
          lines({QStringLiteral("SELECT COUNT(SNO) KSAY FROM ") + body.decisionTable,
                 QStringLiteral("WHERE KAYNO=:KNO")})))
{
    const QString &t = body.meetingTable;
    if (variant == Variant::SingleScreen)
        m_meetings->setSelectSql(lines({QStringLiteral("SELECT * FROM ") + t,
                                        QStringLiteral("WHERE EXTRACT(YEAR FROM TARIH)=:YIL"),
                                        QStringLiteral("ORDER BY TARIH")}));
    else
        m_meetings->setSelectSql(lines({QStringLiteral("SELECT * FROM ") + t,
                                        QStringLiteral("WHERE EXTRACT(YEAR FROM TARIH)=:YL")}));
    m_meetings->setInsertSql(
        lines({QStringLiteral("insert into ") + t,
               QStringLiteral("  (KAYNO, OTRNO, TARIH, SAAT, TUR, ACIK)"), QStringLiteral("values"),
               QStringLiteral("  (:KAYNO, :OTRNO, :TARIH, :SAAT, :TUR, :ACIK)")}));
    m_meetings->setUpdateSql(
        lines({QStringLiteral("update ") + t, QStringLiteral("set"),
               QStringLiteral("  KAYNO = :KAYNO, OTRNO = :OTRNO, TARIH = :TARIH,"),
               QStringLiteral("  SAAT = :SAAT, TUR = :TUR, ACIK = :ACIK"), QStringLiteral("where"),
               QStringLiteral("  KAYNO = :OLD_KAYNO")}));
    m_meetings->setDeleteSql(lines({QStringLiteral("delete from ") + t, QStringLiteral("where"),
                                    QStringLiteral("  KAYNO = :OLD_KAYNO")}));
    m_meetings->setRefreshSql(lines({QStringLiteral("Select * from ") + t, QStringLiteral("where"),
                                     QStringLiteral("  KAYNO = :KAYNO")}));
    m_meetings->setTable(t, {QStringLiteral("KAYNO")});
    // The counts of the year are read in one statement when the list is read.
    m_meetings->addCalculatedField(
        QStringLiteral("KARSAY"), [this](const db::DataSet &ds, const db::DataSet::Row &row) {
            const QVariant kayno = row[ds.fieldIndex(QStringLiteral("KAYNO"))];
            return kayno.isNull() ? QVariant() : QVariant(m_counts.value(kayno.toInt(), 0));
        });
    if (variant == Variant::Classic)
        m_meetings->addCalculatedField(
            QStringLiteral("OTURUM"), [](const db::DataSet &ds, const db::DataSet::Row &row) {
                return QVariant(typeText(row[ds.fieldIndex(QStringLiteral("TUR"))].toString()));
            });
    if (variant == Variant::Classic) {
        // A row begun elsewhere without a record number gets one when stored.
        m_meetings->setBeforePost([this](db::DataSet &ds) {
            if (ds.state() != db::DataSet::State::Insert ||
                !ds.value(QStringLiteral("KAYNO")).isNull())
                return QString();
            QString error;
            const int kayno = drawRecordNumber(error);
            if (kayno > 0)
                ds.setValue(QStringLiteral("KAYNO"), kayno);
            return error;
        });
    }
}

MeetingRules::~MeetingRules() = default;

QString MeetingRules::typeText(const QString &tur)
{
    if (tur == QStringLiteral("1"))
        return QStringLiteral("Olağan");
    if (tur == QStringLiteral("2"))
        return QStringLiteral("Olağanüstü");
    return QString();
}

int MeetingRules::decisionCount(int recordNumber) const
{
    m_count->bind(QStringLiteral("KNO"), recordNumber);
    return m_count->scalar().toInt();
}

void MeetingRules::readCounts()
{
    // The meetings of the year by the date index, then their decisions by
    // the key: a tenth of the time of starting from the decisions.
    db::Query q(m_session.database(),
                lines({QStringLiteral("SELECT E.KAYNO, COUNT(K.SNO) KSAY FROM ") +
                           m_body.meetingTable + QStringLiteral(" E"),
                       QStringLiteral("JOIN ") + m_body.decisionTable +
                           QStringLiteral(" K ON K.KAYNO=E.KAYNO"),
                       QStringLiteral("WHERE E.TARIH >= :ILK AND E.TARIH < :SON"),
                       QStringLiteral("GROUP BY E.KAYNO")}));
    m_counts.clear();
    const int year = m_session.workingYearNumber();
    if (year < 1)
        return; // no meeting is listed either
    q.bind(QStringLiteral("ILK"), QDate(year, 1, 1));
    q.bind(QStringLiteral("SON"), QDate(year + 1, 1, 1));
    q.exec();
    while (q.next())
        m_counts.insert(q.value(0).toInt(), q.value(1).toInt());
}

void MeetingRules::refreshDecisionCount(int recordNumber)
{
    m_counts.insert(recordNumber, decisionCount(recordNumber));
    db::DataSet &ds = *m_meetings;
    for (int r = 0; r < ds.count(); ++r) {
        if (ds.rowValue(r, QStringLiteral("KAYNO")).toInt() == recordNumber)
            ds.recalculate(r);
    }
}

void MeetingRules::list()
{
    readCounts();
    listMeetings();
}

void MeetingRules::listMeetings()
{
    if (m_meetings->isEditing())
        m_meetings->cancel();
    if (m_variant == Variant::SingleScreen)
        m_meetings->setParam(QStringLiteral("YIL"), m_session.workingYear());
    else
        m_meetings->setParam(QStringLiteral("YL"), m_session.workingYearNumber());
    m_meetings->open();
    m_meetings->last();
    takeLastMeetingNumber();
}

void MeetingRules::takeLastMeetingNumber()
{
    const int n = m_meetings->count();
    m_lastMeetingNumber = n ? m_meetings->rowValue(n - 1, QStringLiteral("OTRNO")).toInt() : 0;
}

bool MeetingRules::deletionOffered() const
{
    if (m_meetings->currentRow() < 0)
        return false;
    if (m_variant == Variant::Classic && m_body.isCommittee())
        return true;
    return m_meetings->value(QStringLiteral("OTRNO")).toInt() == m_lastMeetingNumber;
}

int MeetingRules::drawRecordNumber(QString &error)
{
    db::Query q(m_session.database(),
                QStringLiteral("SELECT GEN_ID(GEN_KAYNO,1) YENINO FROM RDB$DATABASE"));
    const qint64 n = q.scalar().toLongLong();
    // The generator advanced; a number the column cannot hold is never used.
    if (n > MaxRecordNumber || n < 1) {
        error = QStringLiteral("DİKKAT! Oturum kayıt numaraları tükendi (en büyük numara %1). "
                               "Yeni oturum açılamaz; veritabanının bakımı için yazılım "
                               "sorumlunuza başvurunuz.")
                    .arg(MaxRecordNumber);
        return 0;
    }
    return int(n);
}

QString MeetingRules::beginNew(const QDate &today)
{
    m_error.clear();
    try {
        int kayno = 0;
        int otrno = 0;
        // Both registers draw the record number now: attendance added during
        // the entry belongs to this meeting, not to record number 0.
        QString error;
        kayno = drawRecordNumber(error);
        if (!error.isEmpty())
            return error;
        if (m_variant == Variant::SingleScreen) {
            db::Query q(m_session.database(),
                        QStringLiteral("SELECT MAX(OTRNO) OTRNO FROM ") + m_body.meetingTable +
                            QStringLiteral(" WHERE EXTRACT(YEAR FROM TARIH)=:YL"));
            q.bind(QStringLiteral("YL"), m_session.workingYearNumber());
            otrno = q.scalar().toInt() + 1;
        } else {
            // The classic register follows the last row of its unordered list.
            m_meetings->last();
            otrno =
                m_meetings->isEmpty() ? 1 : m_meetings->value(QStringLiteral("OTRNO")).toInt() + 1;
        }
        if (!m_meetings->append())
            return m_meetings->lastError();
        if (kayno)
            m_meetings->setValue(QStringLiteral("KAYNO"), kayno);
        m_meetings->setValue(QStringLiteral("OTRNO"), otrno);
        m_drawnNumber = otrno;
        m_meetings->setValue(QStringLiteral("TARIH"), today);
        m_meetings->setValue(QStringLiteral("SAAT"), QTime(10, 0));
        m_meetings->setValue(QStringLiteral("TUR"), QStringLiteral("1"));
        m_meetings->setValue(QStringLiteral("ACIK"), m_body.defaultDescription);
    } catch (const db::DbError &e) {
        return e.message();
    }
    return QString();
}

bool MeetingRules::beginChange()
{
    return m_meetings->edit();
}

MeetingRules::CheckResult MeetingRules::check(const ScreenState &screen) const
{
    const QVariant time = m_meetings->value(QStringLiteral("SAAT"));
    if (time.isNull() || !time.toTime().isValid())
        return {QStringLiteral("Oturum Saati Boş Olamaz..!"), Field::Time};
    if (!screen.typeChosen)
        return {QStringLiteral("Oturum Türü Boş Olamaz..!"), Field::Type};
    if (m_variant == Variant::SingleScreen) {
        if (screen.decisionSummaryEmpty)
            return {QStringLiteral("Karar Özetini Giriniz..!"), Field::Summary};
        const QDate date = m_meetings->value(QStringLiteral("TARIH")).toDate();
        const QString year = date.isValid() ? QString::number(date.year()) : QString();
        if (year != m_session.definitionsYear())
            return {QStringLiteral("DİKKAT! Ourum Tarihi Çalışma Yılından farklı olamaz.."),
                    Field::Date};
    }
    return {};
}

bool MeetingRules::checkNumber()
{
    db::DataSet &ds = *m_meetings;
    const bool inserting = ds.state() == db::DataSet::State::Insert;
    const QVariant number = ds.value(QStringLiteral("OTRNO"));
    // A meeting keeps the number it was stored with, even an old duplicate.
    if (!inserting && number == ds.oldValue(QStringLiteral("OTRNO")))
        return true;
    const QDate date = ds.value(QStringLiteral("TARIH")).toDate();
    if (number.isNull() || !date.isValid())
        return true; // the database refuses the first, the checks the second
    // Over the other meetings of the meeting's year, with this number when given.
    const auto ofYear = [&](const QString &select, const QVariant &withNumber) {
        db::Query q(
            m_session.database(),
            lines({select + QStringLiteral(" FROM ") + m_body.meetingTable,
                   QStringLiteral("WHERE TARIH >= :ILK AND TARIH < :SON"),
                   QStringLiteral("AND KAYNO IS DISTINCT FROM :K") +
                       (withNumber.isValid() ? QStringLiteral(" AND OTRNO=:N") : QString())}));
        q.bind(QStringLiteral("ILK"), QDate(date.year(), 1, 1));
        q.bind(QStringLiteral("SON"), QDate(date.year() + 1, 1, 1));
        q.bind(QStringLiteral("K"), ds.value(QStringLiteral("KAYNO")));
        if (withNumber.isValid())
            q.bind(QStringLiteral("N"), withNumber);
        return q.scalar().toInt();
    };
    if (ofYear(QStringLiteral("SELECT COUNT(*)"), number) == 0)
        return true;
    if (inserting && number.toInt() == m_drawnNumber) {
        const int given = ofYear(QStringLiteral("SELECT MAX(OTRNO)"), QVariant()) + 1;
        ds.setValue(QStringLiteral("OTRNO"), given);
        m_drawnNumber = given;
        m_notices << renumberedText(QStringLiteral("Oturum"), number.toInt(), given);
        return true;
    }
    m_error.set(QStringLiteral("%1 yılında %2 numaralı bir oturum zaten var. Başka bir oturum "
                               "numarası giriniz.")
                    .arg(date.year())
                    .arg(number.toInt()));
    m_errorField = Field::Number;
    return false;
}

bool MeetingRules::save(DecisionRules *pendingDecision)
{
    m_error.clear();
    m_errorField = Field::None;
    m_notices.clear();
    const QVariant kayno = m_meetings->value(QStringLiteral("KAYNO"));
    const bool written = [&] {
        try {
            // The meeting and its pending decision together: a refusal of
            // either leaves both as the clerk typed them.
            db::WriteGuard guard(m_session.database());
            lockNumbering(m_session.database());
            if (!checkNumber())
                return false;
            if (!m_meetings->post()) {
                m_error.set(m_meetings->lastError(), m_meetings->lastErrorDetails());
                return false;
            }
            if (pendingDecision && pendingDecision->decisions().isEditing() &&
                !pendingDecision->save()) {
                m_error.set(pendingDecision->lastError(), pendingDecision->lastErrorDetails());
                return false;
            }
            guard.commit();
        } catch (const db::DbError &e) {
            m_error.set(e);
            return false;
        }
        return true;
    }();
    // A number given instead stays in the entry, saved or not: it is told.
    if (!written)
        return false;
    relist(nullptr, QStringLiteral("Kayıt yapıldı; ancak oturum listesi yeniden okunamadı."), [&] {
        // Only the saved meeting's count can have changed by this save.
        if (m_variant == Variant::SingleScreen) {
            m_counts.insert(kayno.toInt(), decisionCount(kayno.toInt()));
            listMeetings();
            m_meetings->locate(QStringLiteral("KAYNO"), kayno);
        } else {
            refreshDecisionCount(m_meetings->value(QStringLiteral("KAYNO")).toInt());
            if (!m_body.isCommittee())
                takeLastMeetingNumber();
        }
    });
    return true;
}

void MeetingRules::cancel()
{
    m_meetings->cancel();
}

bool MeetingRules::remove(QWidget *parent)
{
    m_error.clear();
    if (m_meetings->currentRow() < 0 || m_meetings->state() == db::DataSet::State::Insert)
        return false;
    if (!m_session.messages().question(parent, m_body.meetingDeleteQuestion))
        return false;
    const QVariant kayno = m_meetings->value(QStringLiteral("KAYNO"));
    try {
        // The decisions and the meeting go together or not at all, and only
        // if nobody changed the meeting, or gave it a decision, since the
        // clerk saw it: the meeting stays locked until the end.
        db::WriteGuard guard(m_session.database());
        m_meetings->lockCurrentRow();
        if (decisionCount(kayno.toInt()) != m_counts.value(kayno.toInt(), 0))
            throw db::DbError(db::DbError::Kind::RowChanged,
                              QStringLiteral("Bu oturumun kararları, siz okuduktan sonra başka "
                                             "bir kullanıcı tarafından değiştirilmiş; oturum "
                                             "silinmedi."));
        for (const QString &table : {m_body.decisionTable, m_body.meetingTable}) {
            db::Query q(m_session.database(), lines({QStringLiteral("DELETE FROM ") + table,
                                                     QStringLiteral("WHERE KAYNO=:ONO")}));
            q.bind(QStringLiteral("ONO"), kayno);
            q.exec();
        }
        guard.commit();
    } catch (const db::DbError &e) {
        m_error.set(e);
        return false;
    }
    relist(parent, QStringLiteral("Oturum silindi; ancak oturum listesi yeniden okunamadı."),
           [this] { list(); });
    return true;
}

void MeetingRules::relist(QWidget *parent, const QString &text, const std::function<void()> &read)
{
    // What was written stays written: a failing list is told as such.
    try {
        read();
    } catch (const db::DbError &e) {
        m_session.messages().error(parent, text, e.details());
    }
}

} // namespace mizro::reg
