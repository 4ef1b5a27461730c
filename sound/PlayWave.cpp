#include "sound/PlayWave.h"

#include "platform/MessageBox.h"
#include "sound/CWinDA.h"

int PlayWave(CWinDA& player, const QString& strPath) {
    const int nCode = player.LoadWaveFile(strPath);
    if (nCode != WaveFileOk) {
        ShowMessage(WaveFileMessage(nCode));
        return nCode;
    }
    player.Play();
    return nCode;
}
