#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "cli/scenario/runner.h"
#include "cli/scenario/script_reader.h"
#include "cli/scenario/verbs.h"
#include "project/plan_geometry.h"
#include "shell/workspace.h"
#include "takeoff/plan_takeoff.h"

namespace veltrano::scenario {

namespace {

std::optional<double> Number(const Token& t) {
  double value = 0;
  const char* first = t.text.data();
  const char* last = first + t.text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (t.text.empty() || ec != std::errc() || end != last || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

void DefinePlanVerbs(Runner& r) {
  Workspace& w = r.workspace();
  PlanTakeoff& plan = w.plan_takeoff();
  constexpr Where kMain = Where::kMainWindow;
  constexpr Where kAny = Where::kAnywhere;

  auto number = [&r](const Token& t, double* out) {
    const std::optional<double> v = Number(t);
    if (!v) return r.Fail("a number was expected, not " + Quoted(t.text));
    *out = *v;
    return true;
  };
  auto points = [number](const Args& a, std::size_t from, std::vector<PagePoint>* out) {
    for (std::size_t i = from; i + 1 < a.size(); i += 2) {
      PagePoint p;
      if (!number(a[i], &p.x) || !number(a[i + 1], &p.y)) return false;
      out->push_back(p);
    }
    return true;
  };
  // Measurement N (from 1) as an index.
  auto measurement = [&r, &plan](const Token& t, int* index) {
    const int count = static_cast<int>(plan.plans().measurements().size());
    if (count == 0) return r.Fail("there is no measurement");
    if (!r.Count(t, 1, count, "the measurement", index)) return false;
    --*index;
    return true;
  };
  auto selected = [&r, &plan](int* index) {
    if (!plan.selected()) return r.Fail("no measurement is selected");
    *index = *plan.selected();
    return true;
  };

  r.Define("plan attach", kMain, [&r, &plan](const Args& a) {
    std::filesystem::path path;
    if (!r.Arity(a, 1, 1, "plan attach FILE.pdf") || !r.FilePath(a[0], &path)) return false;
    const DrawingPagesFactory& factory = GetDrawingPagesFactory();
    const std::unique_ptr<DrawingPages> pages = factory ? factory() : nullptr;
    if (!pages) return r.Fail("this build reads no PDF drawings");
    plan.AttachDrawing(path, *pages);
    return true;
  });
  r.Define("plan page", kMain, [&r, &plan](const Args& a) {
    if (!r.Arity(a, 1, 1, "plan page N")) return false;
    if (plan.shown_drawing() < 0) return r.Fail("no drawing is attached");
    const int pages = static_cast<int>(
        plan.plans().drawings()[static_cast<std::size_t>(plan.shown_drawing())].pages.size());
    int page = 0;
    if (!r.Count(a[0], 1, pages, "the page", &page)) return false;
    plan.ShowPage(plan.shown_drawing(), page - 1);
    return true;
  });
  r.Define("plan scale", kMain, [&r, &plan](const Args& a) {
    if (!r.Arity(a, 1, 1, "plan scale 1/N")) return false;
    const std::optional<PageScale> scale = PageScale::FromRatioText(a[0].text);
    if (!scale) return r.Fail("a scale 1/N was expected, not " + Quoted(a[0].text));
    if (!plan.SetScaleOfShownPage(*scale)) return r.Fail("no drawing is attached");
    return true;
  });
  r.Define("plan calibrate", kMain, [&r, &plan, points, number](const Args& a) {
    std::vector<PagePoint> ends;
    double millimetres = 0;
    if (!r.Arity(a, 5, 5, "plan calibrate X1 Y1 X2 Y2 MM") || !points(a, 0, &ends) ||
        !number(a[4], &millimetres)) {
      return false;
    }
    const std::optional<PageScale> scale = PageScale::Calibrated(ends[0], ends[1], millimetres);
    if (!scale) return r.Fail("two distinct points and a positive length were expected");
    if (!plan.SetScaleOfShownPage(*scale)) return r.Fail("no drawing is attached");
    return true;
  });
  r.Define("plan measure", kMain, [&r, &plan, points](const Args& a) {
    constexpr std::string_view kUsage = "plan measure length|area|rect|count X1 Y1 X2 Y2 ...";
    if (!r.Arity(a, 3, 100001, kUsage)) return false;
    int kind = -1;
    for (std::size_t k = 0; k < kMeasureKindWords.size(); ++k) {
      if (a[0].text == kMeasureKindWords[k]) kind = static_cast<int>(k);
    }
    if (kind < 0 || a.size() % 2 == 0) return r.Fail(std::string("usage: ") + std::string(kUsage));
    std::vector<PagePoint> given;
    if (!points(a, 1, &given)) return false;
    plan.MeasureOnShownPage(static_cast<MeasureKind>(kind), std::move(given));
    return true;
  });
  r.Define("plan select", kMain, [&r, &plan, measurement](const Args& a) {
    int index = 0;
    if (!r.Arity(a, 1, 1, "plan select N") || !measurement(a[0], &index)) return false;
    plan.Select(index);
    return true;
  });
  r.Define("plan move", kMain, [&r, &plan, measurement, number](const Args& a) {
    int index = 0;
    int point = 0;
    PagePoint to;
    if (!r.Arity(a, 4, 4, "plan move N POINT X Y") || !measurement(a[0], &index)) return false;
    const int count =
        static_cast<int>(plan.plans().measurements()[static_cast<std::size_t>(index)].points.size());
    if (!r.Count(a[1], 1, count, "the point", &point) || !number(a[2], &to.x) ||
        !number(a[3], &to.y)) {
      return false;
    }
    plan.MovePoint(index, point - 1, to);
    return true;
  });
  r.Define("plan delete", kMain, [&r, &plan, measurement](const Args& a) {
    int index = 0;
    if (!r.Arity(a, 1, 1, "plan delete N") || !measurement(a[0], &index)) return false;
    plan.Delete(index);
    return true;
  });
  r.Define("plan send", kMain, [&r, &plan, selected](const Args& a) {
    int index = 0;
    if (!r.Arity(a, 0, 0, "plan send") || !r.NeedTakeoff() || !selected(&index)) return false;
    plan.SendToSheet(index);
    return true;
  });
  r.Define("plan send-params", kMain, [&r, &plan, selected](const Args& a) {
    int index = 0;
    if (!r.Arity(a, 0, 0, "plan send-params") || !r.NeedTakeoff() || !selected(&index)) {
      return false;
    }
    plan.SendToParameters(index);
    return true;
  });

  r.Define("expect plan", kAny, [&r, &plan, measurement](const Args& a) {
    int index = 0;
    if (!r.Arity(a, 3, 3, "expect plan N KIND VALUE") || !measurement(a[0], &index)) return false;
    const PlanMeasurement& m = plan.plans().measurements()[static_cast<std::size_t>(index)];
    const std::optional<Measured> measured = plan.plans().MeasureOf(index);
    const std::string found = std::string(MeasureKindWord(m.kind)) + " " +
                              (measured ? SentText(m.kind, *measured) : "-");
    return r.ExpectText("measurement " + a[0].text, a[1].text + " " + a[2].text, found);
  });
  r.Define("expect plans", kAny, [&r, &plan](const Args& a) {
    int count = 0;
    if (!r.Arity(a, 1, 1, "expect plans COUNT") || !r.Count(a[0], 0, 1 << 30, "the count", &count)) {
      return false;
    }
    return r.ExpectText("measurements", std::to_string(count),
                        std::to_string(plan.plans().measurements().size()));
  });
}

}  // namespace veltrano::scenario
