#include "documentfixture.h"

#include "db/dataset.h"
#include "documents/storeddocument.h"
#include "ui/body.h"

namespace mizro::test {

MeetingFixture::MeetingFixture(TestSession &t, const ui::Body &b, const Meeting &m)
    : session(t), body(b), meeting(m)
{
    t.exec(QStringLiteral("INSERT INTO %1 (KAYNO,OTRNO,TARIH,SAAT,TUR,ACIK) "
                          "VALUES (:P1,:P2,:P3,:P4,'O','Olağan toplantı')")
               .arg(b.meetingTable),
           {m.kayno, m.otrno, m.date, m.time});
    t.exec(QStringLiteral("INSERT INTO %1 (KAYNO,KARNO,SNO,TARIH,SAAT,OZET) "
                          "VALUES (:P1,:P2,:P3,:P4,:P5,:P6)")
               .arg(b.decisionTable),
           {m.kayno, m.karno, m.sno, m.date, m.time, m.summary});
    const QStringList titles = {QStringLiteral("Başkan"), QStringLiteral("Üye")};
    for (int u = 1; u <= m.members; ++u) {
        t.exec(QStringLiteral("INSERT INTO %1 (YIL,UKOD,ADSOY,UNVANI,DUR) VALUES "
                              "(:P1,:P2,:P3,:P4,'A')")
                   .arg(b.memberTable),
               {m.date.year(), u, QStringLiteral("Üye%1 Işık").arg(u), titles[u > 1 ? 1 : 0]});
        t.exec(
            QStringLiteral("INSERT INTO %1 (KAYNO,UKOD) VALUES (:P1,:P2)").arg(b.attendanceTable),
            {m.kayno, u});
    }
    decisions = std::make_unique<reg::DecisionRules>(t.session(), b, reg::Variant::SingleScreen);
    decisions->setMeeting(m.kayno, m.date);
    decisions->list(m.kayno);
    attendance = std::make_unique<reg::AttendanceRules>(t.session(), b);
    attendance->list(m.kayno, m.date.year());
}

documents::DecisionEditor::Source MeetingFixture::source() const
{
    return {&decisions->decisions(), meeting.otrno, &attendance->attendance()};
}

QByteArray MeetingFixture::storedValue(const QString &html)
{
    documents::PageSetup page;
    auto doc = documents::StoredDocument::blank(page);
    doc->setHtml(html);
    return documents::StoredDocument::save(*doc, page);
}

QString MeetingFixture::plainText(const QByteArray &value)
{
    if (value.isEmpty())
        return QString();
    return documents::StoredDocument::load(value).document->toPlainText();
}

void MeetingFixture::addTemplate(TestSession &t, int sno, const QString &type,
                                 const QString &description, const QString &html)
{
    t.exec(QStringLiteral("INSERT INTO ORNEK (SNO,TUR,ACIK,ORNEK) VALUES (:P1,:P2,:P3,:P4)"),
           {sno, type, description, html.isEmpty() ? QVariant() : QVariant(storedValue(html))});
}

} // namespace mizro::test
