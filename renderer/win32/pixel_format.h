#pragma once

#include <windows.h>

namespace solvane {

// The three pixel-format calls of a device context, so that the choice can
// be driven by a scripted list of descriptors.
class PixelFormatDevice {
public:
    virtual ~PixelFormatDevice() = default;
    virtual int describe(int number, PIXELFORMATDESCRIPTOR& descriptor) = 0;
    virtual int choose(const PIXELFORMATDESCRIPTOR& descriptor) = 0;
    virtual BOOL set(int number, const PIXELFORMATDESCRIPTOR& descriptor) = 0;
};

// The score of one enumerated format, or -1 when it does not qualify
// (OpenGL, window, double buffer, RGBA).
int scorePixelFormat(const PIXELFORMATDESCRIPTOR& descriptor);

// Picks the best-scoring format (the lowest number among equals) or, when
// none qualifies, the platform's choice for 24-bit colour and depth; sets it
// and returns its number, or 0 when no format could be set.
int selectPixelFormat(PixelFormatDevice& device);
int selectPixelFormat(HDC hdc);

} // namespace solvane
