#pragma once

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include <gtest/gtest.h>

namespace qvr::test {

// The main window's controls as a user meets them, found by the object names the translation
// tables bind them by; a control that is missing fails the test that looks for it.
template <class Control>
Control* findControl(const QWidget& window, const char* name)
{
    auto* control = window.findChild<Control*>(QLatin1String(name));
    if (control == nullptr) {
        ADD_FAILURE() << "the main window has no " << name;
    }
    return control;
}

struct MainFormControls {
    explicit MainFormControls(const QWidget& window) : window_(window) {}

    const QWidget& window_;
    QLabel* BkgImage = findControl<QLabel>(window_, "BkgImage");
    QLabel* ProgressLabel = findControl<QLabel>(window_, "ProgressLabel");
    QLabel* FehlerLabel = findControl<QLabel>(window_, "FehlerLabel");
    QLabel* HeaderLabel = findControl<QLabel>(window_, "HeaderLabel");
    QLabel* ConvertMSGLabel = findControl<QLabel>(window_, "ConvertMSGLabel");
    QTableView* lvFiles = findControl<QTableView>(window_, "lvFiles");
    QPushButton* OpenFolderBitBtn = findControl<QPushButton>(window_, "OpenFolderBitBtn");
    QPushButton* OpenFileBitBtn = findControl<QPushButton>(window_, "OpenFileBitBtn");
    QPushButton* RipCDBitBtn = findControl<QPushButton>(window_, "RipCDBitBtn");
    QComboBox* ComboBox1 = findControl<QComboBox>(window_, "ComboBox1");
    QPushButton* ConvertBitBtn = findControl<QPushButton>(window_, "ConvertBitBtn");
    QPushButton* AbortBitBtn = findControl<QPushButton>(window_, "AbortBitBtn");
    QPushButton* OutputFolderBitBtn = findControl<QPushButton>(window_, "OutputFolderBitBtn");
    QMenu* mniProgramm1 = findControl<QMenu>(window_, "mniProgramm1");
    QAction* OpenFolder1 = findControl<QAction>(window_, "OpenFolder1");
    QAction* OpenFile1 = findControl<QAction>(window_, "OpenFile1");
    QAction* AusgabeOrdnerffnen1 = findControl<QAction>(window_, "AusgabeOrdnerffnen1");
    QAction* mniBeenden1 = findControl<QAction>(window_, "mniBeenden1");
    QMenu* Wissenswertes1 = findControl<QMenu>(window_, "Wissenswertes1");
    QAction* WissenswerteszumKonvertierenSolfeggioFrequenzen1 =
        findControl<QAction>(window_, "WissenswerteszumKonvertierenSolfeggioFrequenzen1");
    QMenu* Skin1 = findControl<QMenu>(window_, "Skin1");
    QMenu* mniInfo1 = findControl<QMenu>(window_, "mniInfo1");
    QAction* mniProgrammInfo1 = findControl<QAction>(window_, "mniProgrammInfo1");
    // Skin11 ... Skin101, in menu order.
    QList<QAction*> SkinItems = skinItems();

  private:
    QList<QAction*> skinItems() const
    {
        QList<QAction*> items;
        for (int number = 1; number <= 10; ++number) {
            const QByteArray name = "Skin" + QByteArray::number(number) + '1';
            items << findControl<QAction>(window_, name.constData());
        }
        return items;
    }
};

inline MainFormControls controls(const QWidget& window)
{
    return MainFormControls(window);
}

}  // namespace qvr::test
