#include "documentcontainer.h"

#include "documentedit.h"
#include "documentprinter.h"
#include "formattoolbar.h"
#include "pagesetupdialog.h"
#include "placeholdermerge.h"
#include "storeddocument.h"

#include "ui/fileprompts.h"
#include "ui/messages.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace mizro::documents {

DocumentContainer::Error::Error(const QString &text)
    : std::runtime_error(text.toStdString()), m_text(text)
{
}

QString DocumentContainer::emptyContainerText()
{
    return QStringLiteral("Operation not allowed on an empty OLE container");
}

DocumentContainer::DocumentContainer(ui::Messages &messages, ui::FilePrompts &files,
                                     QWidget *parent)
    : QWidget(parent), m_messages(messages), m_files(files), m_edit(new DocumentEdit(this)),
      m_toolbar(new FormatToolBar(m_edit, this)), m_nothing(std::make_unique<QTextDocument>())
{
    setObjectName(QStringLiteral("OleContainer1"));
    m_edit->setObjectName(QStringLiteral("DocumentEdit"));
    m_edit->setAcceptRichText(true);
    m_edit->setLineWrapMode(QTextEdit::WidgetWidth);
    m_toolbar->addSeparator();
    const auto add = [this](const QString &text, const QString &name, const QKeySequence &key,
                            void (DocumentContainer::*slot)()) {
        QAction *a = m_toolbar->addAction(text);
        a->setObjectName(name);
        a->setToolTip(text);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            a->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                          QLatin1Char(')'));
            addAction(a);
        }
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_pageSetupAction = add(QStringLiteral("Sayfa Yapısı"), QStringLiteral("PageSetup"), {},
                            &DocumentContainer::editPageSetup);
    m_previewAction = add(QStringLiteral("Önizleme"), QStringLiteral("PrintPreview"), {},
                          &DocumentContainer::printPreview);
    m_printAction = add(QStringLiteral("Yazdır"), QStringLiteral("Print"), QKeySequence::Print,
                        &DocumentContainer::printDocument);
    m_pdfAction =
        add(QStringLiteral("PDF"), QStringLiteral("ExportPdf"), {}, &DocumentContainer::exportPdf);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_edit, 1);
    discard();
}

DocumentContainer::~DocumentContainer()
{
    // The editor goes before the documents it shows: as a child widget it
    // would outlive them and touch them once more when it loses the focus.
    delete m_toolbar;
    delete m_edit;
}

void DocumentContainer::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    const bool active = state == State::Active;
    m_edit->setReadOnly(!active);
    m_edit->setEnabled(state != State::Empty);
    m_toolbar->setEnabled(active);
    emit stateChanged(state);
}

void DocumentContainer::discard()
{
    m_edit->setDocument(m_nothing.get());
    m_document.reset();
    m_aspect = StoredDocument::ContentAspect;
    m_state = State::Loaded; // setState below always tells the change
    setState(State::Empty);
}

void DocumentContainer::take(std::unique_ptr<TextDocument> document)
{
    discard();
    m_document = std::move(document);
    m_edit->setDocument(m_document.get());
    m_edit->moveCursor(QTextCursor::Start);
    m_toolbar->documentChanged();
    setState(State::Loaded);
}

void DocumentContainer::createObject(const QString &className)
{
    if (className != QLatin1String("Word.Document"))
        throw Error(QStringLiteral("Invalid class string"));
    m_page = PageSetup();
    take(StoredDocument::blank(m_page));
}

void DocumentContainer::loadFromStream(const QByteArray &value)
{
    discard();
    StoredDocument::Loaded loaded = StoredDocument::load(value);
    m_page = loaded.page;
    take(std::move(loaded.document));
    m_aspect = loaded.aspect;
}

void DocumentContainer::requireDocument() const
{
    if (m_state == State::Empty)
        throw Error(emptyContainerText());
}

QByteArray DocumentContainer::saveToStream()
{
    requireDocument();
    try {
        return StoredDocument::save(*m_document, m_page);
    } catch (const std::runtime_error &e) {
        throw Error(QStringLiteral("Karar metni kaydedilemedi: ") + QString::fromUtf8(e.what()));
    }
}

void DocumentContainer::doVerb(int verb)
{
    requireDocument();
    if (verb != -1)
        throw Error(QStringLiteral("Invalid verb"));
    setState(State::Active);
    m_edit->setFocus();
}

void DocumentContainer::close()
{
    requireDocument();
    setState(State::Loaded);
}

bool DocumentContainer::replaceLast(const QString &placeholder, const QString &text)
{
    requireDocument();
    return PlaceholderMerge::replaceLast(*m_document, placeholder, text);
}

DocumentContainer::Loaded DocumentContainer::textGetir(const QByteArray &value)
{
    if (value.isEmpty())
        return Loaded::Nothing;
    try {
        loadFromStream(value);
        return Loaded::Document;
    } catch (const StoredDocument::LoadError &e) {
        return e.failure() == StoredDocument::Failure::Legacy ? Loaded::Legacy : Loaded::Unreadable;
    } catch (const std::exception &) {
        discard();
        return Loaded::Unreadable;
    }
}

QTextDocument *DocumentContainer::document() const
{
    return m_document.get();
}

void DocumentContainer::setPageSetup(const PageSetup &page)
{
    m_page = page;
    if (m_document) {
        StoredDocument::applyFont(*m_document, page);
        m_document->setModified(true);
    }
}

bool DocumentContainer::printable()
{
    if (m_state != State::Empty)
        return true;
    m_messages.error(this, emptyContainerText());
    return false;
}

void DocumentContainer::editPageSetup()
{
    if (!printable())
        return;
    PageSetupDialog dialog(m_page, this);
    if (dialog.exec() == QDialog::Accepted)
        setPageSetup(dialog.pageSetup());
}

void DocumentContainer::printPreview()
{
    if (!printable())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_page.pageLayout());
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Baskı Önizleme"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *p) { DocumentPrinter::print(*m_document, m_page, *p); });
    preview.exec();
}

void DocumentContainer::printDocument()
{
    if (!printable())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_page.pageLayout());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    DocumentPrinter::print(*m_document, m_page, printer);
}

void DocumentContainer::exportPdf()
{
    if (!printable())
        return;
    QString path =
        m_files.saveFile(this, QStringLiteral("PDF Olarak Kaydet"), QStringLiteral("karar.pdf"),
                         QStringLiteral("PDF dosyaları (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (!DocumentPrinter::writePdf(*m_document, m_page, path))
        m_messages.error(this, QStringLiteral("PDF dosyası yazılamadı: ") + path);
}

} // namespace mizro::documents
