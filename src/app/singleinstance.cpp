#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>
#include <unistd.h>

namespace mizro::app {

SingleInstance::SingleInstance(const QString &directory)
    : m_path(QDir(directory).filePath(QStringLiteral("MIZRO.EXE.lock"))),
      m_lock(std::make_unique<QLockFile>(m_path))
{
    // Never treat a live holder's lock as stale, however long it runs.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    return m_lock->tryLock(0);
}

QString SingleInstance::defaultDirectory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/mizro-%1").arg(::getuid());
}

QString SingleInstance::refusalText()
{
    return QStringLiteral(
        "Dikkat! MIZRO Proragramı zaten çalışıyor....\nBirden Fazla Çalıştıramazsınız.");
}

} // namespace mizro::app
