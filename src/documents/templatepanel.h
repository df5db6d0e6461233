#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace mizro::documents {

/// One template in the templates list: its type, body text and number, its
/// description, and the buttons for its document and its deletion.
class TemplatePanel : public QFrame {
    Q_OBJECT
public:
    TemplatePanel(int row, int descriptionLength, QWidget *parent = nullptr);

    int row() const { return m_row; }
    void showValues(const QString &type, const QString &bodyText, const QVariant &number,
                    const QString &description);
    void setCurrent(bool current);

    QComboBox *typeBox() const { return m_type; }
    QPlainTextEdit *descriptionBox() const { return m_description; }
    QToolButton *documentButton() const { return m_document; }
    QToolButton *deleteButton() const { return m_delete; }

signals:
    void typeEdited(int row, const QString &type);
    void descriptionEdited(int row, const QString &text);
    void entered(int row);
    void documentRequested(int row);
    void deleteRequested(int row);
    void addRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_row;
    int m_length;
    QComboBox *m_type;
    QLabel *m_bodyText;
    QLabel *m_number;
    QPlainTextEdit *m_description;
    QToolButton *m_document;
    QToolButton *m_delete;
};

} // namespace mizro::documents
