#include "singleinstance.h"

#include <QDir>

namespace mizro::app {

SingleInstance::SingleInstance() : m_lock(std::make_unique<QLockFile>(lockPath()))
{
    // Never treat a live holder's lock as stale, however long it runs.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}

QString SingleInstance::lockPath()
{
    return QDir::temp().filePath(QStringLiteral("MIZRO.EXE.lock"));
}

QString SingleInstance::refusalText()
{
    return QStringLiteral(
        "Dikkat! MIZRO Proragramı zaten çalışıyor....\nBirden Fazla Çalıştıramazsınız.");
}

} // namespace mizro::app
