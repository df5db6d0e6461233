#pragma once

#include <QDialog>

namespace mizro::ui {

/// A modal screen with an activation handler: formActivate() runs when the
/// screen is shown and each time it becomes active again after another
/// window of the program (a message, a print dialog, a preview), not after
/// another program's window.
class ReactivatingDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    virtual void formActivate() = 0;

protected:
    /// A window of the program that is known to have closed: the screen is
    /// back, and the activation that follows is not counted again.
    void backFromOwnWindow();

    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool m_leftForOwnWindow = false;
};

} // namespace mizro::ui
