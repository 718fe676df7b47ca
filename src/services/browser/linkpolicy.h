#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// Which links Vantrel hands on. Feed content is written by strangers: a link in it must not make
// the desktop run or open something local through a scheme handler.
namespace LinkPolicy {
// http and https links with a host, and mailto links. Not file:, javascript:, data: or any other.
bool isOpenable(const QUrl &url);

// A feed: link handed to Vantrel from outside (a web browser, a second start): the text when it
// is "feed:http…", "feed:https…" or "feed://…" with an address after it; otherwise nullopt, with
// a message for the user in `refusal`.
std::optional<QString> acceptFeedLink(const QString &text, QString *refusal);
} // namespace LinkPolicy
