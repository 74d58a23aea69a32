#include "CdioRipLibrary.h"

#include "cdrip/CueImage.h"
#include "platform/NativePath.h"
#include "platform/Text.h"

#include <QLoggingCategory>
#include <QStringDecoder>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/mmc_ll_cmds.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cdio/version.h>

#include <algorithm>
#include <cstring>

namespace qvr {
namespace {

Q_LOGGING_CATEGORY(cdioLog, "quorvane.cdio", QtWarningMsg)

constexpr int kReadRetries = 20;
constexpr int kKilobytesPerSpeedUnit = 176;  // 1x = 75 sectors of 2352 bytes per second

struct CdioDestroyer {
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
struct DriveCloser {
    // The CdIo_t below the drive has its own owner.
    void operator()(cdrom_drive_t* drive) const { cdio_cddap_close_no_free_cdio(drive); }
};
struct ParanoiaFreer {
    void operator()(cdrom_paranoia_t* paranoia) const { cdio_paranoia_free(paranoia); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioDestroyer>;
using DriveHandle = std::unique_ptr<cdrom_drive_t, DriveCloser>;
using ParanoiaHandle = std::unique_ptr<cdrom_paranoia_t, ParanoiaFreer>;

// libcdio's messages, for whoever switches the category on; the failing call itself tells the
// program what went wrong.
void routeCdioMessage(cdio_log_level_t level, const char message[])
{
    qCDebug(cdioLog, "libcdio (%d): %s", static_cast<int>(level), message);
}

// libcdio's own handler ends the process on every error message, and a damaged CUE sheet, an
// image whose data is a folder or a disc taken out during a rip all produce one. The handler is
// process-wide by libcdio's design, so it is installed once, here, before the first libcdio call
// of the process's first library.
void installCdioLogHandler()
{
    static const bool installed = [] {
        cdio_log_set_handler(routeCdioMessage);
        return true;
    }();
    Q_UNUSED(installed);
}

// A system drive; images are read by CueImage.
CdioHandle openDrive(const CdioRipLibrary::Drive& drive)
{
    return CdioHandle(cdio_open(drive.path.c_str(), DRIVER_DEVICE));
}

std::unique_ptr<CueImage> openImage(const CdioRipLibrary::Drive& drive, ImageProblem& problem)
{
    return CueImage::open(fromNativeBytes(drive.path), problem);
}

std::string trimmed(const char* text)
{
    std::string s(text);
    s.erase(s.find_last_not_of(' ') + 1);
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

// Vendor and model as the drive reports them, with a blank after them for the drive list to
// put its "- " behind; the path when the drive tells nothing.
std::string identification(CdIo_t* cdio, const std::string& path)
{
    cdio_hwinfo_t info{};
    std::string id;
    if (cdio != nullptr && cdio_get_hwinfo(cdio, &info)) {
        id = trimmed(info.psz_vendor);
        const std::string model = trimmed(info.psz_model);
        id += (id.empty() || model.empty() ? "" : " ") + model;
    }
    return (id.empty() ? path : id) + ' ';
}

// The drive's highest read speed in CD speed units, from its capabilities page; 0 when unknown.
std::int32_t readSpeed(CdIo_t* cdio)
{
    std::uint8_t page[64] = {};
    if (cdio == nullptr || mmc_mode_sense_10(cdio, page, sizeof page, CDIO_MMC_CAPABILITIES_PAGE) !=
                               DRIVER_OP_SUCCESS) {
        return 0;
    }
    const int start = 8 + ((page[6] << 8) | page[7]);
    if (start + 10 > static_cast<int>(sizeof page)) {
        return 0;
    }
    return ((page[start + 8] << 8) | page[start + 9]) / kKilobytesPerSpeedUnit;
}

DriveInfo describe(const CdioRipLibrary::Drive& drive)
{
    const CdioHandle cdio = drive.image ? nullptr : openDrive(drive);
    DriveInfo info;
    info.id = drive.image ? QStringLiteral("CUE image ")
                          : QString::fromStdString(identification(cdio.get(), drive.path));
    info.speed = drive.image ? 0 : readSpeed(cdio.get());
    // A generic MMC drive, little-endian audio, no mode switching, density 0.
    info.driveTable.SetSpeed = drive.image ? TSetSpeed::SPEEDNONE : TSetSpeed::SPEEDMMC;
    info.driveTable.Endian = TEndian::LITTLEENDIAN;
    info.driveTable.Atapi = !drive.image;
    // Audio CDs hold 44.1 kHz stereo.
    info.settings = DriveSettings{true, TOutputFormat::STEREO44100};
    return info;
}

// Paranoia reads audio only; on a data track it would retry every sector in vain.
bool startsInAudio(CdIo_t* cdio, std::int32_t sector)
{
    const track_t track = cdio_get_track(cdio, sector);
    return track != CDIO_INVALID_TRACK && cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO;
}

bool correctionOn(const CdioRipLibrary::Drive& drive)
{
    return !drive.info || drive.info->settings.jitterCorrection;
}

bool isCorrection(paranoia_cb_mode_t event)
{
    switch (event) {
        case PARANOIA_CB_FIXUP_EDGE:
        case PARANOIA_CB_FIXUP_ATOM:
        case PARANOIA_CB_SCRATCH:
        case PARANOIA_CB_REPAIR:
        case PARANOIA_CB_SKIP:
        case PARANOIA_CB_DRIFT:
        case PARANOIA_CB_FIXUP_DROPPED:
        case PARANOIA_CB_FIXUP_DUPED:
        case PARANOIA_CB_READERR: return true;
        default: return false;
    }
}

// Bytes as UTF-8 when they are valid UTF-8, else as Latin-1.
QString utf8OrLatin1(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QString cdTextField(const cdtext_t* cdText, cdtext_field_t field, track_t track)
{
    const char* raw = cdtext_get_const(cdText, field, track);
    return raw == nullptr ? QString() : TrimBlanksAndControls(utf8OrLatin1(QByteArray(raw)));
}

CdTextEntry cdTextEntry(const cdtext_t* cdText, track_t track)
{
    return CdTextEntry{cdTextField(cdText, CDTEXT_FIELD_TITLE, track),
                       cdTextField(cdText, CDTEXT_FIELD_PERFORMER, track)};
}

// Track 0 is the disc itself.
CdText readCdText(CdIo_t* cdio, track_t first, track_t count)
{
    const cdtext_t* cdText = cdio_get_cdtext(cdio);
    if (cdText == nullptr) {
        return {};
    }
    CdText text{cdTextEntry(cdText, 0), {}};
    for (track_t t = first; t < first + count; ++t) {
        text.tracks.push_back(cdTextEntry(cdText, t));
    }
    return text;
}

// The tracks and the lead-out; no tracks when the drive reports no table of contents.
DiscToc tableOfContents(CdIo_t* cdio)
{
    DiscToc toc;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        return toc;
    }
    for (track_t t = first; t < first + count; ++t) {
        toc.tracks.push_back(TocTrack{cdio_get_track_lsn(cdio, t),
                                      cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO});
    }
    toc.leadOutSector = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    return toc;
}

DiscToc withoutTracks(DiscState state)
{
    DiscToc toc;
    toc.state = state;
    return toc;
}

// libcdio accepts some sheets it could not fully read, such as a TRACK without an INDEX, which
// starts before the disc. The lead-out is not judged: behind a short image file it comes early,
// and the tracks it cuts fail when they are ripped.
bool tracksInOrder(const std::vector<TocTrack>& tracks)
{
    std::int32_t previous = -1;
    for (const TocTrack& track : tracks) {
        if (track.startSector <= previous) {
            return false;
        }
        previous = track.startSector;
    }
    return true;
}

// An image whose data file is empty or cut before its first audio track still gives a table of
// contents; only reading tells.
bool firstAudioSectorReadable(CueImage& image, const std::vector<TocTrack>& tracks)
{
    const auto audio = std::find_if(tracks.begin(), tracks.end(),
                                    [](const TocTrack& track) { return track.audio; });
    if (audio == tracks.end()) {
        return true;
    }
    std::uint8_t sector[CdioRipLibrary::kSectorSize];
    return image.read(audio->startSector, 1, sector);
}

DiscToc imageToc(const CdioRipLibrary::Drive& drive)
{
    ImageProblem problem;
    const std::unique_ptr<CueImage> image = openImage(drive, problem);
    DiscToc toc = image ? image->toc() : withoutTracks(DiscState::Unreadable);
    if (image && (!tracksInOrder(toc.tracks) || !firstAudioSectorReadable(*image, toc.tracks))) {
        toc = withoutTracks(DiscState::Unreadable);
        problem = {ImageFault::BadSheet, fromNativeBytes(drive.path)};
    }
    toc.problem = problem;
    return toc;
}

}  // namespace

struct CdioRipLibrary::RipSession {
    CdioHandle cdio;
    DriveHandle drive;
    ParanoiaHandle paranoia;
    std::unique_ptr<CueImage> image;  // instead of the three above, for an image
    std::int32_t first = 0;
    std::int32_t last = 0;
    std::int32_t next = 0;
    bool correcting = false;
    // Corrections and hard read errors paranoia reported during the chunk being read.
    int corrections = 0;
    int readErrors = 0;
    std::uint32_t firstCorrected = 0;
    std::uint32_t lastCorrected = 0;
};

namespace {

// The range must begin on an audio track and end before the lead-out.
bool readableRange(CdIo_t* cdio, std::int32_t first, std::int32_t last)
{
    return startsInAudio(cdio, first) && last < cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
}

// The range must begin on an audio track of the image and end before its lead-out.
bool readableImageRange(const DiscToc& toc, std::int32_t first, std::int32_t last)
{
    const auto behind = std::upper_bound(
        toc.tracks.begin(), toc.tracks.end(), first,
        [](std::int32_t sector, const TocTrack& track) { return sector < track.startSector; });
    return behind != toc.tracks.begin() && std::prev(behind)->audio && last < toc.leadOutSector;
}

// An image is read as it is: no paranoia, nothing to correct.
std::unique_ptr<CdioRipLibrary::RipSession> openImageSession(const CdioRipLibrary::Drive& drive,
                                                             std::int32_t first, std::int32_t last)
{
    auto session = std::make_unique<CdioRipLibrary::RipSession>();
    ImageProblem problem;
    session->image = openImage(drive, problem);
    if (!session->image || !readableImageRange(session->image->toc(), first, last)) {
        return nullptr;
    }
    session->first = session->next = first;
    session->last = last;
    return session;
}

// Opens the drive for paranoia, positioned at the first sector; nothing when it cannot be read.
std::unique_ptr<CdioRipLibrary::RipSession> openSession(const CdioRipLibrary::Drive& drive,
                                                        std::int32_t first, std::int32_t last)
{
    if (drive.image) {
        return openImageSession(drive, first, last);
    }
    auto session = std::make_unique<CdioRipLibrary::RipSession>();
    session->cdio = openDrive(drive);
    if (!session->cdio || !readableRange(session->cdio.get(), first, last)) {
        return nullptr;
    }
    session->drive.reset(
        cdio_cddap_identify_cdio(session->cdio.get(), CDDA_MESSAGE_FORGETIT, nullptr));
    if (!session->drive) {
        return nullptr;
    }
    if (cdio_cddap_open(session->drive.get()) != 0) {
        return nullptr;
    }
    session->paranoia.reset(cdio_paranoia_init(session->drive.get()));
    if (!session->paranoia) {
        return nullptr;
    }
    session->correcting = correctionOn(drive);
    cdio_paranoia_modeset(
        session->paranoia.get(),
        session->correcting ? PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP : PARANOIA_MODE_DISABLE);
    cdio_paranoia_seek(session->paranoia.get(), first, SEEK_SET);
    session->first = session->next = first;
    session->last = last;
    return session;
}

// Paranoia's callback carries no context; only one rip runs at a time.
CdioRipLibrary::RipSession* reading = nullptr;

void paranoiaEvent(long position, paranoia_cb_mode_t event)
{
    if (reading == nullptr || !isCorrection(event)) {
        return;
    }
    reading->readErrors += event == PARANOIA_CB_READERR ? 1 : 0;
    const auto sector = static_cast<std::uint32_t>(std::max(0L, position) / CD_FRAMEWORDS);
    if (reading->corrections++ == 0) {
        reading->firstCorrected = reading->lastCorrected = sector;
    }
    reading->firstCorrected = std::min(reading->firstCorrected, sector);
    reading->lastCorrected = std::max(reading->lastCorrected, sector);
}

}  // namespace

CdioRipLibrary::CdioRipLibrary(QStringList images) : images_(std::move(images))
{
    installCdioLogHandler();
}

CdioRipLibrary::~CdioRipLibrary() = default;

std::int32_t CdioRipLibrary::version()
{
    return static_cast<std::int32_t>(libcdio_version_num);
}

bool CdioRipLibrary::findDrives()
{
    session_.reset();
    drives_.clear();
    active_ = 0;
    if (char** devices = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** device = devices; *device != nullptr; ++device) {
            drives_.push_back(Drive{*device, false, std::nullopt});
        }
        cdio_free_device_list(devices);
    }
    for (const QByteArray& image : qgetenv(kImagesVariable).split(':')) {
        if (!image.isEmpty()) {
            drives_.push_back(Drive{image.toStdString(), true, std::nullopt});
        }
    }
    for (const QString& image : images_) {
        drives_.push_back(Drive{toNativeBytes(image), true, std::nullopt});
    }
    return true;
}

QStringList CdioRipLibrary::drivePaths() const
{
    QStringList paths;
    for (const Drive& drive : drives_) {
        paths.append(fromNativeBytes(drive.path));
    }
    return paths;
}

CdioRipLibrary::Drive* CdioRipLibrary::active()
{
    return active_ >= 0 && active_ < static_cast<std::int32_t>(drives_.size())
               ? &drives_[static_cast<std::size_t>(active_)]
               : nullptr;
}

CdioRipLibrary::Drive* CdioRipLibrary::describedActive()
{
    Drive* drive = active();
    if (drive != nullptr && !drive->info) {
        drive->info = describe(*drive);
    }
    return drive;
}

std::int32_t CdioRipLibrary::activeDrive()
{
    return active_;
}

bool CdioRipLibrary::selectDrive(std::int32_t drive)
{
    if (drive < 0 || drive >= static_cast<std::int32_t>(drives_.size())) {
        return false;
    }
    active_ = drive;
    return true;
}

std::optional<DriveInfo> CdioRipLibrary::describeActiveDrive()
{
    const Drive* drive = describedActive();
    return drive != nullptr ? drive->info : std::nullopt;
}

bool CdioRipLibrary::applySettings(const DriveSettings& settings)
{
    Drive* drive = describedActive();
    if (drive == nullptr || settings.outputFormat > TOutputFormat::MONO11025) {
        return false;
    }
    drive->info->settings = settings;
    return true;
}

// An image is its own disc: one that does not open or lists no track is damaged, while a drive
// that lists nothing holds no disc.
DiscToc CdioRipLibrary::readToc()
{
    const Drive* drive = active();
    if (drive != nullptr && drive->image) {
        return imageToc(*drive);
    }
    const CdioHandle cdio = drive != nullptr ? openDrive(*drive) : nullptr;
    DiscToc toc = cdio ? tableOfContents(cdio.get()) : DiscToc{};
    if (toc.tracks.empty()) {
        return withoutTracks(DiscState::NoDisc);
    }
    if (!tracksInOrder(toc.tracks)) {
        return withoutTracks(DiscState::Unreadable);
    }
    toc.state = DiscState::Read;
    const auto count = static_cast<track_t>(toc.tracks.size());
    toc.cdText = readCdText(cdio.get(), cdio_get_first_track_num(cdio.get()), count);
    return toc;
}

// A fresh look, beside the rip's own handle: an image whose file is gone or a drive that lost
// its disc lists no tracks.
bool CdioRipLibrary::discPresent()
{
    const Drive* drive = active();
    if (drive != nullptr && drive->image) {
        ImageProblem problem;
        return openImage(*drive, problem) != nullptr;
    }
    const CdioHandle cdio = drive != nullptr ? openDrive(*drive) : nullptr;
    return cdio && cdio_get_first_track_num(cdio.get()) != CDIO_INVALID_TRACK;
}

std::optional<std::int32_t> CdioRipLibrary::openRipper(std::int32_t firstSector,
                                                       std::int32_t lastSector)
{
    closeRipper();
    jitterErrors_ = 0;
    const Drive* drive = active();
    if (drive == nullptr || firstSector < 0 || lastSector < firstSector) {
        return std::nullopt;
    }
    session_ = openSession(*drive, firstSector, lastSector);
    if (!session_) {
        return std::nullopt;
    }
    return kSectorsPerChunk * kSectorSize;
}

ChunkRead CdioRipLibrary::readChunk(std::span<std::uint8_t> destination)
{
    // Without an open ripper there is nothing more to deliver; a loop waiting for the end ends.
    if (!session_ || session_->next > session_->last) {
        return ChunkRead{ReadChunkResult::LastChunk, 0, {}};
    }
    RipSession& s = *session_;
    const std::int32_t sectors = std::min(kSectorsPerChunk, s.last - s.next + 1);
    if (destination.size() < static_cast<std::size_t>(sectors) * kSectorSize) {
        return ChunkRead{ReadChunkResult::Failed, 0, {}};  // no room: nothing is read
    }
    if (s.image) {
        const bool read = s.image->read(s.next, sectors, destination.data());
        s.next += sectors;
        return read ? ChunkRead{s.next > s.last ? ReadChunkResult::LastChunk
                                                : ReadChunkResult::Chunk,
                                sectors * kSectorSize,
                                {}}
                    : ChunkRead{ReadChunkResult::Failed, 0, {}};
    }
    s.corrections = 0;
    s.readErrors = 0;
    reading = &s;
    bool failed = false;
    for (std::int32_t i = 0; i < sectors && !failed; ++i) {
        const std::int16_t* samples =
            cdio_paranoia_read_limited(s.paranoia.get(), paranoiaEvent, kReadRetries);
        failed = samples == nullptr;
        if (!failed) {
            std::memcpy(destination.data() + i * kSectorSize, samples, kSectorSize);
        }
    }
    reading = nullptr;
    s.next += sectors;
    // Without correction paranoia puts silence where the drive could not read.
    failed = failed || (!s.correcting && s.readErrors > 0);
    if (failed) {
        // Go on behind the unreadable chunk, so the rip still comes to its end.
        cdio_paranoia_seek(s.paranoia.get(), s.next, SEEK_SET);
        return ChunkRead{ReadChunkResult::Failed, 0, {}};
    }
    const std::int32_t bytes = sectors * kSectorSize;
    if (s.corrections > 0) {
        ++jitterErrors_;
        // A last chunk with corrections: the next call answers LastChunk.
        return ChunkRead{ReadChunkResult::ChunkWithJitter, bytes,
                         JitterSpan{s.firstCorrected, s.lastCorrected}};
    }
    return ChunkRead{
        s.next > s.last ? ReadChunkResult::LastChunk : ReadChunkResult::Chunk, bytes, {}};
}

std::int32_t CdioRipLibrary::percentCompleted()
{
    if (!session_) {
        return 0;
    }
    const RipSession& s = *session_;
    const std::int64_t total = std::int64_t{s.last} - s.first + 1;
    return static_cast<std::int32_t>((std::int64_t{s.next} - s.first) * 100 / total);
}

std::int32_t CdioRipLibrary::jitterErrorCount()
{
    return jitterErrors_;
}

void CdioRipLibrary::closeRipper()
{
    session_.reset();
}

}  // namespace qvr
