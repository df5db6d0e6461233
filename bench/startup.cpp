// Start-up time: process start to the end of the first activation routine on
// the demo database, against an empty Qt main window's start plus the
// embedded attach. Each figure is the median of 10 fresh processes.
//
//   bench_startup [RUNS]

#include "app/mainwindow.h"
#include "app/program.h"
#include "db/database.h"
#include "db/query.h"
#include "db/schema.h"
#include "demodata.h"
#include "ui/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>

using namespace mizro;

namespace {

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void report(qint64 value)
{
    QTextStream(stdout) << "RESULT " << value << Qt::endl;
}

// Children: each prints one RESULT line and ends.

int childProgram(int &argc, char **argv)
{
    app::ProgramHooks hooks;
    hooks.started = [](app::MainWindow &w, ui::Session &) {
        QObject::connect(&w, &app::MainWindow::activationFinished, &w, [&w] {
            report(monotonicNs());
            QTimer::singleShot(0, &w, &QWidget::close);
        });
    };
    return app::runProgram(argc, argv, hooks);
}

int childEmptyWindow(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow w;
    w.resize(1200, 780);
    w.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w.isActiveWindow()) {
            report(monotonicNs());
            QApplication::quit();
        }
    });
    poll.start(0);
    return QApplication::exec();
}

// The attach alone, or the attach and its first statement: the engine loads
// its character set support (ICU) only when the first statement runs.
int childAttach(const QString &path, bool firstStatement)
{
    db::Database db;
    db.setDatabaseName(path);
    const qint64 t0 = monotonicNs();
    db.connect();
    if (firstStatement)
        db::Query(db, "SELECT VER FROM TANIM").scalar();
    report(monotonicNs() - t0);
    return 0;
}

qint64 runChild(const QString &mode, const QString &dir, bool absolute)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir + "/config");
    env.insert("TMPDIR", dir);
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    const qint64 start = monotonicNs();
    p.start(QCoreApplication::applicationFilePath(), {mode, dir + "/DATA/MIZRO.GDB"});
    if (!p.waitForFinished(60000))
        qFatal("child %s did not finish", qPrintable(mode));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = out.indexOf("RESULT ");
    if (at < 0)
        qFatal("child %s printed no result: %s", qPrintable(mode),
               qPrintable(QString::fromUtf8(p.readAllStandardError())));
    const qint64 value = out.mid(at + 7).section('\n', 0, 0).toLongLong();
    return absolute ? value - start : value;
}

double medianMs(QVector<qint64> v)
{
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    const double mid = n % 2 ? double(v[n / 2]) : (double(v[n / 2 - 1]) + double(v[n / 2])) / 2;
    return mid / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == "--child-program")
        return childProgram(argc, argv);
    if (mode == "--child-empty")
        return childEmptyWindow(argc, argv);
    if (mode == "--child-attach")
        return childAttach(QString::fromLocal8Bit(argv[2]), false);
    if (mode == "--child-attach-query")
        return childAttach(QString::fromLocal8Bit(argv[2]), true);

    QCoreApplication app(argc, argv);
    const char *usage = "usage: bench_startup [RUNS]   (RUNS >= 1, default 10)\n";
    if (mode == "--help" || mode == "-h") {
        QTextStream(stdout) << usage;
        return 0;
    }
    int runs = 10;
    if (argc > 1) {
        bool ok = false;
        runs = mode.toInt(&ok);
        if (argc > 2 || !ok || runs < 1) {
            QTextStream(stderr) << usage;
            return 2;
        }
    }
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("DATA"));
    const QString path = dir.filePath("DATA/MIZRO.GDB");
    db::Schema::createDatabase(path, db::Schema::currentVersion());
    {
        db::Database db;
        db.setDatabaseName(path);
        db.connect();
        admin::fillDemoData(db, {});
    }
    QVector<qint64> program, empty, attach, attachQuery;
    for (int i = 0; i < runs; ++i) {
        program << runChild("--child-program", dir.path(), true);
        empty << runChild("--child-empty", dir.path(), true);
        attach << runChild("--child-attach", dir.path(), false);
        attachQuery << runChild("--child-attach-query", dir.path(), false);
    }
    const double p = medianMs(program), e = medianMs(empty), a = medianMs(attach),
                 aq = medianMs(attachQuery);
    QTextStream out(stdout);
    out.setRealNumberPrecision(1);
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out << "median of " << runs << " runs (ms)\n"
        << "  program start to end of first activation: " << p << "\n"
        << "  empty Qt main window start:               " << e << "\n"
        << "  embedded attach (first in a process):     " << a << "\n"
        << "  attach and its first statement:           " << aq << "\n"
        << qSetRealNumberPrecision(2)
        << "  ratio program / (empty window + attach):  " << p / (e + a) << "\n"
        << "  ratio program / (empty window + attach and first statement): " << p / (e + aq)
        << "\n";
    return 0;
}
