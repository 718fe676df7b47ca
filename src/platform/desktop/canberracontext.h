#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct ca_context;

// One libcanberra context, opened on first use. Not thread-safe: one thread makes every call.
class CanberraContext {
public:
    // Called once per sound that started, on a libcanberra thread: 0 when it played to its end,
    // else a libcanberra error code. May run before play() has returned.
    using Finished = std::function<void(std::uint32_t id, int error)>;

    explicit CanberraContext(Finished finished);
    ~CanberraContext(); // stops the sounds still playing
    CanberraContext(const CanberraContext &) = delete;
    CanberraContext &operator=(const CanberraContext &) = delete;

    // Starts the sound: `property` is "media.filename" or "event.id". 0 when it started (then
    // `finished` follows), else a libcanberra error code and `finished` is not called.
    int play(std::uint32_t id, const char *property, const QString &value);

    static QString errorText(int error);

private:
    static void finishedCallback(ca_context *context, std::uint32_t id, int error, void *self);
    int open();
    void close();

    Finished m_finished;
    ca_context *m_context = nullptr;
};
