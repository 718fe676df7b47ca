#include "support/encoding/base64.h"

#include <array>

namespace {
constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int lineLength = 64;

// Value of each alphabet character, -1 for the rest.
std::array<int, 128> decodingTable()
{
    std::array<int, 128> table{};
    table.fill(-1);
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(alphabet[i])] = i;
    return table;
}

void appendDecodedGroup(QByteArray &out, const std::array<int, 4> &group, int count)
{
    if (count < 2)
        return;
    out.append(static_cast<char>((group[0] << 2) | (group[1] >> 4)));
    if (count > 2)
        out.append(static_cast<char>(((group[1] & 0x0f) << 4) | (group[2] >> 2)));
    if (count > 3)
        out.append(static_cast<char>(((group[2] & 0x03) << 6) | group[3]));
}
} // namespace

QString Base64::base64EncodedString(const QByteArray &data)
{
    return base64EncodedString(data, true);
}

QString Base64::base64EncodedString(const QByteArray &data, bool separateLines)
{
    QString out;
    out.reserve((data.size() + 2) / 3 * 4 * 66 / 64 + 4);
    int column = 0;
    auto put = [&](char c) {
        if (separateLines && column == lineLength) {
            out.append(u"\r\n");
            column = 0;
        }
        out.append(QLatin1Char(c));
        ++column;
    };
    const auto *bytes = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype size = data.size();
    for (qsizetype i = 0; i < size; i += 3) {
        const qsizetype left = size - i;
        const unsigned value =
            (bytes[i] << 16) | (left > 1 ? bytes[i + 1] << 8 : 0) | (left > 2 ? bytes[i + 2] : 0);
        put(alphabet[(value >> 18) & 0x3f]);
        put(alphabet[(value >> 12) & 0x3f]);
        put(left > 1 ? alphabet[(value >> 6) & 0x3f] : '=');
        put(left > 2 ? alphabet[value & 0x3f] : '=');
    }
    return out;
}

QByteArray Base64::dataFromBase64String(const QString &text)
{
    static const std::array<int, 128> table = decodingTable();
    QByteArray out;
    out.reserve(text.size() * 3 / 4);
    std::array<int, 4> group{};
    int count = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 128 || table[unit] < 0)
            continue;
        group[count++] = table[unit];
        if (count == 4) {
            appendDecodedGroup(out, group, count);
            count = 0;
        }
    }
    appendDecodedGroup(out, group, count);
    return out;
}
