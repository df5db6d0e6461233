#include "noticeview.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>

namespace mizro::app {

namespace {

// A banner needs little; a server sending more is cut off.
constexpr qint64 LargestPage = 512 * 1024;

QString decodePage(const QByteArray &body, const QString &contentType)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*\"?([^\";\\s]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = charset.match(contentType);
    if (m.hasMatch()) {
        QStringDecoder named(m.captured(1).toLatin1().constData());
        if (named.isValid())
            return named(body);
    }
    QStringDecoder fromPage = QStringDecoder::decoderForHtml(body);
    return fromPage.isValid() ? QString(fromPage(body)) : QString::fromUtf8(body);
}

} // namespace

NoticeView::NoticeView(QWidget *parent)
    : QTextBrowser(parent), m_network(new QNetworkAccessManager(this)),
      m_opener([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("NoticeView"));
    setFixedHeight(0);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &NoticeView::onLinkClicked);
}

NoticeView::~NoticeView()
{
    dropReply();
}

bool NoticeView::isWebAddress(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https"));
}

void NoticeView::dropReply()
{
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void NoticeView::open(const QString &address)
{
    dropReply();
    clear();
    m_address = QUrl(address.trimmed());
    if (!isWebAddress(m_address))
        return;
    QNetworkRequest request(m_address);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64) {
        if (received > LargestPage)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, &NoticeView::onFinished);
}

void NoticeView::onFinished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        emit pageLoaded(false);
        return;
    }
    const QByteArray body = reply->readAll();
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const QString text = decodePage(body, type);
    if (type.startsWith(QStringLiteral("text/plain"), Qt::CaseInsensitive))
        setPlainText(text);
    else
        setHtml(text);
    emit pageLoaded(true);
}

void NoticeView::onLinkClicked(const QUrl &link)
{
    const QUrl url = m_address.resolved(link);
    if (isWebAddress(url))
        m_opener(url);
}

QVariant NoticeView::loadResource(int, const QUrl &)
{
    // Pictures and style sheets of the page are not fetched: a page from the
    // network must not read local files, and a banner does without them.
    return {};
}

} // namespace mizro::app
