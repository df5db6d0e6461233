#include "pdfwords.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;

QString run(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

QVector<PdfWord> pdfWords(const QString &pdf)
{
    const QString html = run({QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QVector<PdfWord> words;
    static const QRegularExpression tag(
        QStringLiteral("<page [^>]*>|<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                       "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(1).toDouble() * MmPerPoint,
                      m.captured(2).toDouble() * MmPerPoint, m.captured(3).toDouble() * MmPerPoint,
                      m.captured(4).toDouble() * MmPerPoint,
                      QTextDocumentFragment::fromHtml(m.captured(5)).toPlainText()});
    }
    return words;
}

QString pdfPageText(const QString &pdf, int page)
{
    const QString text = run({QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                              QString::number(page), pdf, QStringLiteral("-")});
    return text.simplified();
}
