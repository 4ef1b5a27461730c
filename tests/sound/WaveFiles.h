#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

// Small wave files for the sound tests, built byte by byte.

void Append16(std::string& bytes, std::uint16_t value);
void Append32(std::string& bytes, std::uint32_t value);

// A canonical PCM file: 44-byte header, then `samples`.
std::string CanonicalWave(int channels, std::uint32_t rate, int bits, const std::string& samples);

// `count` sample bytes in a pattern that never repeats within a block and is never silence.
std::string SampleBytes(std::size_t count, int seed = 0);

// Writes `bytes` to `name` in `folder` and returns its path.
QString WriteFile(const QTemporaryDir& folder, const QString& name, const std::string& bytes);

std::string ReadWholeFile(const QString& path);
