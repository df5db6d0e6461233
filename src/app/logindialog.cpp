#include "logindialog.h"

#include "userstore.h"

#include "db/dberror.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::app {

LoginDialog::LoginDialog(ui::Session &session, QWidget *parent)
    : QDialog(parent), m_session(session), m_heading(new QLabel(this)), m_name(new QLineEdit(this)),
      m_password(new QLineEdit(this)),
      m_change(new QCheckBox(QStringLiteral("Şifremi değiştirmek istiyorum"), this)),
      m_newLabel(new QLabel(QStringLiteral("Yeni Şifre"), this)),
      m_newPassword(new QLineEdit(this)),
      m_repeatLabel(new QLabel(QStringLiteral("Yeni Şifre (Tekrar)"), this)),
      m_repeat(new QLineEdit(this)), m_login(new QPushButton(QStringLiteral("Giriş"), this)),
      m_cancel(new QPushButton(QStringLiteral("Vazgeç"), this))
{
    setObjectName(QStringLiteral("TFRMGIRIS"));
    setWindowTitle(QStringLiteral("KULLANICI GİRİŞİ"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_name->setMaxLength(30);
    for (QLineEdit *e : {m_password, m_newPassword, m_repeat})
        e->setEchoMode(QLineEdit::Password);
    QFont f = m_heading->font();
    f.setBold(true);
    m_heading->setFont(f);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Kullanıcı Adı"), m_name);
    form->addRow(QStringLiteral("Şifre"), m_password);
    form->addRow(m_change);
    form->addRow(m_newLabel, m_newPassword);
    form->addRow(m_repeatLabel, m_repeat);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_login);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addLayout(form);
    layout->addLayout(buttons);
    m_login->setDefault(true);
    m_cancel->setAutoDefault(false);
    connect(m_login, &QPushButton::clicked, this, &LoginDialog::attempt);
    connect(m_cancel, &QPushButton::clicked, this, &LoginDialog::reject);
    connect(m_change, &QCheckBox::toggled, this, &LoginDialog::layoutForMode);
    // The users are looked up only when the login is shown (prepare()), not at start.
    layoutForMode();
}

void LoginDialog::prepare()
{
    m_refused = false;
    m_attempts = 0;
    m_userName.clear();
    for (QLineEdit *e : {m_name, m_password, m_newPassword, m_repeat})
        e->clear();
    m_change->setChecked(false);
    try {
        m_firstUser = !UserStore(m_session.database()).hasUsers();
    } catch (const db::DbError &) {
        m_firstUser = false;
    }
    layoutForMode();
    m_name->setFocus();
}

void LoginDialog::layoutForMode()
{
    const bool askNew = m_firstUser || m_change->isChecked();
    m_heading->setText(m_firstUser ? QStringLiteral("İlk kullanıcıyı tanımlayınız")
                                   : QStringLiteral("Kullanıcı adınızı ve şifrenizi giriniz"));
    m_change->setVisible(!m_firstUser);
    if (auto *form = findChild<QFormLayout *>())
        form->setRowVisible(m_password, !m_firstUser);
    m_newLabel->setVisible(askNew);
    m_newPassword->setVisible(askNew);
    m_repeatLabel->setVisible(askNew);
    m_repeat->setVisible(askNew);
}

bool LoginDialog::checkNewPassword()
{
    if (m_newPassword->text().size() < UserStore::MinimumPasswordLength) {
        m_session.messages().information(this,
                                         QStringLiteral("Yeni şifre en az %1 karakter olmalı.")
                                             .arg(UserStore::MinimumPasswordLength));
        return false;
    }
    if (m_newPassword->text() != m_repeat->text()) {
        m_session.messages().information(this,
                                         QStringLiteral("Yeni şifre ile tekrarı aynı değil."));
        return false;
    }
    return true;
}

void LoginDialog::attempt()
{
    const QString name = m_name->text().trimmed();
    UserStore store(m_session.database());
    try {
        if (m_firstUser) {
            if (name.isEmpty()) {
                m_session.messages().information(this, QStringLiteral("Kullanıcı adını giriniz."));
                return;
            }
            if (!checkNewPassword())
                return;
            store.addUser(name, m_newPassword->text());
        } else {
            if (!store.verify(name, m_password->text())) {
                m_password->clear();
                if (++m_attempts >= MaxAttempts) {
                    m_session.messages().information(
                        this, wrongText() + QStringLiteral("\nÜç kez yanlış giriş yapıldı; "
                                                           "program kapatılıyor."));
                    m_refused = true;
                    done(QDialog::Rejected);
                    return;
                }
                m_session.messages().information(this, wrongText());
                return;
            }
            if (m_change->isChecked()) {
                if (!checkNewPassword())
                    return;
                store.setPassword(name, m_newPassword->text());
                m_session.messages().information(this, QStringLiteral("Şifreniz değiştirildi."));
            }
        }
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
        return;
    }
    m_userName = name;
    m_refused = false;
    done(QDialog::Accepted);
}

void LoginDialog::reject()
{
    m_refused = true;
    QDialog::reject();
}

} // namespace mizro::app
