#include "json/plans_json.h"

#include <array>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace veltrano {

namespace {

using json = nlohmann::ordered_json;

constexpr std::array<std::string_view, 5> kPartNames = {"床", "巾木", "壁", "天井", "雑"};
constexpr std::array<std::string_view, 2> kSideNames = {"interior", "exterior"};
// No project holds more; a file past these is not one the program wrote.
constexpr std::size_t kMostPages = 100000;
constexpr std::size_t kMostPoints = 100000;
constexpr int kMostRow = 50;

// A reason the file cannot be read.
struct Refusal : std::runtime_error {
  using std::runtime_error::runtime_error;
};

const json& Member(const json& object, const char* key) {
  if (!object.is_object()) throw Refusal("オブジェクトがありません");
  const auto it = object.find(key);
  if (it == object.end()) throw Refusal(std::string("\"") + key + "\" がありません");
  return *it;
}

double FiniteNumber(const json& value, const char* what) {
  if (!value.is_number()) throw Refusal(std::string(what) + " が数ではありません");
  const double number = value.get<double>();
  if (!std::isfinite(number)) throw Refusal(std::string(what) + " が数ではありません");
  return number;
}

int WholeNumber(const json& value, const char* what, int low, int high) {
  if (!value.is_number_integer()) throw Refusal(std::string(what) + " が整数ではありません");
  const auto number = value.get<std::int64_t>();
  if (number < low || number > high) throw Refusal(std::string(what) + " が範囲外です");
  return static_cast<int>(number);
}

template <std::size_t N>
int NameIndex(const json& value, const std::array<std::string_view, N>& names, const char* what) {
  if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    for (std::size_t i = 0; i < N; ++i) {
      if (names[i] == text) return static_cast<int>(i);
    }
  }
  throw Refusal(std::string(what) + " が読めません");
}

json ScaleJson(const PageScale& scale) {
  if (!scale.ratio_text().empty()) return {{"ratio", scale.ratio_text()}};
  return {{"mm_per_point", scale.millimetres_per_point()}};
}

PageScale ScaleFrom(const json& value) {
  std::optional<PageScale> scale;
  if (value.is_object() && value.contains("ratio") && value["ratio"].is_string()) {
    scale = PageScale::FromRatioText(value["ratio"].get_ref<const std::string&>());
  } else if (value.is_object() && value.contains("mm_per_point")) {
    scale = PageScale::FromMillimetresPerPoint(FiniteNumber(value["mm_per_point"], "縮尺"));
  }
  if (!scale) throw Refusal("縮尺が読めません");
  return *scale;
}

void Read(const json& root, PlanSet* plans) {
  const json& schema = Member(root, "schema");
  if (!schema.is_number_integer()) throw Refusal("\"schema\" が整数ではありません");
  if (schema.get<std::int64_t>() != PlansJson::kSchema) {
    throw Refusal("このプログラムの読めない版の計測ファイルです（schema " + schema.dump() + "）");
  }
  const json& drawings = Member(root, "drawings");
  if (!drawings.is_array()) throw Refusal("\"drawings\" が配列ではありません");
  for (const json& drawing : drawings) {
    const json& file = Member(drawing, "file");
    if (!file.is_string() || !IsPlainFileName(file.get_ref<const std::string&>())) {
      throw Refusal("図面のファイル名が読めません");
    }
    const json& pages_json = Member(drawing, "pages");
    if (!pages_json.is_array() || pages_json.empty() || pages_json.size() > kMostPages) {
      throw Refusal("図面のページが読めません");
    }
    std::vector<PlanPage> pages;
    pages.reserve(pages_json.size());
    for (const json& page_json : pages_json) {
      PlanPage page;
      page.width = FiniteNumber(Member(page_json, "width"), "ページの幅");
      page.height = FiniteNumber(Member(page_json, "height"), "ページの高さ");
      if (!(page.width > 0) || !(page.height > 0)) throw Refusal("ページの大きさが範囲外です");
      if (page_json.contains("scale")) page.scale = ScaleFrom(page_json["scale"]);
      pages.push_back(std::move(page));
    }
    plans->AddDrawing(file.get<std::string>(), std::move(pages));
  }
  const json& measurements = Member(root, "measurements");
  if (!measurements.is_array()) throw Refusal("\"measurements\" が配列ではありません");
  const int drawing_count = static_cast<int>(plans->drawings().size());
  for (const json& item : measurements) {
    PlanMeasurement m;
    m.drawing = WholeNumber(Member(item, "drawing"), "図面番号", 1, drawing_count) - 1;
    const int page_count =
        static_cast<int>(plans->drawings()[static_cast<std::size_t>(m.drawing)].pages.size());
    m.page = WholeNumber(Member(item, "page"), "ページ番号", 1, page_count) - 1;
    m.kind = static_cast<MeasureKind>(NameIndex(Member(item, "kind"), kMeasureKindWords, "計測の種類"));
    m.part = NameIndex(Member(item, "part"), kPartNames, "部位");
    const json& points = Member(item, "points");
    if (!points.is_array() || points.size() > kMostPoints) throw Refusal("点が読めません");
    for (const json& point : points) {
      if (!point.is_array() || point.size() != 2) throw Refusal("点が読めません");
      m.points.push_back({FiniteNumber(point[0], "点"), FiniteNumber(point[1], "点")});
    }
    if (item.contains("link")) {
      const json& link = item["link"];
      PlanLink l;
      l.side = NameIndex(Member(link, "side"), kSideNames, "表");
      const json& room = Member(link, "room");
      if (!room.is_string()) throw Refusal("部屋名が読めません");
      l.room = room.get<std::string>();
      l.row = WholeNumber(Member(link, "row"), "行", 1, kMostRow);
      l.part = NameIndex(Member(link, "part"), kPartNames, "部位");
      m.link = std::move(l);
    }
    const std::optional<PlanLink> link = m.link;
    const std::optional<int> index = plans->AddMeasurement(std::move(m));
    if (!index) throw Refusal("測れない計測があります");
    if (link) plans->Link(*index, *link);
  }
}

}  // namespace

std::string PlansJson::Encode(const PlanSet& plans) const {
  json drawings = json::array();
  for (const PlanDrawing& drawing : plans.drawings()) {
    json pages = json::array();
    for (const PlanPage& page : drawing.pages) {
      json p = {{"width", page.width}, {"height", page.height}};
      if (page.scale) p["scale"] = ScaleJson(*page.scale);
      pages.push_back(std::move(p));
    }
    drawings.push_back({{"file", drawing.file_name}, {"pages", std::move(pages)}});
  }
  json measurements = json::array();
  for (const PlanMeasurement& m : plans.measurements()) {
    json points = json::array();
    for (const PagePoint& p : m.points) points.push_back({p.x, p.y});
    json item = {{"drawing", m.drawing + 1},
                 {"page", m.page + 1},
                 {"kind", MeasureKindWord(m.kind)},
                 {"part", kPartNames[static_cast<std::size_t>(m.part)]},
                 {"points", std::move(points)}};
    if (m.link) {
      item["link"] = {{"side", kSideNames[static_cast<std::size_t>(m.link->side)]},
                      {"room", m.link->room},
                      {"row", m.link->row},
                      {"part", kPartNames[static_cast<std::size_t>(m.link->part)]}};
    }
    measurements.push_back(std::move(item));
  }
  const json root = {{"schema", kSchema},
                     {"drawings", std::move(drawings)},
                     {"measurements", std::move(measurements)}};
  // Texts that are not UTF-8 (a room name never is; a file name might be)
  // are written with the replacement character rather than not at all.
  return root.dump(1, ' ', false, json::error_handler_t::replace) + "\n";
}

bool PlansJson::Decode(std::string_view text, PlanSet* plans, std::string* error) const {
  *plans = PlanSet();
  const json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded()) {
    *error = std::string(kPlansFileName) + " は JSON として読めません。";
    return false;
  }
  PlanSet read;
  try {
    Read(root, &read);
  } catch (const Refusal& refusal) {
    *error = std::string(kPlansFileName) + ": " + refusal.what() + "。";
    return false;
  } catch (const json::exception&) {
    *error = std::string(kPlansFileName) + " の形が正しくありません。";
    return false;
  }
  *plans = std::move(read);
  return true;
}

}  // namespace veltrano
