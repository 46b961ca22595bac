#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace zorv {

// A page fetched from the web: its bytes, the charset its server named (empty when none)
// and the address it finally came from.
struct LoadedPage
{
    QByteArray body;
    QByteArray charset;
    QUrl address;
};

// Fetches one web page at a time. A new load abandons the pending one, whose completion
// then never comes, so an old page never lands in a newer request. Completions come on
// the user-interface thread, with the page or with nothing when it could not be had.
class PageLoader
{
public:
    using Completion = std::function<void(const std::optional<LoadedPage> &)>;

    virtual ~PageLoader() = default;
    virtual void load(const QUrl &address, Completion done) = 0;
    virtual void abandon() = 0;
};

// Over HTTP(S) only: at most five redirects, each to http or https again; 15 seconds
// without progress end a load; a page over 2 MiB is refused; the system's proxy settings
// apply. Nothing is sent before the first load.
class NetworkPageLoader final : public QObject, public PageLoader
{
    Q_OBJECT
public:
    static constexpr int maxRedirects = 5;
    static constexpr int timeoutMs = 15000;
    static constexpr qint64 maxBytes = 2 * 1024 * 1024;

    explicit NetworkPageLoader(QObject *parent = nullptr);
    ~NetworkPageLoader() override;

    void load(const QUrl &address, Completion done) override;
    void abandon() override;

private:
    void get(const QUrl &address);
    void finished(QNetworkReply *reply);
    void finish(const std::optional<LoadedPage> &page);

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    Completion m_done;
    int m_redirects = 0;
    quint64 m_generation = 0; // one more on every load and abandon
};

} // namespace zorv
