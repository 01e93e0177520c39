// Test driver for the end-to-end scenarios: one small command per call, run
// with `wine tdriver.exe COMMAND ARGS...` inside the shell desktop. Results go
// to stdout as UTF-8 lines; the exit code is 0 on success, 1 when a wait ran
// out or a check saw something else, 2 on bad use or a missing window.
//
// `tdriver.exe serve` runs the commands it reads from stdin, one per line, in
// one process: a Wine process costs a sixth of a second of CPU to start, and a
// scenario asks hundreds of questions. A request is UTF-8 fields separated by
// U+001F: a token of the caller's, the command, its arguments. The answer is
// the command's lines, then U+001E, the token, a blank and the exit code.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tdriver.h"
#include "win32_util.h"

namespace tdriver {
namespace {

const std::map<std::wstring, Command*>& commands() {
  static const std::map<std::wstring, Command*> table{
      {L"acp", cmd_acp},
      {L"start-caption", cmd_start_caption},
      {L"wait-caption", cmd_wait_caption},
      {L"standin-caption", cmd_standin_caption},
      {L"start", cmd_start},
      {L"wait-exit", cmd_wait_exit},
      {L"kill", cmd_kill},
      {L"end-session", cmd_end_session},
      {L"peak-memory", cmd_peak_memory},
      {L"module-path", cmd_module_path},
      {L"screen-dpi", cmd_screen_dpi},
      {L"live-handles", cmd_live_handles},
      {L"decoy", cmd_decoy},
      {L"standin-taskbar", cmd_standin_taskbar},
      {L"standin-move", cmd_standin_move},
      {L"standin-bar-move", cmd_standin_bar_move},
      {L"overlay-order", cmd_overlay_order},
      {L"standin-region", cmd_standin_region},
      {L"raise-taskbar", cmd_raise_taskbar},
      {L"standin-steps", cmd_standin_steps},
      {L"standin-topmost", cmd_standin_topmost},
      {L"start-rect", cmd_start_rect},
      {L"overlays", cmd_overlays},
      {L"wait-overlay", cmd_wait_overlay},
      {L"fullscreen", cmd_fullscreen},
      {L"overlay-over-fullscreen", cmd_overlay_over_fullscreen},
      {L"hold", cmd_hold},
      {L"message-boxes", cmd_message_boxes},
      {L"close-message-boxes", cmd_close_message_boxes},
      {L"desktop-icons", cmd_desktop_icons},
      {L"desktop-icons-visible", cmd_desktop_icons_visible},
      {L"press-ok", cmd_press_ok},
      {L"form", cmd_form},
      {L"about", cmd_about},
      {L"cursor", cmd_cursor},
      {L"window-dpi", cmd_window_dpi},
      {L"about-close", cmd_about_close},
      {L"cover", cmd_cover},
      {L"activate", cmd_activate},
      {L"key-escape", cmd_key_escape},
      {L"foreground", cmd_foreground},
      {L"set-text", cmd_set_text},
      {L"set-check", cmd_set_check},
      {L"get-check", cmd_get_check},
      {L"close-form", cmd_close_form},
      {L"minimize-form", cmd_minimize_form},
      {L"tray-delete", cmd_tray_delete},
      {L"tray-callback", cmd_tray_callback},
      {L"tray-present", cmd_tray_present},
      {L"copies", cmd_copies},
      {L"taskbar-created", cmd_taskbar_created},
      {L"menu-window", cmd_menu_window},
      {L"menu-hook", cmd_menu_hook},
      {L"menu-item-point", cmd_menu_item_point},
      {L"reg-get", cmd_reg_get},
      {L"reg-set", cmd_reg_set},
      {L"reg-set-repeated", cmd_reg_set_repeated},
      {L"reg-summary", cmd_reg_summary},
      {L"reg-make-key", cmd_reg_make_key},
      {L"reg-delete", cmd_reg_delete},
  };
  return table;
}

int run(const std::wstring& name, Args args) {
  const auto found = commands().find(name);
  if (found == commands().end()) {
    print(L"unknown command " + name);
    return kUsage;
  }
  return found->second(args);
}

int serve() {
  _setmode(_fileno(stdin), _O_BINARY);
  std::string line;
  for (int c = 0; c != EOF;) {
    line.clear();
    while ((c = std::getchar()) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (line.empty()) continue;
    std::vector<std::wstring> fields;
    for (size_t from = 0;;) {
      const size_t to = line.find('\x1f', from);
      fields.push_back(e2e::from_utf8(std::string_view(line).substr(from, to - from)));
      if (to == std::string::npos) break;
      from = to + 1;
    }
    const int status = fields.size() < 2 ? (print(L"usage: TOKEN, COMMAND, ARGS... apart by U+001F"), kUsage)
                                         : run(fields[1], Args(fields).subspan(2));
    print(L"\x1e" + fields[0] + L" " + std::to_wstring(status));
  }
  return kOk;
}

}  // namespace
}  // namespace tdriver

int wmain(int argc, wchar_t** argv) {
  e2e::declare_dpi_aware();
  // Plain \n line ends: the scripts compare whole lines.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    e2e::print(L"usage: tdriver COMMAND [ARGS...]");
    return tdriver::kUsage;
  }
  if (std::wstring_view(argv[1]) == L"serve") return tdriver::serve();
  const std::vector<std::wstring> args(argv + 2, argv + argc);
  return tdriver::run(argv[1], tdriver::Args(args));
}
