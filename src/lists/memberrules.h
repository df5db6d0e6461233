#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::lists {

/// A body's members, kept year by year: the whole table is read and the
/// rows of the shown year kept; a new member is numbered after the highest
/// number of the definitions year and filed under the shown year.
class MemberRules : public QObject {
    Q_OBJECT
public:
    MemberRules(ui::Session &session, const ui::Body &body, QObject *parent = nullptr);
    ~MemberRules() override;

    db::DataSet &members() const { return *m_members; }
    const ui::Body &body() const { return m_body; }

    /// Reads the members whose year, written as decimal text, equals the
    /// text. Throws DbError.
    void list(const QString &yearText);
    const QString &shownYear() const { return m_year; }
    /// The highest member number of the definitions year (0 if none).
    int highestNumberOfDefinitionsYear() const;
    /// Puts the current row into edit with the state "A" or "P".
    bool setState(const QString &state);

    static QString stateText(const QVariant &dur);

private:
    QString numberNewMember(db::DataSet &ds);

    ui::Session &m_session;
    const ui::Body &m_body;
    std::unique_ptr<db::DataSet> m_members;
    QString m_year;
};

} // namespace mizro::lists
