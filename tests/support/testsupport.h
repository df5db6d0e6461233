#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantList>
#include <Qt>
#include <memory>

#include "ui/scriptedmessages.h"
#include "ui/session.h"

namespace mizro::db {
class Database;
}
namespace mizro::ui {
class DataGrid;
class Session;
class ScriptedMessages;
class ScriptedFilePrompts;
} // namespace mizro::ui

namespace mizro::test {

/// Prepares the process for a test run: private temporary directory and
/// settings store, offscreen screens. Called by MIZRO_TEST_MAIN.
void initTestProcess();

/// The template database of a schema version, made once per test run and
/// shared read-only by all tests (copy it, never open it).
QString templateDatabase(const QString &version = QStringLiteral("14.001"), bool demo = false);

/// A private directory holding a fresh copy of a template as MIZRO.GDB.
class DbCopy {
public:
    explicit DbCopy(const QString &version = QStringLiteral("14.001"), bool demo = false);
    QString path() const { return m_dir.filePath(QStringLiteral("MIZRO.GDB")); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

/// A connected session on a fresh database copy, with scripted messages and
/// file prompts; working and definitions year set to the given year.
class TestSession {
public:
    explicit TestSession(const QString &year = QStringLiteral("2021"),
                         const QString &version = QStringLiteral("14.001"), bool demo = false);
    ~TestSession();
    ui::Session &session() { return *m_session; }
    ui::ScriptedMessages &messages() { return *m_messages; }
    ui::ScriptedFilePrompts &files() { return *m_files; }
    db::Database &db();
    const DbCopy &copy() const { return m_copy; }
    /// Runs a statement with positional values bound to :P1, :P2 ..., committed
    /// as a command of its own.
    void exec(const QString &sql, const QVariantList &values = {});
    QVariant scalar(const QString &sql, const QVariantList &values = {});

private:
    DbCopy m_copy;
    std::unique_ptr<ui::ScriptedMessages> m_messages;
    std::unique_ptr<ui::ScriptedFilePrompts> m_files;
    std::unique_ptr<ui::Session> m_session;
};

/// A second clerk on the same database file, on a connection of its own.
struct SecondSession {
    SecondSession(const QString &path, const QString &year);
    ui::ScriptedMessages messages;
    ui::Session session;
};

/// The columns of a table in their order.
QStringList columns(db::Database &db, const QString &table);

/// Empties the redirected settings store.
void clearSettings();
/// Sets one value of the redirected settings store.
void setSetting(const QString &name, const QString &value);

/// Types text into a new row of a grid the way a clerk does: the down arrow
/// past the last row, F2 to edit its first column, the text, Enter. False
/// when no editor opened.
bool typeIntoNewRow(ui::DataGrid *grid, const QString &text);

/// Types text into the focused widget one character at a time (QTest's
/// keyClicks cannot send Turkish letters).
void typeText(QWidget *widget, const QString &text);
/// A key as the clerk presses it in the screen: its window active, the key
/// to the focused child (or the screen).
void pressKey(QWidget *screen, Qt::Key key);
/// The entry of the widget's context menu, chosen from the popup as a clerk
/// does; fails the test when the menu has no such entry.
void chooseFromMenu(QWidget *widget, const QString &entry);
/// The texts of the widget's context menu entries (the menu is closed).
QStringList menuEntries(QWidget *widget);

} // namespace mizro::test

#define MIZRO_TEST_MAIN(TestObject)                                                                \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        mizro::test::initTestProcess();                                                            \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
