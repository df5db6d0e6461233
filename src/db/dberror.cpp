#include "dberror.h"

#include <ibase.h>

namespace mizro::db {

DbError::DbError(Kind kind, const QString &text, const QString &details, QVector<qint64> codes,
                 int sqlCode)
    : std::runtime_error((text.isEmpty() ? details : text).toStdString()), m_kind(kind),
      m_text(text), m_details(details), m_codes(std::move(codes)), m_sqlCode(sqlCode)
{
}

DbError::Kind DbError::classify(const QVector<qint64> &codes)
{
    // Order matters: the engine wraps the specific code in general ones.
    if (codes.contains(isc_unique_key_violation) || codes.contains(isc_no_dup))
        return Kind::Duplicate;
    if (codes.contains(isc_string_truncation))
        return Kind::TooLong;
    if (codes.contains(isc_numeric_out_of_range))
        return Kind::OutOfRange;
    if (codes.contains(isc_convert_error))
        return Kind::NotANumber;
    if (codes.contains(isc_not_valid))
        return Kind::MissingValue;
    if (codes.contains(isc_lock_conflict) || codes.contains(isc_update_conflict) ||
        codes.contains(isc_deadlock) || codes.contains(isc_lock_timeout))
        return Kind::LockConflict;
    if (codes.contains(isc_bad_db_format))
        return Kind::NotADatabase;
    if (codes.contains(isc_arith_except))
        return Kind::OutOfRange;
    if (codes.contains(isc_io_error) || codes.contains(isc_io_open_err) ||
        codes.contains(isc_network_error) || codes.contains(isc_unavailable) ||
        codes.contains(isc_login))
        return Kind::Connection;
    return Kind::Other;
}

QString DbError::message() const
{
    return m_text.isEmpty() ? kindText(m_kind) : m_text;
}

QString DbError::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Duplicate:
        return QStringLiteral("Bu numara ile kayıtlı bir satır zaten var; kayıt yapılamadı.");
    case Kind::TooLong:
        return QStringLiteral("Girilen metin alanın uzunluğunu aşıyor; kayıt yapılamadı.");
    case Kind::OutOfRange:
        return QStringLiteral(
            "Girilen sayı alanın alabileceği sınırların dışında; kayıt yapılamadı.");
    case Kind::NotANumber:
        return QStringLiteral(
            "Sayı beklenen bir alana sayı olmayan bir değer girildi; kayıt yapılamadı.");
    case Kind::MissingValue:
        return QStringLiteral("Zorunlu bir alan boş bırakıldı; kayıt yapılamadı.");
    case Kind::LockConflict:
        return QStringLiteral("Bu kayıt başka bir kullanıcı tarafından değiştiriliyor; "
                              "biraz sonra yeniden deneyiniz.");
    case Kind::RowChanged:
        return QStringLiteral("Bu kayıt, siz okuduktan sonra başka bir kullanıcı tarafından "
                              "değiştirilmiş ya da silinmiş; değişikliğiniz kaydedilmedi.");
    case Kind::NotConnected:
        return QStringLiteral("Veritabanı bağlantısı yok.");
    case Kind::Connection:
        return QStringLiteral("Veritabanı açılamadı.");
    case Kind::NotADatabase:
        return QStringLiteral("Dosya bir veritabanı dosyası değil.");
    case Kind::Parameter:
    case Kind::Other:
        break;
    }
    return QStringLiteral("Veritabanı işlemi yapılamadı.");
}

} // namespace mizro::db
