#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// Which links Vantrel hands on. Feed content is written by strangers: a link in it must not make
// the desktop run or open something local through a scheme handler.
namespace LinkPolicy {
// http and https links with a host, and mailto links. Not file:, javascript:, data: or any other.
bool isOpenable(const QUrl &url);

// The link as it is handed to the desktop: a mailto link keeps only the fields of a message
// (to, cc, bcc, subject, body, in-reply-to), so that a feed cannot make a mail program attach a
// local file; any other link is unchanged.
QUrl withoutUnsafeFields(const QUrl &url);

// A feed: link handed to Vantrel from outside (a web browser, a second start): the text when it
// is "feed:http…", "feed:https…" or "feed://…" with an address after it; otherwise nullopt, with
// a message for the user in `refusal`.
std::optional<QString> acceptFeedLink(const QString &text, QString *refusal);
} // namespace LinkPolicy
