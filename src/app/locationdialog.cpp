#include "locationdialog.h"

#include "openfailure.h"
#include "settings.h"

#include "db/dberror.h"
#include "ui/fileprompts.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mizro::app {

LocationDialog::LocationDialog(ui::Session &session, QWidget *parent)
    : ButtonCloseDialog(parent), m_session(session), m_server(new QLineEdit(this)),
      m_directory(new QLineEdit(this)), m_year(new QLineEdit(this)), m_file(new QLabel(this)),
      m_full(new QLabel(this)), m_reason(new QLabel(this)), m_output(new QPlainTextEdit(this)),
      m_save(new QPushButton(QStringLiteral("F5-Kayıt"), this)),
      m_cancel(new QPushButton(QStringLiteral("F6-Vazgeç"), this)),
      m_test(new QPushButton(QStringLiteral("Test Et"), this)),
      m_defaults(new QPushButton(QStringLiteral("Default Değerler"), this)),
      m_choose(new QToolButton(this))
{
    setObjectName(QStringLiteral("TFRMSYSTEM"));
    setWindowTitle(QStringLiteral("SİSTEM TANIMLARI"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(560, 420);
    m_server->setObjectName(QStringLiteral("Edit1"));
    m_directory->setObjectName(QStringLiteral("Edit2"));
    m_year->setObjectName(QStringLiteral("Edit3"));
    m_file->setObjectName(QStringLiteral("STDOSYA"));
    m_full->setObjectName(QStringLiteral("STFULL"));
    m_output->setObjectName(QStringLiteral("Memo1"));
    m_output->setReadOnly(true);
    m_full->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_full->setWordWrap(true);
    m_reason->setObjectName(QStringLiteral("STDURUM"));
    m_reason->setWordWrap(true);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->setStyleSheet(QStringLiteral("color: #a40000; font-weight: bold;"));
    m_choose->setObjectName(QStringLiteral("SpeedButton2"));
    m_choose->setText(QStringLiteral("..."));
    m_choose->setToolTip(QStringLiteral("Veritabanı dosyasını seçiniz"));
    for (QPushButton *b : {m_save, m_cancel, m_test, m_defaults})
        b->setAutoDefault(false);

    auto *heading = new QGroupBox(QStringLiteral("VERİTABANI TANIMLARI"), this);
    auto *form = new QFormLayout(heading);
    form->addRow(QStringLiteral("Ana Makina"), m_server);
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(m_directory, 1);
    form->addRow(QStringLiteral("Veritabanı Yolu"), dirRow);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_choose);
    form->addRow(QStringLiteral("Veritabanı Dosyası"), fileRow);
    form->addRow(QStringLiteral("Çalışma Yılı"), m_year);
    form->addRow(m_full);
    form->addRow(m_reason);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_test);
    buttons->addWidget(m_defaults);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_output, 1);
    layout->addLayout(buttons);

    for (QLineEdit *e : {m_server, m_directory, m_year})
        connect(e, &QLineEdit::textChanged, this, &LocationDialog::degerBul);
    connect(m_save, &QPushButton::clicked, this, &LocationDialog::save);
    connect(m_cancel, &QPushButton::clicked, this, &LocationDialog::cancel);
    connect(m_test, &QPushButton::clicked, this, &LocationDialog::test);
    connect(m_defaults, &QPushButton::clicked, this, &LocationDialog::defaults);
    connect(m_choose, &QToolButton::clicked, this, &LocationDialog::chooseFile);
    auto *saveKey = new QAction(this);
    saveKey->setShortcut(Qt::Key_F5);
    connect(saveKey, &QAction::triggered, this, &LocationDialog::save);
    auto *cancelKey = new QAction(this);
    cancelKey->setShortcut(Qt::Key_F6);
    connect(cancelKey, &QAction::triggered, this, &LocationDialog::cancel);
    addActions({saveKey, cancelKey});
    degerBul();
}

void LocationDialog::showEvent(QShowEvent *event)
{
    ButtonCloseDialog::showEvent(event);
    const Settings s = Settings::readLocation();
    m_session.setWorkingYear(s.yil);
    m_year->setText(m_session.workingYear());
    m_directory->setText(s.yol);
    m_server->setText(s.srv);
    m_output->clear();
    m_directory->setFocus();
}

void LocationDialog::showFailure(const OpenFailure &failure)
{
    m_reason->setText(
        failure.isEmpty() ? QString() : QStringLiteral("Veritabanı açılamadı: ") + failure.reason);
    m_reason->setToolTip(failure.details);
}

void LocationDialog::degerBul()
{
    m_file->setText(databaseFileName());
    m_full->setText(databaseName(m_server->text(), m_directory->text()));
}

void LocationDialog::save()
{
    const QString server = m_server->text();
    const QString directory = m_directory->text();
    const QString full = databaseName(server, directory);
    if (server.isEmpty()) {
        if (!QFileInfo(directory).isDir()) {
            m_session.messages().information(
                this, QStringLiteral("DİKKAT! Veritabanı Yolu Bulunamadı..!"));
            m_directory->setFocus();
            return;
        }
        if (!QFileInfo(full).isFile()) {
            m_session.messages().information(
                this, QStringLiteral("DİKKAT! Veritabanı Dosyası Bulunamadı..!"));
            return;
        }
    }
    db::Database &db = m_session.database();
    OpenFailure failure;
    db.disconnect();
    db.setDatabaseName(full);
    try {
        db.connect();
    } catch (const db::DbError &e) {
        failure = OpenFailure::explain(full, e);
    }
    if (failure.isEmpty() && !Settings::writeLocation(m_year->text(), server, directory))
        failure.reason = QStringLiteral("Ayarlar kaydedilemedi: ayar dosyasına yazılamıyor.");
    showFailure(failure);
    if (!failure.isEmpty()) {
        m_session.messages().error(this, QStringLiteral("Veritabanı Tanımlarında Hata Var"),
                                   failure.details);
        return;
    }
    m_session.server = server;
    m_session.directory = directory;
    m_session.setWorkingYear(m_year->text());
    m_outcome = Outcome::Saved;
    closeWithOutcome();
}

void LocationDialog::cancel()
{
    m_outcome = Outcome::Cancelled;
    closeWithOutcome();
}

void LocationDialog::test()
{
    if (!m_server->text().isEmpty())
        return;
    const QString directory = m_directory->text();
    m_output->clear();
    m_output->appendPlainText(QStringLiteral("Test işlemi başladı....."));
    if (QFileInfo(databaseName(QString(), directory)).isFile()) {
        m_output->appendPlainText(QStringLiteral("Dosya Adı Doğrulandı....."));
        m_output->appendPlainText(QStringLiteral("."));
    } else {
        m_output->appendPlainText(QStringLiteral("!!!!!!Dosya Adı Bulunamadı....."));
    }
    if (QFileInfo(directory).isDir()) {
        m_output->appendPlainText(QStringLiteral("Veritabanı Yolu Doğrulandı....."));
        m_output->appendPlainText(QStringLiteral("."));
    } else {
        m_output->appendPlainText(QStringLiteral("!!!!!!Veritabanı Yolu Bulunamadı....."));
    }
    // A file that is there but cannot be a database says so without a try.
    const QString why = OpenFailure::fileReason(databaseName(QString(), directory));
    showFailure(why.isEmpty() || !QFileInfo::exists(databaseName(QString(), directory))
                    ? OpenFailure{}
                    : OpenFailure{why, QString()});
}

void LocationDialog::defaults()
{
    if (!m_session.messages().question(
            this, QStringLiteral("DİKKAT! Mevcut Verilerin Değiştirilmesi Programın Çalışmasını "
                                 "Engelleyebilir. Onaylıyormusunuz.?")))
        return;
    m_directory->setText(
        QDir::toNativeSeparators(QDir::currentPath() + QStringLiteral("/DATA/") + programName()));
}

void LocationDialog::chooseFile()
{
    const QString chosen =
        m_session.files().openFile(this, QStringLiteral("Veritabanı Dosyası"), m_directory->text(),
                                   QStringLiteral("Veritabanı Dosyası (*.GDB *.gdb)"));
    if (chosen.isEmpty())
        return;
    // The file is always MIZRO.GDB: only its folder is taken.
    m_directory->setText(QDir::toNativeSeparators(QFileInfo(chosen).absolutePath()));
}

void LocationDialog::closeWithOutcome()
{
    showFailure({});
    closeThroughButton(m_outcome == Outcome::Saved ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace mizro::app
