#ifndef VELTRANO_UI_APP_STYLE_H_
#define VELTRANO_UI_APP_STYLE_H_

#include <QProxyStyle>

namespace veltrano {

// The program's look: Qt's Fusion, with group box titles given the width
// their text takes. Fusion measures a title by its ink, which leaves a
// Japanese title's closing bracket ("《建具登録》") cut off.
class AppStyle : public QProxyStyle {
 public:
  AppStyle();

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl sub_control, const QWidget* widget) const override;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_APP_STYLE_H_
