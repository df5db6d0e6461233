#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace mizro::app {

/// The notice page of the vendor's server in the status panel: a light view
/// of an http or https page, 50 pixels high. It fetches the page itself and
/// loads nothing else: no pictures, no local files, no scripts. Links open
/// in the user's browser.
class NoticeView : public QTextBrowser {
    Q_OBJECT
public:
    static constexpr int ShownHeight = 50;
    using LinkOpener = std::function<void(const QUrl &)>;

    explicit NoticeView(QWidget *parent = nullptr);
    ~NoticeView() override;

    /// Shows the page at the address; any address that is not http or https
    /// leaves the view blank.
    void open(const QString &address);
    QUrl address() const { return m_address; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    /// Where a clicked link goes; the desktop's browser unless replaced.
    void setLinkOpener(LinkOpener opener) { m_opener = std::move(opener); }

    static bool isWebAddress(const QUrl &url);

signals:
    /// The page has arrived (true) or could not be fetched (false).
    void pageLoaded(bool ok);

protected:
    QVariant loadResource(int type, const QUrl &name) override;

private:
    void onFinished();
    void onLinkClicked(const QUrl &link);
    void dropReply();

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QUrl m_address;
    LinkOpener m_opener;
    std::chrono::milliseconds m_timeout{10000};
};

} // namespace mizro::app
