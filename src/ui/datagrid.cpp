#include "datagrid.h"

#include "messages.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTimer>

namespace mizro::ui {

namespace {

// A cell's editor takes no more characters than its column holds.
class FieldDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        const auto *ds = qobject_cast<const db::DataSet *>(index.model());
        if (auto *line = qobject_cast<QLineEdit *>(editor); line && ds) {
            const int length = ds->fieldLength(ds->columnField(index.column()));
            if (length > 0)
                line->setMaxLength(length);
        }
        return editor;
    }
};

} // namespace

DataGrid::DataGrid(Messages &messages, QWidget *parent) : QTableView(parent), m_messages(messages)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setHighlightSections(false);
    setItemDelegate(new FieldDelegate(this));
}

void DataGrid::setDataSet(db::DataSet *dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    setModel(dataSet);
    if (!dataSet)
        return;
    connect(dataSet, &db::DataSet::currentRowChanged, this, &DataGrid::followDataSet);
    connect(dataSet, &db::DataSet::modelReset, this,
            [this] { followDataSet(m_dataSet->currentRow()); });
    connect(dataSet, &db::DataSet::errorOccurred, this, [this](const QString &message) {
        if (m_showsErrors)
            m_messages.error(this, message, m_dataSet->lastErrorDetails());
    });
}

void DataGrid::setEditingAllowed(bool allowed)
{
    m_editing = allowed;
    if (m_dataSet)
        m_dataSet->setEditable(allowed);
    setEditTriggers(allowed ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(allowed ? QAbstractItemView::SelectItems : QAbstractItemView::SelectRows);
}

void DataGrid::followDataSet(int row)
{
    if (m_syncing || !m_dataSet)
        return;
    m_syncing = true;
    if (row < 0) {
        setCurrentIndex(QModelIndex());
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column() : 0;
        setCurrentIndex(m_dataSet->index(row, qMax(0, column)));
    }
    m_syncing = false;
}

bool DataGrid::goToRow(int row)
{
    if (!m_dataSet || !m_dataSet->setCurrentRow(row))
        return false;
    followDataSet(m_dataSet->currentRow());
    return true;
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !m_dataSet || !current.isValid() || current.row() == m_dataSet->currentRow())
        return;
    if (!m_dataSet->setCurrentRow(current.row())) {
        // The row left could not be stored: stay on it for correction.
        QTimer::singleShot(0, this, [this] { followDataSet(m_dataSet->currentRow()); });
    }
}

bool DataGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A row that could not be stored keeps the data set: Tab to the next
    // row must not open an editor there, whose commit would try (and
    // report) the same row a second time.
    if (m_dataSet && index.isValid() && m_dataSet->isEditing() &&
        index.row() != m_dataSet->currentRow())
        return false;
    return QTableView::edit(index, trigger, event);
}

void DataGrid::appendRow()
{
    if (m_dataSet->append())
        followDataSet(m_dataSet->currentRow());
}

void DataGrid::deleteRow()
{
    if (m_dataSet->currentRow() < 0)
        return;
    if (m_dataSet->state() == db::DataSet::State::Insert) {
        m_dataSet->cancel();
        return;
    }
    if (m_messages.question(this, deleteQuestion()))
        m_dataSet->remove();
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_dataSet && m_editing && state() != QAbstractItemView::EditingState) {
        const bool lastRow = m_dataSet->currentRow() == m_dataSet->count() - 1;
        if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier &&
            (lastRow || m_dataSet->isEmpty())) {
            // A new row nobody typed into is not followed by another.
            if (m_dataSet->state() != db::DataSet::State::Insert || m_dataSet->isModified())
                appendRow();
            return;
        }
        if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
            appendRow();
            return;
        }
        if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
            deleteRow();
            return;
        }
        if (event->key() == Qt::Key_Escape && m_dataSet->isEditing()) {
            m_dataSet->cancel();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

} // namespace mizro::ui
