// The classic editors on a decision of the classic decision list: numbers,
// checks, save and cancel, templates, print, as a clerk goes through them.

#include "documentfixture.h"

#include "db/dataset.h"
#include "documents/documentcontainer.h"
#include "documents/documentprinter.h"
#include "register/classiceditor.h"
#include "register/numbering.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>

using namespace mizro;
using reg::ClassicEditor;
using Fixture = test::MeetingFixture;
using Mode = ClassicEditor::Mode;

namespace {

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

/// What the classic decision list hands its editor: its rules on the
/// meeting's decisions, the meeting register's row and the attendance.
struct ClassicList {
    ClassicList(ui::Session &session, const ui::Body &body, int kayno)
        : meetings(session.database()), decisions(session, body, reg::Variant::Classic),
          attendance(session, body)
    {
        meetings.setSelectSql(
            QStringLiteral("SELECT KAYNO, OTRNO, TARIH, SAAT FROM %1 WHERE KAYNO=:K")
                .arg(body.meetingTable));
        meetings.setParam(QStringLiteral("K"), kayno);
        meetings.open();
        decisions.list(kayno);
        attendance.list(kayno, meetings.value(QStringLiteral("TARIH")).toDate().year());
    }
    /// As the council's list does before a new decision's editor opens.
    void appendForCouncil(const ui::Body &body)
    {
        if (body.isCommittee())
            return;
        QVERIFY(decisions.decisions().append());
        decisions.decisions().setValue(QStringLiteral("KAYNO"),
                                       meetings.value(QStringLiteral("KAYNO")));
    }
    ClassicEditor::Source source() { return {&decisions, &meetings, &attendance.attendance()}; }

    db::DataSet meetings;
    reg::DecisionRules decisions;
    reg::AttendanceRules attendance;
};

void addMeeting(test::TestSession &t, const ui::Body &b, int kayno, const QDate &date)
{
    t.exec(QStringLiteral("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR) VALUES "
                          "(:P1,:P1,:P2,'10:15','O')")
               .arg(b.meetingTable),
           {kayno, date});
}

// The keys are the window's shortcuts: they act in the active window.
void key(QWidget &window, Qt::Key k)
{
    if (QApplication::activeWindow() != &window) {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    QWidget *target = QApplication::focusWidget();
    QTest::keyClick(target && window.isAncestorOf(target) ? target : &window, k);
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    test::typeText(edit, text);
}

void typeIntoDocument(ClassicEditor &editor, const QString &text)
{
    QTextEdit *edit = editor.container()->editor();
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    test::typeText(edit, text);
}

QString storedText(test::TestSession &t, const ui::Body &b, int kayno, int karno)
{
    return Fixture::plainText(
        t.scalar(QStringLiteral("SELECT KARAR FROM %1 WHERE KAYNO=:P1 AND KARNO=:P2")
                     .arg(b.decisionTable),
                 {kayno, karno})
            .toByteArray());
}

} // namespace

class TestClassicEditor : public QObject {
    Q_OBJECT
private slots:
    // The first decision of an empty year is 1, the first of an empty
    // meeting 1; decisions of other years do not count, for either body.
    void newDecisionsAreNumberedPerYearAndMeeting_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<int>("otherYear");
        QTest::addColumn<int>("kayno");
        QTest::addColumn<int>("karno");
        QTest::addColumn<int>("sno");
        QTest::newRow("committee, empty year") << true << 2020 << 8 << 1 << 1;
        QTest::newRow("council, empty year") << false << 2020 << 8 << 1 << 1;
        QTest::newRow("committee, in the year") << true << 2021 << 7 << 42 << 3;
        QTest::newRow("council, empty meeting") << false << 2021 << 8 << 42 << 1;
    }
    void newDecisionsAreNumberedPerYearAndMeeting()
    {
        QFETCH(bool, committee);
        QFETCH(int, otherYear);
        QFETCH(int, kayno);
        QFETCH(int, karno);
        QFETCH(int, sno);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t;
        Fixture::Meeting m; // meeting 7 holding decision 41/2
        m.date = QDate(otherYear, 3, 9);
        Fixture f(t, b, m);
        addMeeting(t, b, 8, QDate(2021, 5, 4));
        ClassicList list(t.session(), b, kayno);
        list.appendForCouncil(b);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            [&] {
                QCOMPARE(editor.objectName(), committee ? "TFRMENCKAR" : "TFRMMECKAR");
                QCOMPARE(editor.windowTitle(),
                         committee ? "ENCÜMEN KARARLARI" : "MECLİS KARARLARI");
                QCOMPARE(editor.numberEdit()->text(), QString::number(karno));
                QCOMPARE(editor.orderEdit()->text(), QString::number(sno));
            }();
            retype(editor.summaryEdit(), "Çevre düzenlemesi");
            typeIntoDocument(editor, "Oybirliğiyle kabul edildi.");
            key(editor, Qt::Key_F5);
            return editor.result();
        });
        QVERIFY(ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::New, nullptr));
        QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Browse);
        QCOMPARE(t.scalar(QStringLiteral("SELECT SNO FROM %1 WHERE KAYNO=:P1 AND KARNO=:P2")
                              .arg(b.decisionTable),
                          {kayno, karno})
                     .toInt(),
                 sno);
        QCOMPARE(storedText(t, b, kayno, karno), "Oybirliğiyle kabul edildi.");
        QCOMPARE(t.messages().entries().size(), 0);
    }

    // The committee's checks in their order, on what the boxes show; a
    // refused save keeps the window and the row, Esc then drops the row.
    void committeeChecksInOrder_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("message");
        QTest::newRow("summary first") << ""
                                       << "5"
                                       << "1"
                                       << "DİKKAT! Karar Özetini Girmelisiniz..";
        QTest::newRow("summary before an empty number") << ""
                                                        << ""
                                                        << ""
                                                        << "DİKKAT! Karar Özetini Girmelisiniz..";
        QTest::newRow("then the number") << "Özet"
                                         << ""
                                         << ""
                                         << "DİKKAT! Karar Numarası Girmelisiniz..";
        QTest::newRow("then the order number") << "Özet"
                                               << "5"
                                               << ""
                                               << "DİKKAT! Karar Sıra Numarası Girmelisiniz..";
    }
    void committeeChecksInOrder()
    {
        QFETCH(QString, summary);
        QFETCH(QString, number);
        QFETCH(QString, order);
        QFETCH(QString, message);
        const ui::Body &b = ui::Body::committee();
        test::TestSession t;
        Fixture f(t, b);
        ClassicList list(t.session(), b, 7);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            retype(editor.summaryEdit(), summary);
            retype(editor.numberEdit(), number);
            retype(editor.orderEdit(), order);
            key(editor, Qt::Key_F5);
            [&] {
                QCOMPARE(t.messages().texts(), QStringList{message});
                QVERIFY(editor.isVisible());
                QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Insert);
                QCOMPARE(editor.cancelButton()->text(), "ESC-Çıkış");
            }();
            key(editor, Qt::Key_Escape);
            return editor.result();
        });
        QVERIFY(!ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::New, nullptr));
        QCOMPARE(list.decisions.decisions().count(), 1);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAR").toInt(), 1);
    }

    // The council checks only the summary: no order number is saved; no
    // decision number is refused by the database, the window and row kept.
    void councilSavesWithoutOrderNumberAndRefusesNoNumber()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t;
        Fixture f(t, b);
        ClassicList list(t.session(), b, 7);
        ui::ScriptedDialogRunner dialogs;
        int run = 0;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            retype(editor.summaryEdit(), "İmar planı");
            if (run++ == 0) {
                retype(editor.orderEdit(), "");
                key(editor, Qt::Key_F5);
                return editor.result();
            }
            retype(editor.numberEdit(), "");
            key(editor, Qt::Key_F5);
            [&] {
                QCOMPARE(t.messages().entries().size(), 1);
                QCOMPARE(t.messages().entries()[0].kind, ui::ScriptedMessages::Kind::Error);
                QVERIFY(editor.isVisible());
                QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Insert);
                QCOMPARE(editor.cancelButton()->text(), "ESC-İptal");
            }();
            key(editor, Qt::Key_Escape);
            return editor.result();
        });
        list.appendForCouncil(b);
        QVERIFY(ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::New, nullptr));
        QVERIFY(t.scalar("SELECT SNO FROM MKAR WHERE KARNO=42").isNull());
        list.appendForCouncil(b);
        QVERIFY(!ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::New, nullptr));
        QCOMPARE(list.decisions.decisions().count(), 2);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAR").toInt(), 2);
    }

    // An existing decision: its document and kind are shown, the changed
    // fields, kind and document are stored together.
    void existingDecisionIsSavedWithItsDocument_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QVariant>("kind");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("written");
        QTest::newRow("committee, Evrak") << true << QVariant("E") << "Evrak"
                                          << "D";
        QTest::newRow("committee, no kind") << true << QVariant() << "Dilekçe"
                                            << "E";
        QTest::newRow("council") << false << QVariant() << ""
                                 << "";
    }
    void existingDecisionIsSavedWithItsDocument()
    {
        QFETCH(bool, committee);
        QFETCH(QVariant, kind);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t;
        Fixture f(t, b);
        t.exec(QStringLiteral("UPDATE %1 SET KARAR=:P1").arg(b.decisionTable),
               {Fixture::storedValue("<p>Önceki metin.</p>")});
        if (committee)
            t.exec("UPDATE EKAR SET ETUR=:P1", {kind});
        ClassicList list(t.session(), b, 7);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            [&] {
                QCOMPARE(editor.container()->document()->toPlainText(), "Önceki metin.");
                QCOMPARE(editor.numberEdit()->text(), "41");
                QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Edit);
                if (committee)
                    QCOMPARE(editor.kindBox()->currentText(), shown);
            }();
            if (committee) {
                editor.kindBox()->setFocus();
                QTest::keyClick(editor.kindBox(), written == "E" ? Qt::Key_Up : Qt::Key_Down);
            }
            retype(editor.summaryEdit(), "Değişen özet");
            typeIntoDocument(editor, " Ek.");
            QTest::mouseClick(editor.saveButton(), Qt::LeftButton);
            return editor.result();
        });
        QVERIFY(
            ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::Current, nullptr));
        QCOMPARE(storedText(t, b, 7, 41), "Önceki metin. Ek.");
        QCOMPARE(t.scalar("SELECT OZET FROM " + b.decisionTable).toString(), "Değişen özet");
        if (committee)
            QCOMPARE(t.scalar("SELECT ETUR FROM EKAR").toString(), written);
    }

    // Another clerk changed the document meanwhile: nothing is stored, the
    // row keeps the typing and the window stays.
    void anotherClerksDocumentIsNotOverwritten()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t;
        Fixture f(t, b);
        ClassicList list(t.session(), b, 7);
        const QByteArray theirs = Fixture::storedValue("<p>Öteki katibin metni</p>");
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            t.exec("UPDATE EKAR SET KARAR=:P1", {theirs});
            retype(editor.summaryEdit(), "Benim özetim");
            key(editor, Qt::Key_F5);
            [&] {
                QCOMPARE(t.messages().entries().size(), 1);
                QVERIFY(editor.isVisible());
                QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Edit);
                QCOMPARE(editor.summaryEdit()->text(), "Benim özetim");
            }();
            key(editor, Qt::Key_Escape);
            return editor.result();
        });
        QVERIFY(
            !ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::Current, nullptr));
        QCOMPARE(t.scalar("SELECT KARAR FROM EKAR").toByteArray(), theirs);
        QCOMPARE(t.scalar("SELECT OZET FROM EKAR").toString(), "Yol yapımı");
    }

    // A new decision whose document is refused is not stored either: the
    // row stays pending with the clerk's typing.
    void refusedDocumentLeavesTheNewRowPending()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t;
        Fixture f(t, b);
        t.exec("CREATE EXCEPTION NO_DOCUMENT 'Metin reddedildi'");
        t.exec("CREATE TRIGGER EKAR_NO_DOCUMENT FOR EKAR BEFORE UPDATE AS BEGIN "
               "IF (NEW.KARAR IS NOT NULL) THEN EXCEPTION NO_DOCUMENT; END");
        ClassicList list(t.session(), b, 7);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            retype(editor.summaryEdit(), "Yeni karar");
            typeIntoDocument(editor, "Metin");
            key(editor, Qt::Key_F5);
            [&] {
                QCOMPARE(t.messages().entries().size(), 1);
                const auto &told = t.messages().entries()[0];
                QVERIFY(QString(told.text + told.details).contains("Metin reddedildi"));
                QVERIFY(editor.isVisible());
                QCOMPARE(list.decisions.decisions().state(), db::DataSet::State::Insert);
                QCOMPARE(list.decisions.decisions().value("OZET").toString(), "Yeni karar");
                QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAR").toInt(), 1);
            }();
            key(editor, Qt::Key_Escape);
            return editor.result();
        });
        QVERIFY(!ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::New, nullptr));
        QCOMPARE(list.decisions.decisions().count(), 1);
    }

    // F7 prints every page of the document without a dialog; without a
    // printer the clerk is told so.
    void printing_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<bool>("printer");
        QTest::newRow("committee") << true << true;
        QTest::newRow("council") << false << true;
        QTest::newRow("no printer") << true << false;
    }
    void printing()
    {
        QFETCH(bool, committee);
        QFETCH(bool, printer);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t;
        Fixture f(t, b);
        QString html;
        for (int i = 0; i < 80; ++i)
            html += QStringLiteral("<p>Madde %1: karar metni satırı.</p>").arg(i);
        t.exec(QStringLiteral("UPDATE %1 SET KARAR=:P1").arg(b.decisionTable),
               {Fixture::storedValue(html)});
        ClassicList list(t.session(), b, 7);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("karar.pdf");
        int pages = 0;
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            editor.setPrinter([&]() -> std::unique_ptr<QPagedPaintDevice> {
                if (!printer)
                    return nullptr;
                return std::make_unique<QPdfWriter>(pdf);
            });
            pages = documents::DocumentPrinter::pageCount(*editor.container()->document(),
                                                          editor.container()->pageSetup());
            key(editor, Qt::Key_F7);
            [&] {
                QVERIFY(editor.isVisible());
                QCOMPARE(editor.printButton()->text(), "F7-Yazdır");
            }();
            key(editor, Qt::Key_Escape);
            return editor.result();
        });
        QVERIFY(
            !ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::Current, nullptr));
        if (!printer) {
            QCOMPARE(t.messages().texts(),
                     QStringList{"Bu bilgisayarda tanımlı bir yazıcı yok; karar metni "
                                 "yazdırılamadı."});
            QVERIFY(!QFile::exists(pdf));
            return;
        }
        QCOMPARE(t.messages().entries().size(), 0);
        QVERIFY(pages > 1);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        int printed = 0;
        for (auto it =
                 QRegularExpression("/Type\\s*/Page(?!s)").globalMatch(QString::fromLatin1(data));
             it.hasNext(); it.next())
            ++printed;
        QCOMPARE(printed, pages);
    }

    // Two clerks numbering a new decision at once: the later save takes
    // the next free number and says so.
    void numbersStayUniqueForTwoClerks()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t;
        Fixture f(t, b);
        test::SecondSession other(t.copy().path(), QStringLiteral("2021"));
        ClassicList mine(t.session(), b, 7);
        ClassicList theirs(other.session, b, 7);
        ClassicEditor a(t.session(), b, mine.source(), Mode::New);
        ClassicEditor c(other.session, b, theirs.source(), Mode::New);
        QVERIFY(a.prepare());
        QVERIFY(c.prepare());
        QCOMPARE(a.numberEdit()->text(), "42");
        QCOMPARE(c.numberEdit()->text(), "42");
        a.show();
        c.show();
        retype(a.summaryEdit(), "Birinci katibin kararı");
        retype(c.summaryEdit(), "İkinci katibin kararı");
        key(c, Qt::Key_F5);
        key(a, Qt::Key_F5);
        QCOMPARE(other.messages.entries().size(), 0);
        QCOMPARE(t.messages().texts(), QStringList{reg::renumberedText("Karar", 42, 43)});
        QCOMPARE(t.scalar("SELECT OZET FROM EKAR WHERE KARNO=43").toString(),
                 "Birinci katibin kararı");
        QCOMPARE(t.scalar("SELECT OZET FROM EKAR WHERE KARNO=42").toString(),
                 "İkinci katibin kararı");
        // A number typed by hand that is taken is the clerk's to correct.
        ClassicEditor again(t.session(), b, mine.source(), Mode::New);
        QVERIFY(again.prepare());
        again.show();
        retype(again.summaryEdit(), "Elle numaralanan");
        retype(again.numberEdit(), "41");
        t.messages().clear();
        key(again, Qt::Key_F5);
        QCOMPARE(t.messages().texts(),
                 QStringList{"Bu yılın 41 numaralı kararı zaten var. Başka bir karar numarası "
                             "giriniz."});
        QVERIFY(again.isVisible());
        QCOMPARE(mine.decisions.decisions().state(), db::DataSet::State::Insert);
        again.cancel();
        mine.decisions.cancel();
    }

    // A template chosen in a classic editor is merged from the meeting's
    // date and time and the list's decision.
    void templateChoiceMerges_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QString>("expected");
        QTest::newRow("TFRMENCKAR")
            << true
            << "09.03.2021 14:30:00 [OTRNO] 41/2 Yol yapımı|Üye1 Işık - Başkan Üye2 Işık - Üye ";
        QTest::newRow("TFRMMECKAR") << false
                                    << "09.03.2021 14:30:00 3 41/2 Yol yapımı|Üye1 Işık Başkan "
                                       "Üye2 Işık Üye ";
    }
    void templateChoiceMerges()
    {
        QFETCH(bool, committee);
        QFETCH(QString, expected);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t;
        Fixture::Meeting m;
        m.members = 2;
        Fixture f(t, b, m);
        // The decision's own date and time are not the merge's.
        t.exec(QStringLiteral("UPDATE %1 SET TARIH='2021-01-02', SAAT=NULL").arg(b.decisionTable));
        Fixture::addTemplate(t, 1, committee ? "E" : "M", "Karar şablonu",
                             "<p>[TARIH] [SAAT] [OTRNO] [KARNO]/[SIRNO] [OZET]|[UYELER]</p>");
        ClassicList list(t.session(), b, 7);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<ClassicEditor &>(d);
            t.messages().answer(true);
            editor.popupClick(editor.templateMenu()->actions().value(0));
            [&] {
                QCOMPARE(editor.container()->document()->toPlainText(), expected);
            }();
            key(editor, Qt::Key_F5);
            return editor.result();
        });
        QVERIFY(
            ClassicEditor::edit(t.session(), dialogs, b, list.source(), Mode::Current, nullptr));
        QCOMPARE(storedText(t, b, 7, 41), expected);
    }
};

MIZRO_TEST_MAIN(TestClassicEditor)
#include "tst_classiceditor.moc"
