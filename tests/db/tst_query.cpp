// Statements against a real embedded database: parameters, types, the
// engine's errors, and commands that are all or nothing.

#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"
#include "testsupport.h"

#include <QApplication>
#include <QDate>
#include <QTime>

using namespace mizro;
using db::DbError;

class TestQuery : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DbCopy> m_copy;
    std::unique_ptr<db::Database> m_db;

    int count(const QString &sql)
    {
        db::Query q(*m_db, sql);
        return q.scalar().toInt();
    }

private slots:
    void init()
    {
        m_copy = std::make_unique<test::DbCopy>();
        m_db = std::make_unique<db::Database>();
        m_db->setDatabaseName(m_copy->path());
        m_db->connect();
    }

    void cleanup()
    {
        m_db.reset();
        m_copy.reset();
    }

    void namedParametersSkipQuotesAndComments_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("positional");
        QTest::newRow("plain") << "WHERE KAYNO=:KN AND UKOD=:uk" << QStringList{"KN", "UK"}
                               << "WHERE KAYNO=? AND UKOD=?";
        QTest::newRow("repeated") << ":A+:b+:a" << QStringList{"A", "B", "A"} << "?+?+?";
        QTest::newRow("in string")
            << "WHERE A=':X' AND B=:Y" << QStringList{"Y"} << "WHERE A=':X' AND B=?";
        QTest::newRow("doubled quote")
            << "'it''s :X' || :Z" << QStringList{"Z"} << "'it''s :X' || ?";
        QTest::newRow("quoted identifier") << "\"A:B\" = :C" << QStringList{"C"} << "\"A:B\" = ?";
        QTest::newRow("line comment")
            << "-- :X\nSELECT :Y" << QStringList{"Y"} << "-- :X\nSELECT ?";
        QTest::newRow("block comment") << "/* :X */ :Y" << QStringList{"Y"} << "/* :X */ ?";
        QTest::newRow("dollar names")
            << "FROM RDB$DATABASE" << QStringList{} << "FROM RDB$DATABASE";
        QTest::newRow("old prefix")
            << "KARNO = :OLD_KARNO" << QStringList{"OLD_KARNO"} << "KARNO = ?";
    }

    void namedParametersSkipQuotesAndComments()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QFETCH(QString, positional);
        const db::ParsedSql p = db::parseNamedParameters(sql);
        QCOMPARE(p.names, names);
        QCOMPARE(QString::fromUtf8(p.positional), positional);
    }

    void valuesRoundTripWithTheirTypes()
    {
        const QByteArray blob("BDOC\x00\x01\xff", 7);
        const QString bigText = QString(70000, QChar(u'ş'));
        db::Query ins(*m_db, "INSERT INTO EKAR (KAYNO,KARNO,BKOD,ETUR,EKAYTAR,EVSAY,OZET,KARAR,"
                             "SAAT) VALUES (:KAYNO,:KARNO,:BKOD,:ETUR,:EKAYTAR,:EVSAY,:OZET,"
                             ":KARAR,:SAAT)");
        ins.bind("KAYNO", 32767);
        ins.bind("KARNO", -32768);
        ins.bind("BKOD", QVariant());
        ins.bind("ETUR", "Ş");
        ins.bind("EKAYTAR", QDate(2021, 5, 9));
        ins.bind("EVSAY", 2147483647LL);
        ins.bind("OZET", "İğdır'da \"çöp\" ihalesi; DROP TABLE EKAR; --");
        ins.bind("KARAR", blob);
        ins.bind("SAAT", QTime(10, 5));
        ins.exec();
        QCOMPARE(ins.rowsAffected(), 1);

        db::Query sel(*m_db, "SELECT * FROM EKAR");
        sel.exec();
        QVERIFY(sel.next());
        QCOMPARE(sel.value("KAYNO").toInt(), 32767);
        QCOMPARE(sel.value("KARNO").toInt(), -32768);
        QVERIFY(sel.value("BKOD").isNull());
        QCOMPARE(sel.value("ETUR").toString(), "Ş");
        QCOMPARE(sel.value("EKAYTAR").toDate(), QDate(2021, 5, 9));
        QCOMPARE(sel.value("EVSAY").toLongLong(), 2147483647LL);
        QCOMPARE(sel.value("OZET").toString(), "İğdır'da \"çöp\" ihalesi; DROP TABLE EKAR; --");
        QCOMPARE(sel.value("KARAR").toByteArray(), blob);
        QCOMPARE(sel.value("SAAT").toTime(), QTime(10, 5));
        QVERIFY(sel.value("EVTAR").isNull());
        QVERIFY(!sel.next());

        // A blob larger than one segment.
        db::Query up(*m_db, "UPDATE EKAR SET KARAR=:K");
        up.bind("K", bigText.toUtf8());
        up.exec();
        QCOMPARE(db::Query(*m_db, "SELECT KARAR FROM EKAR").scalar().toByteArray(),
                 bigText.toUtf8());
    }

    // Out-of-range numbers and non-numbers are refused by the server, never
    // stored as some other value.
    void badValuesAreRefusedAndNothingIsWritten_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::newRow("smallint above")
            << "BKOD" << QVariant(40000) << int(DbError::Kind::OutOfRange);
        QTest::newRow("smallint below")
            << "BKOD" << QVariant(-32769) << int(DbError::Kind::OutOfRange);
        QTest::newRow("smallint text range")
            << "BKOD" << QVariant("40000") << int(DbError::Kind::OutOfRange);
        QTest::newRow("integer above")
            << "EVSAY" << QVariant(3000000000LL) << int(DbError::Kind::OutOfRange);
        QTest::newRow("integer below")
            << "EVSAY" << QVariant(-3000000000LL) << int(DbError::Kind::OutOfRange);
        QTest::newRow("smallint not a number")
            << "BKOD" << QVariant("12a") << int(DbError::Kind::NotANumber);
        QTest::newRow("integer not a number")
            << "EVSAY" << QVariant("on iki") << int(DbError::Kind::NotANumber);
        QTest::newRow("empty text as number")
            << "EVSAY" << QVariant("") << int(DbError::Kind::NotANumber);
        QTest::newRow("text too long") << "ETUR" << QVariant("EE") << int(DbError::Kind::TooLong);
        QTest::newRow("turkish text too long")
            << "OZET" << QVariant(QString(141, QChar(u'ğ'))) << int(DbError::Kind::TooLong);
        QTest::newRow("date from text")
            << "EVTAR" << QVariant("31/02/2021") << int(DbError::Kind::NotANumber);
    }

    void badValuesAreRefusedAndNothingIsWritten()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        db::Query q(*m_db,
                    QString("INSERT INTO EKAR (KAYNO,KARNO,%1) VALUES (1,1,:V)").arg(column));
        q.bind("V", value);
        try {
            db::WriteGuard guard(*m_db);
            q.exec();
            guard.commit();
            QFAIL("the value was accepted");
        } catch (const DbError &e) {
            QCOMPARE(int(e.kind()), kind);
            QVERIFY(!e.message().isEmpty());
        }
        QCOMPARE(count("SELECT COUNT(*) FROM EKAR"), 0);
    }

    void limitsFitExactly()
    {
        db::Query q(*m_db, "INSERT INTO EKAR (KAYNO,KARNO,BKOD,EVSAY,OZET) VALUES (1,1,:B,:E,:O)");
        q.bind("B", "32767");
        q.bind("E", -2147483648LL);
        q.bind("O", QString(140, QChar(u'İ')));
        q.exec();
        db::Query s(*m_db, "SELECT BKOD, EVSAY, OZET FROM EKAR");
        s.exec();
        QVERIFY(s.next());
        QCOMPARE(s.value(0).toInt(), 32767);
        QCOMPARE(s.value(1).toLongLong(), -2147483648LL);
        QCOMPARE(s.value(2).toString().size(), 140);
    }

    void duplicateKeyIsReportedAsSuch()
    {
        db::Query q(*m_db, "INSERT INTO EUYE (YIL,UKOD,ADSOY) VALUES (2021,1,:A)");
        q.bind("A", "Ayşe YILMAZ");
        q.exec();
        try {
            q.bind("A", "Mehmet KAYA");
            q.exec();
            QFAIL("duplicate accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Duplicate);
            QVERIFY(e.details().contains("PK_EUYE"));
        }
    }

    void unknownParameterAndFieldAreErrors()
    {
        db::Query q(*m_db, "SELECT * FROM TANIM WHERE VER=:V");
        QVERIFY_THROWS_EXCEPTION(DbError, q.bind("W", 1));
        q.bind("v", "14.001");
        q.exec();
        QVERIFY(q.next());
        QVERIFY_THROWS_EXCEPTION(DbError, q.value("NOPE"));
        QCOMPARE(q.value("ver").toString(), "14.001");
    }

    void preparedStatementSurvivesReconnect()
    {
        db::Query q(*m_db, "SELECT COUNT(*) FROM TANIM");
        QCOMPARE(q.scalar().toInt(), 1);
        m_db->connect();
        QCOMPARE(q.scalar().toInt(), 1);
        m_db->disconnect();
        QVERIFY_THROWS_EXCEPTION(DbError, q.scalar());
    }

    void failedGuardRollsBackTheWholeCommand()
    {
        try {
            db::WriteGuard guard(*m_db);
            db::Query(*m_db, "INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (1,1)").exec();
            db::Query(*m_db, "INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (1,2)").exec();
            guard.commit();
            QFAIL("second insert accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Duplicate);
        }
        QCOMPARE(count("SELECT COUNT(*) FROM ENCUMEN"), 0);
    }

    void innerGuardFailsAloneOuterDecides()
    {
        db::WriteGuard outer(*m_db);
        db::Query(*m_db, "INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (1,1)").exec();
        try {
            db::WriteGuard inner(*m_db);
            db::Query(*m_db, "INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (2,2)").exec();
            db::Query(*m_db, "INSERT INTO ENCUMEN (KAYNO,OTRNO) VALUES (2,3)").exec();
            inner.commit();
        } catch (const DbError &) {
        }
        outer.commit();
        QCOMPARE(count("SELECT COUNT(*) FROM ENCUMEN"), 1);
    }

    // A write after the command's commit, in the same scope, is a command of
    // its own (it once recursed without end).
    void writeAfterCommitIsACommandOfItsOwn()
    {
        {
            db::WriteGuard guard(*m_db);
            db::Query(*m_db, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('1','Fen')").exec();
            guard.commit();
            db::Query(*m_db, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('2','İmar')").exec();
        }
        db::Database other;
        other.setDatabaseName(m_copy->path());
        other.connect();
        QCOMPARE(db::Query(other, "SELECT COUNT(*) FROM BIRIM").scalar().toInt(), 2);
    }

    // A finished command is committed at once: a later rollback (or a crash)
    // cannot take it back.
    void committedCommandSurvivesLaterRollback()
    {
        {
            db::WriteGuard guard(*m_db);
            db::Query(*m_db, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('1','Fen İşleri')")
                .exec();
            guard.commit();
        }
        {
            db::WriteGuard unfinished(*m_db);
            db::Query(*m_db, "INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES ('2','Zabıta')").exec();
        }
        QCOMPARE(count("SELECT COUNT(*) FROM BIRIM"), 1);
    }

    // A text's length once went through 16 bits: 65,537 characters were
    // stored as one. Now any text longer than its column is refused, named.
    void textLongerThanItsColumnIsRefusedWithItsName_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("one more") << 101;
        QTest::newRow("wraps 16 bits") << 65537;
        QTest::newRow("beyond any VARCHAR") << 200000;
    }

    void textLongerThanItsColumnIsRefusedWithItsName()
    {
        QFETCH(int, length);
        db::Query q(*m_db, "INSERT INTO ORNEK (SNO, ACIK) VALUES (1, :ACIK)");
        q.bind("ACIK", QString(length, QChar(u'ğ')));
        try {
            q.exec();
            QFAIL("the text was accepted");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::TooLong);
            QCOMPARE(e.message(), QString("ACIK alanına en çok 100 karakter yazılabilir; girilen "
                                          "metin %1 karakter.")
                                      .arg(length));
        }
        QCOMPARE(count("SELECT COUNT(*) FROM ORNEK"), 0);
        // Exactly the column's length goes in whole.
        q.bind("ACIK", QString(100, QChar(u'ğ')));
        q.exec();
        QCOMPARE(db::Query(*m_db, "SELECT ACIK FROM ORNEK").scalar().toString(),
                 QString(100, QChar(u'ğ')));
    }

    // A forgotten bind once went out as NULL.
    void unboundParameterIsAnErrorBeforeAnythingRuns()
    {
        db::Query q(*m_db,
                    "INSERT INTO ENCUMEN (KAYNO, OTRNO, ACIK) VALUES (:KAYNO, :OTRNO, :ACIK)");
        q.bind("KAYNO", 1);
        q.bind("OTRNO", 1);
        try {
            q.exec();
            QFAIL("ran with an unbound parameter");
        } catch (const DbError &e) {
            QCOMPARE(e.kind(), DbError::Kind::Parameter);
            QVERIFY(e.message().contains("ACIK"));
        }
        QCOMPARE(count("SELECT COUNT(*) FROM ENCUMEN"), 0);
        q.bind("ACIK", QVariant()); // NULL on purpose
        q.exec();
        QCOMPARE(count("SELECT COUNT(*) FROM ENCUMEN WHERE ACIK IS NULL"), 1);
    }

    void connectionErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::newRow("missing file")
            << "/nonexistent/dir/MIZRO.GDB" << int(DbError::Kind::Connection);
        QTest::newRow("empty name") << "" << int(DbError::Kind::Connection);
        QTest::newRow("not a database") << "NOTADB" << int(DbError::Kind::NotADatabase);
    }

    void connectionErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QTemporaryDir dir;
        if (name == "NOTADB") {
            name = dir.filePath("MIZRO.GDB");
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(16384, 'x'));
        }
        db::Database d;
        d.setDatabaseName(name);
        try {
            d.connect();
            QFAIL("connected");
        } catch (const DbError &e) {
            QCOMPARE(int(e.kind()), kind);
        }
        QVERIFY(!d.isConnected());
    }
};

MIZRO_TEST_MAIN(TestQuery)
#include "tst_query.moc"
