#pragma once

#include <QApplication>

namespace mizro::app {

/// The program's application object. Every command catches its own errors;
/// should one slip through all the same, it is shown here and the command
/// abandoned, instead of ending the program with the clerk's work.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    bool m_showing = false;
};

} // namespace mizro::app
