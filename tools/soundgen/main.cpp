// Writes Vantrel's alert sounds as 16-bit mono WAV files into the folder given as argument.
// Each sound is a few decaying sine partials; the files are committed, this program only remakes them.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int sampleRate = 16000;
constexpr double twoPi = 2 * std::numbers::pi;

struct Partial {
    double frequency; // Hz
    double amplitude;
    double decay;     // seconds for the amplitude to fall to 1/e
    double start = 0; // seconds
};

using Samples = std::vector<double>;

Samples silence(double seconds)
{
    return Samples(size_t(seconds * sampleRate), 0.0);
}

void addPartials(Samples &samples, const std::vector<Partial> &partials)
{
    for (const Partial &p : partials) {
        for (size_t i = size_t(p.start * sampleRate); i < samples.size(); ++i) {
            const double t = double(i) / sampleRate - p.start;
            const double attack = std::min(1.0, t / 0.003); // no click at the onset
            samples[i] += p.amplitude * attack * std::exp(-t / p.decay) * std::sin(twoPi * p.frequency * t);
        }
    }
}

// A sine whose frequency moves from `from` to `to` (exponentially) over `glide` seconds.
void addGlide(Samples &samples, double from, double to, double glide, double decay)
{
    double phase = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double frequency = from * std::pow(to / from, std::min(1.0, t / glide));
        phase += twoPi * frequency / sampleRate;
        const double attack = std::min(1.0, t / 0.002);
        samples[i] += attack * std::exp(-t / decay) * std::sin(phase);
    }
}

void fadeOut(Samples &samples, double seconds)
{
    const size_t length = std::min(samples.size(), size_t(seconds * sampleRate));
    for (size_t i = 0; i < length; ++i)
        samples[samples.size() - 1 - i] *= double(i) / double(length);
}

bool writeWav(const std::string &path, Samples samples)
{
    fadeOut(samples, 0.02);
    double peak = 1e-9;
    for (double s : samples)
        peak = std::max(peak, std::abs(s));
    std::vector<int16_t> pcm;
    for (double s : samples)
        pcm.push_back(int16_t(std::lround(s / peak * 0.6 * 32767)));

    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const auto u32 = [file](uint32_t v) {
        const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, file);
    };
    const auto u16 = [file](uint16_t v) {
        const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, file);
    };
    const uint32_t dataSize = uint32_t(pcm.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    u32(36 + dataSize);
    std::fwrite("WAVEfmt ", 1, 8, file);
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(sampleRate);
    u32(sampleRate * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, file);
    u32(dataSize);
    for (int16_t v : pcm)
        u16(uint16_t(v));
    return std::fclose(file) == 0;
}

Samples gong()
{
    Samples s = silence(0.9);
    addPartials(s,
                {{587, 1.0, 0.35}, {587 * 2.32, 0.5, 0.2}, {587 * 4.25, 0.25, 0.1}, {587 * 6.63, 0.1, 0.05}});
    return s;
}

Samples chime()
{
    Samples s = silence(0.7);
    addPartials(s, {{1047, 0.8, 0.15, 0.0}, {1319, 0.8, 0.15, 0.09}, {1568, 1.0, 0.22, 0.18}});
    return s;
}

Samples drop()
{
    Samples s = silence(0.2);
    addGlide(s, 500, 1400, 0.12, 0.06);
    return s;
}

Samples glass()
{
    Samples s = silence(0.5);
    addPartials(s, {{2093, 1.0, 0.12}, {2093 * 2.5, 0.4, 0.06}, {2093 * 3.3, 0.2, 0.03}});
    return s;
}

Samples ping()
{
    Samples s = silence(0.45);
    addPartials(s, {{1568, 1.0, 0.12}, {3136, 0.15, 0.05}});
    return s;
}

Samples pop()
{
    Samples s = silence(0.08);
    addGlide(s, 700, 180, 0.06, 0.02);
    return s;
}

// A sonar ping with its faint echo.
Samples submarine()
{
    Samples s = silence(1.0);
    addPartials(s, {{1100, 1.0, 0.18}, {2200, 0.1, 0.08}, {1100, 0.35, 0.18, 0.3}, {2200, 0.03, 0.08, 0.3}});
    return s;
}

Samples tick()
{
    Samples s = silence(0.03);
    addPartials(s, {{3000, 1.0, 0.004}, {4700, 0.5, 0.003}});
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::vector<std::pair<const char *, std::function<Samples()>>> sounds = {
        {"Gong", gong}, {"Chime", chime}, {"Drop", drop},           {"Glass", glass},
        {"Ping", ping}, {"Pop", pop},     {"Submarine", submarine}, {"Tick", tick},
    };
    for (const auto &[name, make] : sounds) {
        const std::string path = std::string(argv[1]) + "/" + name + ".wav";
        if (!writeWav(path, make())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
