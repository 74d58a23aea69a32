#include "JobTexts.h"

#include "AudioFormats.h"
#include "lang/ProgramTexts.h"

#include <QDir>
#include <QStringList>

namespace qvr {
namespace {

constexpr int kTimedOutText = 509;
constexpr int kAbortedText = 510;
constexpr int kFirstReasonText = 511;  // in the order of FailureReason after NotRegularFile
constexpr int kTagsNotCopiedText = 520;
constexpr int kSourceDamagedText = 521;
constexpr int kOutputDamagedText = 522;
constexpr int kSourceIncompleteText = 523;
constexpr int kSourceChangedText = 524;
constexpr int kNotSupportedText = 525;
constexpr int kNameTakenText = 526;
constexpr int kUnsupportedFileText = 508;
constexpr int kFinishedText = 10002;
constexpr int kFinishedWithFailuresText = 10004;
constexpr int kRunFolderText = 10020;
constexpr int kUnopenedFolderText = 10022;

int reasonTextNumber(FailureReason reason)
{
    switch (reason) {
        case FailureReason::None: return 0;
        case FailureReason::DecoderFailed: return kFirstReasonText;
        case FailureReason::StretchFailed: return kFirstReasonText + 1;
        case FailureReason::EncoderFailed: return kFirstReasonText + 2;
        case FailureReason::ToolMissing: return kFirstReasonText + 3;
        case FailureReason::OutputIncomplete: return kFirstReasonText + 4;
        case FailureReason::DiskFull: return kFirstReasonText + 5;
        case FailureReason::NameTooLong: return kFirstReasonText + 6;
        case FailureReason::NotRegularFile: return kFirstReasonText + 7;
        case FailureReason::OutputNotWritable: return kFirstReasonText + 8;
        case FailureReason::SourceDamaged: return kSourceDamagedText;
        case FailureReason::OutputDamaged: return kOutputDamagedText;
        case FailureReason::SourceChanged: return kSourceChangedText;
        case FailureReason::NotSupportedFile: return kNotSupportedText;
    }
    return 0;
}

// A numbered text, or the English words when the language file lacks it.
QString textOr(const ProgramTexts& texts, int number, const QString& english)
{
    const QString text = number > 0 ? texts.text(number) : QString();
    return text.isEmpty() ? english : text;
}

}  // namespace

QString OutcomeWord(JobOutcome outcome)
{
    switch (outcome) {
        case JobOutcome::Converted: return QStringLiteral("converted");
        case JobOutcome::TimedOut: return QStringLiteral("timed out");
        case JobOutcome::Failed: return QStringLiteral("failed");
        case JobOutcome::Aborted: return QStringLiteral("aborted");
        case JobOutcome::Kept: return QStringLiteral("kept");
    }
    return QString();
}

QString ReasonWords(FailureReason reason)
{
    switch (reason) {
        case FailureReason::None: return QString();
        case FailureReason::NotRegularFile: return QStringLiteral("not a regular file");
        case FailureReason::NameTooLong: return QStringLiteral("name too long");
        case FailureReason::ToolMissing: return QStringLiteral("tool missing");
        case FailureReason::DecoderFailed: return QStringLiteral("decoder failed");
        case FailureReason::StretchFailed: return QStringLiteral("time stretch failed");
        case FailureReason::EncoderFailed: return QStringLiteral("encoder failed");
        case FailureReason::OutputIncomplete: return QStringLiteral("output incomplete");
        case FailureReason::DiskFull: return QStringLiteral("disk full");
        case FailureReason::OutputNotWritable: return QStringLiteral("output not writable");
        case FailureReason::SourceDamaged: return QStringLiteral("source damaged");
        case FailureReason::OutputDamaged: return QStringLiteral("output damaged");
        case FailureReason::SourceChanged:
            return QStringLiteral("source changed during conversion");
        case FailureReason::NotSupportedFile: return QStringLiteral("not a supported file");
    }
    return QString();
}

namespace {

struct Note {
    bool JobResult::*applies;
    bool whenSet;
    int text;
    const char* words;
};

// What a converted row may add to its "Done", in this order.
constexpr Note kNotes[] = {
    {&JobResult::tagsCopied, false, kTagsNotCopiedText, "tags not copied"},
    {&JobResult::sourceIncomplete, true, kSourceIncompleteText, "source incomplete"},
    {&JobResult::nameTaken, true, kNameTakenText, "name taken"},
};

QStringList notesOf(const JobResult& result, const ProgramTexts* texts)
{
    QStringList notes;
    if (!result.converted()) {
        return notes;
    }
    for (const Note& note : kNotes) {
        if (result.*note.applies == note.whenSet) {
            const QString words = QString::fromLatin1(note.words);
            notes << (texts != nullptr ? textOr(*texts, note.text, words) : words);
        }
    }
    return notes;
}

}  // namespace

QString NoteWords(const JobResult& result)
{
    return notesOf(result, nullptr).join(QStringLiteral("; "));
}

QString ConvertedStatusText(const ProgramTexts& texts, const JobResult& result,
                            const QString& doneText)
{
    const QStringList notes = notesOf(result, &texts);
    if (notes.isEmpty()) {
        return doneText;
    }
    return doneText + QStringLiteral(" (") + notes.join(QStringLiteral("; ")) + u')';
}

QString RowStatusText(const ProgramTexts& texts, const JobResult& result, const QString& failedText)
{
    switch (result.outcome) {
        case JobOutcome::Converted:
        case JobOutcome::Kept: return QString();
        case JobOutcome::TimedOut: return textOr(texts, kTimedOutText, QStringLiteral("Timed out"));
        case JobOutcome::Aborted: return textOr(texts, kAbortedText, QStringLiteral("Aborted"));
        case JobOutcome::Failed: break;
    }
    const QString reason =
        textOr(texts, reasonTextNumber(result.reason), ReasonWords(result.reason));
    return reason.isEmpty() ? failedText : failedText + QStringLiteral(": ") + reason;
}

QString RunEndText(const ProgramTexts& texts, int converted, int notConverted)
{
    if (notConverted == 0) {
        return texts.text(kFinishedText);
    }
    return textOr(texts, kFinishedWithFailuresText,
                  QStringLiteral("The conversion has finished. Converted: %1, not converted: %2."))
        .arg(converted)
        .arg(notConverted);
}

QString RunFolderText(const ProgramTexts& texts, const QString& folder)
{
    return textOr(texts, kRunFolderText, QStringLiteral("The copies are in: %1"))
        .arg(QDir::toNativeSeparators(folder));
}

QString UnopenedFolderText(const ProgramTexts& texts, const QString& folder)
{
    return textOr(texts, kUnopenedFolderText,
                  QStringLiteral("Unable to open the output folder. The copies are in: %1"))
        .arg(QDir::toNativeSeparators(folder));
}

QString UnsupportedFileText(const ProgramTexts& texts)
{
    QStringList labels = KindLabels();
    const QString last = labels.takeLast();
    return texts.text(kUnsupportedFileText).arg(labels.join(QStringLiteral(", ")), last);
}

}  // namespace qvr
