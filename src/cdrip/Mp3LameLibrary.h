#pragma once

#include "cdrip/LameEncLibrary.h"

#include <map>
#include <memory>

struct lame_global_struct;

namespace qvr {

// The encoder library's stream interface over libmp3lame. Each open stream is one lame encoder;
// handles are small numbers that stay unique for the life of the library object.
class Mp3LameLibrary : public LameEncLibrary {
  public:
    // The version of this layer, reported beside the engine's.
    static constexpr std::uint8_t kLayerMajorVersion = 1;
    static constexpr std::uint8_t kLayerMinorVersion = 0;

    Mp3LameLibrary();
    ~Mp3LameLibrary() override;

    LameVersionNumbers version() override;
    std::int32_t initStream(const Mp3Settings& settings, Mp3Stream* opened) override;
    std::int32_t encodeChunk(std::uint32_t stream, std::uint32_t samples, const std::int16_t* pcm,
                             std::uint8_t* output, std::uint32_t* outputCount) override;
    std::int32_t deinitStream(std::uint32_t stream, std::uint8_t* output,
                              std::uint32_t* outputCount) override;
    std::int32_t closeStream(std::uint32_t stream) override;

  private:
    struct LameCloser {
        void operator()(lame_global_struct* flags) const;
    };
    using Encoder = std::unique_ptr<lame_global_struct, LameCloser>;
    struct Stream {
        Encoder encoder;
        int channels = 2;
    };

    Stream* find(std::uint32_t stream);

    std::map<std::uint32_t, Stream> streams_;
    std::uint32_t nextHandle_ = 1;
};

}  // namespace qvr
