#pragma once

#include <windows.h>

namespace solvane {

// The settings file's only way to write a profile value. The real profile
// function is the default; a test installs another to make one write fail
// as a full disk or a lost network folder would.
class ProfileWriteSeam {
public:
    virtual ~ProfileWriteSeam() = default;
    virtual BOOL writeString(const char* section, const char* key, const char* value, const char* file) = 0;
};

ProfileWriteSeam& profileWriteSeam();

// Installs a seam (nullptr: the real function again) and returns the one it replaces.
ProfileWriteSeam* installProfileWriteSeam(ProfileWriteSeam* seam);

} // namespace solvane
