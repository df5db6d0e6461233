#pragma once

#include <QDialog>
#include <chrono>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mizro::ui {
class Messages;
}

namespace mizro::app {

class LineClient;
class Updater;

/// TFRMVERBILGI: what the vendor's server says about the program's version
/// (VERGETIR), with the update offer behind "Güncelle". The text is asked
/// for each time the dialog opens and fills in line by line; the dialog
/// stays usable while the server takes its time, and leaving it drops the
/// connection.
class VersionInfoDialog : public QDialog {
    Q_OBJECT
public:
    VersionInfoDialog(ui::Messages &messages, Updater &updater, QWidget *parent = nullptr);

    /// LBLVER: the version the server is asked about.
    void setVersion(const QString &version);
    QLabel *versionLabel() const { return m_version; }
    QPlainTextEdit *text() const { return m_text; }
    QPushButton *updateButton() const { return m_update; }
    QPushButton *exitButton() const { return m_exit; }
    void setTimeout(std::chrono::milliseconds timeout);
    bool isFetching() const;
    /// Drops the connection, if any.
    void stopFetching();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void vergetir();
    void onLine(const QString &line);
    void onFailed(const QString &details);
    void update();

    ui::Messages &m_messages;
    Updater &m_updater;
    LineClient *m_client;
    QLabel *m_version;
    QPlainTextEdit *m_text;
    QPushButton *m_update;
    QPushButton *m_exit;
};

} // namespace mizro::app
