#pragma once

#include <QWidget>

class QLabel;

namespace mizro::app {

class NoticeView;

/// Lower part of the main window's left column: notice page, clock, date
/// line, year, user and program version.
class StatusPanel : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget *parent = nullptr);

    static QString programVersion() { return QStringLiteral("21.001"); }

    QLabel *clock() const { return m_clock; }
    QLabel *dateLine() const { return m_date; }
    QLabel *year() const { return m_year; }
    QLabel *user() const { return m_user; }
    QLabel *version() const { return m_version; }
    /// The notice page; height 0 while there is none.
    NoticeView *noticeView() const { return m_notice; }

signals:
    /// A click on LVER.
    void versionClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NoticeView *m_notice;
    QLabel *m_clock;
    QLabel *m_date;
    QLabel *m_year;
    QLabel *m_user;
    QLabel *m_version;
};

} // namespace mizro::app
