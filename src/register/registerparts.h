#pragma once

#include <QGroupBox>
#include <QPointer>
#include <functional>

class QAction;
class QCloseEvent;
class QComboBox;
class QMdiSubWindow;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class DataGrid;
class DialogRunner;
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendanceRules;

/// A bold heading over plain contents.
QGroupBox *boldGroup(const QString &title, QWidget *parent);
/// The widget and its children in the normal font (inside a bold group).
void plainFonts(QWidget *w);
/// "Olağan" / "Olağanüstü"; the clerk's choice writes TUR.
QComboBox *meetingTypeSelector(db::DataSet &meetings, QWidget *parent);
/// "Evrak" / "Dilekçe", the kinds of paper a committee decision answers
/// (ETUR "E" / "D"), with no choice made.
QComboBox *documentKindSelector(QWidget *parent);
/// The meeting's TUR in the selector: no choice when empty, other values
/// leave it as it was.
void showMeetingType(QComboBox *selector, const db::DataSet &meetings);
/// A key of the window's own menu: not on screen, yet enabled and visible,
/// since a hidden action has no working key.
QAction *addKey(QWidget *owner, const QString &text, Qt::Key key, std::function<void()> command);

/// Calls activate() each time the screen's child window becomes the active
/// one after another (not when the program comes back to the front), and
/// when it is active again while needsData() says its data is closed.
void watchActivation(QWidget *screen, std::function<bool()> needsData,
                     std::function<void()> activate);

/// On the register's first show in its frame: takes the close box away when
/// the window has none, and runs activate() as watchActivation() tells.
void firstShownInFrame(QWidget *screen, bool closeBox, std::function<bool()> needsData,
                       std::function<void()> activate);
/// A register's close. Asked for by its own command or by the program's
/// end, it goes. Without a close box, a close from elsewhere acts as the
/// exit command (only while browsing); with one, the window is put aside,
/// an open entry kept, the data closed while browsing (closeData()).
void closeRegister(QWidget *screen, QCloseEvent *event, bool byCommand, bool closeBox,
                   bool browsing, const std::function<void()> &closeData);

/// "Toplantıya Katılan Üyeler": the current meeting's attendance, with the
/// "Ekle" / "Sil" menu while attached (an entry is open).
class AttendancePanel : public QGroupBox {
    Q_OBJECT
public:
    AttendancePanel(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                    AttendanceRules &rules, std::function<int()> recordNumber,
                    QWidget *parent = nullptr);

    ui::DataGrid *grid() const { return m_grid; }
    void setMenuAttached(bool attached) { m_attached = attached; }
    bool menuAttached() const { return m_attached; }

    /// Reads the meeting's attendance; a failure is told.
    void list(int recordNumber);
    /// "Ekle": the pick list of the members not yet present.
    void addMembers();
    /// "Sil": the current member leaves the meeting, after the question.
    void removeMember();

private:
    ui::Session &m_session;
    const ui::Body &m_body;
    ui::DialogRunner &m_dialogs;
    AttendanceRules &m_rules;
    std::function<int()> m_recordNumber;
    ui::DataGrid *m_grid;
    bool m_attached = false;
};

} // namespace mizro::reg
