#include "MainRunView.h"

#include "RunAnnouncer.h"

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
    // A run locks the window at its start and unlocks it at its end, before its end message.
    if (announcer_ != nullptr) {
        if (running) {
            announcer_->runStarted(controls_.fileList->model()->rowCount());
        } else {
            announcer_->runEnded();
        }
    }
}

void MainRunView::jobEnded(int, const JobResult& result)
{
    if (announcer_ != nullptr) {
        announcer_->jobEnded(result);
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
