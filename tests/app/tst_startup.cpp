// Start-up: settings, connection, definitions, the activation routine, the
// close routine and the single running copy.

#include "app/mainwindow.h"
#include "app/settings.h"
#include "app/singleinstance.h"
#include "app/statuspanel.h"
#include "app/tarihbul.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/collapsiblegroup.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>

using namespace mizro;

namespace {

QSettings key()
{
    return QSettings("RUFA", "MIZRO");
}

void setKey(const QString &name, const QString &value)
{
    QSettings k = key();
    k.setValue(name, value);
    k.sync();
}

QString keyValue(const QString &name)
{
    return key().value(name).toString();
}

const QString Sep = QDir::separator();

// Keeps activation from a window, as a bare X server without a window
// manager does.
struct NoActivation : QObject {
    int eaten = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() != QEvent::ActivationChange && e->type() != QEvent::WindowActivate)
            return false;
        ++eaten;
        return true;
    }
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    struct Program {
        ui::ScriptedMessages messages;
        ui::ScriptedDialogRunner dialogs;
        ui::Session session{messages};
        app::MainWindow window{session, dialogs};
    };

    // A database under <dir>/DATA, as a first start expects it.
    std::unique_ptr<QTemporaryDir> m_cwd;
    QString makeDataDir(const QString &version = "14.001")
    {
        m_cwd = std::make_unique<QTemporaryDir>();
        QDir(m_cwd->path()).mkpath("DATA");
        const QString path = m_cwd->filePath("DATA/MIZRO.GDB");
        QFile::copy(test::templateDatabase(version), path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return m_cwd->path();
    }

    void sql(db::Database &db, const QString &text)
    {
        db::Query q(db, text);
        q.exec();
    }

private slots:
    void init() { test::clearSettings(); }

    void firstStartWritesDefaultsAndFindsData()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        QCOMPARE(keyValue("YIL"), "2021");
        QCOMPARE(keyValue("SRV"), "");
        QCOMPARE(keyValue("YOL"), QDir::toNativeSeparators(cwd + "/DATA"));
        QCOMPARE(keyValue("MENSEK"), "1");
        QCOMPARE(keyValue("RNK"), "");
        QVERIFY(key().contains("RNK"));
        QVERIFY(!p.session.connectionFailed());
        QVERIFY(p.session.database().isConnected());
        QCOMPARE(p.session.database().databaseName(),
                 QDir::toNativeSeparators(cwd + "/DATA") + Sep + "MIZRO.GDB");
        QCOMPARE(p.session.workingYear(), "2021");
        QCOMPARE(p.window.statusPanel()->year()->text(), "2021");
    }

    void registryValuesAreCutAndKept_data()
    {
        QTest::addColumn<QString>("yil");
        QTest::addColumn<QString>("mensek");
        QTest::addColumn<QString>("workingYear");
        QTest::addColumn<QString>("variant");
        QTest::newRow("long year") << "20211"
                                   << "1"
                                   << "2021"
                                   << "1";
        QTest::newRow("long variant") << "2022"
                                      << "10"
                                      << "2022"
                                      << "1";
        QTest::newRow("classic") << "2022"
                                 << "0"
                                 << "2022"
                                 << "0";
        QTest::newRow("junk") << "ab"
                              << "xyz"
                              << "ab"
                              << "x";
    }

    void registryValuesAreCutAndKept()
    {
        QFETCH(QString, yil);
        QFETCH(QString, mensek);
        QFETCH(QString, workingYear);
        QFETCH(QString, variant);
        const QString cwd = makeDataDir();
        setKey("YIL", yil);
        setKey("MENSEK", mensek);
        setKey("RNK", "kept as it is");
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        QCOMPARE(p.session.workingYear(), workingYear);
        QCOMPARE(p.session.mensek(), variant);
        QCOMPARE(keyValue("RNK"), "kept as it is");
    }

    void serverAndDirectoryMakeTheName_data()
    {
        QTest::addColumn<QString>("srv");
        QTest::addColumn<QString>("yol");
        QTest::addColumn<QString>("name");
        QTest::newRow("local") << ""
                               << "/srv/veri"
                               << "/srv/veri" + Sep + "MIZRO.GDB";
        QTest::newRow("server") << "SUNUCU"
                                << "/srv/veri"
                                << "SUNUCU:/srv/veri" + Sep + "MIZRO.GDB";
        QTest::newRow("server with port") << "127.0.0.1/3051"
                                          << "/d"
                                          << "127.0.0.1/3051:/d" + Sep + "MIZRO.GDB";
    }

    void serverAndDirectoryMakeTheName()
    {
        QFETCH(QString, srv);
        QFETCH(QString, yol);
        QFETCH(QString, name);
        QCOMPARE(app::databaseName(srv, yol), name);
    }

    // A wrong place, a file that is not a database, and settings of any
    // length: the flag is set, nothing crashes, the registry keeps YOL.
    void connectionFailureSetsTheFlag_data()
    {
        QTest::addColumn<QString>("yol");
        QTest::addColumn<bool>("notADatabase");
        QTest::newRow("missing directory") << "/nonexistent/dizin" << false;
        QTest::newRow("not a database") << "" << true;
        QTest::newRow("very long") << "/" + QString(5000, 'x') << false;
        QTest::newRow("odd characters") << "/tmp/ş\"'; DROP\n" << false;
    }

    void connectionFailureSetsTheFlag()
    {
        QFETCH(QString, yol);
        QFETCH(bool, notADatabase);
        QTemporaryDir dir;
        if (notADatabase) {
            yol = dir.path();
            QFile f(dir.filePath("MIZRO.GDB"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is not a database");
        }
        setKey("YOL", yol);
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), dir.path());
        QVERIFY(p.session.connectionFailed());
        QVERIFY(!p.session.database().isConnected());
        QCOMPARE(keyValue("YOL"), yol);
        // Reading the definitions fails: the close routine runs, nothing crashes.
        QVERIFY(!p.window.tanimOku());
        // Without the location dialog the routine reports the error once.
        p.window.formActivate();
        QCOMPARE(p.messages.entries().size(), 1);
        QCOMPARE(p.messages.entries().first().kind, ui::ScriptedMessages::Kind::Error);
    }

    void definitionsGiveTheWorkingYear()
    {
        const QString cwd = makeDataDir();
        setKey("YIL", "2019");
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        QCOMPARE(p.session.workingYear(), "2019");
        sql(p.session.database(),
            "UPDATE TANIM SET CYIL='2020', KURUM='ÇAYIRLI BELEDİYESİ', UDUR='1'");
        QVERIFY(p.window.tanimOku());
        QCOMPARE(p.session.workingYear(), "2020");
        QCOMPARE(p.session.loginSwitch(), "1");
        QCOMPARE(p.window.kurum(), "ÇAYIRLI BELEDİYESİ");
        sql(p.session.database(), "UPDATE TANIM SET CYIL=NULL");
        QVERIFY(p.window.tanimOku());
        QCOMPARE(p.session.workingYear(), "");
    }

    void emptyDefinitionsGiveEmptyValues()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        sql(p.session.database(), "DELETE FROM TANIM");
        QVERIFY(p.window.tanimOku());
        QCOMPARE(p.session.workingYear(), "");
        p.window.formActivate();
        QVERIFY(p.messages.entries().isEmpty());
        QCOMPARE(p.session.definitionsYear(), "");
        QCOMPARE(p.window.statusPanel()->year()->text(), "");
    }

    void activationFillsStatusPanel()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        p.window.tanimOku();
        sql(p.session.database(), "UPDATE TANIM SET CYIL='2023', KURUM='KARAAĞAÇLI BELEDİYESİ'");
        for (ui::CollapsibleGroup *g : p.window.groups())
            g->setExpanded(g->caption() != "ÇIKIŞ");
        QSignalSpy finished(&p.window, &app::MainWindow::activationFinished);
        p.window.formActivate();
        QCOMPARE(finished.count(), 1);
        const app::StatusPanel *s = p.window.statusPanel();
        QCOMPARE(s->dateLine()->text(), app::dateLine(QDate::currentDate()));
        QCOMPARE(s->year()->text(), "2023");
        QCOMPARE(p.session.definitionsYear(), "2023");
        QCOMPARE(p.session.workingYear(), "2023");
        QCOMPARE(s->version()->text(), "21.001");
        QCOMPARE(s->clock()->text(), QTime::currentTime().toString("hh:mm"));
        QCOMPARE(p.window.kurum(), "KARAAĞAÇLI BELEDİYESİ");
        for (ui::CollapsibleGroup *g : p.window.groups())
            QVERIFY2(!g->isExpanded(), qPrintable(g->caption()));
        QVERIFY(p.window.isVisible() == false); // collapsing never exits
        QVERIFY(!p.window.endRequested());
    }

    // Until start-up is done the routine runs again after every other window
    // of the program; once done, never again.
    void activationRepeatsUntilStartupDone()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        p.window.tanimOku();
        QSignalSpy finished(&p.window, &app::MainWindow::activationFinished);
        p.window.formActivate();
        p.window.formActivate();
        QCOMPARE(finished.count(), 2);
        p.session.setStartupDone("1");
        p.window.formActivate();
        QCOMPARE(finished.count(), 2);
    }

    // Driven by real activation: the first activation, and a return from
    // another window of the program, run the routine.
    void windowActivationRunsTheRoutine()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        p.window.tanimOku();
        QSignalSpy finished(&p.window, &app::MainWindow::activationFinished);
        p.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&p.window));
        QTRY_COMPARE(finished.count(), 1);
        QDialog dialog(&p.window);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.close();
        // The window manager gives the activation back; offscreen, we do.
        p.window.activateWindow();
        QTRY_COMPARE(finished.count(), 2);
        p.window.close();
    }

    // Without a window manager the window is never activated: the routine
    // never ran, the working year stayed empty and adding a member failed
    // with "conversion error from string". It runs when the window is first
    // shown. (Offscreen activates every window; the filter keeps it from the
    // window, as a bare X server would.)
    void firstRunNeedsNoActivation()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        p.window.tanimOku();
        sql(p.session.database(), "UPDATE TANIM SET CYIL='2024'");
        p.session.setWorkingYear("");
        NoActivation bareServer;
        p.window.installEventFilter(&bareServer);
        QSignalSpy finished(&p.window, &app::MainWindow::activationFinished);
        p.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.window));
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(bareServer.eaten > 0);
        QCOMPARE(p.session.workingYear(), "2024");
        QCOMPARE(p.window.statusPanel()->year()->text(), "2024");
        p.window.close();
    }

    void tarihBulAllMonths_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("line");
        const char *names[] = {"OCAK",   "ŞUBAT",   "MART",  "NİSAN", "MAYIS", "HAZİRAN",
                               "TEMMUZ", "AĞUSTOS", "EYLÜL", "EKİM",  "KASIM", "ARALIK"};
        for (int m = 1; m <= 12; ++m) {
            const QDate d(2021, m, m == 5 ? 9 : 28);
            QTest::newRow(names[m - 1]) << d
                                        << QString("%1-%2(%3)-2021")
                                               .arg(d.day())
                                               .arg(QString::fromUtf8(names[m - 1]))
                                               .arg(m);
        }
        QTest::newRow("leap day") << QDate(2024, 2, 29) << "29-ŞUBAT(2)-2024";
    }

    void tarihBulAllMonths()
    {
        QFETCH(QDate, date);
        QFETCH(QString, line);
        QCOMPARE(app::dateLine(date), line);
        const app::TarihParts p = app::tarihBul(date.toString("dd/MM/yyyy"));
        QVERIFY(p.valid);
        QCOMPARE(p.month, date.month());
        QCOMPARE(p.monthName, app::monthName(date.month()));
    }

    void tarihBulMayExample()
    {
        QCOMPARE(app::dateLine(QDate(2021, 5, 9)), "9-MAYIS(5)-2021");
        QVERIFY(!app::tarihBul(QString("31/02/2021")).valid);
        QCOMPARE(app::dateLine(QDate()), "");
    }

    void closeRoutineCommitsAndWritesMensek()
    {
        const QString cwd = makeDataDir();
        {
            Program p;
            p.window.ibaseAc(QDate(2021, 5, 9), cwd);
            db::Query q(p.session.database(), "INSERT INTO BIRIM VALUES ('1', 'Yazı İşleri')");
            q.exec(); // left uncommitted on purpose
            p.session.setMensek("0");
            QCOMPARE(p.window.closeRoutine(), QString());
            QVERIFY(!p.session.database().isConnected());
            QCOMPARE(keyValue("MENSEK"), "0");
        }
        db::Database db;
        db.setDatabaseName(cwd + "/DATA/MIZRO.GDB");
        db.connect();
        QCOMPARE(db::Query(db, "SELECT BIRIMADI FROM BIRIM").scalar().toString(), "Yazı İşleri");
    }

    void closingTheWindowRunsTheCloseRoutine()
    {
        const QString cwd = makeDataDir();
        Program p;
        p.window.ibaseAc(QDate(2021, 5, 9), cwd);
        p.session.setMensek("7");
        p.window.show();
        QVERIFY(p.window.close());
        QVERIFY(!p.session.database().isConnected());
        QCOMPARE(keyValue("MENSEK"), "7");
    }

    void secondInstanceIsRefused()
    {
        app::SingleInstance first;
        QVERIFY(first.acquire());
        app::SingleInstance second;
        QVERIFY(!second.acquire());
        QCOMPARE(app::SingleInstance::refusalText(),
                 "Dikkat! MIZRO Proragramı zaten çalışıyor....\nBirden Fazla Çalıştıramazsınız.");
    }

    // A machine-wide lock refused a second user of a terminal server although
    // nothing of theirs ran. Each directory stands for one user's runtime
    // directory.
    void lockIsPerUser()
    {
        QCOMPARE(app::SingleInstance::defaultDirectory(), qEnvironmentVariable("XDG_RUNTIME_DIR"));
        QTemporaryDir ayse, mehmet;
        app::SingleInstance first(ayse.path());
        QVERIFY(first.acquire());
        app::SingleInstance otherUser(mehmet.path());
        QVERIFY(otherUser.acquire());
        app::SingleInstance sameUserAgain(ayse.path());
        QVERIFY(!sameUserAgain.acquire());
        QVERIFY(first.lockPath().startsWith(ayse.path()));
    }
};

MIZRO_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
