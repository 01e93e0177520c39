#pragma once
// The About window: the product's name and version and the author's credit
// line, each closing up from wide letter spacing when the window becomes
// active, a close button and two links to the author.

#include <cstdint>
#include <memory>
#include <string_view>

#include "core/geometry.h"
#include "forms/text_effect.h"
#include "forms/toolkit.h"
#include "platform/ports.h"

namespace talvorin::forms {

inline constexpr int kAboutIconResource = 2;
inline constexpr int kLinkCursorResource = 1;

class AboutWindow {
 public:
  // What the window asks of Windows: drawing its animation and timing it,
  // and opening its links, each text through the code page.
  struct Ports {
    platform::TextDrawing& drawing;
    platform::Clock& clock;
    platform::Links& links;
    const platform::AnsiCodePage& code_page;
  };

  // Creates the window hidden, with its controls.
  AboutWindow(Runtime& runtime, const Ports& ports);
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // The window's public method: the animation on any target, with this
  // window's own rectangle.
  void TextEffect(const TextEffectArgs& args);

  Form& window() { return *window_; }

 private:
  class FormTarget final : public TextEffectTarget {
   public:
    explicit FormTarget(AboutWindow& owner) : owner_(owner) {}
    std::uintptr_t hdc() override { return owner_.window().hdc(); }
    float ScaleWidth() override { return owner_.window().scale_width(); }
    void Refresh() override { owner_.window().refresh(); }
    bool Visible() override { return owner_.window().visible(); }

   private:
    AboutWindow& owner_;
  };

  void Form_Activate();
  void cmdClose_Click();
  void lblEmail_Click();
  void lblHomePage_Click();

  void create_controls();
  void add_link(LabelArgs label, Handler on_click);
  void open_link(std::u16string_view target);

  Runtime& runtime_;
  Ports ports_;
  std::unique_ptr<Form> window_;
  FormTarget target_{*this};
  core::PixelRect rcText_;
};

}  // namespace talvorin::forms
