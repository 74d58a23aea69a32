#include "LameCoder.h"

#include "cdrip/FileNames.h"

namespace qvr {
TLameVersion::TLameVersion(LameEncLibrary& library, QObject* owner) : QObject(owner)
{
    numbers_ = library.version();
}

void TLameVersion::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TLameVersion*>(source);
    if (other == nullptr) {
        AssignError(source, "TLameVersion");
    }
    numbers_ = other->numbers_;
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

Mp3Settings TLameCoder::settings() const
{
    Mp3Settings settings;
    settings.sampleRate = SampleRate_;
    settings.mode = Mode();
    settings.bitrate = Bitrate_;
    settings.maxBitrate = MaxBitrate_;
    settings.quality = Quality_;
    settings.privateBit = Private_;
    settings.crc = CRC_;
    settings.copyright = Copyright_;
    settings.original = Original_;
    settings.writeVbrHeader = WriteVBRHeader_;
    settings.enableVbr = EnableVBR_;
    settings.vbrQuality = VBRQuality_;
    return settings;
}

std::int32_t TLameCoder::InitStream()
{
    return library_.initStream(settings(), &stream_);
}

std::int32_t TLameCoder::EncodeChunk(const std::int16_t* samples, std::uint8_t* output,
                                     std::uint32_t* outputCount)
{
    return library_.encodeChunk(stream_.handle, stream_.samplesPerChunk, samples, output,
                                outputCount);
}

std::int32_t TLameCoder::DeinitStream(std::uint8_t* output, std::uint32_t* outputCount)
{
    return library_.deinitStream(stream_.handle, output, outputCount);
}

std::int32_t TLameCoder::CloseStream()
{
    return library_.closeStream(stream_.handle);
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
