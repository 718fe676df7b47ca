#include "model/parse/feeddecoder.h"

#include "support/utf8sequence.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <QByteArrayList>
#include <QString>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Enough to hold any XML declaration a real document carries.
constexpr qsizetype kDeclarationWindow = 1024;

bool isForbiddenAscii(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

const char kReplacement[] = "\xEF\xBF\xBD";

// U+FFFE and U+FFFF, which XML forbids.
bool isForbiddenNonCharacter(const unsigned char *s, int length)
{
    return length == 3 && s[0] == 0xEF && s[1] == 0xBF && (s[2] == 0xBE || s[2] == 0xBF);
}

// Index of the first byte from `i` that is not ASCII or is a control XML forbids, else n.
// Feeds are mostly ASCII with a line end every few dozen bytes: 16 bytes are checked at a time.
qsizetype skipPlainAscii(const unsigned char *p, qsizetype i, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        // Signed: bytes from 0x80 up count as below 0x20 too.
        const __m128i low = _mm_cmplt_epi8(bytes, space);
        if (_mm_movemask_epi8(low) == 0)
            continue;
        const __m128i allowed =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, lineFeed)),
                         _mm_cmpeq_epi8(bytes, carriageReturn));
        const int attention = _mm_movemask_epi8(_mm_andnot_si128(allowed, low));
        if (attention != 0)
            return i + std::countr_zero(static_cast<unsigned>(attention));
    }
#endif
    while (i < n && p[i] < 0x80 && !isForbiddenAscii(p[i]))
        ++i;
    return i;
}

// Length of the leading part of p[0, n) that is UTF-8 as XML wants it: well-formed, complete,
// without forbidden characters.
qsizetype cleanPrefixLength(const unsigned char *p, qsizetype n)
{
    qsizetype i = 0;
    for (;;) {
        i = skipPlainAscii(p, i, n);
        if (i == n || p[i] < 0x80)
            return i;
        const unsigned char lead = p[i];
        const int length = Utf8Sequence::length(lead);
        if (length == 0 || n - i < length || !Utf8Sequence::secondByteFits(lead, p[i + 1]))
            return i;
        for (int k = 2; k < length; ++k) {
            if (!Utf8Sequence::isContinuation(p[i + k]))
                return i;
        }
        if (isForbiddenNonCharacter(p + i, length))
            return i;
        i += length;
    }
}

// Validates UTF-8 and drops what XML forbids. Keeps an incomplete sequence at the end of a
// chunk in `carry` until the next one.
class Utf8Cleaner {
public:
    // The clean form of `in`: `in` itself when it needs no change (no copy), else `buffer`,
    // which it replaces.
    QByteArrayView clean(QByteArrayView in, bool final, QByteArray &buffer)
    {
        buffer.resize(0);
        if (m_carry.isEmpty()) {
            const qsizetype plain =
                cleanPrefixLength(reinterpret_cast<const unsigned char *>(in.data()), in.size());
            if (plain == in.size())
                return in;
            buffer.append(in.data(), plain);
            in = in.sliced(plain);
        }
        append(in, final, buffer);
        return buffer;
    }

    // Appends the clean form of `in` to `out`.
    void append(QByteArrayView in, bool final, QByteArray &out)
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
        // Written through a pointer into room for the worst case, each byte a replacement.
        const qsizetype start = out.size();
        out.resize(start + 3 * n);
        char *w = out.data() + start;
        const auto put = [&w](const void *bytes, qsizetype length) {
            std::memcpy(w, bytes, size_t(length));
            w += length;
        };
        qsizetype i = 0;
        for (;;) {
            const qsizetype plain = cleanPrefixLength(p + i, n - i);
            put(p + i, plain);
            i += plain;
            if (i == n)
                break;
            // p[i] starts something to drop or replace.
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
                const bool ok =
                    valid == 1 ? Utf8Sequence::secondByteFits(c, next) : Utf8Sequence::isContinuation(next);
                if (!ok)
                    break;
                ++valid;
            }
            if (valid == length) { // a non-character
                i += length;
            } else if (i + valid == n && !final) {
                m_carry = QByteArray(reinterpret_cast<const char *>(p + i), n - i);
                i = n;
                break;
            } else {
                put(kReplacement, 3);
                i += valid;
            }
        }
        out.truncate(w - out.constData());
        m_buffer.clear();
    }

private:
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
    static const QByteArrayList labels{"iso-8859-1",   "iso8859-1", "iso_8859-1", "latin1", "l1",
                                       "cp819",        "ibm819",    "us-ascii",   "ascii",  "iso-ir-100",
                                       "windows-1252", "cp1252",    "x-cp1252"};
    return labels.contains(label);
}

// The length of the white space and UTF-8 byte-order marks that start the bytes.
qsizetype leadingSpaceAndMarks(QByteArrayView head)
{
    qsizetype i = 0;
    while (i < head.size()) {
        if (head[i] == ' ' || head[i] == '\t' || head[i] == '\n' || head[i] == '\r')
            ++i;
        else if (head.sliced(i).startsWith("\xEF\xBB\xBF"))
            i += 3;
        else
            break;
    }
    return i;
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
    while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '\t' ||
                                      declaration[i] == '\n' || declaration[i] == '\r'))
        ++i;
    if (i >= declaration.size() || declaration[i] != '=')
        return {};
    ++i;
    while (i < declaration.size() && (declaration[i] == ' ' || declaration[i] == '\t' ||
                                      declaration[i] == '\n' || declaration[i] == '\r'))
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
    QByteArray held;                 // `pending` once the character set is known, until the next call
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
        encoding =
            isWesternLabel(label) ? QByteArray("windows-1252") : QByteArray(ucnv_getName(opened, &status));
        return true;
    }

    // Decides the character set from the bytes seen so far; returns how many leading bytes
    // (byte-order marks, white space before the XML declaration) to skip, or -1 when more bytes
    // are needed.
    qsizetype choose(bool final)
    {
        const QByteArrayView head =
            QByteArrayView(pending).first(std::min(pending.size(), kDeclarationWindow));
        if (!final && head.size() < 4)
            return -1;
        if (head.startsWith("\xFE\xFF") && use("UTF-16BE"))
            return 2;
        if (head.startsWith("\xFF\xFE") && use("UTF-16LE"))
            return 2;
        // Servers and templates put white space before the declaration, which the XML parser
        // takes only at the very start.
        const QByteArrayView rest = head.sliced(leadingSpaceAndMarks(head));
        const bool declarationIncomplete = (rest.startsWith("<?xml") && !rest.contains("?>")) ||
                                           (rest.size() < 5 && QByteArrayView("<?xml").startsWith(rest));
        if (!final && declarationIncomplete && head.size() < kDeclarationWindow)
            return -1;
        const qsizetype skip = rest.startsWith("<?xml")          ? rest.data() - head.data()
                               : head.startsWith("\xEF\xBB\xBF") ? 3
                                                                 : 0;
        if (head.first(skip).contains("\xEF\xBB\xBF") && use("utf-8"))
            return skip;
        if (!httpCharset.isEmpty() && use(httpCharset))
            return skip;
        // UTF-16 without a mark: '<' and the next character with their zero bytes.
        if (head.size() >= 4 && head[0] == '<' && head[1] == 0 && head[2] != 0 && head[3] == 0 &&
            use("UTF-16LE"))
            return 0;
        if (head.size() >= 4 && head[0] == 0 && head[1] == '<' && head[2] == 0 && head[3] != 0 &&
            use("UTF-16BE"))
            return 0;
        if (use(declaredEncoding(rest)))
            return skip;
        use("utf-8");
        return skip;
    }

    // The clean UTF-8 for `bytes`: `bytes` itself or `buffer`.
    QByteArrayView convert(QByteArrayView bytes, bool final, QByteArray &buffer)
    {
        if (!converter)
            return cleaner.clean(bytes, final, buffer);
        buffer.resize(0);
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
            cleaner.append(scratch, final && status != U_BUFFER_OVERFLOW_ERROR, buffer);
            if (status != U_BUFFER_OVERFLOW_ERROR)
                break;
        }
        return buffer;
    }

    // Converts what was held back while the character set was unknown.
    QByteArrayView release(qsizetype skip, bool final, QByteArray &buffer)
    {
        chosen = true;
        held = std::exchange(pending, {});
        return convert(QByteArrayView(held).sliced(skip), final, buffer);
    }
};

FeedDecoder::FeedDecoder() : d(std::make_unique<Private>()) {}

FeedDecoder::~FeedDecoder() = default;

void FeedDecoder::setHttpCharset(const QByteArray &charset)
{
    d->httpCharset = charset;
}

QByteArrayView FeedDecoder::decode(QByteArrayView bytes, QByteArray &buffer)
{
    d->held.clear();
    if (d->chosen)
        return d->convert(bytes, false, buffer);
    d->pending.append(bytes.data(), bytes.size());
    const qsizetype skip = d->choose(false);
    if (skip < 0)
        return {};
    return d->release(skip, false, buffer);
}

QByteArrayView FeedDecoder::finish(QByteArray &buffer)
{
    d->held.clear();
    if (!d->chosen)
        return d->release(d->choose(true), true, buffer);
    return d->convert({}, true, buffer);
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
