#include "vendorlink.h"

#include "noticeexchange.h"
#include "statuspanel.h"
#include "updater.h"
#include "versioninfodialog.h"

#include "ui/dialogrunner.h"
#include "ui/session.h"

#include <QLabel>

namespace mizro::app {

VendorLink attachVendorLink(MainWindow &window, ui::Session &session, ui::DialogRunner &dialogs,
                            MainWindow::ActivationSteps &steps)
{
    StatusPanel *status = window.statusPanel();
    auto *updater = new Updater(session.messages(), &window);
    updater->setEndProgram([&window] { window.requestEnd(); });
    auto *notice = new NoticeExchange(session, *updater, *status->noticeView(), &window);
    auto *versionInfo = new VersionInfoDialog(session.messages(), *updater, &window);

    steps.notice = [&window, notice, status](std::function<void()> done) {
        notice->start(window.kurum(), status->version()->text(), std::move(done));
    };
    // LVERClick.
    QObject::connect(status, &StatusPanel::versionClicked, versionInfo,
                     [&dialogs, versionInfo, status] {
                         versionInfo->setVersion(status->version()->text());
                         dialogs.exec(*versionInfo);
                     });
    QObject::connect(&window, &MainWindow::closing, notice, &NoticeExchange::stop);
    QObject::connect(&window, &MainWindow::closing, versionInfo, &VersionInfoDialog::stopFetching);
    return {updater, notice, versionInfo};
}

} // namespace mizro::app
