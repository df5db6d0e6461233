#include "documentdialog.h"

#include "documentcontainer.h"
#include "storeddocument.h"

#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::documents {

DocumentDialog::DocumentDialog(ui::Session &session, QWidget *parent)
    : ButtonCloseDialog(parent), m_session(session),
      m_container(new DocumentContainer(session.messages(), session.files(), this)),
      m_save(new QPushButton(QStringLiteral("F5-Kayıt"), this)),
      m_cancel(new QPushButton(QStringLiteral("F6-Vazgeç"), this)), m_body(new QVBoxLayout),
      m_buttons(new QHBoxLayout)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMaximizeButtonHint);
    m_save->setObjectName(QStringLiteral("SB1"));
    m_cancel->setObjectName(QStringLiteral("SB2"));
    for (QPushButton *b : {m_save, m_cancel}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_cancel, &QPushButton::clicked, this, &DocumentDialog::cancel);
    // The keys through entries nobody sees.
    const auto key = [this](Qt::Key k, const QString &name, auto slot) {
        auto *a = new QAction(this);
        a->setObjectName(name);
        a->setShortcut(QKeySequence(k));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key(Qt::Key_F5, QStringLiteral("Kayit1"), [this] { save(); });
    key(Qt::Key_F6, QStringLiteral("Vazgec1"), [this] { cancel(); });

    m_buttons->addWidget(m_save);
    m_buttons->addWidget(m_cancel);
    m_buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(m_body);
    layout->addWidget(m_container, 1);
    layout->addLayout(m_buttons);
}

void DocumentDialog::openDocument(const QByteArray &stored)
{
    m_asRead = stored;
    m_legacy = false;
    try {
        m_container->createObject(QStringLiteral("Word.Document"));
    } catch (const DocumentContainer::Error &e) {
        m_session.messages().error(this, e.text());
    }
    loadAndShow(stored);
}

void DocumentDialog::loadAndShow(const QByteArray &value)
{
    if (m_container->textGetir(value) == DocumentContainer::Loaded::Legacy) {
        m_legacy = true;
        m_session.messages().information(this, StoredDocument::legacyText());
        return;
    }
    showDocument();
}

bool DocumentDialog::showDocument(bool quiet)
{
    try {
        m_container->doVerb(-1);
        return true;
    } catch (const DocumentContainer::Error &e) {
        if (!quiet)
            m_session.messages().error(this, e.text());
        return false;
    }
}

bool DocumentDialog::save()
{
    if (m_legacy && m_container->isEmpty()) {
        // Never store a blank over a document this program cannot open.
        m_session.messages().information(this, StoredDocument::legacyText());
        return false;
    }
    QByteArray value;
    try {
        value = m_container->saveToStream();
    } catch (const DocumentContainer::Error &e) {
        m_session.messages().error(this, e.text());
        return false;
    }
    if (!store(value))
        return false;
    leave(QDialog::Accepted);
    return true;
}

void DocumentDialog::cancel()
{
    leave(QDialog::Rejected);
}

void DocumentDialog::leave(int result)
{
    if (!m_container->isEmpty())
        m_container->close();
    closeThroughButton(result);
}

} // namespace mizro::documents
