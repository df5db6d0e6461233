#include "ledgerscreen.h"

#include "ledgerlayout.h"
#include "ledgerrules.h"
#include "reportpreview.h"
#include "reportprogress.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/body.h"
#include "ui/datagrid.h"
#include "ui/dialogrunner.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace mizro::reports {

const QStringList &LedgerScreen::monthNames()
{
    static const QStringList names = {
        QStringLiteral("TÜMÜ"),    QStringLiteral("OCAK"),   QStringLiteral("ŞUBAT"),
        QStringLiteral("MART"),    QStringLiteral("NİSAN"),  QStringLiteral("MAYIS"),
        QStringLiteral("HAZİRAN"), QStringLiteral("TEMMUZ"), QStringLiteral("AĞUSTOS"),
        QStringLiteral("EYLÜL"),   QStringLiteral("EKİM"),   QStringLiteral("KASIM"),
        QStringLiteral("ARALIK")};
    return names;
}

LedgerScreen::LedgerScreen(ui::Session &session, const ui::Body &body, ui::DialogRunner &dialogs,
                           QWidget *parent)
    : ReactivatingDialog(parent), m_session(session), m_body(body), m_dialogs(dialogs),
      m_rules(std::make_unique<LedgerRules>(session.database(), body)),
      m_decisions(std::make_unique<db::DataSet>(session.database())), m_month(new QComboBox(this)),
      m_grid(new ui::DataGrid(session.messages(), this)),
      m_print(new QPushButton(QStringLiteral("F7-Yazdır"), this)),
      m_close(new QPushButton(
          body.isCommittee() ? QStringLiteral("ESC-Çıkış") : QStringLiteral("ESC-İptal"), this))
{
    const bool committee = body.isCommittee();
    setObjectName(committee ? QStringLiteral("TFRMENCKARDEF") : QStringLiteral("TFRMMECKARDEF"));
    setWindowTitle(committee ? QStringLiteral("ENCÜMEN KARAR DEFTERİ")
                             : QStringLiteral("MECLİS KARAR DEFTERİ"));
    resize(820, 560);

    m_month->setObjectName(QStringLiteral("ComboBox1"));
    m_month->addItems(monthNames());
    m_month->setMaxVisibleItems(13);
    connect(m_month, &QComboBox::activated, this, &LedgerScreen::chooseMonth);

    using Column = db::DataSet::Column;
    m_decisions->setDisplayColumns(
        {Column{QStringLiteral("OTRNO"), QStringLiteral("Oturum No")},
         Column{QStringLiteral("TARIH"), QStringLiteral("Tarihi")},
         Column{QStringLiteral("KARNO"),
                committee ? QStringLiteral("Karar No") : QStringLiteral("K.No")},
         Column{QStringLiteral("OZET"),
                committee ? QStringLiteral(" Karar Özeti") : QStringLiteral("Karar Özeti")}});
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setDataSet(m_decisions.get());
    m_grid->setEditingAllowed(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    // The print dialog offers the ledger's own paper.
    m_printer.setPageLayout(LedgerLayout::make(body).pageLayout());
    m_printer.setFullPage(true);

    m_print->setObjectName(QStringLiteral("SB1"));
    m_close->setObjectName(QStringLiteral("SB2"));
    // The captions name keys, but the buttons act on a click only.
    for (QPushButton *b : {m_print, m_close}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(m_print, &QPushButton::clicked, this, &LedgerScreen::print);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    auto *label = new QLabel(QStringLiteral("Oturum Ayı"), this);
    label->setBuddy(m_month);
    top->addWidget(label);
    top->addWidget(m_month);
    top->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_print);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
}

LedgerScreen::~LedgerScreen() = default;

void LedgerScreen::showEvent(QShowEvent *event)
{
    ReactivatingDialog::showEvent(event);
    formActivate();
}

void LedgerScreen::done(int result)
{
    m_decisions->close();
    QDialog::done(result);
}

void LedgerScreen::keyPressEvent(QKeyEvent *event)
{
    // No key closes the screen: "ESC-Çıkış" acts on a click.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LedgerScreen::formActivate()
{
    if (m_session.ledgerPrinted())
        return;
    if (m_body.isCommittee()) {
        m_month->setCurrentIndex(0);
        readGrid(m_rules->openingSql(), QStringLiteral("TT"), false);
    } else {
        sorgula();
    }
}

void LedgerScreen::chooseMonth(int index)
{
    m_keptMonth = index;
    sorgula();
}

void LedgerScreen::sorgula()
{
    if (m_printedOnce)
        m_month->setCurrentIndex(m_keptMonth);
    const bool month = m_month->currentIndex() != 0;
    readGrid(m_rules->gridSql(month), QStringLiteral("YY"), month);
}

void LedgerScreen::readGrid(const QString &sql, const QString &yearParam, bool month)
{
    m_decisions->close();
    m_decisions->setSelectSql(sql);
    m_decisions->setParam(yearParam, m_session.definitionsYear());
    if (month)
        m_decisions->setParam(QStringLiteral("AA"), m_keptMonth);
    try {
        m_decisions->open();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
}

void LedgerScreen::print()
{
    {
        QPrintDialog dialog(&m_printer, this);
        if (m_dialogs.exec(dialog) != QDialog::Accepted) {
            backFromOwnWindow();
            return;
        }
    }
    m_session.setLedgerPrinted(true);
    const bool month = m_month->currentIndex() != 0;
    try {
        ReportProgress progress(this, QStringLiteral("Karar defteri hazırlanıyor..."),
                                m_progressDelay);
        const ReportDocument doc =
            m_rules->build(m_session.definitionsYear(), month ? m_keptMonth : 0, progress.hook());
        if (!doc.cancelled) {
            ReportPreview preview(doc, &m_printer, this, m_progressDelay);
            m_dialogs.exec(preview);
        }
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    } catch (const std::exception &e) {
        m_session.messages().error(this, QStringLiteral("Karar defteri hazırlanamadı."),
                                   QString::fromLocal8Bit(e.what()));
    }
    m_printedOnce = true;
    sorgula();
}

} // namespace mizro::reports
