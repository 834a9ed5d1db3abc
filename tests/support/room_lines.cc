#include "support/room_lines.h"

#include <string_view>

#include "project/room_records.h"

namespace veltrano::testing {

std::vector<std::string> SideLines(const Project& t, int side) {
  std::vector<std::string> lines;
  for (int i = 0; i < t.rooms().count(side); ++i) {
    RoomRecords::AppendLines(side, t.rooms().room(side, i), &lines);
  }
  return lines;
}

void AppendRoomLines(Project* t, int side, const std::vector<std::string>& lines) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  for (Room& room : RoomRecords::ReadRooms(side, views)) t->rooms().AppendAsRead(side, std::move(room));
}

}  // namespace veltrano::testing
