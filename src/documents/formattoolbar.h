#pragma once

#include <QToolBar>

class QAction;
class QFontComboBox;
class QComboBox;
class QTextCharFormat;
class QTextEdit;

namespace mizro::documents {

/// The word processor's formatting bar over one text editor: font, size,
/// bold, italic, underline, alignment, indent, lists, tables, undo and redo.
/// Buttons follow the text under the cursor.
class FormatToolBar : public QToolBar {
    Q_OBJECT
public:
    enum class Command {
        Undo,
        Redo,
        Bold,
        Italic,
        Underline,
        AlignLeft,
        AlignCenter,
        AlignRight,
        AlignJustify,
        Indent,
        Outdent,
        BulletList,
        NumberedList,
        InsertTable,
        AddRow,
        AddColumn,
        RemoveRow,
        RemoveColumn,
    };
    Q_ENUM(Command)

    FormatToolBar(QTextEdit *edit, QWidget *parent = nullptr);

    QAction *action(Command command) const { return m_actions.value(int(command)); }
    QFontComboBox *fontBox() const { return m_font; }
    QComboBox *sizeBox() const { return m_size; }
    /// The editor's document was replaced: follow the new one.
    void documentChanged();

private:
    QAction *add(Command command, const QString &text, const QString &icon,
                 const QKeySequence &key = {}, bool checkable = false);
    void mergeFormat(const QTextCharFormat &format);
    void align(Qt::Alignment alignment);
    void indent(int by);
    void list(int style);
    void tableCommand(Command command);
    void follow();

    QTextEdit *m_edit;
    QFontComboBox *m_font;
    QComboBox *m_size;
    QHash<int, QAction *> m_actions;
};

} // namespace mizro::documents
