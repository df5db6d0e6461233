// The templates list, its document editor and the editors' template menus.

#include "documentfixture.h"

#include "db/dataset.h"
#include "documents/documentcontainer.h"
#include "documents/templateeditor.h"
#include "documents/templatelist.h"
#include "documents/templatepanel.h"
#include "documents/templaterules.h"
#include "ui/body.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

using namespace mizro;
using documents::TemplateList;
using documents::TemplateRules;
using Fixture = test::MeetingFixture;

namespace {

QStringList menuOf(test::TestSession &t, const ui::Body &body)
{
    Fixture f(t, body);
    documents::DecisionEditor editor(t.session(), body, f.source());
    editor.popupDoldur();
    QStringList out;
    for (QAction *a : editor.templateMenu()->actions())
        out << a->property("caption").toString() + QLatin1Char('#') + a->data().toString();
    return out;
}

} // namespace

class TestTemplates : public QObject {
    Q_OBJECT
private slots:
    void firstTemplateNumberAndDescription()
    {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        QCOMPARE(list.objectName(), "TFRMKARORN");
        QCOMPARE(list.windowTitle(), "Karar Örneği");
        list.show();
        list.addTemplate();
        QCOMPARE(list.panels().size(), 1);
        documents::TemplatePanel *p = list.panels()[0];
        QCOMPARE(p->descriptionBox()->toPlainText(), "Encümen Örnek Şablon :1");
        QCOMPARE(p->typeBox()->currentText(), "E");
        QCOMPARE(p->findChild<QLabel *>("TURADI")->text(), "Encümen Kararı");
        QCOMPARE(p->findChild<QLabel *>("SNO")->text(), "1");
        QCOMPARE(list.rules().templates().state(), db::DataSet::State::Insert);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM ORNEK").toInt(), 0);
        // A second one numbers on from the first, which is stored on the way.
        list.addTemplate();
        QCOMPARE(list.panels().size(), 2);
        QCOMPARE(list.panels()[1]->descriptionBox()->toPlainText(), "Encümen Örnek Şablon :2");
        QTest::mouseClick(list.exitButton(), Qt::LeftButton);
        QVERIFY(!list.isVisible());
        QCOMPARE(t.scalar("SELECT LIST(SNO||TUR||ACIK, '|') FROM ORNEK").toString(),
                 "1EEncümen Örnek Şablon :1|2EEncümen Örnek Şablon :2");
        QCOMPARE(t.messages().entries().size(), 0);
    }

    void emptyDescriptionIsRefused()
    {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        list.show();
        list.addTemplate();
        QPlainTextEdit *box = list.panels()[0]->descriptionBox();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::mouseClick(list.exitButton(), Qt::LeftButton);
        QCOMPARE(t.messages().texts(),
                 QStringList{"DİKKAT! Örnek Şablon İçin Açıklama Belirtiniz.."});
        QCOMPARE(t.messages().entries()[0].kind, ui::ScriptedMessages::Kind::Information);
        QVERIFY(list.isVisible());
        QCOMPARE(list.rules().templates().state(), db::DataSet::State::Insert);
        // Adding another is refused as well: the pending row cannot be left.
        list.addTemplate();
        QCOMPARE(list.panels().size(), 1);
        test::typeText(box, "İmar planı değişikliği");
        QTest::mouseClick(list.exitButton(), Qt::LeftButton);
        QVERIFY(!list.isVisible());
        QCOMPARE(t.scalar("SELECT ACIK FROM ORNEK").toString(), "İmar planı değişikliği");
    }

    void typeDecidesWhichEditorsOfferIt()
    {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        list.show();
        list.addTemplate();
        list.addTemplate();
        // The second is meant for the council: its type is set in the panel.
        QComboBox *type = list.panels()[1]->typeBox();
        type->setCurrentIndex(1);
        emit type->textActivated("M");
        QCOMPARE(list.panels()[1]->findChild<QLabel *>("TURADI")->text(), "Meclis Kararı");
        QVERIFY(list.leave());
        QCOMPARE(menuOf(t, ui::Body::committee()), QStringList{"Encümen Örnek Şablon :1#0"});
        QCOMPARE(menuOf(t, ui::Body::council()), QStringList{"Encümen Örnek Şablon :2#0"});
    }

    void sameDescriptionLoadsTheFirst()
    {
        test::TestSession t;
        Fixture::addTemplate(t, 1, "E", "Aynı", "<p>birinci [KARNO]</p>");
        Fixture::addTemplate(t, 2, "E", "Aynı", "<p>ikinci [KARNO]</p>");
        Fixture f(t, ui::Body::committee());
        documents::DecisionEditor editor(t.session(), ui::Body::committee(), f.source());
        QVERIFY(editor.prepare());
        const QList<QAction *> entries = editor.templateMenu()->actions();
        QCOMPARE(entries.size(), 2);
        t.messages().answer(true);
        editor.popupClick(entries[1]);
        QCOMPARE(editor.container()->document()->toPlainText(), "birinci 41");
    }

    void deleteAsksFirst()
    {
        test::TestSession t;
        Fixture::addTemplate(t, 1, "E", "Bir", QString());
        Fixture::addTemplate(t, 2, "M", "İki", QString());
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        list.show();
        QCOMPARE(list.panels().size(), 2);
        QTest::mouseClick(list.panels()[1]->deleteButton(), Qt::LeftButton);
        QCOMPARE(t.messages().last(), "BU KARAR SİLİNECEKTİR. ONAYLIYORMUSUNUZ");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM ORNEK").toInt(), 2);
        t.messages().answer(true);
        QTest::mouseClick(list.panels()[1]->deleteButton(), Qt::LeftButton);
        QCOMPARE(t.scalar("SELECT LIST(ACIK) FROM ORNEK").toString(), "Bir");
        QCOMPARE(list.panels().size(), 1);
    }

    void templateDocumentIsWrittenOrLeft_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("F5-Kayıt") << true;
        QTest::newRow("F6-Vazgeç") << false;
    }
    void templateDocumentIsWrittenOrLeft()
    {
        QFETCH(bool, save);
        test::TestSession t;
        Fixture::addTemplate(t, 1, "E", "Bir", "<p>Eski metin [OZET]</p>");
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        list.show();
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<documents::TemplateEditor &>(d);
            [&] {
                QCOMPARE(editor.objectName(), "TFRMORNEK");
            }();
            QTextEdit *edit = editor.container()->editor();
            edit->moveCursor(QTextCursor::End);
            test::typeText(edit, " ve yeni");
            [&] {
                QVERIFY(QTest::qWaitForWindowActive(&editor));
            }();
            QTest::keyClick(edit, save ? Qt::Key_F5 : Qt::Key_F6);
            return editor.result();
        });
        QTest::mouseClick(list.panels()[0]->documentButton(), Qt::LeftButton);
        QCOMPARE(dialogs.runs(), 1);
        const QString stored =
            Fixture::plainText(t.scalar("SELECT ORNEK FROM ORNEK WHERE SNO=1").toByteArray());
        QCOMPARE(stored, save ? "Eski metin [OZET] ve yeni" : "Eski metin [OZET]");
        QCOMPARE(t.messages().entries().size(), 0);
    }

    void newTemplateGetsItsFirstDocument()
    {
        test::TestSession t;
        ui::ScriptedDialogRunner dialogs;
        TemplateList list(t.session(), dialogs);
        list.show();
        list.addTemplate();
        dialogs.setScript([&](QDialog &d) {
            auto &editor = static_cast<documents::TemplateEditor &>(d);
            test::typeText(editor.container()->editor(), "[TARIH] tarihli karar");
            QTest::mouseClick(editor.saveButton(), Qt::LeftButton);
            return editor.result();
        });
        QTest::mouseClick(list.panels()[0]->documentButton(), Qt::LeftButton);
        QCOMPARE(Fixture::plainText(t.scalar("SELECT ORNEK FROM ORNEK").toByteArray()),
                 "[TARIH] tarihli karar");
    }
};

MIZRO_TEST_MAIN(TestTemplates)
#include "tst_templates.moc"
