#pragma once

#include "openfailure.h"

#include <QDialog>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QMdiArea;
class QLabel;
class QTimer;

namespace mizro::ui {
class Session;
class DialogRunner;
class CollapsibleGroup;
} // namespace mizro::ui

namespace mizro::app {

class StatusPanel;

/// TFRMMENU: the frame the register screens open in, with the menu bar, the
/// command panel and the status panel. Owns the start-up sequence that runs
/// when the window is first activated, and the close routine.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    enum class Command {
        EncRegister,
        MecRegister,
        EncLedger,
        MecLedger,
        EncSearch,
        MecSearch,
        GeneralDefinitions,
        Departments,
        EncMembers,
        MecMembers,
        Templates,
        FileCheck,
        DatabaseLocation,
        Exit,
    };
    Q_ENUM(Command)
    /// One child register screen at most per slot.
    enum class RegisterSlot { EncSingle, MecSingle, EncClassic, MecClassic };
    using ScreenFactory = std::function<QWidget *(QWidget *parent)>;

    MainWindow(ui::Session &session, ui::DialogRunner &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Start-up.
    /// IBASEAC: settings read and written back, database name, connection.
    void ibaseAc(const QDate &today, const QString &currentDirectory);
    /// TANIMOKU: the definitions into the program-wide values. On failure the
    /// close routine runs and false is returned.
    bool tanimOku();
    /// FormActivate: the activation routine.
    void formActivate();
    /// FormClose: disconnect (committing), write MENSEK. Returns the error
    /// text of a failed final commit (empty on success).
    QString closeRoutine();

    /// Steps of the activation routine supplied by the start-up dialogs.
    struct ActivationSteps {
        std::function<bool()> location;     // false: the program ends
        std::function<bool()> login;        // false: the program ends
        std::function<void()> versionCheck; // sets the version accepted flag
        // TARAYICI, last: returns at once and calls its argument once ended.
        std::function<void(std::function<void()>)> notice;
    };
    void setActivationSteps(ActivationSteps steps) { m_steps = std::move(steps); }

    /// Why the connection at start failed (empty when it did not).
    const OpenFailure &openFailure() const { return m_openFailure; }

    /// Asks the program to end once control is back in the event loop.
    void requestEnd();
    bool endRequested() const { return m_endRequested; }

    // Screens.
    void setRegisterFactory(RegisterSlot slot, ScreenFactory factory);
    void setDialog(Command command, QDialog *dialog);
    QWidget *registerScreen(RegisterSlot slot) const;
    RegisterSlot registerSlotFor(Command command) const;
    void run(Command command);

    QAction *action(Command command) const { return m_actions.value(command); }
    QDialog *dialog(Command command) const { return m_modal.value(command); }
    QList<ui::CollapsibleGroup *> groups() const { return m_groups; }
    QMdiArea *mdiArea() const { return m_mdi; }
    StatusPanel *statusPanel() const { return m_status; }
    QString kurum() const;
    void setKurum(const QString &kurum);
    /// Re-reads the definitions record after the general definitions dialog.
    void refreshDefinitions();
    void collapseAllGroups();
    void updateClock();

signals:
    /// The activation routine ran to its end (not stopped by an error).
    void activationFinished();
    /// The close routine runs: whatever talks to the network lets go.
    void closing();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    /// The routine's first run: when the window is first shown or first
    /// activated, whichever comes first. Without a window manager it is
    /// never activated.
    void firstRun();
    QAction *makeAction(Command command, const QString &text, const QString &name);
    void openRegister(Command command);
    void runDialog(Command command);
    void updateCommandStates();
    /// "SELECT * FROM TANIM": definitions year, LKURUM, LBLYIL.
    void readDefinitionsIntoStatus();
    /// TANIMOKU's statement; throws DbError.
    void readTanim();

    ui::Session &m_session;
    ui::DialogRunner &m_dialogs;
    QMdiArea *m_mdi;
    StatusPanel *m_status;
    QTimer *m_clockTimer;
    QHash<Command, QAction *> m_actions;
    QList<ui::CollapsibleGroup *> m_groups;
    QHash<RegisterSlot, ScreenFactory> m_factories;
    QHash<RegisterSlot, QPointer<QWidget>> m_screens;
    QHash<Command, QPointer<QDialog>> m_modal;
    ActivationSteps m_steps;
    OpenFailure m_openFailure;
    bool m_inActivation = false;
    bool m_firstRunPending = true;
    bool m_noticePending = false; // the routine's last step is under way
    bool m_leftForOwnWindow = false;
    bool m_closed = false;
    bool m_endRequested = false;
};

} // namespace mizro::app
