#pragma once

#include <QDate>
#include <QString>

namespace mizro::db {
class Database;
}

namespace mizro::admin {

/// Fills a freshly created database with a believable municipality: both
/// bodies' members for three years ending with the current one, departments,
/// weekly committee and monthly council meetings with attendance and
/// decisions. The same seed gives the same data.
struct DemoOptions {
    QString version = QStringLiteral("14.001");
    int scale = 1; // meetings (and so decisions) multiplied by this
    QDate today = QDate::currentDate();
    quint32 seed = 1453;
};

struct DemoCounts {
    int committeeMeetings = 0;
    int councilMeetings = 0;
    int decisions = 0;
    int attendance = 0;
    int documents = 0;
};

/// Throws DbError. All or nothing.
DemoCounts fillDemoData(db::Database &db, const DemoOptions &options);

} // namespace mizro::admin
