// The single-screen editors on the register's decision: templates, merge,
// save and cancel, as a clerk goes through them.

#include "documentfixture.h"

#include "db/dataset.h"
#include "documents/compoundfile.h"
#include "documents/documentcontainer.h"
#include "documents/storeddocument.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

using namespace mizro;
using documents::DecisionEditor;
using Fixture = test::MeetingFixture;

namespace {

const QString Question = QStringLiteral("DİKKAT Bu Karar İçeriği Silinip Belirtilen Örnek bilgisi "
                                        "yüklenecektir. ONAYLIYORMUSUNUZ");

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

QByteArray storedKarar(test::TestSession &t, const ui::Body &body)
{
    return t
        .scalar(QStringLiteral("SELECT KARAR FROM %1 WHERE KAYNO=7 AND KARNO=41")
                    .arg(body.decisionTable))
        .toByteArray();
}

// "Şablon Ekle", then the menu's entry with this caption.
void chooseTemplate(DecisionEditor &editor, const QString &caption)
{
    QTest::mouseClick(editor.templateButton(), Qt::LeftButton);
    QMenu *menu = editor.templateMenu();
    QVERIFY(menu->isVisible());
    for (QAction *a : menu->actions())
        if (a->property("caption").toString() == caption) {
            menu->setActiveAction(a);
            QTest::keyClick(menu, Qt::Key_Return);
            // The window manager's part: the editor is active again.
            editor.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&editor));
            return;
        }
    QFAIL("no such template");
}

} // namespace

class TestDecisionEditor : public QObject {
    Q_OBJECT
private slots:
    void templateMergeEditAndSave_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("TFRMENCKAR1") << true;
        QTest::newRow("TFRMMECKAR1") << false;
    }
    void templateMergeEditAndSave()
    {
        QFETCH(bool, committee);
        const ui::Body &body = bodyOf(committee);
        test::TestSession t;
        Fixture::addTemplate(t, 1, committee ? "E" : "M", "Yol kararı",
                             "<p>[TARIH] [SAAT] oturum [OTRNO], karar [KARNO]/[SIRNO]</p>"
                             "<p>[OZET]</p><p>[UYELER]</p>");
        Fixture::addTemplate(t, 2, committee ? "M" : "E", "Öteki kurulun", "<p>başka</p>");
        Fixture f(t, body);
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<DecisionEditor &>(d);
            [&] {
                QCOMPARE(editor.objectName(),
                         committee ? QStringLiteral("TFRMENCKAR1") : QStringLiteral("TFRMMECKAR1"));
                QCOMPARE(editor.templateMenu()->actions().size(), 1);
                QCOMPARE(editor.container()->state(), documents::DocumentContainer::State::Active);
                QCOMPARE(editor.container()->document()->toPlainText(), QString());
            }();
            t.messages().answer(true);
            chooseTemplate(editor, "Yol kararı");
            QTextEdit *edit = editor.container()->editor();
            [&] {
                QCOMPARE(t.messages().texts(), QStringList{Question});
                QCOMPARE(edit->toPlainText(),
                         "09.03.2021 14:30:00 oturum 3, karar 41/2\nYol yapımı\n"
                         "Üye1 Işık - Başkan\nÜye2 Işık - Üye\nÜye3 Işık - Üye\n");
                QVERIFY(QTest::qWaitForWindowActive(&editor));
            }();
            edit->moveCursor(QTextCursor::End);
            test::typeText(edit, "Oybirliğiyle karar verildi.");
            QTest::keyClick(edit, Qt::Key_F5);
            return editor.result();
        });
        QVERIFY(DecisionEditor::edit(t.session(), dialogs, body, f.source(), nullptr));
        db::DataSet &decision = f.decisions->decisions();
        // The committee's register posts the row; the council's editor has.
        QCOMPARE(decision.state(),
                 committee ? db::DataSet::State::Edit : db::DataSet::State::Browse);
        if (committee)
            QVERIFY(f.decisions->save());
        const QString text = Fixture::plainText(storedKarar(t, body));
        QVERIFY(text.startsWith("09.03.2021 14:30:00 oturum 3, karar 41/2\n"));
        QVERIFY(text.endsWith("Üye3 Işık - Üye\nOybirliğiyle karar verildi."));
        QCOMPARE(f.decisions->document(), storedKarar(t, body));
    }

    void cancelAfterATemplateKeepsTheStoredDocument()
    {
        test::TestSession t;
        Fixture::addTemplate(t, 1, "E", "Şablon", "<p>[OZET] şablonu</p>");
        Fixture f(t, ui::Body::committee());
        const QByteArray before = Fixture::storedValue("<p>Önceki metin</p>");
        t.exec("UPDATE EKAR SET KARAR=:P1", {before});
        ui::ScriptedDialogRunner dialogs;
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<DecisionEditor &>(d);
            [&] {
                QCOMPARE(editor.container()->document()->toPlainText(), "Önceki metin");
            }();
            t.messages().answer(true);
            editor.popupClick(editor.templateMenu()->actions().value(0));
            [&] {
                QCOMPARE(editor.container()->document()->toPlainText(), "Yol yapımı şablonu");
            }();
            QTest::mouseClick(editor.cancelButton(), Qt::LeftButton);
            return editor.result();
        });
        QVERIFY(!DecisionEditor::edit(t.session(), dialogs, ui::Body::committee(), f.source(),
                                      nullptr));
        QVERIFY(f.decisions->save());
        QCOMPARE(storedKarar(t, ui::Body::committee()), before);
    }

    void noToTheTemplateQuestionChangesNothing()
    {
        test::TestSession t;
        Fixture::addTemplate(t, 1, "M", "Şablon", "<p>[OZET]</p>");
        Fixture f(t, ui::Body::council());
        DecisionEditor editor(t.session(), ui::Body::council(), f.source());
        QVERIFY(editor.prepare());
        editor.show();
        test::typeText(editor.container()->editor(), "elle yazılan");
        // The council's document area offers the templates as its menu.
        QTextEdit *edit = editor.container()->editor();
        emit edit->customContextMenuRequested(QPoint(10, 10));
        QVERIFY(editor.templateMenu()->isVisible());
        editor.templateMenu()->hide();
        t.messages().answer(false);
        editor.popupClick(editor.templateMenu()->actions().value(0));
        QCOMPARE(t.messages().texts(), QStringList{Question});
        QCOMPARE(edit->toPlainText(), "elle yazılan");
    }

    void legacyDocumentIsNeverOverwritten()
    {
        test::TestSession t;
        Fixture f(t, ui::Body::committee());
        documents::CompoundFile legacy;
        legacy.classId = documents::StoredDocument::legacyClassId();
        legacy.streams = {{"WordDocument", QByteArray(512, '\xec')}};
        const QByteArray value = documents::StoredDocument::frame(1, legacy.write());
        t.exec("UPDATE EKAR SET KARAR=:P1", {value});
        DecisionEditor editor(t.session(), ui::Body::committee(), f.source());
        QVERIFY(editor.prepare());
        QCOMPARE(t.messages().texts(), QStringList{documents::StoredDocument::legacyText()});
        QVERIFY(editor.container()->isEmpty());
        editor.show();
        QVERIFY(!editor.save());
        QCOMPARE(t.messages().texts().size(), 2);
        QCOMPARE(t.messages().last(), documents::StoredDocument::legacyText());
        QCOMPARE(storedKarar(t, ui::Body::committee()), value);
    }

    void unreadableDocumentIsNotReplacedByABlank()
    {
        test::TestSession t;
        Fixture f(t, ui::Body::committee());
        const QByteArray junk("BDOC\1\0\0\0\4\0\0\0abcd", 16);
        t.exec("UPDATE EKAR SET KARAR=:P1", {junk});
        DecisionEditor editor(t.session(), ui::Body::committee(), f.source());
        QVERIFY(editor.prepare());
        QCOMPARE(t.messages().texts(),
                 QStringList{"Operation not allowed on an empty OLE container"});
        editor.show();
        QVERIFY(!editor.save());
        QCOMPARE(t.messages().last(), "Operation not allowed on an empty OLE container");
        QCOMPARE(storedKarar(t, ui::Body::committee()), junk);
    }

    void anotherClerksChangeIsNotOverwritten()
    {
        test::TestSession t;
        Fixture f(t, ui::Body::council());
        DecisionEditor editor(t.session(), ui::Body::council(), f.source());
        QVERIFY(editor.prepare());
        editor.show();
        const QByteArray theirs = Fixture::storedValue("<p>Başka bir katibin metni</p>");
        t.exec("UPDATE MKAR SET KARAR=:P1", {theirs});
        test::typeText(editor.container()->editor(), "benim metnim");
        QVERIFY(!editor.save());
        QVERIFY(editor.isVisible());
        QVERIFY(t.messages().last().contains("başka bir kullanıcı"));
        QCOMPARE(storedKarar(t, ui::Body::council()), theirs);
    }
};

MIZRO_TEST_MAIN(TestDecisionEditor)
#include "tst_decisioneditor.moc"
