// The About window, opened from the tray menu of the real settings window on
// the simulated Windows: its design, its animation paced by the simulated
// clock, and the user closing it or clicking its links while it runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/product.h"
#include "core/project_version.h"
#include "forms/settings_window.h"
#include "tests/forms/simulated_windows.h"

namespace talvorin {
namespace {

using Op = sim::TextDrawing::Op;

constexpr std::int32_t kRightUp = 0x205;
constexpr std::size_t kFramesPerLine = 137;

// The title of the version project() sets, which the application reports.
const std::u16string kTitle = core::about_title(core::kProjectVersionMajor, core::kProjectVersionMinor);
// The same title as the frames draw it, in the ANSI code page: plain ASCII.
const std::string kDrawnTitle(kTitle.begin(), kTitle.end());

struct Frame {
  std::string text;
  std::int32_t top;
  std::int32_t spacing;
};

class AboutWindowTest : public ::testing::Test, protected SimulatedWindows {
 protected:
  AboutWindowTest() {
    shell.add_taskbar();
    settings = std::make_unique<forms::SettingsWindow>(runtime, settings_ports, about_ports);
  }

  // "О программе" from the tray menu; the window's activation follows as an
  // event of its own.
  void about_command() {
    runtime.post([this] { settings_form().choose(u"mnuAbout"); });
    settings_form().tray_callback(kRightUp);
  }
  headless::Form& settings_form() { return runtime.form(u"SettingsWindow"); }
  headless::Form& about() { return runtime.form(u"AboutWindow"); }

  // Each frame drawn: its text, its line and the spacing it was drawn with.
  std::vector<Frame> frames() const {
    std::vector<Frame> drawn;
    std::int32_t spacing = 0;
    for (const auto& call : drawing.calls()) {
      if (call.op == Op::CharacterExtra) spacing = static_cast<std::int32_t>(call.value);
      if (call.op == Op::DrawText && call.value == 0) drawn.push_back({call.text, call.rect.top, spacing});
    }
    return drawn;
  }
  static std::size_t count_on_line(const std::vector<Frame>& drawn, std::int32_t top) {
    return static_cast<std::size_t>(
        std::count_if(drawn.begin(), drawn.end(), [top](const Frame& f) { return f.top == top; }));
  }

  std::unique_ptr<forms::SettingsWindow> settings;
};

TEST_F(AboutWindowTest, AboutCommandTitlesAndShowsTheWindowThenBothLinesCloseUp) {
  about_command();
  EXPECT_EQ(about().caption(), kTitle);
  EXPECT_TRUE(about().visible());
  EXPECT_TRUE(drawing.calls().empty()) << "the animation waits for the activation event";

  const std::uint64_t start = runtime.now();
  const std::size_t captions_before = shell.texts_sent();
  runtime.drain();
  EXPECT_TRUE(about().auto_redraw());
  EXPECT_DOUBLE_EQ(about().font_size(), 12);

  const std::vector<Frame> drawn = frames();
  ASSERT_EQ(drawn.size(), 2 * kFramesPerLine);
  EXPECT_EQ(count_on_line(drawn, 12), kFramesPerLine);
  EXPECT_EQ(drawn.front().text, kDrawnTitle);
  EXPECT_EQ(drawn.front().spacing, 127);
  EXPECT_EQ(drawn[kFramesPerLine - 1].spacing, -1);
  EXPECT_EQ(drawn[kFramesPerLine].text, "Arkady Tolmachev");
  EXPECT_EQ(drawn[kFramesPerLine].top, 42);
  EXPECT_EQ(drawn.back().spacing, -1);
  std::vector<std::int64_t> colours;
  for (const auto& call : drawing.calls_of(Op::TextColor)) colours.push_back(call.value);
  EXPECT_EQ(colours, (std::vector<std::int64_t>{0x0000FF, 0x00FF00}));
  for (const auto& call : drawing.calls_of(Op::FillRect)) ASSERT_EQ(call.dc, about().hdc());
  EXPECT_EQ(drawing.live_brushes(), 0U);

  EXPECT_EQ(runtime.now() - start, 2 * kFramesPerLine * 20);
  EXPECT_GE(shell.texts_sent() - captions_before, 54U) << "the caption timer ticks on meanwhile";
}

// The title is the version the application reports at each showing, not
// one the window was built with.
TEST_F(AboutWindowTest, EachShowingTitlesTheWindowWithTheApplicationsVersion) {
  struct Case {
    forms::Version version;
    std::u16string_view title;
  };
  const Case cases[] = {{{2, 10}, u"Talvorin 2.10"}, {{1, 0}, u"Talvorin 1.0"}};
  for (const Case& c : cases) {
    runtime.app().version_ = c.version;
    about_command();
    runtime.drain();
    EXPECT_EQ(about().caption(), c.title);
    const std::vector<Frame> drawn = frames();
    ASSERT_GE(drawn.size(), 2 * kFramesPerLine);
    EXPECT_EQ(drawn[drawn.size() - 2 * kFramesPerLine].text, std::string(c.title.begin(), c.title.end()));
  }
}

TEST_F(AboutWindowTest, OkAndTheCloseBoxHideTheWindowAndTheNextAboutShowsItAgain) {
  about_command();
  runtime.drain();
  headless::Form* const window = &about();

  window->click(u"cmdClose");
  EXPECT_FALSE(window->visible());
  EXPECT_FALSE(window->unloaded());
  EXPECT_EQ(window->caption(), kTitle);

  about_command();
  EXPECT_EQ(&about(), window) << "made once";
  EXPECT_TRUE(window->visible());
  runtime.drain();
  EXPECT_EQ(frames().size(), 4 * kFramesPerLine) << "every activation animates both lines";

  EXPECT_FALSE(window->close());
  EXPECT_FALSE(window->visible());
  EXPECT_FALSE(window->unloaded()) << "closed from the title bar it is hidden, not unloaded";

  // Shown again while it is open: the title is set again, and each showing
  // brings it forward and activates it once more.
  about_command();
  runtime.drain();
  about_command();
  runtime.drain();
  EXPECT_EQ(frames().size(), 8 * kFramesPerLine);
}

TEST_F(AboutWindowTest, ComingBackFromTheSettingsWindowMidAnimationStartsItAgainInsideTheRunningOne) {
  constexpr std::int32_t kLeftUp = 0x202;
  about_command();
  const std::uint64_t start = runtime.now();
  runtime.post_at(start + 500, [this] { settings_form().tray_callback(kLeftUp); });
  runtime.post_at(start + 600, [this] { about().activate(); });
  runtime.drain();

  const std::vector<Frame> drawn = frames();
  // The outer activation's two lines, and the inner one's two inside them.
  EXPECT_EQ(drawn.size(), 4 * kFramesPerLine);
  EXPECT_EQ(drawn[30].text, kDrawnTitle);
  EXPECT_EQ(drawn[30].spacing, 127) << "the inner activation begins at frame 30 (600 ms)";
  EXPECT_EQ(drawn[30 + 2 * kFramesPerLine - 1].text, "Arkady Tolmachev");
  // The outer first line goes on where the window's rectangle now is.
  EXPECT_EQ(drawn[30 + 2 * kFramesPerLine].text, kDrawnTitle);
  EXPECT_EQ(drawn[30 + 2 * kFramesPerLine].top, 42);
  EXPECT_EQ(drawn.back().spacing, -1);
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

// Only the program's own showing, or a return from another of its windows,
// activates the About window; another program or the tray menu between
// does not.
TEST_F(AboutWindowTest, WhichReturnsToTheWindowAnimateItAgain) {
  constexpr std::int32_t kLeftUp = 0x202;
  about_command();
  runtime.drain();
  struct Case {
    const char* what;
    std::function<void()> away;
    std::size_t new_frames;
  };
  const Case cases[] = {
      {"another program's window", [this] { runtime.switch_to_another_program(); }, 0},
      {"the tray menu, closed", [this] { settings_form().tray_callback(kRightUp); }, 0},
      {"the tray menu, desktop icons",
       [this] {
         runtime.post([this] { settings_form().choose(u"mnuHideDesktopIcons"); });
         settings_form().tray_callback(kRightUp);
       },
       0},
      {"the settings window",
       [this] {
         settings_form().tray_callback(kLeftUp);
         runtime.drain();
       },
       2 * kFramesPerLine},
  };
  for (const Case& c : cases) {
    const std::size_t before = frames().size();
    c.away();
    about().activate();
    runtime.drain();
    EXPECT_EQ(frames().size() - before, c.new_frames) << c.what;
    EXPECT_EQ(runtime.foreground(), about().window_handle()) << c.what;
  }

  // "О программе" on the window covered by another program's window.
  runtime.switch_to_another_program();
  const std::size_t before = frames().size();
  about_command();
  EXPECT_EQ(runtime.foreground(), about().window_handle());
  runtime.drain();
  EXPECT_EQ(frames().size() - before, 2 * kFramesPerLine);
}

TEST_F(AboutWindowTest, OkDuringTheFirstLineLeavesOneFrameOfTheSecond) {
  about_command();
  runtime.post_at(runtime.now() + 1000, [this] { about().click(u"cmdClose"); });
  runtime.drain();

  const std::vector<Frame> drawn = frames();
  EXPECT_EQ(count_on_line(drawn, 12), 50U) << "frames from 0 to 980 ms";
  ASSERT_EQ(count_on_line(drawn, 42), 1U);
  EXPECT_EQ(drawn.back().spacing, 127);
  EXPECT_FALSE(about().visible());
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

TEST_F(AboutWindowTest, LinksOpenTheirAddressesAtOnceAlsoDuringTheAnimation) {
  about_command();
  const std::uint64_t start = runtime.now();
  runtime.post_at(start + 500, [this] { about().click_label(u"lblEmail"); });
  runtime.post_at(start + 3000, [this] { about().click_label(u"lblHomePage"); });
  runtime.drain();

  ASSERT_EQ(links.calls.size(), 2U);
  EXPECT_EQ(links.calls[0].target, "mailto:arkady@example.org");
  EXPECT_EQ(links.calls[1].target, "http://talvorin.example.org/");
  for (const auto& call : links.calls) {
    EXPECT_EQ(call.owner, about().window_handle());
    EXPECT_EQ(call.operation, std::nullopt) << "the default verb";
    EXPECT_EQ(call.parameters, std::nullopt);
    EXPECT_EQ(call.folder, "C:\\");
    EXPECT_EQ(call.show, platform::ShowCommand::ShowNormal);
  }
  EXPECT_EQ(frames().size(), 2 * kFramesPerLine) << "the animation went on";
}

TEST_F(AboutWindowTest, UnloadingTheSettingsWindowTakesTheAboutWindowWithItEvenMidAnimation) {
  about_command();
  runtime.post_at(runtime.now() + 1000, [this] { settings_form().close(); });
  runtime.drain();

  EXPECT_TRUE(settings_form().unloaded());
  EXPECT_TRUE(about().unloaded()) << "no window is left to keep the program running";
  EXPECT_EQ(count_on_line(frames(), 42), 1U);
  EXPECT_EQ(drawing.calls_of(Op::FillRect).back().dc, 0U) << "an unloaded window has nothing to draw on";
  EXPECT_EQ(drawing.live_brushes(), 0U);
}

}  // namespace
}  // namespace talvorin
