#include "WaveFiles.h"

#include <QFile>

void Append16(std::string& bytes, std::uint16_t value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>(value >> 8);
}

void Append32(std::string& bytes, std::uint32_t value) {
    Append16(bytes, static_cast<std::uint16_t>(value));
    Append16(bytes, static_cast<std::uint16_t>(value >> 16));
}

std::string CanonicalWave(int channels, std::uint32_t rate, int bits, const std::string& samples) {
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    std::string bytes = "RIFF";
    Append32(bytes, static_cast<std::uint32_t>(36 + samples.size()));
    bytes += "WAVEfmt ";
    Append32(bytes, 16);
    Append16(bytes, 1);
    Append16(bytes, static_cast<std::uint16_t>(channels));
    Append32(bytes, rate);
    Append32(bytes, rate * align);
    Append16(bytes, align);
    Append16(bytes, static_cast<std::uint16_t>(bits));
    bytes += "data";
    Append32(bytes, static_cast<std::uint32_t>(samples.size()));
    return bytes + samples;
}

std::string SampleBytes(std::size_t count, int seed) {
    std::string bytes(count, '\0');
    std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(seed);
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(0x20 + state % 0x40);
    }
    return bytes;
}

QString WriteFile(const QTemporaryDir& folder, const QString& name, const std::string& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
