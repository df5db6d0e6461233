#include "schema.h"

#include "dberror.h"
#include "query.h"

#include <QDate>
#include <QFile>

// The schema texts live in a static library: their resource must be
// registered by hand before the first use.
static void initSchemaResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(sql);
        return true;
    }();
    Q_UNUSED(done);
}

namespace mizro::db {

QStringList Schema::versions()
{
    return {QStringLiteral("14.001"), QStringLiteral("12.002"), QStringLiteral("12.001")};
}

QString Schema::script(const QString &resourceName)
{
    initSchemaResources();
    QFile f(QStringLiteral(":/sql/") + resourceName);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(DbError::Kind::Other, QStringLiteral("Şema metni yok: %1").arg(resourceName));
    return QString::fromUtf8(f.readAll());
}

QStringList Schema::statements(const QString &script)
{
    QStringList out;
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QStringLiteral("--")))
            continue;
        if (t.endsWith(QLatin1Char(';'))) {
            current += t.chopped(1);
            out << current.trimmed();
            current.clear();
        } else {
            current += t + QLatin1Char('\n');
        }
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

void Schema::runScript(Database &db, const QString &text)
{
    // Each statement is committed on its own, so later ones see its changes.
    for (const QString &sql : statements(text)) {
        Query q(db, sql);
        q.exec();
    }
}

void Schema::createDatabase(const QString &path, const QString &version,
                            const Database::CreateOptions &options)
{
    if (!versions().contains(version))
        throw DbError(DbError::Kind::Other,
                      QStringLiteral("Bilinmeyen şema sürümü: %1 (%2)")
                          .arg(version, versions().join(QStringLiteral(", "))));
    Database::createFile(path, options);
    try {
        Database db;
        db.setDatabaseName(path);
        db.connect();
        runScript(db, script(QStringLiteral("schema.sql")));
        // Older versions are the current one taken back step by step.
        if (version != QStringLiteral("14.001"))
            runScript(db, script(QStringLiteral("before-14.001.sql")));
        if (version == QStringLiteral("12.001"))
            runScript(db, script(QStringLiteral("before-12.002.sql")));
        Query q(db, QStringLiteral("INSERT INTO TANIM (VER, CYIL) VALUES (:VER, :CYIL)"));
        q.bind(QStringLiteral("VER"), version);
        q.bind(QStringLiteral("CYIL"), QString::number(QDate::currentDate().year()));
        q.exec();
        const QString err = db.disconnect();
        if (!err.isEmpty())
            throw DbError(DbError::Kind::Other, err);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace mizro::db
