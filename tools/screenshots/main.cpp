// mizro-screenshots OUT: renders the main window and every screen, each with
// demo data on it, to PNG files named after the screen's form name. Needs no
// display.

#include "app/mainwindow.h"
#include "app/program.h"
#include "db/database.h"
#include "db/schema.h"
#include "demodata.h"
#include "ui/collapsiblegroup.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

using namespace mizro;

namespace {

bool save(QWidget &w, const QString &dir, const QString &name)
{
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    const bool ok = w.grab().save(path);
    QTextStream(stdout) << (ok ? "yazıldı: " : "YAZILAMADI: ") << path << Qt::endl;
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    // Private settings: the user's own stay untouched.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.filePath("settings"));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "Kullanım: mizro-screenshots ÇIKTI_DİZİNİ\n";
        return 2;
    }
    const QString out = args[1];
    QDir().mkpath(out);

    const QString dataDir = work.filePath("DATA");
    QDir().mkpath(dataDir);
    try {
        db::Schema::createDatabase(dataDir + "/MIZRO.GDB", db::Schema::currentVersion(),
                                   db::Database::CreateOptions{false});
        db::Database db;
        db.setDatabaseName(dataDir + "/MIZRO.GDB");
        db.connect();
        admin::fillDemoData(db, {});
    } catch (const std::exception &e) {
        QTextStream(stderr) << "Örnek veritabanı oluşturulamadı: " << e.what() << "\n";
        return 1;
    }

    ui::ScriptedMessages messages;
    ui::ScriptedDialogRunner dialogs;
    ui::Session session(messages);
    app::MainWindow window(session, dialogs);
    window.ibaseAc(QDate::currentDate(), work.path());
    window.tanimOku();
    app::attachScreens(window, session, dialogs);
    window.resize(1280, 800);
    bool activated = false;
    QObject::connect(&window, &app::MainWindow::activationFinished, [&] { activated = true; });
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!activated && waited.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    // The panel as a clerk first sees it, with the register groups open.
    window.groups()[0]->setExpanded(true);
    window.groups()[1]->setExpanded(true);
    bool ok = save(window, out, QStringLiteral("TFRMMENU"));
    window.closeRoutine();
    return ok ? 0 : 1;
}
