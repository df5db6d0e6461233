// The single-screen register window on a large database (demo data xSCALE),
// embedded and through a Firebird server on loopback: opening it (the list,
// the current meeting's decisions and attendance shown), moving through 100
// meetings with the arrow key, and saving a meeting with two decisions.
// Medians in ms. Runs offscreen.
//
//   bench_singleregister [SCALE]

#include "register/singleregister.h"
#include "benchsupport.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/schema.h"
#include "demodata.h"
#include "demodatabase.h"
#include "register/decisioncard.h"
#include "register/meetingrules.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextStream>
#include <algorithm>

using namespace mizro;

namespace {

QTextStream out(stdout);

struct Figures {
    double open[2] = {};
    double move[2] = {};
    double save[2] = {};
    int meetings[2] = {};
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
    QMdiArea mdi;
    mdi.resize(1280, 760);
    mdi.show();
    for (int b = 0; b < 2; ++b) {
        const ui::Body &body = b == 0 ? ui::Body::committee() : ui::Body::council();
        QVector<qint64> open, move, save;
        for (int run = 0; run < 11; ++run) {
            QElapsedTimer t;
            t.start();
            auto *screen = new reg::SingleRegister(session, body, dialogs);
            QMdiSubWindow *sub = mdi.addSubWindow(screen);
            sub->showMaximized();
            mdi.setActiveSubWindow(sub);
            QApplication::processEvents();
            open << t.nsecsElapsed();
            f.meetings[b] = screen->meetings().meetings().count();

            if (run == 0) {
                ui::DataGrid *list = screen->meetingList();
                list->setFocus();
                for (int i = 0; i < 100; ++i) {
                    t.restart();
                    QTest::keyClick(list, Qt::Key_Up);
                    QApplication::processEvents();
                    move << t.nsecsElapsed();
                }
            }

            screen->firstButton();
            for (const QString &summary : {QStringLiteral("Şehir içi yolların asfaltlanması"),
                                           QStringLiteral("İmar planı değişikliği")}) {
                screen->addDecision();
                screen->currentCard()->summary()->setPlainText(summary);
            }
            t.restart();
            screen->firstButton();
            QApplication::processEvents();
            save << t.nsecsElapsed();
            if (screen->mode() != reg::SingleRegister::Mode::Browse || !messages.texts().isEmpty())
                out << "  save failed: " << messages.texts().join(" / ") << "\n";
            delete sub;
        }
        f.open[b] = medianOf(open);
        f.move[b] = medianOf(move);
        f.save[b] = medianOf(save);
    }
    return f;
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
                      "usage: bench_singleregister [SCALE]\n"
                      "  Times the single-screen register window on demo data times "
                      "SCALE (default 20), embedded and through a Firebird server on "
                      "loopback.\n",
                      exitCode);
    if (!scaleGiven)
        return exitCode;
    Figures embedded, served;
    const bool haveServer = measureRegister(
        out, *scaleGiven, measure, [](const QString &, const QString &) {}, embedded, served);
    const char *names[2] = {"committee", "council"};
    auto row = [&](const QString &label, double e, double s) {
        figureRow(out, 32, label, e, s, haveServer);
    };
    for (int b = 0; b < 2; ++b) {
        out << names[b] << " (" << embedded.meetings[b] << " meetings in the year)\n";
        row("  open the register", embedded.open[b], served.open[b]);
        row("  one move with the arrow key", embedded.move[b], served.move[b]);
        row("  save a meeting, two decisions", embedded.save[b], served.save[b]);
    }
    return 0;
}
