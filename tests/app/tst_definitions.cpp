// The general definitions dialog on the one definitions record.

#include "app/definitionsdialog.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/statuspanel.h"
#include "db/dataset.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace mizro;
using app::DefinitionsDialog;

namespace {

void type(QLineEdit *e, const QString &text)
{
    e->selectAll();
    e->del();
    e->setFocus();
    test::typeText(e, text);
}

} // namespace

class TestDefinitions : public QObject {
    Q_OBJECT
private slots:
    void editsTheRecord()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET KURUM='ESKİ AD', YAZDUR='F', EMAIL='a@b', UDUR='1'");
        DefinitionsDialog d(t.session());
        d.show();
        QCOMPARE(d.objectName(), "TFRMGENTAN");
        QCOMPARE(d.windowTitle(), "GENEL TANIMLAR");
        QCOMPARE(d.field("KURUM")->text(), "ESKİ AD");
        QCOMPARE(d.field("VER")->text(), "14.001");
        QVERIFY(d.field("VER")->isReadOnly());
        QCOMPARE(d.printerType()->currentText(), "Form");
        QCOMPARE(d.field("KURUM")->maxLength(), 40);
        QCOMPARE(d.field("CYIL")->maxLength(), 4);
        type(d.field("KURUM"), "ÇAĞLAYAN BELEDİYESİ");
        type(d.field("ILADI"), "İZMİR");
        type(d.field("ILCE"), "Ödemiş");
        type(d.field("CYIL"), "2027");
        type(d.field("BASKAN"), "Şükrü O'Neil");
        d.printerType()->setCurrentText("Düz");
        d.saveButton()->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(t.scalar("SELECT KURUM FROM TANIM").toString(), "ÇAĞLAYAN BELEDİYESİ");
        QCOMPARE(t.scalar("SELECT ILADI || '/' || ILCE FROM TANIM").toString(), "İZMİR/Ödemiş");
        QCOMPARE(t.scalar("SELECT CYIL FROM TANIM").toString(), "2027");
        QCOMPARE(t.scalar("SELECT BASKAN FROM TANIM").toString(), "Şükrü O'Neil");
        QCOMPARE(t.scalar("SELECT YAZDUR FROM TANIM").toString(), "D");
        // The columns not shown keep their values.
        QCOMPARE(t.scalar("SELECT EMAIL || UDUR || VER FROM TANIM").toString(), "a@b114.001");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM TANIM").toInt(), 1);
    }

    // The fields took fixed lengths, not the file's: typing stops at the
    // column's own length, whatever the file says it is.
    void lengthsComeFromTheFile()
    {
        test::TestSession t;
        t.exec("ALTER TABLE TANIM ALTER KURUM TYPE VARCHAR(60)");
        DefinitionsDialog d(t.session());
        d.show();
        QCOMPARE(d.field("KURUM")->maxLength(), 60);
        QCOMPARE(d.field("ILADI")->maxLength(), 20);
        type(d.field("KURUM"), QString(70, QChar(u'Ğ')));
        type(d.field("ILADI"), QString(25, QChar(u'İ')));
        d.saveButton()->click();
        QVERIFY(t.messages().entries().isEmpty());
        QCOMPARE(t.scalar("SELECT KURUM FROM TANIM").toString(), QString(60, QChar(u'Ğ')));
        QCOMPARE(t.scalar("SELECT ILADI FROM TANIM").toString(), QString(20, QChar(u'İ')));
    }

    void typedPrinterTypeKeepsFirstLetter()
    {
        test::TestSession t;
        DefinitionsDialog d(t.session());
        d.show();
        d.printerType()->setCurrentText("Matbaa");
        d.buttonBar()->setFocus();
        // A click on the bar beside the buttons stores and closes.
        QTest::mouseClick(d.buttonBar(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!d.isVisible());
        QCOMPARE(t.scalar("SELECT YAZDUR FROM TANIM").toString(), "M");
    }

    // Cancel keeps the record; the status panel is refreshed from it anyway.
    void cancelKeepsAndStatusFollows()
    {
        test::TestSession t;
        t.exec("UPDATE TANIM SET KURUM='ESKİ AD', CYIL='2021'");
        ui::ScriptedDialogRunner dialogs;
        app::MainWindow window(t.session(), dialogs);
        app::attachScreens(window, t.session(), dialogs);
        dialogs.setScript([&](QDialog &dialog) {
            auto &d = static_cast<DefinitionsDialog &>(dialog);
            type(d.field("KURUM"), "YENİ AD");
            d.cancelButton()->click();
            return 0;
        });
        window.action(app::MainWindow::Command::GeneralDefinitions)->trigger();
        QCOMPARE(t.scalar("SELECT KURUM FROM TANIM").toString(), "ESKİ AD");
        QCOMPARE(window.kurum(), "ESKİ AD");

        t.session().setWorkingYear("2021");
        dialogs.setScript([&](QDialog &dialog) {
            auto &d = static_cast<DefinitionsDialog &>(dialog);
            type(d.field("CYIL"), "2030");
            d.saveButton()->click();
            return 0;
        });
        window.action(app::MainWindow::Command::GeneralDefinitions)->trigger();
        QCOMPARE(window.statusPanel()->year()->text(), "2030");
        QCOMPARE(t.session().definitionsYear(), "2030");
        QCOMPARE(t.session().workingYear(), "2021");
    }

    void emptyTableGetsItsRecord()
    {
        test::TestSession t;
        t.exec("DELETE FROM TANIM");
        DefinitionsDialog d(t.session());
        d.show();
        QCOMPARE(d.record().state(), db::DataSet::State::Insert);
        type(d.field("KURUM"), "YENİ BELEDİYE");
        d.saveButton()->click();
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM TANIM").toInt(), 1);
        QCOMPARE(t.scalar("SELECT KURUM FROM TANIM").toString(), "YENİ BELEDİYE");
    }

    // A refused post: the error shows, the dialog stays with the typing.
    void refusedPostKeepsDialogOpen()
    {
        test::TestSession t;
        t.exec("CREATE EXCEPTION E_NO 'refused'");
        t.exec("CREATE TRIGGER NO_UPDATE FOR TANIM BEFORE UPDATE AS BEGIN EXCEPTION E_NO; END");
        DefinitionsDialog d(t.session());
        d.show();
        type(d.field("KURUM"), "DENEME");
        d.saveButton()->click();
        QVERIFY(d.isVisible());
        QCOMPARE(t.messages().entries().size(), 1);
        QCOMPARE(d.record().state(), db::DataSet::State::Edit);
        QCOMPARE(d.field("KURUM")->text(), "DENEME");
        QVERIFY(!d.close());
        QVERIFY(d.isVisible());
        d.cancelButton()->click();
        QVERIFY(!d.isVisible());
    }
};

MIZRO_TEST_MAIN(TestDefinitions)
#include "tst_definitions.moc"
