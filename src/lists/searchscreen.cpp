#include "searchscreen.h"

#include "searchrules.h"

#include "db/dberror.h"
#include "ui/body.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::lists {

SearchScreen::SearchScreen(ui::Session &session, const ui::Body &body, QWidget *parent)
    : ReactivatingDialog(parent), m_session(session),
      m_rules(std::make_unique<SearchRules>(session.database(), body)), m_text(new QLineEdit(this)),
      m_results(new QListWidget(this)), m_start(new QPushButton(QStringLiteral("Başla"), this)),
      m_exit(new QPushButton(QStringLiteral("Çıkış"), this))
{
    setObjectName(body.isCommittee() ? QStringLiteral("TFRMENCARA") : QStringLiteral("TFRMMECARA"));
    setWindowTitle(body.isCommittee() ? QStringLiteral("ENCÜMEN KARARLARINDA BİLGİ ARAMA")
                                      : QStringLiteral("MECLİS KARARLARINDA BİLGİ ARAMA"));
    resize(560, 480);
    m_text->setObjectName(QStringLiteral("Edit1"));
    m_results->setObjectName(QStringLiteral("ListBox1"));
    m_results->setUniformItemSizes(true);
    m_start->setObjectName(QStringLiteral("SB1"));
    m_exit->setObjectName(QStringLiteral("SB2"));
    // Enter is handled here: in the text it only moves on to "Başla".
    for (QPushButton *b : {m_start, m_exit}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *label = new QLabel(QStringLiteral("Arama Yapılacak Bilgi"), this);
    label->setBuddy(m_text);
    auto *heading = new QLabel(QStringLiteral("ARAMA SONUÇLARI"), this);
    heading->setBuddy(m_results);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_text);
    layout->addWidget(heading);
    layout->addWidget(m_results, 1);
    layout->addLayout(buttons);

    m_text->installEventFilter(this);
    connect(m_start, &QPushButton::clicked, this, &SearchScreen::start);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
}

SearchScreen::~SearchScreen() = default;

QStringList SearchScreen::resultLines() const
{
    QStringList lines;
    for (int i = 0; i < m_results->count(); ++i)
        lines << m_results->item(i)->text();
    return lines;
}

void SearchScreen::showEvent(QShowEvent *event)
{
    ReactivatingDialog::showEvent(event);
    try {
        m_rules->read();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    formActivate();
}

bool SearchScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in the text only moves on to "Başla".
            m_start->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SearchScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SearchScreen::formActivate()
{
    m_results->clear();
    m_text->clear();
    m_text->setFocus();
}

void SearchScreen::start()
{
    const QString text = m_text->text();
    if (text.isEmpty()) {
        m_session.messages().information(this, emptyTextMessage());
        // The box has been closed: the screen is back, emptied.
        backFromOwnWindow();
        return;
    }
    const QStringList lines = m_rules->search(text);
    m_results->setUpdatesEnabled(false);
    m_results->clear();
    m_results->addItems(lines);
    m_results->setUpdatesEnabled(true);
}

void SearchScreen::done(int result)
{
    m_rules->release();
    QDialog::done(result);
}

} // namespace mizro::lists
