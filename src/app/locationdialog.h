#pragma once

#include "ui/buttonclosedialog.h"

class QLineEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace mizro::ui {
class Session;
}

namespace mizro::app {

struct OpenFailure;

/// TFRMSYSTEM: where the database lies (server, directory) and the working
/// year. Saving reconnects the program's database and stores the settings.
/// Left only through "F5-Kayıt" and "F6-Vazgeç".
class LocationDialog : public ui::ButtonCloseDialog {
    Q_OBJECT
public:
    enum class Outcome { Saved, Cancelled };

    explicit LocationDialog(ui::Session &session, QWidget *parent = nullptr);

    /// In start mode the outcome starts as saved; the buttons decide.
    void setOutcome(Outcome outcome) { m_outcome = outcome; }
    Outcome outcome() const { return m_outcome; }

    QLineEdit *serverField() const { return m_server; }
    QLineEdit *directoryField() const { return m_directory; }
    QLineEdit *yearField() const { return m_year; }
    QLabel *fileLabel() const { return m_file; }
    QLabel *fullNameLabel() const { return m_full; }
    QPlainTextEdit *output() const { return m_output; }
    /// Why the location does not open, when it does not.
    QLabel *reasonLabel() const { return m_reason; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *testButton() const { return m_test; }
    QPushButton *defaultsButton() const { return m_defaults; }
    QToolButton *chooseButton() const { return m_choose; }

    /// Shows why the database does not open (the start's failed attempt);
    /// cleared when the dialog closes.
    void showFailure(const OpenFailure &failure);

    /// DEGERBUL: the file name and the full database name from the fields.
    void degerBul();
    void save();
    void cancel();
    void test();
    void defaults();
    void chooseFile();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void closeWithOutcome();

    ui::Session &m_session;
    QLineEdit *m_server;
    QLineEdit *m_directory;
    QLineEdit *m_year;
    QLabel *m_file;
    QLabel *m_full;
    QLabel *m_reason;
    QPlainTextEdit *m_output;
    QPushButton *m_save;
    QPushButton *m_cancel;
    QPushButton *m_test;
    QPushButton *m_defaults;
    QToolButton *m_choose;
    Outcome m_outcome = Outcome::Saved;
};

} // namespace mizro::app
