#pragma once

#include <functional>

namespace mizro::ui {
class Messages;
class DialogRunner;
class Session;
} // namespace mizro::ui

namespace mizro::app {

class MainWindow;

/// Builds the program's screens around a main window that has been through
/// FormCreate: connects each command to its screen.
void attachScreens(MainWindow &window, ui::Session &session, ui::DialogRunner &dialogs);

struct ProgramHooks {
    /// Called once the main window exists, before the event loop runs.
    std::function<void(MainWindow &, ui::Session &)> started;
};

/// The whole program: single-instance check, splash, main window with its
/// settings and connection, the other screens, the event loop. A logout or
/// shutdown (SIGTERM, SIGHUP) and Ctrl+C end it through the close routine
/// with status 0.
int runProgram(int &argc, char **argv, const ProgramHooks &hooks = {});

} // namespace mizro::app
