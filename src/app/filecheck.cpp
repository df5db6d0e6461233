#include "filecheck.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "ui/body.h"

#include <QDate>
#include <QMap>
#include <QStringList>
#include <functional>

namespace mizro::app {

namespace {

QString bodyName(const ui::Body &body)
{
    return body.isCommittee() ? QStringLiteral("Encümen") : QStringLiteral("Meclis");
}

QString dateText(const QVariant &v)
{
    return v.isNull() ? QStringLiteral("tarihsiz")
                      : v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
}

QString joined(const QList<int> &numbers)
{
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QStringLiteral(", "));
}

FileCheck::Finding finding(FileCheck::Kind kind, const QString &body, const QString &table)
{
    FileCheck::Finding f;
    f.kind = kind;
    f.body = body;
    f.table = table;
    return f;
}

// Rows of one query grouped by the values of its first columns.
struct Group {
    QVector<QVariant> key;
    QVector<QVector<QVariant>> rows;
};

QVector<Group> groupRows(db::Query &q, int keyColumns)
{
    QVector<Group> groups;
    q.exec();
    while (q.next()) {
        const QVector<QVariant> key = q.row().mid(0, keyColumns);
        if (groups.isEmpty() || groups.last().key != key)
            groups.append({key, {}});
        groups.last().rows.append(q.row());
    }
    return groups;
}

void findOrphanAttendance(db::Database &db, const ui::Body &body, QVector<FileCheck::Finding> &out)
{
    db::Query q(db, QStringLiteral("SELECT A.KAYNO, A.UKOD FROM %1 A\n"
                                   "WHERE NOT EXISTS (SELECT 1 FROM %2 M WHERE M.KAYNO = A.KAYNO)\n"
                                   "ORDER BY A.KAYNO, A.UKOD")
                        .arg(body.attendanceTable, body.meetingTable));
    for (const Group &g : groupRows(q, 1)) {
        FileCheck::Finding f =
            finding(FileCheck::Kind::OrphanAttendance, bodyName(body), body.attendanceTable);
        f.recordNumbers << g.key[0].toInt();
        QList<int> members;
        for (const auto &row : g.rows)
            members << row[1].toInt();
        f.text = QStringLiteral("%1: kayıt no %2 olan oturum yok, ama bu oturuma ait %3 katılım "
                                "satırı duruyor (%4 tablosu, üye kodları %5).")
                     .arg(f.body)
                     .arg(f.recordNumbers.first())
                     .arg(members.size())
                     .arg(f.table, joined(members));
        out << f;
    }
}

void findOrphanDecisions(db::Database &db, const ui::Body &body, QVector<FileCheck::Finding> &out)
{
    db::Query q(db, QStringLiteral("SELECT K.KAYNO, K.KARNO, K.TARIH FROM %1 K\n"
                                   "WHERE NOT EXISTS (SELECT 1 FROM %2 M WHERE M.KAYNO = K.KAYNO)\n"
                                   "ORDER BY K.KAYNO, K.KARNO")
                        .arg(body.decisionTable, body.meetingTable));
    q.exec();
    while (q.next()) {
        FileCheck::Finding f =
            finding(FileCheck::Kind::OrphanDecision, bodyName(body), body.decisionTable);
        f.recordNumbers << q.value(0).toInt();
        f.number = q.value(1).toInt();
        const QVariant date = q.value(2);
        f.year = date.isNull() ? 0 : date.toDate().year();
        f.text = QStringLiteral("%1: %2 numaralı karar (%3) kayıt no %4 olan oturuma bağlı, ama bu "
                                "oturum yok (%5 tablosu).")
                     .arg(f.body)
                     .arg(f.number)
                     .arg(dateText(date))
                     .arg(f.recordNumbers.first())
                     .arg(f.table);
        out << f;
    }
}

// One number given twice in a year: the query's first two columns are the
// year and the number, the third the record number; `place` describes a row.
void findDuplicates(db::Query &q, FileCheck::Kind kind, const ui::Body &body, const QString &table,
                    const QString &noun,
                    const std::function<QString(const QVector<QVariant> &)> &place,
                    QVector<FileCheck::Finding> &out)
{
    for (const Group &g : groupRows(q, 2)) {
        FileCheck::Finding f = finding(kind, bodyName(body), table);
        f.year = g.key[0].toInt();
        f.number = g.key[1].toInt();
        QStringList where;
        for (const auto &row : g.rows) {
            f.recordNumbers << row[2].toInt();
            where << place(row);
        }
        f.text = QStringLiteral("%1: %2 yılında %3 numaralı %4 %5 kez kayıtlı: %6.")
                     .arg(f.body)
                     .arg(f.year)
                     .arg(f.number)
                     .arg(noun)
                     .arg(g.rows.size())
                     .arg(where.join(QStringLiteral(", ")));
        out << f;
    }
}

// Meetings without a date have no year to clash in; they are left out.
void findDuplicateMeetings(db::Database &db, const ui::Body &body, QVector<FileCheck::Finding> &out)
{
    db::Query q(db, QStringLiteral("SELECT D.YIL, D.OTRNO, D.KAYNO, D.TARIH FROM (\n"
                                   "SELECT EXTRACT(YEAR FROM M.TARIH) AS YIL, M.OTRNO, M.KAYNO, "
                                   "M.TARIH,\n"
                                   "COUNT(*) OVER (PARTITION BY EXTRACT(YEAR FROM M.TARIH), "
                                   "M.OTRNO) AS ADET\n"
                                   "FROM %1 M WHERE M.TARIH IS NOT NULL) D\n"
                                   "WHERE D.ADET > 1\n"
                                   "ORDER BY D.YIL, D.OTRNO, D.KAYNO")
                        .arg(body.meetingTable));
    findDuplicates(
        q, FileCheck::Kind::DuplicateMeeting, body, body.meetingTable, QStringLiteral("oturum"),
        [](const QVector<QVariant> &row) {
            return QStringLiteral("kayıt no %1 (%2)").arg(row[2].toInt()).arg(dateText(row[3]));
        },
        out);
}

// The year of a decision is its meeting's year, as the numbering counts it.
void findDuplicateDecisions(db::Database &db, const ui::Body &body,
                            QVector<FileCheck::Finding> &out)
{
    db::Query q(db, QStringLiteral("SELECT D.YIL, D.KARNO, D.KAYNO, D.OTRNO, D.TARIH FROM (\n"
                                   "SELECT EXTRACT(YEAR FROM M.TARIH) AS YIL, K.KARNO, K.KAYNO, "
                                   "M.OTRNO, M.TARIH,\n"
                                   "COUNT(*) OVER (PARTITION BY EXTRACT(YEAR FROM M.TARIH), "
                                   "K.KARNO) AS ADET\n"
                                   "FROM %1 K JOIN %2 M ON M.KAYNO = K.KAYNO\n"
                                   "WHERE M.TARIH IS NOT NULL) D\n"
                                   "WHERE D.ADET > 1\n"
                                   "ORDER BY D.YIL, D.KARNO, D.KAYNO")
                        .arg(body.decisionTable, body.meetingTable));
    findDuplicates(
        q, FileCheck::Kind::DuplicateDecision, body, body.decisionTable, QStringLiteral("karar"),
        [](const QVector<QVariant> &row) {
            return QStringLiteral("kayıt no %1 (%2 numaralı oturum, %3)")
                .arg(row[2].toInt())
                .arg(row[3].toInt())
                .arg(dateText(row[4]));
        },
        out);
}

} // namespace

int FileCheck::Report::problemCount() const
{
    return int(findings().size());
}

QVector<FileCheck::Finding> FileCheck::Report::findings() const
{
    return damage + orphanAttendance + orphanDecisions + duplicateMeetings + duplicateDecisions;
}

QString FileCheck::Report::summary() const
{
    const int n = problemCount();
    if (n == 0)
        return QStringLiteral("Sorun bulunamadı.");
    return QStringLiteral("%1 sorun bulundu.").arg(n);
}

QStringList FileCheck::Report::notes() const
{
    QStringList out;
    if (validated && !validation.busyTables.isEmpty())
        out << QStringLiteral("Başka bir kullanıcı yazdığı için denetlenemeyen tablolar: %1. "
                              "Herkes programdan çıktıktan sonra yeniden deneyiniz.")
                   .arg(validation.busyTables.join(QStringLiteral(", ")));
    if (!leftoversError.isEmpty())
        out << QStringLiteral("Hasar yüzünden kayıtlar denetlenemedi: %1").arg(leftoversError);
    return out;
}

FileCheck::FileCheck(db::Database &db) : m_db(db) {}

FileCheck::Report FileCheck::run(const db::Services::Progress &progress, const Cancel &cancel)
{
    Report report;
    // The engine's validation only reads: on cancel it is left to end on its
    // own (stopping it through its attachment was seen to hang the service).
    const auto watch = [&](const QString &line) {
        if (progress)
            progress(line);
        if (cancel && cancel())
            throw Cancelled{QStringLiteral("Dosya kontrolü iptal edildi: veritabanının "
                                           "doğrulaması yarıda kaldı, kayıtlar denetlenmedi.")};
    };
    report.validation = db::Services(m_db.login()).validate(m_db.databaseName(), watch);
    report.validated = true;
    QStringList damaged = report.validation.damagedTables;
    // Damage the engine could not put down to a table still counts.
    if (damaged.isEmpty() && !report.validation.clean())
        damaged << QString();
    for (const QString &table : std::as_const(damaged)) {
        Finding f = finding(Kind::Damage, QString(), table);
        f.text = (table.isEmpty() ? QStringLiteral("Veritabanı dosyasında hasar bulundu.")
                                  : QStringLiteral("Veritabanı dosyasında %1 tablosunda hasar "
                                                   "bulundu.")
                                        .arg(table)) +
                 QStringLiteral(" Son alınan yedeği saklayıp teknik destek isteyiniz.");
        report.damage << f;
    }
    try {
        findLeftovers(report, cancel);
    } catch (const db::DbError &e) {
        // Reading a damaged table fails; the damage is the finding then.
        if (report.damage.isEmpty())
            throw;
        report.leftoversError = e.message();
    }
    return report;
}

qint64 FileCheck::serviceMark(db::Database &db)
{
    return db::Query(db, QStringLiteral("SELECT MAX(MON$ATTACHMENT_ID) FROM MON$ATTACHMENTS"))
        .scalar()
        .toLongLong();
}

void FileCheck::stopServices(db::Database &db, qint64 since)
{
    // A command of its own: the monitoring tables show one moment per
    // transaction, and a fresh one holds the service's attachment.
    db::WriteGuard command(db);
    // The service's attachment lives inside the engine: no network protocol.
    db::Query q(db, QStringLiteral("DELETE FROM MON$ATTACHMENTS\n"
                                   "WHERE MON$ATTACHMENT_ID > :SINCE\n"
                                   "AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION\n"
                                   "AND MON$SYSTEM_FLAG = 0\n"
                                   "AND MON$REMOTE_PROTOCOL IS NULL"));
    q.bind(QStringLiteral("SINCE"), since);
    q.exec();
    command.commit();
}

FileCheck::Report FileCheck::leftovers()
{
    Report report;
    findLeftovers(report);
    return report;
}

void FileCheck::findLeftovers(Report &report, const Cancel &cancel)
{
    using Step = void (*)(db::Database &, const ui::Body &, QVector<Finding> &);
    const QVector<QPair<Step, QVector<Finding> *>> steps = {
        {findOrphanAttendance, &report.orphanAttendance},
        {findOrphanDecisions, &report.orphanDecisions},
        {findDuplicateMeetings, &report.duplicateMeetings},
        {findDuplicateDecisions, &report.duplicateDecisions},
    };
    const int total = 2 * int(steps.size());
    int done = 0;
    for (const ui::Body *body : {&ui::Body::committee(), &ui::Body::council()}) {
        for (const auto &[step, out] : steps) {
            if (cancel && cancel())
                throw Cancelled{QStringLiteral("Dosya kontrolü iptal edildi: veritabanı "
                                               "doğrulandı (%1), kayıt denetimlerinin %2/%3 "
                                               "bölümü yapıldı.")
                                    .arg(report.damage.isEmpty() ? QStringLiteral("hasar yok")
                                                                 : QStringLiteral("hasar bulundu"))
                                    .arg(done)
                                    .arg(total)};
            step(m_db, *body, *out);
            ++done;
        }
    }
}

} // namespace mizro::app
