// The probe's commands as a screen reader in a process of its own: the
// accessible tree of a window, and the default action of one element.
#include "probe.h"
#include "screen_reader.h"

#include <objbase.h>
#include <shellapi.h>

namespace probe {

namespace {

// COM for the calls into the other process, for the life of the command.
struct Apartment {
  Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Apartment() { CoUninitialize(); }
};

std::string utf8(const std::wstring& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

// Argument `index` of the command line as wide text: names in Japanese
// survive whatever the ANSI code page.
std::wstring wide_argument(int index) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring result = arguments != nullptr && index < count ? arguments[index] : L"";
  LocalFree(arguments);
  return result;
}

} // namespace

// "accessible HWND": the tree under the window's client area as UTF-8
// lines, one an element: role, "name", [states], = value.
int cmd_accessible(Args a) {
  if (a.size() != 1)
    return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd || !IsWindow(to_hwnd(*hwnd)))
    return exit_not_found;
  const Apartment apartment;
  const auto tree = solvane::reader::readTree(to_hwnd(*hwnd));
  if (!tree)
    return exit_not_found;
  std::fputs(utf8(solvane::reader::describe(*tree)).c_str(), stdout);
  return exit_ok;
}

// "accessible-do HWND ROLE NAME": performs the default action of the first
// element with that role (its word, as "accessible" prints it) and name;
// prints the result code.
int cmd_accessible_do(Args a) {
  if (a.size() != 3)
    return usage();
  const auto hwnd = parse_number(a[0]);
  if (!hwnd || !IsWindow(to_hwnd(*hwnd)))
    return exit_not_found;
  const std::wstring role_word = wide_argument(3);
  long role = 0;
  for (long candidate = ROLE_SYSTEM_TITLEBAR; candidate <= ROLE_SYSTEM_OUTLINEBUTTON; ++candidate) {
    if (solvane::reader::roleWord(candidate) == role_word)
      role = candidate;
  }
  if (role == 0)
    return usage();
  const Apartment apartment;
  const HRESULT result = solvane::reader::doDefaultAction(to_hwnd(*hwnd), role, wide_argument(4));
  std::printf("%#lx\n", static_cast<unsigned long>(result));
  return result == S_OK ? exit_ok : exit_not_found;
}

} // namespace probe
