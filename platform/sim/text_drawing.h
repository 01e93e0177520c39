#pragma once
// A simulated device context that records every drawing call in order, and
// a shell that records the addresses it is asked to open.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports.h"

namespace talvorin::sim {

class TextDrawing final : public platform::TextDrawing {
 public:
  enum class Op { TranslateColor, ButtonFace, CreateBrush, DeleteBrush, TextColor, FillRect, CharacterExtra, DrawText };
  struct Call {
    Op op;
    DeviceContext dc = 0;
    std::int64_t value = 0;  // colour, brush, spacing or format
    core::PixelRect rect{};  // as passed in; for DrawText's measure, as handed back
    std::string text{};
  };

  // A fixed-pitch font: each character is this wide before the extra space.
  static constexpr std::int32_t kCharWidth = 8;
  static constexpr std::int32_t kLineHeight = 16;
  static constexpr std::uint32_t kButtonFace = 0x00C8D0D4;

  std::uint32_t translate_color(std::uint32_t ole_color) override;
  std::uint32_t button_face_color() override;
  Brush create_solid_brush(std::uint32_t color) override;
  void delete_brush(Brush brush) override;
  void set_text_color(DeviceContext dc, std::uint32_t color) override;
  void fill_rect(DeviceContext dc, const core::PixelRect& rect, Brush brush) override;
  void set_text_character_extra(DeviceContext dc, std::int32_t extra) override;
  void draw_text(DeviceContext dc, const std::string& ansi_text, std::int32_t length, core::PixelRect& rect,
                 platform::DrawTextFormat format) override;

  const std::vector<Call>& calls() const { return calls_; }
  std::vector<Call> calls_of(Op op) const;
  std::size_t live_brushes() const { return live_.size(); }
  void clear() { calls_.clear(); }

 private:
  void record(Call call) { calls_.push_back(std::move(call)); }

  std::vector<Call> calls_;
  std::set<Brush> live_;
  Brush next_brush_ = 0x5000;
  std::int32_t extra_ = 0;
};

class Links final : public platform::Links {
 public:
  // Every argument as ShellExecuteA would get it.
  struct Call {
    platform::WindowHandle owner;
    std::optional<std::string> operation;
    std::string target;
    std::optional<std::string> parameters;
    std::string folder;
    platform::ShowCommand show;
  };
  void open(platform::WindowHandle owner, const std::optional<std::string>& ansi_operation,
            const std::string& ansi_target, const std::optional<std::string>& ansi_parameters,
            const std::string& ansi_folder, platform::ShowCommand show) override {
    calls.push_back({owner, ansi_operation, ansi_target, ansi_parameters, ansi_folder, show});
  }
  std::vector<Call> calls;
};

}  // namespace talvorin::sim
