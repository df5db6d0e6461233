#include "demodata.h"

#include "demodocuments.h"

#include "db/database.h"
#include "db/dberror.h"
#include "db/query.h"
#include "db/writeguard.h"

#include <QGuiApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringList>
#include <QTime>

namespace mizro::admin {

namespace {

const QStringList FirstNames = {
    QStringLiteral("Ahmet"),   QStringLiteral("Mehmet"),  QStringLiteral("Ayşe"),
    QStringLiteral("Fatma"),   QStringLiteral("Mustafa"), QStringLiteral("Emine"),
    QStringLiteral("Hüseyin"), QStringLiteral("Zeynep"),  QStringLiteral("İbrahim"),
    QStringLiteral("Hatice"),  QStringLiteral("Ömer"),    QStringLiteral("Elif"),
    QStringLiteral("Yusuf"),   QStringLiteral("Şükrü"),   QStringLiteral("Gülşen"),
    QStringLiteral("Özlem"),   QStringLiteral("Cengiz"),  QStringLiteral("Ümit"),
    QStringLiteral("Çiğdem"),  QStringLiteral("Ercan"),   QStringLiteral("Serap"),
    QStringLiteral("Kadir"),   QStringLiteral("Nurhan"),  QStringLiteral("İsmail"),
    QStringLiteral("Gökhan"),  QStringLiteral("Sevgi"),   QStringLiteral("Tuğba"),
    QStringLiteral("Hakan"),   QStringLiteral("Derya"),   QStringLiteral("Burak")};
const QStringList LastNames = {
    QStringLiteral("YILMAZ"),   QStringLiteral("KAYA"),   QStringLiteral("DEMİR"),
    QStringLiteral("ŞAHİN"),    QStringLiteral("ÇELİK"),  QStringLiteral("YILDIZ"),
    QStringLiteral("YILDIRIM"), QStringLiteral("ÖZTÜRK"), QStringLiteral("AYDIN"),
    QStringLiteral("ÖZDEMİR"),  QStringLiteral("ARSLAN"), QStringLiteral("DOĞAN"),
    QStringLiteral("KILIÇ"),    QStringLiteral("ASLAN"),  QStringLiteral("ÇETİN"),
    QStringLiteral("KARA"),     QStringLiteral("KOÇ"),    QStringLiteral("KURT"),
    QStringLiteral("ÖZKAN"),    QStringLiteral("ŞİMŞEK"), QStringLiteral("POLAT"),
    QStringLiteral("ÜNAL"),     QStringLiteral("GÜNEŞ"),  QStringLiteral("ERDOĞAN"),
    QStringLiteral("AKSOY"),    QStringLiteral("TAŞ"),    QStringLiteral("KORKMAZ"),
    QStringLiteral("GÜLER"),    QStringLiteral("ÇAKIR"),  QStringLiteral("BULUT")};

const QStringList Departments = {
    QStringLiteral("Yazı İşleri Müdürlüğü"),       QStringLiteral("Fen İşleri Müdürlüğü"),
    QStringLiteral("İmar ve Şehircilik Müd."),     QStringLiteral("Mali Hizmetler Müdürlüğü"),
    QStringLiteral("Emlak ve İstimlak Müd."),      QStringLiteral("Zabıta Müdürlüğü"),
    QStringLiteral("Temizlik İşleri Müdürlüğü"),   QStringLiteral("Park ve Bahçeler Müd."),
    QStringLiteral("Hukuk İşleri Müdürlüğü"),      QStringLiteral("İnsan Kaynakları Müd."),
    QStringLiteral("Kültür ve Sosyal İşler Md."),  QStringLiteral("Destek Hizmetleri Müd."),
    QStringLiteral("Plan ve Proje Müdürlüğü"),     QStringLiteral("Su ve Kanalizasyon Müd."),
    QStringLiteral("Ruhsat ve Denetim Müd."),      QStringLiteral("Veteriner İşleri Müd."),
    QStringLiteral("İtfaiye Müdürlüğü"),           QStringLiteral("Bilgi İşlem Müdürlüğü"),
    QStringLiteral("Basın Yayın ve Halkla İliş."), QStringLiteral("Strateji Geliştirme Müd.")};

const QStringList Neighbourhoods = {QStringLiteral("Cumhuriyet"),   QStringLiteral("Yenimahalle"),
                                    QStringLiteral("Fatih"),        QStringLiteral("Atatürk"),
                                    QStringLiteral("Gazi"),         QStringLiteral("Çamlıca"),
                                    QStringLiteral("Bahçelievler"), QStringLiteral("Kültür"),
                                    QStringLiteral("Şehitler"),     QStringLiteral("İstasyon")};

const QStringList Streets = {QStringLiteral("Gül Sokak"),     QStringLiteral("Lale Caddesi"),
                             QStringLiteral("Menekşe Sokak"), QStringLiteral("İnönü Caddesi"),
                             QStringLiteral("Okul Sokak"),    QStringLiteral("Çınar Sokak")};

// %1 neighbourhood, %2 block, %3 parcel, %4 street, %5 amount, %6 name
const QStringList CommitteeSummaries = {
    QStringLiteral("%1 Mahallesi %2 ada %3 parsel sayılı taşınmazın ihale ile satışı hk."),
    QStringLiteral("%4 üzerindeki işyeri için ruhsat harcı itirazı hk."),
    QStringLiteral("%1 Mahallesi %4 yol genişletme kamulaştırma bedelinin tespiti hk."),
    QStringLiteral("%6 adına düzenlenen %5 TL imar para cezasına itiraz hk."),
    QStringLiteral("Belediye hizmet binası kırtasiye alımı ihalesinin sonuçlandırılması hk."),
    QStringLiteral("%1 Mahallesi park alanı çevre düzenlemesi işi hakediş ödemesi hk."),
    QStringLiteral("%2 ada %3 parselde kaçak yapı nedeniyle yıkım kararı alınması hk."),
    QStringLiteral("%6 tarafından verilen dilekçe ile kira bedelinin taksitlendirilmesi hk."),
    QStringLiteral("Zabıta tutanağına istinaden %6 hakkında %5 TL idari para cezası hk."),
    QStringLiteral("%4 kaldırım ve bordür yenileme işinin ihale onayı hk."),
    QStringLiteral("Belediyeye ait %1 Mahallesindeki dükkanın 3 yıllığına kiraya verilmesi hk."),
    QStringLiteral("Personel servis aracı kiralama işinin doğrudan temin ile yapılması hk."),
    QStringLiteral("%6 adına ölçü bedeli ve ruhsat harcının iadesi hk."),
    QStringLiteral("%1 Mahallesi %4 asfalt kaplama işinin süre uzatımı talebi hk.")};

const QStringList CouncilSummaries = {
    QStringLiteral("Belediyemizin %7 yılı bütçesinin görüşülmesi ve kabulü hk."),
    QStringLiteral("%1 Mahallesi %2 ada %3 parselde imar planı değişikliği hk."),
    QStringLiteral("Bir önceki toplantıya ait karar özetlerinin okunarak kabulü hk."),
    QStringLiteral("Meclis üyelerinden oluşan ihtisas komisyonlarının seçimi hk."),
    QStringLiteral("%4 adının \"%6\" olarak değiştirilmesi teklifi hk."),
    QStringLiteral("Ücret tarifesinde yapılacak değişikliklerin görüşülmesi hk."),
    QStringLiteral("%1 Mahallesi sosyal tesis yapımı için %5 TL kredi kullanımı hk."),
    QStringLiteral("Kardeş şehir ilişkisi kurulması teklifinin görüşülmesi hk."),
    QStringLiteral("Encümene iki üye seçimi hk."),
    QStringLiteral("%7 yılı faaliyet raporunun görüşülmesi hk."),
    QStringLiteral("Mahalle muhtarlıklarının su tahakkuk indiriminin görüşülmesi hk."),
    QStringLiteral("%1 Mahallesi nazım imar planı tadilatı hk.")};

class Generator {
public:
    Generator(db::Database &db, const DemoOptions &o) : m_db(db), m_o(o), m_rand(o.seed) {}

    DemoCounts run();

private:
    int pick(int n) { return int(m_rand.bounded(quint32(n))); }
    template <typename T> const T &pickFrom(const QList<T> &list)
    {
        return list[pick(int(list.size()))];
    }
    QString personName() { return pickFrom(FirstNames) + QLatin1Char(' ') + pickFrom(LastNames); }
    QString phone()
    {
        return QStringLiteral("0%1 %2 %3 %4")
            .arg(pickFrom(QStringList{QStringLiteral("312"), QStringLiteral("216"),
                                      QStringLiteral("232"), QStringLiteral("352")}))
            .arg(200 + pick(700))
            .arg(10 + pick(90))
            .arg(10 + pick(90));
    }
    QString summary(const QStringList &forms, int year);
    /// The same people serve year after year; now and then one is replaced.
    QStringList people(int count);
    void members(const QString &table, int year, const QStringList &titles, QStringList &names);
    void departments();
    void definitions();
    void meetings(bool committee, int year);

    db::Database &m_db;
    DemoOptions m_o;
    QRandomGenerator m_rand;
    DemoCounts m_counts;
    QHash<QString, QVector<int>> m_activeMembers; // "EUYE2024" -> codes
};

QString Generator::summary(const QStringList &forms, int year)
{
    QString s = pickFrom(forms);
    s.replace(QStringLiteral("%1"), pickFrom(Neighbourhoods));
    s.replace(QStringLiteral("%2"), QString::number(100 + pick(900)));
    s.replace(QStringLiteral("%3"), QString::number(1 + pick(40)));
    s.replace(QStringLiteral("%4"), pickFrom(Streets));
    s.replace(QStringLiteral("%5"), QLocale(QLocale::Turkish).toString(1000 * (5 + pick(400))));
    s.replace(QStringLiteral("%6"), personName());
    s.replace(QStringLiteral("%7"), QString::number(year + 1));
    return s.left(140);
}

QStringList Generator::people(int count)
{
    QStringList names = {QStringLiteral("Ahmet Şükrü KARAHAN")};
    while (names.size() < count) {
        const QString n = personName();
        if (!names.contains(n))
            names << n;
    }
    return names;
}

void Generator::members(const QString &table, int year, const QStringList &titles,
                        QStringList &names)
{
    if (pick(2) == 0) {
        const int replaced = 1 + pick(int(names.size()) - 1);
        names[replaced] = personName();
    }
    const bool hasState = m_o.version == QStringLiteral("14.001");
    db::Query q(m_db, hasState ? QStringLiteral("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,ISTEL,"
                                                "EVTEL,DUR) VALUES (:YIL,:UKOD,:ADSOY,:UNVANI,"
                                                ":ISTEL,:EVTEL,:DUR)")
                                     .arg(table)
                               : QStringLiteral("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,ISTEL,"
                                                "EVTEL) VALUES (:YIL,:UKOD,:ADSOY,:UNVANI,"
                                                ":ISTEL,:EVTEL)")
                                     .arg(table));
    QVector<int> active;
    for (int i = 0; i < titles.size(); ++i) {
        const int code = i + 1;
        // About one in eight members has left during the year.
        const bool isActive = i == 0 || pick(8) != 0;
        q.bind(QStringLiteral("YIL"), year);
        q.bind(QStringLiteral("UKOD"), code);
        q.bind(QStringLiteral("ADSOY"), names[i]);
        q.bind(QStringLiteral("UNVANI"), titles[i]);
        q.bind(QStringLiteral("ISTEL"), phone());
        q.bind(QStringLiteral("EVTEL"), pick(3) ? phone() : QString());
        if (hasState)
            q.bind(QStringLiteral("DUR"), isActive ? QStringLiteral("A") : QStringLiteral("P"));
        q.exec();
        if (isActive || !hasState)
            active << code;
    }
    m_activeMembers.insert(table + QString::number(year), active);
}

void Generator::departments()
{
    db::Query q(m_db, QStringLiteral("INSERT INTO BIRIM (BIRKOD,BIRIMADI) VALUES (:K,:A)"));
    for (int i = 0; i < Departments.size(); ++i) {
        q.bind(QStringLiteral("K"), QString::number(i + 1));
        q.bind(QStringLiteral("A"), Departments[i]);
        q.exec();
    }
}

void Generator::definitions()
{
    db::Query q(m_db, QStringLiteral("UPDATE TANIM SET KURUM=:KURUM, BASKAN=:BASKAN, "
                                     "BASYRD=:BASYRD, CYIL=:CYIL, YAZDUR='D', VER=:VER, "
                                     "UDUR='0', ILADI=:ILADI, ILCE=:ILCE, ONIZ='0', "
                                     "EMAIL=:EMAIL, GDUR='0', BELDE=:BELDE"));
    q.bind(QStringLiteral("KURUM"), QStringLiteral("KARAAĞAÇLI BELEDİYESİ"));
    q.bind(QStringLiteral("BASKAN"), QStringLiteral("Ahmet Şükrü KARAHAN"));
    q.bind(QStringLiteral("BASYRD"), QStringLiteral("Gülşen ÖZTÜRK"));
    q.bind(QStringLiteral("CYIL"), QString::number(m_o.today.year()));
    q.bind(QStringLiteral("VER"), m_o.version);
    q.bind(QStringLiteral("ILADI"), QStringLiteral("ANKARA"));
    q.bind(QStringLiteral("ILCE"), QStringLiteral("KARAAĞAÇLI"));
    q.bind(QStringLiteral("EMAIL"), QStringLiteral("yaziisleri@karaagacli.bel.tr"));
    q.bind(QStringLiteral("BELDE"), QStringLiteral("KARAAĞAÇLI"));
    q.exec();
}

void Generator::meetings(bool committee, int year)
{
    const QString meetingTable = committee ? QStringLiteral("ENCUMEN") : QStringLiteral("MECLIS");
    const QString decisionTable = committee ? QStringLiteral("EKAR") : QStringLiteral("MKAR");
    const QString attendanceTable = committee ? QStringLiteral("EKAT") : QStringLiteral("MKAT");
    const QString memberTable = committee ? QStringLiteral("EUYE") : QStringLiteral("MUYE");
    const bool oldDecisions = m_o.version == QStringLiteral("12.001");

    db::Query gen(m_db, QStringLiteral("SELECT GEN_ID(GEN_KAYNO,1) FROM RDB$DATABASE"));
    db::Query meeting(m_db, QStringLiteral("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) "
                                           "VALUES (:KAYNO,:OTRNO,:TARIH,:SAAT,:TUR,:ACIK)")
                                .arg(meetingTable));
    QString columns = committee ? QStringLiteral("KAYNO,KARNO,BKOD,ETUR,EKAYNO,EKAYTAR,EVTAR,"
                                                 "EVSAY,OZET,SNO,TARIH,SAAT")
                                : QStringLiteral("KAYNO,KARNO,SNO,TARIH,SAAT,OZET");
    if (oldDecisions)
        columns += QStringLiteral(",OTRNO");
    QString params = QLatin1Char(':') + columns;
    params.replace(QLatin1Char(','), QStringLiteral(",:"));
    db::Query decision(
        m_db,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(decisionTable, columns, params));
    db::Query attend(
        m_db, QStringLiteral("INSERT INTO %1 (KAYNO,UKOD) VALUES (:K,:U)").arg(attendanceTable));

    // Committee: every Tuesday; council: the first Wednesday of each month,
    // and now and then an extraordinary meeting.
    QVector<QPair<QDate, bool>> dates;
    const QDate last = year == m_o.today.year() ? m_o.today : QDate(year, 12, 31);
    if (committee) {
        QDate d(year, 1, 1);
        while (d.dayOfWeek() != Qt::Tuesday)
            d = d.addDays(1);
        for (; d <= last; d = d.addDays(7))
            dates.append({d, false});
    } else {
        for (int m = 1; m <= 12; ++m) {
            QDate d(year, m, 1);
            while (d.dayOfWeek() != Qt::Wednesday)
                d = d.addDays(1);
            if (d > last)
                break;
            dates.append({d, false});
            if (pick(5) == 0 && d.addDays(14) <= last)
                dates.append({d.addDays(14), true});
        }
    }

    const QVector<int> present = m_activeMembers.value(memberTable + QString::number(year));
    int otrno = 0;
    int karno = 0;
    for (const auto &[date, extraordinary] : std::as_const(dates)) {
        for (int copy = 0; copy < m_o.scale; ++copy) {
            const int kayno = gen.scalar().toInt();
            if (kayno > 32767)
                throw db::DbError(db::DbError::Kind::OutOfRange,
                                  QStringLiteral("Kayıt numarası 32767'yi aşıyor; daha küçük "
                                                 "bir çarpan seçiniz."));
            ++otrno;
            const QTime time = QTime(committee ? 10 : 14, 0).addSecs(copy * 15 * 60);
            meeting.bind(QStringLiteral("KAYNO"), kayno);
            meeting.bind(QStringLiteral("OTRNO"), otrno);
            meeting.bind(QStringLiteral("TARIH"), date);
            meeting.bind(QStringLiteral("SAAT"), time);
            meeting.bind(QStringLiteral("TUR"),
                         extraordinary ? QStringLiteral("2") : QStringLiteral("1"));
            meeting.bind(QStringLiteral("ACIK"),
                         committee ? QStringLiteral("ENCÜMEN OTURUMU")
                                   : (extraordinary ? QStringLiteral("OLAĞANÜSTÜ MECLİS TOPLANTISI")
                                                    : QStringLiteral("MECLİS OTURUMU")));
            meeting.exec();
            (committee ? m_counts.committeeMeetings : m_counts.councilMeetings)++;

            for (int code : present) {
                if (pick(10) == 0 && code != 1)
                    continue; // absent
                attend.bind(QStringLiteral("K"), kayno);
                attend.bind(QStringLiteral("U"), code);
                attend.exec();
                ++m_counts.attendance;
            }

            const int n = 3 + pick(13);
            for (int sno = 1; sno <= n; ++sno) {
                ++karno;
                decision.bind(QStringLiteral("KAYNO"), kayno);
                decision.bind(QStringLiteral("KARNO"), karno);
                decision.bind(QStringLiteral("SNO"), sno);
                decision.bind(QStringLiteral("TARIH"), date);
                decision.bind(QStringLiteral("SAAT"), time.addSecs(sno * 5 * 60));
                decision.bind(QStringLiteral("OZET"),
                              summary(committee ? CommitteeSummaries : CouncilSummaries, year));
                if (committee) {
                    const QDate registered = date.addDays(-(2 + pick(20)));
                    decision.bind(QStringLiteral("BKOD"), 1 + pick(int(Departments.size())));
                    decision.bind(QStringLiteral("ETUR"),
                                  pick(3) ? QStringLiteral("E") : QStringLiteral("D"));
                    decision.bind(QStringLiteral("EKAYNO"), 1 + pick(9000));
                    decision.bind(QStringLiteral("EKAYTAR"), registered);
                    decision.bind(QStringLiteral("EVTAR"), registered.addDays(-pick(5)));
                    decision.bind(QStringLiteral("EVSAY"), 1000 + pick(90000));
                }
                if (oldDecisions)
                    decision.bind(QStringLiteral("OTRNO"), otrno);
                decision.exec();
                ++m_counts.decisions;
            }
        }
    }
}

DemoCounts Generator::run()
{
    db::WriteGuard guard(m_db);
    definitions();
    departments();
    const int thisYear = m_o.today.year();
    QStringList committeeTitles = {
        QStringLiteral("Belediye Başkanı"),  QStringLiteral("Meclis Üyesi"),
        QStringLiteral("Meclis Üyesi"),      QStringLiteral("Meclis Üyesi"),
        QStringLiteral("Meclis Üyesi"),      QStringLiteral("Mali Hiz. Müdürü"),
        QStringLiteral("Fen İşleri Müdürü"), QStringLiteral("İmar Müdürü"),
        QStringLiteral("Hukuk İşl. Müdürü")};
    QStringList councilTitles = {QStringLiteral("Belediye Başkanı")};
    for (int i = 0; i < 24; ++i)
        councilTitles << QStringLiteral("Meclis Üyesi");
    QStringList councillors = people(int(councilTitles.size()));
    // Four councillors sit on the committee beside the mayor.
    QStringList committee = councillors.mid(0, 5);
    while (committee.size() < committeeTitles.size())
        committee << personName();
    for (int year = thisYear - 2; year <= thisYear; ++year) {
        members(QStringLiteral("EUYE"), year, committeeTitles, committee);
        members(QStringLiteral("MUYE"), year, councilTitles, councillors);
    }
    for (int year = thisYear - 2; year <= thisYear; ++year) {
        meetings(true, year);
        meetings(false, year);
    }
    guard.commit();
    return m_counts;
}

} // namespace

DemoCounts fillDemoData(db::Database &db, const DemoOptions &options)
{
    db::WriteGuard all(db);
    Generator g(db, options);
    DemoCounts counts = g.run();
    // Documents lay out text, which only a GUI application can.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        counts.documents = fillDemoDocuments(db);
    all.commit();
    return counts;
}

} // namespace mizro::admin
