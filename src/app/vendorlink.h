#pragma once

#include "mainwindow.h"

namespace mizro::ui {
class Session;
class DialogRunner;
} // namespace mizro::ui

namespace mizro::app {

class NoticeExchange;
class Updater;
class VersionInfoDialog;

/// The main window's side of the vendor's server: TARAYICI as the last step
/// of the activation routine, the version dialog behind LVER, and the one
/// update offer both of them (and the version check) use.
struct VendorLink {
    Updater *updater;
    NoticeExchange *notice;
    VersionInfoDialog *versionInfo;
};

/// Makes the pieces (children of the window) and fills steps.notice.
VendorLink attachVendorLink(MainWindow &window, ui::Session &session, ui::DialogRunner &dialogs,
                            MainWindow::ActivationSteps &steps);

} // namespace mizro::app
