#include "model/feeddecoder.h"

#include "support/utf8sequence.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <QByteArrayList>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Enough to hold any XML declaration a real document carries.
constexpr qsizetype kDeclarationWindow = 1024;

bool isForbiddenAscii(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

const char kReplacement[] = "\xEF\xBF\xBD";

// Validates UTF-8 and drops what XML forbids. Keeps an incomplete sequence at the end of a
// chunk in `carry` until the next one.
class Utf8Cleaner {
public:
    void clean(QByteArrayView in, bool final, QByteArray &out)
    {
        QByteArrayView input = in;
        if (!m_carry.isEmpty()) {
            m_carry.append(in.data(), in.size());
            m_buffer.swap(m_carry);
            m_carry.clear();
            input = m_buffer;
        }
        const auto *p = reinterpret_cast<const unsigned char *>(input.data());
        const qsizetype n = input.size();
        // Written through a pointer into room for the worst case, each byte a replacement:
        // the runs between line ends are short, and an append call apiece cost more than copying them.
        const qsizetype start = out.size();
        out.resize(start + 3 * n);
        char *w = out.data() + start;
        const auto put = [&w](const void *bytes, qsizetype length) {
            std::memcpy(w, bytes, size_t(length));
            w += length;
        };
        qsizetype i = 0;
        while (i < n) {
            const qsizetype run = plainRun(p, i, n);
            if (run > i) {
                put(p + i, run - i);
                i = run;
                continue;
            }
            const unsigned char c = p[i];
            if (c < 0x80) {
                ++i;
                continue;
            }
            const int length = Utf8Sequence::length(c);
            if (length == 0) {
                put(kReplacement, 3);
                ++i;
                continue;
            }
            int valid = 1;
            while (valid < length && i + valid < n) {
                const unsigned char next = p[i + valid];
                const bool ok = valid == 1 ? Utf8Sequence::secondByteFits(c, next) : Utf8Sequence::isContinuation(next);
                if (!ok)
                    break;
                ++valid;
            }
            if (valid == length) {
                if (!isForbiddenNonCharacter(p + i, length))
                    put(p + i, length);
                i += length;
            } else if (i + valid == n && !final) {
                m_carry = QByteArray(reinterpret_cast<const char *>(p + i), n - i);
                i = n;
            } else {
                put(kReplacement, 3);
                i += valid;
            }
        }
        out.truncate(w - out.constData());
        m_buffer.clear();
    }

private:
    // End of the run from `i` made of whole 8-byte words of printable ASCII (0x20..0x7F).
    static qsizetype plainAsciiRun(const unsigned char *p, qsizetype i, qsizetype n)
    {
        constexpr uint64_t high = 0x8080808080808080ULL;
        constexpr uint64_t spaces = 0x2020202020202020ULL;
        while (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            // A byte with its top bit set, or one below 0x20, ends the run.
            if (((word | ((word - spaces) & ~word)) & high) != 0)
                break;
            i += 8;
        }
        return i;
    }

    // End of the run from `i` of ASCII that needs no change (tab and line ends included).
    static qsizetype plainRun(const unsigned char *p, qsizetype i, qsizetype n)
    {
        for (;;) {
            i = plainAsciiRun(p, i, n);
            const qsizetype wordEnd = std::min(i + 8, n);
            while (i < wordEnd && p[i] < 0x80 && !isForbiddenAscii(p[i]))
                ++i;
            if (i < wordEnd || i == n)
                return i;
        }
    }

    static bool isForbiddenNonCharacter(const unsigned char *s, int length)
    {
        return length == 3 && s[0] == 0xEF && s[1] == 0xBF && (s[2] == 0xBE || s[2] == 0xBF);
    }

    QByteArray m_carry;
    QByteArray m_buffer;
};

// Undecodable input becomes U+FFFD (ICU would use U+001A for some single-byte sets).
void substituteReplacementCharacter(const void *, UConverterToUnicodeArgs *args, const char *, int32_t,
                                    UConverterCallbackReason reason, UErrorCode *error)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *error = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
}

QByteArray normalisedLabel(QByteArrayView label)
{
    QByteArray result = label.trimmed().toByteArray().toLower();
    if (result.size() >= 2 && (result.startsWith('"') || result.startsWith('\'')))
        result = result.mid(1, result.size() - 2);
    return result;
}

bool isUtf8Label(const QByteArray &label)
{
    return label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8";
}

// Labels that in practice mean windows-1252.
bool isWesternLabel(const QByteArray &label)
{
    static const QByteArrayList labels{"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1", "cp819",
                                       "ibm819", "us-ascii", "ascii", "iso-ir-100", "windows-1252",
                                       "cp1252", "x-cp1252"};
    return labels.contains(label);
}

// The encoding named in an XML declaration at the start of ASCII-compatible bytes, or empty.
QByteArray declaredEncoding(QByteArrayView head)
{
    if (!head.startsWith("<?xml"))
        return {};
    const qsizetype end = head.indexOf("?>");
    const QByteArrayView declaration = end < 0 ? head : head.first(end);
    const qsizetype key = declaration.indexOf("encoding");
    if (key < 0)
        return {};
    qsizetype i = key + 8;
    while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '\t' || declaration[i] == '\n' || declaration[i] == '\r'))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return {};
    ++i;
    while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '\t' || declaration[i] == '\n' || declaration[i] == '\r'))
        ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return {};
    const char quote = declaration[i];
    const qsizetype close = declaration.indexOf(quote, i + 1);
    if (close < 0)
        return {};
    return declaration.sliced(i + 1, close - i - 1).toByteArray();
}

} // namespace

struct FeedDecoder::Private {
    QByteArray httpCharset;
    QByteArray pending; // bytes held back until the character set is known
    QByteArray encoding;
    bool chosen = false;
    UConverter *converter = nullptr; // null for UTF-8
    Utf8Cleaner cleaner;
    QByteArray scratch;

    ~Private()
    {
        if (converter)
            ucnv_close(converter);
    }

    // Opens a converter for the label; false if the label names no known character set.
    bool use(const QByteArray &rawLabel)
    {
        const QByteArray label = normalisedLabel(rawLabel);
        if (label.isEmpty())
            return false;
        if (isUtf8Label(label)) {
            encoding = "UTF-8";
            return true;
        }
        const QByteArray name = isWesternLabel(label) ? QByteArray("windows-1252") : label;
        UErrorCode status = U_ZERO_ERROR;
        UConverter *opened = ucnv_open(name.constData(), &status);
        if (U_FAILURE(status) || !opened)
            return false;
        status = U_ZERO_ERROR;
        ucnv_setToUCallBack(opened, substituteReplacementCharacter, nullptr, nullptr, nullptr, &status);
        converter = opened;
        encoding = isWesternLabel(label) ? QByteArray("windows-1252") : QByteArray(ucnv_getName(opened, &status));
        return true;
    }

    // Decides the character set from the bytes seen so far; returns how many leading bytes
    // (a byte-order mark) to skip, or -1 when more bytes are needed.
    qsizetype choose(bool final)
    {
        const QByteArrayView head = QByteArrayView(pending).first(std::min(pending.size(), kDeclarationWindow));
        if (!final && head.size() < 4)
            return -1;
        if (head.startsWith("\xEF\xBB\xBF") && use("utf-8"))
            return 3;
        if (head.startsWith("\xFE\xFF") && use("UTF-16BE"))
            return 2;
        if (head.startsWith("\xFF\xFE") && use("UTF-16LE"))
            return 2;
        if (!httpCharset.isEmpty() && use(httpCharset))
            return 0;
        // UTF-16 without a mark: '<' and the next character with their zero bytes.
        if (head.size() >= 4 && head[0] == '<' && head[1] == 0 && head[2] != 0 && head[3] == 0 && use("UTF-16LE"))
            return 0;
        if (head.size() >= 4 && head[0] == 0 && head[1] == '<' && head[2] == 0 && head[3] != 0 && use("UTF-16BE"))
            return 0;
        const bool declarationIncomplete = (head.startsWith("<?xml") && !head.contains("?>"))
            || (head.size() < 5 && QByteArrayView("<?xml").startsWith(head));
        if (!final && declarationIncomplete && head.size() < kDeclarationWindow)
            return -1;
        if (use(declaredEncoding(head)))
            return 0;
        use("utf-8");
        return 0;
    }

    void convert(QByteArrayView bytes, bool final, QByteArray &out)
    {
        if (!converter) {
            cleaner.clean(bytes, final, out);
            return;
        }
        QString utf16;
        utf16.resize(bytes.size() * 2 + 16);
        const char *source = bytes.data();
        const char *sourceEnd = source + bytes.size();
        for (;;) {
            UChar *target = reinterpret_cast<UChar *>(utf16.data());
            UChar *targetEnd = target + utf16.size();
            UErrorCode status = U_ZERO_ERROR;
            ucnv_toUnicode(converter, &target, targetEnd, &source, sourceEnd, nullptr, final, &status);
            const qsizetype written = target - reinterpret_cast<UChar *>(utf16.data());
            scratch = QStringView(utf16).first(written).toUtf8();
            cleaner.clean(scratch, final && status != U_BUFFER_OVERFLOW_ERROR, out);
            if (status != U_BUFFER_OVERFLOW_ERROR)
                break;
        }
    }
};

FeedDecoder::FeedDecoder()
    : d(std::make_unique<Private>())
{
}

FeedDecoder::~FeedDecoder() = default;

void FeedDecoder::setHttpCharset(const QByteArray &charset)
{
    d->httpCharset = charset;
}

void FeedDecoder::decode(QByteArrayView bytes, QByteArray &out)
{
    if (d->chosen) {
        d->convert(bytes, false, out);
        return;
    }
    d->pending.append(bytes.data(), bytes.size());
    const qsizetype skip = d->choose(false);
    if (skip < 0)
        return;
    d->chosen = true;
    const QByteArray held = std::exchange(d->pending, {});
    d->convert(QByteArrayView(held).sliced(skip), false, out);
}

void FeedDecoder::finish(QByteArray &out)
{
    if (!d->chosen) {
        const qsizetype skip = d->choose(true);
        d->chosen = true;
        const QByteArray held = std::exchange(d->pending, {});
        d->convert(QByteArrayView(held).sliced(skip), true, out);
        return;
    }
    d->convert({}, true, out);
}

QByteArray FeedDecoder::encoding() const
{
    return d->chosen ? d->encoding : QByteArray();
}

QByteArray FeedDecoder::charsetFromContentType(QByteArrayView contentType)
{
    const QList<QByteArray> parts = contentType.toByteArray().split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts[i].trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq > 0 && part.first(eq).trimmed().toLower() == "charset")
            return normalisedLabel(part.sliced(eq + 1));
    }
    return {};
}
