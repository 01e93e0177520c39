#pragma once
// The simulated Windows that the forms run on in the handler scenarios:
// shell windows, tray, registry, common controls, the 1251 code page, a
// recording device context, a shell that notes the links it opens, and the
// headless forms runtime with its clock.

#include "forms/headless/headless.h"
#include "forms/settings_window.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/common_controls.h"
#include "platform/sim/registry.h"
#include "platform/sim/shell_watch.h"
#include "platform/sim/shell_windows.h"
#include "platform/sim/text_drawing.h"
#include "platform/sim/tray.h"

namespace talvorin {

struct SimulatedWindows {
  sim::ShellWindows shell;
  sim::Tray tray;
  sim::Registry registry;
  sim::CommonControls common_controls;
  sim::CodePage1251 code_page;
  sim::TextDrawing drawing;
  sim::Links links;
  sim::StartOverlays overlays{shell};
  sim::ShellWatch watch{shell};
  headless::Runtime runtime{registry};
  forms::SettingsWindow::Ports settings_ports{shell, overlays, tray, registry, common_controls, code_page, watch};
  forms::AboutWindow::Ports about_ports{drawing, runtime.clock(), links, code_page};
};

}  // namespace talvorin
