#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

// Turns multimedia-clock readings into Unix-epoch milliseconds, so that the
// benchmark driver on the Linux side can compare them with its own clock.
class ClockBridge {
public:
    ClockBridge() {
        FILETIME now{};
        GetSystemTimePreciseAsFileTime(&now);
        millisAtStart_ = timeGetTime();
        const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
        constexpr std::uint64_t unixEpochTicks = 116444736000000000ull; // 1970 in 100 ns since 1601
        unixMillisAtStart_ = static_cast<double>(ticks - unixEpochTicks) / 10000.0;
    }

    double unixMillis(DWORD clockMillis) const {
        return unixMillisAtStart_ + static_cast<double>(static_cast<std::int32_t>(clockMillis - millisAtStart_));
    }

    double nowUnixMillis() const { return unixMillis(timeGetTime()); }

private:
    DWORD millisAtStart_ = 0;
    double unixMillisAtStart_ = 0;
};
