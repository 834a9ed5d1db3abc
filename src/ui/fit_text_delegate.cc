#include "ui/fit_text_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace veltrano {

namespace {

QFont Scaled(const QFont& font, double scale) {
  QFont scaled(font);
  if (font.pointSizeF() > 0) {
    scaled.setPointSizeF(font.pointSizeF() * scale);
  } else if (font.pixelSize() > 0) {
    scaled.setPixelSize(std::max(
        1, static_cast<int>(std::floor(font.pixelSize() * scale))));
  }
  return scaled;
}

double Advance(const QFont& font, const QString& text) {
  return QFontMetricsF(font).horizontalAdvance(text);
}

}  // namespace

bool FitTextDelegate::LooksLikeNumber(const QString& text) {
  static const QRegularExpression kNumber(
      QStringLiteral("^[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
  return kNumber.match(text).hasMatch();
}

FitTextDelegate::Fitted FitTextDelegate::Fit(const QString& text,
                                             const QFont& font, double width) {
  Fitted fitted{font, text};
  if (text.isEmpty() || width <= 0) return fitted;
  const double full = Advance(font, text);
  if (full <= width) return fitted;

  // Text width follows the font size closely but not exactly (hinting):
  // start at the proportional size and step down to the minimum.
  constexpr double kStep = 0.02;
  for (double scale = std::max(width / full, kMinimumScale);
       scale >= kMinimumScale - 1e-9; scale -= kStep) {
    const QFont smaller = Scaled(font, scale);
    if (Advance(smaller, text) <= width) {
      fitted.font = smaller;
      fitted.shrunk = true;
      return fitted;
    }
  }

  fitted.cut = true;
  if (LooksLikeNumber(text)) {
    const double hash = Advance(font, QStringLiteral("#"));
    const int count =
        std::max(1, static_cast<int>(std::floor(width / std::max(hash, 1.0))));
    fitted.text = QString(count, QLatin1Char('#'));
    return fitted;
  }
  const QFont smallest = Scaled(font, kMinimumScale);
  fitted.font = smallest;
  fitted.shrunk = true;
  fitted.text = QFontMetricsF(smallest).elidedText(text, Qt::ElideRight, width);
  return fitted;
}

double FitTextDelegate::TextWidth(const QStyleOptionViewItem& option) const {
  const QWidget* widget = option.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  const QRect rect =
      style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget);
  // The style keeps this margin on either side of a cell's text.
  const int margin =
      style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  return rect.width() - 2.0 * margin;
}

const FitTextDelegate::Prepared& FitTextDelegate::PreparedFor(
    const QString& text, const QFont& font, double width) const {
  // The texts and fonts a window shows are few; a cache grown past these
  // bounds (a table scrolled through thousands of different numbers)
  // starts again.
  constexpr int kMostTexts = 20000;
  constexpr std::size_t kMostFonts = 64;
  auto font_at = std::find(fonts_.begin(), fonts_.end(), font);
  if (font_at == fonts_.end()) {
    if (fonts_.size() >= kMostFonts) {
      fonts_.clear();
      prepared_.clear();
    }
    fonts_.push_back(font);
    font_at = fonts_.end() - 1;
  }
  QString key = QString::number(font_at - fonts_.begin()) + QLatin1Char(' ') +
                QString::number(width) + QLatin1Char(' ') + text;
  auto found = prepared_.constFind(key);
  if (found != prepared_.constEnd()) return *found;
  if (prepared_.size() >= kMostTexts) prepared_.clear();
  Prepared prepared;
  prepared.fitted = Fit(text, font, width);
  prepared.laid_out.setText(prepared.fitted.text);
  prepared.laid_out.setTextFormat(Qt::PlainText);
  prepared.laid_out.prepare(QTransform(), prepared.fitted.font);
  prepared.advance = Advance(prepared.fitted.font, prepared.fitted.text);
  const QFontMetricsF metrics(prepared.fitted.font);
  prepared.line_height = qRound(metrics.ascent() + metrics.descent());
  return *prepared_.insert(key, std::move(prepared));
}

void FitTextDelegate::PaintPlainCell(QPainter* painter,
                                     QStyleOptionViewItem& opt) const {
  const QWidget* widget = opt.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  // Such a cell's text takes the whole cell less the focus margin on either
  // side (as TextWidth finds, without laying the text out to find it).
  const int margin =
      style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect box = opt.rect.adjusted(margin, 0, -margin, 0);
  const Prepared& prepared = PreparedFor(opt.text, opt.font, box.width());
  // Without its text the style draws the cell's background, selection and
  // focus alone, and places nothing by the text's size.
  opt.text.clear();
  opt.features &= ~QStyleOptionViewItem::HasDisplay;
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  // The text as the style places it: aligned in that box as the cell asks,
  // one line high and centred by whole pixels.
  const Qt::Alignment align =
      QStyle::visualAlignment(opt.direction, opt.displayAlignment);
  const int line_height = prepared.line_height;
  int top = box.top();
  if (align & Qt::AlignVCenter) {
    top += (box.height() - line_height) / 2;
  } else if (align & Qt::AlignBottom) {
    top += box.height() - line_height;
  }
  double left = box.left();
  if (align & Qt::AlignRight) {
    left = box.left() + box.width() - prepared.advance;
  } else if (align & Qt::AlignHCenter) {
    left = box.left() + (box.width() - prepared.advance) / 2;
  }
  QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled)
                                   ? QPalette::Normal
                                   : QPalette::Disabled;
  if (group == QPalette::Normal && !(opt.state & QStyle::State_Active)) {
    group = QPalette::Inactive;
  }
  painter->save();
  painter->setClipRect(opt.rect);
  painter->setPen(opt.palette.color(group, (opt.state & QStyle::State_Selected)
                                                ? QPalette::HighlightedText
                                                : QPalette::Text));
  painter->setFont(prepared.fitted.font);
  painter->drawStaticText(QPointF(left, top), prepared.laid_out);
  painter->restore();
}

void FitTextDelegate::paint(QPainter* painter,
                            const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  // A table's cell of one line of text, without icon or check box, and not
  // being edited: drawn from its prepared text.
  constexpr auto kNotPlain = QStyleOptionViewItem::HasDecoration |
                             QStyleOptionViewItem::HasCheckIndicator |
                             QStyleOptionViewItem::WrapText;
  if (!opt.text.isEmpty() && opt.showDecorationSelected &&
      !(opt.features & kNotPlain) && !(opt.state & QStyle::State_Editing) &&
      !opt.text.contains(QLatin1Char('\n'))) {
    PaintPlainCell(painter, opt);
    return;
  }
  if (!opt.text.isEmpty()) {
    const Fitted fitted = Fit(opt.text, opt.font, TextWidth(opt));
    opt.text = fitted.text;
    opt.font = fitted.font;
    opt.fontMetrics = QFontMetrics(fitted.font);
    opt.textElideMode = Qt::ElideNone;
  }
  const QWidget* widget = opt.widget;
  const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
}

bool FitTextDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option,
                                const QModelIndex& index) {
  if (event != nullptr && view != nullptr &&
      event->type() == QEvent::ToolTip && index.isValid()) {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const Fitted fitted = Fit(opt.text, opt.font, TextWidth(opt));
    if (fitted.cut || fitted.shrunk) {
      QToolTip::showText(event->globalPos(), opt.text, view,
                         view->visualRect(index));
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(event, view, option, index);
}

}  // namespace veltrano
