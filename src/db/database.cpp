#include "database.h"

#include "fbapi.h"

#include <QFileInfo>
#include <ibase.h>

namespace mizro::db {

using namespace Firebird;

namespace {

fb::Xpb &addLogin(fb::Xpb &dpb, const QString &user, const QString &password)
{
    dpb.string(isc_dpb_user_name, user.toUtf8());
    dpb.string(isc_dpb_password, password.toUtf8());
    // Text crosses the wire as UTF-8 whatever the client's locale.
    dpb.string(isc_dpb_lc_ctype, "UTF8");
    return dpb;
}

} // namespace

Database::Database(QObject *parent) : QObject(parent) {}

Database::~Database()
{
    disconnect();
}

void Database::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

void Database::connect()
{
    disconnect();
    if (m_name.isEmpty())
        throw DbError(DbError::Kind::Connection, QStringLiteral("Veritabanı adı boş."));
    fb::guarded([&] {
        fb::Xpb dpb(IXpbBuilder::DPB);
        addLogin(dpb, m_user, m_password);
        // An unreachable server must not hang the window for minutes.
        dpb.integer(isc_dpb_connect_timeout, 10);
        fb::Status st;
        const QByteArray name = m_name.toUtf8();
        m_attachment =
            fb::provider()->attachDatabase(st.get(), name.constData(), dpb.length(), dpb.buffer());
    });
    try {
        startTransaction();
    } catch (...) {
        dropAttachment();
        throw;
    }
    ++m_generation;
    emit connectionChanged(true);
}

void Database::startTransaction()
{
    fb::guarded([&] {
        fb::Xpb tpb(IXpbBuilder::TPB);
        tpb.tag(isc_tpb_write)
            .tag(isc_tpb_read_committed)
            .tag(isc_tpb_rec_version)
            .tag(isc_tpb_wait)
            .integer(isc_tpb_lock_timeout, LockTimeoutSeconds);
        fb::Status st;
        m_transaction = m_attachment->startTransaction(st.get(), tpb.length(), tpb.buffer());
    });
}

QString Database::disconnect()
{
    if (!m_attachment)
        return {};
    QString error;
    if (m_transaction) {
        try {
            fb::guarded([&] {
                fb::Status st;
                m_transaction->commit(st.get());
            });
            m_transaction = nullptr;
        } catch (const DbError &e) {
            error = e.details().isEmpty() ? e.message() : e.details();
        }
    }
    dropAttachment();
    m_guardDepth = 0;
    emit connectionChanged(false);
    return error;
}

void Database::dropAttachment()
{
    if (m_transaction) {
        try {
            fb::Status st;
            m_transaction->rollback(st.get());
        } catch (const FbException &) {
            m_transaction->release();
        }
        m_transaction = nullptr;
    }
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
    if (!m_transaction)
        startTransaction();
    return m_transaction;
}

void Database::commitRetaining()
{
    fb::guarded([&] {
        fb::Status st;
        transaction()->commitRetaining(st.get());
    });
}

void Database::restartTransaction()
{
    transaction();
    fb::guarded([&] {
        fb::Status st;
        m_transaction->commit(st.get());
    });
    m_transaction = nullptr;
    startTransaction();
}

void Database::rollbackRetaining()
{
    fb::guarded([&] {
        fb::Status st;
        transaction()->rollbackRetaining(st.get());
    });
}

void Database::createFile(const QString &path, const CreateOptions &options)
{
    if (QFileInfo::exists(path))
        throw DbError(DbError::Kind::Other, QStringLiteral("Dosya zaten var: %1").arg(path));
    fb::guarded([&] {
        fb::Xpb dpb(IXpbBuilder::DPB);
        addLogin(dpb, QStringLiteral("SYSDBA"), QStringLiteral("VUTE"));
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
