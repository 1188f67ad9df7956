// The probe's commands about the system: metrics, versions, fonts, GL,
// sound and the clipboard.
#include "probe.h"

#include <GL/gl.h>
#include <mmsystem.h>
#include <winternl.h>

#include <cstddef>
#include <fstream>
#include <iterator>

namespace probe {

// Stays connected to the desktop so that Wine does not close the virtual
// desktop (explorer) each time the last test program exits.
int cmd_keep(Args a) {
  if (!a.empty())
    return usage();
  if (!GetDesktopWindow())
    return exit_not_found;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return exit_ok;
}

// "major minor platform" as GetVersionExA reports them (Wine's version setting).
int cmd_version(Args a) {
  if (!a.empty())
    return usage();
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info))
    return exit_not_found;
  std::printf("%lu %lu %lu\n", info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
  return exit_ok;
}

// "1" or "0": the system's screen-saver-running state.
int cmd_saver_running(Args a) {
  if (!a.empty())
    return usage();
  BOOL running = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
    return exit_not_found;
  std::printf("%d\n", running ? 1 : 0);
  return exit_ok;
}

// "clipboard FILE": puts the UTF-8 text of FILE on the clipboard as Unicode
// text, for a test to paste what typing through X would garble (letters
// outside the keyboard's map).
int cmd_clipboard(Args a) {
  if (a.size() != 1)
    return usage();
  std::ifstream in{std::string(a[0]), std::ios::binary};
  if (!in)
    return exit_not_found;
  const std::string utf8{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length <= 0)
    return exit_usage;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t));
  if (!memory)
    return exit_not_found;
  auto* text = static_cast<wchar_t*>(GlobalLock(memory));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text, length);
  text[length] = L'\0';
  GlobalUnlock(memory);
  bool set = false;
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr; // the clipboard owns it now
    CloseClipboard();
  }
  if (!set) {
    GlobalFree(memory);
    return exit_not_found;
  }
  return exit_ok;
}

// The head of RTL_USER_PROCESS_PARAMETERS, up to the current folder's path.
struct ProcessParametersHead {
  ULONG maximum_length, length, flags, debug_flags;
  HANDLE console;
  ULONG console_flags;
  HANDLE input, output, error;
  UNICODE_STRING current_folder;
};

std::optional<std::wstring> current_folder_of(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
    return {};
  PRTL_USER_PROCESS_PARAMETERS parameters = nullptr;
  const auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
  if (!ReadProcessMemory(process, peb + offsetof(PEB, ProcessParameters), &parameters, sizeof parameters, nullptr))
    return {};
  ProcessParametersHead head{};
  if (!ReadProcessMemory(process, parameters, &head, sizeof head, nullptr))
    return {};
  std::wstring folder(head.current_folder.Length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process, head.current_folder.Buffer, folder.data(), head.current_folder.Length, nullptr))
    return {};
  return folder;
}

// "current-folder PID": the current folder of another process (UTF-8), as
// the system keeps it in the process's parameters.
int cmd_current_folder(Args a) {
  if (a.size() != 1)
    return usage();
  const auto pid = parse_number(a[0]);
  if (!pid)
    return usage();
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(*pid));
  if (!process)
    return exit_not_found;
  const std::optional<std::wstring> folder = current_folder_of(process);
  CloseHandle(process);
  if (!folder)
    return exit_not_found;
  const int length = static_cast<int>(folder->size());
  const int size = WideCharToMultiByte(CP_UTF8, 0, folder->data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, folder->data(), length, utf8.data(), size, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
  return exit_ok;
}

int cmd_metrics(Args a) {
  if (!a.empty())
    return usage();
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
  if (!a.empty())
    return usage();
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  std::printf("%d %d %d %d\n", left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              top + GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EnumDisplayMonitors(nullptr, nullptr, print_monitor, 0);
  return exit_ok;
}

// "face japanese": the face GDI actually selected and whether it covers JIS.
int cmd_font(Args a) {
  if (a.size() != 1)
    return usage();
  const HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, a[0].data());
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
  if (!a.empty())
    return usage();
  WNDCLASSA wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SolvaneProbeGL";
  RegisterClassA(&wc);
  const HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Solvane Probe GL", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                    wc.hInstance, nullptr);
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
  std::printf("%u %u %u %s\n", pixel[0], pixel[1], pixel[2], reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(context);
  ReleaseDC(hwnd, dc);
  DestroyWindow(hwnd);
  return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0 ? exit_ok : exit_not_found;
}

int cmd_play(Args a) {
  if (a.size() != 1)
    return usage();
  return PlaySoundA(a[0].data(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT) ? exit_ok : exit_not_found;
}

} // namespace probe
