#pragma once

#include <QDialog>

class QDate;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace mizro::ui {
class Session;
}

namespace mizro::app {

/// TFRMDOSYA: the file check and the backup of the working database. The
/// engine's lines show as they come; the window keeps painting meanwhile and
/// cannot be left until the work is done.
class FileCheckDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileCheckDialog(ui::Session &session, QWidget *parent = nullptr);

    /// "Kontrol Et": validation and the leftover checks, findings listed.
    void check();
    /// "Yedek Al": asks for the target, then writes the backup.
    void backup();
    bool isBusy() const { return m_busy; }

    /// MIZRO-YYYYMMDD.FBK in the database's directory (the server's
    /// directory for a database on a server).
    QString defaultBackupPath(const QDate &today) const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setBusy(bool busy);
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
    bool m_busy = false;
};

} // namespace mizro::app
