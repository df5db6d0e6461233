#pragma once

#include "dberror.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>

namespace mizro::db {

class Database;
class Query;
class ReadSnapshot;

/// Rows of one select with a current row and an edit state, written back
/// through its own insert, update, delete and re-read statements. Statement
/// parameters are named like the fields; "OLD_" followed by a field name
/// carries the value the row had when it was read. Every post and delete is
/// committed when it completes (inside an enclosing WriteGuard it joins that
/// command instead).
///
/// With setTable(), an update or delete first locks the row and compares it
/// with what was read (the select's fields that are columns of the table):
/// a row another clerk changed or deleted meanwhile is refused
/// (DbError::Kind::RowChanged) and the typing stays; cancel() then reads the
/// row as it is now. A post inside a larger command that is rolled back
/// leaves the row pending again.
///
/// post(), cancel(), remove() and moving the current row never throw: a
/// failure is told through lastError() and errorOccurred(). A grid shows the
/// data set directly: its columns are the display columns when they are set,
/// all fields otherwise.
class DataSet : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    using Row = QVector<QVariant>;
    /// Computes a calculated field from the row's values (fields by index of
    /// fieldIndex()). May throw: the field is then empty and the error told once.
    using Calc = std::function<QVariant(const DataSet &, const Row &)>;
    /// Returns an empty text to let the post go on, or the refusal message.
    using BeforePost = std::function<QString(DataSet &)>;
    using Formatter = std::function<QString(const QVariant &)>;

    struct Column {
        QString field;
        QString title;
        Formatter format = nullptr; // display text; default by type
        bool readOnly = false;      // never edited in a grid cell
    };

    explicit DataSet(Database &db, QObject *parent = nullptr);
    ~DataSet() override;

    // Statements, as lines joined by line breaks.
    void setSelectSql(const QString &sql);
    void setInsertSql(const QString &sql) { m_sql[Insert] = sql; }
    void setUpdateSql(const QString &sql) { m_sql[Update] = sql; }
    void setDeleteSql(const QString &sql) { m_sql[Delete] = sql; }
    void setRefreshSql(const QString &sql) { m_sql[Refresh] = sql; }
    /// A parameter of the select. Every parameter of the select must be set.
    void setParam(const QString &name, const QVariant &value);
    /// Reads the select through a report's snapshot (null: the latest data).
    void setSnapshot(const ReadSnapshot *snapshot) { m_snapshot = snapshot; }

    /// The table rows are written to and the fields that identify a row
    /// (none for a table of one row). Updates and deletes are then checked
    /// against the row as read, and reopen() keeps the current row by these
    /// fields.
    void setTable(const QString &table, const QStringList &keyFields);

    /// Makes this data set the detail of master: whenever the master's
    /// current row changes, each parameter named here takes the value of
    /// its master field and the rows are read again. The master does not
    /// move or append while this one holds an edit it cannot post (or its
    /// leave check refuses); a pending edit is never dropped unseen.
    void setMaster(DataSet *master, const QHash<QString, QString> &paramsFromFields);
    /// Asked before the current row changes; false keeps it (a screen with
    /// an entry open, say).
    void setLeaveCheck(std::function<bool()> check) { m_leaveCheck = std::move(check); }

    void addCalculatedField(const QString &name, Calc calc);
    /// Rows for which the filter is false are not kept when the select is read.
    void setFilter(std::function<bool(const DataSet &, const Row &)> filter);
    void setBeforePost(BeforePost hook) { m_beforePost = std::move(hook); }
    /// Runs after append() has added the new row, to fill its defaults.
    void setOnNewRecord(std::function<void(DataSet &)> hook) { m_onNewRecord = std::move(hook); }
    void setDisplayColumns(const QVector<Column> &columns);
    /// A clearer text than the general one for an error of this kind.
    void setErrorMessage(DbError::Kind kind, const QString &text)
    {
        m_errorTexts.insert(int(kind), text);
    }
    /// Lets a grid edit the cells in place.
    void setEditable(bool editable) { m_editable = editable; }

    /// Reads the select. Throws DbError (the data set is then closed).
    void open();
    void close();
    /// Reads the select again; the current row stays the same row (by its
    /// key fields when set, else by its index) where it can. Throws DbError.
    void reopen();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    /// The user changed the pending row (defaults filled for a new row do not count).
    bool isModified() const { return isEditing() && m_modified; }

    const QStringList &fieldNames() const { return m_fields; }
    int fieldIndex(const QString &name) const { return m_fieldIndex.value(name.toUpper(), -1); }
    /// Characters a text field of the select holds (0 for other types and
    /// calculated fields), for limiting what an editor accepts.
    int fieldLength(const QString &name) const { return m_fieldLengths.value(fieldIndex(name)); }
    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int currentRow() const { return m_current; }
    /// The value of a row as stored (the edit buffer for the current row).
    QVariant rowValue(int row, const QString &field) const;

    /// Moves the current row; a pending edit is posted first, and when that
    /// fails (or the leave check refuses) the current row stays (false).
    bool setCurrentRow(int row);
    bool first() { return setCurrentRow(0); }
    bool last() { return setCurrentRow(count() - 1); }
    bool next() { return setCurrentRow(m_current + 1); }
    bool prior() { return setCurrentRow(m_current - 1); }
    /// Makes the first row whose field equals value current.
    bool locate(const QString &field, const QVariant &value);

    /// Current row's value (the edit buffer while editing). Invalid when empty.
    QVariant value(const QString &field) const;
    QVariant oldValue(const QString &field) const;
    /// Puts a browsed row into edit first. Returns false for an unknown field
    /// or when there is no current row.
    bool setValue(const QString &field, const QVariant &value);

    bool edit();
    /// Posts a pending edit, then adds a new row at the end in insert state.
    bool append();
    /// Writes the pending row, all or nothing. On refusal or a database error
    /// the row stays in edit with its values, lastError() tells why and
    /// errorOccurred() is emitted.
    bool post();
    /// Drops the pending edit; after a refused post of a row someone else
    /// changed, the row is read again as it is now.
    void cancel();
    /// Deletes the current row (a row being inserted is only dropped).
    bool remove();
    /// Reads the current row again by its key fields (setTable); a row that
    /// is gone leaves the list. A pending edit is dropped. False with
    /// lastError() on a database error.
    bool refreshRow();
    /// Computes the calculated fields of a row again.
    void recalculate(int row);
    /// Inside a WriteGuard: locks the current row for the rest of the command
    /// and throws DbError(RowChanged) unless it is still as it was read
    /// (setTable), for a command of its own that changes the row.
    void lockCurrentRow();

    const QString &lastError() const { return m_lastError; }
    /// The engine's own text of the last error, if it came from the engine.
    const QString &lastErrorDetails() const { return m_lastErrorDetails; }
    DbError::Kind lastErrorKind() const { return m_lastErrorKind; }
    Database &database() const { return m_db; }

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    /// Field shown in a model column.
    QString columnField(int column) const;

    static QString defaultText(const QVariant &value);

signals:
    void currentRowChanged(int row);
    void stateChanged(mizro::db::DataSet::State state);
    void errorOccurred(const QString &message);

private:
    enum Statement { Insert, Update, Delete, Refresh, Check, Reread, StatementCount };

    Query &statement(Statement which);
    void bindRow(Query &q, const Row &values, const Row &old);
    void checkUnchanged(const Row &old);
    void readRows(const Row &keepKey, int keepIndex);
    Row keyOf(const Row &row) const;
    bool mayLeaveRow();
    void undoOnRollback();
    void dropCurrentRow();
    /// Takes a row out of the list; moves meanwhile are refused.
    void takeRow(int row);
    void followMaster();
    void computeCalculated(Row &row) const;
    void reportCalculationFailure();
    void setState(State state);
    void fail(const QString &message, DbError::Kind kind, const QString &details = QString());
    void fail(const DbError &e);
    void failUnexpected(const std::exception &e);
    void emitRowChanged(int row);

    Database &m_db;
    QString m_selectSql;
    QHash<QString, QVariant> m_params;
    QString m_sql[StatementCount];
    std::unique_ptr<Query> m_queries[StatementCount];
    std::unique_ptr<Query> m_select;
    const ReadSnapshot *m_snapshot = nullptr;
    QString m_table;
    QStringList m_keyFields;
    QPointer<DataSet> m_master;
    QHash<QString, QString> m_masterParams;
    QVector<DataSet *> m_details;
    std::function<bool()> m_leaveCheck;

    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;
    QVector<int> m_fieldLengths;
    QVector<QPair<QString, QString>> m_origins; // table and column of each select field
    QVector<int> m_checked; // fields compared by the row check: columns of the table
    int m_tableFieldCount = 0;
    QVector<QPair<QString, Calc>> m_calcs;
    std::function<bool(const DataSet &, const Row &)> m_filter;
    BeforePost m_beforePost;
    std::function<void(DataSet &)> m_onNewRecord;
    QVector<Column> m_columns;
    bool m_editable = false;

    QVector<Row> m_rows;
    int m_current = -1;
    State m_state = State::Inactive;
    Row m_buffer;            // current row while editing
    Row m_old;               // current row as read, while editing
    bool m_modified = false; // changed by the user since edit() or append()
    bool m_inNewRecord = false;
    bool m_removing = false;
    bool m_changedElsewhere = false; // the last post met a row someone else changed
    int m_insertReturn = -1;         // row current before append()
    mutable QString m_calcFailure;   // first failing calculation since last told
    QHash<int, QString> m_errorTexts;
    QString m_lastError;
    QString m_lastErrorDetails;
    DbError::Kind m_lastErrorKind = DbError::Kind::Other;
};

} // namespace mizro::db
