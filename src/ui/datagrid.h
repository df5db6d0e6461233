#pragma once

#include <QTableView>

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {

class Messages;

/// A grid over a data set with the usual gestures of an editable list:
/// cells edit in place, moving to another row stores the row left, the
/// down arrow on the last row appends a new one, Ctrl+Delete deletes the
/// current row after a question, Esc drops the row's changes. The data
/// set's errors are shown as they happen, once each; the row stays for
/// correction. A cell takes no more characters than its column holds.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(Messages &messages, QWidget *parent = nullptr);
    using QTableView::edit;

    void setDataSet(db::DataSet *dataSet);
    db::DataSet *dataSet() const { return m_dataSet; }

    /// Lets the user add and delete rows (and edit cells).
    void setEditingAllowed(bool allowed);
    static QString deleteQuestion()
    {
        return QStringLiteral("BU KAYIT SİLİNECEKTİR ONAYLIYORMUSUNUZ");
    }

    /// The data set's errors are shown by the grid (the default), or by the
    /// screen that drives the data set.
    void setShowsErrors(bool shows) { m_showsErrors = shows; }
    /// Moves the data set and the grid to the row, storing a pending one.
    bool goToRow(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    void followDataSet(int row);
    void appendRow();
    void deleteRow();

    Messages &m_messages;
    db::DataSet *m_dataSet = nullptr;
    bool m_editing = false;
    bool m_syncing = false;
    bool m_showsErrors = true;
};

} // namespace mizro::ui
