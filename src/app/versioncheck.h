#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace mizro::ui {
class Session;
}

namespace mizro::app {

/// KODCOZ: the text split at its first three points into at most four
/// pieces; text after a fourth point is dropped.
QStringList kodCoz(const QString &text);

/// The schema version check of the activation routine (VERKONT) and the
/// upgrades of older files, one step per start.
class VersionCheck {
public:
    static constexpr int FirstUpgrade = 12002;
    static constexpr int Current = 14001;

    enum class Outcome {
        Accepted, // the file's version is the program's
        Upgraded, // an upgrade step ran (or failed); the program ends
        Refused,  // the file is newer than the program; the program ends
    };

    explicit VersionCheck(ui::Session &session);

    /// Reads TANIM.VER and acts on it. Throws DbError when the version is
    /// not a number (the error names the text).
    Outcome run();
    /// The number of a version text: its first two pieces joined. Throws
    /// DbError when they do not form an integer.
    static int versionNumber(const QString &ver);

    bool upgrade12002();
    bool upgrade14001();

    static QString refusalText()
    {
        return QStringLiteral("DİKKAT! Program Versiyonu Eski Olduğundan Çalışamazsınız..");
    }

private:
    /// Runs one upgrade step; tells the outcome.
    bool upgrade(const QString &version, const std::function<void()> &steps);
    /// Statements that are committed together or not at all.
    void command(const std::function<void()> &statements);
    bool hasColumn(const QString &table, const QString &column);
    void runStatement(const QString &sql, const QString &param = QString(),
                      const QString &value = QString());

    ui::Session &m_session;
};

} // namespace mizro::app
