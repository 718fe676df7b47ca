#pragma once

#include <QString>

namespace StringAdditions {
// A new random UUID in its standard 8-4-4-4-12 upper-case hexadecimal form.
QString uuid();
} // namespace StringAdditions
