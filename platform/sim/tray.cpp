#include "platform/sim/tray.h"

namespace talvorin::sim {

bool Tray::notify(core::TrayCommand command, const core::TrayRecordBytes& record) {
  const core::TrayRecordLayout& l = *layout_;
  const std::pair key{record.field(l.hwnd, l.handle_width), static_cast<std::uint32_t>(record.field(l.id, 4))};
  const bool shown = icons_.contains(key);
  bool accepted = false;
  bool answered = true;
  if (command == core::TrayCommand::Add && refused_adds_ > 0) {
    --refused_adds_;
    answered = false;
  }
  if (record.size() == l.size && record.field(0, 4) == l.size && (answered || refused_adds_taken_)) {
    switch (command) {
      case core::TrayCommand::Add:
      case core::TrayCommand::Modify:
        accepted = shown == (command == core::TrayCommand::Modify);
        if (accepted) take_fields(icons_[key], record);
        break;
      case core::TrayCommand::Delete:
        accepted = icons_.erase(key) == 1;
        break;
    }
  }
  accepted = accepted && answered;
  calls_.push_back({command, record, accepted});
  static constexpr const char16_t* kEntries[] = {u"tray add", u"tray modify", u"tray delete"};
  if (journal_) journal_->add(kEntries[static_cast<std::size_t>(command)]);
  return accepted;
}

// The fields the record's flags name; a new icon has the others empty.
void Tray::take_fields(Icon& icon, const core::TrayRecordBytes& record) const {
  const core::TrayRecordLayout& l = *layout_;
  const auto flags = static_cast<std::uint32_t>(record.field(l.flags, 4));
  if (flags & core::kTrayFlagIcon) icon.icon = record.field(l.icon, l.handle_width);
  if (flags & core::kTrayFlagMessage)
    icon.callback_message = static_cast<std::uint32_t>(record.field(l.callback_message, 4));
  if (flags & core::kTrayFlagTip) {
    icon.tip.clear();
    for (std::size_t i = l.tip; i < l.tip + core::kTrayTipLength && record[i] != 0; ++i) {
      icon.tip += static_cast<char>(record[i]);
    }
  }
}

const Tray::Icon* Tray::icon(std::uint64_t owner, std::uint32_t id) const {
  const auto it = icons_.find({owner, id});
  return it == icons_.end() ? nullptr : &it->second;
}

}  // namespace talvorin::sim
