#pragma once

#include <QDialog>

class QDate;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QProgressDialog;
class QPushButton;

namespace mizro::ui {
class Session;
}

namespace mizro::app {

/// TFRMDOSYA: the file check and the backup of the working database. The
/// engine's lines show as they come; the window keeps painting meanwhile and
/// cannot be left until the work is done. Work that lasts longer than half a
/// second shows a progress dialog whose "İptal" stops it and says what was
/// done.
class FileCheckDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileCheckDialog(ui::Session &session, QWidget *parent = nullptr);

    /// "Kontrol Et": validation and the leftover checks, findings listed.
    void check();
    /// "Yedek Al": asks for the target, then writes the backup.
    void backup();
    bool isBusy() const { return m_busy; }
    QLabel *resultLabel() const { return m_result; }
    /// How long work runs before its progress dialog shows (500 ms).
    void setProgressDelay(int ms) { m_progressDelay = ms; }
    /// While work runs.
    QProgressDialog *progressDialog() const { return m_progressDialog; }

    /// MIZRO-YYYYMMDD.FBK in the database's directory (the server's
    /// directory for a database on a server).
    QString defaultBackupPath(const QDate &today) const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setBusy(bool busy, const QString &work = QString());
    bool cancelRequested() const;
    void finish(const QString &result, bool done);
    void showLine(const QString &line);

    ui::Session &m_session;
    QPushButton *m_check;
    QPushButton *m_backup;
    QPushButton *m_close;
    QListWidget *m_findings;
    QPlainTextEdit *m_output;
    QProgressBar *m_progress;
    QLabel *m_result;
    QProgressDialog *m_progressDialog = nullptr;
    QString m_work;
    int m_progressDelay = 500;
    bool m_busy = false;
};

} // namespace mizro::app
