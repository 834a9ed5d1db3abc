// Included by the benchmarks from their own folder as well, hence the
// include of the header without its folder.
#include "support/big_project.h"
#include "support/room_lines.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "calc/formula.h"
#include "calc/grid.h"
#include "calc/number_text.h"
#include "calc/rounding.h"
#include "project/project_file.h"
#include "project/project.h"
#include "project/room_records.h"
#include "port/dialogs.h"
#include "takeoff/sheet_layout.h"

namespace veltrano::testing {
namespace {

using Texts = std::vector<std::string>;

// splitmix64: the same sequence on every platform and standard library.
class Random {
 public:
  explicit Random(unsigned seed) : state_(0x5EED0000ULL + seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int n) {
    return static_cast<int>(Next() % static_cast<std::uint64_t>(n));
  }
  bool Chance(int percent) { return Below(100) < percent; }
  const std::string& Pick(const Texts& texts) {
    return texts[static_cast<std::size_t>(
        Below(static_cast<int>(texts.size())))];
  }

 private:
  std::uint64_t state_;
};

// EvaluateFormula at 2 decimals, remembering what it gave: the same few
// formulas come back with the same parameters thousands of times.
class Evaluator {
 public:
  const std::string& Value(const std::string& formula,
                           const FormulaParams& params) {
    std::string key = formula;
    for (const std::string* p : {&params.a, &params.s, &params.l}) {
      key += '\0';
      key += *p;
    }
    auto [it, added] = values_.try_emplace(std::move(key));
    if (added) it->second = EvaluateFormula(formula, 2, params, dialogs_);
    return it->second;
  }
  const std::string& Value(const std::string& formula) {
    return Value(formula, FormulaParams{});
  }

 private:
  SilentDialogs dialogs_;
  std::unordered_map<std::string, std::string> values_;
};

Texts Combine(const Texts& bases, const Texts& variants) {
  Texts out;
  for (const std::string& b : bases) {
    for (const std::string& s : variants) out.push_back(b + " " + s);
  }
  return out;
}

// Item names per side and part.
std::array<std::array<Texts, kParts>, 2> ItemPools() {
  std::array<std::array<Texts, kParts>, 2> pools;
  pools[kInterior] = {
      Combine({"フローリング張り", "ＣＦシート張り", "タイルカーペット",
               "長尺塩ビシート", "磁器質タイル張り", "畳敷き", "ﾓﾙﾀﾙ金ゴテ",
               "ビニル床タイル"},
              {"t12", "t15", "t2.0", "300角", "～特注品"}),
      Combine({"木製巾木", "ソフト巾木", "ﾀｲﾙ巾木", "ステンレス巾木"},
              {"H60", "H75", "H100", "H45", "H120"}),
      Combine({"PB張り", "クロス貼り", "EP塗装", "化粧ケイカル板", "ﾀｲﾙ張り",
               "珪藻土塗り"},
              {"t9.5", "t12.5", "下地共", "二重張り", "耐火＼不燃", "一般",
               "防カビ", "腰壁", "～H1200", "GL工法"}),
      Combine({"PB張り", "岩綿吸音板", "クロス貼り", "ケイカル板", "ｼﾞｮｲﾅｰ共"},
              {"t9.5", "t12", "t6", "下地共", "二重張り", "化粧"}),
      Combine({"廻り縁", "カーテンボックス", "ｶｰﾃﾝﾚｰﾙ", "見切り縁", "額縁",
               "点検口", "幅木見切り", "手摺", "棚板", "笠木"},
              {"木製", "アルミ", "塩ビ", "ｽﾃﾝﾚｽ", "特注～"}),
  };
  pools[kExterior] = {
      Combine({"土間ｺﾝｸﾘｰﾄ", "ウレタン防水", "シート防水", "磁器質タイル張り",
               "インターロッキング"},
              {"t100", "t150", "通気緩衝", "歩行用"}),
      Combine({"水切り", "立上り防水", "巾木モルタル"},
              {"H150", "H300", "ｱﾙﾐ製", "SUS製"}),
      Combine({"外壁吹付タイル", "弾性塗料", "磁器質タイル張り", "ALC補修",
               "サイディング張り"},
              {"北面", "南面", "東面", "西面", "一般部", "見上げ", "塔屋",
               "庇＼小口"}),
      Combine({"軒天ケイカル板", "軒天塗装", "ｱﾙﾐｽﾊﾟﾝﾄﾞﾚﾙ"},
              {"t6", "t8", "EP", "化粧"}),
      Combine({"笠木", "手摺", "雨樋", "竪樋", "ﾄﾞﾚﾝ", "タラップ"},
              {"アルミ", "ｽﾃﾝﾚｽ", "塩ビ", "鋼製～溶融亜鉛"}),
  };
  return pools;
}

const std::array<Texts, kParts> kFormulas = {{
    {"A*S", "3.64*2.73", "3.64*2.73-0.91*1.82", "(1.82+0.91)*3.64", "1.82*0.91",
     "A*S-0.91*0.91", "5.46*3.64"},
    {"(A+S)*2", "S*2", "(3.64+2.73)*2", "A", "A+S", "1.82*2"},
    {"(A+S)*2*L", "(A+S)*2*2.4", "3.64*2.4", "A*L", "(3.64+2.73)*2*2.45",
     "S*L"},
    {"A*S", "3.64*2.73", "(A+S)*2*0.3", "2.73*1.82", "A*S-0.45*0.45"},
    {"(A+S)*2", "3.64", "2", "1.82*2", "A", "S+0.91"},
}};
const Texts kDeductionFormulas = {"0.91*0.91", "0.45*0.6", "0.5", "0.3*0.3*2"};
const Texts kDetails = {"追加",  "出隅部", "入隅部", "下り壁",
                        "ﾆｯﾁ部", "梁型",   "柱型",   "同上"};

// The work type an item belongs to, from words in its name.
std::string WorkTypeOf(std::string_view name) {
  static const std::vector<std::pair<std::string_view, std::string_view>>
      kWords = {
          {"珪藻土", "左官"},     {"ﾓﾙﾀﾙ", "左官"},
          {"モルタル", "左官"},   {"塗", "塗装"},
          {"EP", "塗装"},         {"SOP", "塗装"},
          {"OP", "塗装"},         {"UC", "塗装"},
          {"ﾗｯｶｰ", "塗装"},       {"防水", "防水"},
          {"タイル", "タイル"},   {"ﾀｲﾙ", "タイル"},
          {"吹付", "吹付"},       {"弾性", "吹付"},
          {":G", "シーリング"},   {"シリコン", "シーリング"},
          {"ｳﾚﾀﾝ", "シーリング"}, {"ポリサル", "シーリング"},
          {"ｺﾝｸﾘｰﾄ", "土工"},     {"ｽﾃﾝﾚｽ", "金属"},
          {"ステンレス", "金属"}, {"アルミ", "金属"},
          {"ｱﾙﾐ", "金属"},        {"SUS", "金属"},
          {"鋼製", "金属"},       {"FL", "ガラス"},
          {"ｶﾞﾗｽ", "ガラス"},     {"ガラス", "ガラス"},
          {"網入", "ガラス"},     {"型板", "ガラス"},
          {"木", "木"},           {"フローリング", "木"},
          {"額縁", "木"},         {"棚", "木"},
          {"畳", "内装"},         {"PB", "内装"},
          {"クロス", "内装"},     {"ケイカル", "内装"},
          {"岩綿", "内装"},       {"シート", "内装"},
      };
  for (const auto& [word, type] : kWords) {
    if (name.find(word) != std::string_view::npos) return std::string(type);
  }
  return "雑";
}

const Texts kWorkTypes = {"土工", "左官",   "防水",       "タイル",
                          "木",   "金属",   "内装",       "塗装",
                          "吹付", "ガラス", "シーリング", "雑"};

// "1.85" for 1850 mm, "0.775" for 775, "2.0" for 2000: the size text of the
// fittings takeoff.
std::string SizeText(int mm) {
  std::string text = std::to_string(mm / 1000);
  const int rest = mm % 1000;
  if (rest == 0) return text + ".0";
  std::string fraction = std::to_string(1000 + rest).substr(1);
  while (fraction.back() == '0') fraction.pop_back();
  return text + "." + fraction;
}

// "###,###" with thousands separators; 0 gives "".
std::string Thousands(long long value) {
  if (value == 0) return "";
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

struct Fitting {
  std::string code;
  int w = 0;
  int h = 0;
};

std::vector<Fitting> MakeRegister(Random& rng, Project* t) {
  std::vector<Fitting> fittings;
  auto add = [&](std::string_view prefix, int count, const std::vector<int>& ws,
                 const std::vector<int>& hs) {
    for (int i = 1; i <= count; ++i) {
      Fitting f;
      f.code = std::string(prefix) + std::to_string(i);
      f.w =
          ws[static_cast<std::size_t>(rng.Below(static_cast<int>(ws.size())))];
      f.h =
          hs[static_cast<std::size_t>(rng.Below(static_cast<int>(hs.size())))];
      fittings.push_back(f);
    }
  };
  std::vector<int> window_w;
  std::vector<int> window_h;
  for (int mm = 600; mm <= 2600; mm += 50) window_w.push_back(mm);
  for (int mm = 500; mm <= 2200; mm += 50) window_h.push_back(mm);
  add("AW", 200, window_w, window_h);
  add("SD", 150, {800, 850, 900, 1000, 1200, 1800}, {2000, 2100, 2200});
  add("WD", 150, {700, 750, 800, 850}, {2000, 2100});
  add("AD", kMaxFittings - 500, {1600, 1800, 2400}, {2200, 2400});
  for (std::size_t i = 0; i < fittings.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    t->fittings_register().Edit()->Set(row, 0, fittings[i].code);
    t->fittings_register().Edit()->Set(row, 1, std::to_string(fittings[i].w));
    t->fittings_register().Edit()->Set(row, 2, std::to_string(fittings[i].h));
  }
  return fittings;
}

// One part summary table (or the fittings summary) being aggregated: item
// columns in the order their names are first met, one row per room.
class SummaryBuilder {
 public:
  explicit SummaryBuilder(int rooms)
      : cells_(static_cast<std::size_t>(rooms)) {}

  int Column(const std::string& name) {
    auto [it, added] =
        index_.try_emplace(name, static_cast<int>(names_.size()));
    if (added) names_.push_back(name);
    return it->second;
  }
  void Add(int room, const std::string& name, float value) {
    const int c = Column(name);
    std::vector<float>& row = cells_[static_cast<std::size_t>(room)];
    if (row.size() <= static_cast<std::size_t>(c)) {
      row.resize(static_cast<std::size_t>(c) + 1, kNone);
    }
    float& cell = row[static_cast<std::size_t>(c)];
    cell = (cell == kNone ? 0.0F : cell) + value;
  }

  // Writes the table below its heading texts in column 0 (rows 0-3).
  void WriteTo(const Texts& row_names, const Texts& places,
               const std::vector<std::string>& row0_titles,
               TextGrid* grid) const {
    const int cols = static_cast<int>(names_.size()) + 2;
    const int rows = static_cast<int>(row_names.size()) + 4;
    grid->Resize(rows, cols);
    float places_total = 0;
    for (std::size_t k = 0; k < row_names.size(); ++k) {
      const int r = static_cast<int>(k) + 4;
      grid->Set(r, 0, row_names[k]);
      grid->Set(r, 1, places[k]);
      places_total += static_cast<float>(LeadingNumber(places[k]));
    }
    if (places_total != 0) {
      grid->Set(3, 1, std::to_string(static_cast<long long>(places_total)));
    }
    for (int c = 2; c < cols; ++c) {
      const std::string& name = names_[static_cast<std::size_t>(c) - 2];
      grid->Set(0, c,
                row0_titles.empty()
                    ? " " + std::to_string(c - 1) + "     "
                    : row0_titles[static_cast<std::size_t>(c) - 2]);
      grid->Set(1, c, WorkTypeOf(name));
      grid->Set(2, c, name);
      float total = 0;
      for (std::size_t k = 0; k < cells_.size(); ++k) {
        const std::vector<float>& row = cells_[k];
        if (static_cast<std::size_t>(c) - 2 >= row.size()) continue;
        const float v = row[static_cast<std::size_t>(c) - 2];
        if (v == kNone) continue;
        const std::string text = FormatTotal(v, 2, false);
        grid->Set(static_cast<int>(k) + 4, c, text);
        total += static_cast<float>(LeadingNumber(text));
      }
      grid->Set(3, c, FormatTotal(total, 2, false));
    }
  }

  const Texts& names() const { return names_; }

 private:
  static constexpr float kNone = -1e30F;
  std::unordered_map<std::string, int> index_;
  Texts names_;
  std::vector<std::vector<float>> cells_;
};

struct RoomText {
  std::string name;
  std::string places;
  FormulaParams params;
  std::string done;
};

// Fills the 50 rows of every part block of one room, writes its store lines
// and adds its marked subtotals to the side's summary builders.
void MakeRoom(int side, int room, const RoomText& rt,
              const std::array<Texts, kParts>& pools,
              const std::vector<Fitting>& fittings, Random& rng,
              Evaluator& eval, std::vector<SummaryBuilder>* summaries,
              std::vector<std::string>* store) {
  TextGrid sheet(kSheetRows, kSheetCols);
  const float k = static_cast<float>(LeadingNumber(rt.places));
  for (int p = 0; p < kParts; ++p) {
    const int f = kFormulaColumn[p];
    const int item = ItemColumn(p);
    const int mark = kMarkColumn[p];
    int row = 1;
    while (row <= kItemRows) {
      const int remaining = kItemRows + 1 - row;
      int length = 3 + rng.Below(6);
      if (remaining - length < 3) length = remaining;
      const int subtotal_row = row + length - 1;
      long long cents = 0;
      Texts marked;
      for (int r = row; r < subtotal_row; ++r) {
        const bool first = r == row;
        const bool deduction =
            !first && r == subtotal_row - 1 && length >= 4 && rng.Chance(60);
        std::string formula;
        if (first || (!deduction && rng.Chance(15))) {
          const std::string& name =
              rng.Pick(pools[static_cast<std::size_t>(p)]);
          sheet.Set(r, mark, kItemMarker);
          sheet.Set(r, item, name);
          marked.push_back(name);
        } else {
          sheet.Set(r, item, deduction ? "開口部控除" : rng.Pick(kDetails));
        }
        if (deduction && HasFittingColumn(p)) {
          const Fitting& fit = fittings[static_cast<std::size_t>(
              rng.Below(static_cast<int>(fittings.size())))];
          const int count = 1 + rng.Below(3);
          std::string codes = fit.code;
          formula = eval.Value(SizeText(fit.w), rt.params);
          if (p == 2) {
            formula += "*" + eval.Value(SizeText(fit.h), rt.params);
          }
          if (count > 1) {
            codes += "*" + std::to_string(count);
            formula += "*" + std::to_string(count);
          }
          sheet.Set(r, f - 1, codes);
        } else if (deduction) {
          formula = rng.Pick(kDeductionFormulas);
        } else {
          formula = rng.Pick(kFormulas[static_cast<std::size_t>(p)]);
        }
        std::string value = eval.Value(formula, rt.params);
        if (deduction) {
          sheet.Set(r, DeductionColumn(f), kDeductionMarker);
          value = value.starts_with('-') ? value.substr(1) : "-" + value;
        }
        sheet.Set(r, f, formula);
        sheet.Set(r, ValueColumn(f), value);
        cents +=
            static_cast<long long>(LeadingNumber(value) * 100.0 +
                                   (LeadingNumber(value) < 0 ? -0.5 : 0.5));
      }
      const std::string subtotal =
          RoundCalculated(static_cast<double>(cents) / 100.0, 2);
      sheet.Set(subtotal_row, f, kSubtotalMarker);
      sheet.Set(subtotal_row, ValueColumn(f), subtotal);
      const float v = static_cast<float>(LeadingNumber(subtotal)) * k;
      for (const std::string& name : marked) {
        (*summaries)[static_cast<std::size_t>(p)].Add(room, name, v);
      }
      row = subtotal_row + 1;
    }
  }

  const std::string tag(kSheetTag[static_cast<std::size_t>(side)]);
  for (int r = 1; r <= kItemRows; ++r) {
    std::string line = tag + "," + (r == 1 ? rt.name : "@") + ",";
    for (int c = 1; c <= kLastStoredColumn; ++c) {
      line += sheet.At(r, c);
      line += ',';
    }
    switch (r) {
      case 1:
        line += side == kInterior ? rt.places : "1";
        break;
      case 2:
        line += rt.params.a;
        break;
      case 3:
        line += rt.params.s;
        break;
      case 4:
        line += rt.params.l;
        break;
      case 5:
        line += rt.done;
        break;
      default:
        line += "dm";
        break;
    }
    line += ',';
    store->push_back(std::move(line));
  }
}

void MakeSides(const std::vector<Fitting>& fittings, Random& rng,
               Evaluator& eval, Project* t) {
  const auto pools = ItemPools();
  const Texts room_kinds = {"ﾘﾋﾞﾝｸﾞ･ﾀﾞｲﾆﾝｸﾞ",
                            "洋室（１）",
                            "和室～次の間",
                            "廊下",
                            "玄関ホール＼ポーチ",
                            "浴室",
                            "便所",
                            "事務室",
                            "会議室",
                            "倉庫"};
  const Texts place_kinds = {"外壁 北面",    "外壁 南面",     "バルコニー",
                             "屋上",         "塔屋",          "庇",
                             "外構～駐車場", "ｴﾝﾄﾗﾝｽ＼風除室"};
  const std::array<Texts, 2> a_values = {
      Texts{"3.64", "4.55", "5.46", "2.73", "6.37", "7.28", "1.82"},
      Texts{"12.5", "24.6", "8.19", "30.03"}};
  const std::array<Texts, 2> s_values = {
      Texts{"2.73", "3.64", "4.55", "1.82", "5.46"},
      Texts{"6.37", "10.92", "4.55"}};
  const std::array<Texts, 2> l_values = {Texts{"2.4", "2.45", "2.5", "2.6"},
                                         Texts{"3.0", "2.9", "6.2"}};

  for (int side : {kInterior, kExterior}) {
    const int rooms = kMaxRooms[static_cast<std::size_t>(side)];
    std::vector<SummaryBuilder> summaries(kParts, SummaryBuilder(rooms));
    Texts names;
    Texts places;
    for (int room = 0; room < rooms; ++room) {
      RoomText rt;
      if (side == kInterior) {
        const int floor = room / 50 + 1;
        const int number = room % 50 + 1;
        rt.name = std::to_string(floor) + "F-" + (number < 10 ? "0" : "") +
                  std::to_string(number) + " " + rng.Pick(room_kinds);
        rt.places = std::to_string(1 + rng.Below(rng.Chance(70) ? 1 : 6));
      } else {
        rt.name =
            "外部" + std::to_string(room + 1) + " " + rng.Pick(place_kinds);
        rt.places = "1";
      }
      rt.params.a = rng.Pick(a_values[static_cast<std::size_t>(side)]);
      rt.params.s = rng.Pick(s_values[static_cast<std::size_t>(side)]);
      rt.params.l = rng.Pick(l_values[static_cast<std::size_t>(side)]);
      rt.done = rng.Chance(40) ? "1" : "0";
      std::vector<std::string> room_lines;
      MakeRoom(side, room, rt, pools[static_cast<std::size_t>(side)], fittings,
               rng, eval, &summaries, &room_lines);
      AppendRoomLines(t, side, room_lines);
      names.push_back(rt.name);
      places.push_back(rt.places);
    }
    for (int p = 0; p < kParts; ++p) {
      TextGrid* grid =
          side == kInterior
              ? t->interior_summaries()[static_cast<std::size_t>(p)].Edit()
              : t->exterior_summaries()[static_cast<std::size_t>(p)].Edit();
      summaries[static_cast<std::size_t>(p)].WriteTo(names, places, {}, grid);
    }
  }
}

void MakeFittingsStore(const std::vector<Fitting>& fittings, Random& rng,
                       Evaluator& eval, Project* t) {
  const Texts glass_kinds = {
      "FL5", "FL6", "網入磨6.8", "ﾍﾟｱｶﾞﾗｽ FL3+A6+FL3", "型板4", "強化ガラス8"};
  const Texts glass_seals = {"SSG", "ｼﾘｺﾝ", "グレイジングビード"};
  const Texts frame_seals = {"変成シリコン", "ポリサルファイド", "ｳﾚﾀﾝ"};
  const Texts seal_sizes = {"10×10", "15×10", "20×15"};
  const Texts mortars = {"モルタル詰め", "防水モルタル詰め"};
  const Texts paints = {"SOP", "OP", "UC", "ｸﾘｱﾗｯｶｰ", "ﾀﾞｲﾉｯｸｼｰﾄ貼り"};

  TextGrid& store = *t->fittings_store().Edit();
  store = TextGrid(static_cast<int>(fittings.size()) * 6, kFittingsStoreCols);
  SummaryBuilder summary(static_cast<int>(fittings.size()));
  // Quantities per category, added after the glass pass as the aggregation
  // does: (fitting, category, item, quantity).
  struct Quantity {
    int fitting;
    int category;
    std::string item;
    float value;
  };
  std::vector<Quantity> quantities;
  Texts codes;
  Texts counts;

  for (std::size_t i = 0; i < fittings.size(); ++i) {
    const Fitting& fit = fittings[i];
    const int b = static_cast<int>(i) * 6;
    const bool window = fit.code.starts_with("AW");
    const std::string places = std::to_string(1 + rng.Below(12));
    codes.push_back(fit.code);
    counts.push_back(places);
    for (int r = 0; r < 6; ++r) {
      store.Set(b + r, 0, "Mado");
      store.Set(b + r, 1, r == 0 ? fit.code : "@");
    }
    store.Set(b, 34, std::to_string(fit.w));
    store.Set(b + 1, 34, std::to_string(fit.h));
    store.Set(b + 2, 34, places);
    for (int r = 3; r < 6; ++r) store.Set(b + r, 34, "dm");

    const int glass_rows = window ? 1 + rng.Below(3) : rng.Below(2);
    for (int r = 0; r < glass_rows; ++r) {
      const bool sliding = window && rng.Chance(50);
      const int gw = (fit.w - 50) / (sliding ? 2 : 1);
      const int gh = fit.h - 60 - 100 * r;
      const std::string panes = sliding ? "2" : "1";
      const std::string unit = eval.Value(SizeText(gw) + "*" + SizeText(gh));
      const double area = LeadingNumber(unit);
      const std::string area_class = area <= 1   ? "1m2以下"
                                     : area <= 2 ? "2m2以下"
                                                 : "3m2以下";
      const std::string kind = rng.Pick(glass_kinds);
      const std::string total = eval.Value(unit + "*" + panes + "*" + places);
      const Texts cells = {kind,   SizeText(gw), SizeText(gh), panes,
                           places, unit,         area_class,   total};
      for (int c = 0; c < 8; ++c) {
        store.Set(b + r, 2 + c, cells[static_cast<std::size_t>(c)]);
      }
      quantities.push_back({static_cast<int>(i), 0, kind + ":" + area_class,
                            static_cast<float>(LeadingNumber(total))});
      const std::string seal = rng.Pick(glass_seals);
      const std::string vertical = sliding ? "4" : "2";
      const std::string seal_unit =
          eval.Value(SizeText(gh) + "*" + vertical + "+" + SizeText(gw) + "*2");
      const std::string seal_total = eval.Value(seal_unit + "*" + places);
      const Texts seal_cells = {seal, vertical, "2", seal_unit, seal_total};
      for (int c = 0; c < 5; ++c) {
        store.Set(b + r, 10 + c, seal_cells[static_cast<std::size_t>(c)]);
      }
      quantities.push_back({static_cast<int>(i), 1, seal + ":G",
                            static_cast<float>(LeadingNumber(seal_total))});
    }

    const int seal_rows = 1 + rng.Below(2);
    for (int r = 0; r < seal_rows; ++r) {
      const std::string kind = rng.Pick(frame_seals);
      const std::string size = rng.Pick(seal_sizes);
      const std::string horizontal = window ? "2" : "1";
      const std::string unit =
          eval.Value(SizeText(fit.h + 20) + "*2+" + SizeText(fit.w + 20) + "*" +
                     horizontal);
      const std::string total = eval.Value(unit + "*" + places);
      const Texts cells = {kind, size, "2", horizontal, places, unit, total};
      for (int c = 0; c < 7; ++c) {
        store.Set(b + r, 15 + c, cells[static_cast<std::size_t>(c)]);
      }
      quantities.push_back({static_cast<int>(i), 2, kind + ":" + size,
                            static_cast<float>(LeadingNumber(total))});
    }

    if (rng.Chance(60)) {
      const std::string kind = rng.Pick(mortars);
      const std::string unit = eval.Value(SizeText(fit.h + 30) + "*2+" +
                                          SizeText(fit.w + 30) + "*2");
      const std::string total = eval.Value(unit + "*" + places);
      const Texts cells = {kind, "2", "2", places, unit, total};
      for (int c = 0; c < 6; ++c) {
        store.Set(b, 22 + c, cells[static_cast<std::size_t>(c)]);
      }
      quantities.push_back({static_cast<int>(i), 3, kind,
                            static_cast<float>(LeadingNumber(total))});
    }

    const int paint_rows = window ? rng.Below(2) : 1 + rng.Below(3);
    for (int r = 0; r < paint_rows; ++r) {
      const std::string kind = rng.Pick(paints);
      const std::string formula = SizeText(fit.w) + "*" + SizeText(fit.h);
      const std::string factor = r == 0 ? "2.9" : "1.5";
      const std::string unit = eval.Value(formula + "*" + factor);
      const std::string total = eval.Value(unit + "*" + places);
      const Texts cells = {kind, formula, factor, places, unit, total};
      for (int c = 0; c < 6; ++c) {
        store.Set(b + r, 28 + c, cells[static_cast<std::size_t>(c)]);
      }
      quantities.push_back({static_cast<int>(i), 4, kind,
                            static_cast<float>(LeadingNumber(total))});
    }
  }

  // The fittings summary: columns grouped by category, in first-met order.
  const Texts titles = {"硝子", "硝子シール", "枠シール", "枠詰", "塗装・貼物"};
  Texts column_titles;
  for (int category = 0; category < 5; ++category) {
    for (const Quantity& q : quantities) {
      if (q.category != category) continue;
      const std::size_t before = summary.names().size();
      summary.Add(q.fitting, q.item, q.value);
      if (summary.names().size() > before) {
        column_titles.push_back(titles[static_cast<std::size_t>(category)]);
      }
    }
  }
  summary.WriteTo(codes, counts, column_titles, t->fittings_summary().Edit());
}

// The work-type table from the column totals of every summary table, with
// unit prices, amounts (rounded half up), subtotals and the total; then its
// copy, the unit-price table and the work-type memory.
void MakeWorkTypeTables(Random& rng, Project* t) {
  struct Source {
    const TextGrid* grid;
    std::string side;
    std::string part;
    std::string unit;
  };
  const std::array<std::string, kParts> units = {"m2", "m", "m2", "m2", "m"};
  std::vector<Source> sources;
  for (int p = 0; p < kParts; ++p) {
    const std::size_t i = static_cast<std::size_t>(p);
    sources.push_back({&*t->interior_summaries()[i], "内部",
                       std::string(kPartNames[i]), units[i]});
  }
  for (int p = 0; p < kParts; ++p) {
    const std::size_t i = static_cast<std::size_t>(p);
    sources.push_back({&*t->exterior_summaries()[i], "外部",
                       std::string(kPartNames[i]), units[i]});
  }
  sources.push_back({&*t->fittings_summary(), "", "建具", ""});

  TextGrid& table = *t->interior_summaries()[kWorkTypeTable].Edit();
  table.SetRows(1);
  const Texts remarks = {"", "", "", "別途見積", "既製品～標準", "ｻﾝﾌﾟﾙ承認後"};
  int row = 1;
  bool pending = false;
  for (const std::string& w : kWorkTypes) {
    if (pending) ++row;
    pending = false;
    bool first = true;
    for (const Source& src : sources) {
      for (int c = 2; c < src.grid->cols(); ++c) {
        if (src.grid->At(1, c) != w) continue;
        table.SetRows(row + 1);
        pending = true;
        if (first) {
          table.Set(row, 0, w == "土工" ? "土工事" : w + "工事");
          first = false;
        }
        const std::string& item = src.grid->At(2, c);
        table.Set(row, 1, item);
        table.Set(row, 2, src.side);
        table.Set(row, 3, src.part);
        table.Set(row, 4, src.grid->At(3, c));
        std::string unit = src.unit;
        if (unit.empty()) {
          const std::string& category = src.grid->At(0, c);
          unit = category == "硝子" || category == "塗装・貼物" ? "m2" : "m";
        }
        table.Set(row, 5, unit);
        const long long price = 300 + 50 * rng.Below(170);
        table.Set(row, 6, Thousands(price));
        table.Set(row, 8, rng.Pick(remarks));
        ++row;
      }
    }
  }
  if (table.rows() > 1) table.SetRows(table.rows() + 2);

  // Amounts, subtotals and the total.
  float group = 0;
  float all = 0;
  for (int r = 1; r < table.rows(); ++r) {
    if (!table.At(r, 4).empty()) {
      std::string price = table.At(r, 6);
      price.erase(std::remove(price.begin(), price.end(), ','), price.end());
      const double amount =
          LeadingNumber(table.At(r, 4)) * LeadingNumber(price);
      const long long rounded = static_cast<long long>(amount + 0.5);
      table.Set(r, 7, Thousands(rounded));
      group += static_cast<float>(rounded);
    } else if (group > 0) {
      table.Set(r, 5, "小計");
      table.Set(r, 7, "(" + Thousands(static_cast<long long>(group)) + ")");
      all += group;
      group = 0;
    }
    if (all > 0 && r == table.rows() - 1) {
      table.Set(r, 5, "合計");
      table.Set(r, 7, "(" + Thousands(static_cast<long long>(all)) + ")");
    }
  }

  // Copy and unit prices.
  TextGrid& copy = *t->work_type_copy().Edit();
  copy = TextGrid(table.rows() - 1, kWorkTypeCopyCols);
  for (int r = 1; r < table.rows(); ++r) {
    copy.Set(r - 1, 0, "Syuk");
    for (int c = 0; c < kWorkTypeTableCols; ++c) {
      copy.Set(r - 1, c + 1, table.At(r, c));
    }
  }
  TextGrid& prices = *t->unit_prices().Edit();
  prices = TextGrid(0, kUnitPriceCols);
  std::string label;
  for (int r = 0; r < copy.rows(); ++r) {
    if (!copy.At(r, 1).empty()) label = std::string(TrimBlanks(copy.At(r, 1)));
    if (copy.At(r, 2).empty()) continue;
    const int n = prices.rows();
    prices.SetRows(n + 1);
    const std::array<std::string, kUnitPriceCols> cells = {
        label,         copy.At(r, 2), copy.At(r, 3), copy.At(r, 4),
        copy.At(r, 6), copy.At(r, 7), copy.At(r, 9)};
    for (int c = 0; c < kUnitPriceCols; ++c) {
      prices.Set(n, c, cells[static_cast<std::size_t>(c)]);
    }
  }

  // Work-type memory: row c - 2 of a table's column pair describes column c.
  int rows = 1;
  for (const Source& src : sources) rows = std::max(rows, src.grid->cols() - 1);
  TextGrid& memory = *t->work_type_memory().Edit();
  memory = TextGrid(rows, kWorkTypeMemoryCols);
  for (std::size_t s = 0; s < sources.size(); ++s) {
    const int base = static_cast<int>(s) * 2;
    for (int c = 2; c < sources[s].grid->cols(); ++c) {
      memory.Set(c - 2, base, sources[s].grid->At(2, c));
      memory.Set(c - 2, base + 1, sources[s].grid->At(1, c));
    }
  }
}

}  // namespace

Project MakeLargestProject(unsigned seed) {
  Random rng(seed);
  Evaluator eval;
  Project t;
  t.Reset(/*keep_unit_prices=*/false);
  const std::vector<Fitting> fittings = MakeRegister(rng, &t);
  MakeSides(fittings, rng, eval, &t);
  MakeFittingsStore(fittings, rng, eval, &t);
  MakeWorkTypeTables(rng, &t);
  return t;
}

void WriteLargestProjectFile(const std::filesystem::path& path) {
  std::string error;
  if (!WriteProjectFile(path, MakeLargestProject(), &error)) {
    throw std::runtime_error(error);
  }
}

}  // namespace veltrano::testing
