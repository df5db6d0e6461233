#include "program.h"

#include "definitionsdialog.h"
#include "filecheckdialog.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "mainwindow.h"
#include "singleinstance.h"
#include "updater.h"
#include "vendorlink.h"
#include "versioncheck.h"

#include "lists/departmentlist.h"
#include "lists/memberlist.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLocale>
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
    steps.location = [&session, &dialogs, location] {
        location->setOutcome(LocationDialog::Outcome::Saved);
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
}

int runProgram(int &argc, char **argv, const ProgramHooks &hooks)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("MIZRO"));
    QApplication::setOrganizationName(QStringLiteral("RUFA"));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));

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
    window.ibaseAc(QDate::currentDate(), QDir::currentPath());
    window.tanimOku();
    attachScreens(window, session, dialogs);
    // Not QSplashScreen::finish(): it waits up to a second for a window that
    // is shown only afterwards.
    splash.close();
    if (hooks.started)
        hooks.started(window);
    window.show();
    return QApplication::exec();
}

} // namespace mizro::app
