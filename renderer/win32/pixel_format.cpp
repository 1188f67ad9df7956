#include "win32/pixel_format.h"

namespace solvane {

namespace {

constexpr UINT descriptorSize = sizeof(PIXELFORMATDESCRIPTOR); // 40 bytes
constexpr int hardwareBonus = 2000;
constexpr int acceleratedBonus = 1000;

class DeviceContextFormats : public PixelFormatDevice {
public:
    explicit DeviceContextFormats(HDC hdc) : hdc_(hdc) {}
    int describe(int number, PIXELFORMATDESCRIPTOR& descriptor) override {
        return DescribePixelFormat(hdc_, number, descriptorSize, &descriptor);
    }
    int choose(const PIXELFORMATDESCRIPTOR& descriptor) override { return ChoosePixelFormat(hdc_, &descriptor); }
    BOOL set(int number, const PIXELFORMATDESCRIPTOR& descriptor) override {
        return SetPixelFormat(hdc_, number, &descriptor);
    }

private:
    HDC hdc_;
};

} // namespace

int scorePixelFormat(const PIXELFORMATDESCRIPTOR& d) {
    constexpr DWORD required = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;
    if ((d.dwFlags & required) != required || d.iPixelType != PFD_TYPE_RGBA) {
        return -1;
    }
    int score = d.cColorBits + 2 * d.cDepthBits;
    if (d.cColorBits > 16) {
        score += (16 - d.cColorBits) / 2; // colour beyond 16 bits counts half
    }
    if ((d.dwFlags & PFD_GENERIC_FORMAT) == 0) {
        score += hardwareBonus;
    } else if ((d.dwFlags & PFD_GENERIC_ACCELERATED) != 0) {
        score += acceleratedBonus;
    }
    return score;
}

int selectPixelFormat(PixelFormatDevice& device) {
    int best = 0;
    int bestScore = 0;
    PIXELFORMATDESCRIPTOR descriptor{};
    for (int number = 1; device.describe(number, descriptor) != 0; ++number) {
        const int score = scorePixelFormat(descriptor);
        if (score > bestScore) {
            bestScore = score;
            best = number;
        }
    }
    if (best != 0) {
        device.describe(best, descriptor);
        return device.set(best, descriptor) ? best : 0;
    }
    PIXELFORMATDESCRIPTOR wanted{};
    wanted.nSize = descriptorSize;
    wanted.nVersion = 1;
    wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.iPixelType = PFD_TYPE_RGBA;
    wanted.cColorBits = 24;
    wanted.cDepthBits = 24;
    const int chosen = device.choose(wanted);
    return chosen != 0 && device.set(chosen, wanted) ? chosen : 0;
}

int selectPixelFormat(HDC hdc) {
    DeviceContextFormats device(hdc);
    return selectPixelFormat(device);
}

} // namespace solvane
