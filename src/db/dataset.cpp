#include "dataset.h"

#include "database.h"
#include "query.h"
#include "writeguard.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace mizro::db {

namespace {
const QString OldPrefix = QStringLiteral("OLD_");
}

DataSet::DataSet(Database &db, QObject *parent) : QAbstractTableModel(parent), m_db(db) {}

DataSet::~DataSet() = default;

void DataSet::setSelectSql(const QString &sql)
{
    m_selectSql = sql;
    m_select.reset();
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    m_params.insert(name.toUpper(), value);
}

void DataSet::addCalculatedField(const QString &name, Calc calc)
{
    m_calcs.append({name.toUpper(), std::move(calc)});
}

void DataSet::setFilter(std::function<bool(const DataSet &, const Row &)> filter)
{
    m_filter = std::move(filter);
}

void DataSet::setDisplayColumns(const QVector<Column> &columns)
{
    beginResetModel();
    m_columns = columns;
    for (Column &c : m_columns)
        c.field = c.field.toUpper();
    endResetModel();
}

Query &DataSet::statement(Statement which)
{
    auto &q = m_queries[which];
    if (!q || q->sql() != m_sql[which])
        q = std::make_unique<Query>(m_db, m_sql[which]);
    return *q;
}

void DataSet::open()
{
    close();
    if (!m_select || m_select->sql() != m_selectSql)
        m_select = std::make_unique<Query>(m_db, m_selectSql);
    Query &q = *m_select;
    q.clearBindings();
    for (const QString &name : q.parameterNames())
        q.bind(name, m_params.value(name));
    QVector<Row> rows;
    q.exec();

    QStringList fields = q.fieldNames();
    m_tableFieldCount = int(fields.size());
    m_fieldLengths.clear();
    for (int i = 0; i < m_tableFieldCount; ++i)
        m_fieldLengths << q.fieldLength(i);
    for (const auto &calc : std::as_const(m_calcs))
        fields << calc.first;
    m_fields = fields;
    m_fieldIndex.clear();
    for (int i = 0; i < m_fields.size(); ++i)
        if (!m_fieldIndex.contains(m_fields[i]))
            m_fieldIndex.insert(m_fields[i], i);

    while (q.next()) {
        Row row = q.row();
        row.resize(m_fields.size());
        computeCalculated(row);
        if (m_filter && !m_filter(*this, row))
            continue;
        rows.append(std::move(row));
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_state = State::Browse;
    endResetModel();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void DataSet::close()
{
    if (m_state == State::Inactive)
        return;
    beginResetModel();
    m_rows.clear();
    m_current = -1;
    m_buffer.clear();
    m_old.clear();
    m_state = State::Inactive;
    endResetModel();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void DataSet::reopen()
{
    const int keep = m_current;
    open();
    if (keep >= 0 && !m_rows.isEmpty())
        setCurrentRow(qMin(keep, count() - 1));
}

void DataSet::computeCalculated(Row &row) const
{
    for (int i = 0; i < m_calcs.size(); ++i)
        row[m_tableFieldCount + i] = m_calcs[i].second(*this, row);
}

QVariant DataSet::rowValue(int row, const QString &field) const
{
    const int f = fieldIndex(field);
    if (row < 0 || row >= m_rows.size() || f < 0)
        return {};
    if (row == m_current && isEditing())
        return m_buffer.value(f);
    return m_rows[row].value(f);
}

bool DataSet::setCurrentRow(int row)
{
    if (m_state == State::Inactive || row < 0 || row >= m_rows.size())
        return false;
    if (row == m_current)
        return true;
    if (m_state == State::Insert && !m_modified) {
        // A row that was appended and never touched is dropped, as grids do.
        cancel();
        if (row >= m_rows.size())
            row = int(m_rows.size()) - 1;
        if (row < 0)
            return false;
    } else if (isEditing()) {
        if (!post())
            return false;
        if (row >= m_rows.size())
            row = int(m_rows.size()) - 1;
    }
    m_current = row;
    emit currentRowChanged(m_current);
    return true;
}

bool DataSet::locate(const QString &field, const QVariant &value)
{
    const int f = fieldIndex(field);
    if (f < 0)
        return false;
    for (int r = 0; r < m_rows.size(); ++r) {
        if (rowValue(r, field) == value)
            return setCurrentRow(r);
    }
    return false;
}

QVariant DataSet::value(const QString &field) const
{
    return rowValue(m_current, field);
}

QVariant DataSet::oldValue(const QString &field) const
{
    const int f = fieldIndex(field);
    if (f < 0 || m_current < 0)
        return {};
    return isEditing() ? m_old.value(f) : m_rows[m_current].value(f);
}

bool DataSet::setValue(const QString &field, const QVariant &value)
{
    const int f = fieldIndex(field);
    if (f < 0 || m_current < 0)
        return false;
    if (!isEditing() && !edit())
        return false;
    if (m_buffer[f] == value && m_buffer[f].typeId() == value.typeId())
        return true;
    m_buffer[f] = value;
    if (!m_inNewRecord)
        m_modified = true;
    emitRowChanged(m_current);
    return true;
}

bool DataSet::edit()
{
    if (isEditing())
        return true;
    if (m_state != State::Browse || m_current < 0)
        return false;
    m_old = m_rows[m_current];
    m_buffer = m_old;
    m_modified = false;
    setState(State::Edit);
    return true;
}

bool DataSet::append()
{
    if (m_state == State::Inactive)
        return false;
    if (isEditing() && !post())
        return false;
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(Row(m_fields.size()));
    endInsertRows();
    m_insertReturn = m_current;
    m_current = row;
    m_old = Row(m_fields.size());
    m_buffer = m_old;
    m_modified = false;
    setState(State::Insert);
    emit currentRowChanged(m_current);
    if (m_onNewRecord) {
        m_inNewRecord = true;
        m_onNewRecord(*this);
        m_inNewRecord = false;
    }
    return true;
}

void DataSet::bindRow(Query &q, const Row &values, const Row &old)
{
    for (const QString &name : q.parameterNames()) {
        if (name.startsWith(OldPrefix)) {
            const int f = fieldIndex(name.mid(OldPrefix.size()));
            q.bind(name, f >= 0 ? old.value(f) : QVariant());
        } else {
            const int f = fieldIndex(name);
            if (f < 0)
                throw DbError(DbError::Kind::Parameter,
                              QStringLiteral("Alan bulunamadı: %1").arg(name));
            q.bind(name, values.value(f));
        }
    }
}

bool DataSet::post()
{
    if (!isEditing())
        return m_state == State::Browse;
    if (m_beforePost) {
        const QString refusal = m_beforePost(*this);
        if (!refusal.isEmpty()) {
            fail(refusal, DbError::Kind::Other);
            return false;
        }
    }
    const bool inserting = m_state == State::Insert;
    Row stored = m_buffer;
    try {
        WriteGuard guard(m_db);
        Query &q = statement(inserting ? Insert : Update);
        bindRow(q, m_buffer, m_old);
        q.exec();
        if (!inserting && q.rowsAffected() == 0)
            throw DbError(DbError::Kind::Other,
                          QStringLiteral("Kayıt bulunamadı; başka bir kullanıcı silmiş ya da "
                                         "değiştirmiş olabilir."));
        if (!m_sql[Refresh].isEmpty()) {
            Query &r = statement(Refresh);
            bindRow(r, m_buffer, m_old);
            r.exec();
            if (r.next()) {
                for (int i = 0; i < r.fieldCount(); ++i) {
                    const int f = fieldIndex(r.fieldNames().at(i));
                    if (f >= 0 && f < m_tableFieldCount)
                        stored[f] = r.value(i);
                }
            }
            r.close();
        }
        guard.commit();
    } catch (const DbError &e) {
        fail(m_errorTexts.value(int(e.kind()), e.message()), e.kind());
        return false;
    }
    computeCalculated(stored);
    m_rows[m_current] = stored;
    m_buffer.clear();
    m_old.clear();
    setState(State::Browse);
    emitRowChanged(m_current);
    return true;
}

void DataSet::cancel()
{
    if (m_state == State::Insert) {
        const int row = m_current;
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
        m_buffer.clear();
        m_old.clear();
        m_current = m_rows.isEmpty()
                        ? -1
                        : qBound(0, m_insertReturn < 0 ? int(m_rows.size()) - 1 : m_insertReturn,
                                 int(m_rows.size()) - 1);
        setState(State::Browse);
        emit currentRowChanged(m_current);
    } else if (m_state == State::Edit) {
        m_buffer.clear();
        m_old.clear();
        setState(State::Browse);
        emitRowChanged(m_current);
    }
}

bool DataSet::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (m_current < 0)
        return false;
    if (m_state == State::Edit)
        cancel();
    const Row &row = m_rows[m_current];
    try {
        WriteGuard guard(m_db);
        Query &q = statement(Delete);
        bindRow(q, row, row);
        q.exec();
        guard.commit();
    } catch (const DbError &e) {
        fail(e.message(), e.kind());
        return false;
    }
    const int removed = m_current;
    beginRemoveRows({}, removed, removed);
    m_rows.removeAt(removed);
    endRemoveRows();
    m_current = m_rows.isEmpty() ? -1 : qMin(removed, int(m_rows.size()) - 1);
    emit currentRowChanged(m_current);
    return true;
}

void DataSet::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void DataSet::fail(const QString &message, DbError::Kind kind)
{
    m_lastError = message;
    m_lastErrorKind = kind;
    emit errorOccurred(message);
}

void DataSet::emitRowChanged(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int DataSet::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DataSet::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_columns.isEmpty() ? int(m_fields.size()) : int(m_columns.size());
}

QString DataSet::columnField(int column) const
{
    if (m_columns.isEmpty())
        return m_fields.value(column);
    return column >= 0 && column < m_columns.size() ? m_columns[column].field : QString();
}

QString DataSet::defaultText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    case QMetaType::QByteArray:
        return QString();
    default:
        return value.toString();
    }
}

QVariant DataSet::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const QVariant v = rowValue(index.row(), columnField(index.column()));
    if (role == Qt::EditRole)
        return v;
    if (role == Qt::DisplayRole) {
        if (!m_columns.isEmpty() && m_columns[index.column()].format)
            return m_columns[index.column()].format(v);
        return defaultText(v);
    }
    return {};
}

bool DataSet::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    if (index.row() != m_current && !setCurrentRow(index.row()))
        return false;
    return setValue(columnField(index.column()), value);
}

QVariant DataSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (m_columns.isEmpty())
        return m_fields.value(section);
    return section < m_columns.size() ? m_columns[section].title : QString();
}

Qt::ItemFlags DataSet::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    const bool readOnly = !m_columns.isEmpty() && index.column() < m_columns.size() &&
                          m_columns[index.column()].readOnly;
    if (m_editable && index.isValid() && !readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace mizro::db
