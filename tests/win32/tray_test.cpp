// The Win32 tray adapter against Wine's own tray. Only a desktop with a
// taskbar has one, so this runs in the e2e tests' shared desktop.

#include <windows.h>

#include "platform/win32/adapters.h"
#include "tests/contract/tray_contract.h"
#include "tests/win32/check.h"
#include "tests/win32/plain_window.h"

namespace {

using namespace talvorin;
using testing::check;

constexpr wchar_t kOwnerClass[] = L"TalvorinTestTrayOwner";

// Two hidden windows of this thread own the icons, as the program's own
// window owns its one.
class WineTray final : public contract::TrayUnderTest {
 public:
  WineTray(const WineTray&) = delete;
  WineTray& operator=(const WineTray&) = delete;
  WineTray() {
    testing::register_plain_class(kOwnerClass);
    for (HWND& owner : owners_) {
      owner = ::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    }
  }
  ~WineTray() override {
    for (const HWND owner : owners_) ::DestroyWindow(owner);
  }

  platform::Tray& tray() override { return tray_; }
  std::uint64_t owner(int which) override { return reinterpret_cast<std::uintptr_t>(owners_[which]); }
  std::uint64_t icon() override { return reinterpret_cast<std::uintptr_t>(::LoadIconW(nullptr, IDI_APPLICATION)); }
  const platform::AnsiCodePage& code_page() override { return code_page_; }

 private:
  platform::win32::Tray tray_;
  platform::win32::AnsiCodePage code_page_;
  HWND owners_[2] = {};
};

const testing::Register tray_contract("the tray: add, a second add, change and delete, as Wine's tray answers", [] {
  const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!check(taskbar != nullptr && ::IsWindowVisible(taskbar), "Wine's taskbar is there")) return;
  WineTray wine;
  contract::tray_adds_changes_and_deletes(wine);
});

}  // namespace

int main() { return talvorin::testing::run_all(); }
