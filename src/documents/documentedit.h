#pragma once

#include <QTextEdit>

namespace mizro::documents {

/// The editing surface. Rich text pasted from other programs keeps its
/// formatting; pictures are taken into the document, never fetched.
class DocumentEdit : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace mizro::documents
