#ifndef VELTRANO_JSON_PLANS_JSON_H_
#define VELTRANO_JSON_PLANS_JSON_H_

#include <string>
#include <string_view>

#include "project/plans_file.h"

namespace veltrano {

// The measurements file as UTF-8 JSON (nlohmann's library):
//   {"schema": 1,
//    "drawings": [{"file": "1F.pdf",
//                  "pages": [{"width": 2384, "height": 1684,
//                             "scale": {"ratio": "1/100"}},      ← or
//                            {"width": 595, "height": 842,
//                             "scale": {"mm_per_point": 12.7}},  ← or none
//                            ...]}],
//    "measurements": [{"drawing": 1, "page": 1, "kind": "rect", "part": "床",
//                      "points": [[x, y], ...],
//                      "link": {"side": "interior", "room": "LDK",
//                               "row": 3, "part": "床"}}]}
// Drawings and pages are numbered from 1; points are in points from the
// page's top left; kind is length, area, rect or count; a measurement
// without "link" is linked to no cell. A file of a later schema is refused
// rather than read in part.
class PlansJson : public PlansFormat {
 public:
  static constexpr int kSchema = 1;
  std::string Encode(const PlanSet& plans) const override;
  bool Decode(std::string_view text, PlanSet* plans, std::string* error) const override;
};

}  // namespace veltrano

#endif  // VELTRANO_JSON_PLANS_JSON_H_
