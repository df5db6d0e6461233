#pragma once

#include "ui/cardlist.h"

class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace mizro::reg {

/// One decision on the single-screen register's card list: its number,
/// its order number, its summary, and the three picture buttons.
class DecisionCard : public ui::Card {
    Q_OBJECT
public:
    explicit DecisionCard(QWidget *parent = nullptr);

    void showRow(db::DataSet &dataSet, int row, bool current) override;

    QLineEdit *number() const { return m_number; }
    QLineEdit *order() const { return m_order; }
    QPlainTextEdit *summary() const { return m_summary; }
    QToolButton *deleteButton() const { return m_delete; }
    QToolButton *textButton() const { return m_text; }
    QToolButton *saveButton() const { return m_save; }
    int row() const { return m_row; }

    static QString hint() { return QStringLiteral("Karar Metni İçin Tıklayınız.."); }

private:
    void write(const QString &field, const QVariant &value);

    QWidget *m_body;
    QLineEdit *m_number;
    QLineEdit *m_order;
    QPlainTextEdit *m_summary;
    QToolButton *m_delete;
    QToolButton *m_text;
    QToolButton *m_save;
    db::DataSet *m_ds = nullptr;
    int m_row = -1;
    bool m_current = false;
    bool m_showing = false;
    bool m_writing = false;
};

} // namespace mizro::reg
