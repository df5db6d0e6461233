#include "testsupport.h"

#include "db/database.h"
#include "db/dataset.h"
#include "db/query.h"
#include "db/schema.h"
#include "demodata.h"
#include "ui/datagrid.h"
#include "ui/fileprompts.h"
#include "ui/scriptedmessages.h"
#include "ui/session.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLockFile>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace mizro::test {

namespace {
QTemporaryDir *processDir = nullptr;
}

void initTestProcess()
{
    // Everything a test leaves behind goes to one private directory: the
    // temporary files, the settings and the single-instance lock.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/mizro-test-XXXXXX"));
    processDir = &dir;
    const QString tmp = dir.filePath(QStringLiteral("tmp"));
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(tmp);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("TMPDIR", QFile::encodeName(tmp));
    const QString settings = dir.filePath(QStringLiteral("settings"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
}

void clearSettings()
{
    QSettings s(QStringLiteral("RUFA"), QStringLiteral("MIZRO"));
    s.clear();
    s.sync();
}

void setSetting(const QString &name, const QString &value)
{
    QSettings s(QStringLiteral("RUFA"), QStringLiteral("MIZRO"));
    s.setValue(name, value);
    s.sync();
}

QString templateDatabase(const QString &version, bool demo)
{
    const QString dir = QStringLiteral(MIZRO_TEST_TEMPLATE_DIR);
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/template-%1%2.gdb")
                                   .arg(version, demo ? QStringLiteral("-demo") : QString());
    // Test programs run side by side: one builds, the others wait.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock())
        qFatal("cannot lock the template database");
    if (!QFile::exists(path)) {
        const QString partial = path + QStringLiteral(".part");
        QFile::remove(partial);
        db::Schema::createDatabase(partial, version, db::Database::CreateOptions{false});
        if (demo) {
            db::Database database;
            database.setDatabaseName(partial);
            database.connect();
            admin::DemoOptions options;
            options.version = version;
            admin::fillDemoData(database, options);
            database.disconnect();
        }
        QFile::rename(partial, path);
    }
    return path;
}

DbCopy::DbCopy(const QString &version, bool demo)
{
    const QString source = templateDatabase(version, demo);
    if (!QFile::copy(source, path()))
        qFatal("cannot copy the template database");
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TestSession::TestSession(const QString &year, const QString &version, bool demo)
    : m_copy(version, demo), m_messages(std::make_unique<ui::ScriptedMessages>()),
      m_files(std::make_unique<ui::ScriptedFilePrompts>()),
      m_session(std::make_unique<ui::Session>(*m_messages))
{
    m_session->setFilePrompts(m_files.get());
    m_session->database().setDatabaseName(m_copy.path());
    m_session->database().connect();
    m_session->setWorkingYear(year);
    m_session->setDefinitionsYear(year);
}

TestSession::~TestSession() = default;

db::Database &TestSession::db()
{
    return m_session->database();
}

void TestSession::exec(const QString &sql, const QVariantList &values)
{
    db::Query q(db(), sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(QStringLiteral("P%1").arg(i + 1), values[i]);
    q.exec();
}

QVariant TestSession::scalar(const QString &sql, const QVariantList &values)
{
    db::Query q(db(), sql);
    for (int i = 0; i < values.size(); ++i)
        q.bind(QStringLiteral("P%1").arg(i + 1), values[i]);
    return q.scalar();
}

QStringList columns(db::Database &db, const QString &table)
{
    db::Query q(db, QStringLiteral("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS "
                                   "WHERE RDB$RELATION_NAME=:T ORDER BY RDB$FIELD_POSITION"));
    q.bind(QStringLiteral("T"), table);
    q.exec();
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

bool typeIntoNewRow(ui::DataGrid *grid, const QString &text)
{
    QWidget *window = grid->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    grid->setFocus();
    if (grid->model()->rowCount() > 0)
        grid->goToRow(grid->model()->rowCount() - 1);
    QTest::keyClick(grid, Qt::Key_Down);
    grid->setCurrentIndex(grid->model()->index(grid->dataSet()->currentRow(), 0));
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    if (!editor || editor == grid)
        return false;
    typeText(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on the next turn
    return true;
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QCoreApplication::sendEvent(widget, &release);
    }
}

SecondSession::SecondSession(const QString &path, const QString &year) : session(messages)
{
    session.database().setDatabaseName(path);
    session.database().connect();
    session.setWorkingYear(year);
    session.setDefinitionsYear(year);
}

void pressKey(QWidget *screen, Qt::Key key)
{
    // The keys are the window's shortcuts: they act in the active window.
    if (QApplication::activeWindow() != screen->window()) {
        screen->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen->window()));
    }
    QWidget *target = QApplication::focusWidget();
    if (!target || !screen->isAncestorOf(target)) {
        screen->setFocus();
        target = screen;
    }
    QTest::keyClick(target, key);
    QApplication::processEvents();
}

namespace {

// Opens the widget's context menu; pick runs on the popup.
void withMenu(QWidget *widget, const std::function<void(QMenu *)> &pick)
{
    QTimer::singleShot(0, [pick] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        pick(menu);
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();
}

} // namespace

void chooseFromMenu(QWidget *widget, const QString &entry)
{
    bool chosen = false;
    withMenu(widget, [&](QMenu *menu) {
        for (QAction *a : menu->actions()) {
            if (a->text() == entry) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                chosen = true;
                return;
            }
        }
        menu->close();
    });
    QVERIFY2(chosen, qPrintable(entry));
}

QStringList menuEntries(QWidget *widget)
{
    QStringList texts;
    withMenu(widget, [&](QMenu *menu) {
        for (QAction *a : menu->actions())
            texts << a->text();
        menu->close();
    });
    return texts;
}

} // namespace mizro::test
