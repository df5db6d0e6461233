#pragma once

#include "ui/buttonclosedialog.h"

#include <QList>
#include <memory>

class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace mizro::ui {
class Session;
class DialogRunner;
} // namespace mizro::ui

namespace mizro::documents {

class TemplatePanel;
class TemplateRules;

/// TFRMKARORN: the templates of both bodies as panels, four at a time.
/// Left through "Çıkış", which stores a pending row first.
class TemplateList : public ui::ButtonCloseDialog {
    Q_OBJECT
public:
    TemplateList(ui::Session &session, ui::DialogRunner &dialogs, QWidget *parent = nullptr);
    ~TemplateList() override;

    TemplateRules &rules() const { return *m_rules; }
    QList<TemplatePanel *> panels() const { return m_panels; }
    QPushButton *exitButton() const { return m_exit; }

    /// "Ekle".
    void addTemplate();
    /// "Şablon Metni" of a row: TFRMORNEK on it.
    void openDocument(int row);
    /// "Şablon   Sil" of a row.
    void removeTemplate(int row);
    /// "Çıkış": false when a pending row could not be stored (the window
    /// stays open).
    bool leave();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void rebuild();
    void refreshPanels();
    void sizePanels();
    /// Makes the row current; false when the row being left was refused.
    bool enter(int row);
    /// The description check is an information box; the rest are errors.
    void tell(const QString &text, const QString &details);

    ui::Session &m_session;
    ui::DialogRunner &m_dialogs;
    std::unique_ptr<TemplateRules> m_rules;
    QScrollArea *m_scroll;
    QWidget *m_list;
    QVBoxLayout *m_listLayout;
    QList<TemplatePanel *> m_panels;
    QPushButton *m_exit;
};

} // namespace mizro::documents
