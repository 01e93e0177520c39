#include "platform/sim/tray.h"

namespace talvorin::sim {

bool Tray::notify(core::TrayCommand command, const core::TrayRecordBytes& record) {
  const core::TrayRecordLayout& l = *layout_;
  const std::pair key{record.field(l.hwnd, l.handle_width), static_cast<std::uint32_t>(record.field(l.id, 4))};
  bool accepted = false;
  if (record.size() == l.size && record.field(0, 4) == l.size) {
    if (command == core::TrayCommand::Add && !icons_.contains(key)) {
      std::string tip;
      for (std::size_t i = l.tip; i < l.tip + core::kTrayTipLength && record[i] != 0; ++i) {
        tip += static_cast<char>(record[i]);
      }
      icons_[key] = Icon{record.field(l.icon, l.handle_width),
                         static_cast<std::uint32_t>(record.field(l.callback_message, 4)), std::move(tip)};
      accepted = true;
    } else if (command == core::TrayCommand::Delete) {
      accepted = icons_.erase(key) == 1;
    }
  }
  calls_.push_back({command, record, accepted});
  if (journal_) journal_->add(command == core::TrayCommand::Add ? u"tray add" : u"tray delete");
  return accepted;
}

const Tray::Icon* Tray::icon(std::uint64_t owner, std::uint32_t id) const {
  const auto it = icons_.find({owner, id});
  return it == icons_.end() ? nullptr : &it->second;
}

}  // namespace talvorin::sim
