#pragma once

#include <initializer_list>

class QWidget;

namespace qvr {

// Tab walks the controls in the order given (Shift+Tab back), whatever order they were made in.
void SetTabOrder(std::initializer_list<QWidget*> controls);

}  // namespace qvr
