// The member lists: the year's rows, numbering, state, and the two buttons.

#include "db/dataset.h"
#include "lists/memberlist.h"
#include "lists/memberrules.h"
#include "testsupport.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

using namespace mizro;
using lists::MemberList;

namespace {

const ui::Body &bodyOf(bool committee)
{
    return committee ? ui::Body::committee() : ui::Body::council();
}

void members(test::TestSession &t, const ui::Body &b, int year, QList<int> codes)
{
    for (int c : codes)
        t.exec(QString("INSERT INTO %1 (YIL,UKOD,ADSOY,DUR) VALUES (:P1,:P2,:P3,'A')")
                   .arg(b.memberTable),
               {year, c, QString("Üye %1").arg(c)});
}

QStringList shown(MemberList &list, int column)
{
    QStringList out;
    QAbstractItemModel *m = list.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->data(m->index(r, column)).toString();
    return out;
}

void typeNewMember(MemberList &list, const QString &name)
{
    QVERIFY(test::typeIntoNewRow(list.grid(), name));
}

} // namespace

class TestMemberList : public QObject {
    Q_OBJECT
private slots:
    void numbering_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QList<int>>("existing");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<int>("expected");
        for (bool c : {true, false}) {
            const QString who = c ? "committee" : "council";
            QTest::newRow(qPrintable(who + " first")) << c << QList<int>{} << 0 << 1;
            QTest::newRow(qPrintable(who + " highest deleted"))
                << c << QList<int>{1, 2, 3, 4, 5} << 5 << 5;
            QTest::newRow(qPrintable(who + " middle deleted"))
                << c << QList<int>{1, 2, 3, 4, 5} << 3 << 6;
        }
    }

    void numbering()
    {
        QFETCH(bool, committee);
        QFETCH(QList<int>, existing);
        QFETCH(int, deleted);
        QFETCH(int, expected);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        members(t, b, 2021, existing);
        members(t, b, 2020, {1, 2, 3, 4, 5, 6, 7, 8}); // other years never count
        if (deleted)
            t.exec(QString("DELETE FROM %1 WHERE YIL=2021 AND UKOD=:P1").arg(b.memberTable),
                   {deleted});
        MemberList list(t.session(), b);
        list.show();
        typeNewMember(list, "Yeni Üye");
        list.saveButton()->click();
        QCOMPARE(t.scalar(QString("SELECT UKOD FROM %1 WHERE ADSOY='Yeni Üye'").arg(b.memberTable))
                     .toInt(),
                 expected);
        QCOMPARE(t.scalar(QString("SELECT YIL FROM %1 WHERE ADSOY='Yeni Üye'").arg(b.memberTable))
                     .toInt(),
                 2021);
        QVERIFY(t.scalar(QString("SELECT DUR FROM %1 WHERE ADSOY='Yeni Üye'").arg(b.memberTable))
                    .isNull());
    }

    // Another year in the field: filed under it, numbered after the
    // definitions year's highest; a number taken there is refused clearly
    // and the row kept.
    void otherYearIsNumberedFromDefinitionsYear()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t("2021");
        members(t, b, 2021, {1, 2, 3});
        members(t, b, 2022, {1, 2});
        MemberList list(t.session(), b);
        list.show();
        QCOMPARE(list.yearField()->text(), "2021");
        QCOMPARE(shown(list, 0).size(), 3);
        list.yearField()->setFocus();
        list.yearField()->selectAll();
        QTest::keyClicks(list.yearField(), "2022");
        QTest::keyClick(list.yearField(), Qt::Key_Return);
        QCOMPARE(shown(list, 0), (QStringList{"Üye 1", "Üye 2"}));
        typeNewMember(list, "Dördüncü");
        list.saveButton()->click();
        QCOMPARE(t.scalar("SELECT UKOD FROM EUYE WHERE YIL=2022 AND ADSOY='Dördüncü'").toInt(), 4);
        QVERIFY(!list.isVisible());

        t.exec("INSERT INTO EUYE (YIL,UKOD,ADSOY) VALUES (2023,4,'Var olan')");
        list.show();
        list.yearField()->selectAll();
        list.yearField()->setFocus();
        QTest::keyClicks(list.yearField(), "2023");
        QTest::keyClick(list.yearField(), Qt::Key_Return);
        typeNewMember(list, "Çakışan");
        t.messages().clear();
        list.saveButton()->click();
        QVERIFY(list.isVisible());
        QCOMPARE(t.messages().entries().size(), 1);
        QVERIFY(t.messages().last().contains("aynı numaralı bir üye"));
        QCOMPARE(list.rules().members().state(), db::DataSet::State::Insert);
        QCOMPARE(list.rules().members().value("ADSOY").toString(), "Çakışan");
    }

    void stateTextsAndPopup()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t("2021");
        t.exec("INSERT INTO MUYE (YIL,UKOD,ADSOY,UNVANI,ISTEL,EVTEL,DUR) VALUES "
               "(2021,1,'Ayşe','Başkan','0312 1','0312 2','A')");
        t.exec("INSERT INTO MUYE (YIL,UKOD,ADSOY,DUR) VALUES (2021,2,'Mehmet','P')");
        t.exec("INSERT INTO MUYE (YIL,UKOD,ADSOY,DUR) VALUES (2021,3,'Şükrü','X')");
        MemberList list(t.session(), b);
        list.show();
        QAbstractItemModel *m = list.grid()->model();
        QStringList headers;
        for (int c = 0; c < m->columnCount(); ++c)
            headers << m->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers,
                 (QStringList{"Adı ve Soyadı", "Ünvanı", "Ev Telefonu", "İş Telefonu", "Durumu"}));
        QCOMPARE(shown(list, 4), (QStringList{"Aktif", "Pasif", ""}));
        QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
        QVERIFY(!(m->flags(m->index(0, 4)) & Qt::ItemIsEditable));
        QCOMPARE(shown(list, 2).first(), "0312 2");
        QCOMPARE(shown(list, 3).first(), "0312 1");
        const QList<QAction *> commands = list.stateMenu()->actions();
        QCOMPARE(commands.size(), 2);
        QCOMPARE(commands[0]->text(), "Aktif");
        QCOMPARE(commands[1]->text(), "Pasif");
        list.grid()->goToRow(2);
        commands[1]->trigger();
        QCOMPARE(list.rules().members().state(), db::DataSet::State::Edit);
        list.grid()->goToRow(1);
        commands[0]->trigger();
        list.saveButton()->click();
        QCOMPARE(t.scalar("SELECT DUR FROM MUYE WHERE UKOD=3").toString(), "P");
        QCOMPARE(t.scalar("SELECT DUR FROM MUYE WHERE UKOD=2").toString(), "A");
    }

    // "ESC-İptal" stores a pending name in the committee, drops it in the
    // council; nothing else closes the list.
    void cancelButtonDiffersByBody_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee stores") << true;
        QTest::newRow("council drops") << false;
    }

    void cancelButtonDiffersByBody()
    {
        QFETCH(bool, committee);
        const ui::Body &b = bodyOf(committee);
        test::TestSession t("2021");
        MemberList list(t.session(), b);
        QCOMPARE(list.objectName(), b.memberListForm);
        QCOMPARE(list.windowTitle(), b.memberListCaption);
        list.show();
        typeNewMember(list, "Yazılıyor");
        QVERIFY(!list.close());
        QTest::keyClick(&list, Qt::Key_Escape);
        QVERIFY(list.isVisible());
        list.cancelButton()->click();
        QVERIFY(!list.isVisible());
        QCOMPARE(t.scalar(QString("SELECT COUNT(*) FROM %1").arg(b.memberTable)).toInt(),
                 committee ? 1 : 0);
    }

    // Typing stops at the column's length; text beyond it from elsewhere is
    // refused with a message; Turkish letters, quotes and SQL-looking text
    // are stored exactly.
    void namesStoredExactlyOrRefused()
    {
        const ui::Body &b = ui::Body::committee();
        test::TestSession t("2021");
        MemberList list(t.session(), b);
        list.show();
        typeNewMember(list, QString(31, QChar(u'Ş')));
        QCOMPARE(list.rules().members().value("ADSOY").toString(), QString(30, QChar(u'Ş')));
        list.rules().members().setValue("ADSOY", QString(31, QChar(u'Ş')));
        list.saveButton()->click();
        QVERIFY(list.isVisible());
        QVERIFY(t.messages().last().startsWith("ADSOY alanına en çok 30 karakter"));
        list.rules().members().setValue("ADSOY", "O'Neil \"İğdır\"; DROP TABLE X");
        list.saveButton()->click();
        QVERIFY(!list.isVisible());
        QCOMPARE(t.scalar("SELECT ADSOY FROM EUYE").toString(), "O'Neil \"İğdır\"; DROP TABLE X");
    }

    void emptyYearShowsNothingAndCannotStore()
    {
        const ui::Body &b = ui::Body::council();
        test::TestSession t("2021");
        members(t, b, 2021, {1});
        MemberList list(t.session(), b);
        list.show();
        list.yearField()->clear();
        list.showTypedYear();
        QCOMPARE(shown(list, 0).size(), 0);
        typeNewMember(list, "Yılsız");
        list.saveButton()->click();
        QVERIFY(list.isVisible());
        QVERIFY(t.messages().last().contains("Yılı"));
        QCOMPARE(t.scalar("SELECT COUNT(*) FROM MUYE").toInt(), 1);
    }
};

MIZRO_TEST_MAIN(TestMemberList)
#include "tst_memberlist.moc"
