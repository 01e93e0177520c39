#pragma once
// The cases every TextDrawing adapter passes: GDI on a memory device context
// under Wine, and the recording one on the host. The animation's course and
// its clipping are tested on the simulation, so the measures it relies on
// must be the real ones' too.

#include <cstdint>
#include <string>

#include "platform/ports.h"
#include "tests/win32/check.h"

namespace talvorin::contract {

class DrawingUnderTest {
 public:
  virtual ~DrawingUnderTest() = default;
  virtual platform::TextDrawing& drawing() = 0;
  // A device context with a font selected, which the drawing may go to.
  virtual platform::TextDrawing::DeviceContext dc() = 0;
};

inline constexpr std::uint32_t kOleButtonFace = 0x8000000F;

inline void drawing_colors(DrawingUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  platform::TextDrawing& drawing = under_test.drawing();
  check_equal(drawing.translate_color(0x00123456), 0x00123456U, "an RGB colour is itself");
  check_equal(drawing.translate_color(0x000000FF), 0x000000FFU, "red");
  check_equal(drawing.translate_color(kOleButtonFace), drawing.button_face_color(),
              "the system's button face, by reference");
  const auto brush = drawing.create_solid_brush(0x0000FF00);
  check(brush != 0, "a brush is made");
  drawing.delete_brush(brush);
}

// Measuring with DrawText: where the text starts stays, the extent follows
// the text, the bytes asked for and the spacing between the letters.
inline void drawing_measures(DrawingUnderTest& under_test) {
  using testing::check;
  using testing::check_equal;
  platform::TextDrawing& drawing = under_test.drawing();
  const auto dc = under_test.dc();
  const auto measure = [&](const std::string& text, std::int32_t length, std::int32_t extra) {
    drawing.set_text_character_extra(dc, extra);
    core::PixelRect rect{10, 20, 10, 20};
    drawing.draw_text(dc, text, length, rect, platform::DrawTextFormat::CalcRect);
    drawing.set_text_character_extra(dc, 0);
    return rect;
  };

  const core::PixelRect abc = measure("abc", 3, 0);
  check_equal(abc.left, 10, "left kept");
  check_equal(abc.top, 20, "top kept");
  check(abc.right > abc.left, "the text has a width");
  check(abc.bottom > abc.top, "and a height");

  check(measure("abcdef", 3, 0) == abc, "only the bytes asked for");
  check(measure("abcdef", 6, 0).right > abc.right, "more bytes, wider");
  check_equal(measure("abc", 3, 5).right - abc.right, 3 * 5, "the extra space after each letter");
  check_equal(measure("abc", 3, -1).right - abc.right, -3, "and a negative one");

  const core::PixelRect none = measure("abc", 0, 0);
  check_equal(none.right, none.left, "no bytes, no width");
  check(measure("abc", 100, 0) == abc, "never past the text's end");
  check(measure("abc", -1, 0) == none, "a negative length draws nothing");
}

}  // namespace talvorin::contract
