// The main window: its menu and command panel, the register slots and their
// variant, the modal commands and the ways out.

#include "app/mainwindow.h"
#include "app/program.h"
#include "app/statuspanel.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/collapsiblegroup.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

using namespace mizro;
using Command = app::MainWindow::Command;
using Slot = app::MainWindow::RegisterSlot;

namespace {

// A caption as the menu shows it: "&" marks the Alt letter.
QString shown(QAction *a)
{
    return QString(a->text()).remove('&');
}

QStringList entries(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << shown(a);
    return out;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DbCopy> m_copy;
    std::unique_ptr<ui::ScriptedMessages> m_messages;
    std::unique_ptr<ui::ScriptedDialogRunner> m_dialogs;
    std::unique_ptr<ui::Session> m_session;
    std::unique_ptr<app::MainWindow> m_window;
    QHash<Slot, int> m_created;

    void installFakeRegisters()
    {
        const QHash<Slot, QString> names = {{Slot::EncSingle, "TFRMENC1"},
                                            {Slot::MecSingle, "TFRMMEC1"},
                                            {Slot::EncClassic, "TFRMENC"},
                                            {Slot::MecClassic, "TFRMMEC"}};
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const Slot slot = it.key();
            const QString name = it.value();
            m_window->setRegisterFactory(slot, [this, slot, name](QWidget *parent) {
                ++m_created[slot];
                auto *w = new QWidget(parent);
                w->setObjectName(name);
                return w;
            });
        }
    }

private slots:
    void init()
    {
        test::clearSettings();
        m_copy = std::make_unique<test::DbCopy>();
        m_messages = std::make_unique<ui::ScriptedMessages>();
        m_dialogs = std::make_unique<ui::ScriptedDialogRunner>();
        m_session = std::make_unique<ui::Session>(*m_messages);
        m_session->database().setDatabaseName(m_copy->path());
        m_session->database().connect();
        m_window = std::make_unique<app::MainWindow>(*m_session, *m_dialogs);
        m_created.clear();
    }

    void cleanup()
    {
        m_window.reset();
        m_session.reset();
        m_copy.reset();
    }

    void menuBarAsDesigned()
    {
        QMenuBar *bar = m_window->menuBar();
        QCOMPARE(bar->objectName(), "MainMenu1");
        const QList<QAction *> top = bar->actions();
        QCOMPARE(top.size(), 4);
        QCOMPARE(shown(top[0]), "Karar İşlemleri");
        QCOMPARE(entries(top[0]->menu()), (QStringList{"Encümen Kararları", "Meclis Kararları"}));
        QCOMPARE(shown(top[1]), "Raporlar");
        QVERIFY(!top[1]->isVisible());
        QCOMPARE(entries(top[1]->menu()),
                 (QStringList{"Encümen Karar Defteri", "Meclis Karar Defteri", "Arama (Encümen)",
                              "Arama (Meclis)"}));
        QCOMPARE(shown(top[2]), "Tanımlar");
        QCOMPARE(entries(top[2]->menu()),
                 (QStringList{"Genel Tanımlar", "Birim Tanımları", "Encümen Üye Listesi",
                              "Meclis Üye Listesi", "Karar Örneği", "Dosya Kontrol İşlemi",
                              "Veritabanı"}));
        QCOMPARE(shown(top[3]), "Programdan Çıkış");
        QVERIFY(!top[3]->menu());
        QCOMPARE(m_window->action(Command::DatabaseLocation)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(m_window->action(Command::EncRegister)->objectName(), "EncmenKararlar1");
        QVERIFY(!(m_window->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMinMaxButtonsHint));
    }

    // A clerk without a mouse could not open "Tanımlar": no Alt letters, and
    // neither Alt nor F10 reached the menu bar.
    void menuIsReachedByKeyboard()
    {
        QDialog departments;
        m_window->setDialog(Command::Departments, &departments);
        QStringList ran;
        m_dialogs->setScript([&](QDialog &d) {
            ran << d.objectName();
            return 0;
        });
        departments.setObjectName("TFRMBIRIM");
        QMenuBar *bar = m_window->menuBar();
        const QList<QAction *> top = bar->actions();
        QStringList letters;
        for (QAction *a : top)
            letters << QKeySequence::mnemonic(a->text()).toString();
        QCOMPARE(letters, (QStringList{"Alt+K", "Alt+R", "Alt+T", "Alt+P"}));
        for (QAction *a : top[2]->menu()->actions())
            QVERIFY2(!QKeySequence::mnemonic(a->text()).isEmpty(), qPrintable(a->text()));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

        // Alt alone: the menu bar takes the keyboard, its first title lit.
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_window.get();
        QTest::keyPress(focus, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(focus, Qt::Key_Alt, Qt::AltModifier);
        QTRY_VERIFY(bar->hasFocus());
        QCOMPARE(bar->activeAction(), top[0]);
        QTest::keyClick(bar, Qt::Key_Escape);
        QTRY_VERIFY(!bar->hasFocus());

        // F10 (a key no screen took): the first menu opens; Right goes on to
        // "Tanımlar" (the hidden "Raporlar" is passed over).
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
        QTRY_VERIFY(top[0]->menu()->isVisible());
        QTest::keyClick(top[0]->menu(), Qt::Key_Right);
        QTRY_VERIFY(top[2]->menu()->isVisible());
        QTest::keyClick(top[2]->menu(), Qt::Key_Escape);
        QTRY_VERIFY(!top[2]->menu()->isVisible());

        // Alt+T opens "Tanımlar", B chooses "Birim Tanımları".
        QTest::keyClick(m_window.get(), Qt::Key_T, Qt::AltModifier);
        QMenu *defs = top[2]->menu();
        QTRY_VERIFY(defs->isVisible());
        QTest::keyClick(defs, Qt::Key_B);
        QTRY_COMPARE(ran, QStringList{"TFRMBIRIM"});
        QVERIFY(!defs->isVisible());
        // The given shortcut stays.
        QCOMPARE(m_window->action(Command::DatabaseLocation)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_V));
    }

    void commandPanelAsDesigned()
    {
        const QList<ui::CollapsibleGroup *> groups = m_window->groups();
        QStringList captions;
        for (ui::CollapsibleGroup *g : groups)
            captions << g->caption();
        QCOMPARE(captions,
                 (QStringList{"KARAR İŞLEMLERİ", "RAPORLAR", "TANIMLAR", "BİZE YAZIN", "ÇIKIŞ"}));
        const QList<bool> expanded = {true, true, false, false, false};
        for (int i = 0; i < groups.size(); ++i)
            QCOMPARE(groups[i]->isExpanded(), expanded[i]);
        auto buttons = [&](int g) {
            QStringList out;
            for (QPushButton *b : groups[g]->buttons())
                out << b->text();
            return out;
        };
        QCOMPARE(buttons(0), (QStringList{"Encümen Kararları", "Meclis Kararları"}));
        QCOMPARE(buttons(1), (QStringList{"Encümen Karar Defteri", "Meclis Karar Defteri",
                                          "Arama (Encümen)", "Arama (Meclis)"}));
        QCOMPARE(buttons(2), (QStringList{"Genel Tanımlar", "Birim Tanımları",
                                          "Encümen Üye Listesi", "Meclis Üye Listesi",
                                          "Karar Örneği", "Dosya Kontrol", "Veritabanı"}));
        QVERIFY(buttons(3).isEmpty());
        QVERIFY(buttons(4).isEmpty());
        // Several groups may be open at once; "BİZE YAZIN" does nothing.
        groups[2]->header()->click();
        groups[3]->header()->click();
        QVERIFY(groups[0]->isExpanded() && groups[2]->isExpanded() && groups[3]->isExpanded());
        QVERIFY(!m_window->endRequested());
    }

    void commandsWithoutScreenAreDisabled()
    {
        for (Command c : {Command::EncRegister, Command::MecRegister, Command::EncLedger,
                          Command::GeneralDefinitions, Command::FileCheck})
            QVERIFY(!m_window->action(c)->isEnabled());
        QVERIFY(m_window->action(Command::Exit)->isEnabled());
        auto *panelButton = m_window->findChild<QPushButton *>("GenelTanmlar1Button");
        QVERIFY(panelButton && !panelButton->isEnabled());
        QDialog dialog;
        m_window->setDialog(Command::GeneralDefinitions, &dialog);
        QVERIFY(m_window->action(Command::GeneralDefinitions)->isEnabled());
        QVERIFY(panelButton->isEnabled());
    }

    void registerCommandKeepsOneScreenPerSlot()
    {
        installFakeRegisters();
        m_window->show();
        m_session->setMensek("1");
        auto *button = m_window->findChild<QPushButton *>("EncmenKararlar1Button");
        button->click();
        m_window->action(Command::EncRegister)->trigger();
        QCOMPARE(m_created.value(Slot::EncSingle), 1);
        QWidget *enc = m_window->registerScreen(Slot::EncSingle);
        QVERIFY(enc);
        QCOMPARE(enc->objectName(), "TFRMENC1");
        QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);

        // The council opens beside it; asking for the committee again brings
        // the open one to the front.
        m_window->action(Command::MecRegister)->trigger();
        QCOMPARE(m_window->mdiArea()->activeSubWindow()->widget()->objectName(), "TFRMMEC1");
        m_window->action(Command::EncRegister)->trigger();
        QCOMPARE(m_window->mdiArea()->activeSubWindow()->widget(), enc);
        QCOMPARE(m_window->mdiArea()->subWindowList().size(), 2);

        // Switching the variant: the screen sets MENSEK and goes; the next
        // command opens the classic screen, the council's stays as it is.
        m_session->setMensek("0");
        enc->close();
        QTRY_VERIFY(!m_window->registerScreen(Slot::EncSingle));
        m_window->action(Command::EncRegister)->trigger();
        QCOMPARE(m_window->registerScreen(Slot::EncClassic)->objectName(), "TFRMENC");
        QVERIFY(m_window->registerScreen(Slot::MecSingle));
        QTRY_COMPARE(m_window->mdiArea()->subWindowList().size(), 2);
    }

    void modalCommandsRunTheirDialog()
    {
        QDialog ledger;
        QDialog definitions;
        m_window->setDialog(Command::EncLedger, &ledger);
        m_window->setDialog(Command::GeneralDefinitions, &definitions);
        m_session->setLedgerPrinted(true);
        QWidget *shown = nullptr;
        bool printedWhenShown = true;
        m_dialogs->setScript([&](QDialog &d) {
            shown = &d;
            printedWhenShown = m_session->ledgerPrinted();
            return 0;
        });
        m_window->action(Command::EncLedger)->trigger();
        QCOMPARE(shown, &ledger);
        QVERIFY(!printedWhenShown);

        // After the definitions dialog the status panel follows the record;
        // the working year waits for the next activation.
        m_session->setWorkingYear("2020");
        m_dialogs->setScript([&](QDialog &) {
            db::Query q(m_session->database(), "UPDATE TANIM SET CYIL='2031', KURUM='YENİ AD'");
            q.exec();
            return 1;
        });
        m_window->action(Command::GeneralDefinitions)->trigger();
        QCOMPARE(m_window->statusPanel()->year()->text(), "2031");
        QCOMPARE(m_session->definitionsYear(), "2031");
        QCOMPARE(m_window->kurum(), "YENİ AD");
        QCOMPARE(m_session->workingYear(), "2020");
    }

    void listCommandsOpenTheirScreens()
    {
        app::attachScreens(*m_window, *m_session, *m_dialogs);
        QStringList shown;
        m_dialogs->setScript([&](QDialog &d) {
            shown << d.objectName() + "|" + d.windowTitle();
            return 0;
        });
        for (Command c : {Command::GeneralDefinitions, Command::Departments, Command::EncMembers,
                          Command::MecMembers, Command::FileCheck, Command::DatabaseLocation,
                          Command::Templates}) {
            QVERIFY(m_window->action(c)->isEnabled());
            m_window->action(c)->trigger();
        }
        QCOMPARE(shown,
                 (QStringList{"TFRMGENTAN|GENEL TANIMLAR", "TFRMBIRIM|BİRİM TANIMLARI",
                              "TFRMENCUYE|ENCÜMEN ÜYE LİSTESİ", "TFRMMECUYE|MECLİS ÜYE LİSTESİ",
                              "TFRMDOSYA|DOSYA  KONTROL İŞLEMİ", "TFRMSYSTEM|SİSTEM TANIMLARI",
                              "TFRMKARORN|Karar Örneği"}));
    }

    void reportCommandsOpenTheirScreens()
    {
        app::attachScreens(*m_window, *m_session, *m_dialogs);
        QStringList shown;
        m_dialogs->setScript([&](QDialog &d) {
            shown << d.objectName() + (m_session->ledgerPrinted() ? "|printed" : "");
            return 0;
        });
        for (Command c :
             {Command::EncLedger, Command::MecLedger, Command::EncSearch, Command::MecSearch}) {
            m_session->setLedgerPrinted(true);
            QVERIFY(m_window->action(c)->isEnabled());
            m_window->action(c)->trigger();
        }
        QCOMPARE(shown, (QStringList{"TFRMENCKARDEF", "TFRMMECKARDEF", "TFRMENCARA|printed",
                                     "TFRMMECARA|printed"}));
    }

    void exitGroupAndMenuCloseTheWindow()
    {
        m_window->show();
        ui::CollapsibleGroup *exit = m_window->groups().last();
        exit->header()->click();
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_session->database().isConnected());

        m_session->database().connect();
        app::MainWindow second(*m_session, *m_dialogs);
        second.show();
        second.action(Command::Exit)->trigger();
        QVERIFY(!second.isVisible());
    }
};

MIZRO_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
