// mizro-screenshots OUT: renders the main window and every screen, each with
// demo data on it, to PNG files named after the screen's form name. Needs no
// display.

#include "app/filecheckdialog.h"
#include "app/locationdialog.h"
#include "app/logindialog.h"
#include "app/mainwindow.h"
#include "app/noticeexchange.h"
#include "app/noticeview.h"
#include "app/program.h"
#include "app/statuspanel.h"
#include "app/turkish.h"
#include "app/userstore.h"
#include "app/versioninfodialog.h"
#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/schema.h"
#include "demodata.h"
#include "documents/decisioneditor.h"
#include "documents/templateeditor.h"
#include "documents/templatelist.h"
#include "documents/templaterules.h"
#include "lists/searchscreen.h"
#include "noticepeer.h"
#include "register/attendancerules.h"
#include "register/classicdecisionlist.h"
#include "register/classiceditor.h"
#include "register/classicregister.h"
#include "register/decisioncard.h"
#include "register/decisionrules.h"
#include "register/meetingrules.h"
#include "register/memberpicklist.h"
#include "register/singleregister.h"
#include "reports/ledgerrules.h"
#include "reports/reportrenderer.h"
#include "ui/body.h"
#include "ui/collapsiblegroup.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

using namespace mizro;

namespace {

bool save(QWidget &w, const QString &dir, const QString &name)
{
    QApplication::processEvents();
    const QString path = QDir(dir).filePath(name + QStringLiteral(".png"));
    const bool ok = w.grab().save(path);
    QTextStream(stdout) << (ok ? "yazıldı: " : "YAZILAMADI: ") << path << Qt::endl;
    return ok;
}

/// The screen at its own size, then at the size of a 1024x768 screen.
bool saveBothSizes(QWidget &w, const QString &dir)
{
    bool ok = save(w, dir, w.objectName());
    const QSize own = w.size();
    w.resize(1024, 768 - 40);
    ok = save(w, dir, w.objectName() + QStringLiteral("-1024x768")) && ok;
    w.resize(own);
    return ok;
}

/// The classic editor on a decision of the classic decision list.
bool classicEditorScreen(ui::Session &session, const ui::Body &body, int kayno,
                         const QVariant &karno, QWidget *parent, const QString &out)
{
    db::DataSet meetings(session.database());
    meetings.setSelectSql(QStringLiteral("SELECT KAYNO, OTRNO, TARIH, SAAT FROM %1 WHERE KAYNO=:K")
                              .arg(body.meetingTable));
    meetings.setParam(QStringLiteral("K"), kayno);
    meetings.open();
    reg::DecisionRules decisions(session, body, reg::Variant::Classic);
    decisions.list(kayno);
    decisions.decisions().locate(QStringLiteral("KARNO"), karno);
    reg::AttendanceRules attendance(session, body);
    attendance.list(kayno, meetings.value(QStringLiteral("TARIH")).toDate().year());
    reg::ClassicEditor editor(session, body, {&decisions, &meetings, &attendance.attendance()},
                              reg::ClassicEditor::Mode::Current, parent);
    editor.prepare();
    editor.show();
    const bool ok = saveBothSizes(editor, out);
    editor.cancel();
    decisions.cancel();
    return ok;
}

/// The templates list, a template's document, and each body's single-screen
/// editor on a decision of the latest meeting that holds a merged document.
bool documentScreens(app::MainWindow &window, ui::Session &session, const QString &out)
{
    using Command = app::MainWindow::Command;
    QDialog *templates = window.dialog(Command::Templates);
    templates->show();
    bool ok = saveBothSizes(*templates, out);
    auto *list = static_cast<documents::TemplateList *>(templates);
    documents::TemplateEditor templateEditor(session, list->rules(), &window);
    templateEditor.prepare(1);
    templateEditor.show();
    ok = saveBothSizes(templateEditor, out) && ok;
    templateEditor.hide();
    list->leave();
    for (const ui::Body *b : {&ui::Body::committee(), &ui::Body::council()}) {
        db::Query last(session.database(),
                       QStringLiteral("SELECT FIRST 1 K.KAYNO, K.KARNO, E.OTRNO, E.TARIH FROM %1 K "
                                      "JOIN %2 E ON(E.KAYNO=K.KAYNO) WHERE K.KARAR IS NOT NULL "
                                      "ORDER BY E.TARIH DESC, K.SNO")
                           .arg(b->decisionTable, b->meetingTable));
        last.exec();
        if (!last.next())
            return false;
        const int kayno = last.value(0).toInt();
        reg::DecisionRules decisions(session, *b, reg::Variant::SingleScreen);
        decisions.setMeeting(kayno, last.value(3).toDate());
        decisions.list(kayno);
        decisions.decisions().locate(QStringLiteral("KARNO"), last.value(1));
        reg::AttendanceRules attendance(session, *b);
        attendance.list(kayno, last.value(3).toDate().year());
        documents::DecisionEditor editor(
            session, *b, {&decisions.decisions(), last.value(2), &attendance.attendance()},
            &window);
        editor.prepare();
        editor.show();
        ok = saveBothSizes(editor, out) && ok;
        editor.cancel();
        decisions.cancel();
        ok = classicEditorScreen(session, *b, kayno, last.value(1), &window, out) && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    // Private settings: the user's own stay untouched.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.filePath("settings"));
    QApplication app(argc, argv);
    app::useTurkish(app);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "Kullanım: mizro-screenshots ÇIKTI_DİZİNİ\n";
        return 2;
    }
    const QString out = args[1];
    QDir().mkpath(out);

    const QString dataDir = work.filePath("DATA");
    QDir().mkpath(dataDir);
    try {
        db::Schema::createDatabase(dataDir + "/MIZRO.GDB", db::Schema::currentVersion(),
                                   db::Database::CreateOptions{false});
        db::Database db;
        db.setDatabaseName(dataDir + "/MIZRO.GDB");
        db.connect();
        admin::fillDemoData(db, {});
    } catch (const std::exception &e) {
        QTextStream(stderr) << "Örnek veritabanı oluşturulamadı: " << e.what() << "\n";
        return 1;
    }

    ui::ScriptedMessages messages;
    ui::ScriptedDialogRunner dialogs;
    ui::Session session(messages);
    app::MainWindow window(session, dialogs);
    window.ibaseAc(QDate::currentDate(), work.path());
    window.tanimOku();
    app::attachScreens(window, session, dialogs);
    window.resize(1280, 800);
    bool activated = false;
    QObject::connect(&window, &app::MainWindow::activationFinished, [&] { activated = true; });
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!activated && waited.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    // The panel as a clerk first sees it, with the register groups open.
    window.groups()[0]->setExpanded(true);
    window.groups()[1]->setExpanded(true);
    bool ok = save(window, out, QStringLiteral("TFRMMENU"));

    // The vendor's server played by the test peer: a notice in the status
    // panel, and the version dialog with the server's lines.
    tools::NoticePeer peer;
    peer.listen();
    const QString page = QStringLiteral("/duyuru.html");
    peer.serve(page,
               QStringLiteral("<body bgcolor=\"#fff3c4\"><b>Duyuru:</b> MIZRO 21.002 yayımlandı. "
                              "<a href=\"http://%1/\">Ayrıntılar</a></body>")
                   .arg(peer.httpAddress())
                   .toUtf8(),
               "text/html; charset=utf-8");
    peer.setNoticeAnswer(tools::NoticePeer::encoded(
        {QStringLiteral("0"), QStringLiteral("http://") + peer.httpAddress() + page,
         QStringLiteral("0")}));
    peer.setVersionAnswer(tools::NoticePeer::encoded(
        {QStringLiteral("MIZRO 21.002 sürümü yayımlandı."), QString(),
         QStringLiteral("- Karar defterinde sayfa numaraları düzeltildi."),
         QStringLiteral("- Üye listesinde pasif üyeler ayrı gösteriliyor."),
         QStringLiteral("- Şablonlara \"İlçe\" alanı eklendi."), QStringLiteral("@")}));
    QSettings(QStringLiteral("RUFA"), QStringLiteral("MIZRO"))
        .setValue(QStringLiteral("GSRV"), peer.address());
    app::NoticeView *noticeView = window.statusPanel()->noticeView();
    bool pageShown = false;
    QObject::connect(noticeView, &app::NoticeView::pageLoaded, [&] { pageShown = true; });
    window.findChild<app::NoticeExchange *>()->start(
        window.kurum(), window.statusPanel()->version()->text(), [] {});
    waited.restart();
    while (!pageShown && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    ok = save(window, out, QStringLiteral("TFRMMENU-notice")) && ok;
    auto *versionInfo = window.findChild<app::VersionInfoDialog *>(QStringLiteral("TFRMVERBILGI"));
    versionInfo->setVersion(window.statusPanel()->version()->text());
    versionInfo->show();
    waited.restart();
    while (versionInfo->isFetching() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    ok = save(*versionInfo, out, versionInfo->objectName()) && ok;
    versionInfo->hide();

    // Each modal screen as it opens from its command.
    using Command = app::MainWindow::Command;
    for (Command c : {Command::GeneralDefinitions, Command::Departments, Command::EncMembers,
                      Command::MecMembers, Command::FileCheck, Command::DatabaseLocation}) {
        QDialog *d = window.dialog(c);
        d->show();
        ok = save(*d, out, d->objectName()) && ok;
        d->hide();
    }
    // The ledgers with the year's decisions, the search with its results,
    // and the committee ledger's first page as printed.
    for (Command c : {Command::EncLedger, Command::MecLedger}) {
        QDialog *d = window.dialog(c);
        session.setLedgerPrinted(false);
        d->show();
        ok = save(*d, out, d->objectName()) && ok;
        d->hide();
    }
    for (Command c : {Command::EncSearch, Command::MecSearch}) {
        auto *search = static_cast<lists::SearchScreen *>(window.dialog(c));
        search->show();
        search->textField()->setText(c == Command::EncSearch ? QStringLiteral("kira")
                                                             : QStringLiteral("imar"));
        search->startButton()->click();
        ok = save(*search, out, search->objectName()) && ok;
        search->hide();
    }
    try {
        const reports::ReportDocument ledger =
            reports::LedgerRules(session.database(), ui::Body::committee())
                .build(session.definitionsYear(), 0);
        const QString first = QDir(out).filePath(QStringLiteral("TQRENCDEF-page1.png"));
        const bool written = reports::ReportRenderer::pageImage(ledger, 0, 120).save(first);
        QTextStream(stdout) << (written ? "yazıldı: " : "YAZILAMADI: ") << first << Qt::endl;
        ok = written && ok;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "Karar defteri: " << e.what() << "\n";
        ok = false;
    }
    auto *fileCheck = static_cast<app::FileCheckDialog *>(window.dialog(Command::FileCheck));
    fileCheck->show();
    fileCheck->check();
    ok = save(*fileCheck, out, QStringLiteral("TFRMDOSYA-checked")) && ok;
    fileCheck->hide();

    // The pick lists over the latest meeting of each body.
    for (const ui::Body *b : {&ui::Body::committee(), &ui::Body::council()}) {
        db::Query last(session.database(),
                       QStringLiteral("SELECT FIRST 1 KAYNO FROM %1 ORDER BY TARIH DESC")
                           .arg(b->meetingTable));
        const int kayno = last.scalar().toInt();
        // Leave a few members out so that the list has someone to offer.
        db::Query(session.database(), QStringLiteral("DELETE FROM %1 WHERE KAYNO=%2 AND UKOD>3")
                                          .arg(b->attendanceTable)
                                          .arg(kayno))
            .exec();
        reg::MemberPickList pick(session, *b, &window);
        pick.handOver(kayno, session.workingYearNumber(), nullptr);
        pick.show();
        ok = save(pick, out, pick.objectName()) && ok;
    }
    // Each body's register in the frame, browsing, then entering a meeting
    // with a decision being added, at both screen sizes.
    for (const QSize size : {QSize(1280, 800), QSize(1024, 768)}) {
        window.resize(size);
        const QString suffix = size.width() == 1280 ? QString() : QStringLiteral("-1024x768");
        for (Command c : {Command::EncRegister, Command::MecRegister}) {
            window.run(c);
            auto *screen = static_cast<reg::SingleRegister *>(
                window.registerScreen(window.registerSlotFor(c)));
            ok = save(window, out, screen->objectName() + suffix) && ok;
            screen->firstButton();
            screen->addDecision();
            if (reg::DecisionCard *card = screen->currentCard())
                card->summary()->insertPlainText(
                    QStringLiteral("Şehir içi yolların asfaltlanması işi için ihale "
                                   "yapılmasına, İmar ve Şehircilik Müdürlüğünün teklifi "
                                   "uyarınca oybirliğiyle karar verildi."));
            ok = save(window, out, screen->objectName() + QStringLiteral("-entry") + suffix) && ok;
            screen->secondButton();
            screen->exitWindow();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    // The classic registers, and each one's decision list on its last meeting.
    session.setMensek(QStringLiteral("0"));
    for (const QSize size : {QSize(1280, 800), QSize(1024, 768)}) {
        window.resize(size);
        const QString suffix = size.width() == 1280 ? QString() : QStringLiteral("-1024x768");
        for (Command c : {Command::EncRegister, Command::MecRegister}) {
            window.run(c);
            auto *screen = static_cast<reg::ClassicRegister *>(
                window.registerScreen(window.registerSlotFor(c)));
            ok = save(window, out, screen->objectName() + suffix) && ok;
            // The latest meeting whose first decisions hold documents.
            db::Query withText(session.database(),
                               QStringLiteral("SELECT FIRST 1 E.KAYNO FROM %1 E WHERE EXISTS "
                                              "(SELECT 1 FROM %2 K WHERE K.KAYNO=E.KAYNO AND "
                                              "K.SNO=1 AND K.KARAR IS NOT NULL) ORDER BY E.TARIH "
                                              "DESC")
                                   .arg(screen->body().meetingTable, screen->body().decisionTable));
            screen->meetings().meetings().locate(QStringLiteral("KAYNO"), withText.scalar());
            reg::ClassicDecisionList list(session, screen->body(), screen->dialogs(),
                                          screen->meetings().meetings(), screen->attendance(),
                                          &window);
            list.resize(size.width() - 80, size.height() - 80);
            list.show();
            ok = save(list, out, list.objectName() + suffix) && ok;
            list.reject();
            screen->exitWindow();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    session.setMensek(QStringLiteral("1"));
    window.resize(1280, 800);

    ok = documentScreens(window, session, out) && ok;
    app::LoginDialog login(session, &window);
    login.prepare();
    login.show();
    ok = save(login, out, QStringLiteral("TFRMGIRIS-first-user")) && ok;
    app::UserStore(session.database())
        .addUser(QStringLiteral("yazı işleri"), QStringLiteral("örnek-şifre"));
    login.prepare();
    login.nameField()->setText(QStringLiteral("yazı işleri"));
    ok = save(login, out, QStringLiteral("TFRMGIRIS")) && ok;
    login.hide();

    // The location dialog's "Default Değerler" question, with Qt's Turkish
    // buttons.
    auto question = ui::BoxMessages::questionBox(
        &window, QStringLiteral("DİKKAT! Mevcut Verilerin Değiştirilmesi Programın Çalışmasını "
                                "Engelleyebilir. Onaylıyormusunuz.?"));
    question->show();
    ok = save(*question, out, QStringLiteral("TFRMSYSTEM-question")) && ok;
    question->hide();

    // A MIZRO.GDB that is a text file: the save says why on its status line.
    const QString working = session.database().databaseName();
    const QString bad = work.filePath("BOZUK");
    QDir().mkpath(bad);
    QFile text(bad + "/MIZRO.GDB");
    if (text.open(QIODevice::WriteOnly))
        text.write("Bu dosya bir veritabanı değil.\n");
    text.close();
    auto *location = static_cast<app::LocationDialog *>(window.dialog(Command::DatabaseLocation));
    location->show();
    location->directoryField()->setText(QDir::toNativeSeparators(bad));
    location->save();
    ok = save(*location, out, QStringLiteral("TFRMSYSTEM-bad-file")) && ok;
    location->cancel();
    session.database().setDatabaseName(working);
    window.closeRoutine();
    return ok ? 0 : 1;
}
