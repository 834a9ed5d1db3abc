#include "ui/fit_text_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
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

void FitTextDelegate::paint(QPainter* painter,
                            const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
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
