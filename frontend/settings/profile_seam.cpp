#include "settings/profile_seam.h"

namespace solvane {

namespace {

class PlatformProfileWrite final : public ProfileWriteSeam {
public:
    BOOL writeString(const char* section, const char* key, const char* value, const char* file) override {
        return WritePrivateProfileStringA(section, key, value, file);
    }
};

PlatformProfileWrite platformProfileWrite;
ProfileWriteSeam* currentProfileWrite = &platformProfileWrite;

} // namespace

ProfileWriteSeam& profileWriteSeam() { return *currentProfileWrite; }

ProfileWriteSeam* installProfileWriteSeam(ProfileWriteSeam* seam) {
    ProfileWriteSeam* previous = currentProfileWrite;
    currentProfileWrite = seam != nullptr ? seam : &platformProfileWrite;
    return previous;
}

} // namespace solvane
