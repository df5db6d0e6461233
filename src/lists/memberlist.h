#pragma once

#include "ui/buttonclosedialog.h"

class QLineEdit;
class QMenu;
class QPushButton;

namespace mizro::ui {
class Session;
class DataGrid;
struct Body;
} // namespace mizro::ui

namespace mizro::lists {

class MemberRules;

/// TFRMENCUYE / TFRMMECUYE: a body's members of one year in an editable
/// grid. Left only through its two buttons.
class MemberList : public ui::ButtonCloseDialog {
    Q_OBJECT
public:
    MemberList(ui::Session &session, const ui::Body &body, QWidget *parent = nullptr);
    ~MemberList() override;

    MemberRules &rules() const { return *m_rules; }
    ui::DataGrid *grid() const { return m_grid; }
    QLineEdit *yearField() const { return m_year; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }
    QMenu *stateMenu() const { return m_stateMenu; }

    /// Leaving the year field or Enter in it: store (or drop, if untouched)
    /// the pending row, then show the typed year's members.
    void showTypedYear();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void saveAndClose();
    void cancelAndClose();
    void closeWithPermission();

    ui::Session &m_session;
    const ui::Body &m_body;
    std::unique_ptr<MemberRules> m_rules;
    ui::DataGrid *m_grid;
    QLineEdit *m_year;
    QPushButton *m_save;
    QPushButton *m_cancel;
    QMenu *m_stateMenu;
};

} // namespace mizro::lists
