#include "LameCoder.h"

#include "cdrip/FileNames.h"

#include <QtEndian>

namespace qvr {
namespace {

// A flag as the configuration record holds it: all bits set for on.
std::uint32_t flagValue(bool on)
{
    return on ? 0xFFFFFFFFu : 0u;
}

void put(BeConfigRecord& record, int offset, std::uint32_t value)
{
    qToLittleEndian(value, record.data() + offset);
}

}  // namespace

TLameVersion::TLameVersion(LameEncLibrary& library, QObject* owner) : QObject(owner)
{
    library.beVersion(&record_);
}

void TLameVersion::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TLameVersion*>(source);
    if (other == nullptr) {
        AssignError(source, "TLameVersion");
    }
    std::copy_n(other->record_.begin(), 4, record_.begin());
}

TLameCoder::TLameCoder(QObject* owner, LameEncLibrary& library)
    : QObject(owner), library_(library), LameVersion_(new TLameVersion(library, this))
{
}

void TLameCoder::setMode(TLameMode value)
{
    const auto ordinal = static_cast<std::int32_t>(value);
    if (ordinal >= 0 && ordinal <= 3) {
        mode_ = ordinal;
    }
}

void TLameCoder::setEnableVBR(bool value)
{
    EnableVBR_ = value;
    WriteVBRHeader_ = value;
}

void TLameCoder::setInputFiles(const QStringList& names)
{
    InputFiles_ = names;
    OutputFiles_.clear();
    for (const QString& name : InputFiles_) {
        OutputFiles_.append(ChangeFileExt(name, DefaultExt_));
    }
}

void TLameCoder::buildConfig()
{
    namespace f = be_config;
    config_.fill(0);
    put(config_, f::kKind, f::kKindLame);
    put(config_, f::kVersion, f::kBodyVersion);
    put(config_, f::kSize, f::kBodySize);
    put(config_, f::kSampleRate, SampleRate_);
    put(config_, f::kReSampleRate, 0);
    put(config_, f::kMode, static_cast<std::uint32_t>(mode_));
    put(config_, f::kBitrate, Bitrate_);
    put(config_, f::kMaxBitrate, MaxBitrate_);
    put(config_, f::kPreset, static_cast<std::uint8_t>(Quality_));
    put(config_, f::kMpegVersion, 1);
    put(config_, f::kPsyModel, 0);
    put(config_, f::kEmphasis, 0);
    put(config_, f::kPrivate, flagValue(Private_));
    put(config_, f::kCrc, flagValue(CRC_));
    put(config_, f::kCopyright, flagValue(Copyright_));
    put(config_, f::kOriginal, flagValue(Original_));
    put(config_, f::kWriteVbrHeader, flagValue(WriteVBRHeader_));
    put(config_, f::kEnableVbr, flagValue(EnableVBR_));
    put(config_, f::kVbrQuality, static_cast<std::uint32_t>(VBRQuality_));
}

std::int32_t TLameCoder::InitStream()
{
    buildConfig();
    return library_.beInitStream(&config_, &SamplesPerChunk_, &OutputBufferSize_, &StreamHandle_);
}

std::int32_t TLameCoder::EncodeChunk(const std::int16_t* samples, std::uint8_t* output,
                                     std::uint32_t* outputCount)
{
    return library_.beEncodeChunk(StreamHandle_, SamplesPerChunk_, samples, output, outputCount);
}

std::int32_t TLameCoder::DeinitStream(std::uint8_t* output, std::uint32_t* outputCount)
{
    return library_.beDeinitStream(StreamHandle_, output, outputCount);
}

std::int32_t TLameCoder::CloseStream()
{
    return library_.beCloseStream(StreamHandle_);
}

void TLameCoder::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TLameCoder*>(source);
    if (other == nullptr) {
        AssignError(source, "TLameCoder");
    }
    SampleRate_ = other->SampleRate_;
    mode_ = other->mode_;
    Bitrate_ = other->Bitrate_;
    MaxBitrate_ = other->MaxBitrate_;
    Quality_ = other->Quality_;
    Private_ = other->Private_;
    CRC_ = other->CRC_;
    Copyright_ = other->Copyright_;
    Original_ = other->Original_;
    WriteVBRHeader_ = other->WriteVBRHeader_;
    EnableVBR_ = other->EnableVBR_;
    VBRQuality_ = other->VBRQuality_;
}

}  // namespace qvr
