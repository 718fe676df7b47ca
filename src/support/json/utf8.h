#pragma once

// Whether [begin, end) is well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(const char *begin, const char *end);
