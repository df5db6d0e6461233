#pragma once

#include <QWidget>
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
class ClassicRegister : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Browse = 0, New = 1, Change = 2 };
    ClassicRegister(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                    QWidget *parent = nullptr);
    ~ClassicRegister() override;

    // Commands, as the buttons, the list and the council's keys give them.
    void formActivate();
    void firstButton();  // new meeting, or save
    void secondButton(); // change, or cancel
    void decisionsButton();
    void deleteMeeting();
    void exitWindow();
    void switchVariant();

    Mode mode() const { return m_mode; }
    const ui::Body &body() const { return m_body; }
    ui::Session &session() const { return m_session; }
    ui::DialogRunner &dialogs() const { return m_dialogs; }
    MeetingRules &meetings() const { return *m_meetings; }
    AttendanceRules &attendance() const { return *m_attendance; }
    AttendancePanel *attendancePanel() const { return m_attendancePanel; }

    ui::DataGrid *meetingList() const { return m_list; }
    QPushButton *newButton() const { return m_first; }
    QPushButton *changeButton() const { return m_second; }
    QPushButton *decisionsButtonWidget() const { return m_decisionsButton; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *exitButton() const { return m_exit; }
    QToolButton *variantButton() const { return m_variant; }
    QLineEdit *numberEdit() const { return m_number; }
    QLabel *recordLabel() const { return m_record; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *dateEdit() const { return m_date; }
    QLineEdit *timeEdit() const { return m_time; }
    QLineEdit *descriptionEdit() const { return m_description; }
    QWidget *particulars() const { return m_particulars; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QWidget *buildParticulars();
    void buildList();
    void setMode(Mode mode);
    void currentMeetingChanged();
    void beginNew();
    void beginChange();
    void saveMeeting();
    void cancelEntry();
    void openData();
    void closeData();
    void showError(const QString &text, const QString &details);
    int recordNumber() const;
    /// A key acts only while its button can be clicked.
    static bool clickable(const QPushButton *button);

    ui::Session &m_session;
    const ui::Body &m_body;
    ui::DialogRunner &m_dialogs;
    std::unique_ptr<MeetingRules> m_meetings;
    std::unique_ptr<AttendanceRules> m_attendance;
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
    QPushButton *m_first = nullptr;
    QPushButton *m_second = nullptr;
    QPushButton *m_decisionsButton = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_exit = nullptr;
    QToolButton *m_variant = nullptr;
    QList<QAction *> m_keys; // the council's menu entries

    Mode m_mode = Mode::Browse;
    bool m_captionsPrefixed = true;
    bool m_dataOpen = false;
    bool m_closing = false;
    bool m_shownOnce = false;
};

} // namespace mizro::reg
