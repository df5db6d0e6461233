#pragma once

#include <QDate>
#include <QString>

namespace mizro::app {

/// A date split into its parts, with the Turkish month name in capitals.
struct TarihParts {
    int day = 0;
    int month = 0;
    int year = 0;
    QString monthName;
    bool valid = false;
};

/// TARIHBUL: day, month, year and month name of a date.
TarihParts tarihBul(const QDate &date);
/// The same for a date written in the short format "dd/MM/yyyy" (or "d.M.yyyy").
TarihParts tarihBul(const QString &text);
/// The status panel's date line: "9-MAYIS(5)-2021".
QString dateLine(const QDate &date);
QString monthName(int month);

} // namespace mizro::app
