// The pixel-format choice over scripted descriptor lists.
#include "win32/pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace solvane {
namespace {

constexpr DWORD usable = PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER;

PIXELFORMATDESCRIPTOR format(DWORD flags, BYTE colour, BYTE depth, BYTE type = PFD_TYPE_RGBA) {
    PIXELFORMATDESCRIPTOR d{};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = flags;
    d.iPixelType = type;
    d.cColorBits = colour;
    d.cDepthBits = depth;
    return d;
}

class ScriptedDevice : public PixelFormatDevice {
public:
    explicit ScriptedDevice(std::vector<PIXELFORMATDESCRIPTOR> formats) : formats_(std::move(formats)) {}
    int describe(int number, PIXELFORMATDESCRIPTOR& descriptor) override {
        if (number < 1 || number > static_cast<int>(formats_.size())) {
            return 0;
        }
        descriptor = formats_[static_cast<std::size_t>(number - 1)];
        return static_cast<int>(formats_.size());
    }
    int choose(const PIXELFORMATDESCRIPTOR& descriptor) override {
        chooseAsked = descriptor;
        ++chooseCalls;
        return 77;
    }
    BOOL set(int number, const PIXELFORMATDESCRIPTOR& descriptor) override {
        setNumber = number;
        setDescriptor = descriptor;
        ++setCalls;
        return TRUE;
    }

    PIXELFORMATDESCRIPTOR chooseAsked{};
    PIXELFORMATDESCRIPTOR setDescriptor{};
    int chooseCalls = 0;
    int setCalls = 0;
    int setNumber = 0;

private:
    std::vector<PIXELFORMATDESCRIPTOR> formats_;
};

TEST(PixelFormatScoreTest, CountsColourDepthAndAcceleration) {
    EXPECT_EQ(scorePixelFormat(format(usable | PFD_GENERIC_FORMAT, 16, 16)), 48);
    EXPECT_EQ(scorePixelFormat(format(usable | PFD_GENERIC_FORMAT, 24, 24)), 24 + 48 - 4);
    EXPECT_EQ(scorePixelFormat(format(usable | PFD_GENERIC_FORMAT, 32, 24)), 32 + 48 - 8);
    EXPECT_EQ(scorePixelFormat(format(usable | PFD_GENERIC_FORMAT, 17, 0)), 17); // (16 - 17) / 2 truncates to 0
    EXPECT_EQ(scorePixelFormat(format(usable | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED, 32, 24)), 1072);
    EXPECT_EQ(scorePixelFormat(format(usable, 16, 0)), 2016);
}

TEST(PixelFormatScoreTest, RejectsFormatsLackingAnyRequirement) {
    for (DWORD missing : {DWORD{PFD_SUPPORT_OPENGL}, DWORD{PFD_DRAW_TO_WINDOW}, DWORD{PFD_DOUBLEBUFFER}}) {
        EXPECT_EQ(scorePixelFormat(format(usable & ~missing, 32, 24)), -1);
    }
    EXPECT_EQ(scorePixelFormat(format(usable, 8, 0, PFD_TYPE_COLORINDEX)), -1);
}

TEST(SelectPixelFormatTest, HardwareBeatsAnySoftwareFormat) {
    ScriptedDevice device({
        format(usable | PFD_GENERIC_FORMAT, 32, 32),
        format(usable | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED, 32, 32),
        format(usable, 16, 0),
        format(usable | PFD_GENERIC_FORMAT, 24, 24),
    });
    EXPECT_EQ(selectPixelFormat(device), 3);
    EXPECT_EQ(device.setNumber, 3);
    EXPECT_EQ(device.setDescriptor.cColorBits, 16);
    EXPECT_EQ(device.chooseCalls, 0);
}

TEST(SelectPixelFormatTest, AcceleratedBeatsPlainSoftwareAndTiesGoToTheLowerNumber) {
    ScriptedDevice accelerated({
        format(usable | PFD_GENERIC_FORMAT, 32, 32),
        format(usable | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED, 16, 0),
    });
    EXPECT_EQ(selectPixelFormat(accelerated), 2);

    ScriptedDevice ties({
        format(PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW, 32, 24), // single-buffered
        format(usable | PFD_GENERIC_FORMAT, 24, 24), format(usable | PFD_GENERIC_FORMAT, 24, 24),
        format(usable | PFD_GENERIC_FORMAT, 32, 16), // 32 + 32 - 8 = 56 < 68
    });
    EXPECT_EQ(selectPixelFormat(ties), 2);
    EXPECT_EQ(ties.setCalls, 1);
}

TEST(SelectPixelFormatTest, FallsBackToThePlatformChoiceWhenNoneQualifies) {
    ScriptedDevice device({
        format(PFD_SUPPORT_OPENGL | PFD_DRAW_TO_WINDOW, 32, 24),
        format(usable, 8, 0, PFD_TYPE_COLORINDEX),
    });
    EXPECT_EQ(selectPixelFormat(device), 77);
    ASSERT_EQ(device.chooseCalls, 1);
    const PIXELFORMATDESCRIPTOR& asked = device.chooseAsked;
    EXPECT_EQ(asked.nSize, 40);
    EXPECT_EQ(asked.nVersion, 1);
    EXPECT_EQ(asked.dwFlags, DWORD{PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER});
    EXPECT_EQ(asked.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(asked.cColorBits, 24);
    EXPECT_EQ(asked.cDepthBits, 24);
    EXPECT_EQ(asked.cStencilBits, 0);
    EXPECT_EQ(asked.cAlphaBits, 0);
    EXPECT_EQ(device.setNumber, 77);

    ScriptedDevice empty({});
    EXPECT_EQ(selectPixelFormat(empty), 77);
}

} // namespace
} // namespace solvane
