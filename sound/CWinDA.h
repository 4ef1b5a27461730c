#pragma once

#include "platform/WaveDevice.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>

// The sound player: plays one wave file at a time, streaming it from disk through two blocks
// that take turns. While the device plays one block the other is refilled from the file by a
// 100 ms timer and queued behind it; the device's done callback only counts returned blocks.
//
// Threads: the user-interface thread loads, plays, closes and frees; the timer thread refills
// and closes the player at the end of the data; the device's delivery thread counts returned
// blocks in m_nDoneBlocks, the only field it touches. Everything else is guarded by m_lock. The
// timer tick only tries that lock: when the user-interface thread holds it, the tick leaves its
// work to the next one, so a close that waits for a running tick can never wait on a tick that
// waits for the lock.
class CWinDA {
public:
    static CWinDA* GetInstance();

    void AllocBuffers(std::uint32_t nBytes);
    void FreeBuffers();
    int LoadWaveFile(const QString& strPath);
    // The header checks on a file open at its start; on 0 the file stands at the first sample.
    static int ReadWaveHeader(std::FILE* pFile, WaveFormat* pFormat, long* pDataOffset);
    int Play();
    void Close();

    std::atomic<int> m_nDoneBlocks{0};
    std::FILE* m_pFile = nullptr;
    std::unique_ptr<WaveDevice> m_hWaveOut;
    WaveHeader* m_pHeader[2] = {nullptr, nullptr};
    std::uint8_t* m_pData[2] = {nullptr, nullptr};
    std::uint32_t m_nBlockBytes = 0;
    int m_nCurBlock = 0;
    int m_bEndOfData = 0;
    unsigned m_nTimerId = 0;
    long m_nDataOffset = 0;
    WaveFormat m_format;

private:
    int OpenDevice(std::unique_lock<std::mutex>& lock);
    void CloseDevice();
    int StartTimer();
    void StopTimer();
    int FillNextBlock();
    static void WriteBlock(WaveDevice* pWaveOut, WaveHeader* pHeader);
    static void TimerCallback(unsigned nTimerId, void* pUser);
    static void WaveOutCallback(WaveDevice* pWaveOut, unsigned nMessage, void* pUser, WaveHeader* pHeader);

    void ClosePlayer();
    bool BlocksQueued();

    std::mutex m_lock;
};

// The reader's result codes, 0 to 12, and the message that goes with each.
constexpr int WaveFileOk = 0;
constexpr int WaveFileOpenError = 1;
constexpr int WaveFileNoRiff = 2;
constexpr int WaveFileNoWave = 3;
constexpr int WaveFileNoFmt = 4;
constexpr int WaveFileNotPcm = 5;
constexpr int WaveFileBadChannels = 6;
constexpr int WaveFileBadBits = 7;
constexpr int WaveFileNoData = 8;

// The message for a result code; a code outside 0 to 12 gets the message of 0.
QString WaveFileMessage(int nCode);
