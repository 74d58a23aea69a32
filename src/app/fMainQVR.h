#pragma once

#include "CdHandOff.h"
#include "LanguageAddresses.h"
#include "ProgramSetup.h"
#include "cdrip/DialogLook.h"
#include "fAboutQVR.h"
#include "platform/Clock.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

namespace qvr {

class AppSession;
class MessageBoxes;
class ProgramTexts;
class BackgroundPicture;
class CdHandOff;
class DesktopOpener;
class ConversionEngine;
class FileListModel;
class FormTranslation;
class MediaNotices;
class TAboutBoxQVR;
class TCDNameForm;
class TEditTitleWizzard;
class TranslationDispatcher;
class MainRunView;
class RunView;
class ColumnFitter;
class DesktopNotifier;
class QtTranslations;
class RunAnnouncer;
struct ConversionSettings;
class WindowSettings;

// The dialogs the main window shows, made after it.
struct WindowDialogs {
    TAboutBoxQVR* aboutBox = nullptr;
    TCDNameForm* cdName = nullptr;
    TEditTitleWizzard* editTitle = nullptr;
};

// The CD drives as far as Read CD needs them.
struct CdDriveSurvey {
    bool usable = false;     // a drive or CD image the extraction library can read
    bool present = false;    // a CD drive the device manager knows, usable or not
    bool lockedOut = false;  // a CD drive whose device this user may not open
};

// What the main window takes from its surroundings; tests give their own.
struct MainFormEnvironment {
    QString programFolder;  // empty: the running program's folder
    QStringList arguments;  // command-line arguments after the program name
    int screenHeight = 0;   // 0: the primary screen's height
    std::function<int(const QString& folder)> measureSpeed;  // empty: the PC speed probe
    std::function<bool(const QString&)> openDocument;        // empty: the desktop's handler
    // The open dialogs; empty: the file dialogs. They answer the chosen path, or nothing.
    // Both start in `startFolder` (empty: the dialog's own choice).
    std::function<QString(const QString& startFolder)> chooseFile;
    std::function<QString(const QString& suggestedName, const QString& startFolder)> chooseFolder;
    // The output-folder chooser, starting at the current output folder.
    std::function<QString(const QString& current)> chooseOutputFolder;
    // The CD drives there are; empty: the extraction library's and the device manager's.
    std::function<CdDriveSurvey()> surveyCdDrives;
    // Notifications and task-bar progress; null: the desktop's, over D-Bus.
    DesktopNotifier* notifier = nullptr;
    // The clock of the runs' waits; null: the steady clock.
    const Clock* clock = nullptr;
};

// The main window. It owns the file list, the frequency state, the folders, the run flags and
// the two timers; its handlers call plain classes that hold the logic.
class TMainFormQVR : public QMainWindow, private CdReadingWindow {
    Q_OBJECT

  public:
    // The session is the program's start-up state: folders, language and texts, the host.
    explicit TMainFormQVR(AppSession& session, MainFormEnvironment environment = {},
                          QWidget* parent = nullptr);
    ~TMainFormQVR() override;

    // What the window found out while it was created.
    int scalePercent() const { return ScalePercent; }
    const QString& resolutionClass() const { return ResolutionClass; }
    const QString& firstArgument() const { return FirstArgument; }
    LanguageAddresses addresses() const;
    // What the about box shows: the version, the program folder and the addresses.
    AboutBoxContent aboutBoxContent() const;
    // The dialogs made after the window, which it shows while they live; all null before.
    void setDialogs(const WindowDialogs& dialogs);

    // The parts behind the controls, for those that drive the window as a user would.
    ConversionEngine& engine() override;
    FileListModel& files() { return *Files; }
    TranslationDispatcher& translations() { return *siLangDispatcher1; }
    const BackgroundPicture& background() const { return *Background; }
    CdHandOff& cdReading() { return *CdReading; }
    MediaNotices& media() { return *Media; }

    void ApplyLanguage();
    void SetLanguageAddresses();

    // Skins.
    void ApplySkin(int number);
    void LoadSkinSetting();
    void SaveSkinSetting(const QString& number);
    void ResetSkinControls();

    // Event handlers.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void mniBeenden1Click();
    void WissenswerteszumKonvertierenSolfeggioFrequenzen1Click();
    void mniProgrammInfo1Click();
    void Skin11Click();
    void Skin21Click();
    void Skin31Click();
    void Skin41Click();
    void Skin51Click();
    void Skin61Click();
    void Skin71Click();
    void Skin81Click();
    void Skin91Click();
    void Skin101Click();
    // The Language menu: the language of the run changes at once and is kept for the next starts.
    void SpracheClick(const QString& language);
    void OpenFolder1Click();
    void OpenFile1Click();
    void AusgabeOrdnerffnen1Click();
    // Choose Output Folder: where the copies of the next runs go, kept for the next starts.
    void AusgabeOrdnerWaehlen1Click();
    void OpenFolderBitBtnClick();
    void OpenFileBitBtnClick();
    void OutputFolderBitBtnClick();
    void ConvertBitBtnClick();
    void AbortBitBtnClick();
    void ComboBox1Change();
    void RipCDBitBtnClick();
    // Whether there is a CD drive (or a CD image) to read.
    bool HasCdDrive();
    // Shows Read CD while there is a CD drive, usable or not, and hints at a drive this user
    // may not open.
    void FollowCdDrives();
    // Files and folders dropped on the window: taken as Open File and Open Folder take them.
    void FilesDropped(const QStringList& paths);
    // Paths handed on the command line or by a second start ("Open with" of a file manager):
    // taken as dropped ones. While a run or a CD reading goes on they wait for its end.
    void OpenPaths(const QStringList& paths);
    // Fills the list with the supported files directly in a folder (a ripped CD).
    void AddFolderFiles(const QString& folder);
    // The controls a run shows itself in.
    RunView& runView() override;
    AppSession& session() override { return session_; }
    // The current skin's colours for the dialogs' backgrounds.
    const DialogColours& dialogColours() const { return dialogColours_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Main-window state. The run's state (Idle, AbortRequested, CdMode, the frequency, PcSpeed,
    // status words, ...) lives in the engine.
    QString FirstArgument;
    int ScalePercent = 100;
    QString ResolutionClass;
    QString VersionText;
    QString InfoPageAddress;
    QString ProductPageAddress;
    QString SupportMailAddress;
    ProgramFolders& Folders;  // the session's

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
    QTimer* ProgressTimer = nullptr;  // the engine's timers
    QTimer* BlinkenTimer = nullptr;
    FileListModel* Files = nullptr;
    std::unique_ptr<ConversionEngine> Engine;

    QMenu* mniProgramm1 = nullptr;
    QAction* OpenFolder1 = nullptr;
    QAction* OpenFile1 = nullptr;
    QAction* AusgabeOrdnerffnen1 = nullptr;
    QAction* AusgabeOrdnerWaehlen1 = nullptr;
    QAction* mniBeenden1 = nullptr;
    QMenu* Wissenswertes1 = nullptr;
    QAction* WissenswerteszumKonvertierenSolfeggioFrequenzen1 = nullptr;
    QMenu* Skin1 = nullptr;
    QList<QAction*> SkinItems;  // Skin11 ... Skin101
    QMenu* Sprache1 = nullptr;
    QList<QAction*> LanguageItems;  // in the order of ProgramLanguages()
    // Files at once: how many files a run converts side by side.
    QMenu* Jobs1 = nullptr;
    QList<QAction*> JobItems;  // 1 ... MostJobsOffered()
    QMenu* mniInfo1 = nullptr;
    QAction* mniProgrammInfo1 = nullptr;
    BackgroundPicture* Background = nullptr;  // what BkgImage shows
    TranslationDispatcher* siLangDispatcher1 = nullptr;
    FormTranslation* siLang1 = nullptr;

    // The dialogs created after the main window; null until then.
    TAboutBoxQVR* AboutBoxQVR = nullptr;
    TCDNameForm* CDNameForm = nullptr;
    TEditTitleWizzard* EditTitleWizzard = nullptr;
    // Read CD: the CD name, the rip and the conversion of the ripped tracks.
    std::unique_ptr<CdHandOff> CdReading;
    // Discs and CD drives coming and going; Read CD follows them.
    MediaNotices* Media = nullptr;

    // Read CD's view of the window.
    TCDNameForm* cdNameDialog() override;
    std::unique_ptr<TRipperForm> makeRipper(CdLibraries libraries) override;
    void prepareForRip(int frequencyIndex) override;
    void setFileButtonsEnabled(bool enabled) override;
    void hideFrequencyChooser(bool clear) override;
    void convertFolder(const QString& folder) override;

    const ProgramTexts& texts() const;
    const MessageBoxes& messages() const;
    void resetFrequencyChooser();
    void restoreRemembered();
    void useOutputFolder(const QString& folder);
    void rememberFolderOf(const QString& path);
    void openOutputFolder(const QString& folder);
    void showListControls();
    void createControls();
    void createMenu();
    void createLanguageMenu();
    void createJobsMenu();
    void JobsClick(int jobs);
    void applyJobsLanguage();
    void startSpeedProbe(ConversionSettings& settings);
    void applyRunChoices();
    void connectLanguageAndRunEnd();
    void followLanguageInDialogs();
    void checkCurrentLanguage();
    void checkSkin(int number);
    void runFinished();
    void createEngine();
    void connectHandlers();
    void connectLookAndInfoHandlers();
    void createLookAndTranslation();
    void ApplySkinAtStartup();
    void ApplyStartupScaling();
    void scaleControls();
    void scaleMenus();
    void fitCaptions();
    void keepControlsInView();
    void connectDriveHandlers();
    void CdDrivesChanged();
    CdDriveSurvey surveyCdDrives();
    void showReadCdFor(const CdDriveSurvey& drives);
    void markCdFolder();
    void layoutAnchoredControls();
    int screenHeight() const;
    bool takesFiles() const;
    void takeWaitingPaths();

    AppSession& session_;
    MainFormEnvironment environment_;
    DialogColours dialogColours_;
    // Opens the output folder and the information page; tells when that failed.
    DesktopOpener* opener_ = nullptr;
    std::unique_ptr<MainRunView> runView_;
    QWidget* client_ = nullptr;
    // The list is anchored to all four sides: its distance to the right and bottom edges.
    int listRightMargin_ = 33;
    int listBottomMargin_ = 30;
    // Notifications and task-bar progress of a run; the column widths of the list.
    std::unique_ptr<DesktopNotifier> ownNotifier_;
    std::unique_ptr<RunAnnouncer> announcer_;
    ColumnFitter* columnFitter_ = nullptr;
    // Qt's own texts (file dialogs, standard buttons) in the language of the run.
    std::unique_ptr<QtTranslations> qtTexts_;
    // The window closes once the aborted run has ended.
    bool quitAfterRun_ = false;
    bool readingCd_ = false;
    bool drivesChangedWhileReading_ = false;
    // Paths handed to the window that are not listed yet, and whether they are being taken.
    QStringList waitingPaths_;
    bool takingPaths_ = false;
    // What the next run takes: the files at once chosen and the machine's speed score, which
    // the probe brings once it has measured.
    int jobs_ = 1;
    int pcSpeed_ = 0;
    // Size and place, last folder, frequency and output folder, for the next start.
    std::unique_ptr<WindowSettings> remembered_;
};

}  // namespace qvr
