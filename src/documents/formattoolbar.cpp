#include "formattoolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontComboBox>
#include <QIcon>
#include <QMetaEnum>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTextTable>

namespace mizro::documents {

namespace {

using Command = FormatToolBar::Command;

void lines(QPainter &p, const QList<QPair<int, int>> &spans)
{
    int y = 4;
    for (const auto &[from, to] : spans) {
        p.drawLine(from, y, to, y);
        y += 4;
    }
}

void grid(QPainter &p, const QRect &r)
{
    p.drawRect(r);
    for (int i = 1; i < 3; ++i) {
        p.drawLine(r.left() + i * r.width() / 3, r.top(), r.left() + i * r.width() / 3, r.bottom());
        p.drawLine(r.left(), r.top() + i * r.height() / 3, r.right(), r.top() + i * r.height() / 3);
    }
}

// Icons drawn here, so that the bar looks the same with any icon theme or none.
QIcon drawnIcon(Command c)
{
    QPixmap pix(20, 20);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0x30, 0x30, 0x30), 1.6);
    p.setPen(pen);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    const auto letter = [&](const QString &text, bool bold, bool italic, bool underline) {
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        p.setFont(f);
        p.drawText(QRect(0, 0, 20, 20), Qt::AlignCenter, text);
    };
    switch (c) {
    case Command::Undo:
        letter(QStringLiteral("\u21B6"), true, false, false);
        break;
    case Command::Redo:
        letter(QStringLiteral("\u21B7"), true, false, false);
        break;
    case Command::Bold:
        letter(QStringLiteral("B"), true, false, false);
        break;
    case Command::Italic:
        letter(QStringLiteral("I"), false, true, false);
        break;
    case Command::Underline:
        letter(QStringLiteral("U"), false, false, true);
        break;
    case Command::AlignLeft:
        lines(p, {{2, 18}, {2, 12}, {2, 18}, {2, 10}});
        break;
    case Command::AlignCenter:
        lines(p, {{2, 18}, {5, 15}, {2, 18}, {6, 14}});
        break;
    case Command::AlignRight:
        lines(p, {{2, 18}, {8, 18}, {2, 18}, {10, 18}});
        break;
    case Command::AlignJustify:
        lines(p, {{2, 18}, {2, 18}, {2, 18}, {2, 18}});
        break;
    case Command::Indent:
    case Command::Outdent: {
        lines(p, {{2, 18}, {9, 18}, {9, 18}, {2, 18}});
        const bool in = c == Command::Indent;
        const QPolygonF arrow = in ? QPolygonF({QPointF(2, 6), QPointF(6, 10), QPointF(2, 14)})
                                   : QPolygonF({QPointF(6, 6), QPointF(2, 10), QPointF(6, 14)});
        p.setBrush(pen.color());
        p.drawPolygon(arrow);
        break;
    }
    case Command::BulletList:
        p.setBrush(pen.color());
        for (int y : {5, 10, 15})
            p.drawEllipse(QPointF(4, y), 1.6, 1.6);
        for (int y : {5, 10, 15})
            p.drawLine(8, y, 18, y);
        break;
    case Command::NumberedList:
        f.setPixelSize(6);
        p.setFont(f);
        for (int i = 0; i < 3; ++i) {
            p.drawText(QRect(0, 2 + 5 * i, 7, 6), Qt::AlignCenter, QString::number(i + 1));
            p.drawLine(8, 5 + 5 * i, 18, 5 + 5 * i);
        }
        break;
    case Command::InsertTable:
        grid(p, QRect(2, 3, 16, 14));
        break;
    default: {
        // Rows and columns: a small table and a plus or a minus.
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
        grid(p, QRect(1, 1, 12, 12));
        const bool add = c == Command::AddRow || c == Command::AddColumn;
        p.setPen(QPen(add ? QColor(0x1f, 0x7a, 0x1f) : QColor(0xb0, 0x20, 0x20), 2.2));
        p.drawLine(11, 16, 19, 16);
        if (add)
            p.drawLine(15, 12, 15, 20);
        p.setPen(QPen(QColor(0x30, 0x60, 0xb0), 1.6));
        if (c == Command::AddRow || c == Command::RemoveRow)
            p.drawLine(1, 17, 8, 17);
        else
            p.drawLine(17, 1, 17, 9);
        break;
    }
    }
    return QIcon(pix);
}

} // namespace

FormatToolBar::FormatToolBar(QTextEdit *edit, QWidget *parent)
    : QToolBar(parent), m_edit(edit), m_font(new QFontComboBox(this)), m_size(new QComboBox(this))
{
    setObjectName(QStringLiteral("FormatToolBar"));
    setIconSize(QSize(18, 18));
    setToolButtonStyle(Qt::ToolButtonIconOnly);

    add(Command::Undo, QStringLiteral("Geri Al"), QStringLiteral("edit-undo"), QKeySequence::Undo);
    add(Command::Redo, QStringLiteral("Yinele"), QStringLiteral("edit-redo"), QKeySequence::Redo);
    addSeparator();
    m_font->setObjectName(QStringLiteral("FontBox"));
    m_font->setToolTip(QStringLiteral("Yazı tipi"));
    m_font->setMaximumWidth(130);
    addWidget(m_font);
    m_size->setObjectName(QStringLiteral("SizeBox"));
    m_size->setToolTip(QStringLiteral("Yazı boyutu"));
    m_size->setEditable(true);
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36})
        m_size->addItem(QString::number(s));
    m_size->setMaximumWidth(60);
    addWidget(m_size);
    addSeparator();
    add(Command::Bold, QStringLiteral("Kalın"), QStringLiteral("format-text-bold"),
        QKeySequence::Bold, true);
    add(Command::Italic, QStringLiteral("İtalik"), QStringLiteral("format-text-italic"),
        QKeySequence::Italic, true);
    add(Command::Underline, QStringLiteral("Altı Çizili"), QStringLiteral("format-text-underline"),
        QKeySequence::Underline, true);
    addSeparator();
    auto *alignments = new QActionGroup(this);
    const struct {
        Command command;
        const char *text;
        const char *icon;
        Qt::Key key;
    } aligns[] = {{Command::AlignLeft, "Sola Yasla", "format-justify-left", Qt::Key_L},
                  {Command::AlignCenter, "Ortala", "format-justify-center", Qt::Key_E},
                  {Command::AlignRight, "Sağa Yasla", "format-justify-right", Qt::Key_R},
                  {Command::AlignJustify, "İki Yana Yasla", "format-justify-fill", Qt::Key_J}};
    for (const auto &a : aligns)
        alignments->addAction(add(a.command, QString::fromUtf8(a.text), QString::fromUtf8(a.icon),
                                  QKeySequence(Qt::CTRL | a.key), true));
    addSeparator();
    add(Command::Outdent, QStringLiteral("Girintiyi Azalt"), QStringLiteral("format-indent-less"));
    add(Command::Indent, QStringLiteral("Girintiyi Artır"), QStringLiteral("format-indent-more"));
    add(Command::BulletList, QStringLiteral("Madde İşaretli Liste"),
        QStringLiteral("format-list-unordered"));
    add(Command::NumberedList, QStringLiteral("Numaralı Liste"),
        QStringLiteral("format-list-ordered"));
    addSeparator();
    add(Command::InsertTable, QStringLiteral("Tablo Ekle"), QStringLiteral("insert-table"));
    add(Command::AddRow, QStringLiteral("Satır Ekle"),
        QStringLiteral("edit-table-insert-row-below"));
    add(Command::AddColumn, QStringLiteral("Sütun Ekle"),
        QStringLiteral("edit-table-insert-column-right"));
    add(Command::RemoveRow, QStringLiteral("Satırı Sil"), QStringLiteral("edit-table-delete-row"));
    add(Command::RemoveColumn, QStringLiteral("Sütunu Sil"),
        QStringLiteral("edit-table-delete-column"));

    connect(action(Command::Undo), &QAction::triggered, m_edit, &QTextEdit::undo);
    connect(action(Command::Redo), &QAction::triggered, m_edit, &QTextEdit::redo);
    connect(action(Command::Bold), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        mergeFormat(f);
    });
    connect(action(Command::Italic), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontItalic(on);
        mergeFormat(f);
    });
    connect(action(Command::Underline), &QAction::triggered, this, [this](bool on) {
        QTextCharFormat f;
        f.setFontUnderline(on);
        mergeFormat(f);
    });
    connect(action(Command::AlignLeft), &QAction::triggered, this,
            [this] { align(Qt::AlignLeft | Qt::AlignAbsolute); });
    connect(action(Command::AlignCenter), &QAction::triggered, this,
            [this] { align(Qt::AlignHCenter); });
    connect(action(Command::AlignRight), &QAction::triggered, this,
            [this] { align(Qt::AlignRight | Qt::AlignAbsolute); });
    connect(action(Command::AlignJustify), &QAction::triggered, this,
            [this] { align(Qt::AlignJustify); });
    connect(action(Command::Indent), &QAction::triggered, this, [this] { indent(1); });
    connect(action(Command::Outdent), &QAction::triggered, this, [this] { indent(-1); });
    connect(action(Command::BulletList), &QAction::triggered, this,
            [this] { list(QTextListFormat::ListDisc); });
    connect(action(Command::NumberedList), &QAction::triggered, this,
            [this] { list(QTextListFormat::ListDecimal); });
    for (Command c : {Command::InsertTable, Command::AddRow, Command::AddColumn, Command::RemoveRow,
                      Command::RemoveColumn})
        connect(action(c), &QAction::triggered, this, [this, c] { tableCommand(c); });
    connect(m_font, &QFontComboBox::textActivated, this, [this](const QString &family) {
        QTextCharFormat f;
        f.setFontFamilies({family});
        mergeFormat(f);
    });
    connect(m_size, &QComboBox::textActivated, this, [this](const QString &text) {
        const double size = text.toDouble();
        if (size < 4 || size > 96)
            return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        mergeFormat(f);
    });
    connect(m_edit, &QTextEdit::currentCharFormatChanged, this, &FormatToolBar::follow);
    connect(m_edit, &QTextEdit::cursorPositionChanged, this, &FormatToolBar::follow);
    connect(m_edit, &QTextEdit::undoAvailable, action(Command::Undo), &QAction::setEnabled);
    connect(m_edit, &QTextEdit::redoAvailable, action(Command::Redo), &QAction::setEnabled);
    documentChanged();
}

QAction *FormatToolBar::add(Command command, const QString &text, const QString &icon,
                            const QKeySequence &key, bool checkable)
{
    QAction *a = addAction(QIcon::fromTheme(icon, drawnIcon(command)), text);
    a->setObjectName(QString::fromLatin1(QMetaEnum::fromType<Command>().valueToKey(int(command))));
    a->setToolTip(key.isEmpty() ? text
                                : text + QStringLiteral(" (") +
                                      key.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    if (!key.isEmpty()) {
        a->setShortcut(key);
        // Only while the document has the focus: the screen's own keys stay.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_edit->addAction(a);
    }
    a->setCheckable(checkable);
    m_actions.insert(int(command), a);
    return a;
}

void FormatToolBar::documentChanged()
{
    action(Command::Undo)->setEnabled(m_edit->document()->isUndoAvailable());
    action(Command::Redo)->setEnabled(m_edit->document()->isRedoAvailable());
    follow();
}

void FormatToolBar::mergeFormat(const QTextCharFormat &format)
{
    QTextCursor c = m_edit->textCursor();
    if (!c.hasSelection())
        c.select(QTextCursor::WordUnderCursor);
    c.mergeCharFormat(format);
    m_edit->mergeCurrentCharFormat(format);
    m_edit->setFocus();
}

void FormatToolBar::align(Qt::Alignment alignment)
{
    m_edit->setAlignment(alignment);
    m_edit->setFocus();
}

void FormatToolBar::indent(int by)
{
    QTextCursor c = m_edit->textCursor();
    QTextBlockFormat f = c.blockFormat();
    f.setIndent(qMax(0, f.indent() + by));
    c.setBlockFormat(f);
    m_edit->setFocus();
}

void FormatToolBar::list(int style)
{
    QTextCursor c = m_edit->textCursor();
    c.beginEditBlock();
    if (QTextList *current = c.currentList();
        current && current->format().style() == QTextListFormat::Style(style)) {
        // The same button again ends the list.
        QTextBlockFormat plain = c.blockFormat();
        current->remove(c.block());
        plain.setObjectIndex(-1);
        plain.setIndent(0);
        c.setBlockFormat(plain);
    } else {
        QTextListFormat f;
        f.setStyle(QTextListFormat::Style(style));
        f.setIndent(c.blockFormat().indent() + 1);
        c.createList(f);
    }
    c.endEditBlock();
    m_edit->setFocus();
}

void FormatToolBar::tableCommand(Command command)
{
    QTextCursor c = m_edit->textCursor();
    QTextTable *table = c.currentTable();
    if (command == Command::InsertTable) {
        QTextTableFormat f;
        f.setBorder(1);
        f.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        f.setCellPadding(4);
        f.setCellSpacing(0);
        f.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        c.insertTable(2, 3, f);
        // The clerk goes on typing in the table's first cell.
        m_edit->setTextCursor(c);
    } else if (table) {
        const QTextTableCell cell = table->cellAt(c);
        switch (command) {
        case Command::AddRow:
            table->insertRows(cell.row() + 1, 1);
            break;
        case Command::AddColumn:
            table->insertColumns(cell.column() + 1, 1);
            break;
        case Command::RemoveRow:
            table->removeRows(cell.row(), 1);
            break;
        case Command::RemoveColumn:
            table->removeColumns(cell.column(), 1);
            break;
        default:
            break;
        }
    }
    m_edit->setFocus();
    follow();
}

void FormatToolBar::follow()
{
    const QTextCursor c = m_edit->textCursor();
    const QTextCharFormat f = m_edit->currentCharFormat();
    action(Command::Bold)->setChecked(f.fontWeight() >= QFont::Bold);
    action(Command::Italic)->setChecked(f.fontItalic());
    action(Command::Underline)->setChecked(f.fontUnderline());
    const QFont font = f.font();
    m_font->blockSignals(true);
    m_font->setCurrentFont(font);
    m_font->blockSignals(false);
    // Headings carry a relative size only: the document's size stands for it.
    const double size = f.hasProperty(QTextFormat::FontPointSize)
                            ? f.fontPointSize()
                            : m_edit->document()->defaultFont().pointSizeF();
    m_size->setEditText(QString::number(size));
    const Qt::Alignment a = c.blockFormat().alignment();
    if (a & Qt::AlignHCenter)
        action(Command::AlignCenter)->setChecked(true);
    else if (a & Qt::AlignRight)
        action(Command::AlignRight)->setChecked(true);
    else if (a & Qt::AlignJustify)
        action(Command::AlignJustify)->setChecked(true);
    else
        action(Command::AlignLeft)->setChecked(true);
    const bool inTable = c.currentTable() != nullptr;
    for (Command t :
         {Command::AddRow, Command::AddColumn, Command::RemoveRow, Command::RemoveColumn})
        action(t)->setEnabled(inTable);
}

} // namespace mizro::documents
