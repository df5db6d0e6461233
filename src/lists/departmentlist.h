#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace mizro::ui {
class Session;
class DataGrid;
} // namespace mizro::ui

namespace mizro::lists {

class DepartmentRules;

/// TFRMBIRIM: the departments in a one-column editable grid.
class DepartmentList : public QDialog {
    Q_OBJECT
public:
    explicit DepartmentList(ui::Session &session, QWidget *parent = nullptr);
    ~DepartmentList() override;

    DepartmentRules &rules() const { return *m_rules; }
    ui::DataGrid *grid() const { return m_grid; }
    QPushButton *exitButton() const { return m_exit; }

public slots:
    /// "Çıkış" (and Esc): a row still being edited is dropped.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    ui::Session &m_session;
    std::unique_ptr<DepartmentRules> m_rules;
    ui::DataGrid *m_grid;
    QPushButton *m_exit;
};

} // namespace mizro::lists
