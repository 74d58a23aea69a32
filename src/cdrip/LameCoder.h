#pragma once

#include "cdrip/ComponentEvents.h"
#include "cdrip/LameEncLibrary.h"

#include <QObject>
#include <QStringList>

#include <cstdint>

namespace qvr {

// The encoder library's version numbers.
class TLameVersion : public QObject {
    Q_OBJECT
  public:
    TLameVersion(LameEncLibrary& library, QObject* owner);

    std::uint8_t DLLMajorVersion() const { return numbers_.layerMajor; }
    std::uint8_t DLLMinorVersion() const { return numbers_.layerMinor; }
    std::uint8_t MajorVersion() const { return numbers_.engineMajor; }
    std::uint8_t MinorVersion() const { return numbers_.engineMinor; }

    // Copies the four version numbers of another TLameVersion; any other source fails with
    // EConvertError.
    void Assign(const QObject* source);

  private:
    LameVersionNumbers numbers_;
};

// MP3 encoder settings and one encoder stream at a time: InitStream, EncodeChunk any number of
// times, DeinitStream to flush, CloseStream. The caller writes all output.
class TLameCoder : public QObject {
    Q_OBJECT
  public:
    TLameCoder(QObject* owner, LameEncLibrary& library);

    std::uint32_t SampleRate() const { return SampleRate_; }
    void setSampleRate(std::uint32_t value) { SampleRate_ = value; }
    std::uint32_t Bitrate() const { return Bitrate_; }
    void setBitrate(std::uint32_t value) { Bitrate_ = value; }
    std::uint32_t MaxBitrate() const { return MaxBitrate_; }
    void setMaxBitrate(std::uint32_t value) { MaxBitrate_ = value; }
    MPEG_QUALITY Quality() const { return Quality_; }
    void setQuality(MPEG_QUALITY value) { Quality_ = value; }
    bool Private() const { return Private_; }
    void setPrivate(bool value) { Private_ = value; }
    bool CRC() const { return CRC_; }
    void setCRC(bool value) { CRC_ = value; }
    TLameMode Mode() const { return static_cast<TLameMode>(mode_); }
    // Values other than the four modes are ignored.
    void setMode(TLameMode value);
    bool Copyright() const { return Copyright_; }
    void setCopyright(bool value) { Copyright_ = value; }
    bool Original() const { return Original_; }
    void setOriginal(bool value) { Original_ = value; }
    bool WriteVBRHeader() const { return WriteVBRHeader_; }
    void setWriteVBRHeader(bool value) { WriteVBRHeader_ = value; }
    bool EnableVBR() const { return EnableVBR_; }
    // Switches the VBR header along with variable bit rate.
    void setEnableVBR(bool value);
    std::int32_t VBRQuality() const { return VBRQuality_; }
    void setVBRQuality(std::int32_t value) { VBRQuality_ = value; }

    const QStringList& InputFiles() const { return InputFiles_; }
    // Also derives OutputFiles: each name with its extension replaced by DefaultExt.
    void setInputFiles(const QStringList& names);
    const QStringList& OutputFiles() const { return OutputFiles_; }
    void setOutputFiles(const QStringList& names) { OutputFiles_ = names; }
    const TLameVersion& LameVersion() const { return *LameVersion_; }
    const QString& DefaultExt() const { return DefaultExt_; }
    void setDefaultExt(const QString& value) { DefaultExt_ = value; }
    const QString& Mp3FileName() const { return Mp3FileName_; }
    void setMp3FileName(const QString& value) { Mp3FileName_ = value; }

    // Slots a layout may fill; nothing of this component raises them.
    TNotifyEvent OnBeginProcess;
    TProcessFileEvent OnBeginFile;
    TProcessFileEvent OnEndFile;
    TNotifyEvent OnEndProcess;
    TProgressEvent OnProgress;

    // Filled by a successful InitStream.
    std::uint32_t SamplesPerChunk() const { return stream_.samplesPerChunk; }
    std::uint32_t OutputBufferSize() const { return stream_.outputBufferSize; }
    std::uint32_t StreamHandle() const { return stream_.handle; }

    // Opens a stream with the current settings; the library's code, 0 = success.
    std::int32_t InitStream();
    // samples: SamplesPerChunk 16-bit samples; output: at least OutputBufferSize bytes.
    std::int32_t EncodeChunk(const std::int16_t* samples, std::uint8_t* output,
                             std::uint32_t* outputCount);
    std::int32_t DeinitStream(std::uint8_t* output, std::uint32_t* outputCount);
    std::int32_t CloseStream();

    // Copies the twelve encoder settings of another TLameCoder; any other source fails with
    // EConvertError.
    void Assign(const QObject* source);

  private:
    Mp3Settings settings() const;

    LameEncLibrary& library_;
    std::uint32_t SampleRate_ = 44100;
    std::uint32_t Bitrate_ = 128;
    std::uint32_t MaxBitrate_ = 320;
    MPEG_QUALITY Quality_ = MPEG_QUALITY::NORMAL_QUALITY;
    bool Private_ = false;
    bool CRC_ = true;
    std::int32_t mode_ = 0;
    bool Copyright_ = false;
    bool Original_ = false;
    bool WriteVBRHeader_ = false;
    bool EnableVBR_ = false;
    std::int32_t VBRQuality_ = 4;
    QStringList InputFiles_;
    QStringList OutputFiles_;
    TLameVersion* LameVersion_;
    QString DefaultExt_ = QStringLiteral(".mp3");
    QString Mp3FileName_;
    Mp3Stream stream_;
};

}  // namespace qvr
