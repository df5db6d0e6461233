// The database location dialog: its fields, checks, test output, defaults,
// file chooser, and the start-mode path through the activation routine.

#include "app/locationdialog.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/settings.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/fileprompts.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QToolButton>
#include <unistd.h>

using namespace mizro;
using app::LocationDialog;

namespace {

const QString Sep = QDir::separator();

void setKeys(const QString &yil, const QString &srv, const QString &yol)
{
    QSettings k("RUFA", "MIZRO");
    k.setValue("YIL", yil);
    k.setValue("SRV", srv);
    k.setValue("YOL", yol);
    k.sync();
}

QString key(const QString &name)
{
    return QSettings("RUFA", "MIZRO").value(name).toString();
}

// A second database in a folder with a space and Turkish letters.
QString otherDatabase(QTemporaryDir &dir)
{
    const QString folder = dir.filePath("Veri Klasörü ŞİŞLİ");
    QDir().mkpath(folder);
    QFile::copy(test::templateDatabase(), folder + "/MIZRO.GDB");
    QFile::setPermissions(folder + "/MIZRO.GDB", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return folder;
}

} // namespace

class TestLocationDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { test::clearSettings(); }

    void opensWithTheSettings()
    {
        test::TestSession t;
        setKeys("20221", "", "/veri/yol");
        LocationDialog d(t.session());
        d.show();
        QCOMPARE(d.objectName(), "TFRMSYSTEM");
        QCOMPARE(d.windowTitle(), "SİSTEM TANIMLARI");
        QCOMPARE(d.yearField()->text(), "2022");
        QCOMPARE(t.session().workingYear(), "2022");
        QCOMPARE(d.directoryField()->text(), "/veri/yol");
        QCOMPARE(d.fileLabel()->text(), "MIZRO.GDB");
        QCOMPARE(d.fullNameLabel()->text(), "/veri/yol" + Sep + "MIZRO.GDB");
        d.serverField()->setText("SUNUCU");
        QCOMPARE(d.fullNameLabel()->text(), "SUNUCU:/veri/yol" + Sep + "MIZRO.GDB");
        // Cancelling from the menu still leaves the registry's year working.
        d.cancelButton()->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(d.outcome(), LocationDialog::Outcome::Cancelled);
        QCOMPARE(t.session().workingYear(), "2022");
    }

    void saveChecksAndMessages_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("where"); // "missing", "nofile", "isfile", "good"
        QTest::addColumn<QString>("message");
        QTest::newRow("missing directory") << ""
                                           << "missing"
                                           << "DİKKAT! Veritabanı Yolu Bulunamadı..!";
        QTest::newRow("directory is a file") << ""
                                             << "isfile"
                                             << "DİKKAT! Veritabanı Yolu Bulunamadı..!";
        QTest::newRow("missing file") << ""
                                      << "nofile"
                                      << "DİKKAT! Veritabanı Dosyası Bulunamadı..!";
        // A server name skips the local checks and tries at once.
        QTest::newRow("server unreachable") << "127.0.0.1/1"
                                            << "missing"
                                            << "Veritabanı Tanımlarında Hata Var";
        QTest::newRow("not a database") << ""
                                        << "notdb"
                                        << "Veritabanı Tanımlarında Hata Var";
    }

    void saveChecksAndMessages()
    {
        QFETCH(QString, server);
        QFETCH(QString, where);
        QFETCH(QString, message);
        test::TestSession t;
        QTemporaryDir dir;
        QString directory = dir.filePath("yok");
        if (where == "isfile") {
            directory = dir.filePath("dosya");
            QFile f(directory);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (where == "nofile") {
            directory = dir.path();
        } else if (where == "notdb") {
            directory = dir.path();
            QFile f(dir.filePath("MIZRO.GDB"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a database");
        }
        setKeys("2021", "", "/eski");
        LocationDialog d(t.session());
        d.show();
        d.serverField()->setText(server);
        d.directoryField()->setText(directory);
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(&d, Qt::Key_F5);
        QCOMPARE(t.messages().texts(), QStringList{message});
        QVERIFY(d.isVisible());
        QCOMPARE(key("YOL"), "/eski");
    }

    // A bad MIZRO.GDB gave no reason: the dialog opened silently and a save
    // said only "Veritabanı Tanımlarında Hata Var". The message stays; the
    // reason shows on the dialog's status line, the engine's text in the
    // box's details.
    void saveTellsWhyTheDatabaseDoesNotOpen_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("file"); // what MIZRO.GDB is
        QTest::addColumn<QString>("reason");
        QTest::newRow("text file") << ""
                                   << "text"
                                   << "Dosya bir Firebird veritabanı değil.";
        QTest::newRow("long text file") << ""
                                        << "longtext"
                                        << "Dosya bir Firebird veritabanı değil.";
        QTest::newRow("empty file") << ""
                                    << "empty"
                                    << "Dosya boş: bir Firebird veritabanı değil.";
        QTest::newRow("held by another program")
            << ""
            << "held"
            << "Dosya başka bir program tarafından kullanılıyor.";
        QTest::newRow("no permission")
            << ""
            << "unreadable"
            << "Bu dosyayı açma izniniz yok: okuma ve yazma izni gerekir.";
        QTest::newRow("server unreachable")
            << "127.0.0.1/1"
            << "none"
            << "Sunucuya ulaşılamadı (127.0.0.1/1): sunucu kapalı ya da ağ bağlantısı yok.";
    }

    void saveTellsWhyTheDatabaseDoesNotOpen()
    {
        QFETCH(QString, server);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        test::TestSession t;
        QTemporaryDir dir;
        const QString path = dir.filePath("MIZRO.GDB");
        QProcess holder;
        if (file == "text" || file == "longtext" || file == "empty" || file == "unreadable") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const QByteArray line = "Bu bir metin dosyası, veritabanı değil.\n";
            f.write(file == "longtext" ? line.repeated(1000) : file == "empty" ? "" : line);
        } else if (file == "held") {
            // Another process opens the file embedded, as a second tool would.
            const QString isql = QStandardPaths::findExecutable("isql-fb");
            if (isql.isEmpty())
                QSKIP("isql-fb is not installed");
            QVERIFY(QFile::copy(test::templateDatabase(), path));
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            holder.start(isql, {"-q", path});
            holder.write("SELECT 'ACIK' FROM RDB$DATABASE;\n");
            QByteArray out;
            while (!out.contains("ACIK") && holder.waitForReadyRead(20000))
                out += holder.readAllStandardOutput();
            QVERIFY2(out.contains("ACIK"), holder.readAllStandardError().constData());
        }
        if (file == "unreadable") {
            QFile::setPermissions(path, QFileDevice::Permissions());
            if (::geteuid() == 0)
                QSKIP("root may open any file");
        }
        LocationDialog d(t.session());
        d.show();
        d.serverField()->setText(server);
        d.directoryField()->setText(dir.path());
        d.saveButton()->click();
        QCOMPARE(t.messages().texts(), QStringList{"Veritabanı Tanımlarında Hata Var"});
        QVERIFY(!t.messages().entries().first().details.isEmpty());
        QCOMPARE(d.reasonLabel()->text(), "Veritabanı açılamadı: " + reason);
        QVERIFY(d.isVisible());
        if (holder.state() != QProcess::NotRunning) {
            holder.closeWriteChannel();
            holder.waitForFinished(10000);
        }
    }

    // At start the dialog opens with the reason of the failed connection.
    void startModeShowsWhy()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("MIZRO.GDB"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Bu bir metin dosyası.\n");
        f.close();
        setKeys("2021", "", dir.path());
        ui::ScriptedMessages messages;
        ui::ScriptedDialogRunner dialogs;
        ui::Session session(messages);
        app::MainWindow window(session, dialogs);
        window.ibaseAc(QDate(2021, 1, 1), dir.path());
        QVERIFY(session.connectionFailed());
        app::attachScreens(window, session, dialogs);
        QString shown;
        dialogs.setScript([&](QDialog &dialog) {
            auto &d = static_cast<LocationDialog &>(dialog);
            shown = d.reasonLabel()->text();
            d.cancelButton()->click();
            return d.result();
        });
        window.formActivate();
        QCOMPARE(shown, "Veritabanı açılamadı: Dosya bir Firebird veritabanı değil.");
        auto *d = static_cast<LocationDialog *>(
            window.dialog(app::MainWindow::Command::DatabaseLocation));
        QVERIFY(d->reasonLabel()->text().isEmpty());
        window.closeRoutine();
    }

    // A good location: reconnected, stored (the year as typed), closed.
    void saveReconnectsAndStores()
    {
        test::TestSession t;
        QTemporaryDir dir;
        const QString folder = otherDatabase(dir);
        t.session().database().disconnect();
        LocationDialog d(t.session());
        d.setOutcome(LocationDialog::Outcome::Saved);
        d.show();
        d.directoryField()->setText(folder);
        d.yearField()->setText("20231");
        d.saveButton()->click();
        QVERIFY(t.messages().entries().isEmpty());
        QVERIFY(!d.isVisible());
        QCOMPARE(d.outcome(), LocationDialog::Outcome::Saved);
        QVERIFY(t.session().database().isConnected());
        QCOMPARE(t.session().database().databaseName(), folder + Sep + "MIZRO.GDB");
        QCOMPARE(key("YOL"), folder);
        QCOMPARE(key("SRV"), "");
        QCOMPARE(key("YIL"), "20231");
        QCOMPARE(t.session().workingYear(), "2023");
        QCOMPARE(db::Query(t.session().database(), "SELECT COUNT(*) FROM TANIM").scalar().toInt(),
                 1);
    }

    void testButtonOutput_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("both found")
            << "good"
            << QStringList{"Test işlemi başladı.....", "Dosya Adı Doğrulandı.....", ".",
                           "Veritabanı Yolu Doğrulandı.....", "."};
        QTest::newRow("file missing")
            << "nofile"
            << QStringList{"Test işlemi başladı.....", "!!!!!!Dosya Adı Bulunamadı.....",
                           "Veritabanı Yolu Doğrulandı.....", "."};
        QTest::newRow("directory missing")
            << "missing"
            << QStringList{"Test işlemi başladı.....", "!!!!!!Dosya Adı Bulunamadı.....",
                           "!!!!!!Veritabanı Yolu Bulunamadı....."};
        QTest::newRow("server: nothing") << "server" << QStringList{""};
    }

    void testButtonOutput()
    {
        QFETCH(QString, where);
        QFETCH(QStringList, lines);
        test::TestSession t;
        QTemporaryDir dir;
        LocationDialog d(t.session());
        d.show();
        if (where == "good")
            d.directoryField()->setText(otherDatabase(dir));
        else if (where == "nofile")
            d.directoryField()->setText(dir.path());
        else
            d.directoryField()->setText(dir.filePath("yok"));
        if (where == "server")
            d.serverField()->setText("SUNUCU");
        d.testButton()->click();
        QCOMPARE(d.output()->toPlainText().split('\n'), lines);
    }

    void defaultsAskFirst()
    {
        test::TestSession t;
        LocationDialog d(t.session());
        d.show();
        d.directoryField()->setText("/el/ile");
        d.serverField()->setText("SUNUCU");
        d.yearField()->setText("2020");
        d.defaultsButton()->click();
        QCOMPARE(t.messages().last(),
                 "DİKKAT! Mevcut Verilerin Değiştirilmesi Programın Çalışmasını "
                 "Engelleyebilir. Onaylıyormusunuz.?");
        QCOMPARE(d.directoryField()->text(), "/el/ile");
        t.messages().answer(true);
        d.defaultsButton()->click();
        QCOMPARE(d.directoryField()->text(),
                 QDir::toNativeSeparators(QDir::currentPath() + "/DATA/MIZRO"));
        QCOMPARE(d.serverField()->text(), "SUNUCU");
        QCOMPARE(d.yearField()->text(), "2020");
    }

    void fileChooserTakesTheFolder()
    {
        test::TestSession t;
        LocationDialog d(t.session());
        d.show();
        d.directoryField()->setText("/once");
        t.files().answer("/yedek/eski veri/ESKI.GDB");
        d.chooseButton()->click();
        QCOMPARE(t.files().lastFilter(), "Veritabanı Dosyası (*.GDB *.gdb)");
        QCOMPARE(d.directoryField()->text(), "/yedek/eski veri");
        QCOMPARE(d.fullNameLabel()->text(), "/yedek/eski veri" + Sep + "MIZRO.GDB");
        d.chooseButton()->click(); // cancelled
        QCOMPARE(d.directoryField()->text(), "/yedek/eski veri");
    }

    void closesOnlyThroughItsButtons()
    {
        test::TestSession t;
        LocationDialog d(t.session());
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(!d.close());
        QTest::keyClick(&d, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        QTest::keyClick(&d, Qt::Key_F6);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.outcome(), LocationDialog::Outcome::Cancelled);
    }

    // A failed connection at start: the dialog in start mode; cancel ends
    // the program, a good location lets the start go on and is not asked
    // for again.
    void startModeThroughTheActivationRoutine()
    {
        QTemporaryDir dir;
        const QString folder = otherDatabase(dir);
        for (bool save : {false, true}) {
            test::clearSettings();
            setKeys("2021", "", dir.filePath("yok"));
            ui::ScriptedMessages messages;
            ui::ScriptedDialogRunner dialogs;
            ui::Session session(messages);
            app::MainWindow window(session, dialogs);
            window.ibaseAc(QDate(2021, 1, 1), dir.path());
            QVERIFY(session.connectionFailed());
            app::attachScreens(window, session, dialogs);
            dialogs.setScript([&](QDialog &dialog) {
                auto &d = static_cast<LocationDialog &>(dialog);
                if (save) {
                    d.directoryField()->setText(folder);
                    d.saveButton()->click();
                } else {
                    d.cancelButton()->click();
                }
                return d.result();
            });
            window.formActivate();
            QCOMPARE(dialogs.runs(), 1);
            QCOMPARE(window.endRequested(), !save);
            if (save) {
                QVERIFY(session.database().isConnected());
                QVERIFY(!session.connectionFailed());
                window.formActivate();
                QCOMPARE(dialogs.runs(), 1);
            }
            window.closeRoutine();
        }
    }
};

MIZRO_TEST_MAIN(TestLocationDialog)
#include "tst_locationdialog.moc"
