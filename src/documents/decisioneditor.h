#pragma once

#include "templateddialog.h"

#include <QVariant>

class QLabel;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class DialogRunner;
struct Body;
} // namespace mizro::ui

namespace mizro::documents {

/// TFRMENCKAR1 / TFRMMECKAR1: the document of the single-screen register's
/// current decision, with the body's templates. The committee's save leaves
/// the decision row in edit for the register to post; the council's posts
/// it. The document itself is stored by its own command at the save.
class DecisionEditor : public TemplatedDialog {
    Q_OBJECT
public:
    /// What the register hands over.
    struct Source {
        /// The register's decisions; the current row (stored, in browse or
        /// edit) is the decision edited.
        db::DataSet *decision = nullptr;
        /// OTRNO of the register's current meeting.
        QVariant meetingNumber;
        /// The meeting's attendance with ADSOY and UNVANI, or null.
        const db::DataSet *attendance = nullptr;
    };

    /// Opens the editor modally on the source's current decision. True when
    /// the clerk saved.
    static bool edit(ui::Session &session, ui::DialogRunner &dialogs, const ui::Body &body,
                     const Source &source, QWidget *parent);

    DecisionEditor(ui::Session &session, const ui::Body &body, const Source &source,
                   QWidget *parent = nullptr);

    /// The opening: the template menu, the row in edit, the stored document
    /// shown. False (after a message) when the decision cannot be opened.
    bool prepare();

    /// TEXTFORMAT: the placeholders filled from the register's rows.
    void textFormat() override;

protected:
    bool store(const QByteArray &value) override;
    void editRow() override;

private:
    QVariantList key() const;

    Source m_source;
    QLabel *m_heading;
};

} // namespace mizro::documents
