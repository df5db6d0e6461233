#pragma once

#include <QFrame>
#include <QVector>
#include <functional>

class QScrollBar;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {

/// One card of a CardList: the widgets that show one row.
class Card : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
    /// Shows the row; the current row is shown from the data set's edit
    /// buffer and is the only one that edits. row is -1 for an empty card.
    virtual void showRow(db::DataSet &dataSet, int row, bool current) = 0;
};

/// Rows of a data set as a column of cards, the current one highlighted.
/// Only the cards in view exist: scrolling binds them to other rows, so a
/// long list costs no more than a short one. A click into a card makes its
/// row current (storing a pending row first, as any move does).
class CardList : public QFrame {
    Q_OBJECT
public:
    using Factory = std::function<Card *(QWidget *parent)>;

    CardList(int visibleCards, Factory factory, QWidget *parent = nullptr);

    void setDataSet(db::DataSet *dataSet);
    db::DataSet *dataSet() const { return m_dataSet; }
    int visibleCards() const { return int(m_cards.size()); }
    Card *card(int slot) const { return m_cards.value(slot); }
    /// The card showing the current row, if it is in view.
    Card *currentCard() const;
    /// The row the first card shows.
    int firstRow() const { return m_first; }
    QScrollBar *scrollBar() const { return m_bar; }
    /// Shows the cards again from the data set.
    void refresh();

signals:
    /// A mouse button went down in the card of row, elsewhere than on one of
    /// its buttons (before any move).
    void cardPressed(int row);
    /// Moving to another row was refused; the data set tells why.
    void moveFailed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void follow(int row);
    void scrollTo(int first);
    void moveTo(int row);
    void watch(QWidget *widget);

    Factory m_factory;
    QVector<Card *> m_cards;
    QScrollBar *m_bar;
    db::DataSet *m_dataSet = nullptr;
    int m_first = 0;
    bool m_scrolling = false;
};

} // namespace mizro::ui
