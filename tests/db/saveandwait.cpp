// Saves one row in a database file, says so, and waits to be killed.

#include "db/database.h"
#include "db/query.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: saveandwait DATABASE\n");
        return 2;
    }
    mizro::db::Database db;
    db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
    try {
        db.connect();
        mizro::db::Query(db, QStringLiteral("INSERT INTO BIRIM (BIRKOD,BIRIMADI) "
                                            "VALUES ('9','Yazı İşleri')"))
            .exec();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("saved\n");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}
