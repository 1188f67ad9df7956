#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace solvane {

// The module's only ways to winmm. The real library is the default; tests
// install another where the platform piece cannot exist here (a CD drive) or
// where a call must be observed.
class MciSeam {
public:
    virtual ~MciSeam() = default;
    virtual MCIERROR sendString(const char* command, char* reply, UINT replyLength, HWND callback) = 0;
    virtual BOOL getErrorString(MCIERROR code, char* text, UINT length) = 0;
};

class SoundSeam {
public:
    virtual ~SoundSeam() = default;
    virtual UINT waveOutDeviceCount() = 0;
    virtual BOOL playSound(const char* name, HMODULE module, DWORD flags) = 0;
};

MciSeam& mciSeam();
SoundSeam& soundSeam();

// Installs a seam (nullptr: the real winmm again) and returns the one it
// replaces.
MciSeam* installMciSeam(MciSeam* seam);
SoundSeam* installSoundSeam(SoundSeam* seam);

} // namespace solvane
