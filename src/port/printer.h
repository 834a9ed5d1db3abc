#ifndef VELTRANO_PORT_PRINTER_H_
#define VELTRANO_PORT_PRINTER_H_

#include <string>
#include <string_view>
#include <vector>

namespace veltrano {

// The font of printed text: its name, size in points and weight.
struct PrintFont {
  std::string name = "ＭＳ 明朝";
  double size = 9;
  bool bold = false;
  bool operator==(const PrintFont&) const = default;
};

// A printer's page, A4 landscape, in twips (1/1440 inch) from the top left
// corner of the printable area. Text is placed by the top of its line.
// The desktop application draws on a real printer or a PDF file; tests
// record what was drawn.
class PrinterCanvas {
 public:
  virtual ~PrinterCanvas() = default;
  // The printable width and height (the printer's scale width and height).
  virtual double PrintableWidth() const = 0;
  virtual double PrintableHeight() const = 0;
  virtual void SetFont(const PrintFont& font) = 0;
  // The width of `text` in the current font.
  virtual double TextWidth(std::string_view text) const = 0;
  virtual void DrawText(double x, double y, std::string_view text) = 0;
  // A line of `width` (the printer's line width units).
  virtual void DrawLine(double x1, double y1, double x2, double y2, int width) = 0;
  virtual void DrawRect(double left, double top, double right, double bottom,
                        int width) = 0;
  virtual void NewPage() = 0;
  // Ends the job; false, with the reason, when it could not be finished
  // (no printer, a file that could not be written).
  virtual bool EndJob(std::string* error) = 0;
};

// A canvas that keeps what is drawn, page by page: for tests, for counting
// pages, and for checking layouts without a printer. A4 landscape with the
// printable area of a common laser printer; a text is as wide as its
// characters at 10 twips a point for half-width characters and 20 for
// full-width ones.
class RecordingCanvas : public PrinterCanvas {
 public:
  struct Text {
    double x;
    double y;
    std::string text;
    PrintFont font;
  };
  struct Line {
    double x1;
    double y1;
    double x2;
    double y2;
    int width;
    bool rectangle;
  };
  struct Page {
    std::vector<Text> texts;
    std::vector<Line> lines;
  };

  RecordingCanvas(double width = 16080, double height = 11340)
      : width_(width), height_(height), pages_(1) {}

  double PrintableWidth() const override { return width_; }
  double PrintableHeight() const override { return height_; }
  void SetFont(const PrintFont& font) override { font_ = font; }
  double TextWidth(std::string_view text) const override;
  void DrawText(double x, double y, std::string_view text) override {
    pages_.back().texts.push_back(Text{x, y, std::string(text), font_});
  }
  void DrawLine(double x1, double y1, double x2, double y2, int width) override {
    pages_.back().lines.push_back(Line{x1, y1, x2, y2, width, false});
  }
  void DrawRect(double left, double top, double right, double bottom,
                int width) override {
    pages_.back().lines.push_back(Line{left, top, right, bottom, width, true});
  }
  void NewPage() override { pages_.emplace_back(); }
  bool EndJob(std::string*) override {
    ended_ = true;
    return true;
  }

  // The pages drawn; a job that ended after NewPage has no empty last page.
  const std::vector<Page>& pages() const { return pages_; }
  int page_count() const;
  bool ended() const { return ended_; }
  // The texts of a page, in the order drawn.
  std::vector<std::string> TextsOf(int page) const;
  // The first text of a page that equals `text`, or null.
  const Text* Find(int page, std::string_view text) const;

 private:
  double width_;
  double height_;
  PrintFont font_;
  std::vector<Page> pages_;
  bool ended_ = false;
};

}  // namespace veltrano

#endif  // VELTRANO_PORT_PRINTER_H_
