#include "templatepanel.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

namespace mizro::documents {

TemplatePanel::TemplatePanel(int row, int descriptionLength, QWidget *parent)
    : QFrame(parent), m_row(row), m_length(descriptionLength > 0 ? descriptionLength : 100),
      m_type(new QComboBox(this)), m_bodyText(new QLabel(this)), m_number(new QLabel(this)),
      m_description(new QPlainTextEdit(this)), m_document(new QToolButton(this)),
      m_delete(new QToolButton(this))
{
    setObjectName(QStringLiteral("Panel%1").arg(row));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_type->setObjectName(QStringLiteral("DBComboBox1"));
    m_type->addItems({QStringLiteral("E"), QStringLiteral("M")});
    m_description->setObjectName(QStringLiteral("DBMemo1"));
    m_description->setTabChangesFocus(true);
    m_description->setContextMenuPolicy(Qt::CustomContextMenu);
    m_bodyText->setObjectName(QStringLiteral("TURADI"));
    m_number->setObjectName(QStringLiteral("SNO"));
    const QString hint = QStringLiteral("Karar Metni İçin Tıklayınız..");
    m_document->setObjectName(QStringLiteral("SpeedButton1"));
    m_document->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_delete->setObjectName(QStringLiteral("SpeedButton2"));
    m_delete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    for (QToolButton *b : {m_document, m_delete}) {
        b->setToolTip(hint);
        b->setIconSize(QSize(32, 32));
        b->setAutoRaise(true);
        b->setMinimumSize(48, 48);
    }

    auto *grid = new QGridLayout(this);
    const auto caption = [this](const QString &text) {
        auto *l = new QLabel(text, this);
        l->setTextFormat(Qt::PlainText);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    grid->addWidget(caption(QStringLiteral("Türü")), 0, 0);
    grid->addWidget(m_type, 1, 0);
    grid->addWidget(m_bodyText, 2, 0);
    grid->addWidget(m_number, 3, 0);
    grid->addWidget(caption(QStringLiteral("Açıklama")), 0, 1);
    grid->addWidget(m_description, 1, 1, 3, 1);
    grid->addWidget(caption(QStringLiteral("Şablon Metni")), 0, 2, Qt::AlignHCenter);
    grid->addWidget(m_document, 1, 2, 3, 1, Qt::AlignCenter);
    grid->addWidget(caption(QStringLiteral("Şablon   Sil")), 0, 3, Qt::AlignHCenter);
    grid->addWidget(m_delete, 1, 3, 3, 1, Qt::AlignCenter);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 130);
    grid->setColumnMinimumWidth(2, 110);
    grid->setColumnMinimumWidth(3, 110);

    connect(m_type, &QComboBox::textActivated, this,
            [this](const QString &t) { emit typeEdited(m_row, t); });
    connect(m_description, &QPlainTextEdit::textChanged, this, [this] {
        QString text = m_description->toPlainText();
        if (text.size() > m_length) {
            // The column holds no more: the rest is not taken.
            text.truncate(m_length);
            const QSignalBlocker block(m_description);
            m_description->setPlainText(text);
            m_description->moveCursor(QTextCursor::End);
        }
        emit descriptionEdited(m_row, text);
    });
    connect(m_description, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        std::unique_ptr<QMenu> menu(m_description->createStandardContextMenu());
        menu->addSeparator();
        QAction *add = menu->addAction(QStringLiteral("Ekle"));
        if (menu->exec(m_description->mapToGlobal(at)) == add)
            emit addRequested();
    });
    connect(m_document, &QToolButton::clicked, this, [this] { emit documentRequested(m_row); });
    connect(m_delete, &QToolButton::clicked, this, [this] { emit deleteRequested(m_row); });
    for (QWidget *w : {static_cast<QWidget *>(m_type), static_cast<QWidget *>(m_description),
                       static_cast<QWidget *>(m_document), static_cast<QWidget *>(m_delete)})
        w->installEventFilter(this);
}

void TemplatePanel::showValues(const QString &type, const QString &bodyText, const QVariant &number,
                               const QString &description)
{
    const QSignalBlocker a(m_type);
    const QSignalBlocker b(m_description);
    m_type->setCurrentIndex(m_type->findText(type));
    m_bodyText->setText(bodyText);
    m_number->setText(number.isNull() ? QString() : number.toString());
    if (m_description->toPlainText() != description)
        m_description->setPlainText(description);
}

void TemplatePanel::setCurrent(bool current)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, current ? QColor(0xfd, 0xf6, 0xd8)
                                         : parentWidget()->palette().color(QPalette::Window));
    setPalette(p);
}

bool TemplatePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        emit entered(m_row);
    return QFrame::eventFilter(watched, event);
}

} // namespace mizro::documents
