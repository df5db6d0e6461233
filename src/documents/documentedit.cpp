#include "documentedit.h"

#include "textdocument.h"

#include <QImage>
#include <QMimeData>
#include <QTextCursor>
#include <QTextImageFormat>

namespace mizro::documents {

bool DocumentEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void DocumentEdit::insertFromMimeData(const QMimeData *source)
{
    if (source->hasHtml()) {
        // Pictures named in the HTML are shown only when they come inside it.
        textCursor().insertHtml(source->html());
        return;
    }
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (image.isNull())
            return;
        QTextImageFormat f;
        f.setName(TextDocument::imageUri(image));
        f.setWidth(image.width());
        f.setHeight(image.height());
        textCursor().insertImage(f);
        return;
    }
    if (source->hasText()) {
        textCursor().insertText(source->text());
        return;
    }
    QTextEdit::insertFromMimeData(source);
}

} // namespace mizro::documents
