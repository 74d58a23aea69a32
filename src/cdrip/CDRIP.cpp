#include "CDRIP.h"

#include "cdrip/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/Storage.h"

#include <QFile>
#include <QScopedValueRollback>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <utility>

namespace qvr {
namespace {

constexpr int kSectorsPerSecond = 75;
constexpr int kWavHeaderSize = 44;
// The identification text is a 256-character field, zero-terminated.
constexpr qsizetype kCdRomIdLength = 255;

struct FormatInfo {
    std::uint32_t sampleRate;
    std::uint16_t channels;
};

std::optional<FormatInfo> formatInfo(TOutputFormat format)
{
    switch (format) {
        case TOutputFormat::STEREO44100: return FormatInfo{44100, 2};
        case TOutputFormat::MONO44100: return FormatInfo{44100, 1};
        case TOutputFormat::STEREO22050: return FormatInfo{22050, 2};
        case TOutputFormat::MONO22050: return FormatInfo{22050, 1};
        case TOutputFormat::STEREO11025: return FormatInfo{11025, 2};
        case TOutputFormat::MONO11025: return FormatInfo{11025, 1};
    }
    return std::nullopt;
}

std::uint32_t byteRate(const FormatInfo& format)
{
    return format.sampleRate * format.channels * 2;
}

// Both sectors belong to the range.
std::uint32_t rangeBytes(const FormatInfo& format, std::int32_t first, std::int32_t last)
{
    const std::int64_t sectors = std::max<std::int64_t>(0, std::int64_t{last} - first + 1);
    return static_cast<std::uint32_t>(byteRate(format) * sectors / kSectorsPerSecond);
}

QByteArray wavHeader(const FormatInfo& format, std::uint32_t dataLength)
{
    QByteArray header(kWavHeaderSize, '\0');
    auto* p = reinterpret_cast<uchar*>(header.data());
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<std::uint32_t>(dataLength + 36, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<std::uint32_t>(16, p + 16);
    qToLittleEndian<std::uint16_t>(1, p + 20);
    qToLittleEndian<std::uint16_t>(format.channels, p + 22);
    qToLittleEndian<std::uint32_t>(format.sampleRate, p + 24);
    qToLittleEndian<std::uint32_t>(byteRate(format), p + 28);
    qToLittleEndian<std::uint16_t>(format.channels * 2, p + 32);
    qToLittleEndian<std::uint16_t>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<std::uint32_t>(dataLength, p + 40);
    return header;
}

bool writeAll(QFile& file, const void* data, qint64 size)
{
    return size <= 0 || file.write(static_cast<const char*>(data), size) == size;
}

bool writeLengthAt(QFile& file, qint64 offset, std::uint32_t length)
{
    uchar bytes[4];
    qToLittleEndian(length, bytes);
    return file.seek(offset) && writeAll(file, bytes, sizeof bytes);
}

// The header was written from the range before anything was read; once the last chunk is in,
// it announces what the file holds.
bool announceDataLength(QFile& file)
{
    const auto dataLength = static_cast<std::uint32_t>(file.size() - kWavHeaderSize);
    return writeLengthAt(file, 4, dataLength + 36) && writeLengthAt(file, 40, dataLength);
}

CdFailure failure(CdError kind, const char* message)
{
    return CdFailure{kind, QString::fromLatin1(message)};
}

// "Write error" with the file that took fewer bytes and the system's reason.
CdFailure writeError(const QFile& file)
{
    return CdFailure{CdError::Write,
                     QStringLiteral("%1: \"%2\". %3")
                         .arg(QLatin1String(kWriteError), file.fileName(), file.errorString())};
}

CdFailure cannotCreate(const QString& fileName, const QString& reason = {})
{
    QString message = QStringLiteral("Cannot create file \"%1\".").arg(fileName);
    if (!reason.isEmpty()) {
        message += u' ' + reason;
    }
    return CdFailure{CdError::CannotCreateFile, message};
}

// The extraction library is the one part below the component that may throw (its allocations,
// a fault inside it): its exception ends the operation as a failure of `kind`, with what the
// library said behind the component's message.
template <typename Step>
CdResult<void> callLibrary(CdError kind, const char* message, Step step)
{
    try {
        step();
        return {};
    } catch (const std::exception& error) {
        return CdFailure{kind, QStringLiteral("%1: %2").arg(QLatin1String(message),
                                                            QString::fromUtf8(error.what()))};
    }
}

// Only a complete rip takes the output's name, replacing an earlier file; any other end leaves
// nothing behind.
CdResult<void> settlePartialFile(const QString& partName, const QString& outputName,
                                 TRipOutcome outcome)
{
    if (outcome != TRipOutcome::Complete) {
        RemoveFile(partName);
        return {};
    }
    if (ReplaceFile(partName, outputName) != 0) {
        RemoveFile(partName);
        return cannotCreate(outputName);
    }
    return {};
}

QString trackName(int number)
{
    return QStringLiteral("Track%1").arg(number, 2, 10, QLatin1Char('0'));
}

CdTextEntry trackText(const CdText& text, std::int32_t position)
{
    return position >= 0 && static_cast<std::size_t>(position) < text.tracks.size()
               ? text.tracks[static_cast<std::size_t>(position)]
               : CdTextEntry{};
}

// Track i of the table of contents, with its CD-TEXT; it ends where the next track, or the
// lead-out, begins.
TTrack tocTrack(const DiscToc& disc, std::int32_t i)
{
    const auto at = static_cast<std::size_t>(i);
    const TocTrack& entry = disc.tracks[at];
    const std::int32_t next =
        at + 1 < disc.tracks.size() ? disc.tracks[at + 1].startSector : disc.leadOutSector;
    const CdTextEntry named = trackText(disc.cdText, i);
    TTrack track;
    track.TrackNum = i + 1;
    track.StartSector = entry.startSector;
    track.EndSector = next - 1;
    track.TrackType = entry.audio ? QStringLiteral("Audio") : QStringLiteral("Data");
    track.Title = named.title;
    track.Performer = named.performer;
    return track;
}

}  // namespace

QString PartialRipName(const QString& outputName)
{
    const qsizetype nameStart = outputName.lastIndexOf(u'/') + 1;
    return outputName.left(nameStart) + u'.' + outputName.mid(nameStart) + QStringLiteral(".part");
}

struct TCDRIP::RipBuffers {
    std::vector<std::uint8_t> read;
};

// A rip between opening and closing the library's ripper: the file under its partial name and
// the buffers.
struct TCDRIP::ActiveRip {
    QString outputName;
    QFile file;
    RipBuffers buffers;
    std::int32_t bufferSize = 0;  // the most bytes a chunk of the library brings
    bool wav = false;
};

TCDRIP::TCDRIP(QObject* owner, CDRipLibrary& library)
    : QObject(owner), library_(library), turns_(new QTimer(this))
{
    turns_->setInterval(0);
    connect(turns_, &QTimer::timeout, this, &TCDRIP::ripTurn);
    const CdResult<void> started =
        callLibrary(CdError::Initialization, kInitializationFailure, [this] { start(); });
    if (!started) {
        startFailure_ = started.failure();
    }
}

// A rip still open when the component goes leaves nothing behind.
TCDRIP::~TCDRIP()
{
    if (rip_) {
        abandonRip();
    }
}

void TCDRIP::start()
{
    Version_ = QString::number(library_.version());
    if (library_.findDrives()) {
        readActiveDrive();
        ReadToc();
    }
    JitterErrors_ = 0;
}

void TCDRIP::readActiveDrive()
{
    if (!readParameters()) {
        return;
    }
    CDRomNum_ = library_.activeDrive();
    JitterCorrect_ = true;
    settings_.jitterCorrection = true;
}

// Takes the library's description of the active drive and the component's copies of it; when
// the library cannot describe the drive, the settings and the copies stay as they were.
bool TCDRIP::readParameters()
{
    const std::optional<DriveInfo> drive = library_.describeActiveDrive();
    if (!drive) {
        return false;
    }
    settings_ = drive->settings;
    CDRomID_ = drive->id.left(kCdRomIdLength);
    if (!DriveTable_) {
        DriveTable_ = std::make_unique<TDriveTableClass>();
    }
    *DriveTable_ = drive->driveTable;
    OutputFormat_ = drive->settings.outputFormat;
    Speed_ = drive->speed;
    return true;
}

void TCDRIP::ReadToc()
{
    DiscText_ = {};
    DiscUnreadable_ = false;
    const DiscToc disc = library_.readToc();
    DiscUnreadable_ = disc.state == DiscState::Unreadable;
    DiscProblem_ = disc.problem;
    if (disc.state != DiscState::Read) {
        return;
    }
    DiscText_ = disc.cdText.disc;
    NumTracks_ = static_cast<std::int32_t>(disc.tracks.size());
    for (std::int32_t i = 0; i < NumTracks_; ++i) {
        Tracks_.push_back(TTrackItem{trackName(i + 1), tocTrack(disc, i)});
    }
}

CdResult<void> TCDRIP::setCDRomNum(std::int32_t drive)
{
    if (drive == CDRomNum_) {
        return {};
    }
    return selectDrive(drive);
}

// Every reading asks the drive afresh, so selecting is all it takes.
CdResult<void> TCDRIP::ReadDiscAgain(std::int32_t drive)
{
    return selectDrive(drive);
}

CdResult<void> TCDRIP::selectDrive(std::int32_t drive)
{
    return callLibrary(CdError::Initialization, kInitializationFailure, [&] {
        if (library_.selectDrive(drive) && readParameters()) {
            CDRomNum_ = drive;
        }
        ReadToc();
    });
}

void TCDRIP::setDriveTable(const TDriveTableClass& values)
{
    if (DriveTable_) {
        *DriveTable_ = values;
    }
}

void TCDRIP::setOutputFormat(TOutputFormat format)
{
    settings_.outputFormat = format;
    OutputFormat_ = format;
}

void TCDRIP::setJitterCorrect(bool value)
{
    if (value == JitterCorrect_) {
        return;
    }
    JitterCorrect_ = value;
    settings_.jitterCorrection = value;
}

CdResult<bool> TCDRIP::ApplyParameters()
{
    bool accepted = false;
    const CdResult<void> handed =
        callLibrary(CdError::SettingParameters, kErrorSettingParameters,
                    [&] { accepted = library_.applySettings(settings_); });
    if (!handed) {
        return handed.failure();
    }
    return accepted;
}

CdResult<TTrack> TCDRIP::trackAt(std::int32_t trackNumber) const
{
    if (trackNumber < 1 || trackNumber > static_cast<std::int32_t>(Tracks_.size())) {
        return CdFailure{CdError::NoSuchTrack, QStringLiteral("Track %1 is not in the list of %2")
                                                   .arg(trackNumber)
                                                   .arg(Tracks_.size())};
    }
    return Tracks_[static_cast<std::size_t>(trackNumber - 1)].Track;
}

CdResult<TRipOutcome> TCDRIP::RipTrack(std::int32_t trackNumber, const QString& fileName)
{
    if (OnBeginTrack) {
        OnBeginTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    const CdResult<TTrack> track = trackAt(trackNumber);
    if (!track) {
        return track.failure();
    }
    CdResult<TRipOutcome> outcome = RipSectors(track->StartSector, track->EndSector, fileName);
    if (outcome && OnEndTrack) {
        OnEndTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    return outcome;
}

CdResult<TRipOutcome> TCDRIP::RipSectors(std::int32_t firstSector, std::int32_t lastSector,
                                         const QString& fileName)
{
    RipStep step = beginRip(firstSector, lastSector, fileName);
    while (step && !*step) {
        step = ripNextChunk();
    }
    if (!step) {
        return step.failure();
    }
    return rip_ ? endRip(**step) : **step;
}

CdResult<void> TCDRIP::StartRipTrack(std::int32_t trackNumber, const QString& fileName)
{
    if (OnBeginTrack) {
        OnBeginTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    const CdResult<TTrack> track = trackAt(trackNumber);
    if (!track) {
        return track.failure();
    }
    const RipStep begun = beginRip(track->StartSector, track->EndSector, fileName);
    if (!begun) {
        return begun.failure();
    }
    trackEnd_ = *begun;
    trackInProgress_ = trackNumber;
    turns_->start();
    return {};
}

void TCDRIP::Abort()
{
    aborted_ = true;
    // Between two turns: the caller finds the rip cleaned up when it goes on.
    if (trackInProgress_ != 0 && !inTurn_) {
        ripTurn();
    }
}

// One chunk of the rip of StartRipTrack; a failure ends it here, as it would end RipTrack.
void TCDRIP::ripTurn()
{
    const QScopedValueRollback<bool> inTurn(inTurn_, true);
    if (!trackEnd_) {
        const RipStep step = ripNextChunk();
        if (!step) {
            failTrackInProgress(step.failure());
            return;
        }
        trackEnd_ = *step;
    }
    if (!trackEnd_) {
        return;
    }
    const CdResult<TRipOutcome> outcome = rip_ ? endRip(*trackEnd_) : *trackEnd_;
    if (!outcome) {
        failTrackInProgress(outcome.failure());
        return;
    }
    const std::int32_t trackNumber = closeTrackInProgress();
    if (OnEndTrack) {
        OnEndTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    emit trackRipped(trackNumber, *outcome);
}

void TCDRIP::failTrackInProgress(const CdFailure& failure)
{
    closeTrackInProgress();
    emit ripFailed(failure);
}

// No track is in progress from here on; answers the one that was.
std::int32_t TCDRIP::closeTrackInProgress()
{
    turns_->stop();
    trackEnd_.reset();
    return std::exchange(trackInProgress_, 0);
}

// Opens the library's ripper and the output; an outcome when the range cannot be read, nothing
// when the chunks can come. Writes under PartialRipName until the rip is complete.
TCDRIP::RipStep TCDRIP::beginRip(std::int32_t firstSector, std::int32_t lastSector,
                                 const QString& fileName)
{
    if (const CdResult<void> allowed = checkRipCanStart(); !allowed) {
        return allowed.failure();
    }
    aborted_ = false;
    const RipStep opened = openRipper(firstSector, lastSector);
    if (!opened || *opened) {
        return opened;
    }
    rip_->outputName = fileName;
    rip_->file.setFileName(PartialRipName(rip_->outputName));
    rip_->wav = WriteWAV_;
    if (const CdResult<void> output = openOutput(firstSector, lastSector); !output) {
        abandonRip();
        return output.failure();
    }
    return std::optional<TRipOutcome>();
}

// The library's ripper for the range: the rip under way once it is open.
TCDRIP::RipStep TCDRIP::openRipper(std::int32_t firstSector, std::int32_t lastSector)
{
    std::optional<std::int32_t> bufferSize;
    std::optional<TRipOutcome> unread;
    const CdResult<void> opened = callLibrary(CdError::LibraryFault, kLibraryFault, [&] {
        bufferSize = library_.openRipper(firstSector, lastSector);
        if (!bufferSize) {
            unread = unreadOutcome(TRipOutcome::Unreadable);
        }
    });
    if (!opened) {
        return opened.failure();
    }
    if (bufferSize) {
        rip_ = std::make_unique<ActiveRip>();
        rip_->bufferSize = std::max<std::int32_t>(*bufferSize, 0);
    }
    return unread;
}

// Every failure after the library's ripper is opened closes it and removes the partial file
// before it is answered.
void TCDRIP::abandonRip()
{
    const std::unique_ptr<ActiveRip> rip = std::move(rip_);
    // The failure that ended the rip is the one answered; one of the library's while closing
    // would only hide it.
    static_cast<void>(finishRip(rip->file));
    RemoveFile(rip->file.fileName());
}

// Whether the range could not be read because the disc is gone.
TRipOutcome TCDRIP::unreadOutcome(TRipOutcome withDisc)
{
    return library_.discPresent() ? withDisc : TRipOutcome::DiscRemoved;
}

// Refusals before the library's ripper is opened: nothing is created after them.
CdResult<void> TCDRIP::checkRipCanStart()
{
    // An event handler starting a rip in the middle of one would close the library's ripper
    // under the running one.
    if (rip_ || trackInProgress_ != 0) {
        return failure(CdError::RipRunning, kRipRunning);
    }
    const CdResult<bool> accepted = ApplyParameters();
    if (!accepted) {
        return accepted.failure();
    }
    if (!*accepted) {
        return failure(CdError::InvalidParameters, kInvalidCdromParameters);
    }
    if (!formatInfo(OutputFormat_)) {
        return failure(CdError::UnknownOutputFormat, kUnknownOutputFormat);
    }
    return {};
}

// Creates the file, writes the WAV header and sizes the read buffer.
CdResult<void> TCDRIP::openOutput(std::int32_t firstSector, std::int32_t lastSector)
{
    QFile& file = rip_->file;
    // Unbuffered, so a short write shows at once and not at some later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return cannotCreate(file.fileName(), file.errorString());
    }
    if (rip_->wav) {
        const FormatInfo format = *formatInfo(OutputFormat_);
        const QByteArray header = wavHeader(format, rangeBytes(format, firstSector, lastSector));
        if (!writeAll(file, header.constData(), header.size())) {
            return writeError(file);
        }
    }
    rip_->buffers.read.resize(static_cast<std::size_t>(rip_->bufferSize));
    return {};
}

// The outcome once the rip has come to its end; nothing while chunks are to come.
TCDRIP::RipStep TCDRIP::ripNextChunk()
{
    RipStep step = std::optional<TRipOutcome>();
    const CdResult<void> read =
        callLibrary(CdError::LibraryFault, kLibraryFault, [&] { step = readOneChunk(); });
    if (!read) {
        step = read.failure();
    }
    if (!step) {
        abandonRip();
    }
    return step;
}

// A chunk the library cannot read ends the rip: going on would leave a gap in the track.
TCDRIP::RipStep TCDRIP::readOneChunk()
{
    if (aborted_) {
        return std::optional(TRipOutcome::Aborted);
    }
    RipBuffers& buffers = rip_->buffers;
    const ChunkRead chunk = library_.readChunk(std::span(buffers.read));
    if (chunk.result == ReadChunkResult::Failed) {
        return std::optional(unreadOutcome(TRipOutcome::ReadError));
    }
    const std::int32_t delivered = std::clamp(chunk.bytes, 0, rip_->bufferSize);
    if (!writeAll(rip_->file, buffers.read.data(), delivered)) {
        return writeError(rip_->file);
    }
    if (chunk.result == ReadChunkResult::ChunkWithJitter) {
        logJitterError(chunk.jitter);
    }
    const std::int32_t percent = library_.percentCompleted();
    if (OnProgress) {
        OnProgress(this, static_cast<std::uint16_t>(percent));
    }
    if (chunk.result != ReadChunkResult::LastChunk) {
        return std::optional<TRipOutcome>();
    }
    if (rip_->wav && !announceDataLength(rip_->file)) {
        return writeError(rip_->file);
    }
    return std::optional(TRipOutcome::Complete);
}

// Closes the rip; only a complete one gives the file its name, replacing an earlier file.
CdResult<TRipOutcome> TCDRIP::endRip(TRipOutcome outcome)
{
    const std::unique_ptr<ActiveRip> rip = std::move(rip_);
    if (const CdResult<void> closed = finishRip(rip->file); !closed) {
        RemoveFile(rip->file.fileName());
        return closed.failure();
    }
    if (const CdResult<void> named =
            settlePartialFile(rip->file.fileName(), rip->outputName, outcome);
        !named) {
        return named.failure();
    }
    if (const CdResult<void> logged = saveJitterLog(rip->outputName); !logged) {
        return logged.failure();
    }
    return outcome;
}

void TCDRIP::logJitterError(const JitterSpan& span)
{
    JitterLog_.append(QStringLiteral("%1 %2").arg(span.first).arg(span.last));
}

// Closes the library's ripper and the file; the file is closed whatever the library does.
CdResult<void> TCDRIP::finishRip(QFile& file)
{
    const CdResult<void> closed = callLibrary(CdError::LibraryFault, kLibraryFault, [&] {
        JitterErrors_ = library_.jitterErrorCount();
        library_.closeRipper();
    });
    file.close();
    return closed;
}

CdResult<void> TCDRIP::saveJitterLog(const QString& outputName) const
{
    if (JitterLog_.isEmpty()) {
        return {};
    }
    const QString logName = ChangeFileExt(outputName, QStringLiteral("jitt"));
    if (!WriteTextFile(logName, JitterLog_.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))) {
        return cannotCreate(logName);
    }
    return {};
}

}  // namespace qvr
