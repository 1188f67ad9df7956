#include "music/winmm_seam.h"

#include "seam.h"

namespace solvane {

namespace {

class WinmmMci final : public MciSeam {
public:
    MCIERROR sendString(const char* command, char* reply, UINT replyLength, HWND callback) override {
        return mciSendStringA(command, reply, replyLength, callback);
    }
    BOOL getErrorString(MCIERROR code, char* text, UINT length) override {
        return mciGetErrorStringA(code, text, length);
    }
};

class WinmmSound final : public SoundSeam {
public:
    UINT waveOutDeviceCount() override { return waveOutGetNumDevs(); }
    BOOL playSound(const char* name, HMODULE module, DWORD flags) override { return PlaySoundA(name, module, flags); }
};

WinmmMci winmmMci;
WinmmSound winmmSound;
Seam<MciSeam> mci(winmmMci);
Seam<SoundSeam> sound(winmmSound);

} // namespace

MciSeam& mciSeam() { return mci.current(); }
SoundSeam& soundSeam() { return sound.current(); }
MciSeam* installMciSeam(MciSeam* seam) { return mci.install(seam); }
SoundSeam* installSoundSeam(SoundSeam* seam) { return sound.install(seam); }

} // namespace solvane
