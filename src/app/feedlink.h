#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// A link handed to Vantrel from outside: by the desktop (a feed: link the browser passed on), on
// the command line, or by a second start. Accepted are "feed://host/…" (an http address),
// "feed:http://…", "feed:https://…" and plain http or https addresses; anything else, such as
// "feed:file:…" or "feed:javascript:…", is refused with a message for the user.
namespace FeedLink {
// The web address the link stands for, with the feed: prefix gone; nullopt with the reason in
// `refusal` when it is no feed link.
std::optional<QUrl> address(const QString &text, QString *refusal);
} // namespace FeedLink
