// Latency of a sound: from PlayWave to the first sample of the file handed to SDL's audio
// callback, with SDL's dummy driver, on OneOK.wav from the program folder. The baseline is SDL
// itself: opening a device of the same format and buffer size and unpausing it, to its first
// callback; and, for a restart, SDL's own close of the device that plays. Each benchmark reports the median,
// the 90th percentile and the worst of its runs; the PlayWave ones also their median as a multiple of the
// baseline's.
//   cold:    the player is idle and no SDL device is kept open, as for the first correct answer.
//   restart: the previous sound still plays and is stopped first, as for quick correct answers;
//            its SDL device is kept and plays the new sound.

#include "platform/WaveDevice.h"
#include "sound/CWinDA.h"
#include "sound/PlayWave.h"

#include <QString>
#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<SdlWaveDevice*> g_pDevice{nullptr};
double g_baselineMedianMs = 0;

QString SoundPath() {
    const auto folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    return QString::fromStdString((folder / "OneOK.wav").string());
}

// Waits for the first sample; false after ten seconds without one.
template <class Condition> bool SpinUntil(Condition condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

void Report(benchmark::State& state, std::vector<double> ms, bool relative) {
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    state.counters["median_ms"] = median;
    state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
    state.counters["max_ms"] = ms.back();
    if (relative && g_baselineMedianMs > 0)
        state.counters["x_baseline"] = median / g_baselineMedianMs;
    else
        g_baselineMedianMs = median;
}

void BM_SdlOpenToFirstCallback(benchmark::State& state) {
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    std::atomic<bool> called = false;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = 512; // what the wave device asks for at 44100 samples per second
    wanted.callback = [](void* user, Uint8* stream, int length) {
        std::fill(stream, stream + length, Uint8{0});
        static_cast<std::atomic<bool>*>(user)->store(true);
    };
    wanted.userdata = &called;
    std::vector<double> ms;
    for (auto _ : state) {
        called = false;
        const auto start = Clock::now();
        SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        SDL_PauseAudioDevice(device, 0);
        if (!SpinUntil([&] { return called.load(); }))
            state.SkipWithError("no callback");
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        ms.push_back(elapsed.count() * 1000);
        SDL_CloseAudioDevice(device);
    }
    Report(state, ms, false);
}

// A restart first closes the playing device; SDL's close waits for its audio thread and lets the
// device drain.
void BM_SdlCloseOfPlayingDevice(benchmark::State& state) {
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = 512;
    wanted.callback = [](void*, Uint8* stream, int length) { std::fill(stream, stream + length, Uint8{0}); };
    std::vector<double> ms;
    for (auto _ : state) {
        SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        SDL_PauseAudioDevice(device, 0);
        const auto start = Clock::now();
        SDL_CloseAudioDevice(device);
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        ms.push_back(elapsed.count() * 1000);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
}

void BM_PlayWaveToFirstSample(benchmark::State& state) {
    const bool restart = state.range(0) == 1;
    CWinDA& player = *CWinDA::GetInstance();
    player.AllocBuffers(44100);
    const QString path = SoundPath();
    const auto firstSample = [] {
        SdlWaveDevice* device = g_pDevice.load();
        return device && device->BytesPlayed() > 0;
    };
    std::vector<double> ms;
    for (auto _ : state) {
        if (restart) {
            g_pDevice = nullptr;
            PlayWave(player, path);
            SpinUntil(firstSample);
        } else {
            SdlWaveDevice::CloseKeptDevice();
        }
        g_pDevice = nullptr;
        const auto start = Clock::now();
        PlayWave(player, path);
        if (!SpinUntil(firstSample))
            state.SkipWithError("no sample reached the audio callback");
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        ms.push_back(elapsed.count() * 1000);
        g_pDevice = nullptr;
        player.Close();
    }
    player.FreeBuffers();
    SdlWaveDevice::CloseKeptDevice();
    Report(state, ms, true);
}

BENCHMARK(BM_SdlOpenToFirstCallback)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SdlCloseOfPlayingDevice)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayWaveToFirstSample)
    ->ArgName("restart")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetWaveOutOpener(
        [](std::unique_ptr<WaveDevice>& device, const WaveFormat& format, WaveOutProc callback, void* user) {
            const int result = SdlWaveDevice::Open(device, format, callback, user);
            if (result == WaveNoError)
                g_pDevice = static_cast<SdlWaveDevice*>(device.get());
            return result;
        });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
