// The single-screen register of both bodies, driven by keys and clicks.

#include "db/dataset.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "documentfixture.h"
#include "documents/decisioneditor.h"
#include "documents/documentcontainer.h"
#include "framedscreen.h"
#include "register/attendancerules.h"
#include "register/decisioncard.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "register/memberpicklist.h"
#include "register/numbering.h"
#include "register/singleregister.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/cardlist.h"
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
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace mizro;
using reg::SingleRegister;

namespace {

const int Year = QDate::currentDate().year();
const QDate First(Year, 1, 1);
const QDate Second(Year, 1, 2);

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

// Members 1 to 3 of the year; meetings 1 and 2 of the year (decisions 1 to
// 40 on the first), and one of last year with decision 90.
void fixture(test::TestSession &t, const ui::Body &b)
{
    for (int u = 1; u <= 3; ++u)
        t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES (:P1,:P2,:P3,'Üye','A')")
                   .arg(b.memberTable),
               {Year, u, QStringList{"Ayşe YILMAZ", "Şükrü DEMİR", "İsmail ÖZ"}[u - 1]});
    const QString meeting =
        QString("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) VALUES (:P1,:P2,:P3,'10:00',"
                "'1','OTURUM')")
            .arg(b.meetingTable);
    t.exec(meeting, {1, 1, First});
    t.exec(meeting, {2, 2, Second});
    t.exec(meeting, {3, 9, QDate(Year - 1, 6, 1)});
    for (int k = 1; k <= 40; ++k)
        t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,SNO,OZET) VALUES (1,:P1,:P1,'Karar')")
                   .arg(b.decisionTable),
               {k});
    t.exec(QString("INSERT INTO %1 (KAYNO,KARNO,SNO) VALUES (3,90,1)").arg(b.decisionTable));
    t.exec("SET GENERATOR GEN_KAYNO TO 100");
}

using Clerk = test::FramedScreen<SingleRegister>;

void key(SingleRegister *s, Qt::Key k)
{
    test::pressKey(s, k);
}

void typeSummary(SingleRegister *s, const QString &text)
{
    reg::DecisionCard *card = s->currentCard();
    QVERIFY(card);
    card->summary()->setFocus();
    card->summary()->moveCursor(QTextCursor::End);
    test::typeText(card->summary(), text);
}

void chooseFromMenu(QWidget *widget, const QString &entry)
{
    test::chooseFromMenu(widget, entry);
}

QVariant scalar(test::TestSession &t, const QString &sql)
{
    return t.scalar(sql);
}

} // namespace

class TestSingleRegister : public QObject {
    Q_OBJECT
private slots:
    void body_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }

    // The last meeting by date is current after activation, with "F10-Sil";
    // an earlier one hides it, and F10 then does nothing.
    void activationAndDeleteOffer_data() { body_data(); }
    void activationAndDeleteOffer()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        QCOMPARE(c->objectName(), committee ? "TFRMENC1" : "TFRMMEC1");
        QCOMPARE(c->windowTitle(), committee ? "ENCÜMEN KARARLARI" : "MECLİS KARARLARI");
        db::DataSet &meetings = c->meetings().meetings();
        QCOMPARE(meetings.count(), 2);
        QCOMPARE(meetings.value("KAYNO").toInt(), 2);
        QVERIFY(!c->deleteButton()->isHidden());
        QCOMPARE(c->numberEdit()->text(), "2");
        QCOMPARE(c->recordLabel()->text(), "2");
        QCOMPARE(c->typeBox()->currentText(), "Olağan");
        QCOMPARE(meetings.headerData(3, Qt::Horizontal).toString(), committee ? "Ad." : "Adet");
        QCOMPARE(c->cards()->visibleCards(), committee ? 4 : 5);
        QCOMPARE(c->variantButton()->isHidden(), committee);
        QCOMPARE(c->kindBox() != nullptr, committee);

        c->meetingList()->setFocus();
        QTest::keyClick(c->meetingList(), Qt::Key_Up);
        QCOMPARE(meetings.value("KAYNO").toInt(), 1);
        QVERIFY(c->deleteButton()->isHidden());
        QCOMPARE(c->decisions().decisions().count(), 40);
        key(c.screen, Qt::Key_F10);
        QVERIFY(t.messages().entries().isEmpty()); // no question: the key follows its button
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM " + b.meetingTable).toInt(), 3);
    }

    // The road of a typical meeting by keyboard: F2, members from the pick
    // list, two decisions, F2.
    void meetingWithTwoDecisions_data() { body_data(); }
    void meetingWithTwoDecisions()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        QCOMPARE(c->newButton()->text(), "Kayıt");
        QCOMPARE(c->changeButton()->text(), "İptal");
        QVERIFY(!c->exitButton()->isEnabled());
        QVERIFY(!c->deleteButton()->isEnabled());
        QVERIFY(!c->meetingList()->isEnabled());
        QCOMPARE(c->numberEdit()->text(), "3");
        QCOMPARE(c->recordLabel()->text(), "101");
        QCOMPARE(c->typeBox()->currentText(), "Olağan");
        QCOMPARE(c->descriptionEdit()->text(), b.defaultDescription);

        c.dialogs.setScript([](QDialog &d) {
            static_cast<reg::MemberPickList &>(d).addAll();
            return 1;
        });
        chooseFromMenu(c->attendanceGrid(), "Ekle");
        QCOMPARE(c->attendance().attendance().count(), 3);

        chooseFromMenu(c->cards(), "Ekle");
        QCOMPARE(c->deleteDecisionLabel(), "İptal");
        typeSummary(c.screen, "Şehir içi yolların asfaltlanması");
        chooseFromMenu(c->currentCard()->summary(), "Ekle");
        // The first decision was written when the second was added.
        QCOMPARE(scalar(t, "SELECT OZET FROM " + b.decisionTable + " WHERE KAYNO=101").toString(),
                 "Şehir içi yolların asfaltlanması");
        typeSummary(c.screen, "İmar planı değişikliği");
        key(c.screen, Qt::Key_F2);

        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(c->newButton()->text(), "Yeni Oturum");
        QCOMPARE(c->changeButton()->text(), "Değiştir");
        QVERIFY(!c->attendanceMenuAttached());
        QVERIFY(t.messages().entries().isEmpty());
        db::DataSet &meetings = c->meetings().meetings();
        QCOMPARE(meetings.value("KAYNO").toInt(), 101);
        QCOMPARE(meetings.value("KARSAY").toInt(), 2);
        QVERIFY(!c->deleteButton()->isHidden());
        QCOMPARE(scalar(t, "SELECT OTRNO FROM " + b.meetingTable + " WHERE KAYNO=101").toInt(), 3);
        db::Query q(t.db(), "SELECT KARNO, SNO, TARIH, OZET FROM " + b.decisionTable +
                                " WHERE KAYNO=101 ORDER BY SNO");
        q.exec();
        const QStringList summaries{"Şehir içi yolların asfaltlanması", "İmar planı değişikliği"};
        for (int i = 0; i < 2; ++i) {
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 41 + i);
            QCOMPARE(q.value(1).toInt(), 1 + i);
            QCOMPARE(q.value(2).toDate(), QDate::currentDate());
            QCOMPARE(q.value(3).toString(), summaries[i]);
        }
        QVERIFY(!q.next());
    }

    // The checks keep the entry open and put the focus on the field.
    void checksKeepTheEntry_data() { body_data(); }
    void checksKeepTheEntry()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        c->timeEdit()->setFocus();
        c->timeEdit()->selectAll();
        QTest::keyClick(c->timeEdit(), Qt::Key_Delete);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(t.messages().last(), "Oturum Saati Boş Olamaz..!");
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        QCOMPARE(QApplication::focusWidget(), c->timeEdit());
        key(c.screen, Qt::Key_F4); // cancel
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(c->meetings().meetings().count(), 2);

        // F4, "Ekle", an empty summary, F2: the summary is asked for.
        t.messages().clear();
        key(c.screen, Qt::Key_F4);
        QCOMPARE(c->mode(), SingleRegister::Mode::Change);
        c->addDecision();
        key(c.screen, Qt::Key_F2);
        QCOMPARE(t.messages().last(), "Karar Özetini Giriniz..!");
        QCOMPARE(c->mode(), SingleRegister::Mode::Change);
        QCOMPARE(QApplication::focusWidget(), c->currentCard()->summary());
    }

    // A save the database refuses keeps the mode and the typing; the
    // meeting and its pending decision go in together or not at all.
    void refusedSaveKeepsTheEntry_data() { body_data(); }
    void refusedSaveKeepsTheEntry()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        c->descriptionEdit()->setFocus();
        c->descriptionEdit()->selectAll();
        test::typeText(c->descriptionEdit(), "BÜTÇE GÖRÜŞMESİ");
        c->addDecision();
        typeSummary(c.screen, "Bütçe kabulü");
        // A decision number nobody may hold: the decision's insert fails.
        c->currentCard()->number()->setFocus();
        c->currentCard()->number()->selectAll();
        QTest::keyClick(c->currentCard()->number(), Qt::Key_Backspace);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(t.messages().entries().size(), 1);
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        QCOMPARE(c->newButton()->text(), "Kayıt");
        QCOMPARE(c->descriptionEdit()->text(), "BÜTÇE GÖRÜŞMESİ");
        QCOMPARE(c->currentCard()->summary()->toPlainText(), "Bütçe kabulü");
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM " + b.meetingTable + " WHERE KAYNO=101").toInt(),
                 0);

        // A meeting number of the year typed by hand is refused the same way.
        test::typeText(c->currentCard()->number(), "41");
        c->numberEdit()->setFocus();
        c->numberEdit()->selectAll();
        test::typeText(c->numberEdit(), "2");
        key(c.screen, Qt::Key_F2);
        QVERIFY(t.messages().last().contains("2 numaralı bir oturum zaten var"));
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        QCOMPARE(QApplication::focusWidget(), c->numberEdit());

        c->numberEdit()->selectAll();
        test::typeText(c->numberEdit(), "3");
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(scalar(t, "SELECT ACIK FROM " + b.meetingTable + " WHERE KAYNO=101").toString(),
                 "BÜTÇE GÖRÜŞMESİ");
        QCOMPARE(scalar(t, "SELECT KARNO FROM " + b.decisionTable + " WHERE KAYNO=101").toInt(),
                 41);
    }

    // Two clerks enter a meeting of the same body at once: the second save
    // takes the next free numbers and says so.
    void numbersStayUniqueForTwoClerks_data() { body_data(); }
    void numbersStayUniqueForTwoClerks()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        test::SecondSession other(t.copy().path(), QString::number(Year));
        Clerk a(t.session(), b);
        Clerk c(other.session, b);
        key(a.screen, Qt::Key_F2);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(a->numberEdit()->text(), "3");
        QCOMPARE(c->numberEdit()->text(), "3");
        a->addDecision();
        typeSummary(a.screen, "Birinci katibin kararı");
        c->addDecision();
        typeSummary(c.screen, "İkinci katibin kararı");
        c->addDecision(); // the second clerk's first decision is written now
        typeSummary(c.screen, "İkinci katibin ikinci kararı");
        QCOMPARE(other.messages.entries().size(), 0);
        key(a.screen, Qt::Key_F2);
        QCOMPARE(a->mode(), SingleRegister::Mode::Browse);
        // The first clerk's decision 41 is taken; the second clerk's 41 was
        // stored first, so the first clerk's is the one renumbered.
        QCOMPARE(t.messages().texts(), QStringList{reg::renumberedText("Karar", 41, 42)});
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(other.messages.texts(), (QStringList{reg::renumberedText("Oturum", 3, 4),
                                                      reg::renumberedText("Karar", 42, 43)}));
        QCOMPARE(
            scalar(t, "SELECT COUNT(DISTINCT OTRNO) FROM " + b.meetingTable + " WHERE KAYNO > 100")
                .toInt(),
            2);
        QCOMPARE(
            scalar(t, "SELECT COUNT(DISTINCT KARNO) FROM " + b.decisionTable + " WHERE KAYNO > 100")
                .toInt(),
            3);
    }

    // While another clerk's save holds the numbering, a save waits; when
    // the wait runs out it is refused with the entry kept.
    void saveWaitsForAnotherClerk()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        test::SecondSession other(t.copy().path(), QString::number(Year));
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        {
            db::WriteGuard held(other.session.database());
            reg::lockNumbering(other.session.database());
            key(c.screen, Qt::Key_F2);
        }
        QCOMPARE(t.messages().entries().size(), 1);
        QVERIFY(!t.messages().entries()[0].details.isEmpty());
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
    }

    // The document kind goes only to the decision it was chosen for.
    void documentKindFollowsTheChoice()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        t.exec("UPDATE EKAR SET ETUR='D' WHERE KARNO IN (39, 40)");
        Clerk c(t.session(), b);
        c->meetingList()->setFocus();
        QTest::keyClick(c->meetingList(), Qt::Key_Up); // the meeting of decisions 1 to 40
        key(c.screen, Qt::Key_F4);
        db::DataSet &d = c->decisions().decisions();
        d.setCurrentRow(38);
        QCOMPARE(c->kindBox()->currentText(), "Dilekçe");
        c->kindBox()->setFocus();
        QTest::keyClick(c->kindBox(), Qt::Key_Up); // "Evrak"
        QCOMPARE(c->kindBox()->currentText(), "Evrak");
        c->cards()->setFocus();
        QTest::keyClick(c->cards(), Qt::Key_Down); // decision 40: stores 39
        QCOMPARE(c->kindBox()->currentText(), "Dilekçe");
        typeSummary(c.screen, " değişti");
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(scalar(t, "SELECT ETUR FROM EKAR WHERE KARNO=39").toString(), "E");
        QCOMPARE(scalar(t, "SELECT ETUR FROM EKAR WHERE KARNO=40").toString(), "D");
        QCOMPARE(scalar(t, "SELECT OZET FROM EKAR WHERE KARNO=40").toString(), "Karar değişti");
        QVERIFY(scalar(t, "SELECT ETUR FROM EKAR WHERE KARNO=1").isNull());
    }

    // Esc does nothing during an entry, and an activation leaves it open.
    void entryOutlivesEscAndActivation()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        c->descriptionEdit()->setFocus();
        c->descriptionEdit()->selectAll();
        test::typeText(c->descriptionEdit(), "YAZILAN");
        key(c.screen, Qt::Key_Escape);
        QVERIFY(c.screen);
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        // Another child window, then back to the register.
        QMdiSubWindow *other = c.mdi->addSubWindow(new QLabel("başka"));
        other->show();
        c.mdi->setActiveSubWindow(other);
        c.mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(c->parentWidget()));
        QApplication::processEvents();
        QCOMPARE(c->mode(), SingleRegister::Mode::New);
        QVERIFY(c->attendanceMenuAttached());
        QCOMPARE(c->descriptionEdit()->text(), "YAZILAN");
        QCOMPARE(c->meetings().meetings().state(), db::DataSet::State::Insert);
        key(c.screen, Qt::Key_F4);
        key(c.screen, Qt::Key_Escape);
        QTRY_VERIFY(!c.screen);
    }

    // F4 on a new meeting with the focus in a decision's summary: nothing
    // of the meeting is stored (the list taking the focus must not move).
    void cancelledNewMeetingLeavesNothing_data() { body_data(); }
    void cancelledNewMeetingLeavesNothing()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        c->addDecision();
        typeSummary(c.screen, "Vazgeçilen karar");
        key(c.screen, Qt::Key_F4);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM " + b.meetingTable).toInt(), 3);
        QCOMPARE(c->meetings().meetings().count(), 2);
        QCOMPARE(c->meetings().meetings().value("KAYNO").toInt(), 2);
        QCOMPARE(c->newButton()->text(), "Yeni Oturum");
    }

    // The council's cancel leaves its added decision pending; the next
    // change saves it.
    void councilCancelKeepsTheDecision()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Bekleyen karar");
        key(c.screen, Qt::Key_F4);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QVERIFY(c->decisions().decisions().isEditing());
        QCOMPARE(c->currentCard()->summary()->toPlainText(), "Bekleyen karar");
        key(c.screen, Qt::Key_F4);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(scalar(t, "SELECT OZET FROM MKAR WHERE KAYNO=2").toString(), "Bekleyen karar");

        // The committee's cancel drops it.
        test::TestSession u(QString::number(Year));
        fixture(u, ui::Body::committee());
        Clerk e(u.session(), ui::Body::committee());
        key(e.screen, Qt::Key_F4);
        e->addDecision();
        typeSummary(e.screen, "Düşen karar");
        key(e.screen, Qt::Key_F4);
        QVERIFY(!e->decisions().decisions().isEditing());
        QCOMPARE(e->decisions().decisions().count(), 0);
        QCOMPARE(scalar(u, "SELECT COUNT(*) FROM EKAR WHERE KAYNO=2").toInt(), 0);
    }

    // "Karar Metni" opens the body's editor on the card's decision; a
    // template merged and edited there reaches the database with the entry's
    // save (the committee's) or at once (the council's). A cancelled editor
    // leaves the stored document as it was.
    void documentEditorFromTheCard_data() { body_data(); }
    void documentEditorFromTheCard()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        test::MeetingFixture::addTemplate(t, 1, committee ? "E" : "M", "Şablon",
                                          "<p>Karar [KARNO]: [OZET]</p>");
        Clerk c(t.session(), b);
        int shown = 0;
        c.dialogs.setScript([&](QDialog &d) {
            ++shown;
            auto *editor = qobject_cast<documents::DecisionEditor *>(&d);
            if (!editor)
                return int(QDialog::Rejected);
            [&] {
                QCOMPARE(editor->objectName(), committee ? "TFRMENCKAR1" : "TFRMMECKAR1");
            }();
            QTextEdit *edit = editor->container()->editor();
            if (shown == 1) {
                t.messages().answer(true);
                editor->popupClick(editor->templateMenu()->actions().value(0));
                edit->moveCursor(QTextCursor::End);
                test::typeText(edit, " Oybirliği.");
                editor->saveButton()->click();
            } else {
                t.messages().answer(true);
                editor->popupClick(editor->templateMenu()->actions().value(0));
                editor->cancelButton()->click();
            }
            return editor->result();
        });
        const QString stored =
            QString("SELECT KARAR FROM %1 WHERE KAYNO=2 AND KARNO=41").arg(b.decisionTable);
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Yol yapımı");
        c->currentCard()->textButton()->click();
        QCOMPARE(shown, 1);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        const QByteArray saved = scalar(t, stored).toByteArray();
        QCOMPARE(test::MeetingFixture::plainText(saved), "Karar 41: Yol yapımı Oybirliği.");

        key(c.screen, Qt::Key_F4);
        c->currentCard()->textButton()->click();
        QCOMPARE(shown, 2);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QCOMPARE(scalar(t, stored).toByteArray(), saved);
    }

    // "Karar Metni" stores the decision, and opens the editor only for a
    // decision with a number. The delete button's first click after an
    // addition takes the addition back.
    void decisionButtons()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        int opened = 0;
        c->setEditorOpener([&](SingleRegister &) { ++opened; });
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Sıfır numaralı");
        c->currentCard()->number()->setFocus();
        c->currentCard()->number()->selectAll();
        test::typeText(c->currentCard()->number(), "0");
        c->currentCard()->textButton()->click();
        QCOMPARE(scalar(t, "SELECT OZET FROM EKAR WHERE KARNO=0").toString(), "Sıfır numaralı");
        QCOMPARE(opened, 0);
        c->addDecision();
        QCOMPARE(c->currentCard()->number()->text(), "42");
        c->currentCard()->textButton()->click();
        QCOMPARE(opened, 1);
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM EKAR WHERE KARNO=42").toInt(), 1);

        c->addDecision();
        QCOMPARE(c->deleteDecisionLabel(), "İptal");
        c->currentCard()->deleteButton()->click();
        QCOMPARE(c->deleteDecisionLabel(), "Karar Sil");
        QCOMPARE(c->decisions().decisions().count(), 2);
        t.messages().answer(true);
        c->currentCard()->deleteButton()->click();
        QCOMPARE(t.messages().last(), "BU KARAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ");
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM EKAR WHERE KAYNO=2").toInt(), 1);
    }

    // Decision numbers: a leftover of another year's cancelled entry takes
    // nothing from this year; a number typed by hand that is taken is
    // refused, not replaced.
    void decisionNumbersOfTheYearOnly()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        // Decisions whose meeting was never stored: one of last year, one of
        // this year.
        t.exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,TARIH) VALUES (50,41,1,:P1)",
               {QDate(Year - 1, 3, 1)});
        t.exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,TARIH) VALUES (51,300,1,:P1)",
               {QDate(Year - 1, 3, 2)});
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Yılın kırk birinci kararı");
        c->saveDecision();
        QVERIFY(t.messages().entries().isEmpty());
        QCOMPARE(scalar(t, "SELECT OZET FROM EKAR WHERE KAYNO=2 AND KARNO=41").toString(),
                 "Yılın kırk birinci kararı");

        c->addDecision();
        typeSummary(c.screen, "Elle numaralanan");
        c->currentCard()->number()->setFocus();
        c->currentCard()->number()->selectAll();
        test::typeText(c->currentCard()->number(), "7");
        c->saveDecision();
        QCOMPARE(t.messages().entries().size(), 1);
        QVERIFY(t.messages().last().contains("7 numaralı kararı zaten var"));
        QVERIFY(c->decisions().decisions().isEditing());
        QCOMPARE(c->currentCard()->number()->text(), "7");
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM EKAR WHERE KARNO=7").toInt(), 1);
    }

    // The committee's buttons under a real mouse: "İptal" takes the addition
    // back, not stores it first; a click on the card's own face stores it.
    void committeeCardClicks()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Vazgeçilecek");
        QToolButton *cancel = c->currentCard()->deleteButton();
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(c->deleteDecisionLabel(), "Karar Sil");
        QCOMPARE(scalar(t, "SELECT COUNT(*) FROM EKAR WHERE KAYNO=2").toInt(), 0);
        QCOMPARE(c->decisions().decisions().count(), 0);

        c->addDecision();
        typeSummary(c.screen, "Kartın üstüne tıklanan");
        QTest::mouseClick(c->currentCard(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!c->decisions().decisions().isEditing());
        QCOMPARE(scalar(t, "SELECT OZET FROM EKAR WHERE KAYNO=2").toString(),
                 "Kartın üstüne tıklanan");
    }

    // A paper number too big for its column is the database's to refuse, and
    // a date that is none is told, never stored as empty.
    void decisionParticularsAreReadOrRefused()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F4);
        c->addDecision();
        typeSummary(c.screen, "Evraklı karar");
        auto *date = c->findChild<QLineEdit *>("EVTAR");
        date->setFocus();
        date->home(false);
        test::typeText(date, "3102");
        test::typeText(date, QString::number(Year));
        c->saveDecision();
        QCOMPARE(t.messages().last(), "Geçerli bir tarih giriniz (gün/ay/yıl).");
        QCOMPARE(QApplication::focusWidget(), date);
        QVERIFY(c->decisions().decisions().isEditing());
        date->selectAll();
        test::typeText(date, "2802" + QString::number(Year));
        auto *number = c->findChild<QLineEdit *>("EVSAY");
        number->setFocus();
        test::typeText(number, "2147483647");
        t.messages().clear();
        c->saveDecision();
        QVERIFY(t.messages().entries().isEmpty());
        QCOMPARE(scalar(t, "SELECT EVSAY FROM EKAR WHERE KAYNO=2").toLongLong(), 2147483647LL);
        QCOMPARE(scalar(t, "SELECT EVTAR FROM EKAR WHERE KAYNO=2").toDate(), QDate(Year, 2, 28));
    }

    // Record numbers past what the column holds: refused, still browsing.
    void recordNumbersRunOut()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        t.exec("SET GENERATOR GEN_KAYNO TO 32767");
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F2);
        QCOMPARE(c->mode(), SingleRegister::Mode::Browse);
        QVERIFY(t.messages().last().contains("32767"));
        QCOMPARE(c->meetings().meetings().count(), 2);
        QCOMPARE(c->newButton()->text(), "F2-Yeni Oturum");
    }

    // The council's switch goes to the classic register and closes; the
    // committee's close box only puts the window aside.
    void variantSwitchAndCloseBox()
    {
        test::TestSession t(QString::number(Year));
        fixture(t, ui::Body::council());
        fixture(t, ui::Body::committee());
        Clerk m(t.session(), ui::Body::council());
        m->variantButton()->click();
        QCOMPARE(t.session().mensek(), "0");
        QTRY_VERIFY(!m.screen);

        t.session().setMensek("1");
        Clerk e(t.session(), ui::Body::committee());
        auto *sub = qobject_cast<QMdiSubWindow *>(e->parentWidget());
        sub->close();
        QApplication::processEvents();
        QVERIFY(e.screen);
        QVERIFY(sub->isMinimized());
        QVERIFY(!e->meetings().meetings().isOpen());
        sub->showNormal();
        QMdiSubWindow *other = e.mdi->addSubWindow(new QLabel("başka"));
        other->show();
        e.mdi->setActiveSubWindow(other);
        e.mdi->setActiveSubWindow(sub);
        QApplication::processEvents();
        QCOMPARE(e->meetings().meetings().count(), 2);
    }

    // A meeting with 300 decisions: four cards, bound to the rows in view.
    void longDecisionList()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t(QString::number(Year));
        fixture(t, b);
        for (int k = 100; k < 400; ++k)
            t.exec("INSERT INTO EKAR (KAYNO,KARNO,SNO,OZET) VALUES (2,:P1,:P1,'Karar')", {k});
        Clerk c(t.session(), b);
        key(c.screen, Qt::Key_F4);
        ui::CardList *cards = c->cards();
        QCOMPARE(cards->visibleCards(), 4);
        cards->setFocus();
        QTest::keyClick(cards, Qt::Key_End);
        QCOMPARE(c->decisions().decisions().currentRow(), 299);
        QCOMPARE(cards->firstRow(), 296);
        QCOMPARE(c->currentCard(), cards->card(3));
        QCOMPARE(c->currentCard()->number()->text(), "399");
        QTest::keyClick(cards, Qt::Key_PageUp);
        QCOMPARE(c->decisions().decisions().currentRow(), 295);
        QCOMPARE(c->currentCard(), cards->card(0));
    }
};

MIZRO_TEST_MAIN(TestSingleRegister)
#include "tst_singleregister.moc"
