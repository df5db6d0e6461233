#pragma once

#include "variant.h"

#include <QStyle>
#include <QWidget>
#include <memory>

class QPushButton;

namespace mizro::ui {
class DialogRunner;
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::reg {

class AttendanceRules;
class MeetingRules;

/// What both register windows share: a body's meetings and the current
/// one's attendance, the entry modes, the first two buttons that begin an
/// entry and then save or cancel it, the exit and delete buttons, and how
/// the window lives in the main window's frame.
class MeetingScreen : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Browse = 0, New = 1, Change = 2 };

    ~MeetingScreen() override;

    void firstButton();  // new meeting, or save
    void secondButton(); // change, or cancel
    void exitWindow();

    Mode mode() const { return m_mode; }
    const ui::Body &body() const { return m_body; }
    ui::Session &session() const { return m_session; }
    ui::DialogRunner &dialogs() const { return m_dialogs; }
    MeetingRules &meetings() const { return *m_meetings; }
    AttendanceRules &attendance() const { return *m_attendance; }

    QPushButton *newButton() const { return m_first; }
    QPushButton *changeButton() const { return m_second; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *exitButton() const { return m_exit; }

protected:
    /// closeBox: the window's close box only puts it aside.
    MeetingScreen(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                  Variant variant, bool closeBox, QWidget *parent);

    virtual void beginNew() = 0;
    virtual void beginChange() = 0;
    virtual void saveMeeting() = 0;
    virtual void cancelEntry() = 0;
    virtual void formActivate() = 0;
    virtual void closeData() = 0;

    /// A button of the bar, as wide as the widest caption asks.
    QPushButton *commandButton(const QString &text, const QString &name,
                               QStyle::StandardPixmap icon, const QString &widest);
    /// "Kayıt" / "İptal" during an entry; else the captions of browsing,
    /// with their keys until the first entry ends.
    void showCaptions(bool entry);
    /// Begins a new meeting, or a change of the current one, in the rules;
    /// false (after telling why, if there is a reason to tell) when none begins.
    bool beginEntry(Mode mode);
    /// The record number of the current meeting (0 when none).
    int recordNumber() const;
    void showError(const QString &text, const QString &details);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    ui::Session &m_session;
    const ui::Body &m_body;
    ui::DialogRunner &m_dialogs;
    std::unique_ptr<MeetingRules> m_meetings;
    std::unique_ptr<AttendanceRules> m_attendance;
    QPushButton *m_first = nullptr;
    QPushButton *m_second = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_exit = nullptr;
    Mode m_mode = Mode::Browse;
    bool m_captionsPrefixed = true;
    bool m_dataOpen = false;
    bool m_closing = false;

private:
    bool m_closeBox;
    bool m_shownOnce = false;
};

} // namespace mizro::reg
