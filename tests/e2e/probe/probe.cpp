// Windows-side eyes and hands of the end-to-end harness: finds, waits for and
// messages windows, and creates windows that stand in for a host or a saver.
// Results go to stdout as one line (children: one line per child; hold and
// host first print "HWND CLIENT_WIDTH CLIENT_HEIGHT"). Exit 0 = success,
// 1 = not found/timeout, 2 = usage error, 3 = key pressed, 4 = mouse clicked,
// 5 = wheel turned.
#include "probe.h"

#include <algorithm>

namespace probe {

int usage() {
  std::fputs("usage: probe find TITLE [CLASS]\n"
             "       probe wait TITLE TIMEOUT_MS [CLASS] [--visible] [--announce]\n"
             "       probe wait-gone TITLE TIMEOUT_MS\n"
             "       probe post|send HWND MSG WPARAM LPARAM\n"
             "       probe children HWND\n"
             "       probe metrics | monitors | foreground | version | keep | saver-running\n"
             "       probe texts HWND\n"
             "       probe exit-delay WATCHED_TITLE OWNER_TITLE TIMEOUT_MS\n"
             "       probe terminate PID\n"
             "       probe current-folder PID\n"
             "       probe hold-file PATH TIMEOUT_MS\n"
             "       probe answers HWND TIMEOUT_MS\n"
             "       probe style HWND\n"
             "       probe clipboard FILE\n"
             "       probe accessible HWND\n"
             "       probe accessible-do HWND ROLE NAME\n"
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
  if (a.size() < 1 || a.size() > 2)
    return usage();
  const HWND hwnd = find(a[0], a.size() > 1 ? a[1].data() : nullptr);
  if (!hwnd)
    return exit_not_found;
  print_window(hwnd);
  return exit_ok;
}

int cmd_wait(Args a) {
  const auto flag = std::find(a.begin(), a.end(), "--visible");
  const bool visible = flag != a.end();
  if (visible)
    a.erase(flag);
  // Says when the probe itself is up, so that a driver can start what it
  // waits for without the probe's own start-up competing with it.
  const auto announce_flag = std::find(a.begin(), a.end(), "--announce");
  const bool announce = announce_flag != a.end();
  if (announce)
    a.erase(announce_flag);
  if (a.size() < 2 || a.size() > 3)
    return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0)
    return usage();
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
  if (!poll_until(static_cast<DWORD>(*timeout), found))
    return exit_not_found;
  print_window(hwnd);
  return exit_ok;
}

int cmd_wait_gone(Args a) {
  if (a.size() != 2)
    return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0)
    return usage();
  return poll_until(static_cast<DWORD>(*timeout), [&] { return !find(a[0], nullptr); }) ? exit_ok : exit_not_found;
}

struct Message {
  HWND hwnd;
  UINT msg;
  WPARAM wparam;
  LPARAM lparam;
};

std::optional<Message> parse_message(const Args& a) {
  if (a.size() != 4)
    return std::nullopt;
  const auto hwnd = parse_number(a[0]), msg = parse_number(a[1]);
  const auto wparam = parse_number(a[2]), lparam = parse_number(a[3]);
  if (!hwnd || !msg || !wparam || !lparam)
    return std::nullopt;
  return Message{to_hwnd(*hwnd), static_cast<UINT>(*msg), static_cast<WPARAM>(*wparam), static_cast<LPARAM>(*lparam)};
}

int cmd_post(Args a) {
  const auto m = parse_message(a);
  if (!m)
    return usage();
  if (PostMessageA(m->hwnd, m->msg, m->wparam, m->lparam))
    return exit_ok;
  std::printf("error %lu\n", GetLastError());
  return exit_not_found;
}

int cmd_send(Args a) {
  const auto m = parse_message(a);
  if (!m)
    return usage();
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(m->hwnd, m->msg, m->wparam, m->lparam, SMTO_ABORTIFHUNG | SMTO_BLOCK, send_timeout_ms,
                           &result)) {
    std::printf("error %lu\n", GetLastError());
    return exit_not_found;
  }
  std::printf("%lld\n", static_cast<long long>(result));
  return exit_ok;
}

// "STYLE PARENT": a window's style bits and its parent, both in hex and decimal.
int cmd_style(Args a) {
  if (a.size() != 1)
    return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd)
    return usage();
  const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(*hwnd));
  if (!IsWindow(window))
    return exit_not_found;
  std::printf("%#lx %lld\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
              static_cast<long long>(reinterpret_cast<INT_PTR>(GetAncestor(window, GA_PARENT))));
  return exit_ok;
}

// Whether HWND answers a message within TIMEOUT ms: prints the milliseconds
// it took, or fails.
int cmd_answers(Args a) {
  if (a.size() != 2)
    return usage();
  const auto hwnd = parse_number(a[0]);
  const auto timeout = parse_number(a[1]);
  if (!hwnd || !timeout || *timeout < 0)
    return usage();
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
  if (a.size() != 1)
    return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd)
    return usage();
  if (!IsWindow(to_hwnd(*hwnd)))
    return exit_not_found;
  EnumChildWindows(to_hwnd(*hwnd), print_child, 0);
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

int cmd_texts(Args a) {
  if (a.size() != 1)
    return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd || !IsWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(*hwnd))))
    return exit_not_found;
  const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(*hwnd));
  print_child_text(window, 0);
  EnumChildWindows(window, print_child_text, 0);
  return exit_ok;
}

// Waits for the window WATCHED to vanish, then for the process owning the
// window OWNER to end; prints the milliseconds between the two.
int cmd_exit_delay(Args a) {
  if (a.size() != 3)
    return usage();
  const std::string watched(a[0]);
  const std::string owner(a[1]);
  const auto timeout = parse_number(a[2]);
  if (!timeout)
    return usage();
  const HWND owner_window = FindWindowA(nullptr, owner.c_str());
  DWORD pid = 0;
  if (!owner_window || !GetWindowThreadProcessId(owner_window, &pid))
    return exit_not_found;
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process)
    return exit_not_found;
  // On stderr, so stdout stays the one figure: the watch has begun.
  std::fputs("watching\n", stderr);
  std::fflush(stderr);
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(*timeout);
  while (FindWindowA(nullptr, watched.c_str())) {
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0)
      return exit_not_found;
    Sleep(1);
  }
  LARGE_INTEGER frequency, gone, ended;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&gone);
  const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(*timeout));
  QueryPerformanceCounter(&ended);
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0)
    return exit_not_found;
  std::printf("%.1f\n",
              static_cast<double>(ended.QuadPart - gone.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart));
  return exit_ok;
}

// Ends a Windows process from outside, as a task manager would.
int cmd_terminate(Args a) {
  if (a.size() != 1)
    return usage();
  const auto pid = parse_number(a[0]);
  if (!pid)
    return usage();
  const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(*pid));
  if (!process)
    return exit_not_found;
  const BOOL ended = TerminateProcess(process, 1) && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended ? exit_ok : exit_not_found;
}

// Holds a file open for writing, sharing it for reading only, as another
// program editing it would; prints "held" once it has it.
int cmd_hold_file(Args a) {
  if (a.size() != 2)
    return usage();
  const auto timeout = parse_number(a[1]);
  if (!timeout || *timeout < 0)
    return usage();
  const std::string path(a[0]);
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return exit_not_found;
  std::printf("held\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(*timeout));
  CloseHandle(file);
  return exit_ok;
}

int cmd_foreground(Args a) {
  if (!a.empty())
    return usage();
  const HWND hwnd = GetForegroundWindow();
  if (!hwnd)
    return exit_not_found;
  char title[512] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  std::printf("%llu %s\n", handle_value(hwnd), title);
  return exit_ok;
}

} // namespace probe

namespace {

using namespace probe;

struct Command {
  std::string_view name;
  int (*run)(Args);
};

constexpr Command commands[] = {
    {"find", cmd_find},
    {"wait", cmd_wait},
    {"wait-gone", cmd_wait_gone},
    {"post", cmd_post},
    {"send", cmd_send},
    {"children", cmd_children},
    {"keep", cmd_keep},
    {"version", cmd_version},
    {"metrics", cmd_metrics},
    {"monitors", cmd_monitors},
    {"foreground", cmd_foreground},
    {"font", cmd_font},
    {"play", cmd_play},
    {"gl", cmd_gl},
    {"hold", cmd_hold},
    {"host", cmd_host},
    {"saver-running", cmd_saver_running},
    {"texts", cmd_texts},
    {"exit-delay", cmd_exit_delay},
    {"terminate", cmd_terminate},
    {"hold-file", cmd_hold_file},
    {"answers", cmd_answers},
    {"style", cmd_style},
    {"clipboard", cmd_clipboard},
    {"current-folder", cmd_current_folder},
    {"accessible", cmd_accessible},
    {"accessible-do", cmd_accessible_do},
};

} // namespace

int main(int argc, char** argv) {
  if (argc < 2)
    return usage();
  const Args args(argv + 2, argv + argc);
  for (const Command& c : commands)
    if (c.name == argv[1])
      return c.run(args);
  return usage();
}
