// Windows-side eyes and hands of the end-to-end harness: finds, waits for and
// messages windows, and creates windows that stand in for a host or a saver.
// Results go to stdout as one line (children: one line per child; hold and
// host first print "HWND CLIENT_WIDTH CLIENT_HEIGHT"). Exit 0 = success,
// 1 = not found/timeout, 2 = usage error, 3 = key pressed, 4 = mouse clicked,
// 5 = wheel turned.
#include <windows.h>
#include <mmsystem.h>
#include <GL/gl.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

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
std::optional<long long> parse_number(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  unsigned long long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

unsigned long long handle_value(HWND hwnd) {
  return reinterpret_cast<std::uintptr_t>(hwnd);
}

HWND to_hwnd(long long value) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(value));
}

// "hwnd left top right bottom pid visible"
void print_window(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  std::printf("%llu %ld %ld %ld %ld %lu %d\n", handle_value(hwnd), r.left, r.top, r.right, r.bottom,
              pid, IsWindowVisible(hwnd) ? 1 : 0);
}

HWND find(std::string_view title, const char* cls) {
  return FindWindowA(cls, title.data());
}

template <typename Done>
bool poll_until(DWORD timeout_ms, Done done) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(poll_interval_ms);
  }
}

int usage() {
  std::fputs(
      "usage: probe find TITLE [CLASS]\n"
      "       probe wait TITLE TIMEOUT_MS [CLASS] [--visible] [--announce]\n"
      "       probe wait-gone TITLE TIMEOUT_MS\n"
      "       probe post|send HWND MSG WPARAM LPARAM\n"
      "       probe children HWND\n"
      "       probe metrics | monitors | foreground | version | keep | saver-running\n"
      "       probe texts HWND\n"
      "       probe exit-delay WATCHED_TITLE OWNER_TITLE TIMEOUT_MS\n"
      "       probe terminate PID\n"
      "       probe hold-file PATH TIMEOUT_MS\n"
      "       probe answers HWND TIMEOUT_MS\n"
      "       probe style HWND\n"
      "       probe clipboard FILE\n"
      "       probe font FACE\n"
      "       probe play FILE.wav\n"
      "       probe gl\n"
      "       probe hold CLASS TITLE [TIMEOUT_MS] [--exit-on-key] [--exit-on-click]\n"
      "                  [--exit-on-wheel]\n"
      "                  [--geometry X Y W H]\n"
      "       probe host W H [TIMEOUT_MS]\n",
      stderr);
  return exit_usage;
}

int cmd_find(Args a) {
  if (a.size() < 1 || a.size() > 2) return usage();
  const HWND hwnd = find(a[0], a.size() > 1 ? a[1].data() : nullptr);
  if (!hwnd) return exit_not_found;
  print_window(hwnd);
  return exit_ok;
}

int cmd_wait(Args a) {
  const auto flag = std::find(a.begin(), a.end(), "--visible");
  const bool visible = flag != a.end();
  if (visible) a.erase(flag);
  // Says when the probe itself is up, so that a driver can start what it
  // waits for without the probe's own start-up competing with it.
  const auto announce_flag = std::find(a.begin(), a.end(), "--announce");
  const bool announce = announce_flag != a.end();
  if (announce) a.erase(announce_flag);
  if (a.size() < 2 || a.size() > 3) return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0) return usage();
  const char* cls = a.size() > 2 ? a[2].data() : nullptr;
  HWND hwnd = nullptr;
  const auto found = [&] {
    hwnd = find(a[0], cls);
    return hwnd && (!visible || IsWindowVisible(hwnd));
  };
  if (announce) {
    std::puts("waiting");
    std::fflush(stdout);
  }
  if (!poll_until(static_cast<DWORD>(*timeout), found)) return exit_not_found;
  print_window(hwnd);
  return exit_ok;
}

int cmd_wait_gone(Args a) {
  if (a.size() != 2) return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0) return usage();
  return poll_until(static_cast<DWORD>(*timeout), [&] { return !find(a[0], nullptr); })
             ? exit_ok
             : exit_not_found;
}

struct Message {
  HWND hwnd;
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
};

std::optional<Message> parse_message(const Args& a) {
  if (a.size() != 4) return std::nullopt;
  const auto hwnd = parse_number(a[0]), msg = parse_number(a[1]);
  const auto wparam = parse_number(a[2]), lparam = parse_number(a[3]);
  if (!hwnd || !msg || !wparam || !lparam) return std::nullopt;
  return Message{to_hwnd(*hwnd), static_cast<UINT>(*msg), static_cast<WPARAM>(*wparam),
                 static_cast<LPARAM>(*lparam)};
}

int cmd_post(Args a) {
  const auto m = parse_message(a);
  if (!m) return usage();
  if (PostMessageA(m->hwnd, m->msg, m->wparam, m->lparam)) return exit_ok;
  std::printf("error %lu\n", GetLastError());
  return exit_not_found;
}

int cmd_send(Args a) {
  const auto m = parse_message(a);
  if (!m) return usage();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(m->hwnd, m->msg, m->wparam, m->lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                           send_timeout_ms, &result)) {
    std::printf("error %lu\n", GetLastError());
    return exit_not_found;
  }
  std::printf("%lld\n", static_cast<long long>(result));
  return exit_ok;
}

// "STYLE PARENT": a window's style bits and its parent, both in hex and decimal.
int cmd_style(Args a) {
  if (a.size() != 1) return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd) return usage();
  const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(*hwnd));
  if (!IsWindow(window)) return exit_not_found;
  std::printf("%#lx %lld\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<long long>(reinterpret_cast<INT_PTR>(GetAncestor(window, GA_PARENT))));
  return exit_ok;
}

// Whether HWND answers a message within TIMEOUT ms: prints the milliseconds
// it took, or fails.
int cmd_answers(Args a) {
  if (a.size() != 2) return usage();
  const auto hwnd = parse_number(a[0]);
  const auto timeout = parse_number(a[1]);
  if (!hwnd || !timeout || *timeout < 0) return usage();
  LARGE_INTEGER frequency, sent, answered;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&sent);
  DWORD_PTR result = 0;
  const bool ok = SendMessageTimeoutA(reinterpret_cast<HWND>(static_cast<INT_PTR>(*hwnd)), WM_NULL, 0, 0,
                                      SMTO_ABORTIFHUNG | SMTO_BLOCK, static_cast<UINT>(*timeout), &result) != 0;
  QueryPerformanceCounter(&answered);
  std::printf("%.1f\n", static_cast<double>(answered.QuadPart - sent.QuadPart) * 1000.0 /
                            static_cast<double>(frequency.QuadPart));
  return ok ? exit_ok : exit_not_found;
}

BOOL CALLBACK print_child(HWND hwnd, LPARAM) {
  char cls[256] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  std::printf("%s ", cls);
  print_window(hwnd);
  return TRUE;
}

// One line per direct or indirect child: "class hwnd left top right bottom pid visible".
int cmd_children(Args a) {
  if (a.size() != 1) return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd) return usage();
  if (!IsWindow(to_hwnd(*hwnd))) return exit_not_found;
  EnumChildWindows(to_hwnd(*hwnd), print_child, 0);
  return exit_ok;
}

// Stays connected to the desktop so that Wine does not close the virtual
// desktop (explorer) each time the last test program exits.
int cmd_keep(Args a) {
  if (!a.empty()) return usage();
  if (!GetDesktopWindow()) return exit_not_found;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return exit_ok;
}

// "major minor platform" as GetVersionExA reports them (Wine's version setting).
int cmd_version(Args a) {
  if (!a.empty()) return usage();
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return exit_not_found;
  std::printf("%lu %lu %lu\n", info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
  return exit_ok;
}

// "1" or "0": the system's screen-saver-running state.
int cmd_saver_running(Args a) {
  if (!a.empty()) return usage();
  BOOL running = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return exit_not_found;
  std::printf("%d\n", running ? 1 : 0);
  return exit_ok;
}

// The wide texts of a top-level window and its children, as UTF-8 lines
// "CLASS<TAB>TEXT", so that Japanese reads the same whatever the code page.
BOOL CALLBACK print_child_text(HWND hwnd, LPARAM) {
  wchar_t text[1024] = {};
  char cls[128] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  // WM_GETTEXT, not GetWindowText: across processes only the message reads
  // what an edit control holds.
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, send_timeout_ms,
                      &copied);
  char utf8[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\t%s\n", cls, utf8);
  return TRUE;
}

// "clipboard FILE": puts the UTF-8 text of FILE on the clipboard as Unicode
// text, for a test to paste what typing through X would garble (letters
// outside the keyboard's map).
int cmd_clipboard(Args a) {
  if (a.size() != 1) return usage();
  std::ifstream in{std::string(a[0]), std::ios::binary};
  if (!in) return exit_not_found;
  const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0) return exit_usage;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t));
  if (!memory) return exit_not_found;
  auto* text = static_cast<wchar_t*>(GlobalLock(memory));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text, length);
  text[length] = L'\0';
  GlobalUnlock(memory);
  bool set = false;
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;  // the clipboard owns it now
    CloseClipboard();
  }
  if (!set) {
    GlobalFree(memory);
    return exit_not_found;
  }
  return exit_ok;
}

int cmd_texts(Args a) {
  if (a.size() != 1) return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd || !IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(*hwnd)))) return exit_not_found;
  const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(*hwnd));
  print_child_text(window, 0);
  EnumChildWindows(window, print_child_text, 0);
  return exit_ok;
}

// Waits for the window WATCHED to vanish, then for the process owning the
// window OWNER to end; prints the milliseconds between the two.
int cmd_exit_delay(Args a) {
  if (a.size() != 3) return usage();
  const std::string watched(a[0]);
  const std::string owner(a[1]);
  const auto timeout = parse_number(a[2]);
  if (!timeout) return usage();
  const HWND owner_window = FindWindowA(nullptr, owner.c_str());
  DWORD pid = 0;
  if (!owner_window || !GetWindowThreadProcessId(owner_window, &pid)) return exit_not_found;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return exit_not_found;
  // On stderr, so stdout stays the one figure: the watch has begun.
  std::fputs("watching\n", stderr);
  std::fflush(stderr);
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(*timeout);
  while (FindWindowA(nullptr, watched.c_str())) {
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return exit_not_found;
    Sleep(1);
  }
  LARGE_INTEGER frequency, gone, ended;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&gone);
  const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(*timeout));
  QueryPerformanceCounter(&ended);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) return exit_not_found;
  std::printf("%.1f\n", static_cast<double>(ended.QuadPart - gone.QuadPart) * 1000.0 /
                             static_cast<double>(frequency.QuadPart));
  return exit_ok;
}

// Ends a Windows process from outside, as a task manager would.
int cmd_terminate(Args a) {
  if (a.size() != 1) return usage();
  const auto pid = parse_number(a[0]);
  if (!pid) return usage();
  const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(*pid));
  if (!process) return exit_not_found;
  const BOOL ended = TerminateProcess(process, 1) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended ? exit_ok : exit_not_found;
}

// Holds a file open for writing, sharing it for reading only, as another
// program editing it would; prints "held" once it has it.
int cmd_hold_file(Args a) {
  if (a.size() != 2) return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0) return usage();
  const std::string path(a[0]);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return exit_not_found;
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(*timeout));
  CloseHandle(file);
  return exit_ok;
}

int cmd_metrics(Args a) {
  if (!a.empty()) return usage();
  std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  return exit_ok;
}

BOOL CALLBACK print_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    const int primary = (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0;
    std::printf("%ld %ld %ld %ld %d\n", r.left, r.top, r.right, r.bottom, primary);
  }
  return TRUE;
}

// The virtual screen (left top right bottom), then a line per monitor with
// its rectangle and 1 for the primary one.
int cmd_monitors(Args a) {
  if (!a.empty()) return usage();
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  std::printf("%d %d %d %d\n", left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              top + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0);
  return exit_ok;
}

int cmd_foreground(Args a) {
  if (!a.empty()) return usage();
  const HWND hwnd = GetForegroundWindow();
  if (!hwnd) return exit_not_found;
  char title[512] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  std::printf("%llu %s\n", handle_value(hwnd), title);
  return exit_ok;
}

// "face japanese": the face GDI actually selected and whether it covers JIS.
int cmd_font(Args a) {
  if (a.size() != 1) return usage();
  const HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH, a[0].data());
  const HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  FONTSIGNATURE sig{};
  GetTextCharsetInfo(dc, &sig, 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  const bool japanese = (sig.fsCsb[0] & FS_JISJAPAN) != 0;
  std::printf("%s %d\n", face, japanese ? 1 : 0);
  return exit_ok;
}

// "R G B renderer": clears a hidden window's back buffer to red with WGL and
// reads the pixel back, proving the OpenGL path (Wine over Mesa) works.
int cmd_gl(Args a) {
  if (!a.empty()) return usage();
  WNDCLASSA wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneProbeGL";
  RegisterClassA(&wc);
  const HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Solvane Probe GL", WS_POPUP, 0, 0, 64,
                                    64, nullptr, nullptr, wc.hInstance, nullptr);
  const HDC dc = GetDC(hwnd);
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 24;
  pfd.cDepthBits = 16;
  const int format = ChoosePixelFormat(dc, &pfd);
  HGLRC context = nullptr;
  if (!format || !SetPixelFormat(dc, format, &pfd) || !(context = wglCreateContext(dc)) ||
      !wglMakeCurrent(dc, context)) {
    std::fprintf(stderr, "no OpenGL context: %lu\n", GetLastError());
    return exit_not_found;
  }
  glViewport(0, 0, 64, 64);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glFinish();
  unsigned char pixel[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(8, 8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  std::printf("%u %u %u %s\n", pixel[0], pixel[1], pixel[2],
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(hwnd, dc);
  DestroyWindow(hwnd);
  return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0 ? exit_ok : exit_not_found;
}

int cmd_play(Args a) {
  if (a.size() != 1) return usage();
  return PlaySoundA(a[0].data(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT) ? exit_ok
                                                                                   : exit_not_found;
}

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
  if (!o.exit_on_click) return;
  std::printf("click %s %d %d\n", button, static_cast<short>(LOWORD(lparam)),
              static_cast<short>(HIWORD(lparam)));
  std::fflush(stdout);
  finish(hwnd, o, exit_click);
}

void on_key(HWND hwnd, WindowOptions& o, WPARAM vk) {
  if (!o.exit_on_key) return;
  std::printf("key %llu\n", static_cast<unsigned long long>(vk));
  std::fflush(stdout);
  finish(hwnd, o, exit_key);
}

void on_wheel(HWND hwnd, WindowOptions& o, WPARAM wparam) {
  if (!o.exit_on_wheel) return;
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
  if (!o) return DefWindowProcA(hwnd, msg, wparam, lparam);
  switch (msg) {
    case WM_TIMER:
      if (wparam == timeout_timer_id) finish(hwnd, *o, exit_not_found);
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
  const HWND hwnd = CreateWindowExA(0, cls, title, style, r.left, r.top, r.right - r.left,
                                    r.bottom - r.top, nullptr, nullptr, wc.hInstance, &options);
  if (!hwnd) {
    std::fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
    return exit_not_found;
  }
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  if (timeout) SetTimer(hwnd, timeout_timer_id, *timeout, nullptr);
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
  if (a.size() < 2) return usage();
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
      if (!x || !y || !w || !h) return usage();
      rect = {static_cast<LONG>(*x), static_cast<LONG>(*y), static_cast<LONG>(*x + *w),
              static_cast<LONG>(*y + *h)};
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
  if (a.size() < 2 || a.size() > 3) return usage();
  const auto w = parse_number(a[0]), h = parse_number(a[1]);
  if (!w || !h || *w <= 0 || *h <= 0) return usage();
  std::optional<DWORD> timeout;
  if (a.size() > 2) {
    const auto t = parse_number(a[2]);
    if (!t || *t < 0) return usage();
    timeout = static_cast<DWORD>(*t);
  }
  const RECT rect{0, 0, static_cast<LONG>(*w), static_cast<LONG>(*h)};
  return run_window("SolvaneProbeHost", "Solvane Probe Host", rect,
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, timeout, {});
}

struct Command {
  std::string_view name;
  int (*run)(Args);
};

constexpr Command commands[] = {
    {"find", cmd_find},         {"wait", cmd_wait},       {"wait-gone", cmd_wait_gone},
    {"post", cmd_post},         {"send", cmd_send},       {"children", cmd_children},
    {"keep", cmd_keep},         {"version", cmd_version},    {"metrics", cmd_metrics},   {"monitors", cmd_monitors},   {"foreground", cmd_foreground}, {"font", cmd_font},
    {"play", cmd_play},         {"gl", cmd_gl},         {"hold", cmd_hold},       {"host", cmd_host},
    {"saver-running", cmd_saver_running}, {"texts", cmd_texts}, {"exit-delay", cmd_exit_delay},
    {"terminate", cmd_terminate}, {"hold-file", cmd_hold_file}, {"answers", cmd_answers}, {"style", cmd_style},
    {"clipboard", cmd_clipboard},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const Args args(argv + 2, argv + argc);
  for (const Command& c : commands)
    if (c.name == argv[1]) return c.run(args);
  return usage();
}
