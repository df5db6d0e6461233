// The file check: what the register can leave behind, the TFRMDOSYA screen
// that runs it and takes backups, and the admin tool's check and backup.

#include "app/filecheck.h"
#include "app/filecheckdialog.h"
#include "db/database.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/fileprompts.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

using namespace mizro;
using Kind = app::FileCheck::Kind;

namespace {

void run(db::Database &db, const QStringList &statements)
{
    for (const QString &sql : statements)
        db::Query(db, sql).exec();
}

void fillLeftovers(const QString &path, const QStringList &statements)
{
    db::Database db;
    db.setDatabaseName(path);
    db.connect();
    run(db, statements);
}

QStringList items(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

struct Tool {
    int exitCode = -1;
    QString out;
    QString err;
};

Tool admin(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(MIZRO_ADMIN), args);
    Tool t;
    if (!p.waitForFinished(60000))
        return t;
    t.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    t.out = QString::fromUtf8(p.readAllStandardOutput());
    t.err = QString::fromUtf8(p.readAllStandardError());
    return t;
}

const QStringList AttendanceLeftover = {"INSERT INTO EKAT (KAYNO,UKOD) VALUES (57,4)",
                                        "INSERT INTO EKAT (KAYNO,UKOD) VALUES (57,1)"};
const QString AttendanceText = "Encümen: kayıt no 57 olan oturum yok, ama bu oturuma ait 2 "
                               "katılım satırı duruyor (EKAT tablosu, üye kodları 1, 4).";

} // namespace

class TestFileCheck : public QObject {
    Q_OBJECT

    struct Screen {
        explicit Screen(const QString &path)
        {
            session.setFilePrompts(&files);
            session.database().setDatabaseName(path);
            session.database().connect();
        }
        ui::ScriptedMessages messages;
        ui::ScriptedFilePrompts files;
        ui::Session session{messages};
        app::FileCheckDialog dialog{session};

        QPushButton *button(const QString &text)
        {
            for (QPushButton *b : dialog.findChildren<QPushButton *>())
                if (b->text() == text)
                    return b;
            return nullptr;
        }
        QString result() { return dialog.findChild<QLabel *>("ResultLabel")->text(); }
        QString output() { return dialog.findChild<QPlainTextEdit *>("OutputText")->toPlainText(); }
    };

private slots:
    void cleanDemoDatabaseHasNoFindings()
    {
        test::DbCopy copy("14.001", true);
        db::Database db;
        db.setDatabaseName(copy.path());
        db.connect();
        const app::FileCheck::Report report = app::FileCheck(db).run();
        QVERIFY(report.validated);
        QVERIFY2(report.validation.clean(), qPrintable(report.validation.errors.join('\n')));
        QVERIFY(report.notes().isEmpty());
        QCOMPARE(report.problemCount(), 0);
        QCOMPARE(report.summary(), "Sorun bulunamadı.");
        QVERIFY(db.isConnected());
    }

    // Each fixture holds one leftover, beside rows that look alike and are
    // fine (another year, the other body), so a check that reads too widely
    // finds more than one.
    void eachLeftoverIsFound_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("records");
        QTest::addColumn<QString>("text");
        QTest::newRow("committee attendance")
            << (AttendanceLeftover +
                QStringList{"INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (58,1,'2023-01-05')",
                            "INSERT INTO MKAT (KAYNO,UKOD) VALUES (58,1)"})
            << int(Kind::OrphanAttendance) << QList<int>{57} << AttendanceText;
        QTest::newRow("council attendance")
            << QStringList{"INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (58,1,'2023-01-05')",
                           "INSERT INTO MKAT (KAYNO,UKOD) VALUES (58,3)"}
            << int(Kind::OrphanAttendance) << QList<int>{58}
            << "Meclis: kayıt no 58 olan oturum yok, ama bu oturuma ait 1 katılım satırı duruyor "
               "(MKAT tablosu, üye kodları 3).";
        QTest::newRow("committee decision under a council meeting")
            << QStringList{"INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (57,1,'2023-01-05')",
                           "INSERT INTO MKAR (KAYNO,KARNO) VALUES (57,5)",
                           "INSERT INTO EKAR (KAYNO,KARNO,TARIH) VALUES (57,5,'2023-03-01')"}
            << int(Kind::OrphanDecision) << QList<int>{57}
            << "Encümen: 5 numaralı karar (01.03.2023) kayıt no 57 olan oturuma bağlı, ama bu "
               "oturum yok (EKAR tablosu).";
        QTest::newRow("council decision without a date")
            << QStringList{"INSERT INTO MKAR (KAYNO,KARNO) VALUES (60,3)"}
            << int(Kind::OrphanDecision) << QList<int>{60}
            << "Meclis: 3 numaralı karar (tarihsiz) kayıt no 60 olan oturuma bağlı, ama bu oturum "
               "yok (MKAR tablosu).";
        QTest::newRow("committee meeting number")
            << QStringList{"INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (1,5,'2023-02-14')",
                           "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (2,5,'2023-02-21')",
                           "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (3,5,'2024-01-10')",
                           "INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (4,5,'2023-03-01')"}
            << int(Kind::DuplicateMeeting) << QList<int>{1, 2}
            << "Encümen: 2023 yılında 5 numaralı oturum 2 kez kayıtlı: kayıt no 1 (14.02.2023), "
               "kayıt no 2 (21.02.2023).";
        QTest::newRow("council meeting number")
            << QStringList{"INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (8,2,'2022-12-30')",
                           "INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (9,2,'2022-06-01')",
                           "INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (10,3,'2022-07-01')"}
            << int(Kind::DuplicateMeeting) << QList<int>{8, 9}
            << "Meclis: 2022 yılında 2 numaralı oturum 2 kez kayıtlı: kayıt no 8 (30.12.2022), "
               "kayıt no 9 (01.06.2022).";
        // The year is the meeting's, not the decision's own date.
        QTest::newRow("committee decision number")
            << QStringList{"INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (1,1,'2023-02-14')",
                           "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (2,2,'2023-02-21')",
                           "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (3,1,'2024-01-03')",
                           "INSERT INTO EKAR (KAYNO,KARNO,TARIH) VALUES (1,7,'2023-02-14')",
                           "INSERT INTO EKAR (KAYNO,KARNO,TARIH) VALUES (2,7,'2024-02-21')",
                           "INSERT INTO EKAR (KAYNO,KARNO,TARIH) VALUES (3,7,'2023-01-03')"}
            << int(Kind::DuplicateDecision) << QList<int>{1, 2}
            << "Encümen: 2023 yılında 7 numaralı karar 2 kez kayıtlı: kayıt no 1 (1 numaralı "
               "oturum, 14.02.2023), kayıt no 2 (2 numaralı oturum, 21.02.2023).";
        QTest::newRow("council decision number")
            << QStringList{"INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (11,1,'2021-05-03')",
                           "INSERT INTO MECLIS (KAYNO,OTRNO,TARIH) VALUES (12,2,'2021-06-07')",
                           "INSERT INTO ENCUMEN (KAYNO,OTRNO,TARIH) VALUES (13,1,'2021-06-08')",
                           "INSERT INTO MKAR (KAYNO,KARNO) VALUES (11,2)",
                           "INSERT INTO MKAR (KAYNO,KARNO) VALUES (12,2)",
                           "INSERT INTO EKAR (KAYNO,KARNO) VALUES (13,2)"}
            << int(Kind::DuplicateDecision) << QList<int>{11, 12}
            << "Meclis: 2021 yılında 2 numaralı karar 2 kez kayıtlı: kayıt no 11 (1 numaralı "
               "oturum, 03.05.2021), kayıt no 12 (2 numaralı oturum, 07.06.2021).";
    }

    void eachLeftoverIsFound()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, kind);
        QFETCH(QList<int>, records);
        QFETCH(QString, text);
        test::DbCopy copy;
        db::Database db;
        db.setDatabaseName(copy.path());
        db.connect();
        run(db, rows);
        const app::FileCheck::Report report = app::FileCheck(db).leftovers();
        const QVector<app::FileCheck::Finding> found = report.findings();
        QCOMPARE(found.size(), 1);
        QCOMPARE(int(found.first().kind), kind);
        QCOMPARE(found.first().recordNumbers, records);
        QCOMPARE(found.first().text, text);
        QCOMPARE(report.summary(), "1 sorun bulundu.");
    }

    // The rows were written through the session's own connection: its
    // retained transaction would keep their tables from validation.
    void dialogListsWhatTheCheckFinds()
    {
        test::DbCopy copy;
        Screen s(copy.path());
        run(s.session.database(),
            AttendanceLeftover + QStringList{"INSERT INTO MKAR (KAYNO,KARNO) VALUES (60,3)"});
        QCOMPARE(s.dialog.objectName(), "TFRMDOSYA");
        QCOMPARE(s.dialog.windowTitle(), "DOSYA  KONTROL İŞLEMİ");
        s.dialog.show();
        QTest::mouseClick(s.button("Kontrol Et"), Qt::LeftButton);
        QCOMPARE(items(s.dialog.findChild<QListWidget *>("FindingList")),
                 (QStringList{AttendanceText,
                              "Meclis: 3 numaralı karar (tarihsiz) kayıt no 60 olan oturuma "
                              "bağlı, ama bu oturum yok (MKAR tablosu)."}));
        QCOMPARE(s.result(), "2 sorun bulundu.");
        QVERIFY(s.output().contains("Relation"));
        QVERIFY(s.messages.entries().isEmpty());
        QVERIFY(s.button("Kontrol Et")->isEnabled());
        QVERIFY(s.session.database().isConnected());
    }

    // The window keeps handling events while the engine works, but Esc must
    // not take it away then.
    void escapeWaitsForTheWorkToEnd()
    {
        test::DbCopy copy;
        Screen s(copy.path());
        s.dialog.show();
        bool busyWhenPressed = false;
        bool visibleAfterPress = false;
        QTimer::singleShot(0, &s.dialog, [&] {
            busyWhenPressed = s.dialog.isBusy() && !s.button("Yedek Al")->isEnabled();
            QTest::keyClick(&s.dialog, Qt::Key_Escape);
            visibleAfterPress = s.dialog.isVisible();
        });
        s.dialog.check();
        QVERIFY(busyWhenPressed);
        QVERIFY(visibleAfterPress);
        QCOMPARE(s.result(), "Sorun bulunamadı.");
        QTest::keyClick(&s.dialog, Qt::Key_Escape);
        QVERIFY(!s.dialog.isVisible());
    }

    void dialogWritesTheBackup()
    {
        test::DbCopy copy("14.001", true);
        Screen s(copy.path());
        QCOMPARE(s.dialog.defaultBackupPath(QDate(2024, 1, 5)), copy.dir() + "/MIZRO-20240105.FBK");
        const QString target = copy.dir() + "/YEDEK.FBK";
        s.files.answer(target);
        s.dialog.show();
        QTest::mouseClick(s.button("Yedek Al"), Qt::LeftButton);
        QCOMPARE(s.files.lastFilter(), "Yedek Dosyası (*.FBK *.fbk)");
        const qint64 size = QFileInfo(target).size();
        QVERIFY(size > 0);
        const QString expected = QString("Yedek alındı: %1 (%2 bayt)")
                                     .arg(target, QLocale(QLocale::Turkish).toString(size));
        QCOMPARE(s.result(), expected);
        QCOMPARE(s.messages.texts(), QStringList{expected});
        QVERIFY(s.output().contains("writing data for table EKAR"));
    }

    // The check and a backup of a large file ran with no sign and could not
    // be stopped. Work that lasts shows a progress dialog (here at once);
    // "İptal" stops the engine's work and says what was done.
    void cancelStopsTheWorkAndSaysWhatWasDone_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::newRow("check") << false;
        QTest::newRow("backup") << true;
    }

    void cancelStopsTheWorkAndSaysWhatWasDone()
    {
        QFETCH(bool, backup);
        test::DbCopy copy("14.001", true);
        Screen s(copy.path());
        s.dialog.setProgressDelay(0);
        const QString target = copy.dir() + "/YEDEK.FBK";
        s.files.answer(target);
        s.dialog.show();
        QString cancelText;
        QTimer watch;
        connect(&watch, &QTimer::timeout, &s.dialog, [&] {
            QProgressDialog *p = s.dialog.progressDialog();
            if (!p || !p->isVisible())
                return;
            QPushButton *cancel = p->findChild<QPushButton *>();
            cancelText = cancel->text();
            cancel->click();
            watch.stop();
        });
        watch.start(0);
        if (backup)
            s.dialog.backup();
        else
            s.dialog.check();
        QCOMPARE(cancelText, "İptal");
        QVERIFY2(s.result().contains("iptal edildi"), qPrintable(s.result()));
        QCOMPARE(s.messages.texts(), QStringList{s.result()});
        QVERIFY(!s.dialog.isBusy());
        QVERIFY(!s.dialog.progressDialog());
        if (backup) {
            QCOMPARE(s.result(), "Yedek alma iptal edildi; yedek dosyası yazılmadı.");
            QVERIFY(!QFile::exists(target));
            QVERIFY(!QFile::exists(target + ".part"));
        }
        // The connection goes on working.
        QVERIFY(db::Query(s.session.database(), "SELECT COUNT(*) FROM ENCUMEN").scalar().toInt() >
                0);
    }

    void dialogReportsAFailedBackup()
    {
        test::DbCopy copy;
        Screen s(copy.path());
        const QString target = copy.dir() + "/YOK/YEDEK.FBK";
        s.files.answer(target);
        s.dialog.show();
        QTest::mouseClick(s.button("Yedek Al"), Qt::LeftButton);
        QCOMPARE(s.result(), "Yedek alınamadı.");
        QCOMPARE(s.messages.entries().size(), 1);
        QCOMPARE(s.messages.entries().first().kind, ui::ScriptedMessages::Kind::Error);
        QVERIFY(s.messages.last().startsWith("Yedek dosyası yazılamadı: " + target));
        QVERIFY(!QFile::exists(target));
        // Cancelling the file prompt does nothing at all.
        s.messages.clear();
        QTest::mouseClick(s.button("Yedek Al"), Qt::LeftButton);
        QCOMPARE(s.result(), "Yedek alınamadı.");
        QVERIFY(s.messages.entries().isEmpty());
    }

    void adminCheckExitStatus_data()
    {
        QTest::addColumn<QString>("file"); // "" for a missing file
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("clean") << "copy" << QStringList() << 0 << "Sorun bulunamadı.";
        QTest::newRow("leftover") << "copy" << AttendanceLeftover << 1 << "- " + AttendanceText;
        QTest::newRow("missing") << "" << QStringList() << 3 << "Dosya yok";
        QTest::newRow("not a database") << "junk" << QStringList() << 3 << "Dosya denetlenemedi";
    }

    void adminCheckExitStatus()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, rows);
        QFETCH(int, status);
        QFETCH(QString, said);
        test::DbCopy copy;
        if (!rows.isEmpty())
            fillLeftovers(copy.path(), rows);
        QString path = copy.path();
        if (file.isEmpty())
            path = copy.dir() + "/YOK.GDB";
        if (file == "junk") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(20000, 'x'));
        }
        const Tool t = admin({"check", path});
        QCOMPARE(t.exitCode, status);
        const QString all = t.out + t.err;
        QVERIFY2(all.contains(said), qPrintable(all));
    }

    void adminBackup()
    {
        test::DbCopy copy("14.001", true);
        const QString out = copy.dir() + "/MIZRO.FBK";
        Tool t = admin({"backup", copy.path(), out});
        QCOMPARE(t.exitCode, 0);
        QVERIFY(t.out.startsWith("Yedek alındı: " + out));
        const qint64 size = QFileInfo(out).size();
        QVERIFY(size > 0);

        t = admin({"backup", copy.path(), out});
        QCOMPARE(t.exitCode, 1);
        QVERIFY(t.err.contains("zaten var"));
        QCOMPARE(QFileInfo(out).size(), size);

        t = admin({"backup", copy.path(), copy.dir() + "/YOK/MIZRO.FBK"});
        QCOMPARE(t.exitCode, 1);
        QVERIFY(t.err.startsWith("Yedek dosyası yazılamadı: " + copy.dir() + "/YOK/MIZRO.FBK"));
    }
};

MIZRO_TEST_MAIN(TestFileCheck)
#include "tst_filecheck.moc"
