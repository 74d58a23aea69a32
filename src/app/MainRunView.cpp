#include "MainRunView.h"

#include "fMainQVR.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

namespace qvr {

bool MainRunView::frequencyChosen() const
{
    return form_.ComboBox1->currentIndex() >= 0;
}

void MainRunView::lockControls(bool running)
{
    form_.ConvertBitBtn->setVisible(!running);
    form_.AbortBitBtn->setVisible(running);
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_.OpenFolderBitBtn, form_.OpenFileBitBtn, form_.RipCDBitBtn, form_.ComboBox1,
             form_.OutputFolderBitBtn}) {
        control->setEnabled(!running);
    }
    for (QMenu* menu : {form_.mniProgramm1, form_.Wissenswertes1, form_.mniInfo1, form_.Skin1}) {
        menu->menuAction()->setEnabled(!running);
    }
    if (running) {
        form_.lvFiles->setFocus();
    }
}

void MainRunView::showRunCount(const QString& text)
{
    form_.ProgressLabel->setText(text);
    form_.ProgressLabel->adjustSize();
    form_.ProgressLabel->show();
    form_.ProgressLabel->repaint();
}

void MainRunView::hideRunCount()
{
    form_.ProgressLabel->hide();
}

void MainRunView::toggleConvertingNote()
{
    form_.ConvertMSGLabel->setVisible(!form_.ConvertMSGLabel->isVisible());
}

void MainRunView::hideConvertingNote()
{
    form_.ConvertMSGLabel->hide();
}

void MainRunView::showErrorText(const QString& text, bool visible)
{
    form_.FehlerLabel->setText(text);
    form_.FehlerLabel->adjustSize();
    form_.FehlerLabel->setVisible(visible);
}

void MainRunView::showCurrentRow(int row)
{
    form_.lvFiles->selectRow(row);
    form_.lvFiles->scrollTo(form_.lvFiles->model()->index(row, 0));
    form_.lvFiles->viewport()->repaint();
}

}  // namespace qvr
