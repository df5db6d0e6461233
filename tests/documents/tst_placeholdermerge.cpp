// The single-screen editors' merge: what each placeholder becomes.

#include "documentfixture.h"

#include "db/dataset.h"
#include "documents/placeholdermerge.h"
#include "documents/storeddocument.h"
#include "ui/body.h"

#include <QApplication>
#include <QTextDocument>

using namespace mizro;
using documents::MergeValues;
using documents::PlaceholderMerge;
using Meeting = test::MeetingFixture::Meeting;

namespace {

using Style = PlaceholderMerge::Style;

QString merged(const QString &html, const MergeValues &values, Style style = Style::SingleScreen)
{
    auto doc = documents::StoredDocument::blank({});
    doc->setHtml(html);
    PlaceholderMerge::run(values, *doc, style);
    return doc->toPlainText();
}

// The classic entries of members first to last: "n - Üye ", one after another.
QString classicEntries(int first, int last)
{
    QString out;
    for (int i = first; i <= last; ++i)
        out += QStringLiteral("%1 - Üye ").arg(i);
    return out;
}

QString allPlaceholders()
{
    QString html;
    for (const QString &p : PlaceholderMerge::placeholders())
        html += QStringLiteral("<p>%1=%2|</p>").arg(p.mid(1, p.size() - 2), p);
    return html;
}

MergeValues fromDatabase(test::TestSession &t, const ui::Body &body, const Meeting &m)
{
    test::MeetingFixture f(t, body, m);
    return MergeValues::fromRows(f.decisions->decisions(), m.otrno, &f.attendance->attendance());
}

} // namespace

class TestPlaceholderMerge : public QObject {
    Q_OBJECT
private slots:
    void eachPlaceholderFromItsSource_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::newRow("committee") << true;
        QTest::newRow("council") << false;
    }
    void eachPlaceholderFromItsSource()
    {
        QFETCH(bool, committee);
        test::TestSession t;
        Meeting m;
        m.summary = QStringLiteral("Şişli'de ığdır çağrı İĞÜŞÖÇ");
        const MergeValues v =
            fromDatabase(t, committee ? ui::Body::committee() : ui::Body::council(), m);
        // Each member on a line of its own: the carriage return ends the entry.
        QCOMPARE(merged(allPlaceholders(), v),
                 QStringLiteral("TARIH=09.03.2021|\nKARNO=41|\nOTRNO=3|\nSIRNO=2|\n"
                                "SAAT=14:30:00|\nOZET=Şişli'de ığdır çağrı İĞÜŞÖÇ|\n"
                                "UYELER=Üye1 Işık - Başkan\nÜye2 Işık - Üye\nÜye3 Işık - Üye\n|\n"
                                "UYELER1=|\nUYELER2=|"));
    }

    void lastOfTwoOccurrencesIsReplaced()
    {
        MergeValues v;
        v.decisionNumber = 12;
        QCOMPARE(merged("<p>[KARNO] ve</p><p>sonra [KARNO]</p>", v), "[KARNO] ve\nsonra 12");
    }

    void absentPlaceholdersChangeNothing()
    {
        MergeValues v;
        v.summary = QStringLiteral("özet");
        QCOMPARE(merged("<p>Yalnız [OZET] var, [otrno] değil.</p>", v),
                 "Yalnız özet var, [otrno] değil.");
    }

    void memberGroups_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<QStringList>("firstAndLast");
        QTest::newRow("none") << 0 << QStringList{"", "", "", "", "", ""};
        QTest::newRow("five") << 5 << QStringList{"1", "5", "", "", "", ""};
        QTest::newRow("sixteen") << 16 << QStringList{"1", "5", "6", "10", "11", "15"};
    }
    void memberGroups()
    {
        QFETCH(int, members);
        QFETCH(QStringList, firstAndLast);
        QVector<MergeValues::Member> list;
        for (int i = 1; i <= members; ++i)
            list.append({QString::number(i), QStringLiteral("Üye")});
        const QStringList groups = PlaceholderMerge::memberGroups(list);
        QCOMPARE(groups.size(), 3);
        for (int g = 0; g < 3; ++g) {
            const QStringList entries = groups[g].split('\r', Qt::SkipEmptyParts);
            QCOMPARE(entries.value(0).section(" - ", 0, 0), firstAndLast[2 * g]);
            QCOMPARE(entries.value(entries.size() - 1).section(" - ", 0, 0),
                     firstAndLast[2 * g + 1]);
            QVERIFY(groups[g].isEmpty() || groups[g].endsWith('\r'));
        }
        // The sixteenth is in no group.
        QVERIFY(!groups.join(QString()).contains("16 - "));
    }

    void sixteenMembersFromTheDatabase()
    {
        test::TestSession t;
        Meeting m;
        m.members = 16;
        const MergeValues v = fromDatabase(t, ui::Body::committee(), m);
        QCOMPARE(v.members.size(), 16);
        const QString text = merged("<p>[UYELER]</p><p>[UYELER1]</p><p>[UYELER2]</p>", v);
        QCOMPARE(text.count(" - "), 15);
        QVERIFY(!text.contains("Üye16 "));
    }

    void classicMemberGroups_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("none") << 0 << QStringList{"", "", ""};
        QTest::newRow("sixteen") << 16
                                 << QStringList{classicEntries(1, 8), classicEntries(9, 16), ""};
        QTest::newRow("twenty-five")
            << 25
            << QStringList{classicEntries(1, 8), classicEntries(9, 16), classicEntries(17, 24)};
    }
    void classicMemberGroups()
    {
        QFETCH(int, members);
        QFETCH(QStringList, groups);
        QVector<MergeValues::Member> list;
        for (int i = 1; i <= members; ++i)
            list.append({QString::number(i), QStringLiteral("Üye")});
        // The entries run on in one line: each ends in a space.
        for (Style style : {Style::ClassicCommittee, Style::ClassicCouncil})
            QCOMPARE(PlaceholderMerge::memberGroups(list, style), groups);
    }

    // The committee's classic merge leaves the meeting number in the text;
    // the council's first fills the last "[UYELER]" with every member.
    void classicMerges_data()
    {
        QTest::addColumn<bool>("committee");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("expected");
        const QString all = "Üye1 Işık Başkan Üye2 Işık Üye Üye3 Işık Üye Üye4 Işık Üye Üye5 Işık "
                            "Üye Üye6 Işık Üye Üye7 Işık Üye Üye8 Işık Üye Üye9 Işık Üye Üye10 "
                            "Işık Üye ";
        const QString first = "Üye1 Işık - Başkan Üye2 Işık - Üye Üye3 Işık - Üye Üye4 Işık - Üye "
                              "Üye5 Işık - Üye Üye6 Işık - Üye Üye7 Işık - Üye Üye8 Işık - Üye ";
        const QString second = "Üye9 Işık - Üye Üye10 Işık - Üye ";
        const QString template1 = "<p>[OTRNO] [KARNO]|[UYELER]|[UYELER1]|[UYELER2]</p>";
        QTest::newRow("committee")
            << true << template1 << "[OTRNO] 41|" + first + "|" + second + "|";
        QTest::newRow("council, one [UYELER]")
            << false << template1 << "3 41|" + all + "|" + second + "|";
        QTest::newRow("council, two [UYELER]")
            << false << "<p>[UYELER]#[UYELER]</p>" << first + "#" + all;
    }
    void classicMerges()
    {
        QFETCH(bool, committee);
        QFETCH(QString, html);
        QFETCH(QString, expected);
        test::TestSession t;
        Meeting m;
        m.members = 10;
        const MergeValues v =
            fromDatabase(t, committee ? ui::Body::committee() : ui::Body::council(), m);
        QCOMPARE(merged(html, v, committee ? Style::ClassicCommittee : Style::ClassicCouncil),
                 expected);
    }

    void summaries_data()
    {
        QTest::addColumn<QVariant>("summary");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Turkish letters")
            << QVariant("Gölbaşı İlçesi Ağaçlandırma Şartnamesi ğüşiöçıİĞÜŞÖÇ")
            << "Özet: Gölbaşı İlçesi Ağaçlandırma Şartnamesi ğüşiöçıİĞÜŞÖÇ.";
        QTest::newRow("empty") << QVariant(QString()) << "Özet: .";
        QTest::newRow("none") << QVariant() << "Özet: .";
    }
    void summaries()
    {
        QFETCH(QVariant, summary);
        QFETCH(QString, expected);
        test::TestSession t;
        Meeting m;
        m.summary = summary;
        QCOMPARE(merged("<p>Özet: [OZET].</p>", fromDatabase(t, ui::Body::committee(), m)),
                 expected);
    }

    void replacementKeepsThePlaceholdersFormat()
    {
        MergeValues v;
        v.summary = QStringLiteral("uzun bir özet");
        auto doc = documents::StoredDocument::blank({});
        doc->setHtml("<p>a <b>[OZ</b><i>ET]</i> b</p>");
        PlaceholderMerge::run(v, *doc);
        QCOMPARE(doc->toPlainText(), "a uzun bir özet b");
        QVERIFY(doc->toHtml().contains("font-weight:700;\">uzun bir özet"));
    }
};

MIZRO_TEST_MAIN(TestPlaceholderMerge)
#include "tst_placeholdermerge.moc"
