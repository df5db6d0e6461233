#include "storeddocument.h"

#include "compoundfile.h"

#include <QtEndian>

namespace mizro::documents {

namespace {

const QString Contents = QStringLiteral("Contents");
const QString PageSetupStream = QStringLiteral("PageSetup");
const QString CompObj = QStringLiteral("\x01"
                                       "CompObj");
const QString OleStream = QStringLiteral("\x01"
                                         "Ole");
const QString UserType = QStringLiteral("MIZRO Karar Metni");
const QString ProgId = QStringLiteral("MIZRO.Document.1");

void putU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void putAnsi(QByteArray &out, const QString &text)
{
    const QByteArray a = text.toLatin1() + '\0';
    putU32(out, quint32(a.size()));
    out += a;
}

void putUnicode(QByteArray &out, const QString &text)
{
    putU32(out, quint32(text.size() + 1));
    for (QChar c : text) {
        char b[2];
        qToLittleEndian(c.unicode(), b);
        out.append(b, 2);
    }
    out.append("\0\0", 2);
}

// The CompObj stream of OLE embedding: who the object belongs to.
QByteArray compObj()
{
    QByteArray out;
    putU32(out, 0xFFFE0001);
    putU32(out, 0x00000A03);
    putU32(out, 0xFFFFFFFF);
    out += StoredDocument::engineClassId();
    putAnsi(out, UserType);
    putU32(out, 0); // no clipboard format
    putAnsi(out, ProgId);
    putU32(out, 0x71B239F4);
    putUnicode(out, UserType);
    putU32(out, 0);
    putUnicode(out, ProgId);
    return out;
}

// The Ole stream: an embedded (not linked) object.
QByteArray oleStream()
{
    QByteArray out;
    putU32(out, 0x02000001);
    for (int i = 0; i < 4; ++i)
        putU32(out, 0);
    return out;
}

} // namespace

StoredDocument::LoadError::LoadError(Failure failure, const QString &text)
    : std::runtime_error(text.toStdString()), m_failure(failure), m_text(text)
{
}

const QByteArray &StoredDocument::engineClassId()
{
    static const QByteArray id =
        CompoundFile::classIdFromText(QStringLiteral("{6D495A52-4F44-4F43-8A11-3A1C0B5E2D01}"));
    return id;
}

const QByteArray &StoredDocument::legacyClassId()
{
    static const QByteArray id =
        CompoundFile::classIdFromText(QStringLiteral("{00020906-0000-0000-C000-000000000046}"));
    return id;
}

QString StoredDocument::legacyText()
{
    return QStringLiteral("Bu karar metni Windows kelime işlemcisiyle yazılmış bir belge. "
                          "Program bu belgeyi açamaz; belge olduğu gibi korunur ve üzerine "
                          "kayıt yapılmaz.");
}

StoredDocument::Frame StoredDocument::parseFrame(const QByteArray &value)
{
    if (value.size() < HeaderSize || qFromLittleEndian<quint32>(value.constData()) != Signature)
        throw LoadError(Failure::InvalidFormat, QStringLiteral("Invalid stream format"));
    Frame f;
    f.aspect = qFromLittleEndian<quint32>(value.constData() + 4);
    const quint32 size = qFromLittleEndian<quint32>(value.constData() + 8);
    if (quint64(size) > quint64(value.size() - HeaderSize))
        throw LoadError(Failure::InvalidFormat, QStringLiteral("Invalid stream format"));
    f.image = value.mid(HeaderSize, qsizetype(size));
    return f;
}

QByteArray StoredDocument::frame(quint32 aspect, const QByteArray &image)
{
    QByteArray out;
    out.reserve(HeaderSize + image.size());
    putU32(out, Signature);
    putU32(out, aspect);
    putU32(out, quint32(image.size()));
    out += image;
    return out;
}

StoredDocument::Loaded StoredDocument::load(const QByteArray &value)
{
    const Frame f = parseFrame(value);
    const QString unreadable =
        QStringLiteral("Karar metni okunamadı: belge bozuk ya da tanınmıyor.");
    const std::optional<CompoundFile> file = CompoundFile::read(f.image);
    if (!file)
        throw LoadError(Failure::Unreadable, unreadable);
    if (file->classId == legacyClassId() || file->hasEntry(QStringLiteral("WordDocument")))
        throw LoadError(Failure::Legacy, legacyText());
    const std::optional<QByteArray> html = file->stream(Contents);
    if (file->classId != engineClassId() || !html)
        throw LoadError(Failure::Unreadable, unreadable);

    Loaded loaded;
    loaded.aspect = f.aspect;
    if (const std::optional<QByteArray> page = file->stream(PageSetupStream))
        loaded.page = PageSetup::fromJson(*page);
    loaded.document = blank(loaded.page);
    loaded.document->setHtml(QString::fromUtf8(*html));
    loaded.document->setModified(false);
    return loaded;
}

QByteArray StoredDocument::save(const QTextDocument &document, const PageSetup &page)
{
    CompoundFile file;
    file.classId = engineClassId();
    file.streams = {{CompObj, compObj()},
                    {OleStream, oleStream()},
                    {Contents, document.toHtml().toUtf8()},
                    {PageSetupStream, page.toJson()}};
    return frame(ContentAspect, file.write());
}

std::unique_ptr<TextDocument> StoredDocument::blank(const PageSetup &page)
{
    auto doc = std::make_unique<TextDocument>();
    applyFont(*doc, page);
    doc->setUndoRedoEnabled(true);
    return doc;
}

void StoredDocument::applyFont(QTextDocument &document, const PageSetup &page)
{
    QFont font(page.fontFamily);
    font.setPointSizeF(page.fontSize);
    document.setDefaultFont(font);
}

} // namespace mizro::documents
