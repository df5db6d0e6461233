#pragma once

#include "meetingscreen.h"

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QPushButton;
class QToolButton;

namespace mizro::ui {
class CardList;
class DataGrid;
class DialogRunner;
class FieldBinder;
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendancePanel;
class AttendanceRules;
class DecisionCard;
class DecisionRules;
class MeetingRules;

/// TFRMENC1 / TFRMMEC1: a body's meetings of the working year, the current
/// meeting's particulars and attendance, and its decisions as cards; a
/// meeting is entered or changed with its attendance and decisions in one go.
class SingleRegister : public MeetingScreen {
    Q_OBJECT
public:
    /// Opens the document editor on the current decision (modal).
    using EditorOpener = std::function<void(SingleRegister &)>;

    SingleRegister(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                   QWidget *parent = nullptr);
    ~SingleRegister() override;

    void setEditorOpener(EditorOpener opener) { m_openEditor = std::move(opener); }

    // Commands, as the buttons and keys give them.
    /// Runs each time the window becomes the active child window; an open
    /// entry is left as it is.
    void formActivate() override;
    void deleteMeeting();
    void switchVariant();
    void addDecision();
    void deleteDecisionButton();
    void decisionText();
    void saveDecision();
    void addMembers();
    void removeMember();

    bool attendanceMenuAttached() const;
    DecisionRules &decisions() const { return *m_decisions; }

    ui::DataGrid *meetingList() const { return m_list; }
    ui::DataGrid *attendanceGrid() const { return m_attendanceGrid; }
    ui::CardList *cards() const { return m_cards; }
    DecisionCard *currentCard() const;
    QToolButton *variantButton() const { return m_variant; }
    QLineEdit *numberEdit() const { return m_number; }
    QLabel *recordLabel() const { return m_record; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *dateEdit() const { return m_date; }
    QLineEdit *timeEdit() const { return m_time; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QComboBox *kindBox() const { return m_kind; }
    QComboBox *departmentBox() const { return m_department; }
    QString deleteDecisionLabel() const { return m_deleteLabel; }
    QWidget *particulars() const { return m_particulars; }
    QWidget *decisionArea() const { return m_decisionArea; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMeetingList(QWidget *panel);
    QWidget *buildParticulars();
    QWidget *buildAttendance();
    QWidget *buildDecisionArea();
    QAction *key(const QString &text, Qt::Key key, void (SingleRegister::*command)());

    void setMode(Mode mode);
    void currentMeetingChanged(bool force);
    void currentDecisionChanged();
    void followMeetingValues();
    void beginNew() override;
    void beginChange() override;
    void saveMeeting() override;
    void cancelEntry() override;
    bool saveDecisionIfEditing();
    /// The boxes' texts can all be read; else the clerk is told and the box
    /// takes the focus.
    bool readable(const ui::FieldBinder *fields);
    void refreshCount(int recordNumber);
    void showNotices();
    void setDeleteLabel(const QString &label);
    void openData();
    void closeData() override;
    void focusSummary();

    std::unique_ptr<DecisionRules> m_decisions;
    ui::FieldBinder *m_meetingFields = nullptr;
    ui::FieldBinder *m_decisionFields = nullptr;

    ui::DataGrid *m_list = nullptr;
    ui::DataGrid *m_attendanceGrid = nullptr;
    ui::CardList *m_cards = nullptr;
    QWidget *m_particulars = nullptr;
    QWidget *m_attendanceBox = nullptr;
    AttendancePanel *m_attendancePanel = nullptr;
    QWidget *m_decisionArea = nullptr;
    QLineEdit *m_number = nullptr;
    QLabel *m_record = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_time = nullptr;
    QLineEdit *m_description = nullptr;
    QComboBox *m_kind = nullptr;
    QComboBox *m_department = nullptr;
    QToolButton *m_variant = nullptr;

    EditorOpener m_openEditor;
    bool m_deleteMode = false; // a decision was added and the button not clicked since
    QString m_deleteLabel;
    QString m_heldKind;
    int m_shownMeeting = -1; // KAYNO whose decisions and attendance are shown
    bool m_reading = false;  // the meeting list is being read again
};

} // namespace mizro::reg
