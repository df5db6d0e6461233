#include "settings.h"

#include <QDir>
#include <QSettings>

namespace mizro::app {

namespace {

QSettings openKey()
{
    return QSettings(QStringLiteral("RUFA"), programName());
}

QString readString(QSettings &s, const QString &name)
{
    const QVariant v = s.value(name);
    return v.canConvert<QString>() ? v.toString() : QString();
}

} // namespace

QString programName()
{
    return QStringLiteral("MIZRO");
}

QString databaseFileName()
{
    return programName() + QStringLiteral(".GDB");
}

QString databaseName(const QString &server, const QString &directory)
{
    const QString local = directory + QDir::separator() + databaseFileName();
    return server.isEmpty() ? local : server + QLatin1Char(':') + local;
}

Settings Settings::loadAtStart(const QDate &today, const QString &currentDirectory)
{
    QSettings key = openKey();
    Settings s;
    s.yil = readString(key, QStringLiteral("YIL")).left(4);
    s.srv = readString(key, QStringLiteral("SRV"));
    s.yol = readString(key, QStringLiteral("YOL"));
    s.mensek = readString(key, QStringLiteral("MENSEK")).left(1);
    s.rnk = readString(key, QStringLiteral("RNK"));
    if (s.yil.isEmpty())
        s.yil = QString::number(today.year());
    if (s.yol.isEmpty())
        s.yol = QDir::toNativeSeparators(currentDirectory + QStringLiteral("/DATA"));
    if (s.mensek.isEmpty())
        s.mensek = QStringLiteral("1");
    key.setValue(QStringLiteral("YIL"), s.yil);
    key.setValue(QStringLiteral("SRV"), s.srv);
    key.setValue(QStringLiteral("YOL"), s.yol);
    key.setValue(QStringLiteral("MENSEK"), s.mensek);
    key.setValue(QStringLiteral("RNK"), s.rnk);
    key.sync();
    return s;
}

Settings Settings::readLocation()
{
    QSettings key = openKey();
    Settings s;
    s.yil = readString(key, QStringLiteral("YIL"));
    s.srv = readString(key, QStringLiteral("SRV"));
    s.yol = readString(key, QStringLiteral("YOL"));
    return s;
}

bool Settings::writeLocation(const QString &yil, const QString &srv, const QString &yol)
{
    QSettings key = openKey();
    key.setValue(QStringLiteral("YIL"), yil);
    key.setValue(QStringLiteral("SRV"), srv);
    key.setValue(QStringLiteral("YOL"), yol);
    key.sync();
    return key.status() == QSettings::NoError;
}

void Settings::writeMensek(const QString &mensek)
{
    QSettings key = openKey();
    key.setValue(QStringLiteral("MENSEK"), mensek);
    key.sync();
}

} // namespace mizro::app
