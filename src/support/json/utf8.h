#pragma once

// Whether [begin, end) is well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const char *begin, const char *end);

// Decodes well-formed UTF-8 (as checked by isValidUtf8) into UTF-16 at out, which must have room
// for (end - begin) units; returns the end of what was written.
char16_t *decodeValidUtf8(const char *begin, const char *end, char16_t *out);
