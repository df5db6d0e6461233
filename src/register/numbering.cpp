#include "numbering.h"

#include "db/query.h"

namespace mizro::reg {

void lockNumbering(db::Database &db)
{
    // The definitions row exists in every database the program opens (it
    // holds the version); an update of it is held until the command ends.
    db::Query q(db, QStringLiteral("UPDATE TANIM SET VER=VER"));
    q.exec();
}

QString renumberedText(const QString &what, int taken, int given)
{
    return QStringLiteral("%1 numarası %2, siz girerken başka bir kullanıcı tarafından "
                          "kullanıldı. Kayıt %3 numarasıyla yapıldı.")
        .arg(what)
        .arg(taken)
        .arg(given);
}

} // namespace mizro::reg
