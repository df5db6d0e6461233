#include "fieldbinder.h"

#include "db/dataset.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTime>
#include <utility>

namespace mizro::ui {

FieldBinder::FieldBinder(db::DataSet &dataSet, QObject *parent) : QObject(parent), m_ds(dataSet)
{
    connect(&m_ds, &db::DataSet::currentRowChanged, this, &FieldBinder::refresh);
    connect(&m_ds, &db::DataSet::stateChanged, this, &FieldBinder::refresh);
    connect(&m_ds, &QAbstractItemModel::modelReset, this, &FieldBinder::refresh);
    connect(&m_ds, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
                const int row = m_ds.currentRow();
                if (row >= from.row() && row <= to.row())
                    refresh();
            });
}

QString FieldBinder::text(const QVariant &value, Kind kind)
{
    if (value.isNull() || !value.isValid())
        return QString();
    switch (kind) {
    case Kind::Date:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case Kind::Time:
        return value.toTime().toString(QStringLiteral("HH:mm"));
    case Kind::Number:
        return QString::number(value.toLongLong());
    case Kind::Text:
        break;
    }
    return value.toString();
}

QVariant FieldBinder::value(const QString &text, Kind kind)
{
    const QString t = text.trimmed();
    switch (kind) {
    case Kind::Text:
        return t.isEmpty() && text.isEmpty() ? QVariant() : QVariant(text);
    case Kind::Number: {
        bool ok = false;
        // The column's range is the database's to check, never cut here.
        const qlonglong n = t.toLongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    case Kind::Date: {
        for (const char *format : {"d/M/yyyy", "d.M.yyyy", "d-M-yyyy", "d/M/yy", "d.M.yy"}) {
            QDate d = QDate::fromString(t, QLatin1String(format));
            if (d.isValid()) {
                if (d.year() < 100)
                    d = d.addYears(2000 - 1900);
                return d;
            }
        }
        return QVariant();
    }
    case Kind::Time: {
        for (const char *format : {"H:mm", "H:m", "H.mm", "Hmm"}) {
            const QTime time = QTime::fromString(t, QLatin1String(format));
            if (time.isValid())
                return time;
        }
        return QVariant();
    }
    }
    return QVariant();
}

void FieldBinder::bind(QLineEdit *edit, const QString &field, Kind kind, const QString &mask)
{
    if (!mask.isEmpty())
        edit->setInputMask(mask);
    if (kind == Kind::Number)
        edit->setValidator(new QIntValidator(-32768, 32767, edit));
    m_bindings.append({edit, field, kind});
    const Binding b = m_bindings.last();
    connect(edit, &QLineEdit::textEdited, this,
            [this, b](const QString &text) { write(b, value(text, b.kind)); });
    refresh();
}

void FieldBinder::bindChoice(QComboBox *box, const QString &field)
{
    m_bindings.append({box, field, Kind::Text});
    const Binding b = m_bindings.last();
    connect(box, &QComboBox::activated, this,
            [this, b, box](int index) { write(b, box->itemData(index)); });
    box->installEventFilter(this);
    refresh();
}

bool FieldBinder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        for (const Binding &b : std::as_const(m_bindings)) {
            if (b.widget == watched) {
                static_cast<QComboBox *>(b.widget)->setCurrentIndex(-1);
                write(b, QVariant());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void FieldBinder::write(const Binding &b, const QVariant &value)
{
    if (m_showing || m_ds.currentRow() < 0)
        return;
    QVariant v = value;
    if (b.kind == Kind::Text && v.typeId() == QMetaType::QString) {
        const int length = m_ds.fieldLength(b.field);
        if (length > 0 && v.toString().size() > length)
            v = v.toString().left(length);
    }
    // The editor being typed into already shows what it writes.
    const QWidget *before = std::exchange(m_writing, b.widget);
    m_ds.setValue(b.field, v);
    m_writing = before;
}

QWidget *FieldBinder::unreadable() const
{
    for (const Binding &b : m_bindings) {
        auto *edit = qobject_cast<QLineEdit *>(b.widget);
        if (!edit || b.kind == Kind::Text)
            continue;
        // A masked box that is empty still shows its separators.
        const QString typed = edit->displayText().remove(QLatin1Char('_')).trimmed();
        const bool empty =
            typed.isEmpty() || typed == QStringLiteral("//") || typed == QStringLiteral(":");
        if (!empty && value(edit->text(), b.kind).isNull())
            return edit;
    }
    return nullptr;
}

QString FieldBinder::unreadableText(const QWidget *widget) const
{
    for (const Binding &b : m_bindings) {
        if (b.widget != widget)
            continue;
        switch (b.kind) {
        case Kind::Date:
            return QStringLiteral("Geçerli bir tarih giriniz (gün/ay/yıl).");
        case Kind::Time:
            return QStringLiteral("Geçerli bir saat giriniz (saat:dakika).");
        case Kind::Number:
            return QStringLiteral("Bu alana bir sayı giriniz.");
        case Kind::Text:
            break;
        }
    }
    return QString();
}

void FieldBinder::refresh()
{
    m_showing = true;
    const bool hasRow = m_ds.isOpen() && m_ds.currentRow() >= 0;
    for (const Binding &b : std::as_const(m_bindings)) {
        if (b.widget == m_writing)
            continue;
        const QVariant v = hasRow ? m_ds.value(b.field) : QVariant();
        if (auto *box = qobject_cast<QComboBox *>(b.widget)) {
            box->setCurrentIndex(v.isNull() ? -1 : box->findData(v));
            continue;
        }
        auto *edit = static_cast<QLineEdit *>(b.widget);
        const int length = m_ds.fieldLength(b.field);
        if (b.kind == Kind::Text && length > 0)
            edit->setMaxLength(length);
        // What the clerk is typing stays as typed while it means the same
        // (a date half typed is NULL until it is whole).
        if (edit->hasFocus() && value(edit->text(), b.kind) == v)
            continue;
        const QString shown = text(v, b.kind);
        if (edit->text() != shown)
            edit->setText(shown);
    }
    m_showing = false;
}

} // namespace mizro::ui
