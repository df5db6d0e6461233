#include "fbapi.h"

#include <QDir>
#include <QStandardPaths>
#include <ibase.h>
#include <unistd.h>

namespace mizro::db::fb {

namespace {

// The engine keeps its lock tables in FIREBIRD_LOCK (default /tmp/firebird,
// mode 0770, owned by whoever made it first). A directory of the user's own
// lets any user open an embedded file. Must happen before the engine loads.
void prepareLockDirectory()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString dir = QDir::tempPath() + QStringLiteral("/firebird-%1").arg(::getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(dir));
}

} // namespace

Firebird::IMaster *master()
{
    static Firebird::IMaster *m = [] {
        prepareLockDirectory();
        return Firebird::fb_get_master_interface();
    }();
    return m;
}

Firebird::IUtil *util()
{
    static Firebird::IUtil *u = master()->getUtilInterface();
    return u;
}

Firebird::IProvider *provider()
{
    // Held for the life of the process; releasing it would unload the engine.
    static Firebird::IProvider *p = master()->getDispatcher();
    return p;
}

DbError toDbError(const Firebird::FbException &e)
{
    const ISC_STATUS *v = e.getStatus()->getErrors();
    QVector<qint64> codes;
    for (int i = 0; v[i] != isc_arg_end;) {
        const ISC_STATUS type = v[i];
        if (type == isc_arg_gds)
            codes << v[i + 1];
        i += (type == isc_arg_cstring) ? 3 : 2;
    }
    char buffer[2048];
    const unsigned n = util()->formatStatus(buffer, sizeof buffer, e.getStatus());
    const QString text = QString::fromUtf8(buffer, int(n)).trimmed();
    const int sqlCode = int(isc_sqlcode(v));
    return DbError(DbError::classify(codes), QString(), text, codes, sqlCode);
}

Xpb::Xpb(unsigned kind)
{
    Status st;
    m_builder = util()->getXpbBuilder(st.get(), kind, nullptr, 0);
}

Xpb::~Xpb()
{
    m_builder->dispose();
}

Xpb &Xpb::tag(unsigned char t)
{
    Status st;
    m_builder->insertTag(st.get(), t);
    return *this;
}

Xpb &Xpb::integer(unsigned char t, int value)
{
    Status st;
    m_builder->insertInt(st.get(), t, value);
    return *this;
}

Xpb &Xpb::string(unsigned char t, const QByteArray &value)
{
    Status st;
    m_builder->insertBytes(st.get(), t, value.constData(), unsigned(value.size()));
    return *this;
}

unsigned Xpb::length()
{
    Status st;
    return m_builder->getBufferLength(st.get());
}

const unsigned char *Xpb::buffer()
{
    Status st;
    return m_builder->getBuffer(st.get());
}

} // namespace mizro::db::fb
