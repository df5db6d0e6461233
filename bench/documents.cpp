// A 20-page decision with tables: loading it from its stored value, merging
// every placeholder, showing it in the editor, saving it to a stored value
// and writing it as PDF; and the stored size against the HTML it holds.
// Medians in ms.
//
//   bench_documents [RUNS]

#include "benchsupport.h"
#include "documents/documentcontainer.h"
#include "documents/documentprinter.h"
#include "documents/placeholdermerge.h"
#include "documents/storeddocument.h"
#include "longdecision.h"
#include "ui/fileprompts.h"
#include "ui/scriptedmessages.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace mizro;
using documents::StoredDocument;

namespace {

QTextStream out(stdout);

documents::MergeValues values()
{
    documents::MergeValues v;
    v.date = QDate(2021, 3, 9);
    v.decisionNumber = 412;
    v.meetingNumber = 37;
    v.orderNumber = 5;
    v.time = QTime(10, 30);
    v.summary = QStringLiteral("Çamlıca Mahallesi 338 ada 36 parsel sayılı taşınmazın satışı hk.");
    for (int i = 1; i <= 15; ++i)
        v.members.append(
            {QStringLiteral("Üye %1 Işıkoğlu").arg(i), QStringLiteral("Meclis Üyesi")});
    return v;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    const QStringList args = QApplication::arguments();
    if (args.size() > 2 || (args.size() == 2 && args[1].toInt() < 1)) {
        out << "Kullanım: bench_documents [ÇALIŞTIRMA]\n";
        return args.contains(QStringLiteral("--help")) ? 0 : 2;
    }
    const int runs = args.size() == 2 ? args[1].toInt() : 15;

    const documents::PageSetup page;
    auto source = StoredDocument::blank(page);
    const int sections = fillLongDecision(*source, page, 20);
    const int pages = documents::DocumentPrinter::pageCount(*source, page);
    const QByteArray stored = StoredDocument::save(*source, page);
    const qsizetype htmlSize = source->toHtml().toUtf8().size();

    const double load = medianMs(runs, [&] { (void)StoredDocument::load(stored); });
    const documents::MergeValues v = values();
    // Each merge on a freshly loaded copy, loaded outside the timing.
    std::vector<std::unique_ptr<documents::TextDocument>> copies;
    for (int i = 0; i < runs; ++i)
        copies.push_back(StoredDocument::load(stored).document);
    size_t next = 0;
    const double merge =
        medianMs(runs, [&] { documents::PlaceholderMerge::run(v, *copies[next++]); });

    ui::ScriptedMessages messages;
    ui::ScriptedFilePrompts files;
    documents::DocumentContainer container(messages, files);
    container.resize(1000, 700);
    container.show();
    // What the editor does at a template choice: load, show, merge, show,
    // with the document laid out in its window.
    const double shown = medianMs(runs, [&] {
        container.createObject(QStringLiteral("Word.Document"));
        container.textGetir(stored);
        container.doVerb(-1);
        documents::PlaceholderMerge::run(
            v, [&](const QString &p, const QString &t) { return container.replaceLast(p, t); });
        container.doVerb(-1);
        QApplication::processEvents();
        (void)container.document()->documentLayout()->documentSize();
    });
    QByteArray saved;
    const double save = medianMs(runs, [&] { saved = container.saveToStream(); });
    QTemporaryDir dir;
    const double pdf = medianMs(runs, [&] {
        documents::DocumentPrinter::writePdf(*container.document(), container.pageSetup(),
                                             dir.filePath(QStringLiteral("karar.pdf")));
    });

    out << "Karar metni: " << pages << " sayfa, " << sections << " madde (" << sections
        << " tablo), " << runs << " çalıştırma, ortanca ms\n";
    out << QStringLiteral("  yükleme (saklı değerden)      %1\n").arg(load, 8, 'f', 1);
    out << QStringLiteral("  birleştirme (tüm alanlar)     %1\n").arg(merge, 8, 'f', 1);
    out << QStringLiteral("  yükle+göster+birleştir+göster %1   (hedef < 100)\n")
               .arg(shown, 8, 'f', 1);
    out << QStringLiteral("  kaydetme (saklı değere)       %1   (hedef < 50)\n")
               .arg(save, 8, 'f', 1);
    out << QStringLiteral("  PDF                           %1   (hedef < 500)\n")
               .arg(pdf, 8, 'f', 1);
    out << QStringLiteral("Saklı değer %1 bayt, içindeki HTML %2 bayt (oran %3)\n")
               .arg(stored.size())
               .arg(htmlSize)
               .arg(double(stored.size()) / double(htmlSize), 0, 'f', 2);
    out << QStringLiteral("Birleştirilmiş belge saklı değeri %1 bayt\n").arg(saved.size());
    return 0;
}
