#pragma once

// The benchmarks' database: demo data times a scale, and their figures,
// embedded beside served.

#include "db/database.h"
#include "db/schema.h"
#include "demodata.h"
#include "loopbackserver.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

/// A new database file with demo data times scale.
inline mizro::admin::DemoCounts makeDemoDatabase(const QString &path, int scale)
{
    using namespace mizro;
    db::Schema::createDatabase(path, db::Schema::currentVersion(),
                               db::Database::CreateOptions{false});
    db::Database db;
    db.setDatabaseName(path);
    db.connect();
    admin::DemoOptions options;
    options.scale = scale;
    return admin::fillDemoData(db, options);
}

/// One line of figures: the label, then embedded and (when there was a
/// server) served milliseconds.
inline void figureRow(QTextStream &out, int width, const QString &label, double embedded,
                      double served, bool haveServer)
{
    out << label.leftJustified(width) << QString::number(embedded, 'f', 2).rightJustified(10)
        << (haveServer ? QString::number(served, 'f', 2).rightJustified(9) : QString()) << "\n";
}

/// The figures a register benchmark gives: demo data times scale for this
/// year (new meetings are dated today), prepared, then measured embedded
/// and through a server on loopback; the header lines printed.
template <class Figures, class Measure, class Prepare>
bool measureRegister(QTextStream &out, int scale, Measure measure, Prepare prepare,
                     Figures &embedded, Figures &served)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MIZRO.GDB"));
    const QString year = QString::number(QDate::currentDate().year());
    makeDemoDatabase(path, scale);
    prepare(path, year);
    embedded = measure(path, year);
    const bool haveServer =
        onLoopbackServer(path, dir.filePath(QStringLiteral("server")),
                         [&](const QString &name) { served = measure(name, year); });
    out.setRealNumberNotation(QTextStream::FixedNotation);
    out.setRealNumberPrecision(2);
    out << "demo data x" << scale << ", working year " << year << "\n";
    out << "medians in ms                     embedded   server\n";
    return haveServer;
}
