#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;
class QPushButton;

namespace mizro::ui {

/// A titled group of command buttons that folds away under its header.
/// Several groups may be open at once.
class CollapsibleGroup : public QWidget {
    Q_OBJECT
public:
    explicit CollapsibleGroup(const QString &caption, QWidget *parent = nullptr);

    QString caption() const;
    QPushButton *addButton(const QString &caption);
    QList<QPushButton *> buttons() const;

    bool isExpanded() const { return m_expanded; }
    /// Emits expanded() when it opens.
    void setExpanded(bool expanded);
    QToolButton *header() const { return m_header; }

signals:
    void expanded();
    void collapsed();

private:
    QToolButton *m_header;
    QWidget *m_body;
    QVBoxLayout *m_bodyLayout;
    bool m_expanded = true;
};

} // namespace mizro::ui
