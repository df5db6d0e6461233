#include "query.h"

#include "database.h"
#include "fbapi.h"
#include "readsnapshot.h"
#include "writeguard.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstring>
#include <ibase.h>

namespace mizro::db {

using namespace Firebird;

namespace {

constexpr unsigned CharsetOctets = 1;
constexpr unsigned CharsetUnicodeFss = 3;
constexpr unsigned CharsetUtf8 = 4;
constexpr unsigned BlobSegment = 32 * 1024;
// The most bytes a VARCHAR value can carry.
constexpr qsizetype MaxVaryingBytes = 32765;
// Days between Firebird's day 0 (17 Nov 1858) and the Julian day count.
constexpr qint64 JulianOffset = 2400001;

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

ISC_DATE encodeDate(const QDate &d)
{
    return ISC_DATE(d.toJulianDay() - JulianOffset);
}

QDate decodeDate(ISC_DATE d)
{
    return QDate::fromJulianDay(qint64(d) + JulianOffset);
}

ISC_TIME encodeTime(const QTime &t)
{
    return ISC_TIME(t.msecsSinceStartOfDay()) * 10;
}

QTime decodeTime(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

/// Characters of a CHAR or VARCHAR of the given byte length; 0 for other types.
int characterLength(unsigned type, unsigned bytes, unsigned charset)
{
    if (type != SQL_TEXT && type != SQL_VARYING)
        return 0;
    const unsigned perChar = charset == CharsetUtf8 ? 4 : charset == CharsetUnicodeFss ? 3 : 1;
    return int(bytes / perChar);
}

/// Characters as the engine counts them: code points, not UTF-16 units.
qsizetype codePoints(const QString &s)
{
    qsizetype n = 0;
    for (const QChar c : s)
        n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

DbError tooLong(const QString &field, qsizetype limit, qsizetype given)
{
    return DbError(DbError::Kind::TooLong,
                   QStringLiteral("%1 alanına en çok %2 karakter yazılabilir; girilen metin %3 "
                                  "karakter.")
                       .arg(field)
                       .arg(limit)
                       .arg(given));
}

} // namespace

ParsedSql parseNamedParameters(const QString &sql)
{
    ParsedSql out;
    QString positional;
    positional.reserve(sql.size());
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text or identifier: copied whole; doubled quotes stay inside.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            positional += QStringView(sql).mid(i, qMin(j + 1, n) - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            int j = i;
            while (j < n && sql[j] != QLatin1Char('\n'))
                ++j;
            positional += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            int j = int(sql.indexOf(QStringLiteral("*/"), i + 2));
            j = j < 0 ? n : j + 2;
            positional += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentChar(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isIdentChar(sql[j]))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1).toUpper();
            positional += QLatin1Char('?');
            i = j;
        } else {
            positional += c;
            ++i;
        }
    }
    out.positional = positional.toUtf8();
    return out;
}

Query::Query(Database &db, const QString &sql) : m_db(db)
{
    if (!sql.isEmpty())
        setSql(sql);
}

Query::~Query()
{
    try {
        release();
    } catch (...) {
        // Destructors must not throw; the engine frees what is left at detach.
    }
}

void Query::setSql(const QString &sql)
{
    release();
    m_sql = sql;
    ParsedSql parsed = parseNamedParameters(sql);
    m_positional = parsed.positional;
    m_names.clear();
    m_positions.clear();
    for (const QString &name : std::as_const(parsed.names)) {
        int idx = int(m_names.indexOf(name));
        if (idx < 0) {
            idx = int(m_names.size());
            m_names << name;
        }
        m_positions << idx;
    }
    m_values = QVector<QVariant>(m_names.size());
    m_bound = QVector<bool>(m_names.size(), false);
}

void Query::bind(const QString &name, const QVariant &value)
{
    const int idx = int(m_names.indexOf(name.toUpper()));
    if (idx < 0)
        throw DbError(DbError::Kind::Parameter,
                      QStringLiteral("Parametre bulunamadı: %1").arg(name));
    m_values[idx] = value;
    m_bound[idx] = true;
}

void Query::clearBindings()
{
    m_values.fill(QVariant());
    m_bound.fill(false);
}

void Query::close()
{
    if (m_cursor) {
        IResultSet *cursor = m_cursor;
        m_cursor = nullptr;
        try {
            fb::Status st;
            cursor->close(st.get());
        } catch (const FbException &) {
            cursor->release();
        }
    }
}

void Query::release()
{
    close();
    if (m_outMeta) {
        m_outMeta->release();
        m_outMeta = nullptr;
    }
    if (m_statement) {
        // A statement of an earlier attachment is only released, never freed.
        if (m_preparedFor == m_db.generation() && m_db.isConnected()) {
            try {
                fb::Status st;
                m_statement->free(st.get());
            } catch (const FbException &) {
                m_statement->release();
            }
        } else {
            m_statement->release();
        }
        m_statement = nullptr;
    }
}

void Query::prepare()
{
    if (m_statement && m_preparedFor == m_db.generation() && m_db.isConnected())
        return;
    release();
    IAttachment *att = m_db.attachment();
    ITransaction *tra = m_db.transaction();
    fb::guarded([&] {
        fb::Status st;
        // Kept only once everything about it is known.
        IStatement *statement =
            att->prepare(st.get(), tra, unsigned(m_positional.size()), m_positional.constData(),
                         SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        try {
            const unsigned type = statement->getType(st.get());
            fb::Ref<IMessageMetadata> out(statement->getOutputMetadata(st.get()));
            const unsigned count = out->getCount(st.get());
            QStringList fields;
            QHash<QString, int> index;
            QVector<int> lengths;
            QVector<QPair<QString, QString>> origins;
            for (unsigned i = 0; i < count; ++i) {
                const QString name = QString::fromUtf8(out->getAlias(st.get(), i)).toUpper();
                fields << name;
                lengths << characterLength(out->getType(st.get(), i) & ~1u,
                                           out->getLength(st.get(), i),
                                           out->getCharSet(st.get(), i));
                origins << qMakePair(QString::fromUtf8(out->getRelation(st.get(), i)),
                                     QString::fromUtf8(out->getField(st.get(), i)));
                if (!index.contains(name))
                    index.insert(name, int(i));
            }
            m_outBuffer = QByteArray(int(out->getMessageLength(st.get())), '\0');
            m_returnsRows =
                type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
            m_fields = fields;
            m_fieldIndex = index;
            m_fieldLengths = lengths;
            m_fieldOrigins = origins;
            m_outMeta = out.get();
            m_outMeta->addRef();
        } catch (...) {
            statement->release();
            throw;
        }
        m_statement = statement;
        m_preparedFor = m_db.generation();
    });
}

void Query::checkLength(IMessageMetadata *described, unsigned i, const QVariant &v) const
{
    if (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray)
        return;
    fb::Status st;
    const unsigned declared = described->getType(st.get(), i) & ~1u;
    if (declared == SQL_BLOB)
        return; // any length
    const bool bytes = v.typeId() == QMetaType::QByteArray;
    const qsizetype given = bytes ? v.toByteArray().size() : codePoints(v.toString());
    // The engine does not name the column a parameter goes to; the
    // statements of this program name their parameters after their columns.
    const QString field = m_names.value(m_positions[int(i)]);
    const int limit = characterLength(declared, described->getLength(st.get(), i),
                                      bytes ? CharsetOctets : described->getCharSet(st.get(), i));
    if (limit > 0 && given > limit)
        throw tooLong(field, limit, given);
}

fb::Ref<IMessageMetadata> Query::buildInput(QByteArray &buffer)
{
    fb::Status st;
    const fb::Ref<IMessageMetadata> described(m_statement->getInputMetadata(st.get()));
    const unsigned count = described->getCount(st.get());
    if (count == 0)
        return fb::Ref<IMessageMetadata>();
    // Refused before anything is written.
    for (unsigned i = 0; i < count; ++i)
        checkLength(described.get(), i, m_values[m_positions[int(i)]]);
    const fb::Ref<IMetadataBuilder> builder(described->getBuilder(st.get()));
    QVector<QByteArray> encoded;
    encoded.resize(count);

    for (unsigned i = 0; i < count; ++i) {
        const QVariant &v = m_values[m_positions[int(i)]];
        const unsigned declared = described->getType(st.get(), i) & ~1u;
        if (v.isNull() || !v.isValid()) {
            builder->setType(st.get(), i, declared | 1);
            continue;
        }
        if (declared == SQL_BLOB) {
            // Blob ids are written after the buffer is laid out.
            encoded[int(i)] =
                v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
            builder->setType(st.get(), i, SQL_BLOB | 1);
            builder->setLength(st.get(), i, sizeof(ISC_QUAD));
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Bool:
            builder->setType(st.get(), i, SQL_INT64 | 1);
            builder->setLength(st.get(), i, sizeof(ISC_INT64));
            builder->setScale(st.get(), i, 0);
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            builder->setType(st.get(), i, SQL_DOUBLE | 1);
            builder->setLength(st.get(), i, sizeof(double));
            builder->setScale(st.get(), i, 0);
            break;
        case QMetaType::QDate:
            builder->setType(st.get(), i, SQL_TYPE_DATE | 1);
            builder->setLength(st.get(), i, sizeof(ISC_DATE));
            break;
        case QMetaType::QTime:
            builder->setType(st.get(), i, SQL_TYPE_TIME | 1);
            builder->setLength(st.get(), i, sizeof(ISC_TIME));
            break;
        case QMetaType::QDateTime:
            builder->setType(st.get(), i, SQL_TIMESTAMP | 1);
            builder->setLength(st.get(), i, sizeof(ISC_TIMESTAMP));
            break;
        case QMetaType::QByteArray:
            encoded[int(i)] = v.toByteArray();
            builder->setType(st.get(), i, SQL_VARYING | 1);
            builder->setCharSet(st.get(), i, CharsetOctets);
            builder->setLength(st.get(), i, unsigned(qMax<qsizetype>(1, encoded[int(i)].size())));
            break;
        default:
            encoded[int(i)] = v.toString().toUtf8();
            builder->setType(st.get(), i, SQL_VARYING | 1);
            builder->setCharSet(st.get(), i, CharsetUtf8);
            builder->setLength(st.get(), i, unsigned(qMax<qsizetype>(1, encoded[int(i)].size())));
            break;
        }
    }
    fb::Ref<IMessageMetadata> meta(builder->getMetadata(st.get()));

    buffer = QByteArray(int(meta->getMessageLength(st.get())), '\0');
    char *base = buffer.data();
    for (unsigned i = 0; i < count; ++i) {
        const QVariant &v = m_values[m_positions[int(i)]];
        auto *nullFlag = reinterpret_cast<short *>(base + meta->getNullOffset(st.get(), i));
        char *data = base + meta->getOffset(st.get(), i);
        if (v.isNull() || !v.isValid()) {
            *nullFlag = -1;
            continue;
        }
        *nullFlag = 0;
        const unsigned type = meta->getType(st.get(), i) & ~1u;
        switch (type) {
        case SQL_INT64: {
            const qint64 x =
                v.typeId() == QMetaType::ULongLong ? qint64(v.toULongLong()) : v.toLongLong();
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_DOUBLE: {
            const double x = v.toDouble();
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_TYPE_DATE: {
            const ISC_DATE x = encodeDate(v.toDate());
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_TYPE_TIME: {
            const ISC_TIME x = encodeTime(v.toTime());
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = v.toDateTime();
            ISC_TIMESTAMP x{encodeDate(dt.date()), encodeTime(dt.time())};
            std::memcpy(data, &x, sizeof x);
            break;
        }
        case SQL_VARYING: {
            const QByteArray &bytes = encoded[int(i)];
            // Never cut: a longer value of any type is refused whole.
            if (bytes.size() > MaxVaryingBytes)
                throw tooLong(m_names.value(m_positions[int(i)]), MaxVaryingBytes, bytes.size());
            const auto len = static_cast<unsigned short>(bytes.size());
            std::memcpy(data, &len, sizeof len);
            std::memcpy(data + sizeof len, bytes.constData(), size_t(bytes.size()));
            break;
        }
        case SQL_BLOB: {
            ISC_QUAD id{};
            IBlob *blob =
                m_db.attachment()->createBlob(st.get(), m_db.transaction(), &id, 0, nullptr);
            // Written in segments: a document of any size.
            const QByteArray &bytes = encoded[int(i)];
            try {
                for (qsizetype off = 0; off < bytes.size(); off += BlobSegment) {
                    const auto len = unsigned(qMin<qsizetype>(BlobSegment, bytes.size() - off));
                    blob->putSegment(st.get(), len, bytes.constData() + off);
                }
                blob->close(st.get());
            } catch (...) {
                blob->release();
                throw;
            }
            std::memcpy(data, &id, sizeof id);
            break;
        }
        default:
            break;
        }
    }
    return meta;
}

void Query::exec()
{
    close();
    prepare();
    for (int i = 0; i < m_bound.size(); ++i) {
        if (!m_bound[i])
            throw DbError(DbError::Kind::Parameter,
                          QStringLiteral("%1 parametresine değer verilmedi.").arg(m_names[i]));
    }
    if (!m_returnsRows && !m_db.inCommand()) {
        // A statement that writes is a command of its own.
        WriteGuard guard(m_db);
        run();
        guard.commit();
    } else {
        run();
    }
}

void Query::run()
{
    fb::guarded([&] {
        fb::Status st;
        QByteArray inBuffer;
        const fb::Ref<IMessageMetadata> inMeta = buildInput(inBuffer);
        m_row.clear();
        m_affected = 0;
        if (m_returnsRows) {
            ITransaction *tra = m_db.transaction();
            if (m_snapshot && !m_db.inCommand()) {
                tra = m_snapshot->transaction();
                if (!tra)
                    throw DbError(DbError::Kind::NotConnected, QString());
            }
            m_cursor =
                m_statement->openCursor(st.get(), tra, inMeta.get(), inBuffer.data(), m_outMeta, 0);
            m_cursorTransaction = tra;
            return;
        }
        const bool hasOutput = m_outMeta->getCount(st.get()) > 0;
        m_db.waitingForLocks([&] {
            fb::guarded([&] {
                m_statement->execute(st.get(), m_db.transaction(), inMeta.get(), inBuffer.data(),
                                     hasOutput ? m_outMeta : nullptr,
                                     hasOutput ? m_outBuffer.data() : nullptr);
            });
        });
        m_affected = qint64(m_statement->getAffectedRecords(st.get()));
        if (hasOutput)
            decodeRow();
    });
}

bool Query::next()
{
    if (!m_cursor)
        return false;
    return fb::guarded([&] {
        fb::Status st;
        if (m_cursor->fetchNext(st.get(), m_outBuffer.data()) != IStatus::RESULT_OK) {
            close();
            return false;
        }
        decodeRow();
        return true;
    });
}

void Query::decodeRow()
{
    fb::Status st;
    const unsigned count = m_outMeta->getCount(st.get());
    m_row.resize(int(count));
    const char *base = m_outBuffer.constData();
    for (unsigned i = 0; i < count; ++i) {
        const auto *nullFlag =
            reinterpret_cast<const short *>(base + m_outMeta->getNullOffset(st.get(), i));
        if (*nullFlag) {
            m_row[int(i)] = QVariant();
            continue;
        }
        const char *data = base + m_outMeta->getOffset(st.get(), i);
        const unsigned type = m_outMeta->getType(st.get(), i) & ~1u;
        const int scale = m_outMeta->getScale(st.get(), i);
        const unsigned charset = m_outMeta->getCharSet(st.get(), i);
        auto scaled = [scale](qint64 x) -> QVariant {
            if (scale == 0)
                return x;
            double d = double(x);
            for (int s = scale; s < 0; ++s)
                d /= 10.0;
            return d;
        };
        QVariant &out = m_row[int(i)];
        switch (type) {
        case SQL_TEXT: {
            const unsigned len = m_outMeta->getLength(st.get(), i);
            QByteArray bytes(data, int(len));
            if (charset == CharsetOctets) {
                out = bytes;
            } else {
                // CHAR values come padded with blanks.
                while (bytes.endsWith(' '))
                    bytes.chop(1);
                out = QString::fromUtf8(bytes);
            }
            break;
        }
        case SQL_VARYING: {
            unsigned short len;
            std::memcpy(&len, data, sizeof len);
            QByteArray bytes(data + sizeof len, len);
            out = charset == CharsetOctets ? QVariant(bytes) : QVariant(QString::fromUtf8(bytes));
            break;
        }
        case SQL_SHORT: {
            short x;
            std::memcpy(&x, data, sizeof x);
            out = scale ? scaled(x) : QVariant(int(x));
            break;
        }
        case SQL_LONG: {
            ISC_LONG x;
            std::memcpy(&x, data, sizeof x);
            out = scale ? scaled(x) : QVariant(int(x));
            break;
        }
        case SQL_INT64: {
            qint64 x;
            std::memcpy(&x, data, sizeof x);
            out = scaled(x);
            break;
        }
        case SQL_FLOAT: {
            float x;
            std::memcpy(&x, data, sizeof x);
            out = double(x);
            break;
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double x;
            std::memcpy(&x, data, sizeof x);
            out = x;
            break;
        }
        case SQL_TYPE_DATE: {
            ISC_DATE x;
            std::memcpy(&x, data, sizeof x);
            out = decodeDate(x);
            break;
        }
        case SQL_TYPE_TIME: {
            ISC_TIME x;
            std::memcpy(&x, data, sizeof x);
            out = decodeTime(x);
            break;
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP x;
            std::memcpy(&x, data, sizeof x);
            out = QDateTime(decodeDate(x.timestamp_date), decodeTime(x.timestamp_time));
            break;
        }
        case SQL_BOOLEAN:
            out = *data != 0;
            break;
        case SQL_BLOB: {
            ISC_QUAD id;
            std::memcpy(&id, data, sizeof id);
            IBlob *blob = m_db.attachment()->openBlob(
                st.get(), m_cursor ? m_cursorTransaction : m_db.transaction(), &id, 0, nullptr);
            QByteArray bytes;
            try {
                char chunk[BlobSegment];
                for (;;) {
                    unsigned got = 0;
                    const int rc = blob->getSegment(st.get(), sizeof chunk, chunk, &got);
                    if (rc == IStatus::RESULT_NO_DATA)
                        break;
                    bytes.append(chunk, int(got));
                }
                blob->close(st.get());
            } catch (...) {
                blob->release();
                throw;
            }
            const bool text = m_outMeta->getSubType(st.get(), i) == 1 && charset != CharsetOctets;
            out = text ? QVariant(QString::fromUtf8(bytes)) : QVariant(bytes);
            break;
        }
        default:
            out = QVariant();
            break;
        }
    }
}

QVariant Query::value(const QString &name) const
{
    const int idx = fieldIndex(name);
    if (idx < 0)
        throw DbError(DbError::Kind::Parameter, QStringLiteral("Alan bulunamadı: %1").arg(name));
    return m_row.value(idx);
}

QVariant Query::scalar()
{
    exec();
    if (m_returnsRows) {
        const bool has = next();
        const QVariant v = has ? m_row.value(0) : QVariant();
        close();
        return v;
    }
    return m_row.value(0);
}

} // namespace mizro::db
