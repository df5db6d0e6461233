#pragma once

#include <QTextDocument>

class QImage;

namespace mizro::documents {

/// The engine's document. A document holds its images inside itself as data
/// URIs; it never loads anything from outside (files, the network), whatever
/// its HTML or a pasted text names.
class TextDocument : public QTextDocument {
    Q_OBJECT
public:
    using QTextDocument::QTextDocument;

    /// An image as the data URI the document keeps it under (PNG).
    static QString imageUri(const QImage &image);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace mizro::documents
