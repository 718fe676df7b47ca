#pragma once

#include "httperror.h"

#include <QByteArray>
#include <optional>

// Inflates gzip or zlib data (the header kind is detected) in one call.
class ASIDataDecompressor {
public:
    struct Result {
        QByteArray data;
        std::optional<HTTPError> error; // code 11 when the data is damaged, truncated or too large
        bool exceededLimit = false;     // the error is the size limit, not damaged data
    };

    // Fails, instead of allocating further, once the output would pass maximumSize bytes.
    static Result uncompressData(const QByteArray &compressed, qint64 maximumSize);
};
