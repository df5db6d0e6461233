#include "numbering.h"

#include "db/dberror.h"
#include "db/query.h"

namespace mizro::reg {

void lockNumbering(db::Database &db)
{
    // The definitions row exists in every database the program opens (it
    // holds the version); an update of it is held until the command ends.
    db::Query q(db, QStringLiteral("UPDATE TANIM SET VER=VER"));
    q.exec();
    if (q.rowsAffected() == 0)
        throw db::DbError(db::DbError::Kind::Other,
                          QStringLiteral("Tanım kaydı bulunamadı; numaralar korunamadığından "
                                         "kayıt yapılmadı."));
}

QString renumberedText(const QString &what, int taken, int given)
{
    return QStringLiteral("%1 numarası %2 bu arada başka bir kayıtta kullanıldı; yerine %3 "
                          "numarası verildi.")
        .arg(what)
        .arg(taken)
        .arg(given);
}

} // namespace mizro::reg
