#pragma once

#include "ProgramSetup.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

namespace qvr {

class FileListModel;

// What the main window takes from its surroundings; tests give their own.
struct MainFormEnvironment {
    QString programFolder;               // empty: the running program's folder
    QStringList arguments;               // command-line arguments after the program name
    int screenHeight = 0;                // 0: the primary screen's height
    std::function<int()> measureSpeed;   // empty: the PC speed probe
};

// The main window. It owns the file list, the frequency state, the folders, the run flags and
// the two timers; its handlers call plain classes that hold the logic.
class TMainFormQVR : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainFormQVR(MainFormEnvironment environment = {}, QWidget* parent = nullptr);
    ~TMainFormQVR() override;

    // Main-window state.
    bool Idle = false;
    bool AbortRequested = false;
    bool CdMode = false;
    QString FirstArgument;
    int ScalePercent = 100;
    QString ResolutionClass;
    int PcSpeed = 1;
    double TargetFrequency = 432.0;
    double ReferencePitch = 440.0;
    QString FrequencyText;
    QString DoneStatusText;
    QString VersionText;
    QString InfoPageAddress;
    QString ProductPageAddress;
    QString SupportMailAddress;
    ProgramFolders Folders;

    // Controls, named as in the stored layout.
    QLabel* BkgImage = nullptr;
    QLabel* ProgressLabel = nullptr;
    QLabel* FehlerLabel = nullptr;
    QLabel* HeaderLabel = nullptr;
    QLabel* ConvertMSGLabel = nullptr;
    QTableView* lvFiles = nullptr;
    QPushButton* OpenFolderBitBtn = nullptr;
    QPushButton* OpenFileBitBtn = nullptr;
    QPushButton* RipCDBitBtn = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* ConvertBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* OutputFolderBitBtn = nullptr;
    QTimer* ProgressTimer = nullptr;
    QTimer* BlinkenTimer = nullptr;
    FileListModel* Files = nullptr;

    QMenu* mniProgramm1 = nullptr;
    QAction* OpenFolder1 = nullptr;
    QAction* OpenFile1 = nullptr;
    QAction* AusgabeOrdnerffnen1 = nullptr;
    QAction* mniBeenden1 = nullptr;
    QMenu* Wissenswertes1 = nullptr;
    QAction* WissenswerteszumKonvertierenSolfeggioFrequenzen1 = nullptr;
    QMenu* Skin1 = nullptr;
    QList<QAction*> SkinItems;  // Skin11 ... Skin101
    QMenu* mniInfo1 = nullptr;
    QAction* mniProgrammInfo1 = nullptr;

    void ApplyLanguage();

    // Event handlers.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void mniBeenden1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    void ApplyStartupScaling();
    void layoutAnchoredControls();
    int screenHeight() const;

    MainFormEnvironment environment_;
    QWidget* client_ = nullptr;
    // The list is anchored to all four sides: its distance to the right and bottom edges.
    int listRightMargin_ = 33;
    int listBottomMargin_ = 30;
};

}  // namespace qvr
