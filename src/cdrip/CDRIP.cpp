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

void writeOrFail(QFile& file, const void* data, qint64 size)
{
    if (!writeAll(file, data, size)) {
        throw ECDRIPError(kWriteError);
    }
}

void writeLengthAt(QFile& file, qint64 offset, std::uint32_t length)
{
    uchar bytes[4];
    qToLittleEndian(length, bytes);
    if (!file.seek(offset)) {
        throw ECDRIPError(kWriteError);
    }
    writeOrFail(file, bytes, sizeof bytes);
}

// The header was written from the range before anything was read; once the last chunk is in,
// it announces what the file holds.
void announceDataLength(QFile& file)
{
    const auto dataLength = static_cast<std::uint32_t>(file.size() - kWavHeaderSize);
    writeLengthAt(file, 4, dataLength + 36);
    writeLengthAt(file, 40, dataLength);
}

// Only a complete rip takes the output's name, replacing an earlier file; any other end leaves
// nothing behind.
void settlePartialFile(const QString& partName, const QString& outputName, TRipOutcome outcome)
{
    if (outcome != TRipOutcome::Complete) {
        RemoveFile(partName);
        return;
    }
    if (ReplaceFile(partName, outputName) != 0) {
        RemoveFile(partName);
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\".").arg(outputName).toStdString());
    }
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
    try {
        Version_ = QString::number(library_.version());
        if (library_.findDrives()) {
            readActiveDrive();
            ReadToc();
        }
        JitterErrors_ = 0;
    } catch (...) {
        throw ECDRIPError(kInitializationFailure);
    }
}

// A rip still open when the component goes leaves nothing behind.
TCDRIP::~TCDRIP()
{
    if (rip_) {
        try {
            abandonRip();
        } catch (...) {
        }
    }
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

void TCDRIP::setCDRomNum(std::int32_t drive)
{
    if (drive != CDRomNum_) {
        selectDrive(drive);
    }
}

// Every reading asks the drive afresh, so selecting is all it takes.
void TCDRIP::ReadDiscAgain(std::int32_t drive)
{
    selectDrive(drive);
}

void TCDRIP::selectDrive(std::int32_t drive)
{
    try {
        if (library_.selectDrive(drive) && readParameters()) {
            CDRomNum_ = drive;
        }
        ReadToc();
    } catch (...) {
        throw ECDRIPError(kInitializationFailure);
    }
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

bool TCDRIP::ApplyParameters()
{
    try {
        return library_.applySettings(settings_);
    } catch (...) {
        throw ECDRIPError(kErrorSettingParameters);
    }
}

const TTrack& TCDRIP::trackAt(std::int32_t trackNumber) const
{
    if (trackNumber < 1 || trackNumber > static_cast<std::int32_t>(Tracks_.size())) {
        throw std::out_of_range(
            QStringLiteral("List index out of bounds (%1)").arg(trackNumber - 1).toStdString());
    }
    return Tracks_[static_cast<std::size_t>(trackNumber - 1)].Track;
}

TRipOutcome TCDRIP::RipTrack(std::int32_t trackNumber, const QString& fileName)
{
    if (OnBeginTrack) {
        OnBeginTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    const TTrack track = trackAt(trackNumber);
    const TRipOutcome outcome = RipSectors(track.StartSector, track.EndSector, fileName);
    if (OnEndTrack) {
        OnEndTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    return outcome;
}

TRipOutcome TCDRIP::RipSectors(std::int32_t firstSector, std::int32_t lastSector,
                               const QString& fileName)
{
    std::optional<TRipOutcome> outcome = beginRip(firstSector, lastSector, fileName);
    while (!outcome) {
        outcome = ripNextChunk();
    }
    return rip_ ? endRip(*outcome) : *outcome;
}

void TCDRIP::StartRipTrack(std::int32_t trackNumber, const QString& fileName)
{
    if (OnBeginTrack) {
        OnBeginTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    const TTrack track = trackAt(trackNumber);
    trackEnd_ = beginRip(track.StartSector, track.EndSector, fileName);
    trackInProgress_ = trackNumber;
    turns_->start();
}

void TCDRIP::Abort()
{
    aborted_ = true;
    // Between two turns: the caller finds the rip cleaned up when it goes on.
    if (trackInProgress_ != 0 && !inTurn_) {
        ripTurn();
    }
}

// One chunk of the rip of StartRipTrack; an error ends it here, as it would leave RipTrack.
void TCDRIP::ripTurn()
{
    const QScopedValueRollback<bool> inTurn(inTurn_, true);
    TRipOutcome outcome = TRipOutcome::Aborted;
    try {
        if (!trackEnd_) {
            trackEnd_ = ripNextChunk();
        }
        if (!trackEnd_) {
            return;
        }
        outcome = rip_ ? endRip(*trackEnd_) : *trackEnd_;
    } catch (const std::exception& error) {
        closeTrackInProgress();
        emit ripFailed(QString::fromUtf8(error.what()));
        return;
    }
    const std::int32_t trackNumber = closeTrackInProgress();
    if (OnEndTrack) {
        OnEndTrack(this, static_cast<std::uint16_t>(trackNumber));
    }
    emit trackRipped(trackNumber, outcome);
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
std::optional<TRipOutcome> TCDRIP::beginRip(std::int32_t firstSector, std::int32_t lastSector,
                                            const QString& fileName)
{
    checkRipCanStart();
    aborted_ = false;
    const std::optional<std::int32_t> bufferSize = library_.openRipper(firstSector, lastSector);
    if (!bufferSize) {
        return unreadOutcome(TRipOutcome::Unreadable);
    }
    rip_ = std::make_unique<ActiveRip>();
    rip_->outputName = fileName;
    rip_->file.setFileName(PartialRipName(rip_->outputName));
    rip_->bufferSize = std::max<std::int32_t>(*bufferSize, 0);
    rip_->wav = WriteWAV_;
    abandonOnError([&] { openOutput(firstSector, lastSector); });
    return std::nullopt;
}

// Every failure after the library's ripper is opened closes it and removes the partial file
// before the error goes on.
template <typename Step>
void TCDRIP::abandonOnError(Step step)
{
    try {
        step();
    } catch (...) {
        abandonRip();
        throw;
    }
}

void TCDRIP::abandonRip()
{
    const std::unique_ptr<ActiveRip> rip = std::move(rip_);
    finishRip(rip->file);
    RemoveFile(rip->file.fileName());
}

// Whether the range could not be read because the disc is gone.
TRipOutcome TCDRIP::unreadOutcome(TRipOutcome withDisc)
{
    return library_.discPresent() ? withDisc : TRipOutcome::DiscRemoved;
}

// Refusals before the library's ripper is opened: nothing is created after them.
void TCDRIP::checkRipCanStart()
{
    // An event handler starting a rip in the middle of one would close the library's ripper
    // under the running one.
    if (rip_ || trackInProgress_ != 0) {
        throw ECDRIPError(kRipRunning);
    }
    if (!ApplyParameters()) {
        throw ECDRIPError(kInvalidCdromParameters);
    }
    if (!formatInfo(OutputFormat_)) {
        throw ECDRIPError(kUnknownOutputFormat);
    }
}

// Creates the file, writes the WAV header and sizes the read buffer.
void TCDRIP::openOutput(std::int32_t firstSector, std::int32_t lastSector)
{
    QFile& file = rip_->file;
    // Unbuffered, so a short write shows at once and not at some later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(file.fileName(), file.errorString())
                                .toStdString());
    }
    if (rip_->wav) {
        const FormatInfo format = *formatInfo(OutputFormat_);
        const QByteArray header = wavHeader(format, rangeBytes(format, firstSector, lastSector));
        writeOrFail(file, header.constData(), header.size());
    }
    rip_->buffers.read.resize(static_cast<std::size_t>(rip_->bufferSize));
}

// The outcome once the rip has come to its end; nothing while chunks are to come.
std::optional<TRipOutcome> TCDRIP::ripNextChunk()
{
    std::optional<TRipOutcome> outcome;
    abandonOnError([&] { outcome = readOneChunk(); });
    return outcome;
}

// A chunk the library cannot read ends the rip: going on would leave a gap in the track.
std::optional<TRipOutcome> TCDRIP::readOneChunk()
{
    if (aborted_) {
        return TRipOutcome::Aborted;
    }
    RipBuffers& buffers = rip_->buffers;
    const ChunkRead chunk = library_.readChunk(std::span(buffers.read));
    if (chunk.result == ReadChunkResult::Failed) {
        return unreadOutcome(TRipOutcome::ReadError);
    }
    const std::int32_t delivered = std::clamp(chunk.bytes, 0, rip_->bufferSize);
    writeOrFail(rip_->file, buffers.read.data(), delivered);
    if (chunk.result == ReadChunkResult::ChunkWithJitter) {
        logJitterError(chunk.jitter);
    }
    const std::int32_t percent = library_.percentCompleted();
    if (OnProgress) {
        OnProgress(this, static_cast<std::uint16_t>(percent));
    }
    if (chunk.result != ReadChunkResult::LastChunk) {
        return std::nullopt;
    }
    if (rip_->wav) {
        announceDataLength(rip_->file);
    }
    return TRipOutcome::Complete;
}

// Closes the rip; only a complete one gives the file its name, replacing an earlier file.
TRipOutcome TCDRIP::endRip(TRipOutcome outcome)
{
    const std::unique_ptr<ActiveRip> rip = std::move(rip_);
    finishRip(rip->file);
    settlePartialFile(rip->file.fileName(), rip->outputName, outcome);
    saveJitterLog(rip->outputName);
    return outcome;
}

void TCDRIP::logJitterError(const JitterSpan& span)
{
    JitterLog_.append(QStringLiteral("%1 %2").arg(span.first).arg(span.last));
}

// Closes the library's ripper and the file.
void TCDRIP::finishRip(QFile& file)
{
    JitterErrors_ = library_.jitterErrorCount();
    library_.closeRipper();
    file.close();
}

void TCDRIP::saveJitterLog(const QString& outputName) const
{
    if (JitterLog_.isEmpty()) {
        return;
    }
    const QString logName = ChangeFileExt(outputName, QStringLiteral("jitt"));
    if (!WriteTextFile(logName, JitterLog_.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))) {
        throw EFCreateError(
            QStringLiteral("Cannot create file \"%1\".").arg(logName).toStdString());
    }
}

}  // namespace qvr
