#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace mizro::app {

/// The one running copy of the program per user: a lock file named after
/// "MIZRO.EXE" in the user's runtime directory, held for the life of the
/// process. Another user of the same machine (a terminal server) has a lock
/// of their own. A lock left by a crashed copy is taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString &directory = defaultDirectory());
    /// False when another copy holds the lock.
    bool acquire();
    const QString &lockPath() const { return m_path; }
    /// XDG_RUNTIME_DIR (private to the user), else a directory of the
    /// user's own that Qt makes under the temporary directory.
    static QString defaultDirectory();
    static QString refusalText();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace mizro::app
