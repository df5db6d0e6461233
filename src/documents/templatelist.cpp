#include "templatelist.h"

#include "templateeditor.h"
#include "templatepanel.h"
#include "templaterules.h"

#include "db/dataset.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace mizro::documents {

TemplateList::TemplateList(ui::Session &session, ui::DialogRunner &dialogs, QWidget *parent)
    : ButtonCloseDialog(parent), m_session(session), m_dialogs(dialogs),
      m_rules(std::make_unique<TemplateRules>(session)), m_scroll(new QScrollArea(this)),
      m_list(new QWidget), m_listLayout(new QVBoxLayout(m_list)),
      m_exit(new QPushButton(QStringLiteral("Çıkış"), this))
{
    setObjectName(QStringLiteral("TFRMKARORN"));
    setWindowTitle(QStringLiteral("Karar Örneği"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(820, 640);

    auto *header = new QLabel(QStringLiteral("KARAR ŞABLONLARI LİSTESİ"), this);
    header->setObjectName(QStringLiteral("Label1"));
    QFont big = header->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    header->setFont(big);
    header->setAlignment(Qt::AlignCenter);

    m_scroll->setObjectName(QStringLiteral("DBCtrlGrid1"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(m_list);
    m_listLayout->setContentsMargins(0, 0, 0, 0);
    m_listLayout->setSpacing(2);
    m_listLayout->addStretch(1);
    m_scroll->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_scroll, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu;
        QAction *add = menu.addAction(QStringLiteral("Ekle"));
        if (menu.exec(m_scroll->mapToGlobal(at)) == add)
            addTemplate();
    });

    m_exit->setObjectName(QStringLiteral("BitBtn1"));
    m_exit->setAutoDefault(false);
    connect(m_exit, &QPushButton::clicked, this, [this] { leave(); });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(buttons);

    db::DataSet &ds = m_rules->templates();
    connect(&ds, &QAbstractItemModel::modelReset, this, &TemplateList::rebuild);
    connect(&ds, &QAbstractItemModel::rowsInserted, this, &TemplateList::rebuild);
    connect(&ds, &QAbstractItemModel::rowsRemoved, this, &TemplateList::rebuild);
    connect(&ds, &QAbstractItemModel::dataChanged, this, &TemplateList::refreshPanels);
    connect(&ds, &db::DataSet::currentRowChanged, this, &TemplateList::refreshPanels);
}

TemplateList::~TemplateList() = default;

void TemplateList::tell(const QString &text, const QString &details)
{
    if (text.isEmpty())
        return;
    if (text == TemplateRules::emptyDescriptionText())
        m_session.messages().information(this, text);
    else
        m_session.messages().error(this, text, details);
}

void TemplateList::showEvent(QShowEvent *event)
{
    ButtonCloseDialog::showEvent(event);
    try {
        m_rules->list();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void TemplateList::rebuild()
{
    for (TemplatePanel *p : m_panels)
        p->deleteLater();
    m_panels.clear();
    db::DataSet &ds = m_rules->templates();
    const int length = ds.fieldLength(QStringLiteral("ACIK"));
    for (int r = 0; r < ds.count(); ++r) {
        auto *p = new TemplatePanel(r, length, m_list);
        m_listLayout->insertWidget(r, p);
        connect(p, &TemplatePanel::entered, this, &TemplateList::enter);
        connect(p, &TemplatePanel::typeEdited, this, [this](int row, const QString &type) {
            if (enter(row))
                m_rules->templates().setValue(QStringLiteral("TUR"), type);
        });
        connect(p, &TemplatePanel::descriptionEdited, this, [this](int row, const QString &text) {
            if (enter(row))
                m_rules->templates().setValue(QStringLiteral("ACIK"), text);
        });
        connect(p, &TemplatePanel::documentRequested, this, &TemplateList::openDocument);
        connect(p, &TemplatePanel::deleteRequested, this, &TemplateList::removeTemplate);
        connect(p, &TemplatePanel::addRequested, this, &TemplateList::addTemplate);
        m_panels << p;
    }
    sizePanels();
    refreshPanels();
}

void TemplateList::refreshPanels()
{
    const db::DataSet &ds = m_rules->templates();
    for (TemplatePanel *p : m_panels) {
        const int r = p->row();
        if (r >= ds.count())
            continue;
        const QString type = ds.rowValue(r, QStringLiteral("TUR")).toString();
        p->showValues(type, TemplateRules::bodyText(type), ds.rowValue(r, QStringLiteral("SNO")),
                      ds.rowValue(r, QStringLiteral("ACIK")).toString());
        p->setCurrent(r == ds.currentRow());
    }
    if (ds.currentRow() >= 0 && ds.currentRow() < m_panels.size())
        m_scroll->ensureWidgetVisible(m_panels[ds.currentRow()], 0, 0);
}

void TemplateList::resizeEvent(QResizeEvent *event)
{
    ButtonCloseDialog::resizeEvent(event);
    sizePanels();
}

void TemplateList::sizePanels()
{
    // Four panels fill the list.
    const int height = qMax(90, (m_scroll->viewport()->height() - 8) / 4);
    for (TemplatePanel *p : m_panels)
        p->setFixedHeight(height);
}

bool TemplateList::enter(int row)
{
    db::DataSet &ds = m_rules->templates();
    if (ds.currentRow() == row)
        return true;
    if (ds.setCurrentRow(row))
        return true;
    tell(ds.lastError(), ds.lastErrorDetails());
    // The row being left keeps the focus until it can be stored.
    if (ds.currentRow() >= 0 && ds.currentRow() < m_panels.size())
        m_panels[ds.currentRow()]->descriptionBox()->setFocus();
    return false;
}

void TemplateList::addTemplate()
{
    if (!m_rules->add()) {
        tell(m_rules->lastError(), m_rules->lastErrorDetails());
        return;
    }
    const int row = m_rules->templates().currentRow();
    if (row >= 0 && row < m_panels.size())
        m_panels[row]->descriptionBox()->setFocus();
}

void TemplateList::openDocument(int row)
{
    if (!enter(row))
        return;
    db::DataSet &ds = m_rules->templates();
    const int number = ds.value(QStringLiteral("SNO")).toInt();
    if (number == 0)
        return;
    // The document is written by the template's number: the row is stored first.
    if (!m_rules->postPending()) {
        tell(m_rules->lastError(), m_rules->lastErrorDetails());
        return;
    }
    TemplateEditor editor(m_session, *m_rules, this);
    if (editor.prepare(number))
        m_dialogs.exec(editor);
}

void TemplateList::removeTemplate(int row)
{
    if (!enter(row))
        return;
    if (!m_rules->remove(this))
        tell(m_rules->lastError(), m_rules->lastErrorDetails());
}

bool TemplateList::leave()
{
    if (!m_rules->postPending()) {
        tell(m_rules->lastError(), m_rules->lastErrorDetails());
        return false;
    }
    // Every change was committed by its own command.
    m_rules->templates().close();
    closeThroughButton(QDialog::Accepted);
    return true;
}

} // namespace mizro::documents
