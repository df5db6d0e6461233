// The data set every screen is bound to: current row, edit states, posting
// through its own statements, refusals and errors.

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "testsupport.h"

#include <QApplication>
#include <QSignalSpy>

using namespace mizro;
using db::DataSet;

namespace {

// The department list's statements.
void configureDepartments(DataSet &ds)
{
    ds.setSelectSql("SELECT * FROM BIRIM ORDER BY BIRKOD");
    ds.setInsertSql("insert into BIRIM\n  (BIRIMADI, BIRKOD)\nvalues\n  (:BIRIMADI, :BIRKOD)");
    ds.setUpdateSql("update BIRIM\nset\n  BIRIMADI = :BIRIMADI,\n  BIRKOD = :BIRKOD\nwhere\n"
                    "  BIRIMADI = :OLD_BIRIMADI and\n  BIRKOD = :OLD_BIRKOD");
    ds.setDeleteSql("delete from BIRIM\nwhere\n  BIRIMADI = :OLD_BIRIMADI and\n"
                    "  BIRKOD = :OLD_BIRKOD");
    ds.setRefreshSql("Select \n  BIRKOD,\n  BIRIMADI\nfrom BIRIM \nwhere\n"
                     "  BIRIMADI = :BIRIMADI and\n  BIRKOD = :BIRKOD");
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT

    std::unique_ptr<test::DbCopy> m_copy;
    std::unique_ptr<db::Database> m_db;

    void exec(const QString &sql)
    {
        db::Query q(*m_db, sql);
        q.exec();
    }
    QStringList names()
    {
        QStringList out;
        db::Query q(*m_db, "SELECT BIRKOD || '=' || BIRIMADI FROM BIRIM ORDER BY BIRKOD");
        q.exec();
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

private slots:
    void init()
    {
        m_copy = std::make_unique<test::DbCopy>();
        m_db = std::make_unique<db::Database>();
        m_db->setDatabaseName(m_copy->path());
        m_db->connect();
        exec("INSERT INTO BIRIM VALUES ('1','Fen İşleri')");
        exec("INSERT INTO BIRIM VALUES ('2','Zabıta')");
        exec("INSERT INTO BIRIM VALUES ('3','İmar')");
    }

    void cleanup()
    {
        m_db.reset();
        m_copy.reset();
    }

    void opensAtFirstRowAndMoves()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        QSignalSpy moved(&ds, &DataSet::currentRowChanged);
        ds.open();
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(ds.count(), 3);
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(ds.value("BIRIMADI").toString(), "Fen İşleri");
        QVERIFY(ds.last());
        QCOMPARE(ds.value("birimadi").toString(), "İmar");
        QVERIFY(!ds.next());
        QVERIFY(ds.locate("BIRKOD", "2"));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(moved.count() >= 3);
        QCOMPARE(ds.rowCount(), 3);
        QCOMPARE(ds.columnCount(), 2);
    }

    // Update and delete address the row by the values it had when read.
    void editPostsThroughUpdateWithOldValues()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        QVERIFY(ds.locate("BIRKOD", "2"));
        QVERIFY(ds.setValue("BIRIMADI", "Zabıta Müdürlüğü"));
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QCOMPARE(ds.oldValue("BIRIMADI").toString(), "Zabıta");
        QVERIFY(ds.post());
        QCOMPARE(ds.state(), DataSet::State::Browse);
        QCOMPARE(names(), (QStringList{"1=Fen İşleri", "2=Zabıta Müdürlüğü", "3=İmar"}));
        QVERIFY(ds.remove());
        QCOMPARE(ds.count(), 2);
        QCOMPARE(names(), (QStringList{"1=Fen İşleri", "3=İmar"}));
    }

    void cancelRestoresEditAndDropsInsert()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        ds.setValue("BIRIMADI", "Değişti");
        ds.cancel();
        QCOMPARE(ds.value("BIRIMADI").toString(), "Fen İşleri");
        ds.setCurrentRow(1);
        QVERIFY(ds.append());
        QCOMPARE(ds.count(), 4);
        QCOMPARE(ds.currentRow(), 3);
        ds.setValue("BIRIMADI", "Yeni");
        ds.cancel();
        QCOMPARE(ds.count(), 3);
        QCOMPARE(ds.currentRow(), 1);
        QCOMPARE(names().size(), 3);
    }

    void insertDefaultsAndRefresh()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setOnNewRecord([](DataSet &d) { d.setValue("BIRKOD", "9"); });
        ds.open();
        QVERIFY(ds.append());
        QCOMPARE(ds.value("BIRKOD").toString(), "9");
        ds.setValue("BIRIMADI", "Bilgi İşlem");
        QVERIFY(ds.post());
        QCOMPARE(names().last(), "9=Bilgi İşlem");
        QCOMPARE(ds.data(ds.index(3, 1)).toString(), "Bilgi İşlem");
    }

    // Moving away from a new row nobody typed into drops it, as grids do;
    // moving away from a typed row stores it.
    void movingAwayFromRowPostsOrDropsUntouchedNewRow()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setOnNewRecord([](DataSet &d) { d.setValue("BIRKOD", "7"); });
        ds.open();
        ds.append();
        QVERIFY(ds.setCurrentRow(0));
        QCOMPARE(ds.count(), 3);
        QCOMPARE(names().size(), 3);

        ds.append();
        ds.setValue("BIRIMADI", "Park Bahçe");
        QVERIFY(ds.setCurrentRow(0));
        QCOMPARE(ds.count(), 4);
        QCOMPARE(names().last(), "7=Park Bahçe");
    }

    void refusalKeepsRowInEdit()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.setBeforePost([](DataSet &d) {
            return d.value("BIRIMADI").toString().isEmpty() ? QString("Birim adı boş olamaz.")
                                                            : QString();
        });
        QSignalSpy errors(&ds, &DataSet::errorOccurred);
        ds.open();
        ds.setValue("BIRIMADI", "");
        QVERIFY(!ds.post());
        QCOMPARE(ds.lastError(), "Birim adı boş olamaz.");
        QCOMPARE(errors.count(), 1);
        QCOMPARE(ds.state(), DataSet::State::Edit);
        QVERIFY(!ds.setCurrentRow(1));
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(names().first(), "1=Fen İşleri");
    }

    // A value the database refuses leaves the typed row for correction.
    void databaseErrorKeepsTypedValues()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        ds.append();
        ds.setValue("BIRKOD", "1234567");
        ds.setValue("BIRIMADI", "Çok uzun kodlu birim");
        QVERIFY(!ds.post());
        QCOMPARE(ds.lastErrorKind(), db::DbError::Kind::TooLong);
        QCOMPARE(ds.state(), DataSet::State::Insert);
        QCOMPARE(ds.value("BIRIMADI").toString(), "Çok uzun kodlu birim");
        ds.setValue("BIRKOD", "4");
        QVERIFY(ds.post());
        QCOMPARE(names().size(), 4);
    }

    void updateOfVanishedRowIsAnError()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.open();
        exec("DELETE FROM BIRIM WHERE BIRKOD='1'");
        ds.setValue("BIRIMADI", "X");
        QVERIFY(!ds.post());
        QCOMPARE(ds.state(), DataSet::State::Edit);
    }

    void calculatedFieldsFilterAndDisplayColumns()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        ds.addCalculatedField("UZUNLUK", [](const DataSet &d, const DataSet::Row &r) {
            return r[d.fieldIndex("BIRIMADI")].toString().size();
        });
        ds.setFilter([](const DataSet &d, const DataSet::Row &r) {
            return r[d.fieldIndex("BIRKOD")].toString() != "2";
        });
        ds.setDisplayColumns(
            {{"BIRIMADI", "Kurum İçi Birim Adı"}, {"UZUNLUK", "Uzunluk", [](const QVariant &v) {
                                                       return QString("%1 harf").arg(v.toInt());
                                                   }}});
        ds.setEditable(true);
        ds.open();
        QCOMPARE(ds.count(), 2);
        QCOMPARE(ds.headerData(0, Qt::Horizontal).toString(), "Kurum İçi Birim Adı");
        QCOMPARE(ds.data(ds.index(0, 1)).toString(), "10 harf");
        QVERIFY(ds.flags(ds.index(0, 0)) & Qt::ItemIsEditable);
        // Editing through the model (as a grid does) recomputes after post.
        QVERIFY(ds.setData(ds.index(1, 0), "İmar ve Şehircilik"));
        QCOMPARE(ds.currentRow(), 1);
        QVERIFY(ds.post());
        QCOMPARE(ds.data(ds.index(1, 1)).toString(), "18 harf");
    }

    void datesAndTimesShowInTheirShortForm()
    {
        QCOMPARE(DataSet::defaultText(QDate(2021, 5, 9)), "09/05/2021");
        QCOMPARE(DataSet::defaultText(QTime(9, 5)), "09:05");
        QCOMPARE(DataSet::defaultText(QVariant()), "");
    }

    void openWithoutConnectionThrows()
    {
        DataSet ds(*m_db);
        configureDepartments(ds);
        m_db->disconnect();
        QVERIFY_THROWS_EXCEPTION(db::DbError, ds.open());
        QVERIFY(!ds.isOpen());
    }
};

MIZRO_TEST_MAIN(TestDataSet)
#include "tst_dataset.moc"
