#pragma once

#include "ui/reactivatingdialog.h"

#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::lists {

class SearchRules;

/// TFRMENCARA / TFRMMECARA: finds a text in a body's meeting descriptions
/// and decision summaries of all years and lists where it stands.
class SearchScreen : public ui::ReactivatingDialog {
    Q_OBJECT
public:
    static QString emptyTextMessage() { return QStringLiteral("Hatalı Bilgi..."); }

    SearchScreen(ui::Session &session, const ui::Body &body, QWidget *parent = nullptr);
    ~SearchScreen() override;

    QLineEdit *textField() const { return m_text; }
    QListWidget *results() const { return m_results; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *exitButton() const { return m_exit; }
    SearchRules &rules() const { return *m_rules; }
    QStringList resultLines() const;

    /// "Başla".
    void start();
    /// Back on the screen: the list and the text emptied.
    void formActivate() override;

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ui::Session &m_session;
    std::unique_ptr<SearchRules> m_rules;
    QLineEdit *m_text;
    QListWidget *m_results;
    QPushButton *m_start;
    QPushButton *m_exit;
};

} // namespace mizro::lists
