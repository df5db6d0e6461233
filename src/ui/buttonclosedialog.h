#pragma once

#include <QDialog>

namespace mizro::ui {

/// A dialog left only through its own buttons: Esc and the window's own
/// close are refused until one of its buttons closes it.
class ButtonCloseDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

public slots:
    void reject() override;

protected:
    /// Closes with the result; called by the dialog's buttons.
    void closeThroughButton(int result);
    /// Esc while closing is refused; a dialog may give it to a button.
    virtual void refusedEscape() {}

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_mayClose = false;
};

} // namespace mizro::ui
