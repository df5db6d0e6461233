// Register rules on a large database (demo data xSCALE), embedded and through
// a Firebird server on loopback: listing the working year's meetings with
// their decision counts, moving to another meeting (its decisions and
// attendance re-read), listing a meeting's 40 decisions that carry 100 KB
// documents, and what 50 summary saves do to the file. Medians in ms.
//
//   bench_register [SCALE]

#include "benchsupport.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/schema.h"
#include "demodata.h"
#include "demodatabase.h"
#include "loopbackserver.h"
#include "register/attendancerules.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "ui/body.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

using namespace mizro;

namespace {

QTextStream out(stdout);

void drain(db::Query &q)
{
    q.exec();
    while (q.next()) {
    }
}

// The meeting whose 40 decisions carry 100 KB documents, made once.
constexpr int DocumentMeeting = 32000;

QByteArray document(int seed)
{
    QByteArray d("BDOC");
    for (int i = 0; d.size() < 100 * 1024; ++i)
        d += QByteArray::number(i * 7919 + seed) + ' ';
    return d;
}

void addDocumentMeeting(db::Database &db, const QString &year)
{
    db::Query m(db, "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) "
                    "VALUES (:K,999,:T,'10:00','1','BELGELİ OTURUM')");
    m.bind("K", DocumentMeeting);
    m.bind("T", QDate(year.toInt(), 12, 31));
    m.exec();
    db::Query d(db, "INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET,KARAR) VALUES (:K,:N,:S,'Özet',:D)");
    for (int i = 1; i <= 40; ++i) {
        d.bind("K", DocumentMeeting);
        d.bind("N", 30000 + i);
        d.bind("S", i);
        d.bind("D", document(i));
        d.exec();
    }
}

struct Figures {
    double list[2] = {};      // committee, council: rules
    double listAlone[2] = {}; // the same two statements alone
    double listPerRow[2] = {};
    double move[2] = {};
    double moveAlone[2] = {};
    double withDocuments = 0;
    double withoutDocuments = 0;
    int meetings[2] = {};
};

Figures measure(const QString &name, const QString &year)
{
    Figures f;
    ui::ScriptedMessages messages;
    ui::Session session(messages);
    session.database().setDatabaseName(name);
    session.database().connect();
    session.setWorkingYear(year);
    session.setDefinitionsYear(year);
    db::Database &db = session.database();

    for (int b = 0; b < 2; ++b) {
        const ui::Body &body = b == 0 ? ui::Body::committee() : ui::Body::council();
        reg::MeetingRules meetings(session, body, reg::Variant::SingleScreen);
        reg::DecisionRules decisions(session, body, reg::Variant::SingleScreen);
        reg::AttendanceRules attendance(session, body);
        meetings.list();
        const int n = meetings.meetings().count();
        f.meetings[b] = n;

        db::Query list(db, "SELECT * FROM " + body.meetingTable +
                               "\nWHERE EXTRACT(YEAR FROM TARIH)=:YIL\nORDER BY TARIH");
        db::Query grouped(db, "SELECT E.KAYNO, COUNT(K.SNO) KSAY FROM " + body.meetingTable +
                                  " E\nJOIN " + body.decisionTable +
                                  " K ON K.KAYNO=E.KAYNO\nWHERE E.TARIH >= :ILK AND E.TARIH < "
                                  ":SON\nGROUP BY E.KAYNO");
        db::Query count(db,
                        "SELECT COUNT(SNO) KSAY FROM " + body.decisionTable + "\nWHERE KAYNO=:KNO");
        f.listAlone[b] = medianMs(41, [&](int) {
            grouped.bind("ILK", QDate(year.toInt(), 1, 1));
            grouped.bind("SON", QDate(year.toInt() + 1, 1, 1));
            drain(grouped);
            list.bind("YIL", year);
            drain(list);
        });
        f.listPerRow[b] = medianMs(15, [&](int) {
            list.bind("YIL", year);
            list.exec();
            while (list.next()) {
                count.bind("KNO", list.value(0));
                count.scalar();
            }
        });
        f.list[b] = medianMs(41, [&](int) { meetings.list(); });

        QVector<int> kaynos;
        for (int r = 0; r < n; ++r)
            kaynos << meetings.meetings().rowValue(r, "KAYNO").toInt();
        db::Query dec(db, "SELECT " + body.decisionColumns().join(", ") + " FROM " +
                              body.decisionTable + "\nWHERE KAYNO=:OT\nORDER BY SNO");
        db::Query att(db, QString("SELECT E.UKOD,ADSOY,UNVANI FROM %1 E\nLEFT JOIN %2 U "
                                  "ON(U.UKOD=E.UKOD)\nWHERE KAYNO=:KN AND U.YIL=:YL")
                              .arg(body.attendanceTable, body.memberTable));
        const int moves = qMin(n, 200);
        f.moveAlone[b] = medianMs(moves, [&](int i) {
            dec.bind("OT", kaynos[i]);
            drain(dec);
            att.bind("KN", kaynos[i]);
            att.bind("YL", session.workingYearNumber());
            drain(att);
        });
        f.move[b] = medianMs(moves, [&](int i) {
            meetings.meetings().setCurrentRow(i);
            decisions.list(kaynos[i]);
            attendance.list(kaynos[i], session.workingYearNumber());
        });
    }

    // What every decision list read before the documents were left out.
    db::Query everything(db, "SELECT * FROM EKAR\nWHERE KAYNO=:OT\nORDER BY SNO");
    f.withDocuments = medianMs(15, [&](int) {
        everything.bind("OT", DocumentMeeting);
        drain(everything);
    });
    reg::DecisionRules decisions(session, ui::Body::committee(), reg::Variant::SingleScreen);
    f.withoutDocuments = medianMs(15, [&](int) { decisions.list(DocumentMeeting); });
    out << "  " << name << "\n";
    return f;
}

/// Growth of the file by 50 saves that change only a decision's summary,
/// through the rules and through an update that also writes the document
/// back, as every save did before.
void fileGrowth(const QString &path, const QString &year)
{
    ui::ScriptedMessages messages;
    ui::Session session(messages);
    session.database().setDatabaseName(path);
    session.database().connect();
    session.setWorkingYear(year);
    reg::DecisionRules rules(session, ui::Body::committee(), reg::Variant::SingleScreen);
    rules.setMeeting(DocumentMeeting, QDate(year.toInt(), 12, 31));
    rules.list(DocumentMeeting);
    const qint64 start = QFileInfo(path).size();
    for (int i = 0; i < 50; ++i) {
        rules.decisions().setValue("OZET", QString("Özet %1").arg(i));
        if (!rules.save()) {
            out << "summary save failed: " << rules.lastError() << "\n";
            return;
        }
    }
    const qint64 afterRules = QFileInfo(path).size();
    db::Query rewrite(session.database(),
                      "UPDATE EKAR SET OZET=:O, KARAR=:D WHERE KAYNO=:K AND KARNO=30002");
    const QByteArray d = document(2);
    for (int i = 0; i < 50; ++i) {
        rewrite.bind("O", QString("Özet %1").arg(i));
        rewrite.bind("D", d);
        rewrite.bind("K", DocumentMeeting);
        rewrite.exec();
    }
    const qint64 afterRewrite = QFileInfo(path).size();
    out << "50 summary saves of a decision with a 100 KB document: file " << start / 1024
        << " KB, +" << (afterRules - start) / 1024 << " KB through the rules, +"
        << (afterRewrite - afterRules) / 1024 << " KB when each save rewrites the document\n";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int exitCode = 0;
    const std::optional<int> scaleGiven =
        scaleArgument(args,
                      "usage: bench_register [SCALE]\n"
                      "  Times the register rules on demo data times SCALE (default "
                      "20), embedded and through a Firebird server on loopback.\n",
                      exitCode);
    if (!scaleGiven)
        return exitCode;
    const int scale = *scaleGiven;
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);

    QTemporaryDir dir;
    const QString path = dir.filePath("MIZRO.GDB");
    const QString year = QString::number(QDate::currentDate().year() - 1);
    QElapsedTimer made;
    made.start();
    const admin::DemoCounts counts = makeDemoDatabase(path, scale);
    {
        db::Database db;
        db.setDatabaseName(path);
        db.connect();
        addDocumentMeeting(db, year);
    }
    out << "demo data x" << scale << ": " << counts.committeeMeetings << " committee and "
        << counts.councilMeetings << " council meetings, " << counts.decisions << " decisions ("
        << made.elapsed() << " ms to make); working year " << year << "\n";

    const Figures embedded = measure(path, year);

    // The same file through a private server on loopback.
    Figures served;
    const bool haveServer = onLoopbackServer(
        path, dir.filePath("server"), [&](const QString &name) { served = measure(name, year); });

    const char *names[2] = {"committee", "council"};
    out << "\nmedians in ms                     embedded   server\n";
    auto row = [&](const QString &label, double e, double s) {
        figureRow(out, 32, label, e, s, haveServer);
    };
    for (int b = 0; b < 2; ++b) {
        out << names[b] << " (" << embedded.meetings[b] << " meetings in the year)\n";
        row("  list with counts: rules", embedded.list[b], served.list[b]);
        row("    same two statements alone", embedded.listAlone[b], served.listAlone[b]);
        row("    one count per meeting", embedded.listPerRow[b], served.listPerRow[b]);
        row("  move to a meeting: rules", embedded.move[b], served.move[b]);
        row("    same statements alone", embedded.moveAlone[b], served.moveAlone[b]);
    }
    row("40 decisions, 100 KB documents", embedded.withDocuments, served.withDocuments);
    row("  the list without documents", embedded.withoutDocuments, served.withoutDocuments);
    fileGrowth(path, year);
    return 0;
}
