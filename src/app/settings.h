#pragma once

#include <QDate>
#include <QString>

namespace mizro::app {

/// The per-user settings (QSettings "RUFA"/"MIZRO"; the Windows registry key
/// \Software\RUFA\MIZRO), all strings. Failures to read or write are ignored.
struct Settings {
    QString yil;    // working year, cut to 4 characters
    QString srv;    // server host; empty = local file
    QString yol;    // directory of the database file
    QString mensek; // register variant, cut to 1 character
    QString rnk;    // kept unchanged

    /// Reads the five values, applies the defaults to the empty ones (the
    /// current year, the current directory + "/DATA", "1") and writes all
    /// five back in the order YIL, SRV, YOL, MENSEK, RNK.
    static Settings loadAtStart(const QDate &today, const QString &currentDirectory);
    /// What the database location dialog shows: YIL (as stored), SRV, YOL.
    static Settings readLocation();
    /// False when the settings store could not be written.
    static bool writeLocation(const QString &yil, const QString &srv, const QString &yol);
    static void writeMensek(const QString &mensek);
};

/// "MIZRO.GDB" in the directory, on the server when one is given:
/// SRV + ":" + YOL + separator + file, else YOL + separator + file.
QString databaseName(const QString &server, const QString &directory);
QString databaseFileName();
QString programName();

} // namespace mizro::app
