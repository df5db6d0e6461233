#pragma once

// A long decision document for the benchmarks.

#include "documents/documentprinter.h"
#include "documents/pagesetup.h"

#include <QString>
#include <QTextDocument>

// A long decision: a header table with the placeholders, then sections of
// text and tables until the printed pages reach the target.
inline QString decisionHtml(int sections)
{
    QString html = QStringLiteral(
        "<p align=\"center\"><b>T.C.<br/>KARAAĞAÇLI BELEDİYESİ<br/>ENCÜMEN KARARI</b></p>"
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">"
        "<tr><td>Karar Tarihi</td><td>[TARIH]</td><td>Karar No</td><td>[KARNO]</td></tr>"
        "<tr><td>Oturum No</td><td>[OTRNO]</td><td>Sıra No</td><td>[SIRNO]</td></tr>"
        "<tr><td>Saat</td><td>[SAAT]</td><td></td><td></td></tr></table>"
        "<p><b>KARAR ÖZETİ:</b> [OZET]</p>");
    for (int s = 1; s <= sections; ++s) {
        html += QStringLiteral("<h3>%1. Madde</h3>").arg(s);
        for (int p = 0; p < 3; ++p)
            html += QStringLiteral(
                "<p align=\"justify\">Belediyemiz sınırları içinde bulunan taşınmazların "
                "kiralanması, satışı ve imar durumlarının değiştirilmesi konularında ilgili "
                "müdürlüklerin hazırladığı raporlar incelenmiş; çevre düzenlemesi, yol "
                "genişletme ve altyapı çalışmalarının bütçe olanakları ölçüsünde yürütülmesi "
                "uygun görülmüştür. Şikâyetler ve itirazlar ayrıca değerlendirilecektir.</p>");
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                               "width=\"100%\"><tr><th>Ada</th><th>Parsel</th><th>Alan (m²)"
                               "</th><th>Bedel (TL)</th></tr>");
        for (int r = 0; r < 8; ++r)
            html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>")
                        .arg(100 + s)
                        .arg(r + 1)
                        .arg(250 + 17 * r)
                        .arg(12500 + 1000 * r);
        html += QStringLiteral("</table>");
    }
    html += QStringLiteral("<p><b>TOPLANTIYA KATILANLAR</b></p><table width=\"100%\"><tr>"
                           "<td>[UYELER]</td><td>[UYELER1]</td><td>[UYELER2]</td></tr></table>");
    return html;
}

/// Fills the document with the long decision of as many sections as make
/// it reach the pages; returns the sections.
inline int fillLongDecision(QTextDocument &document, const mizro::documents::PageSetup &page,
                            int pages)
{
    int sections = 10;
    for (;; sections += 2) {
        document.setHtml(decisionHtml(sections));
        if (mizro::documents::DocumentPrinter::pageCount(document, page) >= pages)
            return sections;
    }
}
