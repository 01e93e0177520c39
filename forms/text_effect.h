#pragma once
// The letter-spacing animation: one line of text drawn frame by frame on a
// window, closing up from wide spacing and settling at its end spacing.
// Between frames the program's events keep running.

#include <cstdint>
#include <string_view>

#include "core/geometry.h"
#include "core/text_effect.h"
#include "forms/toolkit.h"
#include "platform/ports.h"

namespace talvorin::forms {

// What the animation asks of the window it draws on, by these names.
class TextEffectTarget {
 public:
  virtual std::uintptr_t hdc() = 0;
  // The inner width in twips.
  virtual float ScaleWidth() = 0;
  virtual void Refresh() = 0;
  virtual bool Visible() = 0;

 protected:
  ~TextEffectTarget() = default;
};

// The run-time error of a call on no target at all.
inline constexpr char kObjectNotSet[] = "Object variable or With block variable not set";

struct TextEffectServices {
  Runtime& runtime;  // event pump, the wait between events, twips per pixel
  platform::TextDrawing& drawing;
  platform::Clock& clock;
  const platform::AnsiCodePage& code_page;
};

// One line of the animation: where it is drawn, what it says in which
// colour, and how its spacing runs.
struct TextEffectArgs {
  TextEffectTarget* target = nullptr;
  std::u16string_view text;
  std::int32_t x = 0;  // pixels
  std::int32_t y = 0;
  bool loop = false;  // starts over when the spacing has run its course
  std::int32_t start_spacing = 0;
  std::int32_t end_spacing = 0;
  std::uint32_t ole_color = 0;
};

// Draws the text on the target until the spacing reaches its end or the
// target is hidden; returns then. rcText is the window's own rectangle:
// each frame erases what the one before drew into it, also across a call
// nested inside this one's wait. A missing target throws core::Error, with
// the brush released.
void text_effect(const TextEffectServices& services, core::PixelRect& rcText, const TextEffectArgs& args);

}  // namespace talvorin::forms
