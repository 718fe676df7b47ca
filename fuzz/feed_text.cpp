// Bytes through the decoder (as UTF-8, cut where the first input byte says) and the text decoding
// of the parser: the decoder's output must be the same however it is cut, well-formed, without
// characters XML forbids; the text decoding must agree with Qt's on it (up to the length a text
// keeps), and must stay within its input on any bytes at all.
#include "model/parse/feeddecoder.h"
#include "model/parse/feedtext.h"

#include <QByteArray>
#include <QString>
#include <QUtf8StringView>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray decodeInTwo(QByteArrayView input, qsizetype cut)
{
    FeedDecoder decoder;
    decoder.setHttpCharset("utf-8");
    QByteArray buffer;
    QByteArray out;
    out += decoder.decode(input.first(cut), buffer);
    out += decoder.decode(input.sliced(cut), buffer);
    out += decoder.finish(buffer);
    return out;
}

bool hasForbiddenCharacter(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView input(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    const qsizetype cut = input.isEmpty() ? 0 : data[0] % (input.size() + 1);

    const QByteArray whole = decodeInTwo(input, 0);
    if (decodeInTwo(input, cut) != whole)
        abort();
    if (!QUtf8StringView(whole).isValidUtf8())
        abort();

    FeedText text;
    text.append(whole.constData(), static_cast<size_t>(whole.size()));
    const QString decoded = text.take();
    const bool whollyKept = static_cast<size_t>(whole.size()) <= FeedText::maxBytes;
    if ((whollyKept && decoded != QString::fromUtf8(whole)) || hasForbiddenCharacter(decoded))
        abort();

    // Raw bytes, in two pieces: no reading or writing out of bounds, no more units than bytes.
    text.append(input.data(), static_cast<size_t>(cut));
    text.append(input.data() + cut, static_cast<size_t>(input.size() - cut));
    if (text.take().size() > input.size())
        abort();
    return 0;
}
