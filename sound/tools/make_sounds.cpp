// Writes KEPIRO's two sounds, OneOK.wav (a short bright chime for a correct answer) and AllOK.wav
// (a short fanfare for a perfect drill), as canonical PCM: 44100 samples per second, 16 bits,
// mono, a 16-byte fmt chunk directly followed by the data chunk.
//
//   make_sounds <folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr double Pi = 3.14159265358979323846;

using Samples = std::vector<double>;

// A plucked, bell-like note: quick attack, exponential decay, a little of the octave above.
void AddChimeNote(Samples& out, double start, double frequency, double decay, double level) {
    const auto first = static_cast<std::size_t>(start * Rate);
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = static_cast<double>(i - first) / Rate;
        const double attack = std::fmin(1.0, t / 0.003);
        const double envelope = attack * std::exp(-t / decay);
        const double wave = std::sin(2 * Pi * frequency * t) + 0.35 * std::sin(2 * Pi * 2 * frequency * t) +
                            0.12 * std::sin(2 * Pi * 3.01 * frequency * t);
        out[i] += level * envelope * wave;
    }
}

// A brass-like note: a few harmonics, soft attack, held, short release, slight vibrato when long.
void AddHornNote(Samples& out, double start, double length, double frequency, double level) {
    static const double harmonics[] = {1.0, 0.6, 0.42, 0.25, 0.15, 0.08};
    const double release = 0.05;
    const auto first = static_cast<std::size_t>(start * Rate);
    const auto count = static_cast<std::size_t>((length + release) * Rate);
    double phase = 0;
    for (std::size_t n = 0; n < count && first + n < out.size(); ++n) {
        const double t = static_cast<double>(n) / Rate;
        double envelope = std::fmin(1.0, t / 0.015);
        envelope *= 0.8 + 0.2 * std::exp(-t / 0.05);
        if (t > length)
            envelope *= 1.0 - (t - length) / release;
        const double vibrato =
            length > 0.4 ? 1.0 + 0.004 * std::sin(2 * Pi * 5.5 * t) * std::fmin(1.0, t / 0.3) : 1.0;
        phase += 2 * Pi * frequency * vibrato / Rate;
        double wave = 0;
        for (std::size_t h = 0; h < std::size(harmonics); ++h)
            wave += harmonics[h] * std::sin(static_cast<double>(h + 1) * phase);
        out[first + n] += level * envelope * wave;
    }
}

void Put16(std::FILE* file, std::uint16_t value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                    static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

void Put32(std::FILE* file, std::uint32_t value) {
    Put16(file, static_cast<std::uint16_t>(value));
    Put16(file, static_cast<std::uint16_t>(value >> 16));
}

// Scales to a peak of 70 % of full scale, fades the last 10 ms and writes the file.
bool WriteWave(const std::string& path, Samples samples) {
    double peak = 0;
    for (double s : samples)
        peak = std::fmax(peak, std::fabs(s));
    const std::size_t fade = Rate / 100;
    for (std::size_t i = 0; i < fade && i < samples.size(); ++i)
        samples[samples.size() - 1 - i] *= static_cast<double>(i) / fade;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, file);
    Put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    Put32(file, 16);
    Put16(file, 1);
    Put16(file, 1);
    Put32(file, Rate);
    Put32(file, Rate * 2);
    Put16(file, 2);
    Put16(file, 16);
    std::fwrite("data", 1, 4, file);
    Put32(file, dataBytes);
    for (double s : samples)
        Put16(file,
              static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(s / peak * 0.7 * 32767))));
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];

    Samples chime(static_cast<std::size_t>(0.38 * Rate));
    AddChimeNote(chime, 0.0, 1318.51, 0.07, 0.8);   // E6
    AddChimeNote(chime, 0.085, 1975.53, 0.09, 1.0); // B6

    Samples fanfare(static_cast<std::size_t>(1.25 * Rate));
    AddHornNote(fanfare, 0.00, 0.11, 523.25, 0.8);  // C5
    AddHornNote(fanfare, 0.13, 0.11, 659.26, 0.8);  // E5
    AddHornNote(fanfare, 0.26, 0.11, 783.99, 0.8);  // G5
    AddHornNote(fanfare, 0.39, 0.78, 1046.50, 1.0); // C6, held
    AddHornNote(fanfare, 0.39, 0.78, 523.25, 0.45); // C5 beneath it

    if (!WriteWave(folder + "/OneOK.wav", chime) || !WriteWave(folder + "/AllOK.wav", fanfare)) {
        std::fprintf(stderr, "make_sounds: cannot write to %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
