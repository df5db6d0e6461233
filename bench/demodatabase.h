#pragma once

// The benchmarks' database: demo data times a scale, and their figures,
// embedded beside served.

#include "db/database.h"
#include "db/schema.h"
#include "demodata.h"

#include <QString>
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
