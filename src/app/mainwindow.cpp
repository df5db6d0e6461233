#include "mainwindow.h"

#include "mdibackdrop.h"
#include "settings.h"
#include "statuspanel.h"
#include "tarihbul.h"

#include "db/dberror.h"
#include "db/query.h"
#include "ui/collapsiblegroup.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/programend.h"
#include "ui/session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace mizro::app {

using ui::CollapsibleGroup;

namespace {

struct CommandText {
    MainWindow::Command command;
    const char *menuText;  // the menu entry
    const char *panelText; // the command panel's button
    const char *handler;   // object name of the action
};

// Menu and panel captions of each command; "&" marks the menu entry's Alt
// letter.
const CommandText Commands[] = {
    {MainWindow::Command::EncRegister, "&Encümen Kararları", "Encümen Kararları",
     "EncmenKararlar1"},
    {MainWindow::Command::MecRegister, "&Meclis Kararları", "Meclis Kararları", "MeclisKararlar1"},
    {MainWindow::Command::EncLedger, "&Encümen Karar Defteri", "Encümen Karar Defteri",
     "KararDefteri1"},
    {MainWindow::Command::MecLedger, "&Meclis Karar Defteri", "Meclis Karar Defteri",
     "MeclisKararDefter1"},
    {MainWindow::Command::EncSearch, "&Arama (Encümen)", "Arama (Encümen)", "AramaEncmen1"},
    {MainWindow::Command::MecSearch, "A&rama (Meclis)", "Arama (Meclis)", "AramaMeclis1"},
    {MainWindow::Command::GeneralDefinitions, "&Genel Tanımlar", "Genel Tanımlar", "GenelTanmlar1"},
    {MainWindow::Command::Departments, "&Birim Tanımları", "Birim Tanımları", "BirimTanmlar1"},
    {MainWindow::Command::EncMembers, "&Encümen Üye Listesi", "Encümen Üye Listesi",
     "EncmenyeListesi1"},
    {MainWindow::Command::MecMembers, "&Meclis Üye Listesi", "Meclis Üye Listesi",
     "MeclisyeListesi1"},
    {MainWindow::Command::Templates, "&Karar Örneği", "Karar Örneği", "Kararrnei1"},
    {MainWindow::Command::FileCheck, "&Dosya Kontrol İşlemi", "Dosya Kontrol", "DosyaKontrollemi1"},
    {MainWindow::Command::DatabaseLocation, "&Veritabanı", "Veritabanı", "Veritaban1"},
    {MainWindow::Command::Exit, "&Programdan Çıkış", "", "Programdank1"},
};

const CommandText &textOf(MainWindow::Command c)
{
    for (const CommandText &t : Commands)
        if (t.command == c)
            return t;
    return Commands[0];
}

bool isRegister(MainWindow::Command c)
{
    return c == MainWindow::Command::EncRegister || c == MainWindow::Command::MecRegister;
}

} // namespace

MainWindow::MainWindow(ui::Session &session, ui::DialogRunner &dialogs, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_dialogs(dialogs), m_mdi(new MdiBackdrop(this)),
      m_status(new StatusPanel(this)), m_clockTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("TFRMMENU"));
    setWindowTitle(QStringLiteral("MIZRO - ") + MdiBackdrop::titleLine());
    // No title-bar buttons: the program is left through its exit commands.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(1200, 780);

    for (const CommandText &t : Commands)
        makeAction(t.command, QString::fromUtf8(t.menuText), QString::fromUtf8(t.handler));
    action(Command::DatabaseLocation)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    buildMenus();

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto *left = new QWidget(central);
    left->setObjectName(QStringLiteral("LeftColumn"));
    left->setFixedWidth(230);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(left);
    scroll->setObjectName(QStringLiteral("CategoryPanelGroup1"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *panel = new QWidget(scroll);
    scroll->setWidget(panel);
    leftLayout->addWidget(scroll, 1);
    leftLayout->addWidget(m_status);
    row->addWidget(left);
    row->addWidget(m_mdi, 1);
    setCentralWidget(central);

    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    panelLayout->setSpacing(2);
    const auto addGroup = [&](const QString &caption, std::initializer_list<Command> commands) {
        auto *g = new CollapsibleGroup(caption, panel);
        for (Command c : commands) {
            QAction *a = action(c);
            QPushButton *b = g->addButton(QString::fromUtf8(textOf(c).panelText));
            b->setObjectName(a->objectName() + QStringLiteral("Button"));
            b->setEnabled(a->isEnabled());
            connect(b, &QPushButton::clicked, a, &QAction::trigger);
            connect(a, &QAction::changed, b, [a, b] { b->setEnabled(a->isEnabled()); });
        }
        panelLayout->addWidget(g);
        m_groups << g;
        return g;
    };
    addGroup(QStringLiteral("KARAR İŞLEMLERİ"), {Command::EncRegister, Command::MecRegister});
    addGroup(QStringLiteral("RAPORLAR"),
             {Command::EncLedger, Command::MecLedger, Command::EncSearch, Command::MecSearch});
    addGroup(QStringLiteral("TANIMLAR"),
             {Command::GeneralDefinitions, Command::Departments, Command::EncMembers,
              Command::MecMembers, Command::Templates, Command::FileCheck,
              Command::DatabaseLocation});
    CollapsibleGroup *contact = addGroup(QStringLiteral("BİZE YAZIN"), {});
    CollapsibleGroup *exit = addGroup(QStringLiteral("ÇIKIŞ"), {});
    panelLayout->addStretch(1);
    contact->setExpanded(false);
    exit->setExpanded(false);
    m_groups[2]->setExpanded(false);
    // CategoryPanel8Expand: expanding the exit group leaves the program.
    connect(exit, &CollapsibleGroup::expanded, this, [this] { close(); });

    connect(m_clockTimer, &QTimer::timeout, this, &MainWindow::updateClock);
    m_clockTimer->start(60000);
    updateCommandStates();
}

MainWindow::~MainWindow()
{
    // Screens still open go with the frame; their slots must not be tended
    // while the frame's own parts are already gone.
    for (const QPointer<QWidget> &screen : std::as_const(m_screens))
        if (screen)
            disconnect(screen, nullptr, this, nullptr);
}

QAction *MainWindow::makeAction(Command command, const QString &text, const QString &name)
{
    auto *a = new QAction(text, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, command] { run(command); });
    m_actions.insert(command, a);
    return a;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *registers = bar->addMenu(QStringLiteral("&Karar İşlemleri"));
    registers->addAction(action(Command::EncRegister));
    registers->addAction(action(Command::MecRegister));
    QMenu *reports = bar->addMenu(QStringLiteral("&Raporlar"));
    reports->addAction(action(Command::EncLedger));
    reports->addAction(action(Command::MecLedger));
    reports->addAction(action(Command::EncSearch));
    reports->addAction(action(Command::MecSearch));
    // Reached through the command panel only.
    reports->menuAction()->setVisible(false);
    QMenu *defs = bar->addMenu(QStringLiteral("&Tanımlar"));
    for (Command c :
         {Command::GeneralDefinitions, Command::Departments, Command::EncMembers,
          Command::MecMembers, Command::Templates, Command::FileCheck, Command::DatabaseLocation})
        defs->addAction(action(c));
    bar->addAction(action(Command::Exit));
    // Shortcuts of hidden menus still work while the frame is active.
    addActions(reports->actions());
    addActions(defs->actions());
}

void MainWindow::setRegisterFactory(RegisterSlot slot, ScreenFactory factory)
{
    m_factories.insert(slot, std::move(factory));
    updateCommandStates();
}

void MainWindow::setDialog(Command command, QDialog *dialog)
{
    m_modal.insert(command, dialog);
    updateCommandStates();
}

QWidget *MainWindow::registerScreen(RegisterSlot slot) const
{
    return m_screens.value(slot);
}

MainWindow::RegisterSlot MainWindow::registerSlotFor(Command command) const
{
    const bool single = m_session.singleScreenRegisters();
    if (command == Command::EncRegister)
        return single ? RegisterSlot::EncSingle : RegisterSlot::EncClassic;
    return single ? RegisterSlot::MecSingle : RegisterSlot::MecClassic;
}

void MainWindow::updateCommandStates()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        const Command c = it.key();
        bool enabled = true;
        if (isRegister(c))
            enabled = m_factories.contains(registerSlotFor(c));
        else if (c != Command::Exit)
            enabled = !m_modal.value(c).isNull();
        it.value()->setEnabled(enabled);
    }
}

void MainWindow::run(Command command)
{
    if (command == Command::Exit) {
        close();
        return;
    }
    if (isRegister(command))
        openRegister(command);
    else
        runDialog(command);
}

void MainWindow::openRegister(Command command)
{
    const RegisterSlot slot = registerSlotFor(command);
    if (QWidget *open = m_screens.value(slot)) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(open->parentWidget())) {
            if (sub->isMinimized())
                sub->showMaximized(); // a register put aside comes back whole
            m_mdi->setActiveSubWindow(sub);
            sub->raise();
        }
        return;
    }
    const ScreenFactory factory = m_factories.value(slot);
    if (!factory)
        return;
    QWidget *screen = factory(nullptr);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdi->addSubWindow(screen);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_screens.insert(slot, screen);
    // A screen that closes itself (or switches its variant) frees its slot.
    connect(screen, &QObject::destroyed, sub, &QObject::deleteLater);
    connect(screen, &QObject::destroyed, this, [this] { updateCommandStates(); });
    screen->show();
    // The registers are the day's work: they take the whole frame.
    sub->showMaximized();
    m_mdi->setActiveSubWindow(sub);
}

void MainWindow::runDialog(Command command)
{
    QDialog *dialog = m_modal.value(command);
    if (!dialog)
        return;
    if (command == Command::EncLedger || command == Command::MecLedger)
        m_session.setLedgerPrinted(false);
    m_dialogs.exec(*dialog);
    if (command == Command::GeneralDefinitions)
        refreshDefinitions();
}

QString MainWindow::kurum() const
{
    return static_cast<MdiBackdrop *>(m_mdi)->kurum();
}

void MainWindow::setKurum(const QString &kurum)
{
    static_cast<MdiBackdrop *>(m_mdi)->setKurum(kurum);
}

void MainWindow::ibaseAc(const QDate &today, const QString &currentDirectory)
{
    const Settings s = Settings::loadAtStart(today, currentDirectory);
    m_session.setWorkingYear(s.yil);
    m_session.server = s.srv;
    m_session.directory = s.yol;
    m_session.setMensek(s.mensek);
    m_session.rnk = s.rnk;

    db::Database &db = m_session.database();
    m_session.setConnectionFailed(false);
    db.disconnect();
    db.setDatabaseName(databaseName(s.srv, s.yol));
    m_openFailure = {};
    try {
        db.connect();
    } catch (const db::DbError &e) {
        m_session.setConnectionFailed(true);
        m_openFailure = OpenFailure::explain(db.databaseName(), e);
    }
    if (db.isConnected())
        m_status->year()->setText(m_session.workingYear());
    updateCommandStates();
}

void MainWindow::readTanim()
{
    db::Query q(
        m_session.database(),
        QStringLiteral("SELECT KURUM,ILADI,ILCE,BELDE,UDUR,ONIZ,GDUR,EMAIL,CYIL FROM TANIM"));
    q.exec();
    const bool has = q.next();
    setKurum(has ? q.value(QStringLiteral("KURUM")).toString() : QString());
    m_session.setLoginSwitch(has ? q.value(QStringLiteral("UDUR")).toString() : QString());
    m_session.setWorkingYear(has ? q.value(QStringLiteral("CYIL")).toString() : QString());
    q.close();
}

bool MainWindow::tanimOku()
{
    try {
        readTanim();
        return true;
    } catch (const db::DbError &) {
        closeRoutine();
        return false;
    }
}

void MainWindow::readDefinitionsIntoStatus()
{
    db::Query q(m_session.database(), QStringLiteral("SELECT * FROM TANIM"));
    q.exec();
    const bool has = q.next();
    m_session.setDefinitionsYear(has ? q.value(QStringLiteral("CYIL")).toString() : QString());
    setKurum(has ? q.value(QStringLiteral("KURUM")).toString() : QString());
    m_status->year()->setText(m_session.definitionsYear());
    q.close();
}

void MainWindow::refreshDefinitions()
{
    try {
        readDefinitionsIntoStatus();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void MainWindow::collapseAllGroups()
{
    for (CollapsibleGroup *g : std::as_const(m_groups)) {
        // Collapsing never triggers the exit group: only expanding does.
        g->setExpanded(false);
    }
}

void MainWindow::updateClock()
{
    m_status->clock()->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")).left(5));
}

void MainWindow::formActivate()
{
    if (m_inActivation || m_noticePending || m_endRequested ||
        m_session.startupDone() == QStringLiteral("1"))
        return;
    m_inActivation = true;
    const auto done = qScopeGuard([this] { m_inActivation = false; });
    try {
        if (m_session.connectionFailed() && m_steps.location && !m_steps.location()) {
            requestEnd();
            return;
        }
        updateClock();
        readTanim();
        if (m_session.loginSwitch() == QStringLiteral("1") && m_steps.login) {
            if (!m_steps.login()) {
                requestEnd();
                return;
            }
            m_status->user()->setText(m_session.userName());
        }
        if (m_steps.versionCheck) {
            m_steps.versionCheck();
            if (!m_session.versionAccepted()) {
                requestEnd();
                return;
            }
        }
        m_status->dateLine()->setText(dateLine(QDate::currentDate()));
        readDefinitionsIntoStatus();
        collapseAllGroups();
    } catch (const db::DbError &e) {
        // Shown once; its own box closing must not run the routine again.
        m_session.messages().error(this, e);
        return;
    }
    if (m_steps.notice) {
        // The routine counts as running until the server has answered or
        // given up, so that no activation meanwhile starts it again.
        m_noticePending = true;
        m_steps.notice([this] {
            m_noticePending = false;
            emit activationFinished();
        });
        return;
    }
    emit activationFinished();
}

void MainWindow::requestEnd()
{
    m_endRequested = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

QString MainWindow::closeRoutine()
{
    emit closing();
    const QString error = m_session.database().disconnect();
    Settings::writeMensek(m_session.mensek());
    return error;
}

void MainWindow::firstRun()
{
    if (!m_firstRunPending)
        return;
    m_firstRunPending = false;
    formActivate();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Its dialogs are modal: not from inside show().
    if (m_firstRunPending)
        QMetaObject::invokeMethod(this, &MainWindow::firstRun, Qt::QueuedConnection);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // F10 opens the first menu, as on Windows; the arrows go on from there.
    // A key no one else took: a screen's own F10 ("F10-Sil") comes first.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier) {
        for (QAction *a : menuBar()->actions()) {
            if (a->isVisible() && a->isEnabled()) {
                menuBar()->setActiveAction(a);
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // Only a return from another window of the program runs the routine
        // again, and never one that the routine itself opened.
        QWidget *now = QApplication::activeWindow();
        m_leftForOwnWindow = !m_inActivation && now && now != this;
        return;
    }
    if (m_firstRunPending) {
        firstRun();
    } else if (m_leftForOwnWindow) {
        m_leftForOwnWindow = false;
        formActivate();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        setProperty(ui::ProgramEndingProperty, true);
        for (QMdiSubWindow *sub : m_mdi->subWindowList())
            sub->close();
        const QString error = closeRoutine();
        if (!error.isEmpty())
            m_session.messages().error(
                this, QStringLiteral("Veritabanı kapatılırken hata oluştu:\n") + error);
    }
    event->accept();
}

} // namespace mizro::app
