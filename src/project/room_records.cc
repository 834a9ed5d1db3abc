#include "project/room_records.h"

namespace veltrano {

namespace {

constexpr std::string_view kContinuationName = "@";

// A sheet line in its three parts: the tag with the separator after it,
// the name field and the rest from the separator after the name.
struct LineParts {
  std::string_view head;
  std::string_view name;
  std::string_view tail;
};

LineParts Split(std::string_view line) {
  LineParts parts;
  const std::size_t tag_end = line.find(',');
  if (tag_end == std::string_view::npos) {
    parts.head = line;
    return parts;
  }
  parts.head = line.substr(0, tag_end + 1);
  const std::size_t name_end = line.find(',', tag_end + 1);
  if (name_end == std::string_view::npos) {
    parts.name = line.substr(tag_end + 1);
    return parts;
  }
  parts.name = line.substr(tag_end + 1, name_end - tag_end - 1);
  parts.tail = line.substr(name_end);
  return parts;
}

}  // namespace

std::string_view RoomRecords::NameField(std::string_view line) { return Split(line).name; }

bool RoomRecords::NamesARoom(std::string_view name_field) {
  return name_field != kContinuationName;
}

Room RoomRecords::ReadRoom(int side, std::array<std::string, kLinesPerRoom>&& lines) {
  Room room;
  const std::string own_head = std::string(kSheetTag[static_cast<std::size_t>(side)]) + ",";
  for (int r = 1; r <= kLinesPerRoom; ++r) {
    std::string& line = lines[static_cast<std::size_t>(r - 1)];
    const LineParts parts = Split(line);
    if (r == 1) room.Rename(std::string(parts.name));
    RoomRow row;
    // The side's own tag followed by its separator is not kept.
    std::string head;
    if (parts.head != own_head) head.assign(parts.head);
    // The line's own text becomes the row's, without copying it.
    const std::size_t tail_start =
        parts.tail.empty() ? line.size()
                           : static_cast<std::size_t>(parts.tail.data() - line.data());
    line.erase(0, tail_start);
    row.tail_ = std::move(line);
    room.SetRow(r, std::move(row));
    if (!head.empty()) room.heads_.emplace_back(r, std::move(head));
  }
  return room;
}

std::vector<Room> RoomRecords::ReadRooms(int side, const std::vector<std::string_view>& lines) {
  std::vector<Room> rooms;
  const std::string empty_line = EmptyLine(side);
  std::array<std::string, kLinesPerRoom> room_lines;
  std::size_t i = 0;
  while (i < lines.size() && !NamesARoom(NameField(lines[i]))) ++i;
  while (i < lines.size()) {
    room_lines.fill(empty_line);
    room_lines[0] = lines[i++];
    for (std::size_t k = 1; i < lines.size() &&
                            !NamesARoom(NameField(lines[i]));
         ++i, ++k) {
      if (k < room_lines.size()) room_lines[k] = lines[i];
    }
    rooms.push_back(ReadRoom(side, std::move(room_lines)));
  }
  return rooms;
}

std::string RoomRecords::EmptyLine(int side) {
  std::string line(kSheetTag[static_cast<std::size_t>(side)]);
  line += ',';
  line += kContinuationName;
  line += RoomRow::Empty().tail_;
  return line;
}

void RoomRecords::AppendLines(int side, const Room& room, std::vector<std::string>* out) {
  ForEachLine(side, room, [out](std::string&& line) { out->push_back(std::move(line)); });
}

void RoomRecords::ForEachLine(int side, const Room& room, const LineSink& out) {
  const std::string_view own_tag = kSheetTag[static_cast<std::size_t>(side)];
  auto head = room.heads_.begin();
  for (int r = 1; r <= kLinesPerRoom; ++r) {
    const RoomRow& row = room.row(r);
    const std::string_view name = r == 1 ? std::string_view(room.name()) : kContinuationName;
    std::string line;
    line.reserve(own_tag.size() + 1 + name.size() + row.tail_.size());
    while (head != room.heads_.end() && head->first < r) ++head;
    if (head == room.heads_.end() || head->first != r) {
      line += own_tag;
      line += ',';
    } else {
      line += head->second;
      // A tag read without a separator after it gets one once anything
      // follows.
      if (head->second.back() != ',' && !(name.empty() && row.tail_.empty())) line += ',';
    }
    line += name;
    line += row.tail_;
    out(std::move(line));
  }
}

}  // namespace veltrano
