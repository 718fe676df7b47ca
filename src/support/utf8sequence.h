#pragma once

// The rules of well-formed UTF-8 (shortest forms only, no surrogates, nothing above U+10FFFF),
// shared by the readers that validate bytes themselves.
namespace Utf8Sequence {

// Length of the sequence a lead byte starts: 1 for ASCII, 2 to 4, or 0 when the byte cannot start one.
constexpr int length(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

constexpr bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The second byte is the one that rules out overlong forms, surrogates and values past U+10FFFF.
constexpr bool secondByteFits(unsigned char lead, unsigned char second)
{
    switch (lead) {
    case 0xE0:
        return second >= 0xA0 && second <= 0xBF;
    case 0xED:
        return second >= 0x80 && second <= 0x9F;
    case 0xF0:
        return second >= 0x90 && second <= 0xBF;
    case 0xF4:
        return second >= 0x80 && second <= 0x8F;
    default:
        return isContinuation(second);
    }
}

} // namespace Utf8Sequence
