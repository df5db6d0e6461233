#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace mizro::db {
class DbError;
}

namespace mizro::ui {

/// Every information box and Yes/No question of the program. Texts are shown
/// exactly as given; questions have an empty title and No as the default.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void information(QWidget *parent, const QString &text) = 0;
    /// True only for Yes.
    virtual bool question(QWidget *parent, const QString &text) = 0;
    /// An error the command could not handle: its Turkish text, and the
    /// engine's own text (if any) as the box's details; command abandoned.
    virtual void error(QWidget *parent, const QString &text, const QString &details) = 0;
    void error(QWidget *parent, const QString &text) { error(parent, text, QString()); }
    void error(QWidget *parent, const db::DbError &e);
};

/// The real boxes.
class BoxMessages : public Messages {
public:
    void information(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    using Messages::error;
    void error(QWidget *parent, const QString &text, const QString &details) override;

    /// The boxes as they are shown, for a look without running them.
    static std::unique_ptr<QMessageBox> informationBox(QWidget *parent, const QString &text);
    static std::unique_ptr<QMessageBox> questionBox(QWidget *parent, const QString &text);
    static std::unique_ptr<QMessageBox> errorBox(QWidget *parent, const QString &text,
                                                 const QString &details);
};

} // namespace mizro::ui
