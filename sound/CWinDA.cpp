#include "sound/CWinDA.h"

#include "platform/MessageBox.h"
#include "platform/MultimediaTimer.h"

#include <QFile>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr unsigned TimerPeriodMs = 100;

std::uint16_t Read16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::uint32_t Read32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Opens a regular file for reading. Anything else (a folder, a pipe that would block the open, a
// device) counts as a file that cannot be opened.
std::FILE* OpenRegularFile(const QString& strPath) {
    const QByteArray name = QFile::encodeName(strPath);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return file;
}

} // namespace

QString WaveFileMessage(int nCode) {
    static const char* const messages[13] = {
        "unknown error.",
        "file open error.",
        "\"RIFF\" chunk not found.",
        "\"WAVE\" chunk not found.",
        "\"fmt\" chunk not found.",
        "Wave file error.",
        "Invalid Channel number.",
        "Invalid Bit/sample.",
        "\"data\" not found.",
        "Different Sample rate.",
        "Different Channel",
        "Different Bit/sample.",
        "8bit pcm is not supported.",
    };
    if (nCode < 0 || nCode > 12)
        nCode = 0;
    return QString::fromLatin1(messages[nCode]);
}

// Never destroyed: a sound still playing at exit must not meet a destroyed player.
CWinDA* CWinDA::GetInstance() {
    static auto* instance = new CWinDA;
    return instance;
}

// A player that still holds blocks, a file or a device gives them up first, so that no device
// goes on playing blocks that are about to be forgotten.
void CWinDA::AllocBuffers(std::uint32_t nBytes) {
    std::lock_guard guard(m_lock);
    ClosePlayer();
    for (int i = 0; i < 2; ++i) {
        std::free(m_pHeader[i]);
        std::free(m_pData[i]);
        m_pHeader[i] = static_cast<WaveHeader*>(std::calloc(1, sizeof(WaveHeader)));
        m_pData[i] = static_cast<std::uint8_t*>(std::calloc(nBytes > 0 ? nBytes : 1, 1));
        m_pHeader[i]->pData = m_pData[i];
        m_pHeader[i]->nBufferLength = nBytes;
        m_pHeader[i]->nFlags = WaveHeaderDone;
        m_pHeader[i]->nLoops = 1;
    }
    m_nBlockBytes = nBytes;
}

// Closes a loaded file too, also when its device never opened.
void CWinDA::FreeBuffers() {
    std::lock_guard guard(m_lock);
    ClosePlayer();
    for (int i = 0; i < 2; ++i) {
        if (m_pData[i]) {
            std::free(m_pHeader[i]);
            std::free(m_pData[i]);
            m_pHeader[i] = nullptr;
            m_pData[i] = nullptr;
        }
    }
}

int CWinDA::LoadWaveFile(const QString& strPath) {
    std::lock_guard guard(m_lock);
    ClosePlayer();
    m_pFile = OpenRegularFile(strPath);
    if (!m_pFile)
        return WaveFileOpenError;
    const int nCode = ReadWaveHeader(m_pFile, &m_format, &m_nDataOffset);
    if (nCode != WaveFileOk) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
    return nCode;
}

int CWinDA::ReadWaveHeader(std::FILE* pFile, WaveFormat* pFormat, long* pDataOffset) {
    std::uint8_t riff[20] = {};
    const std::size_t nRiff = std::fread(riff, 1, sizeof riff, pFile);
    if (nRiff < 4 || std::memcmp(riff, "RIFF", 4) != 0)
        return WaveFileNoRiff;
    if (nRiff < 12 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return WaveFileNoWave;
    if (nRiff < 16 || std::memcmp(riff + 12, "fmt ", 4) != 0)
        return WaveFileNoFmt;
    const std::uint32_t nFmtSize = Read32(riff + 16);

    // A file that ends inside these fields fails the check of the first field it lacks.
    std::uint8_t fmt[18] = {};
    const std::size_t nFmt = nRiff == sizeof riff ? std::fread(fmt, 1, sizeof fmt, pFile) : 0;
    pFormat->nFormatTag = Read16(fmt);
    pFormat->nChannels = Read16(fmt + 2);
    pFormat->nSamplesPerSec = Read32(fmt + 4);
    pFormat->nAvgBytesPerSec = Read32(fmt + 8);
    pFormat->nBlockAlign = Read16(fmt + 12);
    pFormat->nBitsPerSample = Read16(fmt + 14);
    pFormat->nExtraSize = Read16(fmt + 16);
    if (nFmt < 2 || pFormat->nFormatTag != WaveFormatPcm)
        return WaveFileNotPcm;
    if (nFmt < 4 || (pFormat->nChannels != 1 && pFormat->nChannels != 2))
        return WaveFileBadChannels;
    if (nFmt < 16 || (pFormat->nBitsPerSample != 8 && pFormat->nBitsPerSample != 16))
        return WaveFileBadBits;

    // The fmt size comes from the file: any value only moves the seek, at worst past the end.
    const long nDataHeader = 20 + static_cast<long>(nFmtSize);
    std::uint8_t data[8] = {};
    if (std::fseek(pFile, nDataHeader, SEEK_SET) != 0 ||
        std::fread(data, 1, sizeof data, pFile) != sizeof data || std::memcmp(data, "data", 4) != 0)
        return WaveFileNoData;
    *pDataOffset = nDataHeader + 8;
    return WaveFileOk;
}

int CWinDA::Play() {
    std::unique_lock lock(m_lock);
    if (m_hWaveOut || !m_pFile) {
        lock.unlock();
        ShowMessage(QStringLiteral("Please call the 'LoadWaveFile()' function."), QStringLiteral("error"));
        return 0;
    }
    // Without blocks (AllocBuffers not called, or FreeBuffers since) there is nothing to play through.
    if (!m_pHeader[0] || !m_pHeader[1])
        return 0;
    std::fseek(m_pFile, m_nDataOffset, SEEK_SET);
    return OpenDevice(lock);
}

void CWinDA::Close() {
    std::lock_guard guard(m_lock);
    ClosePlayer();
}

// Called with m_lock held; a failure message is shown after the lock is given up.
int CWinDA::OpenDevice(std::unique_lock<std::mutex>& lock) {
    const int nError = WaveOutOpen(m_hWaveOut, m_format, &CWinDA::WaveOutCallback, this);
    if (nError != WaveNoError) {
        m_hWaveOut.reset();
        lock.unlock();
        ShowMessage(QString::asprintf("Device error %d", nError), QStringLiteral("error"));
        return 0;
    }
    // Paused, so that both blocks are queued before either can come back.
    m_hWaveOut->Pause();
    m_nCurBlock = 0;
    int nQueued = 0;
    for (int i = 0; i < 2; ++i) {
        const std::size_t nRead = std::fread(m_pData[i], 1, m_nBlockBytes, m_pFile);
        if (nRead > 0) {
            m_pHeader[i]->nBufferLength = static_cast<std::uint32_t>(nRead);
            WriteBlock(m_hWaveOut.get(), m_pHeader[i]);
            ++nQueued;
        }
        if (nRead < m_nBlockBytes)
            break;
        ++m_nCurBlock;
    }
    m_nDoneBlocks = 0;
    m_bEndOfData = 0;
    if (nQueued == 0) {
        // A file without samples: no block will ever come back to close the device.
        ClosePlayer();
        return 1;
    }
    StartTimer();
    m_hWaveOut->Restart();
    return 1;
}

void CWinDA::CloseDevice() {
    StopTimer();
    if (!m_hWaveOut)
        return;
    m_hWaveOut->Pause();
    m_hWaveOut->Reset();
    for (WaveHeader* pHeader : m_pHeader) {
        if (!pHeader)
            continue;
        while (m_hWaveOut->UnprepareHeader(pHeader) == WaveErrorStillPlaying)
            std::this_thread::yield();
    }
    m_hWaveOut->Close();
}

int CWinDA::StartTimer() {
    m_nTimerId = 0;
    const unsigned nId = MultimediaTimer::SetEvent(TimerPeriodMs, &CWinDA::TimerCallback, this);
    if (nId == 0)
        return 0;
    m_nTimerId = nId;
    return 1;
}

void CWinDA::StopTimer() {
    MultimediaTimer::KillEvent(m_nTimerId);
    m_nTimerId = 0;
}

// Timer thread, m_lock held. At the end of the data the device closes only once no block is
// queued any more, so the last block plays to its end; and a device with nothing left to play
// closes at once instead of idling until the next sound.
int CWinDA::FillNextBlock() {
    if (m_bEndOfData) {
        if (!BlocksQueued())
            ClosePlayer();
        return 1;
    }
    if (++m_nCurBlock >= 2)
        m_nCurBlock = 0;
    WaveHeader* pHeader = m_pHeader[m_nCurBlock];
    m_hWaveOut->UnprepareHeader(pHeader);
    const std::size_t nRead = std::fread(m_pData[m_nCurBlock], 1, m_nBlockBytes, m_pFile);
    if (nRead < m_nBlockBytes)
        m_bEndOfData = 1;
    if (nRead == 0) {
        if (!BlocksQueued())
            ClosePlayer();
        return 1;
    }
    pHeader->nBufferLength = static_cast<std::uint32_t>(nRead);
    WriteBlock(m_hWaveOut.get(), pHeader);
    return 1;
}

void CWinDA::WriteBlock(WaveDevice* pWaveOut, WaveHeader* pHeader) {
    pWaveOut->PrepareHeader(pHeader);
    pWaveOut->Write(pHeader);
}

void CWinDA::TimerCallback(unsigned nTimerId, void* pUser) {
    auto* pPlayer = static_cast<CWinDA*>(pUser);
    // The user-interface thread is loading, playing or closing: the next tick does the work.
    std::unique_lock lock(pPlayer->m_lock, std::try_to_lock);
    if (!lock.owns_lock() || nTimerId != pPlayer->m_nTimerId || !pPlayer->m_hWaveOut)
        return;
    if (pPlayer->m_nDoneBlocks > 0) {
        pPlayer->FillNextBlock();
        --pPlayer->m_nDoneBlocks;
    }
}

void CWinDA::WaveOutCallback(WaveDevice*, unsigned nMessage, void* pUser, WaveHeader*) {
    if (nMessage == WaveMessageDone)
        ++static_cast<CWinDA*>(pUser)->m_nDoneBlocks;
}

void CWinDA::ClosePlayer() {
    if (m_hWaveOut) {
        CloseDevice();
        m_hWaveOut.reset();
    }
    if (m_pFile) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

// Whether the device still holds a block; a block that has come back is left unprepared.
bool CWinDA::BlocksQueued() {
    bool bQueued = false;
    for (WaveHeader* pHeader : m_pHeader) {
        if (pHeader && m_hWaveOut->UnprepareHeader(pHeader) == WaveErrorStillPlaying)
            bQueued = true;
    }
    return bQueued;
}
