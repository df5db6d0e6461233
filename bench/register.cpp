// Register rules on a large database (demo data x20): listing the working
// year's meetings with their decision counts, and moving to another meeting
// (its decisions and attendance re-read), against the same statements run
// alone through the database layer. Medians in milliseconds.
//
//   bench_register [SCALE]

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/schema.h"
#include "demodata.h"
#include "register/attendancerules.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "ui/body.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

using namespace mizro;

namespace {

double medianMs(int runs, const std::function<void(int)> &work)
{
    QVector<qint64> ns;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work(i);
        ns << t.nsecsElapsed();
    }
    std::sort(ns.begin(), ns.end());
    return double(ns[ns.size() / 2]) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int scale = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    QTemporaryDir dir;
    const QString path = dir.filePath("MIZRO.GDB");
    QElapsedTimer made;
    made.start();
    db::Schema::createDatabase(path, db::Schema::currentVersion(),
                               db::Database::CreateOptions{false});
    ui::ScriptedMessages messages;
    ui::Session session(messages);
    session.database().setDatabaseName(path);
    session.database().connect();
    admin::DemoOptions options;
    options.scale = scale;
    const admin::DemoCounts counts = admin::fillDemoData(session.database(), options);
    const qint64 fillMs = made.elapsed();
    const QString year = QString::number(QDate::currentDate().year());
    session.setWorkingYear(year);
    session.setDefinitionsYear(year);

    QTextStream out(stdout);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);
    out << "demo data x" << scale << ": " << counts.committeeMeetings << " committee and "
        << counts.councilMeetings << " council meetings, " << counts.decisions << " decisions ("
        << fillMs << " ms to make)\n";

    for (const ui::Body *body : {&ui::Body::committee(), &ui::Body::council()}) {
        reg::MeetingRules meetings(session, *body, reg::Variant::SingleScreen);
        reg::DecisionRules decisions(session, *body, reg::Variant::SingleScreen);
        reg::AttendanceRules attendance(session, *body);
        meetings.list();
        const int n = meetings.meetings().count();

        // The same statements, alone: the list, one count per meeting.
        db::Query list(session.database(),
                       "SELECT * FROM " + body->meetingTable +
                           "\nWHERE EXTRACT(YEAR FROM TARIH)=:YIL\nORDER BY TARIH");
        db::Query count(session.database(), "SELECT COUNT(SNO) KSAY FROM " + body->decisionTable +
                                                "\nWHERE KAYNO=:KNO");
        const double rawList = medianMs(15, [&](int) {
            list.bind("YIL", year);
            list.exec();
            while (list.next()) {
                count.bind("KNO", list.value(0));
                count.scalar();
            }
        });
        const double rulesList = medianMs(15, [&](int) { meetings.list(); });

        QVector<int> kaynos;
        for (int r = 0; r < n; ++r)
            kaynos << meetings.meetings().rowValue(r, "KAYNO").toInt();
        db::Query dec(session.database(),
                      "SELECT * FROM " + body->decisionTable + "\nWHERE KAYNO=:OT\nORDER BY SNO");
        db::Query att(
            session.database(),
            QString("SELECT E.UKOD,ADSOY,UNVANI FROM %1 E\nLEFT JOIN %2 U ON(U.UKOD=E.UKOD)\n"
                    "WHERE KAYNO=:KN AND U.YIL=:YL")
                .arg(body->attendanceTable, body->memberTable));
        const int moves = qMin(n, 200);
        const double rawMove = medianMs(moves, [&](int i) {
            dec.bind("OT", kaynos[i]);
            dec.exec();
            while (dec.next()) {
            }
            att.bind("KN", kaynos[i]);
            att.bind("YL", session.workingYearNumber());
            att.exec();
            while (att.next()) {
            }
        });
        const double rulesMove = medianMs(moves, [&](int i) {
            meetings.meetings().setCurrentRow(i);
            decisions.list(kaynos[i]);
            attendance.list(kaynos[i], session.workingYearNumber());
        });
        out << (body->isCommittee() ? "committee" : "council") << " (" << n
            << " meetings in the year)\n"
            << "  list with counts: rules " << rulesList << ", SQL alone " << rawList << ", ratio "
            << rulesList / rawList << "\n"
            << "  move to meeting:  rules " << rulesMove << ", SQL alone " << rawMove << ", ratio "
            << rulesMove / rawMove << "\n";
    }
    return 0;
}
