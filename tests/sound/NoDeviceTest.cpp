#include "sound/CWinDA.h"
#include "sound/PlayWave.h"
#include "support/ModalHelper.h"

#include <QCoreApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// No audio driver that works (no sound card, no sound server): every sound reports the device's
// error number, and the file stays loaded for the next try.
TEST(NoAudioDevice, PlayReportsDeviceErrorAndKeepsTheFile) {
    setenv("SDL_AUDIODRIVER", "kepiro-no-such-driver", 1);
    CWinDA& player = *CWinDA::GetInstance();
    player.AllocBuffers(44100);
    MessageBoxRecorder boxes;
    EXPECT_EQ(PlayWave(player, QCoreApplication::applicationDirPath() + "/OneOK.wav"), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(boxes.texts, QStringList(2, "Device error 2"));
    EXPECT_EQ(boxes.captions, QStringList(2, "error"));
    EXPECT_EQ(player.m_hWaveOut, nullptr);
    player.FreeBuffers();
    EXPECT_EQ(player.m_pFile, nullptr);
}

} // namespace
