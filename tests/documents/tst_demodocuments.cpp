// Demo templates and documents, and one decision's document exported by
// mizro-admin.

#include "documentfixture.h"

#include "documents/placeholdermerge.h"
#include "documents/storeddocument.h"
#include "ui/session.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

using namespace mizro;
using documents::PlaceholderMerge;
using Fixture = test::MeetingFixture;

namespace {

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestDemoDocuments : public QObject {
    Q_OBJECT
private slots:
    void twoTemplatesPerBodyWithEveryPlaceholder()
    {
        test::TestSession t("2021", "14.001", true);
        for (const QString &type : QStringList{"E", "M"}) {
            QCOMPARE(t.scalar("SELECT COUNT(*) FROM ORNEK WHERE TUR=:P1", {type}).toInt(), 2);
            for (int sno : {1, 2, 3, 4}) {
                if (t.scalar("SELECT TUR FROM ORNEK WHERE SNO=:P1", {sno}).toString() != type)
                    continue;
                const QString text = Fixture::plainText(
                    t.scalar("SELECT ORNEK FROM ORNEK WHERE SNO=:P1", {sno}).toByteArray());
                for (const QString &p : PlaceholderMerge::placeholders())
                    QCOMPARE(text.count(p), 1);
            }
        }
    }

    void mostDecisionsHoldAMergedDocument_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("committee") << "EKAR";
        QTest::newRow("council") << "MKAR";
    }
    void mostDecisionsHoldAMergedDocument()
    {
        QFETCH(QString, table);
        test::TestSession t("2021", "14.001", true);
        const int all = t.scalar(QString("SELECT COUNT(*) FROM %1").arg(table)).toInt();
        const int held =
            t.scalar(QString("SELECT COUNT(*) FROM %1 WHERE KARAR IS NOT NULL").arg(table)).toInt();
        QVERIFY(held > all / 2);
        QVERIFY(held < all);
        const QVariant kayno =
            t.scalar(QString("SELECT MIN(KAYNO) FROM %1 WHERE KARAR IS NOT NULL").arg(table));
        const QString summary =
            t.scalar(QString("SELECT FIRST 1 OZET FROM %1 WHERE KAYNO=:P1 AND KARAR IS NOT NULL "
                             "ORDER BY KARNO")
                         .arg(table),
                     {kayno})
                .toString();
        const QString text = Fixture::plainText(
            t.scalar(QString("SELECT FIRST 1 KARAR FROM %1 WHERE KAYNO=:P1 AND KARAR IS NOT "
                             "NULL ORDER BY KARNO")
                         .arg(table),
                     {kayno})
                .toByteArray());
        QVERIFY(text.contains(summary));
        QVERIFY(!text.contains('['));
        QVERIFY(text.contains(" - Belediye Başkanı"));
    }

    void exportOfOneDecision_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("odt") << "odt";
        QTest::newRow("html") << "html";
    }
    void exportOfOneDecision()
    {
        QFETCH(QString, format);
        test::TestSession t("2021", "14.001", true);
        const QVariant kayno = t.scalar("SELECT MIN(KAYNO) FROM EKAR WHERE KARAR IS NOT NULL");
        const QVariant karno =
            t.scalar("SELECT MIN(KARNO) FROM EKAR WHERE KAYNO=:P1 AND KARAR IS NOT NULL", {kayno});
        const QString summary =
            t.scalar("SELECT OZET FROM EKAR WHERE KAYNO=:P1 AND KARNO=:P2", {kayno, karno})
                .toString();
        const QVariant bare = t.scalar("SELECT MIN(KARNO) FROM EKAR WHERE KARAR IS NULL");
        const QVariant bareMeeting = t.scalar("SELECT KAYNO FROM EKAR WHERE KARNO=:P1", {bare});
        const QString path = t.copy().path();
        // The embedded file is the tool's while it runs.
        t.session().database().disconnect();
        QTemporaryDir dir;
        const QString out = dir.filePath("karar." + format);
        int code = -1;
        run(MIZRO_ADMIN,
            {"document", path, "--body", "E", "--kayno", kayno.toString(), "--karno",
             karno.toString(), "--" + format, out},
            &code);
        QCOMPARE(code, 0);
        QString text;
        if (format == "pdf")
            text = run("pdftotext", {out, "-"});
        else if (format == "odt")
            text = run("/usr/bin/python3",
                       {"-c",
                        "import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1])\n"
                        "assert z.read('mimetype')==b'application/vnd.oasis.opendocument.text'\n"
                        "sys.stdout.write(z.read('content.xml').decode('utf-8'))",
                        out});
        else {
            QFile f(out);
            QVERIFY(f.open(QIODevice::ReadOnly));
            text = QString::fromUtf8(f.readAll());
        }
        QVERIFY2(text.contains(summary.left(30)), qPrintable(text.left(400)));
        QVERIFY(text.contains("KARAAĞAÇLI BELEDİYESİ"));

        // A decision without a document says so.
        run(MIZRO_ADMIN,
            {"document", path, "--body", "E", "--kayno", bareMeeting.toString(), "--karno",
             bare.toString(), "--" + format, dir.filePath("bos")},
            &code);
        QCOMPARE(code, 1);
        QVERIFY(!QFile::exists(dir.filePath("bos")));
    }
};

MIZRO_TEST_MAIN(TestDemoDocuments)
#include "tst_demodocuments.moc"
