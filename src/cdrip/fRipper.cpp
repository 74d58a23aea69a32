#include "fRipper.h"

#include "DialogLook.h"
#include "TrackNames.h"
#include "cdrip/CDRIP.h"
#include "fWizardEditTitle.h"
#include "lang/ProgramTexts.h"
#include "lang/Windows1252.h"
#include "platform/FileSystem.h"
#include "platform/Host.h"
#include "platform/Text.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace qvr {
namespace {

constexpr int kClientWidth = 521;
constexpr int kClientHeight = 557;
constexpr int kDesignDensity = 96;
constexpr int kReReadMs = 1500;
constexpr Milliseconds kPauseBeforeClosing{500};

int screenDensity()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInch()))
                             : kDesignDensity;
}

QLabel* makeLabel(QWidget* parent, const char* name, int left, int top)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                        const QRect& geometry)
{
    auto* button = new QPushButton(parent->style()->standardIcon(icon), QString(), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QProgressBar* makeBar(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setOrientation(Qt::Vertical);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setGeometry(geometry);
    return bar;
}

void setCaption(QWidget* control, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
        label->adjustSize();
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(text);
    } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
        box->setTitle(text);
    }
}

// The disc's own name for the track, when it has one.
QString listedTitle(const TTrackItem& entry)
{
    return entry.Track.Title.isEmpty() ? entry.Text : entry.Track.Title;
}

}  // namespace

TRipperForm::TRipperForm(TEditTitleWizzard* editTitle, int scalePercent, CdLibraries libraries,
                         const ProgramTexts& texts, Host& host, const Clock& clock, QWidget* parent)
    : SkinnedDialog(parent),
      ScalePercent(scalePercent),
      editTitle_(editTitle),
      libraries_(libraries),
      texts_(texts),
      host_(host),
      clock_(clock)
{
    setObjectName(QStringLiteral("TRipperForm"));
    createControls();
    createDiscNotice();
    createComponents();
    connectHandlers();
    showTitleDialog = [](TEditTitleWizzard& dialog) { return dialog.exec(); };
    FormCreate();
}

TRipperForm::~TRipperForm() = default;

void TRipperForm::createControls()
{
    setWindowTitle(QStringLiteral("Quorvane CD-Ripper"));
    // System menu and minimise box only: the title bar offers no way to close the dialog.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setModal(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);

    HelpGroupBox = new QGroupBox(this);
    HelpGroupBox->setObjectName(QStringLiteral("HelpGroupBox"));
    HelpGroupBox->setGeometry(10, 8, 495, 83);
    Label1 = makeLabel(HelpGroupBox, "Label1", 9, 16);
    Label2 = makeLabel(HelpGroupBox, "Label2", 9, 32);
    Label3 = makeLabel(HelpGroupBox, "Label3", 9, 48);
    Label4 = makeLabel(HelpGroupBox, "Label4", 9, 64);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(10, 97, 495, 448);
    // A pixel below the stored layout's place, clear of the box's title.
    Label9 = makeLabel(GroupBox1, "Label9", 16, 16);
    DriveComboBox = new QComboBox(GroupBox1);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    DriveComboBox->setGeometry(16, 32, 337, 21);
    Label11 = makeLabel(GroupBox1, "Label11", 16, 57);
    ChooseAllBitBtn =
        makeButton(GroupBox1, "ChooseAllBitBtn", QStyle::SP_DialogApplyButton, {16, 74, 161, 20});
    UnChooseAllBitBtn = makeButton(GroupBox1, "UnChooseAllBitBtn", QStyle::SP_DialogResetButton,
                                   {184, 74, 161, 20});
    CheckListBox1 = new QListWidget(GroupBox1);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setGeometry(16, 96, 329, 289);
    // A pixel shorter than in the stored layout, where it reached into the Start button.
    ChangeTitleBitBtn = makeButton(GroupBox1, "ChangeTitleBitBtn",
                                   QStyle::SP_FileDialogDetailedView, {16, 389, 161, 24});
    StartBitBtn = makeButton(GroupBox1, "StartBitBtn", QStyle::SP_MediaPlay, {16, 413, 161, 25});
    QFont bold = StartBitBtn->font();
    bold.setBold(true);
    StartBitBtn->setFont(bold);
    AbortBitBtn =
        makeButton(GroupBox1, "AbortBitBtn", QStyle::SP_DialogCancelButton, {184, 413, 161, 25});
    TrackLabel = makeLabel(GroupBox1, "TrackLabel", 360, 16);
    TotalLabel = makeLabel(GroupBox1, "TotalLabel", 424, 16);
    ProgressBar1 = makeBar(GroupBox1, "ProgressBar1", {360, 32, 57, 406});
    ProgressBar2 = makeBar(GroupBox1, "ProgressBar2", {424, 32, 57, 406});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kReReadMs);
    Timer1->start();
    Media = new MediaNotices(this);
    MakeNoDefault(this);
    setFixedSize(kClientWidth, kClientHeight);
}

// In the track list's place while it is empty, following its size.
void TRipperForm::createDiscNotice()
{
    DiscNoticeLabel = new QLabel(CheckListBox1->viewport());
    DiscNoticeLabel->setObjectName(QStringLiteral("DiscNoticeLabel"));
    DiscNoticeLabel->setWordWrap(true);
    DiscNoticeLabel->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(CheckListBox1->viewport());
    layout->addWidget(DiscNoticeLabel);
    DiscNoticeLabel->hide();
}

// The components as the stored layout sets them up.
void TRipperForm::createComponents()
{
    CDRIP1 = std::make_unique<TCDRIP>(nullptr, libraries_.extraction);
    startFailure_ = CDRIP1->startFailure();
    keepStartFailure(CDRIP1->setCDRomNum(0));
    TDriveTableClass table;
    table.DriveType = TDriveType::GENERIC;
    table.ReadMethod = TReadMethod::READMMC;
    table.SetSpeed = TSetSpeed::SPEEDMMC;
    table.Endian = TEndian::LITTLEENDIAN;
    table.EnableMode = TEnableMode::ENABLENONE;
    table.Density = 0;
    table.Atapi = true;
    CDRIP1->setDriveTable(table);
    CDRIP1->setWriteWAV(true);
    CDRIP1->setJitterCorrect(false);
    CDRIP1->setVersion(QStringLiteral("111"));
    CDRIP1->OnEndTrack = [this](QObject* sender, std::uint16_t track) {
        CDRIP1EndTrack(sender, track);
    };
    CDRIP1->OnProgress = [this](QObject* sender, std::uint16_t percent) {
        CDRIP1Progress(sender, percent);
    };
    // Between the chunks the event loop runs: Abort and the media notices come in.
    connect(CDRIP1.get(), &TCDRIP::trackRipped, this,
            [this](std::int32_t, TRipOutcome outcome) { trackRipped(outcome); });
    connect(CDRIP1.get(), &TCDRIP::ripFailed, this, &TRipperForm::stopRun);
}

// The first failure while the ripper starts is the one its caller is told.
void TRipperForm::keepStartFailure(const CdResult<void>& step)
{
    if (!step && !startFailure_) {
        startFailure_ = step.failure();
    }
}

void TRipperForm::connectHandlers()
{
    connect(DriveComboBox, &QComboBox::activated, this, &TRipperForm::DriveComboBoxChange);
    connect(Timer1, &QTimer::timeout, this, &TRipperForm::Timer1Timer);
    connect(CheckListBox1, &QListWidget::itemClicked, this, &TRipperForm::ListBox1Click);
    connect(CheckListBox1, &QListWidget::itemChanged, this, &TRipperForm::CheckListBox1ClickCheck);
    connect(CheckListBox1, &QListWidget::itemDoubleClicked, this,
            &TRipperForm::CheckListBox1DblClick);
    connect(ChooseAllBitBtn, &QPushButton::clicked, this, &TRipperForm::ChooseAllBitBtnClick);
    connect(UnChooseAllBitBtn, &QPushButton::clicked, this, &TRipperForm::UnChooseAllBitBtnClick);
    connect(ChangeTitleBitBtn, &QPushButton::clicked, this, &TRipperForm::ChangeTitleBitBtnClick);
    connect(StartBitBtn, &QPushButton::clicked, this, &TRipperForm::StartBitBtnClick);
    connect(AbortBitBtn, &QPushButton::clicked, this, &TRipperForm::AbortBitBtnClick);
    connect(Media, &MediaNotices::arrival, this, [this] { WMDeviceChange(MediaNotice::Arrival); });
    connect(Media, &MediaNotices::removal, this, [this] { WMDeviceChange(MediaNotice::Removal); });
}

void TRipperForm::FormCreate()
{
    applyScaling();
    Ripping = false;
    if (!startFailure_) {
        keepStartFailure(FillDriveList());
    }
    if (!startFailure_) {
        DriveComboBoxChange();
    }
    setCaptions();
    Aborted = false;
}

void TRipperForm::applyScaling()
{
    EnlargeDialog(this, ScalePercent);
    const int density = screenDensity();
    if (density != kDesignDensity) {
        // Qt's point sizes already follow the density: places and sizes only.
        EnlargeDialog(this, static_cast<int>(std::nearbyint(100.0 * density / kDesignDensity)),
                      DialogFonts::Keep);
    }
}

void TRipperForm::setCaptions()
{
    const std::pair<QWidget*, int> captions[] = {{Label1, 20001},
                                                 {Label2, 20002},
                                                 {Label3, 20003},
                                                 {Label4, 20004},
                                                 {GroupBox1, 20005},
                                                 {Label9, 20006},
                                                 {Label11, 20007},
                                                 {StartBitBtn, 20010},
                                                 {AbortBitBtn, 20011},
                                                 {ChooseAllBitBtn, 20017},
                                                 {UnChooseAllBitBtn, 20035},
                                                 {ChangeTitleBitBtn, 22034},
                                                 {HelpGroupBox, 22021},
                                                 {DiscNoticeLabel, 20040}};
    for (const auto& [control, number] : captions) {
        setCaption(control, texts_.text(number));
    }
}

void TRipperForm::FormShow()
{
    TrackLabel->clear();
    TotalLabel->clear();
    CentreOnScreen(this);
    update();
}

// The drive numbers of the extraction library are the positions of its drives; each entry
// shows the drive's identification and where it is found (device or image file).
CdResult<void> TRipperForm::FillDriveList()
{
    DriveComboBox->clear();
    const QStringList paths = libraries_.extraction.drivePaths();
    for (int k = 0; k < paths.size(); ++k) {
        if (const CdResult<void> selected = CDRIP1->setCDRomNum(k); !selected) {
            return selected;
        }
        DriveComboBox->addItem(CDRIP1->CDRomID() + QStringLiteral("- ") + paths[k]);
    }
    DriveComboBox->setCurrentIndex(paths.isEmpty() ? -1 : 0);
    return {};
}

void TRipperForm::FillTrackList()
{
    CheckListBox1->clear();
    for (const TTrackItem& entry : CDRIP1->Tracks()) {
        if (entry.Track.TrackType.isEmpty()) {
            continue;
        }
        auto* item = new QListWidgetItem(listedTitle(entry), CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    DiscNoticeLabel->setText(DiscProblemText(texts_, CDRIP1->DiscProblem()));
    DiscNoticeLabel->setVisible(CDRIP1->DiscUnreadable());
    ChooseAllBitBtnClick();
}

// The list shows what the component holds, so that a row always has its track; a drive the
// library failed to read says why over the list.
void TRipperForm::showDriveReading(const CdResult<void>& reading)
{
    FillTrackList();
    if (!reading) {
        DiscNoticeLabel->setText(texts_.text(20040) + u'\n' + reading.failure().message);
        DiscNoticeLabel->show();
    }
}

void TRipperForm::readSelectedDrive()
{
    CDRIP1->Tracks().clear();
    showDriveReading(CDRIP1->setCDRomNum(DriveComboBox->currentIndex()));
}

void TRipperForm::DriveComboBoxChange()
{
    if (holdingBack()) {
        holdBack(HeldBack::DriveChange);
        return;
    }
    Timer1->start();
    readSelectedDrive();
    UpdateButtons();
}

// Another disc may have been put into the selected drive since the last reading.
void TRipperForm::Timer1Timer()
{
    if (holdingBack()) {
        holdBack(HeldBack::ReRead);
        return;
    }
    Timer1->stop();
    const int row = CheckListBox1->currentRow();
    CDRIP1->Tracks().clear();
    FillTrackList();  // a drive that cannot be read shows no tracks
    showDriveReading(CDRIP1->ReadDiscAgain(DriveComboBox->currentIndex()));
    CheckListBox1->setCurrentRow(row);
    UpdateButtons();
}

void TRipperForm::WMDeviceChange(MediaNotice notice)
{
    switch (notice) {
        case MediaNotice::Arrival: DriveComboBoxChange(); break;
        case MediaNotice::Removal:
            if (holdingBack()) {
                holdBack(HeldBack::Removal);
                return;
            }
            Timer1->stop();
            CheckListBox1->clear();
            DiscNoticeLabel->hide();
            UpdateButtons();
            break;
        case MediaNotice::None: break;
    }
}

// While a run goes on, and while the track of an aborted run is still being closed.
bool TRipperForm::holdingBack() const
{
    return Ripping || CDRIP1->TrackInProgress();
}

// The latest change wins, except that a pending re-read does not bring back a removed disc.
void TRipperForm::holdBack(HeldBack what)
{
    if (what == HeldBack::ReRead && heldBack_ != HeldBack::Nothing) {
        return;
    }
    heldBack_ = what;
}

void TRipperForm::applyHeldBack()
{
    const HeldBack what = heldBack_;
    heldBack_ = HeldBack::Nothing;
    switch (what) {
        case HeldBack::DriveChange: DriveComboBoxChange(); break;
        case HeldBack::ReRead: Timer1Timer(); break;
        case HeldBack::Removal: WMDeviceChange(MediaNotice::Removal); break;
        case HeldBack::Nothing: break;
    }
}

void TRipperForm::UpdateButtons()
{
    if (Ripping) {
        return;
    }
    const bool any = CheckListBox1->count() > 0;
    StartBitBtn->setEnabled(checkedCount() > 0);
    AbortBitBtn->setEnabled(true);
    ChooseAllBitBtn->setEnabled(any);
    UnChooseAllBitBtn->setEnabled(any);
    ChangeTitleBitBtn->setEnabled(any);
}

int TRipperForm::checkedCount() const
{
    int count = 0;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        count += CheckListBox1->item(i)->checkState() == Qt::Checked ? 1 : 0;
    }
    return count;
}

void TRipperForm::ListBox1Click()
{
    UpdateButtons();
}

void TRipperForm::CheckListBox1ClickCheck()
{
    UpdateButtons();
}

void TRipperForm::ChooseAllBitBtnClick()
{
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        CheckListBox1->item(i)->setCheckState(Qt::Checked);
    }
    UpdateButtons();
}

void TRipperForm::UnChooseAllBitBtnClick()
{
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        CheckListBox1->item(i)->setCheckState(Qt::Unchecked);
    }
    UpdateButtons();
}

// The last selected entry in list order; -1 when none is.
int TRipperForm::highlightedRow() const
{
    int row = -1;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        if (CheckListBox1->item(i)->isSelected()) {
            row = i;
        }
    }
    return row;
}

void TRipperForm::ChangeTitleBitBtnClick()
{
    const int row = highlightedRow();
    if (row < 0) {
        host_.showPlainMessage(texts_.text(22101));
        return;
    }
    editTitle(row);
}

void TRipperForm::CheckListBox1DblClick()
{
    const int row = highlightedRow();
    if (!Ripping && row >= 0) {
        editTitle(row);
    }
}

void TRipperForm::editTitle(int row)
{
    if (editTitle_ == nullptr) {
        return;
    }
    QListWidgetItem* item = CheckListBox1->item(row);
    editTitle_->Edit1->setText(item->text());
    if (showTitleDialog(*editTitle_) == QDialog::Accepted) {
        item->setText(TrimBlanksAndControls(editTitle_->Edit1->text()));
    }
}

QString TRipperForm::TrackFileName(const QString& title) const
{
    return RipFolder + TrackFileTitle(title) +
           (CDRIP1->WriteWAV() ? QStringLiteral(".wav") : QStringLiteral(".pcm"));
}

void TRipperForm::setRunButtonsEnabled(bool enabled)
{
    for (QPushButton* button :
         {StartBitBtn, ChooseAllBitBtn, UnChooseAllBitBtn, ChangeTitleBitBtn}) {
        button->setEnabled(enabled);
    }
}

void TRipperForm::StartBitBtnClick()
{
    // Start is disabled then; a run of nothing would still be reported as completed.
    if (checkedCount() == 0) {
        UpdateButtons();
        return;
    }
    host_.setBusyCursor(true);
    Ripping = true;
    Timer1->stop();
    setRunButtonsEnabled(false);
    run_ = RunProgress{CheckListBox1->count(), checkedCount(), 0, {}};
    ripped_ = RippedDisc{run_.rows, run_.marked, CDRIP1->DiscText().performer, {}, {}};
    removeEarlierTrackFiles();
    ripFrom(0);
}

// Starts the rip of the first checked entry from `row` on, in list order; the run is over when
// none is left, or when an Abort has ended it.
void TRipperForm::ripFrom(int row)
{
    for (; row < run_.rows && row < CheckListBox1->count(); ++row) {
        CheckListBox1->setCurrentRow(row);
        if (!Ripping) {
            return;
        }
        if (CheckListBox1->item(row)->checkState() == Qt::Checked) {
            startRip(row);
            return;
        }
    }
    finishRun();
}

// The track is ripped a chunk at a time while the event loop runs; trackRipped goes on.
void TRipperForm::startRip(int row)
{
    const QString title = CheckListBox1->item(row)->text();
    run_.track = RunTrack{row, title, TrackFileName(title)};
    if (const CdResult<void> started = CDRIP1->StartRipTrack(row + 1, run_.track.fileName);
        !started) {
        stopRun(started.failure());
    }
}

// The run ends where it stands; Abort is the way out.
void TRipperForm::stopRun(const CdFailure& failure)
{
    host_.showPlainMessage(failure.message);
}

void TRipperForm::trackRipped(TRipOutcome outcome)
{
    const RunTrack& track = run_.track;
    switch (outcome) {
        case TRipOutcome::Complete: recordRipped(track.row, track.title, track.fileName); break;
        case TRipOutcome::Aborted: break;
        default: recordFailed(track.row, track.title, outcome); break;
    }
    reportProgress(++run_.done, run_.marked);
    ripFrom(track.row + 1);
}

// Whatever lies in the folder after the run is taken for its tracks.
void TRipperForm::removeEarlierTrackFiles()
{
    if (!RipFolder.isEmpty()) {
        RemoveEarlierTrackFiles(RipFolder);
    }
}

// Only a track that was read to its end counts. Two titles may give the same file name: the
// later rip replaced the file, so it replaces the record too.
void TRipperForm::recordRipped(int row, const QString& title, const QString& wavPath)
{
    if (!Ripping || !FileExists(wavPath)) {
        return;
    }
    std::erase_if(ripped_.tracks,
                  [&](const RippedTrack& track) { return track.wavPath == wavPath; });
    const TTrack& track = CDRIP1->Tracks().at(static_cast<std::size_t>(row)).Track;
    ripped_.tracks.push_back(RippedTrack{row + 1, title, track.Performer, wavPath});
}

// The entry shows why; the caller names the track to the person.
void TRipperForm::recordFailed(int row, const QString& title, TRipOutcome outcome)
{
    const TrackFailure reason =
        FailureOf(CDRIP1->Tracks().at(static_cast<std::size_t>(row)).Track, outcome);
    ripped_.failed.push_back(FailedTrack{row + 1, title, reason});
    QListWidgetItem* item = CheckListBox1->item(row);
    item->setForeground(Qt::red);
    item->setToolTip(TrackFailureText(texts_, reason));
}

void TRipperForm::reportProgress(int done, int total)
{
    const int percent = static_cast<int>(std::nearbyint(done * 100.0 / total));  // ties to even
    TotalLabel->setText(QStringLiteral("Total %1%").arg(percent));
    TotalLabel->adjustSize();
    ProgressBar2->setValue(percent);
}

void TRipperForm::finishRun()
{
    ProgressBar2->setValue(0);
    StartBitBtn->setEnabled(true);
    Ripping = false;
    ChooseAllBitBtn->setEnabled(true);
    UnChooseAllBitBtn->setEnabled(true);
    ChangeTitleBitBtn->setEnabled(true);
    host_.setBusyCursor(false);
    applyHeldBack();
    runCompleted_ = !Aborted;
    closeAfterPause(clock_.now() + kPauseBeforeClosing);
}

// The dialog stays in view a moment after its run, without holding up the events meanwhile.
void TRipperForm::closeAfterPause(Milliseconds until)
{
    if (closeAllowed_) {
        return;  // closed meanwhile (Abort)
    }
    pausing_ = clock_.now() < until;
    if (!pausing_) {
        closeDialog();
        return;
    }
    const Milliseconds wait = clock_.roundInterval(until - clock_.now());
    QTimer::singleShot(int(wait.count()), this, [this, until] { closeAfterPause(until); });
}

void TRipperForm::AbortBitBtnClick()
{
    // Down before the rip ends, so that the run does not go on to the next track.
    Ripping = false;
    CDRIP1->Abort();
    ProgressBar1->setValue(0);
    StartBitBtn->setEnabled(true);
    ChooseAllBitBtn->setEnabled(true);
    UnChooseAllBitBtn->setEnabled(true);
    ChangeTitleBitBtn->setEnabled(true);
    Timer1->start();
    Aborted = true;
    runCompleted_ = false;
    closeDialog();
}

void TRipperForm::CDRIP1Progress(QObject*, std::uint16_t PercentComplete)
{
    ProgressBar1->setValue(PercentComplete);
    TrackLabel->setText(QStringLiteral("Track %1%").arg(PercentComplete));
    if (ProgressBar1->value() == ProgressBar1->maximum()) {
        ProgressBar1->setValue(0);
        TrackLabel->setText(QStringLiteral("Track 0%"));
    }
    TrackLabel->adjustSize();
}

void TRipperForm::CDRIP1EndTrack(QObject*, std::uint16_t)
{
    ProgressBar1->setValue(0);
}

void TRipperForm::closeDialog()
{
    closeAllowed_ = true;
    done(QDialog::Accepted);
}

// Only Abort and the end of a run close the dialog.
void TRipperForm::closeEvent(QCloseEvent* event)
{
    if (!closeAllowed_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace qvr
