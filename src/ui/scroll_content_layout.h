#ifndef VELTRANO_UI_SCROLL_CONTENT_LAYOUT_H_
#define VELTRANO_UI_SCROLL_CONTENT_LAYOUT_H_

#include <QVBoxLayout>

namespace veltrano {

// The column of a page inside a scroll area. A page holding wrapped texts
// would otherwise ask its scroll area for the height it prefers rather than
// the least it needs, and scroll where everything fits; this one scrolls
// only when the page cannot be laid out in the space there is.
class ScrollContentLayout : public QVBoxLayout {
 public:
  using QVBoxLayout::QVBoxLayout;
  bool hasHeightForWidth() const override { return false; }
};

}  // namespace veltrano

#endif  // VELTRANO_UI_SCROLL_CONTENT_LAYOUT_H_
