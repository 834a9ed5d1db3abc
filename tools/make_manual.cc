// Builds the operation manual "操作マニュアル.pdf" from its Markdown
// chapters (docs/manual/NN-*.md) and their pictures (docs/manual/images):
// an A4 book with a cover, a table of contents, numbered chapters and
// sections, figures with captions, a running head and page numbers, its
// Japanese fonts embedded. The PDF has a bookmark for every chapter and
// section, contents lines that lead to their pages, and page labels that
// number the pages as they are printed (the cover and contents "i", "ii",
// …, the chapters from "1").
//
//   make_manual SOURCE_DIR OUT.pdf VERSION
//
// A chapter file begins with "# Title"; "## " lines are its sections and
// "### " lines unnumbered subsections. A picture stands on a line of its own,
// "![caption](images/NAME.png)". A picture that does not exist, or a chapter
// without a title, stops the build.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QRegularExpression>
#include <QScreen>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QTextTableFormat>
#include <QUrl>
#include <QAbstractTextDocumentLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

// Page geometry in millimetres (A4 portrait).
constexpr double kPageWidthMm = 210.0;
constexpr double kPageHeightMm = 297.0;
constexpr double kSideMarginMm = 22.0;
constexpr double kTopMarginMm = 24.0;
constexpr double kBottomMarginMm = 22.0;
constexpr double kHeadLineMm = 15.0;   // the running head's rule
constexpr double kFootLineMm = 12.0;   // page number, from the page's foot
// A screen picture this many pixels wide fills the text width.
constexpr double kScreenWidthPx = 1200.0;

constexpr int kDpi = 1200;

// Command lines and file names; the Japanese Gothic face stands in for the
// characters it lacks.
const QString kCodeFamily = "DejaVu Sans Mono";

// Lengths on the PDF's pages, in its device pixels.
double Px(double mm) { return mm / 25.4 * kDpi; }

// The documents are laid out at the screen's resolution, in which Qt's text
// layout takes the lengths of formats, with design metrics, and drawn
// scaled up to the PDF's.
double g_layout_dpi = 96;
double Lx(double mm) { return mm / 25.4 * g_layout_dpi; }

void Fail(const QString& text) {
  std::fprintf(stderr, "make_manual: %s\n", qPrintable(text));
  std::exit(1);
}

QString FirstFamily(const QStringList& wanted) {
  const QStringList families = QFontDatabase::families();
  for (const QString& w : wanted) {
    if (families.contains(w, Qt::CaseInsensitive)) return w;
  }
  Fail("no Japanese font found (install fonts-ipafont-mincho and fonts-ipafont-gothic)");
  return {};
}

struct Heading {
  int level = 0;      // 1 chapter, 2 section
  QString number;     // "第3章" or "3.2"
  QString title;
  int page = 0;       // printed page number, from 1 on the first chapter
  double top = 0;     // where it stands on its page, from the body's top
};

// A clickable line of the contents: on which page of the contents, where
// (body coordinates of the layout), and the heading it leads to.
struct ContentsLink {
  int toc_page = 0;
  QRectF rect;
  std::size_t heading = 0;
};

// The chapters' text is plain prose with **bold** and `code` alone: a "*",
// "_" or "<" in it (a formula "(A+S)*2*L", a name "VELTRANO_BASE") is a
// character, never emphasis or markup.
QString Literal(const QString& line) {
  QString out;
  bool in_code = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == '`') in_code = !in_code;
    if (!in_code && c == '*' && i + 1 < line.size() && line[i + 1] == '*') {
      out += "**";
      ++i;
      continue;
    }
    if (!in_code && (c == '*' || c == '_' || c == '<')) out += '\\';
    out += c;
  }
  return out;
}

struct Chapter {
  QString title;
  QString markdown;   // numbered headings, figures split into picture and caption
};

// Reads the chapter files in name order, numbering headings and figures.
std::vector<Chapter> ReadChapters(const QDir& dir, std::set<QString>* pictures,
                                  int* figure_count) {
  std::vector<Chapter> chapters;
  const QStringList files =
      dir.entryList({"[0-9][0-9]-*.md"}, QDir::Files, QDir::Name);
  if (files.isEmpty()) Fail("no chapters in " + dir.path());
  static const QRegularExpression figure(R"(^!\[(.*)\]\((images/[^)\s]+)\)\s*$)");
  for (const QString& name : files) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) Fail("cannot read " + file.fileName());
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    Chapter chapter;
    const int number = static_cast<int>(chapters.size()) + 1;
    int section = 0;
    int figures = 0;
    bool in_code = false;
    QStringList out;
    for (QString line : lines) {
      if (line.endsWith('\r')) line.chop(1);
      if (line.startsWith("```")) in_code = !in_code;
      if (in_code || line.startsWith("```")) {
        out << line;
        continue;
      }
      if (line.startsWith("# ")) {
        if (!chapter.title.isEmpty()) Fail(name + ": a second chapter title");
        chapter.title = line.mid(2).trimmed();
        out << QString("# 第%1章　%2").arg(number).arg(Literal(chapter.title));
      } else if (line.startsWith("## ")) {
        ++section;
        out << QString("## %1.%2　%3").arg(number).arg(section).arg(Literal(line.mid(3).trimmed()));
      } else if (const QRegularExpressionMatch m = figure.match(line); m.hasMatch()) {
        ++figures;
        ++*figure_count;
        pictures->insert(m.captured(2));
        // (Qt's reader drops a picture without alternative text; the caption
        // is its own paragraph.)
        out << QString("![図](%1)").arg(m.captured(2)) << ""
            << QString("図%1-%2　%3").arg(number).arg(figures).arg(Literal(m.captured(1)));
      } else {
        out << Literal(line);
      }
    }
    if (chapter.title.isEmpty()) Fail(name + ": no \"# \" title line");
    chapter.markdown = out.join('\n');
    chapters.push_back(std::move(chapter));
  }
  return chapters;
}

// A cursor selecting one fragment of a block's text.
QTextCursor Select(QTextDocument& doc, const QTextFragment& fragment) {
  QTextCursor cursor(&doc);
  cursor.setPosition(fragment.position());
  cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
  return cursor;
}

bool IsPictureBlock(const QTextBlock& block) {
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    if (it.fragment().charFormat().isImageFormat()) return true;
  }
  return false;
}

// Fonts, spacing and picture sizes of the body after the Markdown reader.
// Returns how many pictures the document holds.
int StyleBody(QTextDocument& doc, const QString& gothic, double text_width,
              double page_height) {
  int placed = 0;
  bool caption_next = false;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextCursor c(block);
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextBlockFormat bf = block.blockFormat();
    const int level = bf.headingLevel();
    const bool in_table = c.currentTable() != nullptr;
    QTextCharFormat cf;
    if (level > 0) {
      // The reader sizes headings relatively; a size adjustment would
      // override the point size set here, so it goes.
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextCharFormat f = it.fragment().charFormat();
        f.clearProperty(QTextFormat::FontSizeAdjustment);
        f.setFontFamilies({gothic});
        f.setFontWeight(QFont::Bold);
        f.setFontPointSize(level == 1 ? 18 : level == 2 ? 13.5 : 11);
        Select(doc, it.fragment()).setCharFormat(f);
      }
      bf.setTopMargin(Lx(level == 1 ? 0 : level == 2 ? 7 : 4));
      bf.setBottomMargin(Lx(level == 1 ? 9 : 3));
      if (level == 1 && block != doc.begin()) {
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      }
      c.setBlockFormat(bf);
      caption_next = false;
      continue;
    }
    if (IsPictureBlock(block)) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextImageFormat image = it.fragment().charFormat().toImageFormat();
        if (!image.isValid()) continue;
        const QImage picture = doc.resource(QTextDocument::ImageResource,
                                            QUrl(image.name())).value<QImage>();
        // Dialogs and parts of a window a half larger than whole windows,
        // so that their text reads as well on paper.
        const double enlarge = picture.width() < 1000 ? 1.5 : 1.0;
        double width = picture.width() / kScreenWidthPx * text_width * enlarge;
        double height = width * picture.height() / std::max(1, picture.width());
        const double most = page_height * 0.62;
        if (width > text_width) {
          height *= text_width / width;
          width = text_width;
        }
        if (height > most) {
          width *= most / height;
          height = most;
        }
        image.setWidth(width);
        image.setHeight(height);
        ++placed;
        Select(doc, it.fragment()).setCharFormat(image);
      }
      bf.setAlignment(Qt::AlignHCenter);
      bf.setTopMargin(Lx(3));
      bf.setBottomMargin(Lx(1));
      c.setBlockFormat(bf);
      caption_next = true;
      continue;
    }
    if (caption_next) {
      cf.setFontFamilies({gothic});
      cf.setFontPointSize(8.5);
      c.mergeCharFormat(cf);
      bf.setAlignment(Qt::AlignHCenter);
      bf.setBottomMargin(Lx(5));
      c.setBlockFormat(bf);
      caption_next = false;
      continue;
    }
    // Code, notes and plain text.
    const bool code = bf.nonBreakableLines() || bf.hasProperty(QTextFormat::BlockCodeFence);
    const bool note = bf.hasProperty(QTextFormat::BlockQuoteLevel) &&
                      bf.intProperty(QTextFormat::BlockQuoteLevel) > 0;
    if (code) {
      cf.setFontFamilies({kCodeFamily, gothic});
      cf.setFontFixedPitch(true);
      cf.setFontPointSize(8.5);
      bf.setBackground(QColor(0xf2, 0xf2, 0xf2));
      bf.setLeftMargin(Lx(3));
      bf.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
      // A long command line wraps rather than running off the page.
      bf.setNonBreakableLines(false);
    } else {
      if (!in_table) bf.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
      if (note) {
        bf.setBackground(QColor(0xee, 0xf3, 0xfa));
        bf.setLeftMargin(Lx(6));
        bf.setRightMargin(Lx(2));
      }
    }
    // Inline code: the code face, a little smaller than the text around it.
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (code || !it.fragment().charFormat().fontFixedPitch()) continue;
      QTextCharFormat inline_code;
      inline_code.setFontFamilies({kCodeFamily, gothic});
      inline_code.setFontPointSize(9);
      Select(doc, it.fragment()).mergeCharFormat(inline_code);
    }
    if (code) c.mergeCharFormat(cf);
    c.setBlockFormat(bf);
  }
  // The Japanese faces draw a backslash as a yen sign: a backslash (in a
  // command line or a message) is set in a Latin face.
  QTextCharFormat latin;
  latin.setFontFamilies({kCodeFamily});
  for (QTextCursor found = doc.find("\\"); !found.isNull();
       found = doc.find("\\", found)) {
    found.mergeCharFormat(latin);
  }
  // Tables: thin rules, some air in the cells, headings shaded.
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (table == nullptr) continue;
    QTextTableFormat tf = table->format();
    tf.setBorder(Lx(0.2));
    tf.setBorderBrush(QColor(0x80, 0x80, 0x80));
    tf.setBorderCollapse(true);
    tf.setCellPadding(Lx(1.2));
    tf.setCellSpacing(0);
    tf.setTopMargin(Lx(2));
    tf.setBottomMargin(Lx(4));
    tf.setHeaderRowCount(1);
    table->setFormat(tf);
    for (int col = 0; col < table->columns(); ++col) {
      QTextTableCell cell = table->cellAt(0, col);
      QTextCharFormat head = cell.format();
      head.setBackground(QColor(0xe8, 0xe8, 0xe8));
      cell.setFormat(head);
    }
  }
  return placed;
}

// Moves headings left alone at the foot of a page, and pictures parted from
// their captions, to the next page, from the top down in one pass (a move
// shifts only what follows it).
void KeepTogether(QTextDocument& doc, double page_height) {
  QAbstractTextDocumentLayout* layout = doc.documentLayout();
  auto page_of = [&](double y) { return static_cast<int>(std::floor(y / page_height)); };
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat bf = block.blockFormat();
    if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) continue;
    const QRectF rect = layout->blockBoundingRect(block);
    const QTextBlock next = block.next();
    if (!next.isValid()) break;
    const QRectF next_rect = layout->blockBoundingRect(next);
    bool move = false;
    if (bf.headingLevel() > 0) {
      // A heading needs a few lines of its text under it.
      const double room = (page_of(rect.top()) + 1) * page_height - rect.bottom();
      move = room < page_height * 0.08 ||
             page_of(next_rect.top() + next_rect.height() * 0.3) != page_of(rect.top());
    } else if (IsPictureBlock(block)) {
      move = page_of(next_rect.bottom() - 1) != page_of(rect.top());
    }
    if (move && page_of(rect.top()) * page_height < rect.top() - page_height * 0.1) {
      QTextCursor c(block);
      bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      c.setBlockFormat(bf);
    }
  }
}

class Book {
 public:
  Book(QPdfWriter& writer, QString mincho, QString gothic)
      : writer_(writer), painter_(&writer), mincho_(std::move(mincho)),
        gothic_(std::move(gothic)) {
    painter_.setRenderHint(QPainter::Antialiasing);
  }
  QPainter& painter() { return painter_; }

  void NewPage() {
    if (pages_++ > 0) writer_.newPage();
  }

  void Cover(const QString& version) {
    NewPage();
    QFont title(gothic_, 30, QFont::Bold);
    QFont sub(gothic_, 14);
    QFont small(mincho_, 10);
    const QRectF width(Px(kSideMarginMm), 0, Px(kPageWidthMm - 2 * kSideMarginMm), 0);
    painter_.setPen(QColor(0x1f, 0x4e, 0x79));
    painter_.fillRect(QRectF(0, Px(70), Px(kPageWidthMm), Px(2)), QColor(0x1f, 0x4e, 0x79));
    painter_.setFont(title);
    painter_.drawText(QRectF(width.left(), Px(80), width.width(), Px(20)),
                      Qt::AlignLeft | Qt::AlignVCenter, "Veltrano 操作マニュアル");
    painter_.setFont(sub);
    painter_.setPen(Qt::black);
    painter_.drawText(QRectF(width.left(), Px(102), width.width(), Px(12)),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      "内装仕上げ数量拾い・集計プログラム");
    painter_.setFont(small);
    painter_.drawText(QRectF(width.left(), Px(250), width.width(), Px(8)),
                      Qt::AlignLeft | Qt::AlignVCenter, "バージョン " + version);
  }

  // Pages of `doc` laid out to `body` height; `number_from` > 0 prints page
  // numbers from it, and `heads` gives the running head of each page.
  void Pages(QTextDocument& doc, int number_from,
             const std::vector<QString>& heads = {}) {
    const double w = doc.pageSize().width();
    const double h = doc.pageSize().height();
    for (int p = 0; p < doc.pageCount(); ++p) {
      NewPage();
      painter_.save();
      painter_.scale(kDpi / g_layout_dpi, kDpi / g_layout_dpi);
      painter_.translate(Lx(kSideMarginMm), Lx(kTopMarginMm) - p * h);
      QAbstractTextDocumentLayout::PaintContext context;
      context.clip = QRectF(0, p * h, w, h);
      painter_.setClipRect(context.clip);
      doc.documentLayout()->draw(&painter_, context);
      painter_.restore();
      if (number_from > 0) {
        const QString head = static_cast<std::size_t>(p) < heads.size() ? heads[p] : QString();
        Furniture(number_from + p, head);
      }
    }
  }

 private:
  void Furniture(int number, const QString& head) {
    const double left = Px(kSideMarginMm);
    const double right = Px(kPageWidthMm - kSideMarginMm);
    painter_.setPen(QPen(QColor(0x60, 0x60, 0x60), Px(0.2)));
    painter_.drawLine(QPointF(left, Px(kHeadLineMm)), QPointF(right, Px(kHeadLineMm)));
    painter_.setFont(QFont(gothic_, 8));
    painter_.setPen(QColor(0x40, 0x40, 0x40));
    const QRectF head_box(left, Px(kHeadLineMm - 6), right - left, Px(5.5));
    painter_.drawText(head_box, Qt::AlignLeft | Qt::AlignBottom, "Veltrano 操作マニュアル");
    painter_.drawText(head_box, Qt::AlignRight | Qt::AlignBottom, head);
    painter_.setFont(QFont(mincho_, 9));
    painter_.drawText(QRectF(left, Px(kPageHeightMm - kFootLineMm - 4), right - left, Px(5)),
                      Qt::AlignHCenter | Qt::AlignVCenter, QString("- %1 -").arg(number));
  }

  QPdfWriter& writer_;
  QPainter painter_;
  QString mincho_;
  QString gothic_;
  int pages_ = 0;
};

// A point on a page of the PDF (points from the page's bottom left) for a
// point of the layout (from the body's top left).
QPointF PdfPoint(double layout_x, double layout_y, double page_height_pt) {
  const double mm_x = layout_x / g_layout_dpi * 25.4 + kSideMarginMm;
  const double mm_y = layout_y / g_layout_dpi * 25.4 + kTopMarginMm;
  return {mm_x / 25.4 * 72, page_height_pt - mm_y / 25.4 * 72};
}

// A PDF text string of any characters: UTF-16BE in hexadecimal.
QByteArray PdfText(const QString& text) {
  QByteArray hex = "<FEFF";
  for (const QChar c : text) hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
  return hex + ">";
}

// Adds the bookmarks, the contents' links and the page labels to the PDF
// `pdf` as written by QPdfWriter, as an incremental update: new versions of
// the catalogue and of the contents pages' annotation arrays, and the new
// objects, after the file's end. `first_body_page` is the index of the
// first chapter page; `headings` give their pages as printed.
void AddNavigation(QByteArray& pdf, const std::vector<Heading>& headings,
                   const std::vector<ContentsLink>& links, int first_body_page) {
  const auto object_text = [&](int number) -> QByteArray {
    const QByteArray head = "\n" + QByteArray::number(number) + " 0 obj\n";
    const qsizetype at = pdf.lastIndexOf(head);
    if (at < 0) Fail(QString("PDF object %1 not found").arg(number));
    const qsizetype from = at + head.size();
    const qsizetype end = pdf.indexOf("endobj", from);
    return pdf.mid(from, end - from).trimmed();
  };
  const auto reference = [](const QByteArray& dict, const char* key) {
    const QRegularExpression re(QString("/%1\\s+(\\d+)\\s+0\\s+R").arg(key));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    if (!m.hasMatch()) Fail(QString("PDF without /%1").arg(key));
    return m.captured(1).toInt();
  };
  const qsizetype trailer_at = pdf.lastIndexOf("trailer");
  const qsizetype startxref_at = pdf.lastIndexOf("startxref");
  if (trailer_at < 0 || startxref_at < 0) Fail("PDF without a trailer");
  const QByteArray trailer = pdf.mid(trailer_at, startxref_at - trailer_at);
  const long long previous_xref =
      pdf.mid(startxref_at + 9).trimmed().split('\n').front().trimmed().toLongLong();
  const int size = QRegularExpression("/Size\\s+(\\d+)")
                       .match(QString::fromLatin1(trailer)).captured(1).toInt();
  const int root = reference(trailer, "Root");
  const int info = reference(trailer, "Info");
  const QByteArray catalog = object_text(root);
  const QByteArray pages_tree = object_text(reference(catalog, "Pages"));
  std::vector<int> pages;
  {
    const qsizetype kids = pages_tree.indexOf("/Kids");
    const qsizetype open = pages_tree.indexOf('[', kids);
    const qsizetype close = pages_tree.indexOf(']', open);
    QRegularExpressionMatchIterator it = QRegularExpression("(\\d+)\\s+0\\s+R")
        .globalMatch(QString::fromLatin1(pages_tree.mid(open, close - open)));
    while (it.hasNext()) pages.push_back(it.next().captured(1).toInt());
  }
  const double page_height = 842;
  const auto destination = [&](const Heading& h) {
    const std::size_t index = static_cast<std::size_t>(first_body_page + h.page - 1);
    if (index >= pages.size()) Fail("a heading beyond the last page");
    const double top = PdfPoint(0, h.top, page_height).y() + 6;
    return QByteArray::number(pages[index]) + " 0 R /XYZ null " +
           QByteArray::number(top, 'f', 2) + " null";
  };

  std::vector<std::pair<int, QByteArray>> objects;  // number, body
  int next = size;

  // The contents' links, on the annotation arrays of their pages.
  std::map<int, QList<QByteArray>> annotations;  // array object, entries
  for (const ContentsLink& link : links) {
    const std::size_t page = static_cast<std::size_t>(1 + link.toc_page);
    if (page >= pages.size()) Fail("a contents line beyond the last page");
    const int array = reference(object_text(pages[page]), "Annots");
    const QPointF a = PdfPoint(link.rect.left(), link.rect.top(), page_height);
    const QPointF b = PdfPoint(link.rect.right(), link.rect.bottom(), page_height);
    const int number = next++;
    objects.emplace_back(number,
        "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + QByteArray::number(a.x(), 'f', 2) +
        " " + QByteArray::number(b.y(), 'f', 2) + " " + QByteArray::number(b.x(), 'f', 2) +
        " " + QByteArray::number(a.y(), 'f', 2) + "]\n/Border [0 0 0]\n/Dest [" +
        destination(headings[link.heading]) + "]\n>>");
    annotations[array].append(QByteArray::number(number) + " 0 R");
  }
  for (const auto& [array, entries] : annotations) {
    QByteArray old = object_text(array);
    old = old.mid(1, old.lastIndexOf(']') - 1).trimmed();
    objects.emplace_back(array, "[" + old + (old.isEmpty() ? "" : " ") + entries.join(' ') + "]");
  }

  // The bookmarks: the chapters, each with its sections.
  const int outlines = next++;
  std::vector<int> numbers(headings.size());
  for (int& n : numbers) n = next++;
  std::vector<std::size_t> chapters;
  for (std::size_t i = 0; i < headings.size(); ++i) {
    if (headings[i].level == 1) chapters.push_back(i);
  }
  if (chapters.empty() || headings.front().level != 1) Fail("no chapter to bookmark");
  const auto ref = [&](std::size_t i) { return QByteArray::number(numbers[i]) + " 0 R"; };
  for (std::size_t c = 0; c < chapters.size(); ++c) {
    const std::size_t first = chapters[c];
    const std::size_t end = c + 1 < chapters.size() ? chapters[c + 1] : headings.size();
    QByteArray chapter = "<<\n/Title " + PdfText(headings[first].number + "　" +
                                                  headings[first].title) +
                         "\n/Parent " + QByteArray::number(outlines) + " 0 R\n/Dest [" +
                         destination(headings[first]) + "]\n";
    if (c > 0) chapter += "/Prev " + ref(chapters[c - 1]) + "\n";
    if (c + 1 < chapters.size()) chapter += "/Next " + ref(chapters[c + 1]) + "\n";
    if (end > first + 1) {
      chapter += "/First " + ref(first + 1) + "\n/Last " + ref(end - 1) + "\n/Count " +
                 QByteArray::number(static_cast<int>(end - first - 1)) + "\n";
    }
    objects.emplace_back(numbers[first], chapter + ">>");
    for (std::size_t s = first + 1; s < end; ++s) {
      QByteArray section = "<<\n/Title " + PdfText(headings[s].number + "　" +
                                                    headings[s].title) +
                           "\n/Parent " + ref(first) + "\n/Dest [" +
                           destination(headings[s]) + "]\n";
      if (s > first + 1) section += "/Prev " + ref(s - 1) + "\n";
      if (s + 1 < end) section += "/Next " + ref(s + 1) + "\n";
      objects.emplace_back(numbers[s], section + ">>");
    }
  }
  objects.emplace_back(outlines, "<<\n/Type /Outlines\n/First " + ref(chapters.front()) +
                                     "\n/Last " + ref(chapters.back()) + "\n/Count " +
                                     QByteArray::number(static_cast<int>(headings.size())) +
                                     "\n>>");

  // The catalogue with the bookmarks, shown on opening, and the labels.
  QByteArray new_catalog = catalog.left(catalog.lastIndexOf(">>"));
  new_catalog += "/Outlines " + QByteArray::number(outlines) +
                 " 0 R\n/PageMode /UseOutlines\n/PageLabels << /Nums [0 << /S /r >> " +
                 QByteArray::number(first_body_page) + " << /S /D /St 1 >>] >>\n>>";
  objects.emplace_back(root, new_catalog);

  // The update: the objects, a cross-reference section of one entry per
  // object, and the trailer leading to the file's own.
  if (!pdf.endsWith('\n')) pdf += '\n';
  std::sort(objects.begin(), objects.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<int, qsizetype>> offsets;
  for (const auto& [number, body] : objects) {
    offsets.emplace_back(number, pdf.size());
    pdf += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  const qsizetype xref = pdf.size();
  pdf += "xref\n";
  for (const auto& [number, offset] : offsets) {
    pdf += QByteArray::number(number) + " 1\n" +
           QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
  }
  pdf += "trailer\n<<\n/Size " + QByteArray::number(next) + "\n/Info " +
         QByteArray::number(info) + " 0 R\n/Root " + QByteArray::number(root) +
         " 0 R\n/Prev " + QByteArray::number(previous_xref) + "\n>>\nstartxref\n" +
         QByteArray::number(xref) + "\n%%EOF\n";
}

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_manual SOURCE_DIR OUT.pdf VERSION\n");
    return 2;
  }
  const QDir source(QString::fromLocal8Bit(argv[1]));
  const QString out = QString::fromLocal8Bit(argv[2]);
  const QString version = QString::fromLocal8Bit(argv[3]);
  const QString mincho = FirstFamily({"IPAMincho", "IPAexMincho", "Noto Serif CJK JP"});
  const QString gothic = FirstFamily({"IPAGothic", "IPAexGothic", "Noto Sans CJK JP"});

  std::set<QString> pictures;
  int figure_count = 0;
  const std::vector<Chapter> chapters = ReadChapters(source, &pictures, &figure_count);

  const QString partial = out + ".part";
  QFile::remove(partial);
  std::vector<Heading> headings;
  std::vector<ContentsLink> links;
  int toc_pages = 0;
  {
    QPdfWriter writer(partial);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setTitle("Veltrano 操作マニュアル");
    writer.setCreator("Veltrano");
    g_layout_dpi = std::round(QGuiApplication::primaryScreen()->logicalDotsPerInch());
    QImage layout_device(1, 1, QImage::Format_RGB32);
    layout_device.setDotsPerMeterX(static_cast<int>(std::lround(g_layout_dpi / 0.0254)));
    layout_device.setDotsPerMeterY(static_cast<int>(std::lround(g_layout_dpi / 0.0254)));
    const QSizeF body(Lx(kPageWidthMm - 2 * kSideMarginMm),
                      Lx(kPageHeightMm - kTopMarginMm - kBottomMarginMm));

    // The chapters, one document.
    QTextDocument doc;
    doc.setUseDesignMetrics(true);
    doc.setDocumentMargin(0);
    doc.setDefaultFont(QFont(mincho, 10));
    QStringList all;
    for (const Chapter& c : chapters) all << c.markdown;
    doc.setMarkdown(all.join("\n\n"));
    // (Setting the text clears the resources.)
    for (const QString& name : pictures) {
      QImage picture(source.filePath(name));
      if (picture.isNull()) Fail("missing picture " + source.filePath(name));
      doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    }
    doc.documentLayout()->setPaintDevice(&layout_device);
    doc.setPageSize(body);
    {
      // One edit: laid out again once, not on every change of format.
      QTextCursor edit(&doc);
      edit.beginEditBlock();
      if (StyleBody(doc, gothic, body.width(), body.height()) != figure_count) {
        Fail("a picture line was not read as a picture");
      }
      edit.endEditBlock();
    }
    KeepTogether(doc, body.height());

    // Where each chapter and section begins.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
      const int level = b.blockFormat().headingLevel();
      if (level != 1 && level != 2) continue;
      const QString text = b.text();
      const qsizetype gap = text.indexOf(QChar(0x3000));
      Heading h;
      h.level = level;
      h.number = text.left(gap);
      h.title = text.mid(gap + 1);
      const double top = doc.documentLayout()->blockBoundingRect(b).top();
      h.page = static_cast<int>(std::floor(top / body.height())) + 1;
      h.top = top - (h.page - 1) * body.height();
      headings.push_back(h);
    }
    std::vector<QString> heads(static_cast<std::size_t>(doc.pageCount()));
    for (const Heading& h : headings) {
      if (h.level != 1) continue;
      for (int p = h.page; p <= doc.pageCount(); ++p) {
        heads[static_cast<std::size_t>(p - 1)] = h.number + "　" + h.title;
      }
    }

    // The table of contents.
    QTextDocument toc;
    toc.setUseDesignMetrics(true);
    toc.documentLayout()->setPaintDevice(&layout_device);
    toc.setDocumentMargin(0);
    QFont toc_font(mincho);
    toc_font.setPointSizeF(10.5);
    toc.setDefaultFont(toc_font);
    toc.setPageSize(body);
    QString html = QString("<h1 style=\"font-family:'%1'; font-size:20pt;\">目次</h1>"
                           "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"%2\">")
                       .arg(gothic)
                       .arg(static_cast<int>(Lx(0.5)));
    for (const Heading& h : headings) {
      const bool chapter = h.level == 1;
      const QString style = chapter
          ? QString("font-family:'%1'; font-weight:bold; font-size:11pt;").arg(gothic)
          : QString("font-size:9.5pt;");
      const QString indent = chapter ? "" : "&nbsp;&nbsp;&nbsp;&nbsp;";
      const QString pad = chapter ? QString("padding-top:%1px;").arg(static_cast<int>(Lx(1.8))) : "";
      html += QString("<tr><td style=\"%1%2\">%3%4　%5</td>"
                      "<td align=\"right\" style=\"%1%2\">%6</td></tr>")
                  .arg(style, pad, indent, Escaped(h.number), Escaped(h.title))
                  .arg(h.page);
    }
    html += "</table>";
    toc.setHtml(html);

    // Where each line of the contents stands: the rows of its table.
    QTextTable* table = nullptr;
    for (QTextFrame* frame : toc.rootFrame()->childFrames()) {
      if ((table = qobject_cast<QTextTable*>(frame)) != nullptr) break;
    }
    if (table == nullptr || table->rows() != static_cast<int>(headings.size())) {
      Fail("the contents are not one line per heading");
    }
    for (int row = 0; row < table->rows(); ++row) {
      QRectF rect;
      for (int col = 0; col < 2; ++col) {
        const QTextBlock block = table->cellAt(row, col).firstCursorPosition().block();
        rect = rect.united(toc.documentLayout()->blockBoundingRect(block));
      }
      rect.setLeft(0);
      rect.setRight(body.width());
      const int page = static_cast<int>(std::floor(rect.center().y() / body.height()));
      rect.translate(0, -page * body.height());
      links.push_back({page, rect, static_cast<std::size_t>(row)});
    }
    toc_pages = toc.pageCount();

    Book book(writer, mincho, gothic);
    book.Cover(version);
    book.Pages(toc, 0);
    book.Pages(doc, 1, heads);
    if (!book.painter().end()) Fail("cannot write " + partial);
  }
  {
    QFile file(partial);
    if (!file.open(QIODevice::ReadOnly)) Fail("cannot read " + partial);
    QByteArray pdf = file.readAll();
    file.close();
    AddNavigation(pdf, headings, links, 1 + toc_pages);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(pdf) != pdf.size() || !file.flush()) {
      Fail("cannot write " + partial);
    }
  }
  QFile::remove(out);
  if (!QFile::rename(partial, out)) Fail("cannot write " + out);
  return 0;
}
