#include "dataset.h"

#include <QScopedValueRollback>

#include "database.h"
#include "query.h"
#include "writeguard.h"

#include <QDate>
#include <QDateTime>
#include <QScopedValueRollback>
#include <QTime>

namespace mizro::db {

namespace {

const QString OldPrefix = QStringLiteral("OLD_");

QString changedWhileEditing()
{
    return DbError::kindText(DbError::Kind::RowChanged) +
           QStringLiteral(" Yazdıklarınız duruyor; vazgeçtiğinizde kaydın güncel hâli okunur.");
}

/// Values alike as stored: a value the program set as text matches the
/// number the engine gives back.
bool sameValue(const QVariant &stored, const QVariant &asRead)
{
    if (stored.isNull() || asRead.isNull())
        return stored.isNull() == asRead.isNull();
    return stored == asRead || stored.toString() == asRead.toString();
}

QString changedBeforeDelete()
{
    return QStringLiteral("Bu kayıt, siz okuduktan sonra başka bir kullanıcı tarafından "
                          "değiştirilmiş ya da silinmiş; silinmedi. Kaydın güncel hâli okundu.");
}

} // namespace

DataSet::DataSet(Database &db, QObject *parent) : QAbstractTableModel(parent), m_db(db) {}

DataSet::~DataSet()
{
    if (m_master)
        m_master->m_details.removeAll(this);
    for (DataSet *d : std::as_const(m_details))
        d->m_master = nullptr;
}

void DataSet::setSelectSql(const QString &sql)
{
    m_selectSql = sql;
    m_select.reset();
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    m_params.insert(name.toUpper(), value);
}

void DataSet::setTable(const QString &table, const QStringList &keyFields)
{
    m_table = table;
    m_keyFields.clear();
    for (const QString &k : keyFields)
        m_keyFields << k.toUpper();
}

void DataSet::setMaster(DataSet *master, const QHash<QString, QString> &paramsFromFields)
{
    if (m_master) {
        disconnect(m_master, nullptr, this, nullptr);
        m_master->m_details.removeAll(this);
    }
    m_master = master;
    m_masterParams.clear();
    for (auto it = paramsFromFields.cbegin(); it != paramsFromFields.cend(); ++it)
        m_masterParams.insert(it.key().toUpper(), it.value().toUpper());
    if (master) {
        master->m_details.append(this);
        connect(master, &DataSet::currentRowChanged, this, &DataSet::followMaster);
    }
}

void DataSet::followMaster()
{
    if (!m_master)
        return;
    // Never dropped unseen: a pending edit that cannot be stored keeps
    // these rows, with the typing and the error shown.
    if (isModified() && !post())
        return;
    const bool onRow = m_master->isOpen() && m_master->currentRow() >= 0;
    for (auto it = m_masterParams.cbegin(); it != m_masterParams.cend(); ++it)
        setParam(it.key(), onRow ? m_master->value(it.value()) : QVariant());
    try {
        if (onRow)
            open();
        else
            close();
    } catch (const DbError &e) {
        fail(e);
    } catch (const std::exception &e) {
        failUnexpected(e);
    }
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
    if (which == Check || which == Reread) {
        // The row as stored, by the key it had when read: the fields of the
        // select that are columns of the table. The check also locks it for
        // the rest of the command.
        QStringList columns;
        m_checked.clear();
        for (int i = 0; i < m_tableFieldCount; ++i) {
            if (m_origins[i].first.compare(m_table, Qt::CaseInsensitive) == 0) {
                columns << m_origins[i].second;
                m_checked << i;
            }
        }
        QStringList where;
        for (const QString &k : std::as_const(m_keyFields)) {
            const int f = fieldIndex(k);
            if (f < 0 || !m_checked.contains(f))
                throw DbError(DbError::Kind::Parameter,
                              QStringLiteral("Anahtar alan okunmuyor: %1").arg(k));
            where << QStringLiteral("%1 IS NOT DISTINCT FROM :%2%3")
                         .arg(m_origins[f].second, OldPrefix, k);
        }
        QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                      QStringLiteral("\nFROM ") + m_table;
        if (!where.isEmpty())
            sql += QStringLiteral("\nWHERE ") + where.join(QStringLiteral(" AND "));
        if (which == Check)
            sql += QStringLiteral("\nWITH LOCK");
        m_sql[which] = sql;
    }
    auto &q = m_queries[which];
    if (!q || q->sql() != m_sql[which])
        q = std::make_unique<Query>(m_db, m_sql[which]);
    return *q;
}

void DataSet::open()
{
    readRows(Row(), -1);
}

void DataSet::reopen()
{
    readRows(m_current >= 0 ? keyOf(m_rows[m_current]) : Row(), m_current);
}

DataSet::Row DataSet::keyOf(const Row &row) const
{
    Row key;
    for (const QString &k : m_keyFields)
        key << row.value(fieldIndex(k));
    return key;
}

void DataSet::readRows(const Row &keepKey, int keepIndex)
{
    QVector<Row> rows;
    QStringList fields;
    QVector<int> lengths;
    try {
        if (!m_select || m_select->sql() != m_selectSql)
            m_select = std::make_unique<Query>(m_db, m_selectSql);
        Query &q = *m_select;
        q.setSnapshot(m_snapshot);
        q.clearBindings();
        // A parameter nobody set stays unbound, and the query refuses to run.
        for (const QString &name : q.parameterNames()) {
            if (m_params.contains(name))
                q.bind(name, m_params.value(name));
        }
        q.exec();
        fields = q.fieldNames();
        m_origins.clear();
        for (int i = 0; i < fields.size(); ++i) {
            lengths << q.fieldLength(i);
            m_origins << qMakePair(q.fieldTable(i), q.fieldColumn(i));
        }
        const int tableFields = int(fields.size());
        for (const auto &calc : std::as_const(m_calcs))
            fields << calc.first;
        // The calculations and the filter look fields up by name.
        m_fields = fields;
        m_fieldIndex.clear();
        for (int i = 0; i < m_fields.size(); ++i)
            if (!m_fieldIndex.contains(m_fields[i]))
                m_fieldIndex.insert(m_fields[i], i);
        m_tableFieldCount = tableFields;
        while (q.next()) {
            Row row = q.row();
            row.resize(fields.size());
            computeCalculated(row);
            if (m_filter && !m_filter(*this, row))
                continue;
            rows.append(std::move(row));
        }
    } catch (...) {
        close();
        throw;
    }
    beginResetModel();
    m_rows = std::move(rows);
    m_fieldLengths = lengths;
    m_buffer.clear();
    m_old.clear();
    m_changedElsewhere = false;
    int current = m_rows.isEmpty() ? -1 : 0;
    if (!m_rows.isEmpty() && keepIndex >= 0) {
        current = qMin(keepIndex, int(m_rows.size()) - 1);
        if (!keepKey.isEmpty()) {
            for (int r = 0; r < m_rows.size(); ++r) {
                if (keyOf(m_rows[r]) == keepKey) {
                    current = r;
                    break;
                }
            }
        }
    }
    m_current = current;
    const bool stateChange = m_state != State::Browse;
    m_state = State::Browse;
    endResetModel();
    if (stateChange)
        emit stateChanged(m_state);
    emit currentRowChanged(m_current);
    reportCalculationFailure();
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
    m_changedElsewhere = false;
    m_state = State::Inactive;
    endResetModel();
    emit stateChanged(m_state);
    emit currentRowChanged(m_current);
}

void DataSet::computeCalculated(Row &row) const
{
    for (int i = 0; i < m_calcs.size(); ++i) {
        QVariant v;
        try {
            v = m_calcs[i].second(*this, row);
        } catch (const DbError &e) {
            if (m_calcFailure.isEmpty())
                m_calcFailure = e.message() + QLatin1Char('\n') + e.details();
        } catch (const std::exception &e) {
            if (m_calcFailure.isEmpty())
                m_calcFailure = QString::fromLocal8Bit(e.what());
        }
        row[m_tableFieldCount + i] = v;
    }
}

void DataSet::reportCalculationFailure()
{
    if (m_calcFailure.isEmpty())
        return;
    const QString details = m_calcFailure.trimmed();
    m_calcFailure.clear();
    fail(QStringLiteral("Hesaplanan bir alan okunamadı; boş gösteriliyor."), DbError::Kind::Other,
         details);
}

void DataSet::recalculate(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    computeCalculated(m_rows[row]);
    if (row == m_current && isEditing())
        computeCalculated(m_buffer);
    emitRowChanged(row);
    reportCalculationFailure();
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

bool DataSet::mayLeaveRow()
{
    if (m_leaveCheck) {
        try {
            if (!m_leaveCheck())
                return false;
        } catch (const std::exception &e) {
            failUnexpected(e);
            return false;
        }
    }
    // The rows of the details belong to this row: they are settled first.
    for (DataSet *d : std::as_const(m_details)) {
        if (!d->mayLeaveRow())
            return false;
    }
    if (m_state == State::Insert && !m_modified) {
        // A row that was appended and never touched is dropped, as grids do.
        cancel();
    } else if (isEditing() && !post()) {
        return false;
    }
    return true;
}

bool DataSet::setCurrentRow(int row)
{
    if (m_state == State::Inactive || row < 0 || row >= m_rows.size())
        return false;
    if (row == m_current)
        return true;
    // A view that follows a removal moves its own cursor: the data set
    // decides where it stands afterwards.
    if (m_removing)
        return false;
    if (!mayLeaveRow())
        return false;
    // Dropping an untouched new row may have shortened the list.
    row = qMin(row, int(m_rows.size()) - 1);
    if (row < 0)
        return false;
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
    m_changedElsewhere = false;
    setState(State::Edit);
    return true;
}

bool DataSet::append()
{
    if (m_state == State::Inactive || !mayLeaveRow())
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
    m_changedElsewhere = false;
    setState(State::Insert);
    emit currentRowChanged(m_current);
    if (m_onNewRecord) {
        m_inNewRecord = true;
        try {
            m_onNewRecord(*this);
        } catch (const std::exception &e) {
            m_inNewRecord = false;
            cancel();
            if (const auto *dbError = dynamic_cast<const DbError *>(&e))
                fail(*dbError);
            else
                failUnexpected(e);
            return false;
        }
        m_inNewRecord = false;
    }
    return true;
}

void DataSet::bindRow(Query &q, const Row &values, const Row &old)
{
    for (const QString &name : q.parameterNames()) {
        if (name.startsWith(OldPrefix)) {
            const int f = fieldIndex(name.mid(OldPrefix.size()));
            if (f < 0)
                throw DbError(DbError::Kind::Parameter,
                              QStringLiteral("Alan bulunamadı: %1").arg(name));
            q.bind(name, old.value(f));
        } else {
            const int f = fieldIndex(name);
            if (f < 0)
                throw DbError(DbError::Kind::Parameter,
                              QStringLiteral("Alan bulunamadı: %1").arg(name));
            q.bind(name, values.value(f));
        }
    }
}

void DataSet::checkUnchanged(const Row &old)
{
    if (m_table.isEmpty())
        return;
    Query &q = statement(Check);
    bindRow(q, old, old);
    m_db.waitingForLocks([&] {
        q.exec();
        const bool found = q.next();
        bool same = found;
        for (int i = 0; same && i < m_checked.size(); ++i)
            same = sameValue(q.value(i), old.value(m_checked[i]));
        q.close();
        if (!same)
            throw DbError(DbError::Kind::RowChanged, QString());
    });
}

void DataSet::lockCurrentRow()
{
    if (m_current < 0)
        throw DbError(DbError::Kind::RowChanged, QString());
    checkUnchanged(isEditing() ? m_old : m_rows[m_current]);
}

bool DataSet::post()
{
    if (!isEditing())
        return m_state == State::Browse;
    const bool inserting = m_state == State::Insert;
    Row stored;
    QString refusal;
    try {
        // The hook runs inside the command: what it reads and locks (a
        // number to check, say) holds until the row is written.
        WriteGuard guard(m_db);
        if (m_beforePost)
            refusal = m_beforePost(*this);
        if (!refusal.isEmpty())
            throw DbError(DbError::Kind::Other, refusal);
        stored = m_buffer;
        if (!inserting)
            checkUnchanged(m_old);
        Query &q = statement(inserting ? Insert : Update);
        bindRow(q, m_buffer, m_old);
        q.exec();
        if (!inserting && q.rowsAffected() == 0)
            throw DbError(DbError::Kind::RowChanged, QString());
        // The row as stored, so that the next check compares like with like.
        const bool byKey = !m_table.isEmpty();
        if (byKey || !m_sql[Refresh].isEmpty()) {
            Query &r = statement(byKey ? Reread : Refresh);
            bindRow(r, m_buffer, byKey ? m_buffer : m_old);
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
        m_changedElsewhere = e.kind() == DbError::Kind::RowChanged;
        if (!refusal.isEmpty())
            fail(refusal, DbError::Kind::Other);
        else if (m_changedElsewhere)
            fail(changedWhileEditing(), e.kind(), e.details());
        else
            fail(e);
        return false;
    } catch (const std::exception &e) {
        failUnexpected(e);
        return false;
    }
    if (m_db.inCommand())
        undoOnRollback();
    computeCalculated(stored);
    m_rows[m_current] = stored;
    m_buffer.clear();
    m_old.clear();
    m_changedElsewhere = false;
    setState(State::Browse);
    emitRowChanged(m_current);
    reportCalculationFailure();
    return true;
}

void DataSet::undoOnRollback()
{
    // Part of a larger command: should it fail, the row is pending again,
    // with what the clerk typed, as if the post had never happened.
    const Row row = m_rows[m_current];
    const Row buffer = m_buffer;
    const Row old = m_old;
    const State state = m_state;
    const bool modified = m_modified;
    const int index = m_current;
    QPointer<DataSet> self(this);
    m_db.onRollback([=] {
        if (!self || self->m_state != State::Browse || index >= self->m_rows.size())
            return;
        self->m_rows[index] = row;
        self->m_current = index;
        self->m_buffer = buffer;
        self->m_old = old;
        self->m_modified = modified;
        self->setState(state);
        emit self->currentRowChanged(index);
        self->emitRowChanged(index);
    });
}

void DataSet::cancel()
{
    const bool reread = m_changedElsewhere && m_state == State::Edit;
    m_changedElsewhere = false;
    if (m_state == State::Insert) {
        const int row = m_current;
        m_buffer.clear();
        m_old.clear();
        takeRow(row);
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
        if (reread)
            refreshRow();
    }
}

bool DataSet::refreshRow()
{
    if (m_current < 0 || m_table.isEmpty())
        return false;
    if (isEditing()) {
        m_changedElsewhere = false;
        cancel();
        if (m_current < 0)
            return false;
    }
    bool found = false;
    Row fresh = m_rows[m_current];
    try {
        Query &q = statement(Reread);
        bindRow(q, fresh, fresh);
        q.exec();
        found = q.next();
        for (int i = 0; found && i < m_checked.size(); ++i)
            fresh[m_checked[i]] = q.value(i);
        q.close();
    } catch (const DbError &e) {
        fail(e);
        return false;
    } catch (const std::exception &e) {
        failUnexpected(e);
        return false;
    }
    if (found) {
        computeCalculated(fresh);
        m_rows[m_current] = fresh;
        emitRowChanged(m_current);
        reportCalculationFailure();
        return true;
    }
    dropCurrentRow();
    return true;
}

void DataSet::takeRow(int row)
{
    QScopedValueRollback<bool> removing(m_removing, true);
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void DataSet::dropCurrentRow()
{
    const int gone = m_current;
    takeRow(gone);
    m_current = m_rows.isEmpty() ? -1 : qMin(gone, int(m_rows.size()) - 1);
    emit currentRowChanged(m_current);
}

bool DataSet::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return true;
    }
    if (m_current < 0)
        return false;
    if (m_state == State::Edit) {
        // The check below decides about the row as it was read.
        m_changedElsewhere = false;
        cancel();
    }
    const Row row = m_rows[m_current];
    try {
        WriteGuard guard(m_db);
        checkUnchanged(row);
        Query &q = statement(Delete);
        bindRow(q, row, row);
        q.exec();
        if (q.rowsAffected() == 0)
            throw DbError(DbError::Kind::RowChanged, QString());
        guard.commit();
    } catch (const DbError &e) {
        if (e.kind() == DbError::Kind::RowChanged) {
            refreshRow();
            fail(changedBeforeDelete(), e.kind(), e.details());
        } else {
            fail(e);
        }
        return false;
    } catch (const std::exception &e) {
        failUnexpected(e);
        return false;
    }
    if (m_db.inCommand()) {
        // Part of a larger command: should it fail, the row is back.
        const int index = m_current;
        QPointer<DataSet> self(this);
        m_db.onRollback([=] {
            if (!self || self->m_state != State::Browse || index > self->m_rows.size())
                return;
            self->beginInsertRows({}, index, index);
            self->m_rows.insert(index, row);
            self->endInsertRows();
            self->m_current = index;
            emit self->currentRowChanged(index);
        });
    }
    dropCurrentRow();
    return true;
}

void DataSet::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void DataSet::fail(const QString &message, DbError::Kind kind, const QString &details)
{
    m_lastError = message;
    m_lastErrorDetails = details;
    m_lastErrorKind = kind;
    emit errorOccurred(message);
}

void DataSet::failUnexpected(const std::exception &e)
{
    fail(DbError::kindText(DbError::Kind::Other), DbError::Kind::Other,
         QString::fromLocal8Bit(e.what()));
}

void DataSet::fail(const DbError &e)
{
    fail(m_errorTexts.value(int(e.kind()), e.message()), e.kind(), e.details());
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
