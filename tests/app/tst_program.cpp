// The program as a whole: Qt's own texts in Turkish, and a logout or
// shutdown that ends it through its close routine.

#include "app/mainwindow.h"
#include "app/program.h"
#include "app/turkish.h"
#include "testsupport.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <csignal>

using namespace mizro;

namespace {

QString shown(QAbstractButton *b)
{
    return b ? b->text().remove(QLatin1Char('&')) : QString();
}

// The child: the real program on the database in its working directory,
// which says READY once its activation routine has run and it waits for the
// clerk. MENSEK "0" from then on is written only by the close routine.
int childProgram(int &argc, char **argv)
{
    app::ProgramHooks hooks;
    hooks.started = [](app::MainWindow &window, ui::Session &session) {
        QObject::connect(&window, &app::MainWindow::activationFinished, &window, [&session] {
            session.setMensek(QStringLiteral("0"));
            fputs("READY\n", stdout);
            fflush(stdout);
        });
    };
    return app::runProgram(argc, argv, hooks);
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(app::useTurkish(*qApp), "qt6-translations-l10n is missing"); }

    // Message boxes showed "Yes", "No" and "OK" in a Turkish program.
    void standardButtonsAreTurkish_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("defaultButton");
        QTest::newRow("question") << 0 << QStringList{"Evet", "Hayır"} << "Hayır";
        QTest::newRow("information") << 1 << QStringList{"Tamam"} << "";
        QTest::newRow("error") << 2 << QStringList{"Tamam"} << "";
    }

    void standardButtonsAreTurkish()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, buttons);
        QFETCH(QString, defaultButton);
        const QString text = "DİKKAT! Mevcut Verilerin Değiştirilmesi Programın Çalışmasını "
                             "Engelleyebilir. Onaylıyormusunuz.?";
        std::unique_ptr<QMessageBox> box =
            kind == 0   ? ui::BoxMessages::questionBox(nullptr, text)
            : kind == 1 ? ui::BoxMessages::informationBox(nullptr, text)
                        : ui::BoxMessages::errorBox(nullptr, text, "engine text");
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QStringList texts;
        for (QAbstractButton *b : box->buttons())
            if (b->isVisible() && box->buttonRole(b) != QMessageBox::ActionRole)
                texts << shown(b);
        texts.sort();
        buttons.sort();
        QCOMPARE(texts, buttons);
        QCOMPARE(box->text(), text);
        if (kind == 0)
            QVERIFY(box->windowTitle().isEmpty());
        if (!defaultButton.isEmpty())
            QCOMPARE(shown(box->defaultButton()), defaultButton);
        // Enter answers with the default; a question goes on only on Yes.
        QTest::keyClick(box.get(), Qt::Key_Return);
        QCOMPARE(box->result(), kind == 0 ? int(QMessageBox::No) : int(QMessageBox::Ok));
    }

    // Once the engine had been loaded its own handlers took SIGINT and
    // SIGTERM: it shut itself down and the window stayed open on a dead
    // connection. Any of these signals now ends the program with status 0
    // after its close routine.
    void terminationRunsTheCloseRoutine_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationRunsTheCloseRoutine()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("DATA");
        QDir(dir.path()).mkpath("runtime");
        QFile::setPermissions(dir.filePath("runtime"), QFileDevice::ReadOwner |
                                                           QFileDevice::WriteOwner |
                                                           QFileDevice::ExeOwner);
        const QString database = dir.filePath("DATA/MIZRO.GDB");
        QVERIFY(QFile::copy(test::templateDatabase(), database));
        QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // It was reliably so after another Firebird tool had read the file.
        const QString isql = QStandardPaths::findExecutable("isql-fb");
        if (!isql.isEmpty()) {
            QProcess tool;
            tool.setProcessEnvironment(env);
            tool.start(isql, {"-q", database});
            tool.write("SELECT COUNT(*) FROM TANIM;\n");
            tool.closeWriteChannel();
            QVERIFY(tool.waitForFinished(30000));
        }

        QProcess program;
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(QCoreApplication::applicationFilePath(), {"--child-program"});
        QVERIFY(program.waitForStarted());
        QByteArray out;
        while (!out.contains("READY\n") && program.waitForReadyRead(30000))
            out += program.readAllStandardOutput();
        QVERIFY2(out.contains("READY\n"), program.readAllStandardError().constData());

        ::kill(pid_t(program.processId()), signal);
        const bool ended = program.waitForFinished(20000);
        if (!ended)
            program.kill();
        QVERIFY2(ended, "the program outlived the signal");
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QSettings written(dir.filePath("config/RUFA/MIZRO.conf"), QSettings::IniFormat);
        QCOMPARE(written.value("MENSEK").toString(), "0");
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child-program") == 0)
        return childProgram(argc, argv);
    mizro::test::initTestProcess();
    QApplication app(argc, argv);
    TestProgram tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_program.moc"
