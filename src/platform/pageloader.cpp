#include "pageloader.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace zorv {

namespace {

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// The proxy the desktop's settings name for each request.
class SystemProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        return QNetworkProxyFactory::systemProxyForQuery(query);
    }
};

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.toLower().startsWith("charset="))
            return p.mid(8).trimmed().replace('"', QByteArray());
    }
    return {};
}

} // namespace

NetworkPageLoader::NetworkPageLoader(QObject *parent)
    : QObject(parent)
{}

NetworkPageLoader::~NetworkPageLoader()
{
    abandon();
}

void NetworkPageLoader::load(const QUrl &address, Completion done)
{
    abandon();
    m_done = std::move(done);
    m_redirects = 0;
    if (!isWebAddress(address)) {
        // Completes like any failed load: later, on the event loop, unless abandoned first.
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == m_generation)
                    finish(std::nullopt);
            },
            Qt::QueuedConnection);
        return;
    }
    get(address);
}

void NetworkPageLoader::abandon()
{
    ++m_generation;
    m_done = nullptr;
    if (QNetworkReply *reply = m_reply.data()) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void NetworkPageLoader::get(const QUrl &address)
{
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
        m_network->setProxyFactory(new SystemProxyFactory);
    }
    QNetworkRequest request(address);
    // Redirects are followed here, so that each one is checked before it is taken.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    auto tooLarge = [this, reply](qint64 received, qint64 total) {
        if (reply == m_reply && (received > maxBytes || total > maxBytes)) {
            m_reply = nullptr;
            reply->disconnect(this);
            reply->abort();
            reply->deleteLater();
            finish(std::nullopt);
        }
    };
    connect(reply, &QNetworkReply::downloadProgress, this, tooLarge);
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void NetworkPageLoader::finished(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        // The raw header: a relative location is resolved against the address asked for.
        const QByteArray location = reply->rawHeader("Location").trimmed();
        const QUrl target = reply->url().resolved(QUrl::fromEncoded(location));
        if (location.isEmpty() || !isWebAddress(target) || ++m_redirects > maxRedirects) {
            finish(std::nullopt);
            return;
        }
        get(target);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        finish(std::nullopt);
        return;
    }
    const QByteArray body = reply->readAll();
    if (body.size() > maxBytes) {
        finish(std::nullopt);
        return;
    }
    finish(LoadedPage{body, charsetOf(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()),
                      reply->url()});
}

void NetworkPageLoader::finish(const std::optional<LoadedPage> &page)
{
    Completion done = std::move(m_done);
    m_done = nullptr;
    if (done)
        done(page);
}

} // namespace zorv
