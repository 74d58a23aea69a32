#pragma once

#include "cdrip/CDRipLibrary.h"
#include "cdrip/LameEncLibrary.h"

#include <QByteArray>
#include <QStringList>

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace qvr::test {

// A drive of the scripted extraction library.
struct FakeDrive {
    CdromParameters parameters{};
    std::int32_t parametersResult = kCrOk;
    std::vector<TocEntry> toc;  // tracks, then the lead-out
    std::int32_t tocResult = kCrOk;
    CdText cdText{};
    bool unreadable = false;  // a refused table of contents: a damaged disc, not a missing one
};

// One answer of CR_RipChunk.
struct FakeChunk {
    std::int32_t result = kCrOk;
    QByteArray bytes;
    std::uint32_t jitterStart = 0;
    std::uint32_t jitterEnd = 0;
    bool ejects = false;  // the disc is taken out before this chunk is read
};

// An extraction library that answers from a script and records its calls. Functions named in
// `throwing` raise std::runtime_error.
class FakeCDRipLibrary : public CDRipLibrary {
  public:
    std::int32_t version = 111;
    std::int32_t initResult = kCrOk;
    std::map<std::int32_t, FakeDrive> drives;
    std::int32_t active = 0;
    std::int32_t setParametersResult = kCrOk;
    std::optional<CdromParameters> handedParameters;
    std::int32_t openResult = kCrOk;
    std::int32_t bufferSize = 4 * 2352;
    std::vector<FakeChunk> chunks;
    std::set<std::string> throwing;
    QStringList calls;
    // Without a disc every rip fails: the ripper does not open, a chunk is not read.
    bool discPresent = true;
    QStringList paths;  // DrivePaths()

    std::int32_t CR_GetCDRipVersion() override { return call("CR_GetCDRipVersion", version); }
    std::int32_t CR_Init() override { return call("CR_Init", initResult); }
    std::int32_t CR_GetActiveCDROM() override { return call("CR_GetActiveCDROM", active); }
    std::int32_t CR_SetActiveCDROM(std::int32_t drive) override
    {
        const bool known = drives.count(drive) != 0;
        if (known) {
            active = drive;
        }
        return call("CR_SetActiveCDROM", known ? kCrOk : kCrFailure);
    }
    std::int32_t CR_GetCDROMParameters(CdromParameters* parameters) override
    {
        const auto it = drives.find(active);
        if (it == drives.end() || it->second.parametersResult == kCrFailure) {
            parameters->fill(0xEE);  // what a refusing library may leave behind
            return call("CR_GetCDROMParameters", kCrFailure);
        }
        *parameters = it->second.parameters;
        return call("CR_GetCDROMParameters", kCrOk);
    }
    std::int32_t CR_SetCDROMParameters(const CdromParameters* parameters) override
    {
        handedParameters = *parameters;
        return call("CR_SetCDROMParameters", setParametersResult);
    }
    std::int32_t CR_ReadToc() override
    {
        const auto it = drives.find(active);
        const bool ok = it != drives.end() && it->second.tocResult != kCrFailure;
        toc_ = ok ? it->second.toc : std::vector<TocEntry>{};
        unreadable_ = !ok && it != drives.end() && it->second.unreadable;
        cdText_ = ok ? it->second.cdText : CdText{};
        return call("CR_ReadToc", ok ? kCrOk : kCrFailure);
    }
    void ForgetDisc() override
    {
        call("ForgetDisc", 0);
        toc_.clear();
        cdText_ = {};
        unreadable_ = false;
    }
    std::int32_t CR_GetNumTocEntries() override
    {
        return call("CR_GetNumTocEntries",
                    toc_.empty() ? 0 : static_cast<std::int32_t>(toc_.size()) - 1);
    }
    TocEntry CR_GetTocEntry(std::int32_t entry) override
    {
        call("CR_GetTocEntry", 0);
        return toc_.at(static_cast<std::size_t>(entry));
    }
    std::int32_t CR_OpenRipper(std::int32_t* size, std::int32_t first, std::int32_t last) override
    {
        openedRange = {first, last};
        *size = bufferSize;
        next_ = 0;
        jitterErrors_ = 0;
        return call("CR_OpenRipper", discPresent ? openResult : kCrFailure);
    }
    std::int32_t CR_RipChunk(std::uint8_t* destination, std::int32_t* byteCount) override
    {
        call("CR_RipChunk", 0);
        if (next_ >= chunks.size()) {
            *byteCount = 0;
            return kCrRippingDone;
        }
        const FakeChunk& chunk = chunks[next_++];
        discPresent = discPresent && !chunk.ejects;
        if (!discPresent) {
            *byteCount = 0;
            return kCrFailure;
        }
        std::copy(chunk.bytes.begin(), chunk.bytes.end(), destination);
        *byteCount = static_cast<std::int32_t>(chunk.bytes.size());
        if (chunk.result == kCrJitterError) {
            ++jitterErrors_;
            jitter_ = {chunk.jitterStart, chunk.jitterEnd};
        }
        return chunk.result;
    }
    std::int32_t CR_GetPercentCompleted() override
    {
        return call("CR_GetPercentCompleted",
                    chunks.empty() ? 100 : static_cast<std::int32_t>(next_ * 100 / chunks.size()));
    }
    void CR_GetLastJitterErrorPosition(std::uint32_t* start, std::uint32_t* end) override
    {
        call("CR_GetLastJitterErrorPosition", 0);
        *start = jitter_.first;
        *end = jitter_.second;
    }
    std::int32_t CR_GetNumberOfJitterErrors() override
    {
        return call("CR_GetNumberOfJitterErrors", jitterErrors_);
    }
    void CR_CloseRipper() override { call("CR_CloseRipper", 0); }
    QStringList DrivePaths() const override { return paths; }
    CdText DiscCdText() const override { return cdText_; }
    bool DiscUnreadable() const override { return unreadable_; }
    bool DiscPresent() override { return call("DiscPresent", discPresent); }

    std::pair<std::int32_t, std::int32_t> openedRange{-1, -1};

  private:
    std::int32_t call(const char* name, std::int32_t result)
    {
        calls.append(QString::fromLatin1(name));
        if (throwing.count(name) != 0) {
            throw std::runtime_error(name);
        }
        return result;
    }

    std::vector<TocEntry> toc_;
    CdText cdText_;
    bool unreadable_ = false;
    std::size_t next_ = 0;
    std::int32_t jitterErrors_ = 0;
    std::pair<std::uint32_t, std::uint32_t> jitter_{0, 0};
};

// An encoder library that keeps the configuration it was given and every sample it was fed;
// each chunk "encodes" to the bytes "F<n>" and the flush to "END".
class FakeLameEncLibrary : public LameEncLibrary {
  public:
    std::int32_t initResult = kBeOk;
    std::uint32_t samplesPerChunk = 1152 * 2;
    std::uint32_t outputBufferSize = 8640;
    std::optional<Mp3Settings> settings;
    QByteArray fed;
    int chunksEncoded = 0;
    QStringList calls;

    LameVersionNumbers version() override { return {1, 32, 3, 100}; }
    std::int32_t initStream(const Mp3Settings& given, Mp3Stream* opened) override
    {
        calls.append(QStringLiteral("initStream"));
        settings = given;
        if (initResult == kBeOk) {
            *opened = Mp3Stream{7, samplesPerChunk, outputBufferSize};
        }
        return initResult;
    }
    std::int32_t encodeChunk(std::uint32_t, std::uint32_t samples, const std::int16_t* pcm,
                             std::uint8_t* output, std::uint32_t* outputCount) override
    {
        calls.append(QStringLiteral("encodeChunk"));
        fed.append(reinterpret_cast<const char*>(pcm), static_cast<qsizetype>(samples) * 2);
        return produce("F" + QByteArray::number(++chunksEncoded), output, outputCount);
    }
    std::int32_t deinitStream(std::uint32_t, std::uint8_t* output,
                              std::uint32_t* outputCount) override
    {
        calls.append(QStringLiteral("deinitStream"));
        return produce("END", output, outputCount);
    }
    std::int32_t closeStream(std::uint32_t) override
    {
        calls.append(QStringLiteral("closeStream"));
        return kBeOk;
    }

  private:
    static std::int32_t produce(const QByteArray& bytes, std::uint8_t* output, std::uint32_t* count)
    {
        std::copy(bytes.begin(), bytes.end(), output);
        *count = static_cast<std::uint32_t>(bytes.size());
        return kBeOk;
    }
};

}  // namespace qvr::test
