#include "cardlist.h"

#include "db/dataset.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace mizro::ui {

CardList::CardList(int visibleCards, Factory factory, QWidget *parent)
    : QFrame(parent), m_factory(std::move(factory)), m_bar(new QScrollBar(Qt::Vertical, this))
{
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    auto *cards = new QVBoxLayout;
    cards->setContentsMargins(0, 0, 0, 0);
    cards->setSpacing(1);
    for (int i = 0; i < visibleCards; ++i) {
        Card *card = m_factory(this);
        card->setAutoFillBackground(true);
        cards->addWidget(card, 1);
        m_cards << card;
        watch(card);
    }
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addLayout(cards, 1);
    layout->addWidget(m_bar);
    m_bar->setRange(0, 0);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_scrolling)
            scrollTo(value);
    });
}

void CardList::watch(QWidget *widget)
{
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

void CardList::setDataSet(db::DataSet *dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_first = 0;
    if (dataSet) {
        connect(dataSet, &db::DataSet::currentRowChanged, this, &CardList::follow);
        connect(dataSet, &db::DataSet::stateChanged, this, [this] { refresh(); });
        connect(dataSet, &QAbstractItemModel::modelReset, this, [this] { follow(-2); });
        connect(dataSet, &QAbstractItemModel::rowsInserted, this, [this] { refresh(); });
        connect(dataSet, &QAbstractItemModel::rowsRemoved, this, [this] { refresh(); });
        connect(dataSet, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &from, const QModelIndex &to) {
                    for (int r = from.row(); r <= to.row(); ++r) {
                        const int slot = r - m_first;
                        if (slot >= 0 && slot < m_cards.size())
                            m_cards[slot]->showRow(*m_dataSet, r, r == m_dataSet->currentRow());
                    }
                });
    }
    follow(-2);
}

Card *CardList::currentCard() const
{
    if (!m_dataSet)
        return nullptr;
    const int slot = m_dataSet->currentRow() - m_first;
    return slot >= 0 && slot < m_cards.size() ? m_cards[slot] : nullptr;
}

void CardList::follow(int)
{
    // Keep the current row in view, moving the window as little as possible.
    const int current = m_dataSet ? m_dataSet->currentRow() : -1;
    int first = m_first;
    if (current >= 0) {
        if (current < first)
            first = current;
        else if (current >= first + visibleCards())
            first = current - visibleCards() + 1;
    }
    scrollTo(first);
}

void CardList::scrollTo(int first)
{
    const int count = m_dataSet ? m_dataSet->count() : 0;
    m_first = qBound(0, first, qMax(0, count - visibleCards()));
    refresh();
}

void CardList::refresh()
{
    const int count = m_dataSet && m_dataSet->isOpen() ? m_dataSet->count() : 0;
    m_first = qBound(0, m_first, qMax(0, count - visibleCards()));
    m_scrolling = true;
    m_bar->setRange(0, qMax(0, count - visibleCards()));
    m_bar->setPageStep(visibleCards());
    m_bar->setValue(m_first);
    m_scrolling = false;
    const int current = m_dataSet ? m_dataSet->currentRow() : -1;
    for (int slot = 0; slot < m_cards.size(); ++slot) {
        const int row = m_first + slot < count ? m_first + slot : -1;
        Card *card = m_cards[slot];
        card->setBackgroundRole(row >= 0 && row == current ? QPalette::AlternateBase
                                                           : QPalette::Window);
        card->setFrameShape(row >= 0 && row == current ? QFrame::Box : QFrame::NoFrame);
        if (m_dataSet)
            card->showRow(*m_dataSet, row, row >= 0 && row == current);
    }
}

void CardList::moveTo(int row)
{
    if (!m_dataSet || row < 0 || row >= m_dataSet->count() || row == m_dataSet->currentRow())
        return;
    if (!m_dataSet->setCurrentRow(row))
        emit moveFailed();
}

bool CardList::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && isEnabled()) {
        for (int slot = 0; slot < m_cards.size(); ++slot) {
            auto *w = qobject_cast<QWidget *>(watched);
            if (w && (w == m_cards[slot] || m_cards[slot]->isAncestorOf(w))) {
                const int row = m_first + slot;
                if (!m_dataSet || row >= m_dataSet->count())
                    return false;
                // A button of the card acts by its own command.
                if (!qobject_cast<QAbstractButton *>(w))
                    emit cardPressed(row);
                moveTo(row);
                // A press on a card that did not become current goes no further.
                return m_dataSet->currentRow() != row;
            }
        }
    }
    return QFrame::eventFilter(watched, event);
}

void CardList::keyPressEvent(QKeyEvent *event)
{
    if (!m_dataSet || event->modifiers() != Qt::NoModifier)
        return QFrame::keyPressEvent(event);
    const int current = m_dataSet->currentRow();
    switch (event->key()) {
    case Qt::Key_Up:
        moveTo(current - 1);
        break;
    case Qt::Key_Down:
        moveTo(current + 1);
        break;
    case Qt::Key_PageUp:
        moveTo(qMax(0, current - visibleCards()));
        break;
    case Qt::Key_PageDown:
        moveTo(qMin(m_dataSet->count() - 1, current + visibleCards()));
        break;
    case Qt::Key_Home:
        moveTo(0);
        break;
    case Qt::Key_End:
        moveTo(m_dataSet->count() - 1);
        break;
    default:
        QFrame::keyPressEvent(event);
    }
}

void CardList::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        scrollTo(m_first - steps);
    event->accept();
}

} // namespace mizro::ui
