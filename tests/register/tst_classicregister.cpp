// The classic register of both bodies and its decision list, driven by
// clicks, keys and context menus.

#include "db/dataset.h"
#include "documentfixture.h"
#include "documents/documentcontainer.h"
#include "framedscreen.h"
#include "register/attendancerules.h"
#include "register/classicdecisionlist.h"
#include "register/classiceditor.h"
#include "register/classicregister.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "register/memberpicklist.h"
#include "register/registerparts.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

using namespace mizro;
using reg::ClassicDecisionList;
using reg::ClassicRegister;

namespace {

const int Year = QDate::currentDate().year();

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

// Members 1 to 3 of the year; meeting 1 (record 5) with decisions 7 and 8,
// each with its document, and department 4 on decision 7.
void fixture(test::TestSession &t, const ui::Body &b)
{
    for (int u = 1; u <= 3; ++u)
        t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES (:P1,:P2,:P3,'Üye','A')")
                   .arg(b.memberTable),
               {Year, u, QStringList{"Ayşe YILMAZ", "Şükrü DEMİR", "İsmail ÖZ"}[u - 1]});
    t.exec(QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) VALUES (5,1,:P1,'10:00',"
                   "'1','OTURUM')")
               .arg(b.meetingTable),
           {QDate(Year, 1, 5)});
    t.exec("INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('4','Fen İşleri Müdürlüğü')");
    for (int k : {7, 8})
        t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,SNO,OZET,KARAR) VALUES (5,:P1,:P2,'Karar',"
                       ":P3)")
                   .arg(b.decisionTable),
               {k, k - 6, test::MeetingFixture::storedValue(QString("<p>Metin %1</p>").arg(k))});
    if (b.documentParticulars)
        t.exec("UPDATE EKAR SET BKOD=4 WHERE KARNO=7");
    t.exec("SET GENERATOR GEN_KAYNO TO 100");
}

using Clerk = test::FramedScreen<ClassicRegister>;

QString viewText(ClassicDecisionList &list)
{
    const QTextDocument *doc = list.view()->document();
    return doc ? doc->toPlainText() : QString();
}

} // namespace

class TestClassicRegister : public QObject {
    Q_OBJECT

private slots:
    void body_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("TFRMENC") << true;
        QTest::newRow("TFRMMEC") << false;
    }

    // The first meeting of an empty year is number 1, and its record number
    // is drawn as the entry begins: members added before the save belong to
    // it, and the next entry starts with nobody.
    void firstMeetingOfAnEmptyYear_data() { body_data(); }
    void firstMeetingOfAnEmptyYear()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        for (int u = 1; u <= 2; ++u)
            t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES (:P1,:P2,'Üye "
                           "%2','Üye','A')")
                       .arg(b.memberTable)
                       .arg(u),
                   {Year, u});
        t.exec("SET GENERATOR GEN_KAYNO TO 40");
        Clerk c(t.session(), b);
        QCOMPARE(c->objectName(), committee ? "TFRMENC" : "TFRMMEC");
        QVERIFY(!c->particulars()->isEnabled());
        QVERIFY(!c->attendancePanel()->menuAttached());
        c->newButton()->click();
        QCOMPARE(c->mode(), ClassicRegister::Mode::New);
        QCOMPARE(c->numberEdit()->text(), "1");
        QCOMPARE(c->recordLabel()->text(), "41");
        QCOMPARE(c->typeBox()->currentText(), "Olağan");
        QCOMPARE(c->newButton()->text(), "Kayıt");
        QCOMPARE(c->changeButton()->text(), "İptal");
        for (QPushButton *other : {c->decisionsButtonWidget(), c->exitButton(), c->deleteButton()})
            QVERIFY(!other->isEnabled());
        QVERIFY(!c->meetingList()->isEnabled());

        c.dialogs.setScript([](QDialog &d) {
            static_cast<reg::MemberPickList &>(d).addAll();
            return 1;
        });
        test::chooseFromMenu(c->attendancePanel()->grid(), "Ekle");
        QCOMPARE(c->attendance().attendance().count(), 2);
        c->newButton()->click();
        QCOMPARE(c->mode(), ClassicRegister::Mode::Browse);
        QCOMPARE(c->newButton()->text(), "Yeni Oturum");
        QCOMPARE(c->changeButton()->text(), "Değiştir");
        QCOMPARE(t.scalar("SELECT KAYNO FROM " + b.meetingTable + " WHERE OTRNO=1").toInt(), 41);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM " + b.attendanceTable + " WHERE KAYNO=41").toInt(),
                 2);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM " + b.attendanceTable + " WHERE KAYNO=0").toInt(),
                 0);

        c->newButton()->click();
        QCOMPARE(c->numberEdit()->text(), "2");
        QCOMPARE(c->attendance().attendance().count(), 0);
        c->changeButton()->click();
        QCOMPARE(c->mode(), ClassicRegister::Mode::Browse);
        QCOMPARE(c->attendance().attendance().count(), 2);
    }

    // "Kayıt" checks the time, then the type; the entry stays open on a
    // failure, with the focus on the field.
    void checksKeepTheEntry_data() { body_data(); }
    void checksKeepTheEntry()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        c->changeButton()->click();
        QCOMPARE(c->mode(), ClassicRegister::Mode::Change);
        c->timeEdit()->setFocus();
        c->timeEdit()->selectAll();
        QTest::keyClick(c->timeEdit(), Qt::Key_Delete);
        c->typeBox()->setCurrentIndex(-1);
        c->newButton()->click();
        QCOMPARE(t.messages().last(), "Oturum Saati Boş Olamaz..!");
        QCOMPARE(c->mode(), ClassicRegister::Mode::Change);
        QCOMPARE(QApplication::focusWidget(), c->timeEdit());
        test::typeText(c->timeEdit(), "1130");
        c->newButton()->click();
        QCOMPARE(t.messages().last(), "Oturum Türü Boş Olamaz..!");
        QCOMPARE(c->mode(), ClassicRegister::Mode::Change);
        c->typeBox()->setCurrentIndex(1);
        emit c->typeBox()->activated(1);
        c->newButton()->click();
        QCOMPARE(c->mode(), ClassicRegister::Mode::Browse);
        QCOMPARE(t.scalar("SELECT TUR FROM " + b.meetingTable + " WHERE KAYNO=5").toString(), "2");
        QCOMPARE(t.scalar("SELECT SAAT FROM " + b.meetingTable + " WHERE KAYNO=5").toTime(),
                 QTime(11, 30));
    }

    // The committee's switch lies in the particulars: usable only during an
    // entry. The council's is always there. Either writes MENSEK and closes.
    void variantSwitch_data() { body_data(); }
    void variantSwitch()
    {
        QFETCH(bool, committee);
        test::TestSession t(QString::number(Year));
        fixture(t, bodyOf(committee));
        t.session().setMensek("0");
        Clerk c(t.session(), bodyOf(committee));
        QCOMPARE(c->variantButton()->isEnabled(), !committee);
        if (committee) {
            QTest::mouseClick(c->variantButton(), Qt::LeftButton);
            QCOMPARE(t.session().mensek(), "0");
            c->newButton()->click();
            QVERIFY(c->variantButton()->isEnabled());
        }
        QTest::mouseClick(c->variantButton(), Qt::LeftButton);
        QCOMPARE(t.session().mensek(), "1");
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(c.screen.isNull());
    }

    // The council's keys come through the window's menu and act only where
    // their buttons can be clicked; the committee's window has no keys.
    void councilKeysFollowTheirButtons()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        t.exec("INSERT INTO MECLIS (KAYNO,OTRNO,TARIH,SAAT,TUR) VALUES (6,2,:P1,'10:00','1')",
               {QDate(Year, 2, 1)});
        Clerk c(t.session(), b);
        QCOMPARE(test::menuEntries(c.screen),
                 (QStringList{"yeni", "ddeğiş", "sil", "çık", "karar"}));
        // Only the last meeting may be deleted: elsewhere F10 does nothing.
        c->meetings().meetings().first();
        QVERIFY(c->deleteButton()->isHidden());
        test::pressKey(c.screen, Qt::Key_F10);
        QVERIFY(t.messages().texts().isEmpty());
        int lists = 0;
        c.dialogs.setScript([&](QDialog &) {
            ++lists;
            return 0;
        });
        test::pressKey(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), ClassicRegister::Mode::New);
        for (Qt::Key k : {Qt::Key_F5, Qt::Key_F10, Qt::Key_Escape})
            test::pressKey(c.screen, k);
        QCOMPARE(lists, 0);
        QVERIFY(!c.screen.isNull());
        QCOMPARE(c->mode(), ClassicRegister::Mode::New);
        test::pressKey(c.screen, Qt::Key_F4);
        QCOMPARE(c->mode(), ClassicRegister::Mode::Browse);
        test::pressKey(c.screen, Qt::Key_F5);
        QCOMPARE(lists, 1);
        test::pressKey(c.screen, Qt::Key_Escape);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(c.screen.isNull());
    }

    // The decision list: the meeting handed over, the body's columns with the
    // department's name and the meeting number, the view following the
    // current decision, and the register's count read again on return.
    void decisionList_data() { body_data(); }
    void decisionList()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        const int countColumn = 5;
        QCOMPARE(c->meetings().meetings().data(c->meetings().meetings().index(0, countColumn)),
                 QVariant("2"));
        QStringList seen;
        c.dialogs.setScript([&](QDialog &d) {
            auto &list = static_cast<ClassicDecisionList &>(d);
            [&] {
                QCOMPARE(list.objectName(), committee ? "TFRMENCUMEN" : "TFRMMECLIS");
                QCOMPARE(list.recordNumber(), 5);
                db::DataSet &ds = list.decisions().decisions();
                QCOMPARE(ds.count(), 2);
                QStringList titles;
                for (int col = 0; col < ds.columnCount(); ++col)
                    titles << ds.headerData(col, Qt::Horizontal).toString();
                const QStringList expected =
                    committee ? QStringList{"Kar.No",   "S.No",     "Birimi",
                                            "Evrak No", "E.Tarihi", "Karar Özeti"}
                              : QStringList{"Karar No", "S.No", "OTRNO", "Karar Özeti"};
                QCOMPARE(titles, expected);
                QCOMPARE(ds.data(ds.index(0, 2)).toString(),
                         QString(committee ? "Fen İşleri Müdürlüğü" : "1"));
                seen << viewText(list);
                ds.setCurrentRow(1);
                seen << viewText(list);
                // A new decision written by the editor.
                list.setEditorOpener([](ClassicDecisionList &l, ClassicDecisionList::EditorMode) {
                    db::DataSet &decisions = l.decisions().decisions();
                    if (decisions.state() != db::DataSet::State::Insert)
                        decisions.append();
                    decisions.setValue("KAYNO", 5);
                    decisions.setValue("KARNO", 9);
                    decisions.setValue("SNO", 3);
                    decisions.setValue("OZET", "Yeni");
                    return decisions.post();
                });
                list.newButton()->click();
                QCOMPARE(ds.count(), 3);
            }();
            list.exitButton()->click();
            return 0;
        });
        c->decisionsButtonWidget()->click();
        QCOMPARE(seen, (QStringList{"Metin 7", "Metin 8"}));
        QCOMPARE(c->meetings().meetings().data(c->meetings().meetings().index(0, countColumn)),
                 QVariant("3"));
    }

    // The whole road of a new decision: the register's decisions button, the
    // list's "F2-Yeni Karar", the editor's numbers and save; back in the
    // register the meeting's count has followed.
    void newDecisionThroughTheEditor_data() { body_data(); }
    void newDecisionThroughTheEditor()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        QStringList shown;
        c.dialogs.setScript([&](QDialog &d) {
            shown << d.objectName();
            if (auto *editor = qobject_cast<reg::ClassicEditor *>(&d)) {
                [&] {
                    QCOMPARE(editor->numberEdit()->text(), "9");
                    QCOMPARE(editor->orderEdit()->text(), "3");
                }();
                editor->summaryEdit()->setFocus();
                test::typeText(editor->summaryEdit(), "Çevre düzenlemesi");
                editor->saveButton()->click();
                return editor->result();
            }
            auto &list = static_cast<ClassicDecisionList &>(d);
            list.newButton()->click();
            [&] {
                const db::DataSet &ds = list.decisions().decisions();
                QCOMPARE(ds.count(), 3);
                QCOMPARE(ds.state(), db::DataSet::State::Browse);
            }();
            list.exitButton()->click();
            return 0;
        });
        c->decisionsButtonWidget()->click();
        QCOMPARE(shown, (QStringList{committee ? "TFRMENCUMEN" : "TFRMMECLIS",
                                     committee ? "TFRMENCKAR" : "TFRMMECKAR"}));
        QCOMPARE(t.scalar("SELECT OZET FROM " + b.decisionTable +
                          " WHERE KAYNO=5 AND KARNO=9 "
                          "AND SNO=3")
                     .toString(),
                 "Çevre düzenlemesi");
        QCOMPARE(c->meetings().meetings().data(c->meetings().meetings().index(0, 5)),
                 QVariant("3"));
    }

    // The council's list appends the row before its editor opens, and an
    // editor left without saving takes it back; a decision numbered 0 opens
    // no editor. Deleting asks the body's question.
    void councilDecisionList()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        t.exec("UPDATE MKAR SET KARNO=0 WHERE KARNO=8");
        Clerk c(t.session(), b);
        QStringList calls;
        c.dialogs.setScript([&](QDialog &d) {
            auto &list = static_cast<ClassicDecisionList &>(d);
            db::DataSet &ds = list.decisions().decisions();
            list.setEditorOpener([&](ClassicDecisionList &l, ClassicDecisionList::EditorMode m) {
                const db::DataSet &rows = l.decisions().decisions();
                calls << QString("%1:%2:%3")
                             .arg(int(m))
                             .arg(rows.state() == db::DataSet::State::Insert ? "yeni" : "eski")
                             .arg(rows.value("KAYNO").toInt());
                return false;
            });
            list.newButton()->click();
            [&] {
                QCOMPARE(ds.count(), 2);
            }();
            ds.locate("KARNO", 0);
            list.changeButton()->click();
            ds.locate("KARNO", 7);
            list.changeButton()->click();
            t.messages().answer(true);
            list.deleteButton()->click();
            list.exitButton()->click();
            return 0;
        });
        c->decisionsButtonWidget()->click();
        QCOMPARE(calls, (QStringList{"1:yeni:5", "2:eski:5"}));
        QCOMPARE(t.messages().last(), "BU MECLİS KARARI SİLİNECEKTİR. ONAYLIYORMUSUNUZ");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAR WHERE KARNO=7").toInt(), 0);
    }
};

QTEST_MAIN(TestClassicRegister)
#include "tst_classicregister.moc"
