#pragma once

#include "db/dberror.h"

#include <QObject>
#include <QVector>
#include <memory>

class QWidget;

namespace mizro::db {
class BlobColumn;
class DataSet;
class Database;
} // namespace mizro::db

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::documents {

/// The templates (ORNEK) of both bodies: their list, numbering, the
/// description check, deletion, and their documents, which are read and
/// written by the template's number on their own.
class TemplateRules : public QObject {
    Q_OBJECT
public:
    explicit TemplateRules(ui::Session &session, QObject *parent = nullptr);
    ~TemplateRules() override;

    /// SNO, TUR, ACIK and the calculated body text TURADI.
    db::DataSet &templates() const { return *m_templates; }
    /// Throws DbError.
    void list();

    /// "Ekle": a new row with the next number, type "E" and the default
    /// description, left in insert state. False with lastError().
    bool add();
    /// Asks the question; on Yes deletes the current template.
    bool remove(QWidget *parent);
    /// Posts a pending row (the description check may refuse). False with
    /// lastError().
    bool postPending();

    static QString bodyText(const QString &type);
    static QString emptyDescriptionText();
    static QString defaultDescription(int number);

    /// A template's document (empty when it has none). Throws DbError.
    QByteArray document(int number) const;
    /// Stores a template's document unless another clerk changed it since
    /// asRead. False with lastError().
    bool storeDocument(int number, const QByteArray &value, const QByteArray &asRead);

    /// A template as an editor's menu offers it.
    struct Offer {
        int number;
        QString description;
    };
    /// The templates of a body, in the database's order. Throws DbError.
    static QVector<Offer> offered(db::Database &db, const ui::Body &body);
    /// Throws DbError.
    static QByteArray documentOf(db::Database &db, int number);

    const QString &lastError() const { return m_error.text; }
    const QString &lastErrorDetails() const { return m_error.details; }

private:
    ui::Session &m_session;
    std::unique_ptr<db::DataSet> m_templates;
    std::unique_ptr<db::BlobColumn> m_documents;
    db::ErrorText m_error;
};

} // namespace mizro::documents
