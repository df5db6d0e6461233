#pragma once

#include "pagesetup.h"
#include "textdocument.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>

class QTextDocument;

namespace mizro::documents {

/// The stored value of a decision's or a template's document: "BDOC", the
/// drawing aspect, the size N, then N bytes of a compound file. The compound
/// file's root carries the engine's own class identifier and holds the
/// streams OLE embedding keeps ("\1CompObj", "\1Ole"), the document as HTML
/// in "Contents" and its page setup in "PageSetup".
class StoredDocument {
public:
    static constexpr quint32 Signature = 0x434F4442; // "BDOC"
    static constexpr quint32 ContentAspect = 1;
    static constexpr int HeaderSize = 12;

    static const QByteArray &engineClassId();
    /// The Windows word processor's document class.
    static const QByteArray &legacyClassId();

    enum class Failure { InvalidFormat, Unreadable, Legacy };
    class LoadError : public std::runtime_error {
    public:
        LoadError(Failure failure, const QString &text);
        Failure failure() const { return m_failure; }
        const QString &text() const { return m_text; }

    private:
        Failure m_failure;
        QString m_text;
    };
    /// What a clerk is told about a document of the Windows word processor.
    static QString legacyText();

    struct Frame {
        quint32 aspect = ContentAspect;
        QByteArray image;
    };
    /// The header and exactly N bytes after it; throws LoadError
    /// (InvalidFormat) for a wrong signature or fewer bytes than N.
    static Frame parseFrame(const QByteArray &value);
    static QByteArray frame(quint32 aspect, const QByteArray &image);

    struct Loaded {
        std::unique_ptr<TextDocument> document;
        PageSetup page;
        quint32 aspect = ContentAspect;
    };
    /// A stored value as a new document. Throws LoadError.
    static Loaded load(const QByteArray &value);
    /// The stored value of a document, aspect 1. Throws std::runtime_error
    /// when the compound file cannot be written.
    static QByteArray save(const QTextDocument &document, const PageSetup &page);

    /// A new blank document with the page setup's font.
    static std::unique_ptr<TextDocument> blank(const PageSetup &page);
    static void applyFont(QTextDocument &document, const PageSetup &page);
};

} // namespace mizro::documents
