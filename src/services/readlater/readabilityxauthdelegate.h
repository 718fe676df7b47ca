#pragma once

class ReadabilityXAuth;

// Receives the outcome of a ReadabilityXAuth request, on the client's thread. Every call is optional.
class ReadabilityXAuthDelegate {
public:
    virtual ~ReadabilityXAuthDelegate() = default;
    virtual void readabilityXAuthDidAuthorize(ReadabilityXAuth & /*client*/) {}
    virtual void readabilityXAuthAuthorizationDidFail(ReadabilityXAuth & /*client*/) {}
    virtual void readabilityXAuthDidBookmark(ReadabilityXAuth & /*client*/) {}
    virtual void readabilityXAuthBookmarkDidFail(ReadabilityXAuth & /*client*/) {}
};
