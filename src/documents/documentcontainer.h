#pragma once

#include "pagesetup.h"

#include <QByteArray>
#include <QWidget>
#include <memory>
#include <stdexcept>

class QAction;
class QTextDocument;
class QTextEdit;
class QToolBar;

namespace mizro::ui {
class Messages;
class FilePrompts;
} // namespace mizro::ui

namespace mizro::documents {

class FormatToolBar;
class TextDocument;

/// The area of a screen that shows one decision or template document and
/// lets the clerk edit it in place: empty, or holding exactly one document.
/// Keeps its own working copy; the database changes only through the
/// screen's storing routine.
class DocumentContainer : public QWidget {
    Q_OBJECT
public:
    enum class State { Empty, Loaded, Active };

    /// An operation the container refused; text() is what the clerk sees.
    class Error : public std::runtime_error {
    public:
        explicit Error(const QString &text);
        const QString &text() const { return m_text; }

    private:
        QString m_text;
    };
    static QString emptyContainerText();

    DocumentContainer(ui::Messages &messages, ui::FilePrompts &files, QWidget *parent = nullptr);
    ~DocumentContainer() override;

    /// CreateObject: a new blank document of the class ("Word.Document").
    /// Throws Error for any other class.
    void createObject(const QString &className);
    /// LoadFromStream: the old document goes; a stored value becomes the
    /// document. On failure the container is empty and the error thrown
    /// (StoredDocument::LoadError).
    void loadFromStream(const QByteArray &value);
    /// SaveToStream: the stored value of the document. Throws Error on an
    /// empty container.
    QByteArray saveToStream();
    /// DoVerb -1: the document is shown and editable. Throws Error.
    void doVerb(int verb);
    State state() const { return m_state; }
    bool isEmpty() const { return m_state == State::Empty; }
    /// Close: the document stops being active; its edits stay here.
    void close();

    /// The automation call of the merge: replaces the last occurrence of the
    /// literal text, searching from the end without wrapping. False when it
    /// is absent. Throws Error on an empty container.
    bool replaceLast(const QString &placeholder, const QString &text);

    /// What the loading routine met.
    enum class Loaded { Nothing, Document, Unreadable, Legacy };
    /// TEXTGETIR: an empty value leaves the container as it is; any other is
    /// loaded, errors swallowed.
    Loaded textGetir(const QByteArray &value);

    /// Null when empty.
    QTextDocument *document() const;
    const PageSetup &pageSetup() const { return m_page; }
    void setPageSetup(const PageSetup &page);
    quint32 aspect() const { return m_aspect; }

    QTextEdit *editor() const { return m_edit; }
    FormatToolBar *toolBar() const { return m_toolbar; }
    QAction *pageSetupAction() const { return m_pageSetupAction; }
    QAction *previewAction() const { return m_previewAction; }
    QAction *printAction() const { return m_printAction; }
    QAction *pdfAction() const { return m_pdfAction; }

    // The print routines; an empty container says so.
    void editPageSetup();
    void printPreview();
    void printDocument();
    /// Asks for a file name and writes the document as PDF there.
    void exportPdf();

signals:
    void stateChanged(mizro::documents::DocumentContainer::State state);

private:
    void take(std::unique_ptr<TextDocument> document);
    void discard();
    void setState(State state);
    void requireDocument() const;
    /// Runs a print routine; an error becomes a message.
    bool printable();

    ui::Messages &m_messages;
    ui::FilePrompts &m_files;
    QTextEdit *m_edit;
    FormatToolBar *m_toolbar;
    std::unique_ptr<TextDocument> m_document;
    std::unique_ptr<QTextDocument> m_nothing; // shown while empty
    PageSetup m_page;
    quint32 m_aspect = 1;
    State m_state = State::Empty;
    QAction *m_pageSetupAction;
    QAction *m_previewAction;
    QAction *m_printAction;
    QAction *m_pdfAction;
};

} // namespace mizro::documents
