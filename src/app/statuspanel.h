#pragma once

#include <QWidget>

class QLabel;

namespace mizro::app {

/// Lower part of the main window's left column: clock, date line, year,
/// user and program version.
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
    /// Space kept for the notice page; height 0 while there is none.
    QWidget *noticeView() const { return m_notice; }

private:
    QWidget *m_notice;
    QLabel *m_clock;
    QLabel *m_date;
    QLabel *m_year;
    QLabel *m_user;
    QLabel *m_version;
};

} // namespace mizro::app
