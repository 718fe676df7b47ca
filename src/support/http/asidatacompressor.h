#pragma once

#include "httperror.h"

#include <QByteArray>
#include <optional>

// Compresses data into one gzip member with zlib's default level.
class ASIDataCompressor {
public:
    struct Result {
        QByteArray data;
        std::optional<HTTPError> error; // code 11 when zlib fails
    };

    static Result compressData(const QByteArray &uncompressed);
};
