// The classic register window on a large database (demo data xSCALE),
// embedded and through a Firebird server on loopback: opening it (the list
// and the current meeting's attendance shown), and opening the decision list
// of its last meeting, whose decisions each hold a 20-page document (the
// list read and the first one's document shown). Medians in ms. Runs
// offscreen.
//
//   bench_classicregister [SCALE]

#include "register/classicregister.h"
#include "benchsupport.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "demodatabase.h"
#include "documents/documentcontainer.h"
#include "documents/storeddocument.h"
#include "longdecision.h"
#include "register/attendancerules.h"
#include "register/classicdecisionlist.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>

using namespace mizro;

namespace {

QTextStream out(stdout);

struct Figures {
    double open[2] = {};
    double list[2] = {};
    int meetings[2] = {};
    int decisions[2] = {};
};

Figures measure(const QString &name, const QString &year)
{
    Figures f;
    ui::ScriptedMessages messages;
    ui::ScriptedDialogRunner dialogs;
    ui::Session session(messages);
    session.database().setDatabaseName(name);
    session.database().connect();
    session.setWorkingYear(year);
    session.setDefinitionsYear(year);
    session.setMensek(QStringLiteral("0"));
    QMdiArea mdi;
    mdi.resize(1280, 760);
    mdi.show();
    for (int b = 0; b < 2; ++b) {
        const ui::Body &body = b == 0 ? ui::Body::committee() : ui::Body::council();
        QVector<qint64> open, list;
        for (int run = 0; run < 11; ++run) {
            QElapsedTimer t;
            t.start();
            auto *screen = new reg::ClassicRegister(session, body, dialogs);
            QMdiSubWindow *sub = mdi.addSubWindow(screen);
            sub->showMaximized();
            mdi.setActiveSubWindow(sub);
            QApplication::processEvents();
            open << t.nsecsElapsed();
            f.meetings[b] = screen->meetings().meetings().count();

            t.restart();
            {
                reg::ClassicDecisionList decisions(session, body, dialogs,
                                                   screen->meetings().meetings(),
                                                   screen->attendance(), screen);
                decisions.show();
                QApplication::processEvents();
                list << t.nsecsElapsed();
                f.decisions[b] = decisions.decisions().decisions().count();
                if (!decisions.view()->document() ||
                    decisions.view()->document()->characterCount() < 10000)
                    out << "  the document was not shown\n";
                decisions.reject();
            }
            if (!messages.texts().isEmpty())
                out << "  failed: " << messages.texts().join(" / ") << "\n";
            delete sub;
        }
        f.open[b] = medianOf(open);
        f.list[b] = medianOf(list);
    }
    return f;
}

// Every decision of each body's last meeting of the year gets the document.
void giveLastMeetingsLongDocuments(const QString &path, const QString &year)
{
    const documents::PageSetup page;
    auto document = documents::StoredDocument::blank(page);
    fillLongDecision(*document, page, 20);
    const QByteArray stored = documents::StoredDocument::save(*document, page);
    ui::ScriptedMessages messages;
    ui::Session session(messages);
    session.database().setDatabaseName(path);
    session.database().connect();
    for (const ui::Body *body : {&ui::Body::committee(), &ui::Body::council()}) {
        db::Query q(session.database(),
                    QStringLiteral("UPDATE %1 SET KARAR=:K WHERE KAYNO=(SELECT FIRST 1 KAYNO "
                                   "FROM %2 WHERE EXTRACT(YEAR FROM TARIH)=:Y ORDER BY TARIH "
                                   "DESC)")
                        .arg(body->decisionTable, body->meetingTable));
        q.bind(QStringLiteral("K"), stored);
        q.bind(QStringLiteral("Y"), year.toInt());
        q.exec();
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int exitCode = 0;
    const std::optional<int> scaleGiven =
        scaleArgument(args,
                      "usage: bench_classicregister [SCALE]\n"
                      "  Times the classic register window and its decision list on demo "
                      "data times SCALE (default 20), embedded and through a Firebird "
                      "server on loopback.\n",
                      exitCode);
    if (!scaleGiven)
        return exitCode;
    Figures embedded, served;
    const bool haveServer =
        measureRegister(out, *scaleGiven, measure, giveLastMeetingsLongDocuments, embedded, served);
    const char *names[2] = {"committee", "council"};
    auto row = [&](const QString &label, double e, double s) {
        figureRow(out, 32, label, e, s, haveServer);
    };
    for (int b = 0; b < 2; ++b) {
        out << names[b] << " (" << embedded.meetings[b] << " meetings in the year, "
            << embedded.decisions[b] << " decisions of 20 pages in the last)\n";
        row("  open the register", embedded.open[b], served.open[b]);
        row("  open the decision list", embedded.list[b], served.list[b]);
    }
    return 0;
}
