#include "fMainQVR.h"

#include "AltMenuAccess.h"
#include "AppSession.h"
#include "BackgroundPicture.h"
#include "CdHandOff.h"
#include "ColumnFit.h"
#include "DroppedFiles.h"
#include "LabelBackdrop.h"
#include "MainRunView.h"
#include "OpenDialogs.h"
#include "ProgressDelegate.h"
#include "QtTranslations.h"
#include "RunAnnouncer.h"
#include "Scaling.h"
#include "StartArguments.h"
#include "TabOrder.h"
#include "WindowSettings.h"
#include "cdrip/DialogLook.h"
#include "convert/AudioFormats.h"
#include "convert/ConversionEngine.h"
#include "convert/FileGathering.h"
#include "convert/FileListModel.h"
#include "convert/Frequencies.h"
#include "convert/JobTexts.h"
#include "convert/StepTexts.h"
#include "convert/WorkFiles.h"
#include "lang/ProgramTexts.h"
#include "lang/TranslationDispatcher.h"
#include "platform/DesktopNotifier.h"
#include "platform/DesktopOpener.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/PCSpeed_DVK.h"
#include "platform/Processes.h"
#include "platform/Storage.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <utility>

namespace qvr {
namespace {

constexpr int kClientWidth = 1034;
constexpr int kClientHeight = 616;
constexpr int kCloseDuringRunText = 534;  // "Abort the conversion and quit?"
constexpr int kDesignColumnWidths[] = {380, 80, 290, 100, 110};
constexpr int kScaledColumnWidths[] = {380, 80, 290, 100, 90};
constexpr int kColumnCaptionTexts[] = {500, 501, 502, 503, 504};
// Paths and names are shortened in the middle when they do not fit; times and statuses fit.
const std::vector<ColumnKind> kColumnKinds = {ColumnKind::Elides, ColumnKind::FitsContent,
                                              ColumnKind::Elides, ColumnKind::Fixed,
                                              ColumnKind::FitsContent};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int pointSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(QFont(QStringLiteral("Microsoft Sans Serif"), pointSize,
                         bold ? QFont::Bold : QFont::Normal));
    label->adjustSize();
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text,
                        QStyle::StandardPixmap icon, const QRect& geometry)
{
    auto* button = new QPushButton(parent->style()->standardIcon(icon), text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QAction* makeAction(QMenu* menu, const char* name, const QString& text,
                    QStyle::StandardPixmap icon = QStyle::SP_CustomBase)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    if (icon != QStyle::SP_CustomBase) {
        action->setIcon(menu->style()->standardIcon(icon));
    }
    return action;
}

QString programFolderOfRunningProgram()
{
    const QString file = ProgramFilePath();
    return file.left(file.lastIndexOf(u'/') + 1);
}

}  // namespace

TMainFormQVR::TMainFormQVR(AppSession& session, MainFormEnvironment environment, QWidget* parent)
    : QMainWindow(parent),
      Folders(session.folders()),
      session_(session),
      environment_(std::move(environment)),
      opener_(new DesktopOpener(Milliseconds(10'000), this)),
      remembered_(std::make_unique<WindowSettings>())
{
    setObjectName(QStringLiteral("TMainFormQVR"));
    setAcceptDrops(true);
    // Resizable, with the system menu and a minimise box but no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Quorvane"));
    createControls();
    createMenu();
    createEngine();
    createLookAndTranslation();
    connectHandlers();
    CdReading = std::make_unique<CdHandOff>(static_cast<CdReadingWindow&>(*this));
    FormCreate();
}

TMainFormQVR::~TMainFormQVR() = default;

void TMainFormQVR::createControls()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client_);
    setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));

    BkgImage = new QLabel(client_);
    BkgImage->setObjectName(QStringLiteral("BkgImage"));
    BkgImage->setScaledContents(true);
    BkgImage->setAutoFillBackground(true);

    HeaderLabel =
        makeLabel(client_, "HeaderLabel",
                  QStringLiteral("Batch Musik Konverter für 174, 285, 396, 417, 432, 528, "
                                 "639, 741, 852, 963 Hz Musik"),
                  12, true);
    HeaderLabel->setGeometry(32, 74, 680, 20);
    ProgressLabel = makeLabel(client_, "ProgressLabel", QStringLiteral("ProgressLabel"), 12, true);
    setTextColour(ProgressLabel, Qt::white);
    ProgressLabel->move(32, 586);
    FehlerLabel = makeLabel(client_, "FehlerLabel", QStringLiteral("FehlerLabel"), 24, false);
    setTextColour(FehlerLabel, Qt::red);
    FehlerLabel->move(560, 16);
    ConvertMSGLabel =
        makeLabel(client_, "ConvertMSGLabel", QStringLiteral("Konvertiere..."), 12, true);
    setTextColour(ConvertMSGLabel, Qt::white);
    ConvertMSGLabel->move(888, 16);

    Files = new FileListModel(this);
    lvFiles = new QTableView(client_);
    lvFiles->setObjectName(QStringLiteral("lvFiles"));
    lvFiles->setModel(Files);
    lvFiles->setGeometry(32, 130, 969, 456);
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control; the arrow keys move within it.
    lvFiles->setTabKeyNavigation(false);
    lvFiles->verticalHeader()->hide();
    lvFiles->horizontalHeader()->setSectionsMovable(false);
    lvFiles->horizontalHeader()->setHighlightSections(false);
    lvFiles->setItemDelegateForColumn(FileListModel::ProgressColumn, new ProgressDelegate(lvFiles));
    lvFiles->setWordWrap(false);
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPointSize(8);
    lvFiles->setFont(listFont);
    lvFiles->verticalHeader()->setDefaultSectionSize(lvFiles->fontMetrics().height() + 8);
    QPalette listPalette = lvFiles->palette();
    listPalette.setColor(QPalette::Highlight, QColor(136, 141, 222));
    lvFiles->setPalette(listPalette);
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        lvFiles->setColumnWidth(column, kDesignColumnWidths[column]);
    }
    columnFitter_ = new ColumnFitter(
        lvFiles, std::vector<int>(std::begin(kDesignColumnWidths), std::end(kDesignColumnWidths)),
        kColumnKinds);

    OpenFolderBitBtn = makeButton(client_, "OpenFolderBitBtn", QStringLiteral("Ordner öffnen"),
                                  QStyle::SP_DirOpenIcon, {32, 104, 129, 21});
    OpenFileBitBtn = makeButton(client_, "OpenFileBitBtn", QStringLiteral("Datei öffnen"),
                                QStyle::SP_FileIcon, {168, 104, 129, 21});
    RipCDBitBtn = makeButton(client_, "RipCDBitBtn", QStringLiteral("CD Einlesen"),
                             QStyle::SP_DriveCDIcon, {304, 104, 129, 21});
    ComboBox1 = new QComboBox(client_);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(440, 104, 257, 21);
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->addItems(FrequencyItems());
    ComboBox1->setPlaceholderText(QStringLiteral("- Bitte Auswählen -"));
    ComboBox1->setCurrentIndex(-1);
    ConvertBitBtn = makeButton(client_, "ConvertBitBtn", QStringLiteral("Konvertieren"),
                               QStyle::SP_MediaPlay, {704, 104, 129, 21});
    AbortBitBtn = makeButton(client_, "AbortBitBtn", QStringLiteral("Abbrechen"),
                             QStyle::SP_MediaStop, {704, 104, 129, 21});
    OutputFolderBitBtn =
        makeButton(client_, "OutputFolderBitBtn", QStringLiteral("Ausgabe Ordner öffnen"),
                   QStyle::SP_DirLinkIcon, {840, 104, 161, 21});
    // Tab walks the row of buttons from left to right, then the list below it.
    SetTabOrder({OpenFolderBitBtn, OpenFileBitBtn, RipCDBitBtn, ComboBox1, ConvertBitBtn,
                 AbortBitBtn, OutputFolderBitBtn, lvFiles});
}

// The run shows itself in the window's controls; the engine's timers are the window's.
void TMainFormQVR::createEngine()
{
    runView_ = std::make_unique<MainRunView>(
        RunControls{ComboBox1,
                    ConvertBitBtn,
                    AbortBitBtn,
                    {OpenFolderBitBtn, OpenFileBitBtn, RipCDBitBtn, ComboBox1, OutputFolderBitBtn},
                    {mniProgramm1, Wissenswertes1, mniInfo1, Skin1},
                    ProgressLabel,
                    ConvertMSGLabel,
                    FehlerLabel,
                    lvFiles});
    Engine = std::make_unique<ConversionEngine>(
        *Files, *runView_, session_.messages(), session_.texts(),
        environment_.clock != nullptr ? *environment_.clock : steadyClock());
    ProgressTimer = &Engine->ProgressTimer;
    ProgressTimer->setObjectName(QStringLiteral("ProgressTimer"));
    BlinkenTimer = &Engine->BlinkenTimer;
    BlinkenTimer->setObjectName(QStringLiteral("BlinkenTimer"));
    BlinkenTimer->setInterval(400);
}

void TMainFormQVR::createMenu()
{
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName(QStringLiteral("mm1"));
    // The design's captions carry no mnemonics: Alt alone and F10 open the menu bar from the
    // keyboard, the arrow keys then walk it.
    new AltMenuAccess(mm1);
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, mm1, [mm1] { AltMenuAccess::openMenuBar(mm1); });
    mniProgramm1 = mm1->addMenu(QStringLiteral("Datei"));
    mniProgramm1->setObjectName(QStringLiteral("mniProgramm1"));
    OpenFolder1 = makeAction(mniProgramm1, "OpenFolder1", QStringLiteral("Ordner öffnern"),
                             QStyle::SP_DirOpenIcon);
    OpenFile1 = makeAction(mniProgramm1, "OpenFile1", QStringLiteral("Datei öffnen"),
                           QStyle::SP_DirOpenIcon);
    AusgabeOrdnerffnen1 =
        makeAction(mniProgramm1, "AusgabeOrdnerffnen1", QStringLiteral("Ausgabe Ordner öffnen"),
                   QStyle::SP_DirOpenIcon);
    AusgabeOrdnerWaehlen1 =
        makeAction(mniProgramm1, "AusgabeOrdnerWaehlen1", QStringLiteral("Ausgabeordner wählen..."),
                   QStyle::SP_DirIcon);
    mniBeenden1 = makeAction(mniProgramm1, "mniBeenden1", QStringLiteral("Beenden"),
                             QStyle::SP_DialogCloseButton);

    Wissenswertes1 = mm1->addMenu(QStringLiteral("Wissenswertes"));
    Wissenswertes1->setObjectName(QStringLiteral("Wissenswertes1"));
    WissenswerteszumKonvertierenSolfeggioFrequenzen1 =
        makeAction(Wissenswertes1, "WissenswerteszumKonvertierenSolfeggioFrequenzen1",
                   QStringLiteral("Wissenswertes zum Konvertieren (Solfeggio Frequenzen)"),
                   QStyle::SP_MessageBoxInformation);

    Skin1 = mm1->addMenu(QStringLiteral("Skin"));
    Skin1->setObjectName(QStringLiteral("Skin1"));
    for (int skin = 1; skin <= 10; ++skin) {
        const QByteArray name = "Skin" + QByteArray::number(skin) + "1";
        SkinItems << makeAction(Skin1, name.constData(), QStringLiteral("Skin %1").arg(skin));
    }
    // The current skin carries the check mark.
    auto* skins = new QActionGroup(Skin1);
    for (QAction* item : std::as_const(SkinItems)) {
        item->setCheckable(true);
        skins->addAction(item);
    }
    createLanguageMenu();
    createJobsMenu();

    mniInfo1 = mm1->addMenu(QStringLiteral("Info"));
    mniInfo1->setObjectName(QStringLiteral("mniInfo1"));
    mniProgrammInfo1 = makeAction(mniInfo1, "mniProgrammInfo1", QStringLiteral("Programm Info"),
                                  QStyle::SP_MessageBoxInformation);
}

void TMainFormQVR::connectHandlers()
{
    connect(mniBeenden1, &QAction::triggered, this, &TMainFormQVR::mniBeenden1Click);
    connectLookAndInfoHandlers();
    connect(OpenFolder1, &QAction::triggered, this, &TMainFormQVR::OpenFolder1Click);
    connect(OpenFile1, &QAction::triggered, this, &TMainFormQVR::OpenFile1Click);
    connect(AusgabeOrdnerffnen1, &QAction::triggered, this,
            &TMainFormQVR::AusgabeOrdnerffnen1Click);
    connect(AusgabeOrdnerWaehlen1, &QAction::triggered, this,
            &TMainFormQVR::AusgabeOrdnerWaehlen1Click);
    connect(OpenFolderBitBtn, &QPushButton::clicked, this, &TMainFormQVR::OpenFolderBitBtnClick);
    connect(OpenFileBitBtn, &QPushButton::clicked, this, &TMainFormQVR::OpenFileBitBtnClick);
    connect(OutputFolderBitBtn, &QPushButton::clicked, this,
            &TMainFormQVR::OutputFolderBitBtnClick);
    connect(ConvertBitBtn, &QPushButton::clicked, this, &TMainFormQVR::ConvertBitBtnClick);
    connect(AbortBitBtn, &QPushButton::clicked, this, &TMainFormQVR::AbortBitBtnClick);
    connect(ComboBox1, &QComboBox::activated, this, &TMainFormQVR::ComboBox1Change);
    connect(RipCDBitBtn, &QPushButton::clicked, this, &TMainFormQVR::RipCDBitBtnClick);
    // Paths handed during the run are taken after its end message.
    connect(Engine.get(), &ConversionEngine::runFinished, this, &TMainFormQVR::takeWaitingPaths,
            Qt::QueuedConnection);
    connectDriveHandlers();
    connectLanguageAndRunEnd();
}

int TMainFormQVR::screenHeight() const
{
    if (environment_.screenHeight > 0) {
        return environment_.screenHeight;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 768;
}

void TMainFormQVR::FormCreate()
{
    FixDecimalSeparator();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    Engine->leaveCdMode();
    ConvertMSGLabel->hide();
    BlinkenTimer->stop();
    session_.setProgramFolder(environment_.programFolder.isEmpty() ? programFolderOfRunningProgram()
                                                                   : environment_.programFolder);
    FehlerLabel->hide();
    ProgressTimer->stop();
    for (QWidget* w : std::initializer_list<QWidget*>{
             lvFiles, ComboBox1, ConvertBitBtn, AbortBitBtn, OutputFolderBitBtn, ProgressLabel}) {
        w->hide();
    }
    ProgressTimer->setInterval(50);
    session_.setOutputAndWorkFolders(session_.systemInfo());
    if (const QString output = remembered_->outputFolder(); !output.isEmpty()) {
        session_.useOutputFolder(output);
    }
    ConversionSettings settings = StartingSettings(Folders.paths, RunStyle::Window);
    const StartArguments start = SplitStartArguments(environment_.arguments, CurrentFolder());
    FirstArgument = start.firstArgument;
    waitingPaths_ = start.paths;
    ResolutionClass = ResolutionClassFor(screenHeight(), FirstArgument);
    ApplySkinAtStartup();
    session_.writeProgramSettings();
    session_.linkTools();
    startSpeedProbe(settings);
    session_.linkFfmpeg();
    ProgressTimer->stop();
    ApplyStartupScaling();
    FehlerLabel->clear();
    ApplyLanguage();
    Engine->configure(settings);
    Engine->setFolderOpener([this](const QString& folder) { openOutputFolder(folder); });
    session_.removeStaleRipResult();
    FollowCdDrives();
    restoreRemembered();
}

// The size and place the window had when it was last closed, as far as a screen still shows it.
void TMainFormQVR::restoreRemembered()
{
    const std::optional<QRect> placement = remembered_->placement();
    if (!placement) {
        return;
    }
    resize(placement->size().expandedTo(minimumSize()));
    if (QGuiApplication::screenAt(placement->topLeft()) != nullptr) {
        move(placement->topLeft());
    }
}

void TMainFormQVR::ApplyStartupScaling()
{
    ScalePercent = ScalePercentFor(screenHeight());
    if (ScalePercent != 100) {
        scaleControls();
    }
    keepControlsInView();
}

// The window may be made larger and smaller, but never so small that a control leaves it: only
// the list, anchored to all four sides, gives way, down to a few rows; the counter below it
// follows it.
void TMainFormQVR::keepControlsInView()
{
    constexpr int kFewRows = 60;
    QRect needed(lvFiles->pos(), QSize(kFewRows, kFewRows + listBottomMargin_));
    for (QWidget* child : client_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != lvFiles && child != BkgImage && child != ProgressLabel &&
            dynamic_cast<LabelBackdrop*>(child) == nullptr) {
            needed = needed.united(child->geometry());
        }
    }
    const int menu = menuBar() != nullptr ? menuBar()->sizeHint().height() : 0;
    setMinimumSize(needed.right() + 1 + 8, needed.bottom() + 1 + 8 + menu);
}

void TMainFormQVR::scaleControls()
{
    EnlargeControls(client_, ScalePercent);
    // Every control's font grows, also one it takes from the window.
    for (QWidget* child : client_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QFont font = child->font();
        font.setPointSizeF(font.pointSizeF() * ScalePercent / 100.0);
        child->setFont(font);
    }
    scaleMenus();
    resize(Scaled(width(), ScalePercent), Scaled(height(), ScalePercent));
    std::vector<int> widths;
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        widths.push_back(Scaled(kScaledColumnWidths[column], ScalePercent));
        lvFiles->setColumnWidth(column, widths.back());
    }
    columnFitter_->setDesignWidths(widths);
    listRightMargin_ = Scaled(listRightMargin_, ScalePercent);
    listBottomMargin_ = Scaled(listBottomMargin_, ScalePercent);
    ProgressLabel->move(ProgressLabel->x(), lvFiles->geometry().bottom() + 1 + 2);
    ComboBox1->move(ComboBox1->x(), OpenFileBitBtn->y() + 1);
}

void TMainFormQVR::ApplyLanguage()
{
    for (int column = 0; column < FileListModel::kColumnCount; ++column) {
        Files->setColumnCaption(column, texts().text(kColumnCaptionTexts[column]));
    }
    Engine->setStatusWords(texts().text(505), texts().text(507));
    applyJobsLanguage();
    Files->setStepText([this](const JobStep& step) { return StepStatusText(texts(), step); });
    // Qt's own texts first: the table's captions for the standard dialogs then come before them.
    qtTexts_->apply(texts().language());
    checkCurrentLanguage();
    siLangDispatcher1->setLanguage(TableLanguageName(texts().language()));
    SetLanguageAddresses();
    // A version file without a first line still gives the window a version.
    VersionText = ReadFirstLine(texts().folder() + QStringLiteral("ver.ini"))
                      .value_or(QCoreApplication::applicationVersion());
    setWindowTitle(QStringLiteral("Quorvane ") + VersionText);
    AusgabeOrdnerWaehlen1->setText(texts().text(10023));
    fitCaptions();
}

void TMainFormQVR::FormShow()
{
    if (FirstArgument.contains(QStringLiteral("169"))) {
        resize(width(), static_cast<int>(std::nearbyint(width() * 0.5625)));
    }
    ConvertMSGLabel->move(lvFiles->x() + lvFiles->width() - ConvertMSGLabel->width(),
                          ConvertMSGLabel->y());
    ProgressLabel->move(ProgressLabel->x(), lvFiles->geometry().bottom() + 1 + 2);
}

// During a run the window asks before it goes; yes ends the run as Abort does (its tools, its
// unfinished output and its work files go) and the window closes when the run has ended.
bool TMainFormQVR::FormCloseQuery()
{
    if (!Engine->running()) {
        return true;
    }
    if (quitAfterRun_) {
        return false;
    }
    const bool quit = messages().show(texts().text(kCloseDuringRunText), MessageKind::Confirmation,
                                      {MessageButton::Yes, MessageButton::No}) ==
                      static_cast<int>(MessageButton::Yes);
    if (!quit) {
        return false;
    }
    // The run may have ended while the question was open.
    if (!Engine->running()) {
        return true;
    }
    quitAfterRun_ = true;
    Engine->abortForClose();
    return false;
}

void TMainFormQVR::FormClose()
{
    Engine->Processes.CloseToolWindow(kStretchTool);
}

void TMainFormQVR::mniBeenden1Click()
{
    close();
}

void TMainFormQVR::OpenFolder1Click()
{
    OpenFolderBitBtnClick();
}

void TMainFormQVR::OpenFile1Click()
{
    OpenFileBitBtnClick();
}

void TMainFormQVR::AusgabeOrdnerffnen1Click()
{
    OutputFolderBitBtnClick();
}

void TMainFormQVR::AusgabeOrdnerWaehlen1Click()
{
    const QString current = Folders.paths.outputRoot();
    const QString chosen = environment_.chooseOutputFolder
                               ? environment_.chooseOutputFolder(current)
                               : chooseOutputFolder(this, current, texts().text(10024));
    if (chosen.isEmpty()) {
        return;
    }
    useOutputFolder(chosen);
    remembered_->setOutputFolder(Folders.paths.outputRoot());
}

// The session's paths and the engine's settings say the same: Read CD and the runs use both.
void TMainFormQVR::useOutputFolder(const QString& folder)
{
    session_.useOutputFolder(folder);
    ConversionSettings settings = Engine->settings();
    settings.paths.setOutputRoot(Folders.paths.outputRoot());
    Engine->configure(settings);
}

void TMainFormQVR::rememberFolderOf(const QString& path)
{
    remembered_->setLastFolder(FolderOf(path));
}

void TMainFormQVR::OpenFileBitBtnClick()
{
    const QString start = remembered_->lastFolder();
    const QString file =
        environment_.chooseFile ? environment_.chooseFile(start) : chooseInputFile(this, start);
    if (file.isEmpty()) {
        return;
    }
    rememberFolderOf(file);
    // Only the seven kinds can be converted, and only from a regular file: anything else would
    // end without output, and opening a pipe or device would wait.
    if (!IsSupportedSource(file) || !IsRegularFile(file)) {
        messages().show(UnsupportedFileText(texts()), MessageKind::Information,
                        {MessageButton::OK});
        return;
    }
    Engine->leaveCdMode();
    resetFrequencyChooser();
    lvFiles->show();
    Engine->fillList({file});
    showListControls();
}

void TMainFormQVR::OpenFolderBitBtnClick()
{
    const QString suggested = openFolderSuggestion(texts().language());
    const QString start = remembered_->lastFolder();
    const QString chosen = environment_.chooseFolder ? environment_.chooseFolder(suggested, start)
                                                     : chooseInputFolder(this, suggested, start);
    if (chosen.isEmpty()) {
        return;
    }
    rememberFolderOf(chosen);
    Engine->leaveCdMode();
    const QString folder = FolderOf(chosen);
    const bool subfolders = messages().show(texts().text(10000), MessageKind::Confirmation,
                                            {MessageButton::Yes, MessageButton::No}) ==
                            static_cast<int>(MessageButton::Yes);
    resetFrequencyChooser();
    lvFiles->show();
    Engine->fillList(GatherFolderFiles(folder, subfolders));
    showListControls();
}

// Several files fill the list together; folders are gathered as Open Folder gathers them, after
// its question about subfolders; a file of another kind is refused with Open File's message.
void TMainFormQVR::FilesDropped(const QStringList& paths)
{
    const DroppedFiles dropped = SortDropped(paths);
    if (dropped.refused) {
        messages().show(UnsupportedFileText(texts()), MessageKind::Information,
                        {MessageButton::OK});
    }
    if (dropped.empty()) {
        return;
    }
    // Each file once, also when it was dropped together with its folder or through a link.
    SourceFiles sources;
    for (const QString& file : dropped.files) {
        sources.addFile(file);
    }
    if (!dropped.folders.isEmpty()) {
        const bool subfolders = messages().show(texts().text(10000), MessageKind::Confirmation,
                                                {MessageButton::Yes, MessageButton::No}) ==
                                static_cast<int>(MessageButton::Yes);
        for (const QString& folder : dropped.folders) {
            sources.addFolder(folder, subfolders);
        }
    }
    const QStringList files = sources.files();
    Engine->leaveCdMode();
    resetFrequencyChooser();
    lvFiles->show();
    Engine->fillList(files);
    showListControls();
}

void TMainFormQVR::OpenPaths(const QStringList& paths)
{
    waitingPaths_ << paths;
    takeWaitingPaths();
}

// Files are taken while nothing runs and the open buttons are usable.
bool TMainFormQVR::takesFiles() const
{
    return !Engine->running() && !readingCd_ && OpenFileBitBtn->isEnabled();
}

// Paths that come while earlier ones are being taken (the subfolder question is open) follow
// them instead of asking in between.
void TMainFormQVR::takeWaitingPaths()
{
    if (takingPaths_) {
        return;
    }
    const QScopedValueRollback<bool> taking(takingPaths_, true);
    while (!waitingPaths_.isEmpty() && takesFiles()) {
        FilesDropped(std::exchange(waitingPaths_, {}));
    }
}

// Drops are taken only while nothing runs, as the open buttons are.
void TMainFormQVR::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Engine->running() && OpenFileBitBtn->isEnabled() && event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TMainFormQVR::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (Engine->running() || paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    FilesDropped(paths);
}

const ProgramTexts& TMainFormQVR::texts() const
{
    return session_.texts();
}

const MessageBoxes& TMainFormQVR::messages() const
{
    return session_.messages();
}

RunView& TMainFormQVR::runView()
{
    return *runView_;
}

void TMainFormQVR::AddFolderFiles(const QString& folder)
{
    lvFiles->show();
    Engine->fillList(GatherFolderFiles(folder, false));
    showListControls();
}

// A new list keeps the frequency chosen last (also in an earlier start), as a person expects;
// the placeholder shows until a frequency has been chosen once.
void TMainFormQVR::resetFrequencyChooser()
{
    ComboBox1->setCurrentIndex(remembered_->frequencyIndex());
    ComboBox1->setPlaceholderText(frequencyPlaceholder(texts().language()));
}

void TMainFormQVR::showListControls()
{
    if (ComboBox1->currentIndex() >= 0) {
        Engine->applyFrequency(ComboBox1->currentIndex());
    }
    ComboBox1->show();
    ConvertBitBtn->show();
    OutputFolderBitBtn->show();
}

void TMainFormQVR::ComboBox1Change()
{
    Engine->applyFrequency(ComboBox1->currentIndex());
    if (ComboBox1->currentIndex() >= 0) {
        remembered_->setFrequencyIndex(ComboBox1->currentIndex());
    }
    if (FirstArgument.contains(QStringLiteral("plenk"))) {
        Engine->demonstrationFill([](int n) { return QRandomGenerator::global()->bounded(n); });
        runView_->showRunCount(Engine->RunCountText());
        OutputFolderBitBtn->setFocus();
    }
    lvFiles->viewport()->update();
}

void TMainFormQVR::ConvertBitBtnClick()
{
    applyRunChoices();
    Engine->run();
}

void TMainFormQVR::AbortBitBtnClick()
{
    Engine->requestAbort();
}

// The folder of the last run's copies, where a person looks first; before a run (or when that
// folder is gone) the folder all copies go below.
void TMainFormQVR::OutputFolderBitBtnClick()
{
    const QString& last = Engine->runFolder();
    openOutputFolder(!last.isEmpty() && DirectoryExists(last) ? last : Folders.paths.outputRoot());
}

// Without a file manager the folder is named, so it can be copied and reached another way.
void TMainFormQVR::openOutputFolder(const QString& folder)
{
    opener_->openWithDesktop(folder, [this, folder] {
        messages().show(UnopenedFolderText(texts(), folder), MessageKind::Warning,
                        {MessageButton::OK});
    });
}

void TMainFormQVR::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    FormShow();
    // The paths of the command line are taken once the window is there to ask its questions.
    if (!waitingPaths_.isEmpty()) {
        QTimer::singleShot(0, this, &TMainFormQVR::takeWaitingPaths);
    }
}

void TMainFormQVR::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    remembered_->setPlacement(QRect(pos(), size()));
    event->accept();
}

void TMainFormQVR::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutAnchoredControls();
}

// The background fills the client area; the list keeps its distance to all four edges.
void TMainFormQVR::layoutAnchoredControls()
{
    if (client_ == nullptr) {
        return;
    }
    BkgImage->setGeometry(client_->rect());
    Background->fit(client_->size());
    BkgImage->lower();
    const int listWidth = client_->width() - lvFiles->x() - listRightMargin_;
    const int listHeight = client_->height() - lvFiles->y() - listBottomMargin_;
    if (listWidth > 0 && listHeight > 0) {
        lvFiles->resize(listWidth, listHeight);
        ProgressLabel->move(ProgressLabel->x(), lvFiles->geometry().bottom() + 1 + 2);
    }
}

}  // namespace qvr
