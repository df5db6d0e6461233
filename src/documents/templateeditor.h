#pragma once

#include "documentdialog.h"

namespace mizro::documents {

class TemplateRules;

/// TFRMORNEK: the document of the templates list's current template.
class TemplateEditor : public DocumentDialog {
    Q_OBJECT
public:
    TemplateEditor(ui::Session &session, TemplateRules &rules, QWidget *parent = nullptr);

    /// Opens the document of the template with this number. False (after a
    /// message) when it cannot be read.
    bool prepare(int number);

protected:
    bool store(const QByteArray &value) override;

private:
    TemplateRules &m_rules;
    int m_number = 0;
};

} // namespace mizro::documents
