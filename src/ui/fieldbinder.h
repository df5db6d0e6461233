#pragma once

#include <QObject>
#include <QStringList>
#include <QVector>
#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {

/// Binds editors to the fields of a data set's current row: they show the
/// row as it moves or changes, and what the clerk types goes into the row
/// (which goes into editing). Texts take no more characters than their
/// column holds.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    enum class Kind { Text, Number, Date, Time };

    explicit FieldBinder(db::DataSet &dataSet, QObject *parent = nullptr);

    /// mask: a QLineEdit input mask, or empty for free typing. Dates are
    /// day/month/year, times hours:minutes; an empty box is a NULL value,
    /// and so is a date or time the box does not hold a valid one of.
    void bind(QLineEdit *edit, const QString &field, Kind kind, const QString &mask = {});
    /// A drop-down whose items carry the stored codes as their data; an
    /// empty or unknown value shows no choice, and the Delete key clears it.
    void bindChoice(QComboBox *box, const QString &field);

    /// Shows the current row again.
    void refresh();
    /// The first box whose text is no date, time or number of its kind (it
    /// would be stored as empty), and what to tell the clerk about it.
    QWidget *unreadable() const;
    QString unreadableText(const QWidget *widget) const;

    static QString text(const QVariant &value, Kind kind);
    static QVariant value(const QString &text, Kind kind);
    static const char *dateMask() { return "00/00/9999;_"; }
    static const char *timeMask() { return "09:99;_"; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Binding {
        QWidget *widget;
        QString field;
        Kind kind;
    };
    void write(const Binding &b, const QVariant &value);

    db::DataSet &m_ds;
    QVector<Binding> m_bindings;
    bool m_showing = false;
    const QWidget *m_writing = nullptr;
};

} // namespace mizro::ui
