// fuzz_seeds DIR: writes the seed corpora of both fuzz targets under DIR.

#include "fuzzapp.h"

#include "documents/compoundfile.h"
#include "documents/storeddocument.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextCursor>
#include <QTextTable>

using namespace mizro::documents;

namespace {

void put(const QString &dir, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(dir);
    QFile f(QDir(dir).filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace

int main(int argc, char **argv)
{
    startFuzzApplication();
    if (argc != 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString stored = root + QStringLiteral("/fuzz_stored_document");
    const QString compound = root + QStringLiteral("/fuzz_compound_file");

    PageSetup page;
    auto blank = StoredDocument::blank(page);
    const QByteArray blankValue = StoredDocument::save(*blank, page);

    auto rich = StoredDocument::blank(page);
    QTextCursor c(rich.get());
    c.insertHtml(QStringLiteral("<h1>Karar</h1><p><b>[TARIH]</b> günü <i>[SAAT]</i> "
                                "[OZET] ğüşıöç İĞÜŞÖÇ</p><ul><li>[UYELER]</li></ul>"
                                "<ol><li>bir</li><li>iki</li></ol>"));
    c.insertTable(2, 2)->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("[KARNO]"));
    QImage dot(4, 4, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    c.movePosition(QTextCursor::End);
    QTextImageFormat img;
    img.setName(TextDocument::imageUri(dot));
    c.insertImage(img);
    page.header = QStringLiteral("Belediye Encümeni");
    page.landscape = true;
    const QByteArray richValue = StoredDocument::save(*rich, page);

    CompoundFile legacy;
    legacy.classId = StoredDocument::legacyClassId();
    legacy.streams = {{QStringLiteral("WordDocument"), QByteArray(64, '\xec')}};
    const QByteArray legacyImage = legacy.write();

    put(stored, QStringLiteral("blank"), blankValue);
    put(stored, QStringLiteral("rich"), richValue);
    put(stored, QStringLiteral("legacy"), StoredDocument::frame(1, legacyImage));
    put(stored, QStringLiteral("header-only"), StoredDocument::frame(1, QByteArray()));
    put(stored, QStringLiteral("truncated"), richValue.left(richValue.size() / 2));
    put(compound, QStringLiteral("blank"), StoredDocument::parseFrame(blankValue).image);
    put(compound, QStringLiteral("rich"), StoredDocument::parseFrame(richValue).image);
    put(compound, QStringLiteral("legacy"), legacyImage);
    return 0;
}
