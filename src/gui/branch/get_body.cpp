#include "branch/get_body.h"

#include <QUrl>

#include "platform/environment.h"

namespace branch {

platform::FetchResult GetBody(const platform::Environment& env, const QString& url,
                              QPointer<platform::HttpFetch>* running) {
    platform::FetchOptions options;
    options.totalLimit = env.limits.branchTotal;
    options.maxBodyBytes = env.limits.maxBodyBytes;
    options.fallbackCharset = "UTF-8";
    options.headers = {{QByteArrayLiteral("If-Modified-Since"), QByteArrayLiteral("0")}};

    // fromEncoded keeps the escapes of the value as they are instead of decoding and
    // re-encoding them; only characters that cannot stand in a URL at all get escaped.
    const QUrl address = QUrl::fromEncoded(url.toUtf8());

    // Nothing of `env` is read after the wait: it may belong to a window that is gone by
    // the time the answer comes.
    platform::HttpFetch fetch(env.network, env.gate);
    if (running) {
        *running = &fetch;
    }
    return fetch.get(address, options, platform::HttpFetch::Wait::KeepResponsive);
}

}  // namespace branch
