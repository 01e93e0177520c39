#include "forms/about_window.h"

#include <optional>
#include <string>
#include <utility>

#include "core/product.h"

namespace talvorin::forms {

namespace {

constexpr char16_t kDesignCaption[] = u"О программе";
constexpr char16_t kCloseCaption[] = u"OK";
// The shell opens the links in this folder rather than wherever the
// program happens to be started from.
constexpr char kLinkFolder[] = "C:\\";

constexpr Rgb kLinkBlue{0, 0, 255};
constexpr int kCyrillicCharset = 204;

constexpr double kAnimationPoints = 12;
constexpr std::uint32_t kRed = 0x0000FF;  // OLE colours: red in the low byte
constexpr std::uint32_t kGreen = 0x00FF00;

// Where the two lines go, in pixels, and how their spacing runs.
constexpr std::int32_t kLineLeft = 42;
constexpr std::int32_t kTitleTop = 12;
constexpr std::int32_t kCreditTop = 42;
constexpr std::int32_t kStartSpacing = 128;
constexpr std::int32_t kEndSpacing = -1;

}  // namespace

AboutWindow::AboutWindow(Runtime& runtime, const Ports& ports) : runtime_(runtime), ports_(ports) { create_controls(); }

void AboutWindow::create_controls() {
  FormArgs form;
  form.name = u"AboutWindow";
  form.caption = kDesignCaption;
  form.client_width = 3744;
  form.client_height = 2436;
  form.sizable = false;
  form.min_button = false;
  form.max_button = false;
  form.icon_resource = kAboutIconResource;
  form.on_activate = [this] { Form_Activate(); };
  // Closed from the title bar it goes as "OK" sends it: hidden, keeping its
  // drawing, so an animation running in it ends at its next look.
  form.close_box_hides = true;
  window_ = runtime_.create_form(form);

  // In the order the window holds them; tab order follows tab_index.
  window_->add_button({.name = u"cmdClose",
                       .caption = kCloseCaption,
                       .rect = {1200, 1800, 1452, 492},
                       .tab_index = 1,
                       .on_click = [this] { cmdClose_Click(); }});
  add_link({.name = u"lblHomePage",
            .caption = std::u16string(core::kHomePage),
            .rect = {480, 960, 2844, 240},
            .tab_index = 2},
           [this] { lblHomePage_Click(); });
  add_link({.name = u"lblEmail",
            .caption = std::u16string(core::kAuthorEmail),
            .rect = {480, 1440, 2184, 240},
            .tab_index = 0},
           [this] { lblEmail_Click(); });
}

// Both links look alike: blue, bold, underlined, with the hand over them.
void AboutWindow::add_link(LabelArgs label, Handler on_click) {
  label.fore_color = kLinkBlue;
  label.font = FontSpec{.face = u"MS Sans Serif",
                        .points = 9.6,
                        .weight = 700,
                        .italic = false,
                        .underline = true,
                        .charset = kCyrillicCharset};
  label.on_click = std::move(on_click);
  label.cursor_resource = kLinkCursorResource;
  window_->add_label(label);
}

void AboutWindow::TextEffect(const TextEffectArgs& args) {
  const TextEffectServices services{runtime_, ports_.drawing, ports_.clock, ports_.code_page};
  text_effect(services, rcText_, args);
}

void AboutWindow::Form_Activate() {
  window_->set_auto_redraw(true);
  window_->set_font_size(kAnimationPoints);
  const Version version = runtime_.app().version();
  const std::u16string title = core::about_title(version.major, version.minor);
  const auto line = [this](std::u16string_view text, std::int32_t y, std::uint32_t ole_color) {
    TextEffect({.target = &target_,
                .text = text,
                .x = kLineLeft,
                .y = y,
                .start_spacing = kStartSpacing,
                .end_spacing = kEndSpacing,
                .ole_color = ole_color});
  };
  line(title, kTitleTop, kRed);
  line(core::kAuthorName, kCreditTop, kGreen);
}

void AboutWindow::cmdClose_Click() { window_->hide(); }

void AboutWindow::lblEmail_Click() {
  open_link(std::u16string(core::kEmailLinkPrefix) + std::u16string(core::kAuthorEmail));
}

void AboutWindow::lblHomePage_Click() {
  open_link(std::u16string(core::kHomePage) + std::u16string(core::kHomePageLinkSuffix));
}

// No verb: the shell takes the target's default one, which for a mailto:
// or web address is whatever the user's mail program or browser registered.
void AboutWindow::open_link(std::u16string_view target) {
  ports_.links.open(window_->window_handle(), std::nullopt, ports_.code_page.encode(target), std::nullopt, kLinkFolder,
                    platform::ShowCommand::ShowNormal);
}

}  // namespace talvorin::forms
