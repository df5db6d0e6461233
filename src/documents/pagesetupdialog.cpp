#include "pagesetupdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace mizro::documents {

PageSetupDialog::PageSetupDialog(const PageSetup &page, QWidget *parent)
    : QDialog(parent), m_paper(new QComboBox(this)), m_orientation(new QComboBox(this)),
      m_header(new QLineEdit(page.header, this)), m_footer(new QLineEdit(page.footer, this)),
      m_font(new QFontComboBox(this)), m_size(new QDoubleSpinBox(this))
{
    setObjectName(QStringLiteral("PageSetupDialog"));
    setWindowTitle(QStringLiteral("Sayfa Yapısı"));
    m_paper->addItems(PageSetup::papers());
    m_paper->setCurrentText(page.paper);
    m_orientation->addItems({QStringLiteral("Dikey"), QStringLiteral("Yatay")});
    m_orientation->setCurrentIndex(page.landscape ? 1 : 0);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Kağıt"), m_paper);
    form->addRow(QStringLiteral("Yönlendirme"), m_orientation);
    const double values[4] = {page.left, page.top, page.right, page.bottom};
    const char *labels[4] = {"Sol kenar (mm)", "Üst kenar (mm)", "Sağ kenar (mm)",
                             "Alt kenar (mm)"};
    for (int i = 0; i < 4; ++i) {
        m_margins[i] = new QDoubleSpinBox(this);
        m_margins[i]->setRange(0, 80);
        m_margins[i]->setDecimals(1);
        m_margins[i]->setValue(values[i]);
        form->addRow(QString::fromUtf8(labels[i]), m_margins[i]);
    }
    form->addRow(QStringLiteral("Üst bilgi"), m_header);
    form->addRow(QStringLiteral("Alt bilgi"), m_footer);
    m_font->setCurrentFont(QFont(page.fontFamily));
    form->addRow(QStringLiteral("Yazı tipi"), m_font);
    m_size->setRange(4, 96);
    m_size->setValue(page.fontSize);
    form->addRow(QStringLiteral("Yazı boyutu"), m_size);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

PageSetup PageSetupDialog::pageSetup() const
{
    PageSetup p;
    p.paper = m_paper->currentText();
    p.landscape = m_orientation->currentIndex() == 1;
    p.left = m_margins[0]->value();
    p.top = m_margins[1]->value();
    p.right = m_margins[2]->value();
    p.bottom = m_margins[3]->value();
    p.header = m_header->text();
    p.footer = m_footer->text();
    p.fontFamily = m_font->currentFont().family();
    p.fontSize = m_size->value();
    return p;
}

} // namespace mizro::documents
