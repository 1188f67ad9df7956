#include "settings/profile_seam.h"

#include "seam.h"

namespace solvane {

namespace {

class PlatformProfileWrite final : public ProfileWriteSeam {
public:
    BOOL writeString(const char* section, const char* key, const char* value, const char* file) override {
        return WritePrivateProfileStringA(section, key, value, file);
    }
};

PlatformProfileWrite platformProfileWrite;
Seam<ProfileWriteSeam> seam(platformProfileWrite);

} // namespace

ProfileWriteSeam& profileWriteSeam() { return seam.current(); }
ProfileWriteSeam* installProfileWriteSeam(ProfileWriteSeam* replacement) { return seam.install(replacement); }

} // namespace solvane
