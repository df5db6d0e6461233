// Attendance of a meeting and the member pick list.

#include "db/dataset.h"
#include "register/attendancerules.h"
#include "register/memberpicklist.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

using namespace mizro;
using reg::AttendanceRules;
using reg::MemberPickList;

namespace {

QStringList column(const db::DataSet &ds, const QString &field)
{
    QStringList out;
    for (int r = 0; r < ds.count(); ++r)
        out << ds.rowValue(r, field).toString();
    return out;
}

// Members of 2021: 1 Ayşe (A), 2 Mehmet (P), 3 Şükrü (A), 4 Gülşen (no state),
// 5 İsmail (A); of 2020: 6 Ömer (A). Meeting 10 already has Şükrü.
void fixture(test::TestSession &t, const ui::Body &b)
{
    const QList<QVariantList> rows = {
        {2021, 1, "Ayşe YILMAZ", "A"}, {2021, 2, "Mehmet KAYA", "P"},
        {2021, 3, "Şükrü DEMİR", "A"}, {2021, 4, "Gülşen ÇELİK", QVariant()},
        {2021, 5, "İsmail ÖZ", "A"},   {2020, 6, "Ömer ŞAHİN", "A"}};
    for (const QVariantList &r : rows)
        t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES (:P1,:P2,:P3,'Üye',:P4)")
                   .arg(b.memberTable),
               r);
    t.exec(QString("INSERT INTO %1 (KAYNO,UKOD) VALUES (10,3)").arg(b.attendanceTable));
}

} // namespace

class TestAttendance : public QObject {
    Q_OBJECT
private slots:
    void body_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }

    // Never offered: a passive member, one without state, one of another
    // year, one already present.
    void pickListOffersOnlyWhoMayAttend_data() { body_data(); }
    void pickListOffersOnlyWhoMayAttend()
    {
        QFETCH(bool, committee);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2021");
        fixture(t, b);
        AttendanceRules rules(t.session(), b);
        rules.listCandidates(10, 2021);
        QCOMPARE(column(rules.candidates(), "ADSOY"), (QStringList{"Ayşe YILMAZ", "İsmail ÖZ"}));
        rules.list(10, 2021);
        QCOMPARE(column(rules.attendance(), "ADSOY"), QStringList{"Şükrü DEMİR"});
        QCOMPARE(rules.attendance().headerData(0, Qt::Horizontal).toString(), "Adı Soyadı");
        QCOMPARE(rules.attendance().headerData(1, Qt::Horizontal).toString(), "Ünvanı");
    }

    // Attendance joins on the member code and the working year: a member
    // taken off the year's list disappears from the meeting, the row stays.
    void attendanceFollowsTheYearsList()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::committee();
        fixture(t, b);
        t.exec("DELETE FROM EUYE WHERE YIL=2021 AND UKOD=3");
        AttendanceRules rules(t.session(), b);
        rules.list(10, 2021);
        QCOMPARE(rules.attendance().count(), 0);
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAT").toInt(), 1);
    }

    void removalAsksFirst()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::council();
        fixture(t, b);
        AttendanceRules rules(t.session(), b);
        t.messages().answer(false);
        QVERIFY(!rules.remove(nullptr, 10, 3));
        QCOMPARE(t.messages().last(), "BU KAYIT SİLİNECEKTİR ONAYLIYORMUSUNUZ");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAT").toInt(), 1);
        t.messages().answer(true);
        QVERIFY(rules.remove(nullptr, 10, 3));
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAT").toInt(), 0);
    }

    // The dialog: a double click adds at once and the list stays open; the
    // opener's attendance list follows.
    void doubleClickAddsOneAndStays_data() { body_data(); }
    void doubleClickAddsOneAndStays()
    {
        QFETCH(bool, committee);
        const ui::Body &b = committee ? ui::Body::committee() : ui::Body::council();
        test::TestSession t("2021");
        fixture(t, b);
        AttendanceRules opener(t.session(), b);
        opener.list(10, 2021);
        MemberPickList pick(t.session(), b);
        QCOMPARE(pick.objectName(), b.pickListForm);
        QCOMPARE(pick.windowTitle(), b.pickListCaption);
        QVERIFY(pick.findChild<QLabel *>()->text() == "Çift Tıklayark tek tek aktarabilirsiniz.");
        pick.handOver(10, 2021, &opener);
        pick.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pick));
        ui::DataGrid *grid = pick.grid();
        QCOMPARE(grid->model()->rowCount(), 2);
        QCOMPARE(grid->toolTip(), "Seçmek için Çift Tıklayınız");
        const QRect cell = grid->visualRect(grid->model()->index(1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(pick.isVisible());
        QCOMPARE(column(pick.rules().candidates(), "ADSOY"), QStringList{"Ayşe YILMAZ"});
        QCOMPARE(column(opener.attendance(), "ADSOY").size(), 2);
        QVERIFY(column(opener.attendance(), "ADSOY").contains("İsmail ÖZ"));
        pick.exitButton()->click();
        QVERIFY(!pick.isVisible());
    }

    void addAllAddsInOrderAndCloses()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::committee();
        fixture(t, b);
        MemberPickList pick(t.session(), b);
        pick.handOver(10, 2021, nullptr);
        pick.show();
        pick.addAllButton()->click();
        QVERIFY(!pick.isVisible());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAT WHERE KAYNO=10").toInt(), 3);
        // Again, on an empty list: it closes and adds nothing.
        pick.show();
        QCOMPARE(pick.grid()->model()->rowCount(), 0);
        pick.addCurrent();
        pick.addAllButton()->click();
        QVERIFY(!pick.isVisible());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM EKAT WHERE KAYNO=10").toInt(), 3);
        QVERIFY(t.messages().entries().isEmpty());
    }

    // "Tümünü Aktar" is one command: a refused row leaves none of them.
    void addAllIsAllOrNothing()
    {
        test::TestSession t("2021");
        const ui::Body &b = ui::Body::council();
        fixture(t, b);
        t.exec("CREATE EXCEPTION E_NO 'refused'");
        t.exec("CREATE TRIGGER NO5 FOR MKAT BEFORE INSERT AS BEGIN IF (NEW.UKOD = 5) THEN "
               "EXCEPTION E_NO; END");
        MemberPickList pick(t.session(), b);
        pick.handOver(10, 2021, nullptr);
        pick.show();
        pick.addAllButton()->click();
        QCOMPARE(t.messages().entries().size(), 1);
        QVERIFY(pick.isVisible());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MKAT").toInt(), 1);
        QCOMPARE(pick.grid()->model()->rowCount(), 2);
    }
};

MIZRO_TEST_MAIN(TestAttendance)
#include "tst_attendance.moc"
