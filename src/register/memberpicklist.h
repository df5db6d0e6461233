#pragma once

#include <QDialog>
#include <memory>

class QPushButton;

namespace mizro::ui {
class Session;
class DataGrid;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendanceRules;

/// TFRMEUYEEKLE / TFRMMUYEEKLE: the active members of the working year not
/// yet present at a meeting; a double click adds one at once, "Tümünü
/// Aktar" adds all and closes.
class MemberPickList : public QDialog {
    Q_OBJECT
public:
    MemberPickList(ui::Session &session, const ui::Body &body, QWidget *parent = nullptr);
    ~MemberPickList() override;

    /// Set by the register before it shows the list: the meeting, the
    /// working year, and the register's attendance list to read again after
    /// each addition.
    void handOver(int recordNumber, int year, AttendanceRules *opener);

    ui::DataGrid *grid() const { return m_grid; }
    QPushButton *addAllButton() const { return m_addAll; }
    QPushButton *exitButton() const { return m_exit; }
    AttendanceRules &rules() const { return *m_rules; }

    /// Double click: adds the current member; the list stays open.
    void addCurrent();
    void addAll();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void reread();

    ui::Session &m_session;
    std::unique_ptr<AttendanceRules> m_rules;
    ui::DataGrid *m_grid;
    QPushButton *m_addAll;
    QPushButton *m_exit;
    int m_recordNumber = 0;
    int m_year = 0;
    AttendanceRules *m_opener = nullptr;
};

} // namespace mizro::reg
