#include "project/plans.h"

#include <utility>

namespace veltrano {

namespace {

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3
                                          : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && IsUtf8(name) &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

int PlanSet::AddDrawing(std::string file_name, std::vector<PlanPage> pages) {
  drawings_.push_back({std::move(file_name), std::move(pages)});
  return static_cast<int>(drawings_.size()) - 1;
}

bool PlanSet::SetScale(int drawing, int page, PageScale scale) {
  if (drawing < 0 || drawing >= static_cast<int>(drawings_.size())) return false;
  std::vector<PlanPage>& pages = drawings_[static_cast<std::size_t>(drawing)].pages;
  if (page < 0 || page >= static_cast<int>(pages.size())) return false;
  pages[static_cast<std::size_t>(page)].scale = std::move(scale);
  return true;
}

const PageScale* PlanSet::ScaleOf(int drawing, int page) const {
  if (drawing < 0 || drawing >= static_cast<int>(drawings_.size())) return nullptr;
  const std::vector<PlanPage>& pages = drawings_[static_cast<std::size_t>(drawing)].pages;
  if (page < 0 || page >= static_cast<int>(pages.size())) return nullptr;
  const std::optional<PageScale>& scale = pages[static_cast<std::size_t>(page)].scale;
  return scale ? &*scale : nullptr;
}

std::optional<int> PlanSet::AddMeasurement(PlanMeasurement measurement) {
  const PageScale* scale = ScaleOf(measurement.drawing, measurement.page);
  if (scale == nullptr || !Measure(measurement.kind, measurement.points, *scale)) {
    return std::nullopt;
  }
  measurements_.push_back(std::move(measurement));
  return static_cast<int>(measurements_.size()) - 1;
}

std::optional<Measured> PlanSet::MeasureOf(int index) const {
  if (!ValidIndex(index)) return std::nullopt;
  const PlanMeasurement& m = measurements_[static_cast<std::size_t>(index)];
  const PageScale* scale = ScaleOf(m.drawing, m.page);
  if (scale == nullptr) return std::nullopt;
  return Measure(m.kind, m.points, *scale);
}

bool PlanSet::MovePoint(int index, int point, PagePoint to) {
  if (!ValidIndex(index)) return false;
  PlanMeasurement& m = measurements_[static_cast<std::size_t>(index)];
  if (point < 0 || point >= static_cast<int>(m.points.size())) return false;
  m.points[static_cast<std::size_t>(point)] = to;
  return true;
}

bool PlanSet::Remove(int index) {
  if (!ValidIndex(index)) return false;
  measurements_.erase(measurements_.begin() + index);
  return true;
}

bool PlanSet::Link(int index, PlanLink link) {
  if (!ValidIndex(index)) return false;
  // A cell holds one formula: another measurement sent there before lets go.
  for (PlanMeasurement& m : measurements_) {
    if (m.link == link) m.link.reset();
  }
  measurements_[static_cast<std::size_t>(index)].link = std::move(link);
  return true;
}

bool PlanSet::Unlink(int index) {
  if (!ValidIndex(index)) return false;
  measurements_[static_cast<std::size_t>(index)].link.reset();
  return true;
}

std::optional<int> PlanSet::LinkedTo(const PlanLink& link) const {
  for (std::size_t i = 0; i < measurements_.size(); ++i) {
    if (measurements_[i].link == link) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::size_t PlanSet::MemoryBytes() const {
  std::size_t bytes = sizeof(*this);
  for (const PlanDrawing& d : drawings_) {
    bytes += sizeof(d) + d.file_name.capacity() + d.pages.capacity() * sizeof(PlanPage);
  }
  for (const PlanMeasurement& m : measurements_) {
    bytes += sizeof(m) + m.points.capacity() * sizeof(PagePoint) +
             (m.link ? m.link->room.capacity() : 0);
  }
  return bytes;
}

}  // namespace veltrano
