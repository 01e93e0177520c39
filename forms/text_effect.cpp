#include "forms/text_effect.h"

#include <algorithm>
#include <string>

#include "core/error.h"

namespace talvorin::forms {

namespace {

// The animation's brush, released however the call ends.
class SolidBrush {
 public:
  SolidBrush(platform::TextDrawing& drawing, std::uint32_t color)
      : drawing_(drawing), brush_(drawing.create_solid_brush(color)) {}
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  ~SolidBrush() {
    if (brush_ != 0) drawing_.delete_brush(brush_);
  }
  platform::TextDrawing::Brush get() const { return brush_; }

 private:
  platform::TextDrawing& drawing_;
  platform::TextDrawing::Brush brush_;
};

TextEffectTarget& required(TextEffectTarget* target) {
  if (!target) throw core::Error(kObjectNotSet);
  return *target;
}

std::int32_t target_width(TextEffectTarget& target, const Runtime& runtime) {
  return core::width_in_pixels(target.ScaleWidth(), runtime.twips_per_pixel_x());
}

// Pumps the events at least once, and after each pump looks whether the
// target is still shown. Between pumps it sleeps until the next event or the
// end of the frame rather than spinning on the clock. False: hidden.
bool wait_for_next_frame(const TextEffectServices& services, TextEffectTarget& target, std::uint32_t frame_start) {
  for (;;) {
    services.runtime.do_events();
    if (!target.Visible()) return false;
    const std::uint32_t remaining = core::frame_remaining(services.clock.milliseconds(), frame_start);
    if (remaining == 0) return true;
    services.runtime.wait_for_events(remaining);
  }
}

}  // namespace

void text_effect(const TextEffectServices& services, core::PixelRect& rcText, const TextEffectArgs& args) {
  platform::TextDrawing& drawing = services.drawing;
  const std::u16string text(args.text);
  TextEffectTarget& target = required(args.target);
  const auto dc = target.hdc();
  core::SpacingCourse course(args.start_spacing, args.end_spacing, args.loop);
  rcText = {args.x, args.y, args.x, args.y};
  const std::uint32_t text_color = drawing.translate_color(args.ole_color);
  const SolidBrush brush(drawing, drawing.button_face_color());
  const std::string ansi = services.code_page.encode(text);
  // DrawTextA is given the length in characters; a character the code page
  // has no single byte for must not make it read past the text.
  const auto length = static_cast<std::int32_t>(std::min(text.size(), ansi.size()));
  drawing.set_text_color(dc, text_color);

  while (course.running()) {
    const std::uint32_t frame_start = services.clock.milliseconds();
    const std::int32_t spacing = course.next_frame();
    drawing.fill_rect(dc, rcText, brush.get());
    drawing.set_text_character_extra(dc, spacing);
    drawing.draw_text(dc, ansi, length, rcText, platform::DrawTextFormat::CalcRect);
    // The margin takes in what the spacing adds after the last letter.
    rcText.right = core::drawn_right_edge(rcText.right, target_width(target, services.runtime));
    drawing.draw_text(dc, ansi, length, rcText, platform::DrawTextFormat::Draw);
    target.Refresh();
    if (!wait_for_next_frame(services, target, frame_start)) return;
  }
}

}  // namespace talvorin::forms
