// The program's entry: binds the ports to Windows, starts the settings
// window and runs until it is unloaded.

#include <windows.h>

#include <objbase.h>

#include "forms/settings_window.h"
#include "forms/win32/runtime.h"
#include "platform/ports.h"
#include "platform/win32/adapters.h"
#include "platform/win32/dpi.h"
#include "platform/win32/system_function.h"

namespace win32 = talvorin::platform::win32;

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// The exe sits in a download folder, where anyone may drop a DLL. What the
// system's DLLs load later by a bare name then comes from System32 only, not
// from that folder. The manifest's activation context is looked at before
// any folder, so comctl32 still comes from the side-by-side store. Windows 8,
// and 7 with its update, have the call; elsewhere the search stays as it was.
void search_dlls_in_system32_only() {
  if (const auto restrict_search =
          win32::system_function<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories")) {
    restrict_search(kSearchSystem32);
  }
}

// The links of the About window go through ShellExecute, which may reach
// the user's mail program or browser through COM: Microsoft asks for COM on
// the calling thread first, apartment-threaded, without OLE1's DDE. The one
// window thread takes it for the program's whole life.
class ComApartment {
 public:
  ComApartment()
      : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialized_) ::CoUninitialize();
  }

 private:
  bool initialized_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  search_dlls_in_system32_only();
  win32::declare_process_dpi_awareness();
  const ComApartment com;
  win32::ErrorReport errors;
  return errors.guarded([&] {
    win32::ShellWindows shell;
    win32::Tray tray;
    win32::Registry registry;
    win32::CommonControls common_controls;
    const win32::AnsiCodePage code_page;
    win32::GdiTextDrawing drawing;
    win32::MultimediaClock clock;
    win32::ShellLinks links;
    // The caption's windows end the program as the forms do on a run-time error.
    win32::StartOverlays overlays(errors);
    win32::ShellWatch watch(errors);

    talvorin::forms::win32::Runtime runtime(instance, registry, errors);
    const talvorin::forms::SettingsWindow form(runtime,
                                               {shell, overlays, tray, registry, common_controls, code_page, watch},
                                               {drawing, clock, links, code_page});
    return runtime.run();
  });
}
