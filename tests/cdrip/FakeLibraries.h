#pragma once

#include "cdrip/CDRipLibrary.h"

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
    std::optional<DriveInfo> info = DriveInfo{};  // nothing: the library cannot describe it
    DiscToc disc{DiscState::Read, {}, 0, {}, {}};
};

// One answer of readChunk.
struct FakeChunk {
    ReadChunkResult result = ReadChunkResult::Chunk;
    QByteArray bytes;
    JitterSpan jitter{};
    bool ejects = false;  // the disc is taken out before this chunk is read
};

// An extraction library that answers from a script and records its calls. Functions named in
// `throwing` raise std::runtime_error.
class FakeCDRipLibrary : public CDRipLibrary {
  public:
    std::int32_t versionNumber = 111;
    bool startsUp = true;
    std::map<std::int32_t, FakeDrive> drives;
    std::int32_t active = 0;
    bool acceptsSettings = true;
    std::optional<DriveSettings> handedSettings;
    bool opens = true;
    std::int32_t bufferSize = 4 * 2352;
    std::vector<FakeChunk> chunks;
    std::set<std::string> throwing;
    QStringList calls;
    // Without a disc every rip fails: the ripper does not open, a chunk is not read.
    bool discIn = true;
    QStringList paths;  // drivePaths()
    std::pair<std::int32_t, std::int32_t> openedRange{-1, -1};

    std::int32_t version() override { return call("version", versionNumber); }
    bool findDrives() override { return call("findDrives", startsUp); }
    QStringList drivePaths() const override { return paths; }
    std::int32_t activeDrive() override { return call("activeDrive", active); }
    bool selectDrive(std::int32_t drive) override
    {
        const bool known = drives.count(drive) != 0;
        if (known) {
            active = drive;
        }
        return call("selectDrive", known);
    }
    std::optional<DriveInfo> describeActiveDrive() override
    {
        const auto it = drives.find(active);
        return call("describeActiveDrive", it != drives.end() ? it->second.info : std::nullopt);
    }
    bool applySettings(const DriveSettings& settings) override
    {
        handedSettings = settings;
        return call("applySettings", acceptsSettings);
    }
    DiscToc readToc() override
    {
        const auto it = drives.find(active);
        return call("readToc", it != drives.end() ? it->second.disc : DiscToc{});
    }
    bool discPresent() override { return call("discPresent", discIn); }
    std::optional<std::int32_t> openRipper(std::int32_t first, std::int32_t last) override
    {
        openedRange = {first, last};
        next_ = 0;
        jitterErrors_ = 0;
        return call("openRipper",
                    discIn && opens ? std::optional<std::int32_t>(bufferSize) : std::nullopt);
    }
    ChunkRead readChunk(std::span<std::uint8_t> destination) override
    {
        call("readChunk", 0);
        if (next_ >= chunks.size()) {
            return ChunkRead{ReadChunkResult::LastChunk, 0, {}};
        }
        const FakeChunk& chunk = chunks[next_++];
        discIn = discIn && !chunk.ejects;
        if (!discIn) {
            return ChunkRead{ReadChunkResult::Failed, 0, {}};
        }
        if (static_cast<std::size_t>(chunk.bytes.size()) > destination.size()) {
            throw std::logic_error("readChunk was given too little room");
        }
        std::copy(chunk.bytes.begin(), chunk.bytes.end(), destination.begin());
        jitterErrors_ += chunk.result == ReadChunkResult::ChunkWithJitter ? 1 : 0;
        return ChunkRead{chunk.result, static_cast<std::int32_t>(chunk.bytes.size()), chunk.jitter};
    }
    std::int32_t percentCompleted() override
    {
        return call("percentCompleted",
                    chunks.empty() ? 100 : static_cast<std::int32_t>(next_ * 100 / chunks.size()));
    }
    std::int32_t jitterErrorCount() override { return call("jitterErrorCount", jitterErrors_); }
    void closeRipper() override { call("closeRipper", 0); }

  private:
    template <typename Result>
    Result call(const char* name, Result result)
    {
        calls.append(QString::fromLatin1(name));
        if (throwing.count(name) != 0) {
            throw std::runtime_error(name);
        }
        return result;
    }

    std::size_t next_ = 0;
    std::int32_t jitterErrors_ = 0;
};

}  // namespace qvr::test
