#include "decisioncard.h"

#include "db/dataset.h"
#include "ui/fieldbinder.h"

#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

namespace mizro::reg {

namespace {

QToolButton *pictureButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &label)
{
    auto *b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setText(label);
    b->setToolTip(DecisionCard::hint());
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    return b;
}

// A caption above its box, tall enough for the dots of capital letters.
QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setMinimumHeight(l->fontMetrics().height() + 2);
    return l;
}

} // namespace

DecisionCard::DecisionCard(QWidget *parent)
    : ui::Card(parent), m_body(new QWidget(this)), m_number(new QLineEdit(m_body)),
      m_order(new QLineEdit(m_body)), m_summary(new QPlainTextEdit(m_body)),
      m_delete(pictureButton(m_body, QStyle::SP_TrashIcon, QStringLiteral("Karar   Sil"))),
      m_text(
          pictureButton(m_body, QStyle::SP_FileDialogDetailedView, QStringLiteral("Karar Metni"))),
      m_save(pictureButton(m_body, QStyle::SP_DialogSaveButton, QStringLiteral("Kayıt")))
{
    m_number->setObjectName(QStringLiteral("KARNO"));
    m_order->setObjectName(QStringLiteral("SNO"));
    m_summary->setObjectName(QStringLiteral("OZET"));
    for (QLineEdit *e : {m_number, m_order}) {
        e->setValidator(new QIntValidator(0, 32767, e));
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    }
    m_summary->setTabChangesFocus(true);
    m_summary->setMinimumHeight(m_summary->fontMetrics().lineSpacing() * 2 + 8);
    m_summary->setMinimumWidth(m_summary->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);

    auto *grid = new QGridLayout(m_body);
    grid->setContentsMargins(4, 4, 4, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(label(QStringLiteral("Karar No"), m_body), 0, 0);
    grid->addWidget(m_number, 1, 0, Qt::AlignTop);
    grid->addWidget(label(QStringLiteral("Sıra No"), m_body), 0, 1);
    grid->addWidget(m_order, 1, 1, Qt::AlignTop);
    grid->addWidget(label(QStringLiteral("Özeti"), m_body), 0, 2);
    grid->addWidget(m_summary, 1, 2);
    grid->addWidget(m_delete, 0, 3, 2, 1);
    grid->addWidget(m_text, 0, 4, 2, 1);
    grid->addWidget(m_save, 0, 5, 2, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(1, 1);
    auto *outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_body);

    connect(m_number, &QLineEdit::textEdited, this, [this](const QString &t) {
        write(QStringLiteral("KARNO"), ui::FieldBinder::value(t, ui::FieldBinder::Kind::Number));
    });
    connect(m_order, &QLineEdit::textEdited, this, [this](const QString &t) {
        write(QStringLiteral("SNO"), ui::FieldBinder::value(t, ui::FieldBinder::Kind::Number));
    });
    connect(m_summary, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showing || !m_ds)
            return;
        QString text = m_summary->toPlainText();
        const int length = m_ds->fieldLength(QStringLiteral("OZET"));
        if (length > 0 && text.size() > length) {
            // The box takes no more than the column holds.
            text.truncate(length);
            m_showing = true;
            m_summary->setPlainText(text);
            m_summary->moveCursor(QTextCursor::End);
            m_showing = false;
        }
        write(QStringLiteral("OZET"), text.isEmpty() ? QVariant() : QVariant(text));
    });
}

void DecisionCard::write(const QString &field, const QVariant &value)
{
    if (m_showing || !m_ds || !m_current || m_row != m_ds->currentRow())
        return;
    // The card already shows what the clerk typed.
    m_writing = true;
    m_ds->setValue(field, value);
    m_writing = false;
}

void DecisionCard::showRow(db::DataSet &dataSet, int row, bool current)
{
    m_ds = &dataSet;
    m_row = row;
    m_current = current;
    m_showing = true;
    m_body->setVisible(row >= 0);
    if (row >= 0 && !m_writing) {
        const auto number = [&](const QString &f) {
            const QVariant v = dataSet.rowValue(row, f);
            return v.isNull() ? QString() : QString::number(v.toInt());
        };
        if (m_number->text() != number(QStringLiteral("KARNO")))
            m_number->setText(number(QStringLiteral("KARNO")));
        if (m_order->text() != number(QStringLiteral("SNO")))
            m_order->setText(number(QStringLiteral("SNO")));
        const QString summary = dataSet.rowValue(row, QStringLiteral("OZET")).toString();
        if (m_summary->toPlainText() != summary)
            m_summary->setPlainText(summary);
    }
    for (QLineEdit *e : {m_number, m_order})
        e->setReadOnly(!current);
    m_summary->setReadOnly(!current);
    m_showing = false;
}

} // namespace mizro::reg
