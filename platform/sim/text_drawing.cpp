#include "platform/sim/text_drawing.h"

#include <algorithm>

namespace talvorin::sim {

namespace {

constexpr std::uint32_t kSystemColorFlag = 0x80000000;
constexpr std::uint32_t kSystemColorButtonFace = 15;

}  // namespace

std::uint32_t TextDrawing::translate_color(std::uint32_t ole_color) {
  record({.op = Op::TranslateColor, .value = ole_color});
  if ((ole_color & kSystemColorFlag) == 0) return ole_color & 0x00FFFFFF;
  return (ole_color & 0xFF) == kSystemColorButtonFace ? kButtonFace : 0;
}

std::uint32_t TextDrawing::button_face_color() {
  record({.op = Op::ButtonFace});
  return kButtonFace;
}

platform::TextDrawing::Brush TextDrawing::create_solid_brush(std::uint32_t color) {
  const Brush brush = next_brush_++;
  live_.insert(brush);
  record({.op = Op::CreateBrush, .value = color});
  return brush;
}

void TextDrawing::delete_brush(Brush brush) {
  live_.erase(brush);
  record({.op = Op::DeleteBrush, .value = static_cast<std::int64_t>(brush)});
}

void TextDrawing::set_text_color(DeviceContext dc, std::uint32_t color) {
  record({.op = Op::TextColor, .dc = dc, .value = color});
}

void TextDrawing::fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) {
  record({.op = Op::FillRect, .dc = dc, .value = static_cast<std::int64_t>(brush), .rect = rect});
}

void TextDrawing::set_text_character_extra(DeviceContext dc, std::int32_t extra) {
  extra_ = extra;
  record({.op = Op::CharacterExtra, .dc = dc, .value = extra});
}

void TextDrawing::draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length, core::PixelRect& rect,
                            platform::DrawTextFormat format) {
  const std::int64_t count = platform::drawable_length(ansi_text, length);
  const std::string text = ansi_text.substr(0, static_cast<std::size_t>(count));
  // DrawTextA leaves the rectangle as it is when there is nothing to measure.
  if (format == platform::DrawTextFormat::CalcRect && count > 0) {
    const std::int64_t width = std::max<std::int64_t>(0, count * (kCharWidth + std::int64_t{extra_}));
    rect.right = static_cast<std::int32_t>(std::min<std::int64_t>(rect.left + width, INT32_MAX));
    rect.bottom = rect.top + kLineHeight;
  }
  calls_.push_back(
      {.op = Op::DrawText, .dc = dc, .value = static_cast<std::int64_t>(format), .rect = rect, .text = text});
}

std::vector<TextDrawing::Call> TextDrawing::calls_of(Op op) const {
  std::vector<Call> found;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(found),
               [op](const Call& call) { return call.op == op; });
  return found;
}

}  // namespace talvorin::sim
