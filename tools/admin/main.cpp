// mizro-admin: database files for installation, demonstration and tests; the
// file check and backups without the program.

#include "demodata.h"

#include "app/filecheck.h"
#include "app/userstore.h"
#include "db/blobcolumn.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/services.h"
#include "documents/documentprinter.h"
#include "documents/storeddocument.h"
#include "reports/ledgerrules.h"
#include "reports/reportrenderer.h"
#include "ui/body.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocumentWriter>
#include <QTextStream>
#include <memory>
#include <termios.h>
#include <unistd.h>

using namespace mizro;

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

/// On a terminal the engine's own text goes with the message.
QString fullText(const db::DbError &e)
{
    return e.details().isEmpty() ? e.message() : e.message() + QLatin1Char('\n') + e.details();
}

int usage()
{
    err() << "Kullanım:\n"
             "  mizro-admin create PATH [--schema-version 14.001|12.002|12.001] [--demo] "
             "[--scale N]\n"
             "  mizro-admin check PATH\n"
             "      dosya kontrolü; çıkış kodu 0: sorun yok, 1: sorun bulundu,\n"
             "      3: dosya denetlenemedi\n"
             "  mizro-admin backup PATH OUT\n"
             "      yedek alır; var olan bir OUT dosyasının üzerine yazmaz\n"
             "  mizro-admin user add|passwd PATH NAME   (şifre standart girişten)\n"
             "  mizro-admin user remove PATH NAME\n"
             "  mizro-admin user list PATH\n"
             "      giriş ekranının kullanıcıları\n"
             "  mizro-admin ledger PATH --body E|M --year Y [--month M] --pdf OUT\n"
             "      karar defterini (E encümen, M meclis) PDF dosyasına yazar\n"
             "  mizro-admin document PATH --body E|M --kayno K --karno N "
             "(--pdf OUT | --odt OUT | --html OUT)\n"
             "      bir kararın metnini dışa aktarır\n";
    err().flush();
    return 2;
}

int create(const QStringList &args)
{
    QString path;
    QString version = db::Schema::currentVersion();
    bool demo = false;
    int scale = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QStringLiteral("--schema-version") && i + 1 < args.size()) {
            version = args[++i];
        } else if (a == QStringLiteral("--demo")) {
            demo = true;
        } else if (a == QStringLiteral("--scale") && i + 1 < args.size()) {
            bool ok = false;
            scale = args[++i].toInt(&ok);
            if (!ok || scale < 1 || scale > 100) {
                err() << "--scale 1 ile 100 arasında bir tam sayı olmalı.\n";
                return 2;
            }
        } else if (!a.startsWith(QStringLiteral("--")) && path.isEmpty()) {
            path = a;
        } else {
            return usage();
        }
    }
    if (path.isEmpty())
        return usage();
    if (QFileInfo::exists(path)) {
        err() << "Dosya zaten var, üzerine yazılmaz: " << path << "\n";
        return 1;
    }
    if (!db::Schema::versions().contains(version)) {
        err() << "Bilinmeyen şema sürümü: " << version << " ("
              << db::Schema::versions().join(QStringLiteral(", ")) << ")\n";
        return 2;
    }
    try {
        db::Schema::createDatabase(path, version);
        if (demo) {
            db::Database database;
            database.setDatabaseName(path);
            database.connect();
            admin::DemoOptions options;
            options.version = version;
            options.scale = scale;
            const admin::DemoCounts c = admin::fillDemoData(database, options);
            database.disconnect();
            out() << "Örnek veri: " << c.committeeMeetings << " encümen oturumu, "
                  << c.councilMeetings << " meclis oturumu, " << c.decisions << " karar, "
                  << c.attendance << " katılım, " << c.documents << " karar metni.\n";
        }
    } catch (const db::DbError &e) {
        QFile::remove(path);
        err() << "Veritabanı oluşturulamadı: " << fullText(e) << "\n";
        return 1;
    }
    out() << "Oluşturuldu: " << path << " (sürüm " << version << ")\n";
    return 0;
}

int check(const QStringList &args)
{
    if (args.size() != 1 || args[0].startsWith(QStringLiteral("--")))
        return usage();
    const QString path = args[0];
    if (!db::Services::target(path).remote && !QFileInfo(path).isFile()) {
        err() << "Dosya yok: " << path << "\n";
        return 3;
    }
    db::Database database;
    database.setDatabaseName(path);
    app::FileCheck::Report report;
    try {
        database.connect();
        report = app::FileCheck(database).run();
    } catch (const db::DbError &e) {
        err() << "Dosya denetlenemedi: " << fullText(e) << "\n";
        return 3;
    }
    database.disconnect();
    const db::Services::Validation &v = report.validation;
    if (v.clean()) {
        out() << "Doğrulama: hata bulunmadı (" << v.output.size() << " satır çıktı).\n";
    } else {
        out() << "Doğrulama: " << v.errors.size() << " hata satırı:\n";
        for (const QString &line : v.errors)
            out() << "  " << line << "\n";
    }
    for (const QString &note : report.notes())
        out() << note << "\n";
    for (const app::FileCheck::Finding &f : report.findings())
        out() << "- " << f.text << "\n";
    out() << report.summary() << "\n";
    return report.problemCount() == 0 ? 0 : 1;
}

int backup(const QStringList &args)
{
    if (args.size() != 2 || args[0].startsWith(QStringLiteral("--")) ||
        args[1].startsWith(QStringLiteral("--")))
        return usage();
    const QString &path = args[0];
    const QString &target = args[1];
    if (QFileInfo::exists(target)) {
        err() << "Dosya zaten var, üzerine yazılmaz: " << target << "\n";
        return 1;
    }
    db::Services::Backup b;
    try {
        b = db::Services().backup(path, target);
    } catch (const db::DbError &e) {
        err() << fullText(e) << "\n";
        return 1;
    }
    out() << "Yedek alındı: " << target;
    if (b.size >= 0)
        out() << " (" << b.size << " bayt)";
    out() << "\n";
    return 0;
}

// Reads a password: from the terminal without echo (asked twice), or the
// first line of standard input when it is not a terminal.
QString readPassword(bool &ok)
{
    ok = false;
    const bool tty = ::isatty(STDIN_FILENO);
    auto readLine = [tty](const char *prompt) {
        termios old{};
        if (tty) {
            err() << prompt;
            err().flush();
            ::tcgetattr(STDIN_FILENO, &old);
            termios quiet = old;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
        }
        QTextStream in(stdin);
        const QString line = in.readLine();
        if (tty) {
            ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
            err() << "\n";
        }
        return line;
    };
    const QString first = readLine("Şifre: ");
    if (tty && readLine("Şifre (tekrar): ") != first) {
        err() << "Şifreler aynı değil.\n";
        return QString();
    }
    if (first.size() < app::UserStore::MinimumPasswordLength) {
        err() << "Şifre en az " << app::UserStore::MinimumPasswordLength << " karakter olmalı.\n";
        return QString();
    }
    ok = true;
    return first;
}

int user(const QStringList &args)
{
    const QString action = args.value(0);
    const bool needsName = action != QStringLiteral("list");
    if (!QStringList{QStringLiteral("add"), QStringLiteral("passwd"), QStringLiteral("remove"),
                     QStringLiteral("list")}
             .contains(action) ||
        args.size() != (needsName ? 3 : 2))
        return usage();
    const QString path = args[1];
    const QString name = args.value(2).trimmed();
    try {
        db::Database database;
        database.setDatabaseName(path);
        database.connect();
        app::UserStore users(database);
        if (action == QStringLiteral("list")) {
            for (const QString &u : users.users())
                out() << u << "\n";
            return 0;
        }
        if (action == QStringLiteral("remove")) {
            if (!users.removeUser(name)) {
                err() << "Böyle bir kullanıcı yok: " << name << "\n";
                return 1;
            }
            out() << "Silindi: " << name << "\n";
            return 0;
        }
        if (name.isEmpty() || name.size() > 30) {
            err() << "Kullanıcı adı 1 ile 30 karakter arasında olmalı.\n";
            return 2;
        }
        bool ok = false;
        const QString password = readPassword(ok);
        if (!ok)
            return 1;
        if (action == QStringLiteral("add")) {
            users.addUser(name, password);
            out() << "Eklendi: " << name << "\n";
        } else if (!users.setPassword(name, password)) {
            err() << "Böyle bir kullanıcı yok: " << name << "\n";
            return 1;
        } else {
            out() << "Şifre değiştirildi: " << name << "\n";
        }
    } catch (const db::DbError &e) {
        err() << (e.kind() == db::DbError::Kind::Duplicate
                      ? QStringLiteral("Bu kullanıcı zaten var: ") + name
                      : fullText(e))
              << "\n";
        return 1;
    }
    return 0;
}

int ledger(const QStringList &args)
{
    QString path;
    QString bodyCode;
    QString year;
    QString target;
    int month = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QStringLiteral("--body") && hasValue) {
            bodyCode = args[++i].toUpper();
        } else if (a == QStringLiteral("--year") && hasValue) {
            year = args[++i];
        } else if (a == QStringLiteral("--month") && hasValue) {
            bool ok = false;
            month = args[++i].toInt(&ok);
            if (!ok || month < 1 || month > 12) {
                err() << "--month 1 ile 12 arasında bir ay olmalı.\n";
                return 2;
            }
        } else if (a == QStringLiteral("--pdf") && hasValue) {
            target = args[++i];
        } else if (!a.startsWith(QStringLiteral("--")) && path.isEmpty()) {
            path = a;
        } else {
            return usage();
        }
    }
    if (path.isEmpty() || target.isEmpty() ||
        (bodyCode != QStringLiteral("E") && bodyCode != QStringLiteral("M")))
        return usage();
    bool yearOk = false;
    year.toInt(&yearOk);
    if (!yearOk || year.size() != 4) {
        err() << "--year dört haneli bir yıl olmalı.\n";
        return 2;
    }
    const ui::Body &body =
        bodyCode == QStringLiteral("E") ? ui::Body::committee() : ui::Body::council();
    // Pages so far, on one line of the terminal, a few times a second.
    const bool terminal = ::isatty(STDERR_FILENO);
    QElapsedTimer shown;
    shown.start();
    auto progress = [&](const char *work, int total) {
        return [&, work, total](int pages) {
            if (shown.elapsed() >= 200 || pages == total) {
                shown.restart();
                err() << (terminal ? "\r" : "") << work << ": " << pages;
                if (total > 0)
                    err() << " / " << total;
                err() << " sayfa" << (terminal ? "" : "\n");
                err().flush();
            }
            return true;
        };
    };
    reports::ReportDocument doc;
    try {
        db::Database database;
        database.setDatabaseName(path);
        database.connect();
        doc = reports::LedgerRules(database, body).build(year, month, progress("Hazırlanan", 0));
    } catch (const db::DbError &e) {
        err() << (terminal ? "\n" : "") << "Karar defteri okunamadı: " << fullText(e) << "\n";
        return 1;
    }
    err() << (terminal ? "\rHazırlanan: " : "Hazırlanan: ") << doc.pageCount() << " sayfa\n";
    QString error;
    const bool written = reports::ReportRenderer::writePdf(doc, target, &error,
                                                           progress("Yazılan", doc.pageCount()));
    if (terminal)
        err() << "\n";
    if (!written) {
        err() << error << "\n";
        return 1;
    }
    out() << "Yazıldı: " << target << " (" << doc.pageCount() << " sayfa, "
          << QFileInfo(target).size() << " bayt)\n";
    return 0;
}

int document(const QStringList &args)
{
    QString path, body, format, target;
    int kayno = -1, karno = -1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QStringLiteral("--body") && hasValue) {
            body = args[++i];
        } else if ((a == QStringLiteral("--kayno") || a == QStringLiteral("--karno")) && hasValue) {
            bool ok = false;
            const int n = args[++i].toInt(&ok);
            if (!ok)
                return usage();
            (a == QStringLiteral("--kayno") ? kayno : karno) = n;
        } else if ((a == QStringLiteral("--pdf") || a == QStringLiteral("--odt") ||
                    a == QStringLiteral("--html")) &&
                   hasValue && format.isEmpty()) {
            format = a.mid(2);
            target = args[++i];
        } else if (!a.startsWith(QStringLiteral("--")) && path.isEmpty()) {
            path = a;
        } else {
            return usage();
        }
    }
    if (path.isEmpty() || (body != QLatin1String("E") && body != QLatin1String("M")) || kayno < 0 ||
        karno < 0 || format.isEmpty())
        return usage();
    QByteArray value;
    try {
        db::Database database;
        database.setDatabaseName(path);
        database.connect();
        value = db::BlobColumn(
                    database,
                    body == QLatin1String("E") ? QStringLiteral("EKAR") : QStringLiteral("MKAR"),
                    QStringLiteral("KARAR"), {QStringLiteral("KAYNO"), QStringLiteral("KARNO")})
                    .read({kayno, karno});
        database.disconnect();
    } catch (const db::DbError &e) {
        err() << "Karar okunamadı: " << fullText(e) << "\n";
        return 1;
    }
    if (value.isEmpty()) {
        err() << "Bu kararın metni yok.\n";
        return 1;
    }
    documents::StoredDocument::Loaded loaded;
    try {
        loaded = documents::StoredDocument::load(value);
    } catch (const documents::StoredDocument::LoadError &e) {
        err() << e.text() << "\n";
        return 1;
    }
    bool written = false;
    if (format == QLatin1String("pdf")) {
        written = documents::DocumentPrinter::writePdf(*loaded.document, loaded.page, target);
    } else if (format == QLatin1String("odt")) {
        QTextDocumentWriter writer(target, "odf");
        written = writer.write(loaded.document.get());
    } else {
        QFile file(target);
        written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(loaded.document->toHtml().toUtf8()) >= 0;
    }
    if (!written) {
        err() << "Dosya yazılamadı: " << target << "\n";
        return 1;
    }
    out() << "Yazıldı: " << target << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The ledger and the documents draw text: they need fonts, never a display.
    const bool drawing =
        argc > 1 && (qstrcmp(argv[1], "ledger") == 0 || qstrcmp(argv[1], "document") == 0);
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        drawing ? std::make_unique<QGuiApplication>(argc, argv)
                : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    if (command == QStringLiteral("create"))
        return create(args.mid(1));
    if (command == QStringLiteral("check"))
        return check(args.mid(1));
    if (command == QStringLiteral("user"))
        return user(args.mid(1));
    if (command == QStringLiteral("backup"))
        return backup(args.mid(1));
    if (command == QStringLiteral("ledger"))
        return ledger(args.mid(1));
    if (command == QStringLiteral("document"))
        return document(args.mid(1));
    return usage();
}
