#include "filecheckdialog.h"

#include "filecheck.h"

#include "db/dberror.h"
#include "db/services.h"
#include "ui/fileprompts.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace mizro::app {

FileCheckDialog::FileCheckDialog(ui::Session &session, QWidget *parent)
    : QDialog(parent), m_session(session), m_check(new QPushButton(QStringLiteral("Kontrol Et"))),
      m_backup(new QPushButton(QStringLiteral("Yedek Al"))),
      m_close(new QPushButton(QStringLiteral("ESC-Çıkış"))), m_findings(new QListWidget),
      m_output(new QPlainTextEdit), m_progress(new QProgressBar), m_result(new QLabel)
{
    setObjectName(QStringLiteral("TFRMDOSYA"));
    setWindowTitle(QStringLiteral("DOSYA  KONTROL İŞLEMİ"));
    resize(720, 520);

    m_check->setObjectName(QStringLiteral("KontrolButton"));
    m_backup->setObjectName(QStringLiteral("YedekButton"));
    m_close->setObjectName(QStringLiteral("CikisButton"));
    m_findings->setObjectName(QStringLiteral("FindingList"));
    m_output->setObjectName(QStringLiteral("OutputText"));
    m_progress->setObjectName(QStringLiteral("ProgressBar"));
    m_result->setObjectName(QStringLiteral("ResultLabel"));

    m_findings->setWordWrap(true);
    m_findings->setFocusPolicy(Qt::StrongFocus);
    m_output->setReadOnly(true);
    m_output->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_output->setMaximumBlockCount(5000);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_result->font();
    bold.setBold(true);
    m_result->setFont(bold);

    auto *layout = new QVBoxLayout(this);
    auto *findingsCaption = new QLabel(QStringLiteral("&Bulunan sorunlar:"));
    findingsCaption->setBuddy(m_findings);
    auto *outputCaption = new QLabel(QStringLiteral("&İşlem çıktısı:"));
    outputCaption->setBuddy(m_output);
    layout->addWidget(findingsCaption);
    layout->addWidget(m_findings, 3);
    layout->addWidget(outputCaption);
    layout->addWidget(m_output, 2);
    layout->addWidget(m_progress);
    layout->addWidget(m_result);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_check);
    buttons->addWidget(m_backup);
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);

    // Enter runs the check; Esc (through reject) or the button leaves.
    m_check->setDefault(true);
    setTabOrder(m_check, m_backup);
    setTabOrder(m_backup, m_close);
    setTabOrder(m_close, m_findings);
    setTabOrder(m_findings, m_output);
    m_check->setFocus();

    connect(m_check, &QPushButton::clicked, this, &FileCheckDialog::check);
    connect(m_backup, &QPushButton::clicked, this, &FileCheckDialog::backup);
    connect(m_close, &QPushButton::clicked, this, &FileCheckDialog::reject);
}

QString FileCheckDialog::defaultBackupPath(const QDate &today) const
{
    const QString path = db::Services::target(m_session.database().databaseName()).path;
    // The directory may be the server's, written with either separator.
    const qsizetype cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf('\\'));
    return path.left(cut + 1) + QStringLiteral("MIZRO-") +
           today.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".FBK");
}

void FileCheckDialog::setBusy(bool busy, const QString &work)
{
    m_busy = busy;
    m_check->setEnabled(!busy);
    m_backup->setEnabled(!busy);
    m_close->setEnabled(!busy);
    // A busy bar while the engine works: neither service says how far it is.
    m_progress->setRange(0, busy ? 0 : 1);
    m_progress->setValue(0);
    delete m_progressDialog;
    m_progressDialog = nullptr;
    m_work = work;
    if (busy) {
        m_output->clear();
        m_result->setText(QStringLiteral("Lütfen bekleyiniz..."));
        m_progressDialog = new QProgressDialog(work, QStringLiteral("İptal"), 0, 0, this);
        m_progressDialog->setObjectName(QStringLiteral("ProgressDialog"));
        m_progressDialog->setWindowTitle(windowTitle());
        m_progressDialog->setWindowModality(Qt::WindowModal);
        m_progressDialog->setAutoClose(false);
        m_progressDialog->setAutoReset(false);
        // Shows itself once the work has lasted this long.
        m_progressDialog->setMinimumDuration(m_progressDelay);
        m_progressDialog->setValue(0);
    }
}

bool FileCheckDialog::cancelRequested() const
{
    return m_progressDialog && m_progressDialog->wasCanceled();
}

void FileCheckDialog::finish(const QString &result, bool done)
{
    setBusy(false);
    m_progress->setValue(done ? 1 : 0);
    m_result->setText(result);
    m_check->setFocus();
}

void FileCheckDialog::showLine(const QString &line)
{
    if (!line.isEmpty()) {
        m_output->appendPlainText(line);
        if (m_progressDialog && !m_progressDialog->wasCanceled())
            m_progressDialog->setLabelText(m_work + QLatin1Char('\n') + line.left(80));
    }
    QCoreApplication::processEvents();
}

void FileCheckDialog::check()
{
    if (m_busy)
        return;
    m_findings->clear();
    setBusy(true, QStringLiteral("Veritabanı dosyası denetleniyor..."));
    FileCheck::Report report;
    try {
        report = FileCheck(m_session.database())
                     .run([this](const QString &l) { showLine(l); },
                          [this] { return cancelRequested(); });
    } catch (const FileCheck::Cancelled &c) {
        finish(c.done, false);
        m_session.messages().information(this, c.done);
        return;
    } catch (const db::DbError &e) {
        finish(QStringLiteral("Dosya denetlenemedi."), false);
        m_session.messages().error(this, e);
        return;
    }
    for (const FileCheck::Finding &f : report.findings())
        m_findings->addItem(f.text);
    if (m_findings->count() > 0)
        m_findings->setCurrentRow(0);
    finish((QStringList{report.summary()} + report.notes()).join(QLatin1Char('\n')), true);
}

void FileCheckDialog::backup()
{
    if (m_busy)
        return;
    const QString target = m_session.files().saveFile(
        this, QStringLiteral("Yedek Dosyası"), defaultBackupPath(QDate::currentDate()),
        QStringLiteral("Yedek Dosyası (*.FBK *.fbk)"));
    if (target.isEmpty())
        return;
    setBusy(true, QStringLiteral("Yedek alınıyor: %1").arg(QDir::toNativeSeparators(target)));
    db::Database &db = m_session.database();
    db::Services::Backup b;
    bool stopped = false;
    try {
        const qint64 mark = FileCheck::serviceMark(db);
        b = db::Services(db.login()).backup(db.databaseName(), target, [&](const QString &l) {
            showLine(l);
            if (!stopped && cancelRequested()) {
                FileCheck::stopServices(db, mark);
                stopped = true;
            }
        });
    } catch (const db::DbError &e) {
        if (stopped) {
            const QString done =
                QStringLiteral("Yedek alma iptal edildi; yedek dosyası yazılmadı.");
            finish(done, false);
            m_session.messages().information(this, done);
            return;
        }
        finish(QStringLiteral("Yedek alınamadı."), false);
        m_session.messages().error(this, e);
        return;
    }
    // Cancelled too late: the backup is whole.
    QString result = QStringLiteral("Yedek alındı: %1").arg(QDir::toNativeSeparators(target));
    if (b.size >= 0)
        result += QStringLiteral(" (%1 bayt)").arg(QLocale(QLocale::Turkish).toString(b.size));
    finish(result, true);
    m_session.messages().information(this, result);
}

void FileCheckDialog::reject()
{
    // Leaving while the engine works would take the window from under it.
    if (!m_busy)
        QDialog::reject();
}

void FileCheckDialog::closeEvent(QCloseEvent *event)
{
    if (m_busy)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace mizro::app
