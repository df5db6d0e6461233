// Users and the login: salted slow digests, refusals that tell nothing,
// the first user, password changes, and the start-up path.

#include "app/logindialog.h"
#include "app/mainwindow.h"
#include "app/program.h"
#include "app/statuspanel.h"
#include "app/userstore.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "testsupport.h"
#include "ui/dialogrunner.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using namespace mizro;
using app::LoginDialog;
using app::UserStore;

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void storedDigestIsNeverThePassword()
    {
        test::TestSession t;
        UserStore users(t.db());
        QVERIFY(!users.hasUsers());
        users.addUser("  ayşe ", "Gizli-Şifre1");
        users.addUser("mehmet", "Gizli-Şifre1");
        QCOMPARE(users.users(), (QStringList{"ayşe", "mehmet"}));
        db::Query q(t.db(), "SELECT TUZ, OZET, TEKRAR FROM KULLANICI ORDER BY KADI");
        q.exec();
        QStringList salts, digests;
        while (q.next()) {
            salts << q.value(0).toString();
            digests << q.value(1).toString();
            QCOMPARE(q.value(2).toInt(), UserStore::Iterations);
            QVERIFY(!q.value(1).toString().contains("Gizli"));
            QVERIFY(q.value(1).toString() != QString::fromUtf8(QByteArray("Gizli-Şifre1").toHex()));
        }
        // The same password under two salts gives two digests.
        QVERIFY(salts[0] != salts[1]);
        QVERIFY(digests[0] != digests[1]);
        QVERIFY(users.verify("ayşe", "Gizli-Şifre1"));
        QVERIFY(!users.verify("ayşe", "gizli-şifre1"));
        QVERIFY(!users.verify("yok", "Gizli-Şifre1"));
        QVERIFY_THROWS_EXCEPTION(db::DbError, users.addUser("mehmet", "başka"));
        QVERIFY(users.setPassword("mehmet", "Yeni-123"));
        QVERIFY(!users.verify("mehmet", "Gizli-Şifre1"));
        QVERIFY(users.verify("mehmet", "Yeni-123"));
        QVERIFY(!users.setPassword("yok", "x"));
        QVERIFY(users.removeUser("mehmet"));
        QCOMPARE(users.users(), QStringList{"ayşe"});
    }

    // Files made before the login lack the table: it is made on first use.
    void olderFileGetsTheTable()
    {
        test::TestSession t("2021", "12.002");
        t.exec("DROP TABLE KULLANICI");
        UserStore users(t.db());
        QVERIFY(!users.hasUsers());
        QVERIFY(!users.verify("x", "y"));
        users.addUser("ilk", "123456");
        QVERIFY(users.verify("ilk", "123456"));
    }

    // Wrong name and wrong password say the same; the third try ends it.
    void wrongLoginsTellNothingAndEnd()
    {
        test::TestSession t;
        UserStore(t.db()).addUser("ayşe", "doğru-şifre");
        LoginDialog d(t.session());
        d.prepare();
        d.show();
        QVERIFY(!d.firstUserMode());
        d.nameField()->setText("yok");
        d.passwordField()->setText("doğru-şifre");
        d.loginButton()->click();
        d.nameField()->setText("ayşe");
        d.passwordField()->setText("yanlış");
        d.loginButton()->click();
        QCOMPARE(t.messages().texts(),
                 (QStringList{LoginDialog::wrongText(), LoginDialog::wrongText()}));
        QVERIFY(d.isVisible());
        QVERIFY(d.passwordField()->text().isEmpty());
        d.loginButton()->click();
        QVERIFY(!d.isVisible());
        QVERIFY(d.refused());
        QVERIFY(t.messages().last().startsWith(LoginDialog::wrongText()));
    }

    void rightLoginAndPasswordChange()
    {
        test::TestSession t;
        UserStore(t.db()).addUser("ayşe", "doğru-şifre");
        LoginDialog d(t.session());
        d.prepare();
        d.show();
        d.nameField()->setText("ayşe");
        d.passwordField()->setText("doğru-şifre");
        d.changePassword()->setChecked(true);
        d.newPasswordField()->setText("kısa");
        d.repeatField()->setText("kısa");
        d.loginButton()->click();
        QVERIFY(d.isVisible());
        QVERIFY(t.messages().last().contains("en az 6"));
        d.newPasswordField()->setText("yepyeni-şifre");
        d.repeatField()->setText("yepyeni-şifrE");
        d.loginButton()->click();
        QVERIFY(t.messages().last().contains("aynı değil"));
        d.repeatField()->setText("yepyeni-şifre");
        d.loginButton()->click();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.refused());
        QCOMPARE(d.userName(), "ayşe");
        QVERIFY(UserStore(t.db()).verify("ayşe", "yepyeni-şifre"));
        QVERIFY(!UserStore(t.db()).verify("ayşe", "doğru-şifre"));
    }

    void firstUserIsCreatedAtFirstLogin()
    {
        test::TestSession t;
        LoginDialog d(t.session());
        d.prepare();
        d.show();
        QVERIFY(d.firstUserMode());
        QVERIFY(d.newPasswordField()->isVisible());
        d.nameField()->setText("yazı işleri");
        d.newPasswordField()->setText("ilk-şifre");
        d.repeatField()->setText("ilk-şifre");
        d.loginButton()->click();
        QVERIFY(!d.isVisible());
        QCOMPARE(d.userName(), "yazı işleri");
        QVERIFY(UserStore(t.db()).verify("yazı işleri", "ilk-şifre"));
    }

    // The first user, and a forgotten password, from the admin tool.
    void adminToolKeepsUsers()
    {
        test::DbCopy copy;
        auto run = [&](const QStringList &args, const QByteArray &input) {
            QProcess p;
            p.start(QStringLiteral(MIZRO_ADMIN), args);
            p.write(input);
            p.closeWriteChannel();
            p.waitForFinished(60000);
            return p.exitCode();
        };
        QCOMPARE(run({"user", "add", copy.path(), "yazı işleri"}, "ilk-şifre\n"), 0);
        QCOMPARE(run({"user", "add", copy.path(), "yazı işleri"}, "başka-şifre\n"), 1);
        QCOMPARE(run({"user", "passwd", copy.path(), "yazı işleri"}, "kısa\n"), 1);
        QCOMPARE(run({"user", "passwd", copy.path(), "yazı işleri"}, "yeni-şifre\n"), 0);
        QCOMPARE(run({"user", "passwd", copy.path(), "yok"}, "yeni-şifre\n"), 1);
        db::Database db;
        db.setDatabaseName(copy.path());
        db.connect();
        QVERIFY(UserStore(db).verify("yazı işleri", "yeni-şifre"));
        QVERIFY(!UserStore(db).verify("yazı işleri", "ilk-şifre"));
    }

    // With the login switch on, the routine asks; a refusal ends the
    // program, a login shows the name.
    void activationAsksWhenSwitchedOn()
    {
        for (bool accept : {false, true}) {
            test::TestSession t;
            t.exec("UPDATE TANIM SET UDUR='1'");
            UserStore(t.db()).addUser("ayşe", "doğru-şifre");
            ui::ScriptedDialogRunner dialogs;
            app::MainWindow window(t.session(), dialogs);
            app::attachScreens(window, t.session(), dialogs);
            dialogs.setScript([&](QDialog &dialog) {
                auto &d = static_cast<LoginDialog &>(dialog);
                if (accept) {
                    d.nameField()->setText("ayşe");
                    d.passwordField()->setText("doğru-şifre");
                    d.loginButton()->click();
                } else {
                    d.cancelButton()->click();
                }
                return d.result();
            });
            window.formActivate();
            QCOMPARE(dialogs.runs(), 1);
            QCOMPARE(window.endRequested(), !accept);
            QCOMPARE(window.statusPanel()->user()->text(), accept ? "ayşe" : "");
        }
    }
};

MIZRO_TEST_MAIN(TestLogin)
#include "tst_login.moc"
