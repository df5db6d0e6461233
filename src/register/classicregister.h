#pragma once

#include "meetingscreen.h"

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace mizro::ui {
class DataGrid;
class DialogRunner;
class FieldBinder;
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendancePanel;
class AttendanceRules;
class MeetingRules;

/// TFRMENC / TFRMMEC: the older meeting register. A body's meetings of the
/// working year in a list, the current one's particulars and attendance; a
/// meeting's decisions are handled in its decision list (modal).
class ClassicRegister : public MeetingScreen {
    Q_OBJECT
public:
    ClassicRegister(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                    QWidget *parent = nullptr);
    ~ClassicRegister() override;

    // Commands, as the buttons, the list and the council's keys give them.
    void formActivate() override;
    void decisionsButton();
    void deleteMeeting();
    void switchVariant();

    AttendancePanel *attendancePanel() const { return m_attendancePanel; }

    ui::DataGrid *meetingList() const { return m_list; }
    QPushButton *decisionsButtonWidget() const { return m_decisionsButton; }
    QToolButton *variantButton() const { return m_variant; }
    QLineEdit *numberEdit() const { return m_number; }
    QLabel *recordLabel() const { return m_record; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *dateEdit() const { return m_date; }
    QLineEdit *timeEdit() const { return m_time; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QWidget *particulars() const { return m_particulars; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QWidget *buildParticulars();
    void buildList();
    void setMode(Mode mode);
    void currentMeetingChanged();
    void beginNew() override;
    void beginChange() override;
    void saveMeeting() override;
    void cancelEntry() override;
    void openData();
    void closeData() override;
    /// A key acts only while its button can be clicked.
    static bool clickable(const QPushButton *button);

    ui::FieldBinder *m_fields = nullptr;

    ui::DataGrid *m_list = nullptr;
    AttendancePanel *m_attendancePanel = nullptr;
    QWidget *m_particulars = nullptr;
    QLineEdit *m_number = nullptr;
    QLabel *m_record = nullptr;
    QComboBox *m_type = nullptr;
    QLineEdit *m_date = nullptr;
    QLineEdit *m_time = nullptr;
    QLineEdit *m_description = nullptr;
    QPushButton *m_decisionsButton = nullptr;
    QToolButton *m_variant = nullptr;
    QList<QAction *> m_keys; // the council's menu entries
};

} // namespace mizro::reg
