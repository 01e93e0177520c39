#include "core/start_button.h"

#include <algorithm>
#include <span>

namespace talvorin::core {

namespace {

bool shows(const ShellWindowSeen& window) {
  return window.visible && window.rect.right > window.rect.left && window.rect.bottom > window.rect.top;
}

// An overlay over the part of `button` that can be seen, unless the button
// or the taskbar it belongs to is out of sight: then the shell's own button
// shows, or nothing does.
void place_over(const ShellWindowSeen& button, const TaskbarSeen& taskbar, std::uintptr_t above,
                std::vector<OverlayPlacement>& overlays) {
  if (!shows(button) || !shows(taskbar.window)) return;
  if (const auto part = visible_part(button.rect, taskbar.window.rect, button.monitor, taskbar.region)) {
    overlays.push_back(OverlayPlacement{*part, above, taskbar.topmost});
  }
}

StartButtonShape shape_of(const StartButtonSearch& search) {
  // Without a taskbar nothing else counts: a top-level button or a "Start"
  // window elsewhere belongs to some other program.
  if (!search.taskbar) return StartButtonShape::Missing;
  if (search.button) return search.button_owner_drawn ? StartButtonShape::OwnerDrawn : StartButtonShape::PaintsText;
  if (search.taskbar->start) return StartButtonShape::StartChildren;
  if (search.orb) return StartButtonShape::Orb;
  return StartButtonShape::Missing;
}

// Letters of the scripts written right to left: Hebrew, Arabic, Syriac,
// Thaana, N'Ko, Samaritan, Mandaic and the Arabic extensions, their
// presentation forms, and the same scripts beyond the first plane.
// Combining marks and the Arabic-Indic digits inside these blocks take no
// side.
struct CodeRange {
  char32_t first;
  char32_t last;
};
constexpr CodeRange kRightToLeftLetters[] = {
    {0x05D0, 0x05EA},   {0x05EF, 0x05F4}, {0x0608, 0x0608}, {0x060B, 0x060B}, {0x060D, 0x060D}, {0x061B, 0x064A},
    {0x066D, 0x066F},   {0x0671, 0x06D5}, {0x06E5, 0x06E6}, {0x06EE, 0x06EF}, {0x06FA, 0x070D}, {0x0710, 0x0710},
    {0x0712, 0x072F},   {0x074D, 0x07A5}, {0x07B1, 0x07B1}, {0x07C0, 0x07EA}, {0x07F4, 0x07F5}, {0x07FA, 0x07FA},
    {0x0800, 0x0815},   {0x081A, 0x081A}, {0x0824, 0x0824}, {0x0828, 0x0828}, {0x0830, 0x0858}, {0x0860, 0x08C9},
    {0xFB1D, 0xFB1D},   {0xFB1F, 0xFB28}, {0xFB2A, 0xFD3D}, {0xFD50, 0xFDFF}, {0xFE70, 0xFEFE}, {0x10800, 0x10FFF},
    {0x1E800, 0x1EFFF},
};

bool in(std::span<const CodeRange> ranges, char32_t c) {
  return std::any_of(ranges.begin(), ranges.end(), [c](const CodeRange& r) { return c >= r.first && c <= r.last; });
}

// Letters of the scripts written left to right, as far as a caption needs:
// everything else that is a letter in the blocks below (Latin, Greek,
// Cyrillic, Armenian, the scripts of India and South-East Asia, CJK,
// Hangul). What is not listed counts as taking no side.
constexpr CodeRange kLeftToRightLetters[] = {
    {U'A', U'Z'},       {U'a', U'z'},       {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA},   {0x00C0, 0x00D6},
    {0x00D8, 0x00F6},   {0x00F8, 0x02B8},   {0x0370, 0x0373}, {0x0376, 0x0377}, {0x037A, 0x037D},   {0x0386, 0x0386},
    {0x0388, 0x0482},   {0x048A, 0x058F},   {0x0900, 0x1FFF}, {0x2C00, 0x2DFF}, {0x3040, 0x9FFF},   {0xA000, 0xD7FF},
    {0xF900, 0xFB1C},   {0xFF21, 0xFF3A},   {0xFF41, 0xFF5A}, {0xFF66, 0xFFDC}, {0x10000, 0x107FF}, {0x11000, 0x1E7FF},
    {0x1F100, 0x1F1FF}, {0x20000, 0x3FFFF},
};

}  // namespace

StartButtonPlan plan_start_button(const StartButtonSearch& search, std::u16string_view caption) {
  StartButtonPlan plan{shape_of(search), {}};
  // With no caption the shell's own button shows as it is.
  if (caption.empty()) return plan;
  const TaskbarSeen* taskbar = search.taskbar ? &*search.taskbar : nullptr;
  switch (plan.shape) {
    case StartButtonShape::OwnerDrawn:
      // A child window cannot stand above its parent's siblings: the overlay
      // goes above the taskbar that holds the button.
      place_over(*search.button, *taskbar, taskbar->window.handle, plan.overlays);
      break;
    case StartButtonShape::StartChildren:
      place_over(*taskbar->start, *taskbar, taskbar->window.handle, plan.overlays);
      for (const TaskbarSeen& other : search.secondary) {
        if (other.start) place_over(*other.start, other, other.window.handle, plan.overlays);
      }
      break;
    case StartButtonShape::Orb:
      place_over(*search.orb, *taskbar, search.orb->handle, plan.overlays);
      break;
    case StartButtonShape::PaintsText:
    case StartButtonShape::Missing:
      break;
  }
  return plan;
}

std::optional<PixelRect> visible_part(const PixelRect& button, const PixelRect& taskbar, const PixelRect& monitor,
                                      const std::optional<PixelRect>& taskbar_region) {
  // In 64 bits: the edges of a rectangle may be any 32-bit values, and the
  // region's are offsets from the taskbar's corner.
  std::int64_t left = std::max({button.left, taskbar.left, monitor.left});
  std::int64_t top = std::max({button.top, taskbar.top, monitor.top});
  std::int64_t right = std::min({button.right, taskbar.right, monitor.right});
  std::int64_t bottom = std::min({button.bottom, taskbar.bottom, monitor.bottom});
  if (taskbar_region) {
    left = std::max(left, std::int64_t{taskbar.left} + taskbar_region->left);
    top = std::max(top, std::int64_t{taskbar.top} + taskbar_region->top);
    right = std::min(right, std::int64_t{taskbar.left} + taskbar_region->right);
    bottom = std::min(bottom, std::int64_t{taskbar.top} + taskbar_region->bottom);
  }
  if (right - left < kSmallestVisibleButton || bottom - top < kSmallestVisibleButton) return std::nullopt;
  // Each edge lies between two of the button's own, so it fits again.
  return PixelRect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right),
                   static_cast<std::int32_t>(bottom)};
}

ZOrderLook next_zorder_look(Beneath beneath) {
  switch (beneath) {
    case Beneath::Taskbar:
      return ZOrderLook::InPlace;
    case Beneath::CaptionWindow:
      return ZOrderLook::LookFurther;
    case Beneath::Other:
      break;
  }
  return ZOrderLook::Move;
}

namespace {

bool in_place_above(ZOrder& z_order, std::uintptr_t caption_window, std::uintptr_t taskbar) {
  std::uintptr_t beneath = caption_window;
  for (int looks = 0; looks <= kMostCaptionWindowsBeneath; ++looks) {
    beneath = z_order.beneath(beneath);
    const Beneath what = beneath == taskbar                                   ? Beneath::Taskbar
                         : beneath != 0 && z_order.is_caption_window(beneath) ? Beneath::CaptionWindow
                                                                              : Beneath::Other;
    switch (next_zorder_look(what)) {
      case ZOrderLook::InPlace:
        return true;
      case ZOrderLook::Move:
        return false;
      case ZOrderLook::LookFurther:
        break;
    }
  }
  return false;
}

}  // namespace

std::optional<ZOrderMove> caption_window_move(ZOrder& z_order, std::uintptr_t caption_window, std::uintptr_t taskbar,
                                              bool topmost) {
  if (taskbar == 0 || in_place_above(z_order, caption_window, taskbar)) return std::nullopt;
  const std::uintptr_t over = z_order.above(taskbar);
  // The z-order changed between the reads: it is in place after all.
  if (over == caption_window) return std::nullopt;
  if (over == 0) return ZOrderMove{topmost ? ZOrderMove::To::Topmost : ZOrderMove::To::Top};
  if (z_order.is_topmost(over) != topmost) {
    // Only topmost windows stand above the taskbar: the top of the ordinary
    // ones is right above it. A topmost caption window over an ordinary
    // taskbar is above it already.
    if (topmost) return std::nullopt;
    return ZOrderMove{ZOrderMove::To::Top};
  }
  return ZOrderMove{ZOrderMove::To::Beneath, over};
}

OverlayUpdate OverlayState::show(const OverlayPlacement& placement, std::u16string_view caption) {
  OverlayUpdate update;
  update.set_caption = caption != caption_;
  update.move = !shown_ || placement.rect != placement_.rect;
  update.set_topmost = !shown_ || placement.topmost != placement_.topmost;
  update.show = !shown_;
  update.redraw = update.set_caption || update.move;
  if (update.set_caption) caption_ = caption;
  placement_ = placement;
  shown_ = true;
  return update;
}

bool reads_right_to_left(std::u16string_view caption) {
  for (std::size_t i = 0; i < caption.size(); ++i) {
    char32_t c = caption[i];
    // A pair of surrogates is one character beyond the first plane; a lone
    // one is no letter.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < caption.size() && caption[i + 1] >= 0xDC00 && caption[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (caption[i + 1] - 0xDC00);
      ++i;
    }
    if (in(kRightToLeftLetters, c)) return true;
    if (in(kLeftToRightLetters, c)) return false;
  }
  return false;
}

}  // namespace talvorin::core
