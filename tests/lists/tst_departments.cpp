// Departments: codes that stay with their department and are never shared.

#include "db/dataset.h"
#include "lists/departmentlist.h"
#include "lists/departmentrules.h"
#include "testsupport.h"
#include "ui/datagrid.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QPushButton>

using namespace mizro;
using lists::DepartmentList;

namespace {

void typeNewDepartment(DepartmentList &list, const QString &name)
{
    QVERIFY(test::typeIntoNewRow(list.grid(), name));
}

QString codeOf(test::TestSession &t, const QString &name)
{
    return t.scalar("SELECT BIRKOD FROM BIRIM WHERE BIRIMADI=:P1", {name}).toString();
}

} // namespace

class TestDepartments : public QObject {
    Q_OBJECT
private slots:
    void codesAreNewAndStay()
    {
        test::TestSession t;
        DepartmentList list(t.session());
        QCOMPARE(list.objectName(), "TFRMBIRIM");
        QCOMPARE(list.windowTitle(), "BİRİM TANIMLARI");
        list.show();
        QCOMPARE(list.grid()->model()->rowCount(), 0);
        QCOMPARE(list.grid()->model()->columnCount(), 1);
        QCOMPARE(list.grid()->model()->headerData(0, Qt::Horizontal).toString(),
                 "Kurum İçi Birim Adı");
        typeNewDepartment(list, "Fen İşleri");
        typeNewDepartment(list, "Zabıta");
        typeNewDepartment(list, "İmar");
        QTest::keyClick(list.grid(), Qt::Key_Up);
        QCOMPARE(codeOf(t, "Fen İşleri"), "1");
        QCOMPARE(codeOf(t, "Zabıta"), "2");
        QCOMPARE(codeOf(t, "İmar"), "3");

        // Renaming keeps the code.
        list.grid()->goToRow(1);
        list.rules().departments().setValue("BIRIMADI", "Zabıta Müdürlüğü");
        QVERIFY(list.rules().departments().post());
        QCOMPARE(codeOf(t, "Zabıta Müdürlüğü"), "2");

        // The highest deleted while a decision still names it: its code is
        // not given again, so the decision never shows another's name.
        t.exec("INSERT INTO EKAR (KAYNO,KARNO,BKOD) VALUES (1,1,3)");
        list.grid()->goToRow(2);
        t.messages().answer(true);
        QTest::keyClick(list.grid(), Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(t.messages().last(), "BU KAYIT SİLİNECEKTİR ONAYLIYORMUSUNUZ");
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM BIRIM").toInt(), 2);
        typeNewDepartment(list, "Park Bahçeler");
        QTest::keyClick(list.grid(), Qt::Key_Up);
        QCOMPARE(codeOf(t, "Park Bahçeler"), "4");
    }

    void codeSkipsTextCodesAndDecisionCodes_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<int>("decisionCode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QStringList{} << 0 << "1";
        QTest::newRow("gaps") << QStringList{"1", "7", "3"} << 0 << "8";
        QTest::newRow("text code ignored") << QStringList{"A1", "2"} << 0 << "3";
        QTest::newRow("decision holds higher") << QStringList{"2"} << 12 << "13";
    }

    void codeSkipsTextCodesAndDecisionCodes()
    {
        QFETCH(QStringList, codes);
        QFETCH(int, decisionCode);
        QFETCH(QString, expected);
        test::TestSession t;
        for (const QString &c : codes)
            t.exec("INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES (:P1,'X')", {c});
        if (decisionCode)
            t.exec("INSERT INTO EKAR (KAYNO,KARNO,BKOD) VALUES (1,1,:P1)", {decisionCode});
        lists::DepartmentRules rules(t.session());
        QCOMPARE(rules.nextCode(), expected);
    }

    // "Çıkış" drops a name still being typed.
    void exitDropsPendingRow()
    {
        test::TestSession t;
        DepartmentList list(t.session());
        list.show();
        typeNewDepartment(list, "Yarım");
        list.exitButton()->click();
        QVERIFY(!list.isVisible());
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM BIRIM").toInt(), 0);
    }

    void namesStoredExactlyOrRefused()
    {
        test::TestSession t;
        DepartmentList list(t.session());
        list.show();
        // Typing stops at the column's length (typingStopsAtTheColumnLength);
        // a longer value from elsewhere is refused.
        typeNewDepartment(list, QString(30, QChar(u'ç')));
        list.rules().departments().setValue("BIRIMADI", QString(31, QChar(u'ç')));
        QTest::keyClick(list.grid(), Qt::Key_Down); // storing before a new row fails
        QVERIFY(t.messages().last().startsWith("BIRIMADI alanına en çok 30 karakter"));
        QCOMPARE(list.rules().departments().state(), db::DataSet::State::Insert);
        list.rules().departments().setValue("BIRIMADI", "Kültür'ün \"İşleri\"; --");
        QVERIFY(list.rules().departments().post());
        QCOMPARE(codeOf(t, "Kültür'ün \"İşleri\"; --"), "1");
    }

    // The grid took any length, and the length error came afterwards.
    void typingStopsAtTheColumnLength()
    {
        test::TestSession t;
        DepartmentList list(t.session());
        list.show();
        QCOMPARE(list.rules().departments().fieldLength("BIRIMADI"), 30);
        typeNewDepartment(list, QString(40, QChar(u'Ş')));
        QTest::keyClick(list.grid(), Qt::Key_Down);
        QVERIFY(t.messages().entries().isEmpty());
        QCOMPARE(t.scalar("SELECT BIRIMADI FROM BIRIM").toString(), QString(30, QChar(u'Ş')));
    }

    // A row that cannot be stored gave its box twice when Tab moved on: the
    // grid opened an editor on the next row, whose commit tried it again.
    void aRefusedRowGivesOneBox()
    {
        test::TestSession t;
        t.exec("INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES (:P1,'Son')",
               {QString::number(lists::DepartmentRules::MaxCode)});
        DepartmentList list(t.session());
        list.show();
        QVERIFY(test::typeIntoNewRow(list.grid(), "Fazla"));
        QTest::keyClick(list.grid(), Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != list.grid());
        QTest::keyClick(editor, Qt::Key_Tab);
        QTest::qWait(50); // the grid puts itself back on the row on its next turn
        QCOMPARE(t.messages().texts(),
                 QStringList{"Yeni birime verilecek kod kalmadı (en büyük kod 32767)."});
        QCOMPARE(list.rules().departments().state(), db::DataSet::State::Insert);
        QCOMPARE(list.grid()->currentIndex().row(), list.rules().departments().currentRow());
    }
};

MIZRO_TEST_MAIN(TestDepartments)
#include "tst_departments.moc"
