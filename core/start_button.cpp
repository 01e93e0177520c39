#include "core/start_button.h"

namespace talvorin::core {

namespace {

bool shows(const ShellWindowSeen& window) {
  return window.visible && window.rect.right > window.rect.left && window.rect.bottom > window.rect.top;
}

// An overlay over `button`, unless the button or the taskbar it belongs to
// is out of sight: then the shell's own button shows, or nothing does.
void place_over(const ShellWindowSeen& button, const TaskbarSeen& taskbar, std::uintptr_t above,
                std::vector<OverlayPlacement>& overlays) {
  if (!shows(button) || !shows(taskbar.window)) return;
  overlays.push_back(OverlayPlacement{button.rect, above, taskbar.topmost});
}

StartButtonShape shape_of(const StartButtonSearch& search) {
  // Without a taskbar nothing else counts: a top-level button or a "Start"
  // window elsewhere belongs to some other program.
  if (!search.taskbar) return StartButtonShape::Missing;
  if (search.button) return search.button_owner_drawn ? StartButtonShape::OwnerDrawn : StartButtonShape::PaintsText;
  if (search.orb) return StartButtonShape::Orb;
  if (search.taskbar->start) return StartButtonShape::StartChildren;
  return StartButtonShape::Missing;
}

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
    case StartButtonShape::Orb:
      place_over(*search.orb, *taskbar, search.orb->handle, plan.overlays);
      break;
    case StartButtonShape::StartChildren:
      place_over(*taskbar->start, *taskbar, taskbar->window.handle, plan.overlays);
      for (const TaskbarSeen& other : search.secondary) {
        if (other.start) place_over(*other.start, other, other.window.handle, plan.overlays);
      }
      break;
    case StartButtonShape::PaintsText:
    case StartButtonShape::Missing:
      break;
  }
  return plan;
}

}  // namespace talvorin::core
