// Preloaded into the native program, it makes Mesa's software GLX behave as
// a driver that honours a swap interval, which no driver on a virtual X
// display does: it offers GLX_EXT_swap_control, keeps the interval asked
// for, and holds each swap until the next tick of a 60 Hz clock.
#include <GL/glx.h>
#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr long periodNanos = 1000000000L / 60;
int interval = 0;

template <class Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void swapInterval(Display*, GLXDrawable, int value) {
    interval = value;
    std::fprintf(stderr, "vsync driver: swap interval %d\n", value);
}

void untilTheNextTick() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long nanos = now.tv_sec * 1000000000LL + now.tv_nsec;
    const long long tick = (nanos / periodNanos + interval) * periodNanos;
    const timespec at{static_cast<time_t>(tick / 1000000000LL), static_cast<long>(tick % 1000000000LL)};
    // Again only when a signal cut the sleep short; any other error ends it.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace

extern "C" {

const char* glXQueryExtensionsString(Display* display, int screen) {
    static std::string offered;
    const char* real = next<const char* (*)(Display*, int)>("glXQueryExtensionsString")(display, screen);
    offered = std::string(real != nullptr ? real : "") + " GLX_EXT_swap_control";
    return offered.c_str();
}

__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name) {
    if (std::strcmp(reinterpret_cast<const char*>(name), "glXSwapIntervalEXT") == 0) {
        return reinterpret_cast<__GLXextFuncPtr>(swapInterval);
    }
    return next<__GLXextFuncPtr (*)(const GLubyte*)>("glXGetProcAddressARB")(name);
}

void glXQueryDrawable(Display* display, GLXDrawable drawable, int attribute, unsigned int* value) {
    if (attribute == GLX_SWAP_INTERVAL_EXT) {
        *value = static_cast<unsigned int>(interval);
        return;
    }
    next<void (*)(Display*, GLXDrawable, int, unsigned int*)>("glXQueryDrawable")(display, drawable, attribute, value);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    next<void (*)(Display*, GLXDrawable)>("glXSwapBuffers")(display, drawable);
    if (interval > 0) {
        untilTheNextTick();
    }
}

} // extern "C"
