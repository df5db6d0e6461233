#include "templateddialog.h"

#include "documentcontainer.h"
#include "templaterules.h"

#include "db/dberror.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace mizro::documents {

TemplatedDialog::TemplatedDialog(ui::Session &session, const ui::Body &body, QWidget *parent)
    : DocumentDialog(session, parent), m_body(body), m_menu(new QMenu(this)),
      m_templateButton(new QPushButton(QStringLiteral("Şablon Ekle"), this))
{
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    m_templateButton->setObjectName(QStringLiteral("SB3"));
    m_templateButton->setAutoDefault(false);
    m_templateButton->setFocusPolicy(Qt::NoFocus);
    connect(m_templateButton, &QPushButton::clicked, this, &TemplatedDialog::showTemplateMenu);
    buttons()->insertWidget(2, m_templateButton);
}

void TemplatedDialog::popupDoldur()
{
    m_menu->clear();
    QVector<TemplateRules::Offer> offers;
    try {
        offers = TemplateRules::offered(m_session.database(), m_body);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    int tag = 0;
    for (const TemplateRules::Offer &o : offers) {
        QString shown = o.description;
        QAction *a = m_menu->addAction(shown.replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setProperty("caption", o.description);
        a->setData(tag++);
        connect(a, &QAction::triggered, this, [this, a] { popupClick(a); });
    }
}

void TemplatedDialog::showTemplateMenu()
{
    const int entries = int(m_menu->actions().size());
    m_menu->popup(QPoint(x() + m_menuPlace.x(), y() - 10 * entries + m_menuPlace.y()));
}

void TemplatedDialog::popupClick(QAction *entry)
{
    const QString caption = entry->property("caption").toString();
    int number = -1;
    try {
        // The first template of the query carrying exactly this description.
        for (const TemplateRules::Offer &o : TemplateRules::offered(m_session.database(), m_body))
            if (o.description == caption) {
                number = o.number;
                break;
            }
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    if (number < 0)
        return;
    if (!m_session.messages().question(
            this, QStringLiteral("DİKKAT Bu Karar İçeriği Silinip Belirtilen Örnek bilgisi "
                                 "yüklenecektir. ONAYLIYORMUSUNUZ")))
        return;
    QByteArray value;
    try {
        value = TemplateRules::documentOf(m_session.database(), number);
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    editRow();
    loadAndShow(value);
    textFormat();
}

void TemplatedDialog::merge(const MergeValues &values, PlaceholderMerge::Style style)
{
    if (container()->isEmpty())
        return;
    try {
        PlaceholderMerge::run(
            values,
            [this](const QString &placeholder, const QString &text) {
                return container()->replaceLast(placeholder, text);
            },
            style);
    } catch (const DocumentContainer::Error &e) {
        m_session.messages().error(this, e.text());
        return;
    }
    showDocument();
}

} // namespace mizro::documents
