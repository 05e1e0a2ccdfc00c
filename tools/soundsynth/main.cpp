// Writes the nine event sounds (128-136) as 'SOUN' resource bodies: a 32-byte big-endian header
// ("NQSN", version 1) and signed 16-bit mono samples in the machine's byte order, which is what the
// audio output plays. Each sound is a few soft notes of a bell-like tone, short enough not to annoy
// when chat lines arrive one after another.
//
// Usage: soundsynth OUTPUT_FOLDER   (writes sound-128.soun ... sound-136.soun)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
constexpr uint32_t kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct SNote
{
    double start;    // seconds
    double freq;     // Hz
    double length;   // seconds until it has faded
    double level;    // 0..1
    double overtone; // share of the second harmonic: brighter when larger
};

struct SSound
{
    int id;
    const char* name;
    std::vector<SNote> notes;
};

double NoteHz(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

std::vector<int16_t> Render(const SSound& sound)
{
    double end = 0;
    for (const SNote& n : sound.notes)
        end = std::max(end, n.start + n.length);
    const size_t frames = size_t(end * kRate) + 1;
    std::vector<double> mix(frames, 0.0);
    for (const SNote& n : sound.notes)
    {
        const size_t first = size_t(n.start * kRate);
        const size_t count = size_t(n.length * kRate);
        for (size_t i = 0; i < count && first + i < frames; ++i)
        {
            const double t = double(i) / kRate;
            // A 4 ms attack avoids clicks; the exponential decay gives the bell its ring.
            const double attack = std::min(1.0, t / 0.004);
            const double decay = std::exp(-5.0 * t / n.length);
            const double tail = std::min(1.0, (n.length - t) / 0.01); // reaches exactly 0 at the end
            const double tone = std::sin(2 * kPi * n.freq * t) + n.overtone * std::sin(4 * kPi * n.freq * t) +
                                0.15 * std::sin(6 * kPi * n.freq * t) * decay;
            mix[first + i] += n.level * attack * decay * tail * tone / (1.0 + n.overtone + 0.15);
        }
    }
    double peak = 0;
    for (double v : mix)
        peak = std::max(peak, std::fabs(v));
    // Normalised to about -6 dB: events should be noticed, not startle.
    const double gain = peak > 0 ? 0.5 / peak : 0;
    std::vector<int16_t> out(frames);
    for (size_t i = 0; i < frames; ++i)
        out[i] = int16_t(std::lround(mix[i] * gain * 32767.0));
    return out;
}

void PutLong(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v >> 24), b[at + 1] = uint8_t(v >> 16), b[at + 2] = uint8_t(v >> 8),
    b[at + 3] = uint8_t(v);
}

bool Write(const std::string& path, const std::vector<int16_t>& samples)
{
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    std::vector<uint8_t> bytes(32, 0);
    bytes[0] = 'N', bytes[1] = 'Q', bytes[2] = 'S', bytes[3] = 'N';
    bytes[5] = 1; // version
    bytes[6] = 1; // channels
    bytes[7] = 2; // bytes per sample
    PutLong(bytes, 8, kRate);
    PutLong(bytes, 12, uint32_t(samples.size()));
    PutLong(bytes, 24, 0); // no compression
    PutLong(bytes, 28, dataSize);
    const auto* raw = reinterpret_cast<const uint8_t*>(samples.data());
    bytes.insert(bytes.end(), raw, raw + dataSize);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: soundsynth OUTPUT_FOLDER\n");
        return 2;
    }
    const double C5 = NoteHz(3), E5 = NoteHz(7), G5 = NoteHz(10), A5 = NoteHz(12), C6 = NoteHz(15),
                 E6 = NoteHz(19), G6 = NoteHz(22), E4 = NoteHz(-5), C4 = NoteHz(-9), D6 = NoteHz(17);
    const std::vector<SSound> sounds = {
        {128, "news", {{0.0, E5, 0.35, 0.8, 0.3}, {0.12, A5, 0.5, 0.9, 0.3}}},
        {129, "chat", {{0.0, C6, 0.12, 0.7, 0.2}}},
        {130, "join", {{0.0, C5, 0.25, 0.7, 0.3}, {0.08, E5, 0.25, 0.7, 0.3}, {0.16, G5, 0.4, 0.8, 0.3}}},
        {131, "leave", {{0.0, G5, 0.25, 0.7, 0.3}, {0.08, E5, 0.25, 0.7, 0.3}, {0.16, C5, 0.4, 0.8, 0.3}}},
        {132, "private message", {{0.0, A5, 0.45, 0.8, 0.5}, {0.14, E6, 0.6, 0.8, 0.5}}},
        {133,
         "login",
         {{0.0, C5, 0.5, 0.6, 0.3},
          {0.09, E5, 0.5, 0.6, 0.3},
          {0.18, G5, 0.5, 0.6, 0.3},
          {0.27, C6, 0.7, 0.8, 0.3}}},
        {134, "error", {{0.0, E4, 0.22, 0.9, 0.8}, {0.16, C4, 0.35, 0.9, 0.8}}},
        {135, "file transfer", {{0.0, G6, 0.7, 0.7, 0.6}, {0.0, G5, 0.7, 0.5, 0.2}}},
        {136,
         "chat invitation",
         {{0.0, C6, 0.2, 0.7, 0.4}, {0.12, G5, 0.2, 0.7, 0.4}, {0.24, D6, 0.45, 0.8, 0.4}}},
    };
    for (const SSound& s : sounds)
    {
        const std::string path = std::string(argv[1]) + "/sound-" + std::to_string(s.id) + ".soun";
        if (!Write(path, Render(s)))
        {
            std::fprintf(stderr, "soundsynth: cannot write %s (%s)\n", path.c_str(), s.name);
            return 1;
        }
    }
    return 0;
}
