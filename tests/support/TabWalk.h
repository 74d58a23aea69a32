#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace qvr::test {

// Tab from the first control reaches each of the others in turn, and Shift+Tab walks back.
inline void expectTabWalks(const std::vector<QWidget*>& order)
{
    ASSERT_GE(order.size(), 2U);
    order.front()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), order.front());
    for (std::size_t i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << order[i]->objectName().toStdString();
    }
    for (std::size_t i = order.size() - 1; i > 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(QApplication::focusWidget(), order[i - 1])
            << order[i - 1]->objectName().toStdString();
    }
}

}  // namespace qvr::test
