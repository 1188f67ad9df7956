// The windows the probe makes: a stand-in saver window that lives until
// it is closed, times out or sees input, and a stand-in screen-saver host.
#include "probe.h"

namespace probe {

// A top-level window that lives until WM_CLOSE, a timeout, or (if asked) input.
struct WindowOptions {
  bool exit_on_key = false;
  bool exit_on_click = false;
  bool exit_on_wheel = false;
  int exit_code = exit_ok;
};

void finish(HWND hwnd, WindowOptions& o, int code) {
  o.exit_code = code;
  DestroyWindow(hwnd);
}

void on_button(HWND hwnd, WindowOptions& o, const char* button, LPARAM lparam) {
  if (!o.exit_on_click)
    return;
  std::printf("click %s %d %d\n", button, static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
  std::fflush(stdout);
  finish(hwnd, o, exit_click);
}

void on_key(HWND hwnd, WindowOptions& o, WPARAM vk) {
  if (!o.exit_on_key)
    return;
  std::printf("key %llu\n", static_cast<unsigned long long>(vk));
  std::fflush(stdout);
  finish(hwnd, o, exit_key);
}

void on_wheel(HWND hwnd, WindowOptions& o, WPARAM wparam) {
  if (!o.exit_on_wheel)
    return;
  std::printf("wheel %d\n", static_cast<short>(HIWORD(wparam)));
  std::fflush(stdout);
  finish(hwnd, o, exit_wheel);
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* o = reinterpret_cast<WindowOptions*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!o)
    return DefWindowProcA(hwnd, msg, wparam, lparam);
  switch (msg) {
  case WM_TIMER:
    if (wparam == timeout_timer_id)
      finish(hwnd, *o, exit_not_found);
    return 0;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    on_key(hwnd, *o, wparam);
    break;
  case WM_LBUTTONDOWN:
    on_button(hwnd, *o, "left", lparam);
    return 0;
  case WM_RBUTTONDOWN:
    on_button(hwnd, *o, "right", lparam);
    return 0;
  case WM_MBUTTONDOWN:
    on_button(hwnd, *o, "middle", lparam);
    return 0;
  case WM_MOUSEWHEEL:
    on_wheel(hwnd, *o, wparam);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(o->exit_code);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

int run_window(const char* cls, const char* title, RECT r, DWORD style, std::optional<DWORD> timeout,
               WindowOptions options) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = window_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = cls;
  if (!RegisterClassA(&wc)) {
    std::fprintf(stderr, "RegisterClass failed: %lu\n", GetLastError());
    return exit_not_found;
  }
  const HWND hwnd = CreateWindowExA(0, cls, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                                    nullptr, wc.hInstance, &options);
  if (!hwnd) {
    std::fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
    return exit_not_found;
  }
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  if (timeout)
    SetTimer(hwnd, timeout_timer_id, *timeout, nullptr);
  RECT client{};
  GetClientRect(hwnd, &client);
  std::printf("%llu %ld %ld\n", handle_value(hwnd), client.right, client.bottom);
  std::fflush(stdout);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int cmd_hold(Args a) {
  if (a.size() < 2)
    return usage();
  WindowOptions options;
  RECT rect = default_hold_rect;
  std::optional<DWORD> timeout;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a[i] == "--exit-on-key") {
      options.exit_on_key = true;
    } else if (a[i] == "--exit-on-click") {
      options.exit_on_click = true;
    } else if (a[i] == "--exit-on-wheel") {
      options.exit_on_wheel = true;
    } else if (a[i] == "--geometry" && i + 4 < a.size()) {
      const auto x = parse_number(a[i + 1]), y = parse_number(a[i + 2]);
      const auto w = parse_number(a[i + 3]), h = parse_number(a[i + 4]);
      if (!x || !y || !w || !h)
        return usage();
      rect = {static_cast<LONG>(*x), static_cast<LONG>(*y), static_cast<LONG>(*x + *w), static_cast<LONG>(*y + *h)};
      i += 4;
    } else if (const auto t = parse_number(a[i]); t && *t >= 0 && i == 2) {
      timeout = static_cast<DWORD>(*t);
    } else {
      return usage();
    }
  }
  return run_window(a[0].data(), a[1].data(), rect, WS_OVERLAPPEDWINDOW, timeout, options);
}

int cmd_host(Args a) {
  if (a.size() < 2 || a.size() > 3)
    return usage();
  const auto w = parse_number(a[0]), h = parse_number(a[1]);
  if (!w || !h || *w <= 0 || *h <= 0)
    return usage();
  std::optional<DWORD> timeout;
  if (a.size() > 2) {
    const auto t = parse_number(a[2]);
    if (!t || *t < 0)
      return usage();
    timeout = static_cast<DWORD>(*t);
  }
  const RECT rect{0, 0, static_cast<LONG>(*w), static_cast<LONG>(*h)};
  return run_window("SolvaneProbeHost", "Solvane Probe Host", rect, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, timeout, {});
}

} // namespace probe
