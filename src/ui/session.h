#pragma once

#include "db/database.h"

#include <QObject>
#include <QString>
#include <memory>

namespace mizro::ui {

class Messages;
class FilePrompts;

/// Program-wide values every screen may read, and the one database
/// connection. Owned by the program for the whole run.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(Messages &messages, QObject *parent = nullptr);
    ~Session() override;

    db::Database &database() { return m_db; }
    Messages &messages() { return m_messages; }
    /// File choosers; real dialogs unless replaced (tests, unattended runs).
    FilePrompts &files() { return *m_files; }
    void setFilePrompts(FilePrompts *files);

    /// Four characters; lists and numbering of the registers use it.
    const QString &workingYear() const { return m_workingYear; }
    void setWorkingYear(const QString &year) { m_workingYear = year.left(4); }
    /// The working year as a number; 0 when it is not one.
    int workingYearNumber() const { return m_workingYear.toInt(); }

    /// The definitions record's year as last read by the main window.
    const QString &definitionsYear() const { return m_definitionsYear; }
    void setDefinitionsYear(const QString &year) { m_definitionsYear = year.left(4); }

    /// Register variant: "1" single-screen, anything else classic.
    const QString &mensek() const { return m_mensek; }
    void setMensek(const QString &value) { m_mensek = value.left(1); }
    bool singleScreenRegisters() const { return m_mensek == QStringLiteral("1"); }

    const QString &loginSwitch() const { return m_loginSwitch; }
    void setLoginSwitch(const QString &value) { m_loginSwitch = value.left(1); }

    const QString &userName() const { return m_userName; }
    void setUserName(const QString &name) { m_userName = name; }

    bool connectionFailed() const { return m_connectionFailed; }
    void setConnectionFailed(bool failed) { m_connectionFailed = failed; }

    bool versionAccepted() const { return m_versionAccepted; }
    void setVersionAccepted(bool accepted) { m_versionAccepted = accepted; }

    /// "1" once start-up needs no more activation runs.
    const QString &startupDone() const { return m_startupDone; }
    void setStartupDone(const QString &value) { m_startupDone = value; }

    /// Set by the ledger screens when they print; cleared before they open.
    bool ledgerPrinted() const { return m_ledgerPrinted; }
    void setLedgerPrinted(bool printed) { m_ledgerPrinted = printed; }

    // Settings values kept for the run.
    QString server;
    QString directory;
    QString rnk;

private:
    Messages &m_messages;
    std::unique_ptr<FilePrompts> m_ownFiles;
    FilePrompts *m_files;
    db::Database m_db;
    QString m_workingYear;
    QString m_definitionsYear;
    QString m_mensek = QStringLiteral("1");
    QString m_loginSwitch;
    QString m_userName;
    QString m_startupDone;
    bool m_connectionFailed = false;
    bool m_versionAccepted = false;
    bool m_ledgerPrinted = false;
};

} // namespace mizro::ui
