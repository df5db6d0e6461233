#pragma once

#include "pagesetup.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QFontComboBox;

namespace mizro::documents {

/// Sayfa Yapısı: paper, orientation, margins, header, footer, default font.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSetupDialog(const PageSetup &page, QWidget *parent = nullptr);
    PageSetup pageSetup() const;

private:
    QComboBox *m_paper;
    QComboBox *m_orientation;
    QDoubleSpinBox *m_margins[4];
    QLineEdit *m_header;
    QLineEdit *m_footer;
    QFontComboBox *m_font;
    QDoubleSpinBox *m_size;
};

} // namespace mizro::documents
