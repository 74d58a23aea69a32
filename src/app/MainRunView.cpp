#include "MainRunView.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace qvr {

bool MainRunView::frequencyChosen() const
{
    return controls_.frequencyChooser->currentIndex() >= 0;
}

void MainRunView::lockControls(bool running)
{
    controls_.convertButton->setVisible(!running);
    controls_.abortButton->setVisible(running);
    for (QWidget* control : controls_.lockedControls) {
        control->setEnabled(!running);
    }
    for (QMenu* menu : controls_.lockedMenus) {
        menu->menuAction()->setEnabled(!running);
    }
    if (running) {
        controls_.fileList->setFocus();
    }
}

void MainRunView::showRunCount(const QString& text)
{
    QLabel* label = controls_.runCount;
    label->setText(text);
    label->adjustSize();
    label->show();
    label->repaint();
}

void MainRunView::hideRunCount()
{
    controls_.runCount->hide();
}

void MainRunView::toggleConvertingNote()
{
    controls_.convertingNote->setVisible(!controls_.convertingNote->isVisible());
}

void MainRunView::hideConvertingNote()
{
    controls_.convertingNote->hide();
}

void MainRunView::showErrorText(const QString& text, bool visible)
{
    QLabel* label = controls_.errorText;
    label->setText(text);
    label->adjustSize();
    label->setVisible(visible);
}

void MainRunView::showCurrentRow(int row)
{
    QTableView* list = controls_.fileList;
    list->selectRow(row);
    list->scrollTo(list->model()->index(row, 0));
    list->viewport()->repaint();
}

}  // namespace qvr
