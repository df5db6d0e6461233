#include "database.h"

#include "fbapi.h"

#include <QFileInfo>
#include <QThread>
#include <ibase.h>

namespace mizro::db {

using namespace Firebird;

namespace {

fb::Xpb &addLogin(fb::Xpb &dpb, const Login &login)
{
    dpb.string(isc_dpb_user_name, login.user.toUtf8());
    dpb.string(isc_dpb_password, login.password.toUtf8());
    // Text crosses the wire as UTF-8 whatever the client's locale.
    dpb.string(isc_dpb_lc_ctype, "UTF8");
    return dpb;
}

} // namespace

void Database::endTransaction(ITransaction *&tra, bool commit)
{
    if (!tra)
        return;
    try {
        fb::Status st;
        if (commit)
            tra->commit(st.get());
        else
            tra->rollback(st.get());
    } catch (const FbException &) {
        tra->release();
    }
    tra = nullptr;
}

const Login &Login::standard()
{
    static const Login login{QStringLiteral("SYSDBA"), QStringLiteral("VUTE")};
    return login;
}

Database::Database(QObject *parent) : QObject(parent) {}

Database::~Database()
{
    disconnect();
}

void Database::connect()
{
    disconnect();
    if (m_name.isEmpty())
        throw DbError(DbError::Kind::Connection, QStringLiteral("Veritabanı adı boş."));
    fb::guarded([&] {
        fb::Xpb dpb(IXpbBuilder::DPB);
        addLogin(dpb, m_login);
        // An unreachable server must not hang the window for minutes.
        dpb.integer(isc_dpb_connect_timeout, 10);
        fb::Status st;
        const QByteArray name = m_name.toUtf8();
        m_attachment =
            fb::provider()->attachDatabase(st.get(), name.constData(), dpb.length(), dpb.buffer());
    });
    try {
        m_read = start(false, false);
    } catch (...) {
        dropAttachment();
        throw;
    }
    ++m_generation;
}

ITransaction *Database::start(bool write, bool snapshot)
{
    return fb::guarded([&] {
        fb::Xpb tpb(IXpbBuilder::TPB);
        tpb.tag(write ? isc_tpb_write : isc_tpb_read);
        if (snapshot) {
            tpb.tag(isc_tpb_concurrency);
        } else {
            tpb.tag(isc_tpb_read_committed).tag(isc_tpb_rec_version);
        }
        // A held row is waited for by trying again (waitingForLocks), so that
        // the wait is bounded and the window can show that it waits.
        tpb.tag(isc_tpb_nowait);
        fb::Status st;
        return attachment()->startTransaction(st.get(), tpb.length(), tpb.buffer());
    });
}

QString Database::disconnect()
{
    if (!m_attachment)
        return {};
    QString error;
    // A command still open did not complete: nothing of it is kept.
    if (m_write)
        rolledBack(0);
    endTransaction(m_write, false);
    try {
        fb::guarded([&] {
            fb::Status st;
            if (m_read)
                m_read->commit(st.get());
            m_read = nullptr;
            m_attachment->detach(st.get());
            m_attachment = nullptr;
        });
    } catch (const DbError &e) {
        error = e.details().isEmpty() ? e.message() : e.details();
    }
    if (m_attachment)
        dropAttachment();
    m_commandDepth = 0;
    return error;
}

void Database::dropAttachment()
{
    endTransaction(m_write, false);
    endTransaction(m_read, false);
    m_commandDepth = 0;
    m_undos.clear();
    try {
        fb::Status st;
        m_attachment->detach(st.get());
    } catch (const FbException &) {
        m_attachment->release();
    }
    m_attachment = nullptr;
}

IAttachment *Database::attachment() const
{
    if (!m_attachment)
        throw DbError(DbError::Kind::NotConnected, QString());
    return m_attachment;
}

ITransaction *Database::transaction()
{
    attachment();
    if (m_write)
        return m_write;
    if (!m_read)
        m_read = start(false, false);
    return m_read;
}

void Database::beginCommand()
{
    if (!m_write)
        m_write = start(true, false);
}

void Database::commitCommand()
{
    if (!m_write)
        return;
    fb::guarded([&] {
        fb::Status st;
        m_write->commit(st.get());
    });
    m_write = nullptr;
}

void Database::rollbackCommand()
{
    endTransaction(m_write, false);
}

ITransaction *Database::startSnapshot()
{
    return start(false, true);
}

void Database::onRollback(std::function<void()> undo)
{
    m_undos.append({m_commandDepth, std::move(undo)});
}

void Database::rolledBack(int level)
{
    // The latest first, as a stack is unwound.
    while (!m_undos.isEmpty() && m_undos.last().first > level) {
        const std::function<void()> undo = m_undos.takeLast().second;
        undo();
    }
}

void Database::committed()
{
    m_undos.clear();
}

bool Database::retryAfterLock(const QElapsedTimer &waited)
{
    if (waited.elapsed() >= LockWaitMilliseconds)
        return false;
    if (!m_busyShown && m_busy) {
        m_busyShown = true;
        m_busy(true);
    }
    QThread::msleep(50);
    return true;
}

void Database::endWaiting()
{
    --m_waitDepth;
    if (m_waitDepth == 0 && m_busyShown) {
        m_busyShown = false;
        if (m_busy)
            m_busy(false);
    }
}

void Database::createFile(const QString &path, const CreateOptions &options)
{
    if (QFileInfo::exists(path))
        throw DbError(DbError::Kind::Other, QStringLiteral("Dosya zaten var: %1").arg(path));
    fb::guarded([&] {
        fb::Xpb dpb(IXpbBuilder::DPB);
        addLogin(dpb, Login::standard());
        dpb.integer(isc_dpb_page_size, 8192);
        dpb.integer(isc_dpb_sql_dialect, 3);
        dpb.string(isc_dpb_set_db_charset, "UTF8");
        dpb.integer(isc_dpb_force_write, options.forcedWrites ? 1 : 0);
        fb::Status st;
        const QByteArray name = path.toUtf8();
        IAttachment *att =
            fb::provider()->createDatabase(st.get(), name.constData(), dpb.length(), dpb.buffer());
        att->detach(st.get());
    });
}

} // namespace mizro::db
