#pragma once

#include <QObject>
#include <memory>

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class Session;
}

namespace mizro::lists {

/// The municipality's departments, one list for both bodies. A decision
/// stores its department's code, so a new department gets a code that no
/// department holds and no decision still refers to, and a name change
/// never touches the code.
class DepartmentRules : public QObject {
    Q_OBJECT
public:
    explicit DepartmentRules(ui::Session &session, QObject *parent = nullptr);
    ~DepartmentRules() override;

    db::DataSet &departments() const { return *m_departments; }
    /// Throws DbError.
    void list();
    /// One above the highest code in use by a department or a decision;
    /// "1" for the first. Throws DbError.
    QString nextCode() const;

    /// The largest code a decision can store.
    static constexpr int MaxCode = 32767;

private:
    QString codeNewDepartment(db::DataSet &ds);

    ui::Session &m_session;
    std::unique_ptr<db::DataSet> m_departments;
};

} // namespace mizro::lists
