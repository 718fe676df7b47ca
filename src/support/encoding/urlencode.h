#pragma once

#include <QString>

// The text's UTF-8 bytes with every byte but ASCII letters, digits, '-', '_', '.' and '~' written as
// "%XX" (upper-case hexadecimal): the percent-encoding OAuth 1.0 requires. A space becomes "%20".
QString urlEncode(const QString &text);
