#pragma once

#include <QPointer>
#include <QString>

#include "platform/net/http_fetch.h"

namespace platform {
struct Environment;
}

namespace branch {

// Fetches a page of the branch site with one GET and returns its body as text, decoded by
// the charset the response names (UTF-8 when it names none). The request carries
// "If-Modified-Since: 0", its total time is bounded by the environment's branch limit and
// the body by its cap (16 MiB unless the environment says otherwise); a failure comes back as a
// result that is not ok().
//
// `url` is already-encoded text: valid percent-escapes in it are sent exactly as they are.
//
// The caller waits while the user interface keeps handling events. Each call has its own
// request object; `running`, when given, is pointed at it for the wait so that the owner
// can abandon it (a window being closed). `running` is written once, before the wait, and
// never again: it clears itself when the request object ends, so it may be a member of an
// object that is deleted during the wait.
platform::FetchResult GetBody(const platform::Environment& env, const QString& url,
                              QPointer<platform::HttpFetch>* running = nullptr);

}  // namespace branch
