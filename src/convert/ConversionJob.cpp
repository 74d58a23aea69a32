#include "ConversionJob.h"

#include "AudioFormats.h"
#include "Estimate.h"
#include "FileGathering.h"
#include "FileListModel.h"
#include "FollowedDecode.h"
#include "JobTags.h"
#include "PartialOutputs.h"
#include "Resume.h"
#include "StretchSigns.h"
#include "TagCopy.h"
#include "WorkFiles.h"
#include "platform/FileSystem.h"
#include "platform/PathStyle.h"
#include "platform/Storage.h"

#include <QCoreApplication>

#include <cerrno>

namespace qvr {
namespace {

constexpr Milliseconds kGrowthCheck(500);
constexpr Milliseconds kSettlePause(1000);
const QString* const kWorkFiles[] = {&kErrorFile, &kInputWav, &kOutputWav, &kProgressFile,
                                     &kProgressCopy};

// Where the encoder writes before the output has been checked: hidden, in the output folder (so
// the final move is one step), short whatever the output's name. A run killed before it could
// remove it leaves it to the next run.
QString temporaryName(const QString& target, int row)
{
    return PartialOutputName(target, QCoreApplication::applicationPid(), row);
}

// The source ends before its header says: its last packet was cut, or it plays for less than the
// length its container states (a guess from the bit rate does not count).
bool sourceEndsEarly(const AudioFacts& header, const AudioFacts& decoded)
{
    if (decoded.endCutShort) {
        return true;
    }
    return !header.lengthEstimated && header.seconds > 0 &&
           decoded.seconds < header.seconds - std::max(0.5, header.seconds * 0.02);
}

}  // namespace

RunShared::RunShared(const ConversionSettings& settings_, const CdRun* cd_, RunCounters& counters_,
                     FileListModel& files_, RunView& view_, const Clock& clock_,
                     ToolProcesses& processes_, Host& host_)
    : settings(settings_),
      cd(cd_),
      counters(counters_),
      files(files_),
      view(view_),
      clock(clock_),
      processes(processes_),
      host(host_),
      outputNames(NamesIgnoreCase)
{
}

ConversionJob::ConversionJob(RunShared& run, QString workFolder, QObject* parent)
    : QObject(parent),
      run_(run),
      workFolder_(std::move(workFolder)),
      waits_(run.clock, run.counters.abortRequested),
      tools_(workFolder_, run.processes, waits_, run.host, run.reportedTools,
             [this](int row, const JobStep& step) { run_.files.setStep(row, step); })
{
}

// A job that goes while it works leaves nothing running and nothing half-written.
ConversionJob::~ConversionJob()
{
    waits_.cancel();
    sourceDecoding_.reset();
    keptDecoding_.reset();
    if (busy()) {
        tools_.endRunning();
        if (stretch_ != kNoTool) {
            run_.processes.end(stretch_);
        }
        if (!temporary_.isEmpty()) {
            RemoveFile(temporary_);
        }
        deleteWorkFiles();
    }
}

QString ConversionJob::workFile(const QString& name) const
{
    return workFolder_ + name;
}

JobResult ConversionJob::failure(FailureReason reason)
{
    return {JobOutcome::Failed, reason, QString(), 0};
}

const ConversionJob::Reasons ConversionJob::kOutputReasons{FailureReason::OutputIncomplete,
                                                           FailureReason::OutputDamaged};

std::function<void()> ConversionJob::wakeWaits()
{
    return [this] { waits_.wake(); };
}

void ConversionJob::start(const QString& source, int row)
{
    row_ = row;
    source_ = source;
    tries_ = 1;
    target_.clear();
    temporary_.clear();
    tagged_ = false;
    stretch_ = kNoTool;
    seconds_ = 0;
    // The count of failed tries stays in view for the whole run.
    const int errors = run_.counters.errorCount;
    run_.view.showErrorText(errors > 0 ? QStringLiteral("Errors %1").arg(errors) : QString(),
                            errors > 0);
    startTry();
    if (Failure failed = prepare(source)) {
        // Answered from the event loop, like every other end of a job.
        waits_.pause(Milliseconds(0),
                     [this, result = *failed](JobWaits::Stop) { endWithoutOutput(result); });
        return;
    }
    if (mayKeepOutput()) {
        checkKeptOutput();
        return;
    }
    runTry();
}

bool ConversionJob::mayKeepOutput() const
{
    const FrequencyState& frequency = run_.settings.frequency;
    return run_.settings.resume &&
           OutputIsCurrent(source_, target_, int(std::lround(frequency.TargetFrequency)));
}

void ConversionJob::checkKeptOutput()
{
    keptDecoding_ =
        std::make_unique<BackgroundDecode>(target_, BackgroundDecode::Split::InHalves, wakeWaits());
    waits_.until([this] { return keptDecoding_->ready() && sourceDecoding_->ready(); },
                 stepDeadline(), [this](JobWaits::Stop stop) { keptOutputChecked(stop); });
}

void ConversionJob::keptOutputChecked(JobWaits::Stop stop)
{
    switch (stop) {
        case JobWaits::Stop::Done: break;
        case JobWaits::Stop::TimedOut: endWithoutOutput(JobResult{JobOutcome::TimedOut}); return;
        case JobWaits::Stop::Aborted: endWithoutOutput(JobResult{JobOutcome::Aborted}); return;
    }
    const AudioFacts output = keptDecoding_->facts();
    const AudioFacts& source = sourceDecoding_->facts();
    keptDecoding_.reset();
    const FrequencyState& frequency = run_.settings.frequency;
    const double lengthRatio = frequency.ReferencePitch / double(frequency.TargetFrequency);
    if (source.complete && output.complete &&
        LengthMatches(output.seconds, source.seconds * lengthRatio)) {
        sourceDecoding_.reset();
        const QString kept = target_;
        target_.clear();
        end(JobResult{JobOutcome::Kept, FailureReason::None, kept});
        return;
    }
    // A damaged or cut output of ours is made again; the source's decode goes on being used.
    runTry();
}

// Before any tool runs: the input must be a regular file the decoders can open, and the output
// needs a name of its own that the file system can hold.
ConversionJob::Failure ConversionJob::prepare(const QString& source)
{
    if (!IsRegularFile(source)) {
        // A pipe or device is there; a name that leads nowhere (a dangling link) is no file.
        return failure(FileExists(source) ? FailureReason::NotRegularFile
                                          : FailureReason::NotSupportedFile);
    }
    if (!IsSupportedSource(source)) {
        return failure(FailureReason::NotSupportedFile);
    }
    const ConversionSettings& settings = run_.settings;
    QString name = run_.files.row(row_).outputName;
    if (run_.cd != nullptr) {
        name = WithMp3Extension(name);
    }
    const QString folder = settings.paths.outputFolderFor(
        source, settings.frequency.FrequencyText, run_.cd != nullptr ? run_.cd->folder : QString());
    name = claimOwnName(folder, name);
    run_.files.setOutputName(row_, name);
    if (name.isEmpty()) {
        return failure(FailureReason::OutputNotWritable);
    }
    target_ = folder + name;
    if (NameTooLong(target_)) {
        return failure(FailureReason::NameTooLong);
    }
    temporary_ = folder + temporaryName(target_, row_);
    sourceFacts_ = ProbeAudio(source);
    if (!sourceFacts_.readable) {
        return failure(FailureReason::DecoderFailed);
    }
    sourceSize_ = FileSize64(source);
    sourceTime_ = ModificationTime(source);
    sourceDecoded_ = false;
    sourceDecoding_ =
        std::make_unique<BackgroundDecode>(source, BackgroundDecode::Split::Whole, wakeWaits());
    decoder_ = KindRowOf(KindOf(source)).decoder;
    // Only a WAV the time-stretch tool reads exactly is copied; any other (floating point,
    // A-law, ADPCM, RF64, ...) is decoded into integer samples first.
    if (decoder_ == KindTool::Copy && !IsPlainPcmWav(source)) {
        decoder_ = KindTool::Converter;
    }
    return std::nullopt;
}

// A file at the name that does not carry our tuning marker is not an output of ours: it stays
// as it is, and the output takes the next free numbered name instead.
QString ConversionJob::claimOwnName(const QString& folder, const QString& name)
{
    nameTaken_ = false;
    QString claimed = run_.outputNames.claim(folder, name);
    while (!claimed.isEmpty() && isForeign(folder + claimed)) {
        nameTaken_ = true;
        claimed = run_.outputNames.claim(folder, name);
    }
    return claimed;
}

bool ConversionJob::isForeign(const QString& path)
{
    if (DirectoryExists(path)) {
        return true;
    }
    return (FileExists(path) || !SymbolicLinkTarget(path).isEmpty()) &&
           (!IsRegularFile(path) || ReadTuning(path).isEmpty());
}

void ConversionJob::startTry()
{
    emit tryStarted();
    run_.host.setBusyCursor(true);
    startTime_ = run_.clock.now();
    const int raw = RawEstimateSeconds(FileSize64(source_), KindOf(source_), run_.settings.pcSpeed);
    progress_.restart(ProgressScaleFrom(raw));
    progressValue_ = 0;
    estimateSeconds_ = EstimateSecondsFrom(raw);
}

bool ConversionJob::stretchWriting() const
{
    return FileExists(workFile(kOutputWav));
}

bool ConversionJob::progressSettled() const
{
    return RowProgress::guessedToTheEnd(progressValue_) || stretchWriting();
}

void ConversionJob::runTry()
{
    decoding_.reset();
    inputChecking_ = false;
    deleteWorkFiles();
    decode(decoder_);
}

void ConversionJob::decode(KindTool tool)
{
    tools_.DecodeToWorkWav(source_, tool, row_, stepDeadline(), WorkBits(sourceFacts_.bits),
                           std::max(1, sourceFacts_.channels),
                           [this, tool](const StepResult& step) {
                               // What the MP3 tool cannot read, the converter may.
                               if (!step.succeeded() && tool == KindTool::Mp3Tool &&
                                   step.end == StepResult::End::Failed) {
                                   decoder_ = KindTool::Converter;
                                   decode(decoder_);
                                   return;
                               }
                               decoded(step);
                           });
}

void ConversionJob::decoded(const StepResult& step)
{
    if (Failure failed = stepFailure(step, FailureReason::DecoderFailed, workFolder_)) {
        if (failed->reason == FailureReason::DiskFull) {
            run_.workDiskFullAt = run_.clock.now();
        } else if (failed->reason == FailureReason::DecoderFailed &&
                   noRoomFor(workFile(kInputWav))) {
            failed->reason = FailureReason::DiskFull;
        }
        endWithoutOutput(*failed);
        return;
    }
    if (sourceDecoded_) {
        checkInput();
        return;
    }
    waits_.until([this] { return sourceDecoding_->ready(); }, stepDeadline(),
                 [this](JobWaits::Stop stop) { sourceDecoded(stop); });
}

void ConversionJob::sourceDecoded(JobWaits::Stop stop)
{
    switch (stop) {
        case JobWaits::Stop::Done: break;
        case JobWaits::Stop::TimedOut: endWithoutOutput(JobResult{JobOutcome::TimedOut}); return;
        case JobWaits::Stop::Aborted: endWithoutOutput(JobResult{JobOutcome::Aborted}); return;
    }
    sourceAudio_ = sourceDecoding_->facts();
    sourceDecoding_.reset();
    sourceDecoded_ = true;
    if (Failure failed = sourceFailure()) {
        endWithoutOutput(*failed);
        return;
    }
    checkInput();
}

// A source with damage inside cannot be re-tuned faithfully; one that only ends early (the last
// packet cut by the file's end) is converted as far as it plays.
ConversionJob::Failure ConversionJob::sourceFailure()
{
    if (!sourceAudio_.readable || sourceAudio_.seconds <= 0) {
        return failure(FailureReason::DecoderFailed);
    }
    if (!sourceAudio_.complete && !sourceAudio_.endCutShort) {
        return failure(FailureReason::SourceDamaged);
    }
    return std::nullopt;
}

// The work input is checked while the stretch reads it, and judged before anything is said of
// the stretch: a stretch that failed on a bad decode is a failed decode.
void ConversionJob::checkInput()
{
    decoding_ = std::make_unique<BackgroundDecode>(workFile(kInputWav),
                                                   BackgroundDecode::Split::Whole, wakeWaits());
    inputChecking_ = true;
    stretch();
}

void ConversionJob::afterInputCheck(const Next& next)
{
    if (!inputChecking_) {
        next();
        return;
    }
    inputChecking_ = false;
    awaitCheck(workFile(kInputWav), ExpectedWorkInput(sourceAudio_), input_,
               {FailureReason::DecoderFailed, FailureReason::DecoderFailed}, next);
}

bool ConversionJob::sourceChanged() const
{
    return FileSize64(source_) != sourceSize_ || ModificationTime(source_) != sourceTime_;
}

void ConversionJob::stretch()
{
    retryRequested_ = false;
    if (stretch_ != kNoTool) {
        run_.processes.end(stretch_);
    }
    run_.files.setStep(row_, {JobStep::Kind::Stretch});
    waits_.soon([this](JobWaits::Stop stop) {
        if (stop == JobWaits::Stop::Aborted) {
            endWithoutOutput(JobResult{JobOutcome::Aborted});
        } else if (Failure failed = startStretch()) {
            endWithoutOutput(*failed);
        } else {
            watchStretch();
        }
    });
}

void ConversionJob::deleteWorkFiles()
{
    for (const QString* name : kWorkFiles) {
        RemoveFile(workFile(*name));
    }
}

// A batch file that cannot be written is no missing tool: the work folder is full (or not ours
// to write).
ConversionJob::Failure ConversionJob::startStretch()
{
    const QString batch = workFile(kStretchBatch);
    const FrequencyState& frequency = run_.settings.frequency;
    const double percent = TempoPercent(frequency.TargetFrequency, frequency.ReferencePitch);
    stretchStatus_ = ToolStatus();
    if (!WriteTextFile(batch, BatchFileText(workFolder_, TempoText(percent)))) {
        const int error = errno;
        RemoveFile(batch);
        if (IsDiskFullError(error) || DiskIsFull(workFolder_)) {
            run_.workDiskFullAt = run_.clock.now();
            return failure(FailureReason::DiskFull);
        }
        return failure(FailureReason::OutputNotWritable);
    }
    stretch_ = run_.processes.startBatch(batch);
    return stretch_ == kNoTool ? stretchNotStarted() : std::nullopt;
}

ConversionJob::Failure ConversionJob::stretchNotStarted()
{
    if (DiskIsFull(workFolder_)) {
        return failure(FailureReason::DiskFull);
    }
    run_.host.showPlainMessage(QStringLiteral("Unable to execute soundstretch.exe!"));
    return failure(FailureReason::ToolMissing);
}

// The try's time is up once more whole seconds than the estimate have passed since it began.
Milliseconds ConversionJob::tryDeadline() const
{
    return startTime_ + Milliseconds((std::int64_t(estimateSeconds_) + 1) * 1000);
}

// A decode, an encode or a check may take as long as the whole estimate of the file.
Milliseconds ConversionJob::stepDeadline() const
{
    return run_.clock.now() + Milliseconds(std::int64_t(estimateSeconds_) * 1000);
}

// Until the stretch shows a sign: an error file asks for another try, its output that it works.
void ConversionJob::watchStretch()
{
    auto result = std::make_shared<Watch>(Watch::StretchStarted);
    const auto seen = [this, result] {
        const StretchSign sign = ReadStretchSigns(workFolder_, [this] { return stretchEnded(); });
        if (sign == StretchSign::ErrorFile) {
            ++run_.counters.errorCount;
            run_.view.showErrorText(QStringLiteral("Errors %1").arg(run_.counters.errorCount),
                                    true);
            retryRequested_ = true;
        }
        if (retryRequested_) {
            *result = Watch::Retry;
            return true;
        }
        if (sign == StretchSign::Nothing) {
            return false;
        }
        *result = sign == StretchSign::Output ? Watch::StretchStarted : Watch::StretchEnded;
        return true;
    };
    waits_.until(seen, tryDeadline(), [this, result](JobWaits::Stop stop) {
        switch (stop) {
            case JobWaits::Stop::Done: watched(*result); return;
            case JobWaits::Stop::TimedOut: watched(Watch::TimedOut); return;
            case JobWaits::Stop::Aborted: watched(Watch::Aborted); return;
        }
    });
    waits_.wakeWhenEnds(run_.processes, stretch_);
    waits_.wakeOnChangesIn(workFolder_);
}

void ConversionJob::watched(Watch watch)
{
    switch (watch) {
        case Watch::StretchStarted: waitForStretch(); return;
        case Watch::Retry:
            if (tries_ < kMaxTries) {
                ++tries_;
                startTry();
                runTry();
            } else {
                endWithoutOutput(failure(noRoomFor(workFile(kOutputWav))
                                             ? FailureReason::DiskFull
                                             : FailureReason::StretchFailed));
            }
            return;
        case Watch::TimedOut: endWithoutOutput(JobResult{JobOutcome::TimedOut}); return;
        case Watch::Aborted: endWithoutOutput(JobResult{JobOutcome::Aborted}); return;
        case Watch::StretchEnded:
            afterInputCheck([this] {
                endWithoutOutput(stretchFailure().value_or(failure(FailureReason::StretchFailed)));
            });
            return;
    }
}

// The window's run waits until the stretch's output has stopped growing and the tool has ended;
// a batch run waits for the tool alone, since the check of its output follows anyway. A tool
// still running when the try's time is up has really timed out.
void ConversionJob::waitForStretch()
{
    if (run_.settings.designPauses) {
        growthCheck(FileSize64(workFile(kOutputWav)));
        return;
    }
    waits_.until([this] { return stretchEnded(); }, tryDeadline(),
                 [this](JobWaits::Stop stop) {
                     if (stop == JobWaits::Stop::Aborted) {
                         endWithoutOutput(JobResult{JobOutcome::Aborted});
                     } else {
                         stretchDone();
                     }
                 });
    waits_.wakeWhenEnds(run_.processes, stretch_);
}

void ConversionJob::growthCheck(std::int64_t size)
{
    waits_.pause(kGrowthCheck, [this, size](JobWaits::Stop stop) {
        if (stop == JobWaits::Stop::Aborted) {
            endWithoutOutput(JobResult{JobOutcome::Aborted});
            return;
        }
        const std::int64_t now = FileSize64(workFile(kOutputWav));
        if (now == size && (stretchEnded() || run_.clock.now() >= tryDeadline())) {
            stretchDone();
        } else {
            growthCheck(now);
        }
    });
}

void ConversionJob::stretchDone()
{
    if (!stretchEnded()) {
        run_.processes.end(stretch_);
        endWithoutOutput(JobResult{JobOutcome::TimedOut});
        return;
    }
    afterInputCheck([this] {
        if (Failure failed = stretchStatus_.succeeded() ? std::nullopt : stretchFailure()) {
            endWithoutOutput(*failed);
            return;
        }
        checkStretch();
    });
}

ConversionJob::Failure ConversionJob::stretchFailure()
{
    if (stretchStatus_.state == ToolStatus::State::NotStarted) {
        return stretchNotStarted();
    }
    if (stretchStatus_.notRunnable()) {
        tools_.reportNotStarted(kStretchTool);
        return failure(FailureReason::ToolMissing);
    }
    if (noRoomFor(workFile(kOutputWav))) {
        return failure(FailureReason::DiskFull);
    }
    return stepFailure({StepResult::End::Failed}, FailureReason::StretchFailed, workFolder_);
}

bool ConversionJob::stretchEnded()
{
    if (stretchStatus_.running()) {
        stretchStatus_ = run_.processes.status(stretch_);
    }
    return !stretchStatus_.running();
}

// The window's design run checks the stretched work file during its settling pause. Otherwise it
// is checked while the encoder reads it: the encoder's plan needs only its header, and the output
// is judged once both are known.
void ConversionJob::checkStretch()
{
    if (run_.settings.designPauses) {
        checkFile(workFile(kOutputWav), expectedStretch(), stretched_, kOutputReasons, kSettlePause,
                  [this] { encode(); });
        return;
    }
    decoding_ = std::make_unique<BackgroundDecode>(workFile(kOutputWav),
                                                   BackgroundDecode::Split::Whole, wakeWaits());
    stretched_ = ProbeAudio(workFile(kOutputWav));
    encode();
}

Expectation ConversionJob::expectedStretch() const
{
    const FrequencyState& frequency = run_.settings.frequency;
    return ExpectedStretch(input_, frequency.ReferencePitch / double(frequency.TargetFrequency));
}

void ConversionJob::encode()
{
    const QString folder = FolderOf(target_);
    if (!ForceDirectories(folder)) {
        endWithoutOutput(failure(DiskIsFull(folder) ? FailureReason::DiskFull
                                                    : FailureReason::OutputNotWritable));
        return;
    }
    RemoveFile(temporary_);
    plan_ = PlanEncode(KindOf(target_), sourceAudio_, stretched_.bits, stretched_.channels,
                       KindOf(source_) == AudioKind::Mp3 ? Mp3VbrQuality(source_) : std::nullopt);
    // The output's check rides along with its encoder where the kind's stream can be read so.
    following_.reset();
    if (const char* demuxer = KindRowOf(KindOf(target_)).streamDemuxer; *demuxer != '\0') {
        following_ = std::make_unique<FollowedDecode>(temporary_, demuxer, wakeWaits());
    }
    tools_.EncodeFromWorkWav(temporary_, plan_, row_, stepDeadline(),
                             [this](const StepResult& step) { encoded(step); });
}

// The output is checked as it will stay: with its tags.
void ConversionJob::encoded(const StepResult& step)
{
    if (Failure failed = stepFailure(step, FailureReason::EncoderFailed, FolderOf(target_))) {
        endWithoutOutput(*failed);
        return;
    }
    if (!following_) {
        tagAndCheckOutput();
        return;
    }
    // The tags may rewrite the file only once what the encoder wrote has been read.
    following_->writerEnded();
    const Milliseconds waitStart = run_.clock.now();
    waits_.until([this] { return following_->followed(); }, stepDeadline(),
                 [this, waitStart](JobWaits::Stop stop) { outputFollowed(stop, waitStart); });
}

void ConversionJob::outputFollowed(JobWaits::Stop stop, Milliseconds waitStart)
{
    run_.counters.checkWaitTime += run_.clock.now() - waitStart;
    switch (stop) {
        case JobWaits::Stop::Done: tagAndCheckOutput(); return;
        case JobWaits::Stop::TimedOut: endWithoutOutput(JobResult{JobOutcome::TimedOut}); return;
        case JobWaits::Stop::Aborted: endWithoutOutput(JobResult{JobOutcome::Aborted}); return;
    }
}

void ConversionJob::tagAndCheckOutput()
{
    tagged_ = TagOutput(source_, temporary_, run_.settings.frequency,
                        run_.cd != nullptr ? run_.cd->tags : CdAlbum());
    if (following_) {
        following_->confirm();  // the file is as it will stay
    }
    const auto checkOutput = [this] {
        const Expectation expected = ExpectedOutput(plan_, stretched_);
        if (following_) {
            decoding_ = std::move(following_);
            awaitCheck(temporary_, expected, written_, kOutputReasons, [this] { publish(); });
            return;
        }
        checkFile(temporary_, expected, written_, kOutputReasons, Milliseconds(0),
                  [this] { publish(); });
    };
    if (decoding_) {
        // The stretched work file's check, begun with the encoder, is judged first.
        awaitCheck(workFile(kOutputWav), expectedStretch(), stretched_, kOutputReasons,
                   checkOutput);
    } else {
        checkOutput();
    }
}

// The checked output takes its name in one step, replacing an earlier output.
void ConversionJob::publish()
{
    // An output made from a source that was rewritten meanwhile would be neither the old nor the
    // new music.
    if (sourceChanged()) {
        endWithoutOutput(failure(FailureReason::SourceChanged));
        return;
    }
    const int error = ReplaceFile(temporary_, target_);
    if (error == 0) {
        temporary_.clear();
        finishConverted();
    } else if (error == ENAMETOOLONG) {
        endWithoutOutput(failure(FailureReason::NameTooLong));
    } else {
        endWithoutOutput(failure(IsDiskFullError(error) ? FailureReason::DiskFull
                                                        : FailureReason::OutputNotWritable));
    }
}

void ConversionJob::checkFile(const QString& path, const Expectation& expected, AudioFacts& facts,
                              Reasons reasons, Milliseconds alongside, Next next)
{
    // Decoded in halves when the job waits for it at once; the design run's settling pause
    // leaves it time enough whole.
    const auto split =
        alongside.count() == 0 ? BackgroundDecode::Split::InHalves : BackgroundDecode::Split::Whole;
    decoding_ = std::make_unique<BackgroundDecode>(path, split, wakeWaits());
    if (alongside.count() == 0) {
        awaitCheck(path, expected, facts, reasons, next);
        return;
    }
    waits_.pause(alongside, [=, this, &facts](JobWaits::Stop paused) {
        if (paused == JobWaits::Stop::Aborted) {
            endWithoutOutput(JobResult{JobOutcome::Aborted});
        } else {
            awaitCheck(path, expected, facts, reasons, next);
        }
    });
}

void ConversionJob::awaitCheck(const QString& path, const Expectation& expected, AudioFacts& facts,
                               Reasons reasons, Next next)
{
    const Milliseconds waitStart = run_.clock.now();
    waits_.until([this] { return decoding_->ready(); }, stepDeadline(),
                 [=, this, &facts](JobWaits::Stop stop) {
                     checkDecoded(path, expected, facts, reasons, waitStart, stop, next);
                 });
}

void ConversionJob::checkDecoded(const QString& path, const Expectation& expected,
                                 AudioFacts& facts, Reasons reasons, Milliseconds waitStart,
                                 JobWaits::Stop stop, const Next& next)
{
    run_.counters.checkWaitTime += run_.clock.now() - waitStart;
    switch (stop) {
        case JobWaits::Stop::Done: break;
        case JobWaits::Stop::TimedOut: endWithoutOutput(JobResult{JobOutcome::TimedOut}); return;
        case JobWaits::Stop::Aborted: endWithoutOutput(JobResult{JobOutcome::Aborted}); return;
    }
    facts = decoding_->facts();
    run_.counters.outputsDecodedAsWritten += decoding_->decodedAsWritten() ? 1 : 0;
    decoding_.reset();
    const Verdict verdict = Check(facts, expected);
    if (verdict == Verdict::Passed) {
        next();
        return;
    }
    // The MP3 tool may end well and still leave less than the converter reads from the source.
    if (path == workFile(kInputWav) && decoder_ == KindTool::Mp3Tool) {
        RemoveFile(workFile(kOutputWav));  // stretched from the short decode
        decoder_ = KindTool::Converter;
        decode(decoder_);
        return;
    }
    const FailureReason reason = verdict == Verdict::Damaged ? reasons.second : reasons.first;
    endWithoutOutput(failure(noRoomFor(path) ? FailureReason::DiskFull : reason));
}

// A step failed writing `path`: the disk counts as full when it has (almost) no room left, or,
// for a work file, when the file could not have fitted into the room there is (what it holds
// already counts as room it had), or when a job beside this one found the shared disk full while
// this try ran: its clean-up may have freed the room since.
bool ConversionJob::noRoomFor(const QString& path)
{
    const QString name = FileNameOf(path);
    const bool workFile = path == this->workFile(name);
    if (DiskIsFull(FolderOf(path))) {
        if (workFile) {
            run_.workDiskFullAt = run_.clock.now();
        }
        return true;
    }
    if (!workFile) {
        return false;
    }
    const std::int64_t needed = workFileBytes(name);
    const auto free = FreeBytes(workFolder_);
    if (needed > 0 && free && *free + FileSize64(path) < needed) {
        run_.workDiskFullAt = run_.clock.now();
        return true;
    }
    return run_.workDiskFullAt && *run_.workDiskFullAt >= startTime_;
}

// Roughly what a complete work WAV takes: the decoded source, or the stretched decoded source;
// 0 when unknown.
std::int64_t ConversionJob::workFileBytes(const QString& name) const
{
    constexpr double kShare = 0.99;  // what a length within the checks' tolerance may lack
    // A length only guessed from the bit rate says too little to blame the disk.
    if (name == kInputWav && !sourceFacts_.lengthEstimated) {
        const int bytesPerSample = WorkBits(sourceFacts_.bits) / 8;
        return std::int64_t(kShare * sourceFacts_.seconds * sourceFacts_.sampleRate * 2 *
                            bytesPerSample);
    }
    if (name == kOutputWav) {
        const FrequencyState& frequency = run_.settings.frequency;
        const double lengthRatio = frequency.ReferencePitch / double(frequency.TargetFrequency);
        return std::int64_t(kShare * double(FileSize64(workFile(kInputWav))) * lengthRatio);
    }
    return 0;
}

ConversionJob::Failure ConversionJob::stepFailure(const StepResult& step, FailureReason reason,
                                                  const QString& folder)
{
    switch (step.end) {
        case StepResult::End::Succeeded: return std::nullopt;
        case StepResult::End::Aborted: return JobResult{JobOutcome::Aborted};
        case StepResult::End::TimedOut: return JobResult{JobOutcome::TimedOut};
        case StepResult::End::NotStarted: return failure(FailureReason::ToolMissing);
        case StepResult::End::CopyFailed:
            if (IsDiskFullError(step.error)) {
                return failure(FailureReason::DiskFull);
            }
            if (step.error == EINVAL) {
                return failure(FailureReason::NotRegularFile);
            }
            if (step.error == ENAMETOOLONG) {
                return failure(FailureReason::NameTooLong);
            }
            return failure(reason);
        case StepResult::End::Failed: break;
    }
    return failure(DiskIsFull(folder) ? FailureReason::DiskFull : reason);
}

void ConversionJob::finishConverted()
{
    deleteWorkFiles();
    seconds_ = static_cast<int>(WholeSecondsBetween(run_.clock.now(), startTime_));
    JobResult result(JobOutcome::Converted, FailureReason::None, target_, seconds_);
    result.tagsCopied = tagged_;
    result.sourceIncomplete = sourceEndsEarly(sourceFacts_, sourceAudio_);
    result.nameTaken = nameTaken_;
    run_.files.setEnded(row_, result);
    if (stretch_ != kNoTool) {
        run_.processes.end(stretch_);
    }
    end(result);
}

// Whatever the job started and wrote goes with it: its tools, the unchecked output, the work
// files. An earlier output under the output's name stays as it was.
void ConversionJob::endWithoutOutput(JobResult result)
{
    waits_.cancel();
    decoding_.reset();
    following_.reset();
    inputChecking_ = false;
    sourceDecoding_.reset();
    tools_.endRunning();
    if (stretch_ != kNoTool) {
        run_.processes.end(stretch_);
    }
    if (!temporary_.isEmpty()) {
        RemoveFile(temporary_);
        temporary_.clear();
    }
    deleteWorkFiles();
    run_.files.setEnded(row_, result);
    end(result);
}

void ConversionJob::end(const JobResult& result)
{
    const int row = row_;
    row_ = -1;
    stretch_ = kNoTool;
    run_.host.setBusyCursor(false);
    run_.view.jobEnded(row, result);
    emit finished(row, result);
}

}  // namespace qvr
