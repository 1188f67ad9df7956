#pragma once

// What the probe's commands share: exit codes, arguments, and how they
// name and print windows.
#include <windows.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace probe {

constexpr int exit_ok = 0;
constexpr int exit_not_found = 1;
constexpr int exit_usage = 2;
constexpr int exit_key = 3;
constexpr int exit_click = 4;
constexpr int exit_wheel = 5;
constexpr DWORD poll_interval_ms = 10;
constexpr UINT send_timeout_ms = 5000;
constexpr UINT_PTR timeout_timer_id = 1;
constexpr RECT default_hold_rect{100, 100, 740, 580};

using Args = std::vector<std::string_view>;

// Decimal (optionally negative) or 0x-prefixed hexadecimal.
inline std::optional<long long> parse_number(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative)
    text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  unsigned long long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc{} || ptr != end)
    return std::nullopt;
  return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

inline unsigned long long handle_value(HWND hwnd) { return reinterpret_cast<std::uintptr_t>(hwnd); }

inline HWND to_hwnd(long long value) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value)); }

// "hwnd left top right bottom pid visible"
inline void print_window(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  std::printf("%llu %ld %ld %ld %ld %lu %d\n", handle_value(hwnd), r.left, r.top, r.right, r.bottom, pid,
              IsWindowVisible(hwnd) ? 1 : 0);
}

inline HWND find(std::string_view title, const char* cls) { return FindWindowA(cls, title.data()); }

template <typename Done>
inline bool poll_until(DWORD timeout_ms, Done done) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done())
      return true;
    if (GetTickCount64() >= deadline)
      return false;
    Sleep(poll_interval_ms);
  }
}

// The usage text on stderr; returns exit_usage.
int usage();

// What the system says and does: metrics, versions, fonts, GL, sound, the
// clipboard (probe_system.cpp).
int cmd_keep(Args a);
int cmd_version(Args a);
int cmd_saver_running(Args a);
int cmd_clipboard(Args a);
int cmd_current_folder(Args a);
int cmd_metrics(Args a);
int cmd_monitors(Args a);
int cmd_font(Args a);
int cmd_gl(Args a);
int cmd_play(Args a);

// A screen reader in a process of its own (probe_accessible.cpp).
int cmd_accessible(Args a);
int cmd_accessible_do(Args a);

// Windows the probe makes itself: a stand-in saver and a stand-in host
// (probe_windows.cpp).
int cmd_hold(Args a);
int cmd_host(Args a);

} // namespace probe
