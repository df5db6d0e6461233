#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QCheckBox;

namespace mizro::ui {
class Session;
}

namespace mizro::app {

/// TFRMGIRIS: the login shown at start when the definitions ask for one.
/// With no user yet it asks for the first user instead. A password can be
/// changed here by giving the current one. Three wrong tries, or "Vazgeç",
/// refuse the login.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxAttempts = 3;

    explicit LoginDialog(ui::Session &session, QWidget *parent = nullptr);

    /// Clears the fields and decides between login and first-user mode.
    void prepare();
    bool firstUserMode() const { return m_firstUser; }
    bool refused() const { return m_refused; }
    const QString &userName() const { return m_userName; }

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *passwordField() const { return m_password; }
    QLineEdit *newPasswordField() const { return m_newPassword; }
    QLineEdit *repeatField() const { return m_repeat; }
    QCheckBox *changePassword() const { return m_change; }
    QPushButton *loginButton() const { return m_login; }
    QPushButton *cancelButton() const { return m_cancel; }

    void attempt();

    static QString wrongText() { return QStringLiteral("Kullanıcı adı ya da şifre yanlış."); }

public slots:
    void reject() override;

private:
    bool checkNewPassword();
    void layoutForMode();

    ui::Session &m_session;
    QLabel *m_heading;
    QLineEdit *m_name;
    QLineEdit *m_password;
    QCheckBox *m_change;
    QLabel *m_newLabel;
    QLineEdit *m_newPassword;
    QLabel *m_repeatLabel;
    QLineEdit *m_repeat;
    QPushButton *m_login;
    QPushButton *m_cancel;
    bool m_firstUser = false;
    bool m_refused = false;
    int m_attempts = 0;
    QString m_userName;
};

} // namespace mizro::app
