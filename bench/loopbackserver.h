#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QTextStream>
#include <exception>
#include <functional>

/// Runs work on a copy of the database file served by a private Firebird
/// server on loopback (scripts/fbserver), with the name to attach it by.
/// False when no server could be started or the work failed.
inline bool onLoopbackServer(const QString &path, const QString &serverDir,
                             const std::function<void(const QString &name)> &work)
{
    const QString script = QStringLiteral(MIZRO_SOURCE_DIR "/scripts/fbserver");
    if (QProcess::execute(script, {"start", serverDir}) != 0)
        return false;
    QFile port(serverDir + "/port");
    port.open(QIODevice::ReadOnly);
    const QString served = serverDir + "/data/MIZRO.GDB";
    QFile::copy(path, served);
    bool done = false;
    try {
        work("127.0.0.1/" + QString::fromLatin1(port.readAll()).trimmed() + ":" + served);
        done = true;
    } catch (const std::exception &e) {
        QTextStream(stdout) << "server: " << e.what() << "\n";
    }
    QProcess::execute(script, {"stop", serverDir});
    return done;
}
