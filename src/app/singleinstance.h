#pragma once

#include <QLockFile>
#include <memory>

namespace mizro::app {

/// The one running copy of the program per machine: a lock file named after
/// "MIZRO.EXE" in the temporary directory, held for the life of the process.
/// A lock left by a crashed copy is taken over.
class SingleInstance {
public:
    SingleInstance();
    /// False when another copy holds the lock.
    bool acquire();
    static QString lockPath();
    static QString refusalText();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace mizro::app
