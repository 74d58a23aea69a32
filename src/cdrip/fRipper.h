#pragma once

#include "cdrip/CdLibraries.h"
#include "cdrip/CdResult.h"
#include "cdrip/RippedDisc.h"
#include "cdrip/SkinnedDialog.h"
#include "platform/Clock.h"
#include "platform/MediaNotices.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

namespace qvr {

class Host;
class ProgramTexts;
class TCDRIP;
enum class TRipOutcome;
class TEditTitleWizzard;

// Lists the CD drives and the tracks of the selected one, lets the user mark and rename tracks
// and rips the marked ones to WAV files in RipFolder. RunCompleted() tells its caller how it
// ended: true after a run that went through the whole list, false after Abort; Ripped() tells
// which tracks a run ripped and which failed. Start returns at once: the tracks are ripped a chunk
// at a time while the event loop runs (the dialog's own, when it is shown modally).
class TRipperForm : public SkinnedDialog {
    Q_OBJECT

  public:
    // Lists the drives and reads the first one; startFailure() tells when the ripper component
    // cannot start, and the dialog is then not to be shown. editTitle: the title dialog (may be
    // null). The ripper component works over `libraries`. Texts come from `texts`; notes and the
    // busy cursor go through `host`.
    TRipperForm(TEditTitleWizzard* editTitle, int scalePercent, CdLibraries libraries,
                const ProgramTexts& texts, Host& host, const Clock& clock = steadyClock(),
                QWidget* parent = nullptr);
    ~TRipperForm() override;

    bool Aborted = false;
    int BaseHeight = 900;
    int ScalePercent = 100;
    bool Ripping = false;
    // Receives the track files; a run first removes the track files of earlier runs from it.
    QString RipFolder;  // ends with a separator
    // True once a run went through the whole list; false after Abort and before any run.
    bool RunCompleted() const { return runCompleted_; }
    // The run has ended and the dialog shows it a moment before it closes.
    bool PausingBeforeClosing() const { return pausing_; }
    const std::optional<CdFailure>& startFailure() const { return startFailure_; }

    QGroupBox* HelpGroupBox = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* DriveComboBox = nullptr;
    QLabel* Label11 = nullptr;
    QPushButton* ChooseAllBitBtn = nullptr;
    QPushButton* UnChooseAllBitBtn = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QPushButton* ChangeTitleBitBtn = nullptr;
    QPushButton* StartBitBtn = nullptr;
    QPushButton* AbortBitBtn = nullptr;
    QLabel* TrackLabel = nullptr;
    QLabel* TotalLabel = nullptr;
    QProgressBar* ProgressBar1 = nullptr;  // the current track
    QProgressBar* ProgressBar2 = nullptr;  // the whole run
    QLabel* DiscNoticeLabel = nullptr;     // over the track list: the disc cannot be read
    QTimer* Timer1 = nullptr;              // the delayed re-read of the disc
    std::unique_ptr<TCDRIP> CDRIP1;
    MediaNotices* Media = nullptr;

    // How the title dialog is shown; by default modally. Answers the dialog's result.
    std::function<int(TEditTitleWizzard&)> showTitleDialog;

    void FormCreate();
    void FormShow() override;
    void DriveComboBoxChange();
    void Timer1Timer();
    void ListBox1Click();
    // A check mark changed, by mouse, keyboard or program.
    void CheckListBox1ClickCheck();
    void CheckListBox1DblClick();
    void ChooseAllBitBtnClick();
    void UnChooseAllBitBtnClick();
    void ChangeTitleBitBtnClick();
    void StartBitBtnClick();
    void AbortBitBtnClick();
    void CDRIP1Progress(QObject* Sender, std::uint16_t PercentComplete);
    void CDRIP1EndTrack(QObject* Sender, std::uint16_t TrackNum);
    // The media changes of the drives (a disc put in or taken out).
    void WMDeviceChange(MediaNotice notice);

    CdResult<void> FillDriveList();
    void FillTrackList();
    void UpdateButtons();
    // RipFolder + the track file title + ".wav" (".pcm" without WAV headers).
    QString TrackFileName(const QString& title) const;
    // Empty until a run has begun.
    const RippedDisc& Ripped() const { return ripped_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // A drive change, re-read or removal that came in while a run went on; it is applied once
    // the run is over, so that the list and the drive stay as the run found them.
    enum class HeldBack { Nothing, ReRead, DriveChange, Removal };
    struct RunTrack {
        int row = -1;
        QString title;
        QString fileName;
    };
    // The run under way: the list's rows and marked entries when it began, the tracks done and
    // the one being ripped.
    struct RunProgress {
        int rows = 0;
        int marked = 0;
        int done = 0;
        RunTrack track;
    };

    void createControls();
    void createDiscNotice();
    void createComponents();
    void connectHandlers();
    void applyScaling();
    void setCaptions();
    void editTitle(int row);
    void setRunButtonsEnabled(bool enabled);
    void ripFrom(int row);
    void startRip(int row);
    void stopRun(const CdFailure& failure);
    void trackRipped(TRipOutcome outcome);
    void removeEarlierTrackFiles();
    void recordRipped(int row, const QString& title, const QString& wavPath);
    void recordFailed(int row, const QString& title, TRipOutcome outcome);
    void finishRun();
    void reportProgress(int done, int total);
    bool holdingBack() const;
    void holdBack(HeldBack what);
    void applyHeldBack();
    void keepStartFailure(const CdResult<void>& step);
    void readSelectedDrive();
    void showDriveReading(const CdResult<void>& reading);
    int highlightedRow() const;
    int checkedCount() const;
    void closeDialog();
    void closeAfterPause(Milliseconds until);

    TEditTitleWizzard* editTitle_;
    CdLibraries libraries_;
    const ProgramTexts& texts_;
    Host& host_;
    const Clock& clock_;
    RunProgress run_;
    HeldBack heldBack_ = HeldBack::Nothing;
    bool closeAllowed_ = false;
    bool pausing_ = false;
    RippedDisc ripped_;
    bool runCompleted_ = false;
    std::optional<CdFailure> startFailure_;
};

}  // namespace qvr
