// The simulated adapters pass the same cases as the Win32 ones do under Wine.

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "forms/headless/headless.h"
#include "platform/sim/code_page_1251.h"
#include "platform/sim/registry.h"
#include "platform/sim/shell_windows.h"
#include "platform/sim/text_drawing.h"
#include "platform/sim/tray.h"
#include "tests/contract/clock_contract.h"
#include "tests/contract/code_page_contract.h"
#include "tests/contract/drawing_contract.h"
#include "tests/contract/links_contract.h"
#include "tests/contract/message_boxes_contract.h"
#include "tests/contract/popup_menu_contract.h"
#include "tests/contract/registry_contract.h"
#include "tests/contract/shell_windows_contract.h"
#include "tests/contract/start_overlays_contract.h"
#include "tests/contract/tray_contract.h"

namespace talvorin {
namespace {

// Runs each case on a fixture of its own. The cases check through the
// harness they share with the Win32 tests, which counts what failed.
template <typename Fixture, typename UnderTest>
void passes(std::initializer_list<void (*)(UnderTest&)> cases) {
  const int before = testing::failures();
  for (const auto contract_case : cases) {
    Fixture fixture{};
    contract_case(fixture);
  }
  EXPECT_EQ(testing::failures(), before);
}

class SimulatedRegistry final : public contract::RegistryUnderTest {
 public:
  platform::Registry& registry() override { return registry_; }
  void put_raw(std::u16string_view path, std::u16string_view name, core::RegistryValueType type,
               const std::vector<std::uint8_t>& bytes) override {
    registry_.put_raw(core::RegistryRoot::CurrentUser, path, name, type, bytes);
  }
  std::optional<core::RegistryValueType> stored_type(std::u16string_view path, std::u16string_view name) override {
    const auto value = registry_.stored(core::RegistryRoot::CurrentUser, path, name);
    if (!value) return std::nullopt;
    return value->type;
  }
  std::size_t stored_size(std::u16string_view path, std::u16string_view name) override {
    const auto value = registry_.stored(core::RegistryRoot::CurrentUser, path, name);
    return value ? value->bytes.size() : 0;
  }
  void remove_tree(std::u16string_view path) override { registry_.remove_tree(core::RegistryRoot::CurrentUser, path); }

 private:
  sim::Registry registry_;
};

TEST(RegistryContract, SimulatedRegistryReadsWritesDeletesAndRefuses) {
  passes<SimulatedRegistry>({contract::registry_reads, contract::registry_writes});
}

class RecordingDrawing final : public contract::DrawingUnderTest {
 public:
  platform::TextDrawing& drawing() override { return drawing_; }
  platform::TextDrawing::DeviceContext dc() override { return 1; }

 private:
  sim::TextDrawing drawing_;
};

TEST(DrawingContract, SimulatedDrawingColoursAndMeasures) {
  passes<RecordingDrawing>({contract::drawing_colors, contract::drawing_measures});
}

class SimulatedShellWindows final : public contract::ShellWindowsUnderTest {
 public:
  platform::ShellWindows& shell() override { return shell_; }
  platform::WindowHandle make(platform::WindowHandle parent, const contract::FixtureWindow& window) override {
    const std::string class_name(window.class_name);
    const platform::WindowHandle made =
        parent == 0 ? shell_.add_top_level(class_name, window.text) : shell_.add_child(parent, class_name, window.text);
    shell_.set_facts(made, {window.visible, window.rect, window.owner_drawn, window.topmost, window.region});
    return made;
  }
  void destroy(platform::WindowHandle window) override { shell_.remove(window); }
  std::string text_of(platform::WindowHandle window) override { return shell_.text_of(window); }
  void settle() override {}

 private:
  sim::ShellWindows shell_;
};

TEST(ShellWindowsContract, SimulatedShellFindsWalksWritesAndReads) {
  passes<SimulatedShellWindows>({contract::shell_windows_found, contract::shell_windows_walked,
                                 contract::shell_windows_text, contract::shell_windows_facts});
}

class SimulatedOverlays final : public contract::StartOverlaysUnderTest {
 public:
  platform::StartOverlays& overlays() override { return overlays_; }
  platform::WindowHandle make(bool topmost, bool caption_window) override {
    const platform::WindowHandle made =
        shell_.add_top_level(std::string(caption_window ? sim::StartOverlays::kWindowClass : "TalvorinTestWindow"));
    shell_.set_facts(made, {.visible = true, .rect = {0, 0, 10, 10}, .topmost = topmost});
    return made;
  }
  void destroy(platform::WindowHandle window) override { shell_.remove(window); }
  void raise(platform::WindowHandle window) override { shell_.raise(window); }
  // HWND_TOPMOST also raises a window that is topmost already.
  void set_topmost(platform::WindowHandle window, bool topmost) override {
    platform::WindowFacts facts = shell_.peek(window);
    facts.topmost = topmost;
    shell_.set_facts(window, facts);
    if (topmost) shell_.raise(window);
  }
  void put_beneath(platform::WindowHandle window, platform::WindowHandle above) override {
    shell_.put_beneath(window, above);
  }
  platform::WindowHandle beneath(platform::WindowHandle window) override { return shell_.window_beneath(window); }
  std::vector<contract::ShownOverlay> shown() override {
    std::vector<contract::ShownOverlay> shown;
    for (const platform::WindowHandle window : overlays_.windows()) {
      const platform::WindowFacts facts = shell_.peek(window);
      if (facts.visible) shown.push_back({window, facts.rect, overlays_.caption(), facts.topmost});
    }
    return shown;
  }
  bool drawn_anew() override { return std::exchange(redraws_seen_, overlays_.redraws()) != overlays_.redraws(); }

 private:
  sim::ShellWindows shell_;
  sim::StartOverlays overlays_{shell_};
  std::size_t redraws_seen_ = 0;
};

TEST(StartOverlaysContract, SimulatedOverlaysFollowTheButtonAndStandAboveTheTaskbar) {
  passes<SimulatedOverlays>({contract::start_overlays_follow, contract::start_overlays_stand_above});
}

class SimulatedTray final : public contract::TrayUnderTest {
 public:
  platform::Tray& tray() override { return tray_; }
  std::uint64_t owner(int which) override { return 0x100 + static_cast<std::uint64_t>(which); }
  std::uint64_t icon() override { return 0x300; }
  const platform::AnsiCodePage& code_page() override { return code_page_; }

 private:
  sim::Tray tray_;
  sim::CodePage1251 code_page_;
};

TEST(TrayContract, SimulatedTrayAddsChangesAndDeletes) {
  passes<SimulatedTray>({contract::tray_adds_changes_and_deletes});
}

TEST(CodePageContract, SimulatedCodePage1251HasTheTableAndTheBestFitOfWindows) {
  passes<const sim::CodePage1251>({contract::code_page_1251_table, contract::code_page_1251_substitutes});
}

// The headless runtime's boxes, during which the queued events run.
class HeadlessMessageBoxes final : public contract::MessageBoxesUnderTest {
 public:
  platform::MessageBoxes& boxes() override { return runtime_.message_boxes(); }
  void post(std::function<void()> event) override { runtime_.post(std::move(event)); }
  int open_boxes() override { return runtime_.open_boxes(); }
  std::u16string newest_box() override {
    if (runtime_.boxes().empty()) return {};
    const headless::MessageBoxRecord& box = runtime_.boxes().back();
    return box.title + u": " + box.prompt;
  }
  void close_top_box() override { runtime_.close_box(); }
  void settle() override { runtime_.drain(); }

 private:
  sim::Registry registry_;
  headless::Runtime runtime_{registry_};
};

TEST(MessageBoxesContract, HeadlessBoxesRunEventsUntilClosedAndStandOnEachOther) {
  passes<HeadlessMessageBoxes>({contract::message_box_runs_events_until_closed, contract::message_box_inside_another});
}

// The headless runtime's clock, started just short of the wrap.
class HeadlessClock final : public contract::ClockUnderTest {
 public:
  HeadlessClock() { runtime_.set_clock_origin(0xFFFFFF00U); }
  platform::Clock& clock() override { return runtime_.clock(); }
  void wait(std::uint32_t ms) override { runtime_.advance(ms); }

 private:
  sim::Registry registry_;
  headless::Runtime runtime_{registry_};
};

TEST(ClockContract, HeadlessClockCountsMillisecondsAcrossTheWrap) {
  passes<HeadlessClock>({contract::clock_counts_milliseconds});
}

// The simulated shell starts only the one program the test has.
class SimulatedLinks final : public contract::LinksUnderTest {
 public:
  platform::Links& links() override { return links_; }
  std::string program() override { return R"(C:\Tools\notes.exe)"; }
  std::string folder(int which) override { return which == 0 ? R"(C:\)" : R"(C:\Tools)"; }
  std::optional<contract::Launch> launched() override {
    if (links_.calls.empty() || links_.calls.back().target != program()) return std::nullopt;
    const sim::Links::Call& call = links_.calls.back();
    return contract::Launch{call.parameters.value_or(""), call.folder, static_cast<int>(call.show)};
  }

 private:
  sim::Links links_;
};

TEST(LinksContract, SimulatedShellOpensWithTheArgumentsAsGiven) {
  passes<SimulatedLinks>({contract::links_open_as_given});
}

// The headless forms' menu, its windows and the user at it.
class HeadlessPopupMenu final : public contract::PopupMenuUnderTest {
 public:
  platform::PopupMenuCalls& calls() override { return calls_; }
  platform::WindowHandle make(bool shown) override {
    const std::u16string name = u"Form" + std::u16string(1, static_cast<char16_t>(u'A' + forms_.size()));
    std::unique_ptr<forms::Form> form = runtime_.create_form(form_args(name));
    if (shown) form->show();
    const platform::WindowHandle window = form->window_handle();
    forms_.emplace(window, std::move(form));
    return window;
  }
  void destroy(platform::WindowHandle window) override { forms_.erase(window); }
  platform::WindowHandle owner() override { return runtime_.app_window(); }
  // The headless calls are bound to their menu.
  platform::MenuHandle menu() override { return 0; }
  void post(std::function<void()> event) override { runtime_.post(std::move(event)); }
  bool menu_open() override { return menu_form_.menu_open(); }
  void choose(std::size_t index) override { menu_form_.choose(menu_.item(index).name()); }
  // A menu nobody chooses from closes once no event is left.
  void dismiss() override {}
  void put_pointer(platform::ScreenPoint at) override { runtime_.put_pointer(at); }

 private:
  sim::Registry registry_;
  headless::Runtime runtime_{registry_};
  static forms::FormArgs form_args(std::u16string_view name) {
    forms::FormArgs args;
    args.name = name;
    return args;
  }
  static forms::MenuArgs three_items() {
    forms::MenuArgs args;
    args.name = u"mnuTest";
    for (const char16_t* item : {u"mnuOne", u"mnuTwo", u"mnuThree"}) {
      forms::MenuItemArgs item_args;
      item_args.name = item;
      args.items.push_back(item_args);
    }
    return args;
  }

  std::unique_ptr<forms::Form> menu_owner_ = runtime_.create_form(form_args(u"Menus"));
  headless::Form& menu_form_ = runtime_.form(u"Menus");
  forms::Menu& menu_ = menu_owner_->add_menu(three_items());
  headless::MenuCalls calls_{menu_form_, menu_};
  std::map<platform::WindowHandle, std::unique_ptr<forms::Form>> forms_;
};

TEST(PopupMenuContract, HeadlessMenuCallsMoveTheForegroundReturnTheChoiceAndReadThePointer) {
  passes<HeadlessPopupMenu>({contract::popup_menu_foreground_and_shown, contract::popup_menu_returns_the_choice,
                             contract::popup_menu_pointer});
}

}  // namespace
}  // namespace talvorin
