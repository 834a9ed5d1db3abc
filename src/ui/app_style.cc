#include "ui/app_style.h"

#include <QStyleOptionGroupBox>

namespace veltrano {

AppStyle::AppStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

QRect AppStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                               SubControl sub_control, const QWidget* widget) const {
  QRect rect = QProxyStyle::subControlRect(control, option, sub_control, widget);
  if (control != CC_GroupBox || sub_control != SC_GroupBoxLabel) return rect;
  const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
  if (box == nullptr || box->text.isEmpty()) return rect;
  const int needed = box->fontMetrics.horizontalAdvance(box->text) + 2;
  if (rect.width() >= needed) return rect;
  // The title grows away from its alignment: to the right unless it sits
  // at the right or in the middle.
  const int more = needed - rect.width();
  if (box->textAlignment & Qt::AlignRight) {
    rect.setLeft(rect.left() - more);
  } else if (box->textAlignment & Qt::AlignHCenter) {
    rect.adjust(-more / 2, 0, more - more / 2, 0);
  } else {
    rect.setRight(rect.right() + more);
  }
  return rect;
}

}  // namespace veltrano
