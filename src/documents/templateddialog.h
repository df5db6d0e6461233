#pragma once

#include "documentdialog.h"
#include "placeholdermerge.h"

#include <QPoint>

class QAction;
class QMenu;

namespace mizro::ui {
struct Body;
}

namespace mizro::documents {

/// A decision's document screen with the body's templates: "Şablon Ekle"
/// opens the template menu; a chosen template replaces the document and is
/// merged with the decision's values.
class TemplatedDialog : public DocumentDialog {
    Q_OBJECT
public:
    /// POPUPDOLDUR: the template menu from the body's templates.
    void popupDoldur();
    /// POPUPCLICK: the chosen template into the decision, merged.
    void popupClick(QAction *entry);
    /// TEXTFORMAT: the placeholders filled from the decision's rows.
    virtual void textFormat() = 0;

    QMenu *templateMenu() const { return m_menu; }
    QPushButton *templateButton() const { return m_templateButton; }

protected:
    TemplatedDialog(ui::Session &session, const ui::Body &body, QWidget *parent);

    /// The decision row goes into editing before a template replaces its
    /// document.
    virtual void editRow() = 0;
    /// The merge on the container's document, which is then shown.
    void merge(const MergeValues &values, PlaceholderMerge::Style style);
    /// Where the template menu opens: right of the window's left edge, and
    /// below its top less ten points an entry.
    void setTemplateMenuPlace(int right, int down) { m_menuPlace = QPoint(right, down); }

    const ui::Body &m_body;

private:
    void showTemplateMenu();

    QMenu *m_menu;
    QPushButton *m_templateButton;
    QPoint m_menuPlace{210, 586};
};

} // namespace mizro::documents
