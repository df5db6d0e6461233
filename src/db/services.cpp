#include "services.h"

#include "dberror.h"
#include "fbapi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ibase.h>
#include <optional>

#ifdef __linux__
#include <dlfcn.h>
#include <link.h>
#endif

namespace mizro::db {

using namespace Firebird;

namespace {

const QString ServiceManager = QStringLiteral("service_mgr");

/// Detaches from the services manager however the work ends.
class Attachment {
public:
    explicit Attachment(IService *service) : m_service(service) {}
    ~Attachment()
    {
        try {
            fb::Status st;
            m_service->detach(st.get());
        } catch (const FbException &) {
            m_service->release();
        }
    }
    Attachment(const Attachment &) = delete;
    Attachment &operator=(const Attachment &) = delete;
    IService *operator->() const { return m_service; }

private:
    IService *m_service;
};

// The engine's service thread lives on for a moment after the service has
// reported its end, and at process exit the client library unloads the engine
// under it: a tool or test that ends right after a backup crashed about one
// time in three (Firebird 3.0.11). Keeping the engine mapped until the
// process is gone lets the thread finish.
void keepEngineLoaded()
{
#ifdef __linux__
    static const bool done = [] {
        dl_iterate_phdr(
            [](dl_phdr_info *info, size_t, void *) {
                if (info->dlpi_name && std::strstr(info->dlpi_name, "/libEngine12.so"))
                    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                return 0;
            },
            nullptr);
        return true;
    }();
    Q_UNUSED(done);
#endif
}

int littleEndian16(const unsigned char *p)
{
    return p[0] | (p[1] << 8);
}

/// Starts one service and reads its output to the end, line by line.
QStringList runService(const Services::Target &target, const QString &user, const QString &password,
                       fb::Xpb &start, const Services::Progress &progress)
{
    return fb::guarded([&] {
        fb::Xpb spb(IXpbBuilder::SPB_ATTACH);
        spb.string(isc_spb_user_name, user.toUtf8());
        spb.string(isc_spb_password, password.toUtf8());
        // File names below are sent as UTF-8 whatever the server's code page.
        spb.tag(isc_spb_utf8_filename);
        fb::Status st;
        const QByteArray name = target.service.toUtf8();
        Attachment service(fb::provider()->attachServiceManager(st.get(), name.constData(),
                                                                spb.length(), spb.buffer()));
        if (!target.remote)
            keepEngineLoaded();
        service->start(st.get(), start.length(), start.buffer());

        // A one-second wait per call keeps the caller's window alive while
        // the engine works on a large table without writing anything.
        const unsigned char send[] = {isc_info_svc_timeout, 4, 0, 1, 0, 0, 0};
        const unsigned char receive[] = {isc_info_svc_line};
        QByteArray buffer(16384, '\0');
        auto *data = reinterpret_cast<unsigned char *>(buffer.data());
        QStringList lines;
        // The engine reports a failure while its thread is still cleaning up
        // (gbak removing its half-written file): read on to the real end.
        std::optional<DbError> failure;
        for (;;) {
            try {
                service->query(st.get(), sizeof send, send, sizeof receive, receive,
                               unsigned(buffer.size()), data);
            } catch (const FbException &e) {
                if (failure)
                    break;
                failure = fb::toDbError(e);
                continue;
            }
            QByteArray line;
            bool waiting = false;
            for (const unsigned char *p = data; p < data + buffer.size() && *p != isc_info_end;) {
                const unsigned char item = *p++;
                if (item == isc_info_svc_line) {
                    const int length = littleEndian16(p);
                    line = QByteArray(reinterpret_cast<const char *>(p + 2), length);
                    p += 2 + length;
                } else if (item == isc_info_svc_timeout || item == isc_info_data_not_ready) {
                    waiting = true;
                } else {
                    break; // isc_info_truncated cannot follow one line in 16 KB
                }
            }
            if (line.isEmpty() && !waiting)
                break;
            // The engine ends its lines with a space and separates blocks
            // with a line of one space.
            const QString text = QString::fromUtf8(line).trimmed();
            if (!line.isEmpty())
                lines << text;
            if (progress)
                progress(text);
        }
        if (failure)
            throw *failure;
        return lines;
    });
}

/// "HH:MM:SS.ss " before each line of the validation.
QString withoutTime(const QString &line)
{
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d+\\s+"));
    return QString(line).remove(time);
}

DbError backupError(const QString &file, const QString &reason, const DbError *engine = nullptr)
{
    QString text =
        QStringLiteral("Yedek dosyası yazılamadı: %1").arg(QDir::toNativeSeparators(file));
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return DbError(DbError::Kind::Other, text, engine ? engine->details() : QString(),
                   engine ? engine->codes() : QVector<qint64>(), engine ? engine->sqlCode() : 0);
}

} // namespace

Services::Services(const Login &login) : m_login(login) {}

Services::Target Services::target(const QString &databaseName)
{
    const qsizetype colon = databaseName.indexOf(QLatin1Char(':'));
    // "C:\..." names a drive, not a host.
    const bool drive =
        colon == 1 && databaseName.size() > 2 &&
        (databaseName[2] == QLatin1Char('\\') || databaseName[2] == QLatin1Char('/'));
    if (colon <= 0 || drive)
        return {ServiceManager, databaseName, false};
    return {databaseName.left(colon + 1) + ServiceManager, databaseName.mid(colon + 1), true};
}

Services::Validation Services::validate(const QString &databaseName, const Progress &progress) const
{
    const Target t = target(databaseName);
    fb::Xpb start(IXpbBuilder::SPB_START);
    fb::guarded([&] {
        start.tag(isc_action_svc_validate);
        start.string(isc_spb_dbname, t.path.toUtf8());
        start.integer(isc_spb_val_lock_timeout, 1);
    });
    Validation v;
    v.output = runService(t, m_login.user, m_login.password, start, progress);

    // "Relation 131 (EKAR)" opens a table's block; damage shows as
    // "Error: ..." lines and "Relation 131 (EKAR) : 1 ERRORS found". A table
    // the engine could not lock gets "Acquire relation lock failed" and the
    // same summary, which is no damage.
    static const QRegularExpression relation(QStringLiteral("^Relation \\d+ \\((.+)\\)"));
    static const QRegularExpression summary(QStringLiteral("\\d+ ERRORS? found"));
    QString table;
    bool busy = false;
    for (const QString &raw : std::as_const(v.output)) {
        const QString line = withoutTime(raw);
        const QRegularExpressionMatch m = relation.match(line);
        if (m.hasMatch() && m.captured(1) != table) {
            table = m.captured(1);
            busy = false;
        }
        if (line.contains(QStringLiteral("Acquire relation lock failed"))) {
            busy = true;
            if (!table.isEmpty() && !v.busyTables.contains(table))
                v.busyTables << table;
            continue;
        }
        const bool isSummary = summary.match(line).hasMatch();
        if (isSummary && busy)
            continue;
        if (isSummary || line.startsWith(QStringLiteral("Error"))) {
            v.errors << line;
            if (!table.isEmpty() && !v.damagedTables.contains(table))
                v.damagedTables << table;
        }
    }
    return v;
}

Services::Backup Services::backup(const QString &databaseName, const QString &backupFile,
                                  const Progress &progress) const
{
    const Target t = target(databaseName);
    QString engineFile = backupFile;
    if (!t.remote) {
        const QFileInfo info(backupFile);
        if (info.isDir())
            throw backupError(backupFile, QStringLiteral("Bu ad bir klasörün adı."));
        if (!info.absoluteDir().exists())
            throw backupError(backupFile, QStringLiteral("Klasör yok: %1")
                                              .arg(QDir::toNativeSeparators(info.absolutePath())));
        engineFile = backupFile + QStringLiteral(".part");
        QFile::remove(engineFile);
    }
    fb::Xpb start(IXpbBuilder::SPB_START);
    fb::guarded([&] {
        start.tag(isc_action_svc_backup);
        start.string(isc_spb_dbname, t.path.toUtf8());
        start.string(isc_spb_bkp_file, engineFile.toUtf8());
        start.tag(isc_spb_verbose);
    });
    Backup b;
    try {
        b.output = runService(t, m_login.user, m_login.password, start, progress);
    } catch (const DbError &e) {
        if (!t.remote)
            QFile::remove(engineFile);
        if (e.hasCode(isc_gbak_open_bkup_error) || e.hasCode(isc_gbak_write_error) ||
            e.hasCode(isc_gbak_hdr_write_failed))
            throw backupError(backupFile, QString(), &e);
        QString text = QStringLiteral("Yedek alınamadı: %1\n%2")
                           .arg(QDir::toNativeSeparators(backupFile), e.message());
        throw DbError(DbError::Kind::Other, text, e.details(), e.codes(), e.sqlCode());
    }
    if (!t.remote) {
        // rename() replaces an existing target in one step.
        if (std::rename(QFile::encodeName(engineFile).constData(),
                        QFile::encodeName(backupFile).constData()) != 0) {
            QFile::remove(engineFile);
            throw backupError(backupFile, QString::fromLocal8Bit(std::strerror(errno)));
        }
        b.size = QFileInfo(backupFile).size();
    } else {
        // "gbak:closing file, committing, and finishing. 337920 bytes written"
        static const QRegularExpression written(QStringLiteral("(\\d+) bytes written"));
        for (const QString &line : std::as_const(b.output)) {
            const QRegularExpressionMatch m = written.match(line);
            if (m.hasMatch())
                b.size = m.captured(1).toLongLong();
        }
    }
    return b;
}

} // namespace mizro::db
