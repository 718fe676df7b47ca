#include "httperror.h"

using namespace Qt::StringLiterals;

HTTPError HTTPError::make(HTTPErrorCode code, const QString &description, const QString &failureReason,
                          const QString &underlyingError)
{
    return HTTPError{httpErrorDomain(), static_cast<int>(code), description, failureReason, underlyingError};
}

HTTPError HTTPError::withCode(HTTPErrorCode code)
{
    QString description;
    switch (code) {
    case HTTPErrorCode::ConnectionFailure:
        description = u"A connection failure occurred"_s;
        break;
    case HTTPErrorCode::RequestTimedOut:
        description = u"The request timed out"_s;
        break;
    case HTTPErrorCode::AuthenticationNeeded:
        description = u"Authentication needed"_s;
        break;
    case HTTPErrorCode::RequestCancelled:
        description = u"The request was cancelled"_s;
        break;
    case HTTPErrorCode::UnableToCreateRequest:
        description = u"Unable to create request (bad url?)"_s;
        break;
    case HTTPErrorCode::UnableToCreateReadStream:
        description = u"Unable to create read stream"_s;
        break;
    case HTTPErrorCode::FileError:
        description = u"A file could not be read"_s;
        break;
    case HTTPErrorCode::TooMuchRedirection:
        description = u"The request failed because it redirected too many times"_s;
        break;
    case HTTPErrorCode::UnhandledException:
        description = u"An unexpected error occurred"_s;
        break;
    case HTTPErrorCode::Compression:
        description = u"Compression of data failed"_s;
        break;
    case HTTPErrorCode::ResponseTooLarge:
        description = u"The response is too large"_s;
        break;
    }
    return make(code, description);
}
