#pragma once

#include "classiceditor.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace mizro::db {
class DataSet;
}

namespace mizro::documents {
class DocumentContainer;
}

namespace mizro::ui {
class DataGrid;
class DialogRunner;
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendanceRules;
class DecisionRules;

/// TFRMENCUMEN / TFRMMECLIS: the decisions of the classic register's current
/// meeting, with the current decision's document; decisions are written in
/// the classic editor.
class ClassicDecisionList : public QDialog {
    Q_OBJECT
public:
    using EditorMode = ClassicEditor::Mode;
    /// Opens the editor on the list's decisions; true when it saved.
    using EditorOpener = std::function<bool(ClassicDecisionList &, EditorMode)>;

    /// meetings: the register's list, its current row the meeting shown.
    ClassicDecisionList(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                        const db::DataSet &meetings, AttendanceRules &attendance,
                        QWidget *parent = nullptr);
    ~ClassicDecisionList() override;

    void setEditorOpener(EditorOpener opener) { m_openEditor = std::move(opener); }

    // Commands of the buttons and the grid.
    void newDecision();
    void changeDecision();
    void deleteDecision();

    const ui::Body &body() const { return m_body; }
    DecisionRules &decisions() const { return *m_decisions; }
    const db::DataSet &meetings() const { return m_meetings; }
    AttendanceRules &attendance() const { return m_attendance; }
    int recordNumber() const { return m_recordNumber; }

    ui::DataGrid *grid() const { return m_grid; }
    documents::DocumentContainer *view() const { return m_view; }
    QPushButton *newButton() const { return m_new; }
    QPushButton *changeButton() const { return m_change; }
    QPushButton *exitButton() const { return m_exit; }
    QPushButton *deleteButton() const { return m_delete; }

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QWidget *buildParticulars();
    void openEditor(EditorMode mode);
    /// TEXTGETIR: the view shows the current decision's document.
    void showDocument();

    ui::Session &m_session;
    const ui::Body &m_body;
    ui::DialogRunner &m_dialogs;
    const db::DataSet &m_meetings;
    AttendanceRules &m_attendance;
    std::unique_ptr<DecisionRules> m_decisions;
    QHash<int, QString> m_departments;
    int m_recordNumber = 0;
    QVariant m_meetingNumber;

    documents::DocumentContainer *m_view = nullptr;
    ui::DataGrid *m_grid = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_change = nullptr;
    QPushButton *m_exit = nullptr;
    QPushButton *m_delete = nullptr;
    EditorOpener m_openEditor;
    bool m_opened = false;
};

} // namespace mizro::reg
