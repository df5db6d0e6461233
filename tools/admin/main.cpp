// mizro-admin: database files for installation, demonstration and tests; the
// file check and backups without the program.

#include "demodata.h"

#include "app/filecheck.h"
#include "db/database.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "db/services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

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

int usage()
{
    err() << "Kullanım:\n"
             "  mizro-admin create PATH [--schema-version 14.001|12.002|12.001] [--demo] "
             "[--scale N]\n"
             "  mizro-admin check PATH\n"
             "      dosya kontrolü; çıkış kodu 0: sorun yok, 1: sorun bulundu,\n"
             "      3: dosya denetlenemedi\n"
             "  mizro-admin backup PATH OUT\n"
             "      yedek alır; var olan bir OUT dosyasının üzerine yazmaz\n";
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
                  << c.attendance << " katılım.\n";
        }
    } catch (const db::DbError &e) {
        QFile::remove(path);
        err() << "Veritabanı oluşturulamadı: " << e.message() << "\n";
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
        err() << "Dosya denetlenemedi: " << e.message() << "\n";
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
        err() << e.message() << "\n";
        return 1;
    }
    out() << "Yedek alındı: " << target;
    if (b.size >= 0)
        out() << " (" << b.size << " bayt)";
    out() << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    if (command == QStringLiteral("create"))
        return create(args.mid(1));
    if (command == QStringLiteral("check"))
        return check(args.mid(1));
    if (command == QStringLiteral("backup"))
        return backup(args.mid(1));
    return usage();
}
