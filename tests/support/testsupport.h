#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QTest>

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

/// Empties the redirected settings store.
void clearSettings();

/// Types text into the focused widget one character at a time (QTest's
/// keyClicks cannot send Turkish letters).
void typeText(QWidget *widget, const QString &text);

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
