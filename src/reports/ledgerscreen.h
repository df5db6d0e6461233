#pragma once

#include "ui/reactivatingdialog.h"

#include <QPrinter>
#include <memory>

class QComboBox;
class QPushButton;

namespace mizro::db {
class DataSet;
}
namespace mizro::ui {
class Session;
class DialogRunner;
class DataGrid;
struct Body;
} // namespace mizro::ui

namespace mizro::reports {

class LedgerRules;
struct ReportDocument;

/// TFRMENCKARDEF / TFRMMECKARDEF: a body's decisions of the definitions
/// year, by month, and the printing of its ledger through the print dialog
/// and the preview.
class LedgerScreen : public ui::ReactivatingDialog {
    Q_OBJECT
public:
    static const QStringList &monthNames();

    LedgerScreen(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                 QWidget *parent = nullptr);
    ~LedgerScreen() override;

    QComboBox *monthSelector() const { return m_month; }
    ui::DataGrid *grid() const { return m_grid; }
    db::DataSet &decisions() const { return *m_decisions; }
    QPushButton *printButton() const { return m_print; }
    QPushButton *closeButton() const { return m_close; }
    int keptMonth() const { return m_keptMonth; }
    bool printedOnce() const { return m_printedOnce; }
    LedgerRules &rules() const { return *m_rules; }
    QPrinter &printer() { return m_printer; }
    /// How long building may take before its progress is shown.
    void setProgressDelay(int ms) { m_progressDelay = ms; }

    /// The opening and each return to the screen: the year's grid while
    /// nothing has been printed since the main window opened it.
    void formActivate() override;
    /// SORGULA: the grid of the period the selector shows.
    void sorgula();
    /// "F7-Yazdır".
    void print();

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void chooseMonth(int index);
    void readGrid(const QString &sql, const QString &yearParam, bool month);

    ui::Session &m_session;
    const ui::Body &m_body;
    ui::DialogRunner &m_dialogs;
    std::unique_ptr<LedgerRules> m_rules;
    std::unique_ptr<db::DataSet> m_decisions;
    QComboBox *m_month;
    ui::DataGrid *m_grid;
    QPushButton *m_print;
    QPushButton *m_close;
    QPrinter m_printer;
    int m_keptMonth = 0;
    bool m_printedOnce = false;
    int m_progressDelay = 500;
};

} // namespace mizro::reports
