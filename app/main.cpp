// The program's entry: binds the ports to Windows, starts the settings
// window and runs until it is unloaded.

#include <windows.h>

#include "forms/settings_window.h"
#include "forms/win32/runtime.h"
#include "platform/ports.h"
#include "platform/win32/adapters.h"

namespace win32 = talvorin::platform::win32;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  win32::ShellWindows shell;
  win32::Tray tray;
  win32::Registry registry;
  win32::CommonControls common_controls;
  const win32::AnsiCodePage code_page;
  win32::GdiTextDrawing drawing;
  win32::MultimediaClock clock;
  win32::ShellLinks links;
  talvorin::forms::win32::Runtime runtime(instance, registry);
  // The caption's windows end the program as the forms do on a run-time error.
  win32::StartOverlays overlays(runtime.errors());
  const talvorin::platform::Ports ports{shell,   tray,  registry, common_controls, code_page,
                                        drawing, clock, links,    overlays};

  return runtime.guarded([&] {
    const talvorin::forms::SettingsWindow form(runtime, ports);
    return runtime.run();
  });
}
