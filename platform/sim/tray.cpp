#include "platform/sim/tray.h"

namespace talvorin::sim {

namespace {

std::uint32_t u32_at(const core::TrayRecordBytes& record, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(record[offset + i]) << (8 * i);
  return value;
}

}  // namespace

bool Tray::notify(core::TrayCommand command, const core::TrayRecordBytes& record) {
  const std::pair key{u32_at(record, 4), u32_at(record, 8)};
  bool accepted = false;
  if (u32_at(record, 0) == core::kTrayRecordSize) {
    if (command == core::TrayCommand::Add && !icons_.contains(key)) {
      std::string tip;
      for (std::size_t i = 24; i < record.size() && record[i] != 0; ++i) tip += static_cast<char>(record[i]);
      icons_[key] = Icon{u32_at(record, 20), u32_at(record, 16), std::move(tip)};
      accepted = true;
    } else if (command == core::TrayCommand::Delete) {
      accepted = icons_.erase(key) == 1;
    }
  }
  calls_.push_back({command, record, accepted});
  if (journal_) journal_->add(command == core::TrayCommand::Add ? u"tray add" : u"tray delete");
  return accepted;
}

const Tray::Icon* Tray::icon(std::uint32_t owner, std::uint32_t id) const {
  const auto it = icons_.find({owner, id});
  return it == icons_.end() ? nullptr : &it->second;
}

}  // namespace talvorin::sim
