#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace mizro::documents {

/// A compound file (structured storage, version 3, 512-byte sectors) held in
/// memory: the root's class identifier and the streams directly under the
/// root. Written and read through libgsf, whose reader is meant for
/// untrusted files; storages below the root are listed but not read.
class CompoundFile {
public:
    struct Stream {
        QString name;
        QByteArray data;
    };

    /// The 16 bytes of a class identifier as stored, from its text form
    /// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (empty when not one).
    static QByteArray classIdFromText(const QString &guid);

    QByteArray classId;      // 16 bytes, or empty for none
    QVector<Stream> streams; // in the order written or found
    QStringList storages;    // names of storages under the root (read only)

    bool hasEntry(const QString &name) const;
    /// A stream's bytes; nullopt when there is no such stream.
    std::optional<QByteArray> stream(const QString &name) const;

    /// The image of the file. Throws std::runtime_error when libgsf fails.
    QByteArray write() const;
    /// Reads an image; nullopt when it is not a compound file libgsf can
    /// open. A stream larger than maxStreamSize makes the whole read fail,
    /// so a forged size cannot ask for more memory than that.
    static std::optional<CompoundFile> read(const QByteArray &image,
                                            qint64 maxStreamSize = 64 * 1024 * 1024);
};

} // namespace mizro::documents
