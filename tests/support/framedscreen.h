#pragma once

#include "ui/dialogrunner.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace mizro::ui {
class Session;
struct Body;
} // namespace mizro::ui

namespace mizro::test {

/// One clerk's register screen, maximized in a frame of its own and active,
/// with scripted modal screens.
template <class Screen> struct FramedScreen {
    FramedScreen(ui::Session &session, const ui::Body &body) : mdi(new QMdiArea)
    {
        mdi->resize(1100, 700);
        screen = new Screen(session, body, dialogs);
        screen->setAttribute(Qt::WA_DeleteOnClose);
        QMdiSubWindow *sub = mdi->addSubWindow(screen);
        mdi->show();
        sub->showMaximized();
        mdi->setActiveSubWindow(sub);
        QApplication::processEvents();
    }
    ~FramedScreen() { delete mdi; }
    FramedScreen(const FramedScreen &) = delete;
    FramedScreen &operator=(const FramedScreen &) = delete;
    Screen *operator->() const { return screen; }

    ui::ScriptedDialogRunner dialogs;
    QMdiArea *mdi;
    QPointer<Screen> screen;
};

} // namespace mizro::test
