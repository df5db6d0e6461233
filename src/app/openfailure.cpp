#include "openfailure.h"

#include "db/dberror.h"
#include "db/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <ibase.h>
#include <unistd.h>

namespace mizro::app {

namespace {

QString permissionReason()
{
    return QStringLiteral("Bu dosyayı açma izniniz yok: okuma ve yazma izni gerekir.");
}

QString notADatabase()
{
    return QStringLiteral("Dosya bir Firebird veritabanı değil.");
}

// "host", "host/port" of "host:path" / "host/port:path".
QString serverOf(const QString &databaseName)
{
    return databaseName.left(databaseName.indexOf(QLatin1Char(':')));
}

} // namespace

QString OpenFailure::fileReason(const QString &path)
{
    const QFileInfo file(path);
    if (!file.absoluteDir().exists())
        return QStringLiteral("Veritabanı yolu bulunamadı.");
    if (file.isDir())
        return QStringLiteral("Verilen ad bir klasörün adı, veritabanı dosyası değil.");
    if (!file.exists())
        return QStringLiteral("Veritabanı dosyası bulunamadı.");
    // The engine opens the file for reading and writing.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES || errno == EPERM || errno == EROFS ? permissionReason() : QString();
    ::close(fd);
    if (file.size() == 0)
        return QStringLiteral("Dosya boş: bir Firebird veritabanı değil.");
    return {};
}

OpenFailure OpenFailure::explain(const QString &databaseName, const db::DbError &e)
{
    OpenFailure f;
    f.details = e.details();
    const db::Services::Target target = db::Services::target(databaseName);
    if (!target.remote)
        f.reason = fileReason(target.path);
    if (!f.reason.isEmpty())
        return f;

    const QString &text = e.details();
    if (e.hasCode(isc_login))
        f.reason = QStringLiteral("Sunucu kullanıcı adını ya da şifreyi kabul etmedi.");
    else if (e.hasCode(isc_already_opened) || e.hasCode(isc_lock_conflict) ||
             e.hasCode(isc_lock_timeout))
        f.reason = QStringLiteral("Dosya başka bir program tarafından kullanılıyor.");
    else if (e.hasCode(isc_bad_db_format))
        f.reason = notADatabase();
    else if (e.hasCode(isc_wrong_ods))
        f.reason = QStringLiteral("Dosya, bu Firebird sürümünün açamadığı bir sürümle "
                                  "oluşturulmuş bir veritabanı.");
    else if (e.hasCode(isc_net_lookup_err))
        f.reason = QStringLiteral("Ana makina bulunamadı: %1.").arg(serverOf(databaseName));
    else if (e.hasCode(isc_network_error) || e.hasCode(isc_net_connect_err) ||
             e.hasCode(isc_net_read_err) || e.hasCode(isc_net_write_err))
        f.reason = QStringLiteral("Sunucuya ulaşılamadı (%1): sunucu kapalı ya da ağ "
                                  "bağlantısı yok.")
                       .arg(serverOf(databaseName));
    else if (text.contains(QLatin1String("Permission denied")))
        f.reason = permissionReason();
    else if (e.hasCode(isc_io_error) && text.contains(QLatin1String("less than expected")))
        // Shorter than the engine's first page: some other, small file.
        f.reason = notADatabase();
    else if (target.remote && e.hasCode(isc_io_open_err))
        f.reason = QStringLiteral("Sunucuda veritabanı dosyası bulunamadı.");
    else
        f.reason = e.message();
    return f;
}

} // namespace mizro::app
