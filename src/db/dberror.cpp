#include "dberror.h"

#include <ibase.h>

namespace mizro::db {

DbError::DbError(Kind kind, const QString &engineText, QVector<qint64> codes, int sqlCode)
    : std::runtime_error(engineText.toStdString()), m_kind(kind), m_engineText(engineText),
      m_codes(std::move(codes)), m_sqlCode(sqlCode)
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
    QString text;
    switch (m_kind) {
    case Kind::Duplicate:
        text = QStringLiteral("Bu numara ile kayıtlı bir satır zaten var; kayıt yapılamadı.");
        break;
    case Kind::TooLong:
        text = QStringLiteral("Girilen metin alanın uzunluğunu aşıyor; kayıt yapılamadı.");
        break;
    case Kind::OutOfRange:
        text =
            QStringLiteral("Girilen sayı alanın alabileceği sınırların dışında; kayıt yapılamadı.");
        break;
    case Kind::NotANumber:
        text = QStringLiteral(
            "Sayı beklenen bir alana sayı olmayan bir değer girildi; kayıt yapılamadı.");
        break;
    case Kind::MissingValue:
        text = QStringLiteral("Zorunlu bir alan boş bırakıldı; kayıt yapılamadı.");
        break;
    case Kind::LockConflict:
        text = QStringLiteral("Bu kayıt başka bir kullanıcı tarafından değiştiriliyor; "
                              "biraz sonra yeniden deneyiniz.");
        break;
    case Kind::NotConnected:
        text = QStringLiteral("Veritabanı bağlantısı yok.");
        break;
    case Kind::Connection:
        text = QStringLiteral("Veritabanı açılamadı.");
        break;
    case Kind::NotADatabase:
        text = QStringLiteral("Dosya bir veritabanı dosyası değil.");
        break;
    case Kind::Parameter:
    case Kind::Other:
        return m_engineText;
    }
    return m_engineText.isEmpty() ? text : text + QLatin1Char('\n') + m_engineText;
}

} // namespace mizro::db
