#include "demodocuments.h"

#include "db/database.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "documents/placeholdermerge.h"
#include "documents/storeddocument.h"

#include <QHash>
#include <QTextDocument>
#include <memory>

namespace mizro::admin {

namespace {

using documents::MergeValues;
using documents::PageSetup;
using documents::StoredDocument;

QString formal(const QString &bodyName, const QString &bodyOf)
{
    return QStringLiteral(
               "<p align=\"center\"><b>T.C.<br/>KARAAĞAÇLI BELEDİYESİ<br/>%1 KARARI</b></p>"
               "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">"
               "<tr><td><b>Karar Tarihi</b></td><td>[TARIH]</td><td><b>Karar No</b></td>"
               "<td>[KARNO]</td></tr>"
               "<tr><td><b>Oturum No</b></td><td>[OTRNO]</td><td><b>Sıra No</b></td>"
               "<td>[SIRNO]</td></tr>"
               "<tr><td><b>Saat</b></td><td>[SAAT]</td><td></td><td></td></tr></table>"
               "<p><b>KARAR ÖZETİ:</b> [OZET]</p>"
               "<p align=\"justify\">Belediye %2 gündemindeki konuyu görüştü. Konu "
               "ilgili müdürlüğün yazısı ve ekleri ile birlikte incelendi; yapılan görüşmeler "
               "sonunda aşağıdaki karar alındı.</p>"
               "<p align=\"justify\"><b>KARAR:</b> İlgili müdürlüğün teklifinin kabulüne, "
               "işlemlerin mevzuata uygun olarak yürütülmesine oybirliği ile karar verildi.</p>"
               "<p><b>TOPLANTIYA KATILANLAR</b></p>"
               "<table border=\"0\" cellpadding=\"4\" width=\"100%\"><tr>"
               "<td>[UYELER]</td><td>[UYELER1]</td><td>[UYELER2]</td></tr></table>")
        .arg(bodyName, bodyOf);
}

QString brief(const QString &bodyName)
{
    return QStringLiteral(
               "<h3 align=\"center\">%1 KARARI — [KARNO]</h3>"
               "<p>[TARIH] günü saat [SAAT]'de toplanan [OTRNO] numaralı oturumun [SIRNO]. "
               "sırasında görüşülen konu: <i>[OZET]</i></p>"
               "<p>Yapılan görüşmeler sonunda konunun kabulüne karar verildi.</p>"
               "<p><u>Katılanlar</u></p><p>[UYELER]</p><p>[UYELER1]</p><p>[UYELER2]</p>")
        .arg(bodyName);
}

struct Template {
    int number;
    QString type;
    QString description;
    QString html;
};

const Template Templates[] = {
    {1, QStringLiteral("E"), QStringLiteral("Encümen Kararı (resmi)"),
     formal("ENCÜMEN", "Encümeni")},
    {2, QStringLiteral("E"), QStringLiteral("Encümen Kararı (kısa)"), brief("ENCÜMEN")},
    {3, QStringLiteral("M"), QStringLiteral("Meclis Kararı (resmi)"), formal("MECLİS", "Meclisi")},
    {4, QStringLiteral("M"), QStringLiteral("Meclis Kararı (kısa)"), brief("MECLİS")},
};

int documentsOf(db::Database &db, bool committee,
                const QHash<int, std::shared_ptr<QTextDocument>> &templates)
{
    const QString meetings = committee ? QStringLiteral("ENCUMEN") : QStringLiteral("MECLIS");
    const QString decisions = committee ? QStringLiteral("EKAR") : QStringLiteral("MKAR");
    const QString attendance = committee ? QStringLiteral("EKAT") : QStringLiteral("MKAT");
    const QString members = committee ? QStringLiteral("EUYE") : QStringLiteral("MUYE");
    db::Query list(db, QStringLiteral("SELECT K.KAYNO, K.KARNO, K.SNO, K.TARIH, K.SAAT, K.OZET, "
                                      "E.OTRNO, EXTRACT(YEAR FROM E.TARIH) FROM %1 K\n"
                                      "JOIN %2 E ON(E.KAYNO=K.KAYNO)")
                           .arg(decisions, meetings));
    db::Query present(db, QStringLiteral("SELECT ADSOY,UNVANI FROM %1 E\n"
                                         "LEFT JOIN %2 U ON(U.UKOD=E.UKOD)\n"
                                         "WHERE KAYNO=:KN AND U.YIL=:YL")
                              .arg(attendance, members));
    db::Query write(db, QStringLiteral("UPDATE %1 SET KARAR=:KARAR WHERE KAYNO=:KAYNO AND "
                                       "KARNO=:KARNO")
                            .arg(decisions));
    struct Row {
        MergeValues values;
        int kayno;
        int year;
    };
    QVector<Row> rows;
    list.exec();
    while (list.next()) {
        // Every fifth decision is left without a document, as in real life.
        if (list.value(1).toInt() % 5 == 0)
            continue;
        Row r;
        r.kayno = list.value(0).toInt();
        r.values.decisionNumber = list.value(1);
        r.values.orderNumber = list.value(2);
        r.values.date = list.value(3);
        r.values.time = list.value(4);
        r.values.summary = list.value(5);
        r.values.meetingNumber = list.value(6);
        r.year = list.value(7).toInt();
        rows.append(r);
    }
    QHash<int, QVector<MergeValues::Member>> attending;
    const PageSetup page;
    const int first = committee ? 1 : 3;
    for (Row &r : rows) {
        if (!attending.contains(r.kayno)) {
            present.bind(QStringLiteral("KN"), r.kayno);
            present.bind(QStringLiteral("YL"), r.year);
            present.exec();
            QVector<MergeValues::Member> m;
            while (present.next())
                m.append({present.value(0).toString(), present.value(1).toString()});
            attending.insert(r.kayno, m);
        }
        r.values.members = attending.value(r.kayno);
        const int chosen = first + r.values.decisionNumber.toInt() % 3 / 2;
        std::unique_ptr<QTextDocument> doc(templates.value(chosen)->clone());
        documents::PlaceholderMerge::run(r.values, *doc);
        write.bind(QStringLiteral("KARAR"), StoredDocument::save(*doc, page));
        write.bind(QStringLiteral("KAYNO"), r.kayno);
        write.bind(QStringLiteral("KARNO"), r.values.decisionNumber);
        write.exec();
    }
    return int(rows.size());
}

} // namespace

int fillDemoDocuments(db::Database &db)
{
    db::WriteGuard guard(db);
    db::Query insert(db, QStringLiteral("INSERT INTO ORNEK (SNO,TUR,ACIK,ORNEK) "
                                        "VALUES (:SNO,:TUR,:ACIK,:ORNEK)"));
    QHash<int, std::shared_ptr<QTextDocument>> parsed;
    const PageSetup page;
    for (const Template &t : Templates) {
        std::shared_ptr<QTextDocument> doc = StoredDocument::blank(page);
        doc->setHtml(t.html);
        parsed.insert(t.number, doc);
        insert.bind(QStringLiteral("SNO"), t.number);
        insert.bind(QStringLiteral("TUR"), t.type);
        insert.bind(QStringLiteral("ACIK"), t.description);
        insert.bind(QStringLiteral("ORNEK"), StoredDocument::save(*doc, page));
        insert.exec();
    }
    const int written = documentsOf(db, true, parsed) + documentsOf(db, false, parsed);
    guard.commit();
    return written;
}

} // namespace mizro::admin
