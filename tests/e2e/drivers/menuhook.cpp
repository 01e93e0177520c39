// Hook DLL that tdriver puts into the program's window thread. Another
// process cannot read a popup menu under Wine, so this one lists the items
// from inside, after the owner has handled WM_INITMENUPOPUP.
//
// Lines written to menuhook.txt beside the DLL, UTF-8, one per item:
//   INDEX<TAB>ENABLED<TAB>TEXT

#include <windows.h>

#include <string>
#include <vector>

#include "win32_util.h"

namespace {

struct Item {
  std::wstring text;
  bool enabled = true;
};

// The hook runs in a DLL loaded into a foreign thread: module-level state is
// the only place where it finds its own module.
struct HookState {
  HMODULE module = nullptr;
  HHOOK hook = nullptr;
};

HookState& state() {
  static HookState s;
  return s;
}

std::wstring log_path() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(state().module, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L'\\') + 1) + L"menuhook.txt";
}

// Written under another name and renamed, so the reader never sees half a file.
void write_log(const std::vector<Item>& items) {
  std::wstring lines;
  for (size_t i = 0; i < items.size(); ++i) {
    lines += std::to_wstring(i) + L"\t" + (items[i].enabled ? L"1" : L"0") + L"\t" + items[i].text + L"\n";
  }
  const std::string bytes = e2e::to_utf8(lines);
  const std::wstring final_path = log_path();
  const std::wstring temp_path = final_path + L".tmp";
  {
    e2e::unique_handle file(
        ::CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      static_cast<void>(file.release());
      return;
    }
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  ::MoveFileExW(temp_path.c_str(), final_path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void read_items(HMENU menu) {
  std::vector<Item> items;
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    Item item;
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    item.text = text;
    item.enabled = (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
    items.push_back(item);
  }
  write_log(items);
}

LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) noexcept {
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (message->message == WM_INITMENUPOPUP) read_items(reinterpret_cast<HMENU>(message->wParam));
  }
  return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

extern "C" __declspec(dllexport) HHOOK install_menu_hook(DWORD thread_id) {
  state().hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, on_message, state().module, thread_id);
  return state().hook;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) state().module = instance;
  return TRUE;
}
