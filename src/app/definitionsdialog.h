#pragma once

#include "ui/buttonclosedialog.h"

#include <QHash>
#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace mizro::db {
class DataSet;
}
namespace mizro::ui {
class Session;
}

namespace mizro::app {

/// TFRMGENTAN: the installation's definitions record. Left only through its
/// buttons (or a click on their bar, which stores).
class DefinitionsDialog : public ui::ButtonCloseDialog {
    Q_OBJECT
public:
    explicit DefinitionsDialog(ui::Session &session, QWidget *parent = nullptr);
    ~DefinitionsDialog() override;

    db::DataSet &record() const { return *m_record; }
    QLineEdit *field(const QString &column) const { return m_fields.value(column); }
    QComboBox *printerType() const { return m_printer; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }
    QWidget *buttonBar() const { return m_bar; }

    void save();
    void cancel();
    /// Panel3Click: store if editing, then close.
    void barClicked();

    /// "Düz" and "Form" are kept as their first letter.
    static QString printerTypeText(const QString &stored);

protected:
    void showEvent(QShowEvent *event) override;
    /// Esc is "ESC-İptal".
    void refusedEscape() override { cancel(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool store();
    void closeWithPermission();

    ui::Session &m_session;
    std::unique_ptr<db::DataSet> m_record;
    QHash<QString, QLineEdit *> m_fields;
    QComboBox *m_printer;
    QWidget *m_bar;
    QPushButton *m_save;
    QPushButton *m_cancel;
    bool m_filling = false;
};

} // namespace mizro::app
