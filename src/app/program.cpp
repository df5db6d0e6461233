#include "program.h"

#include "application.h"
#include "definitionsdialog.h"
#include "filecheckdialog.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "mainwindow.h"
#include "openfailure.h"
#include "singleinstance.h"
#include "terminationsignals.h"
#include "turkish.h"
#include "updater.h"
#include "vendorlink.h"
#include "versioncheck.h"

#include "documents/templatelist.h"
#include "lists/departmentlist.h"
#include "lists/memberlist.h"
#include "lists/searchscreen.h"
#include "register/classicregister.h"
#include "register/singleregister.h"
#include "reports/ledgerscreen.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QPainter>
#include <QSplashScreen>

namespace mizro::app {

namespace {

QPixmap splashPicture()
{
    QPixmap pix(460, 220);
    pix.fill(QColor(0x2f, 0x4f, 0x6f));
    QPainter p(&pix);
    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setPointSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 30, 460, 80), Qt::AlignCenter, QStringLiteral("MIZRO"));
    f.setPointSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 110, 460, 40), Qt::AlignCenter,
               QStringLiteral("Encümen ve Meclis Karar Kayıt Sistemi"));
    p.fillRect(QRect(0, 190, 460, 30), QColor(0x1f, 0x35, 0x4a));
    p.drawText(QRect(0, 190, 460, 30), Qt::AlignCenter, QStringLiteral("Yükleniyor..."));
    return pix;
}

} // namespace

void attachScreens(MainWindow &window, ui::Session &session, ui::DialogRunner &dialogs)
{
    auto *location = new LocationDialog(session, &window);
    auto *login = new LoginDialog(session, &window);
    window.setDialog(MainWindow::Command::DatabaseLocation, location);
    window.setDialog(MainWindow::Command::GeneralDefinitions,
                     new DefinitionsDialog(session, &window));
    window.setDialog(MainWindow::Command::FileCheck, new FileCheckDialog(session, &window));

    MainWindow::ActivationSteps steps;
    steps.location = [&session, &dialogs, &window, location] {
        location->setOutcome(LocationDialog::Outcome::Saved);
        location->showFailure(window.openFailure());
        dialogs.exec(*location);
        if (location->outcome() != LocationDialog::Outcome::Saved)
            return false;
        // The connection works now: asking again after every window would
        // keep the clerk from working.
        session.setConnectionFailed(false);
        return true;
    };
    steps.login = [&session, &dialogs, login] {
        login->prepare();
        dialogs.exec(*login);
        if (login->refused() || login->userName().isEmpty())
            return false;
        session.setUserName(login->userName());
        return true;
    };
    Updater *updater = attachVendorLink(window, session, dialogs, steps).updater;
    steps.versionCheck = [&session, &window, updater] {
        switch (VersionCheck(session).run()) {
        case VersionCheck::Outcome::Upgraded:
            // An upgrade ends the program once the routine has run to its end.
            window.requestEnd();
            break;
        case VersionCheck::Outcome::Refused:
            // A file newer than the program: offer the program's update.
            updater->offer(&window);
            break;
        case VersionCheck::Outcome::Accepted:
            break;
        }
    };
    window.setActivationSteps(std::move(steps));

    // Modal screens are made once and reused for the whole run.
    window.setDialog(MainWindow::Command::Departments, new lists::DepartmentList(session, &window));
    window.setDialog(MainWindow::Command::EncMembers,
                     new lists::MemberList(session, ui::Body::committee(), &window));
    window.setDialog(MainWindow::Command::MecMembers,
                     new lists::MemberList(session, ui::Body::council(), &window));
    window.setRegisterFactory(
        MainWindow::RegisterSlot::EncSingle, [&session, &dialogs](QWidget *p) {
            return new reg::SingleRegister(session, ui::Body::committee(), dialogs, p);
        });
    window.setRegisterFactory(
        MainWindow::RegisterSlot::MecSingle, [&session, &dialogs](QWidget *p) {
            return new reg::SingleRegister(session, ui::Body::council(), dialogs, p);
        });
    window.setRegisterFactory(
        MainWindow::RegisterSlot::EncClassic, [&session, &dialogs](QWidget *p) {
            return new reg::ClassicRegister(session, ui::Body::committee(), dialogs, p);
        });
    window.setRegisterFactory(
        MainWindow::RegisterSlot::MecClassic, [&session, &dialogs](QWidget *p) {
            return new reg::ClassicRegister(session, ui::Body::council(), dialogs, p);
        });
    window.setDialog(MainWindow::Command::EncLedger,
                     new reports::LedgerScreen(session, ui::Body::committee(), dialogs, &window));
    window.setDialog(MainWindow::Command::MecLedger,
                     new reports::LedgerScreen(session, ui::Body::council(), dialogs, &window));
    window.setDialog(MainWindow::Command::EncSearch,
                     new lists::SearchScreen(session, ui::Body::committee(), &window));
    window.setDialog(MainWindow::Command::MecSearch,
                     new lists::SearchScreen(session, ui::Body::council(), &window));
    window.setDialog(MainWindow::Command::Templates,
                     new documents::TemplateList(session, dialogs, &window));
}

int runProgram(int &argc, char **argv, const ProgramHooks &hooks)
{
    // Before any thread exists, the engine's included.
    TerminationSignals::block();
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MIZRO"));
    QApplication::setOrganizationName(QStringLiteral("RUFA"));
    useTurkish(app);

    ui::BoxMessages messages;
    SingleInstance instance;
    if (!instance.acquire()) {
        messages.information(nullptr, SingleInstance::refusalText());
        return 1;
    }

    QSplashScreen splash(splashPicture());
    splash.show();
    app.processEvents();

    ui::ModalDialogRunner dialogs;
    ui::Session session(messages);
    MainWindow window(session, dialogs);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &window, [&window] {
        // Every event loop ends, a modal dialog's too; the close routine
        // commits, disconnects and writes MENSEK.
        QCoreApplication::exit(0);
        window.close();
    });
    window.ibaseAc(QDate::currentDate(), QDir::currentPath());
    window.tanimOku();
    attachScreens(window, session, dialogs);
    // Not QSplashScreen::finish(): it waits up to a second for a window that
    // is shown only afterwards.
    splash.close();
    if (hooks.started)
        hooks.started(window, session);
    window.show();
    return QApplication::exec();
}

} // namespace mizro::app
