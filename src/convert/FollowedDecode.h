#pragma once

#include "AudioCheck.h"
#include "OutputCheck.h"

#include <QString>

#include <functional>
#include <memory>

namespace qvr {

// Decodes an output while its encoder writes it, so that the decode costs no time of its own:
// once the encoder has ended and the tags are written, what is left is a read of the file's
// packets, not a decode. The finished file counts as decoded only when it holds the very packets
// that were decoded (the encoder's headers and the tags may change around them); any other file
// is decoded whole. Its threads run at the checks' priority and are never waited for.
class FollowedDecode : public PendingFacts {
  public:
    // `demuxer` is FFmpeg's name of the stream the encoder writes ("mp3", "flac", "aac").
    // `whenChanged` is called on a thread of the decode once the file has been followed to its
    // end and once the facts are ready, unless the object has gone before.
    FollowedDecode(const QString& path, const char* demuxer,
                   std::function<void()> whenChanged = {});
    ~FollowedDecode() override;
    FollowedDecode(const FollowedDecode&) = delete;
    FollowedDecode& operator=(const FollowedDecode&) = delete;

    // The encoder has ended: what it left is read to the end of the file.
    void writerEnded();
    // Everything the encoder wrote has been read (or the follow gave up): the file may change.
    bool followed() const;
    // Once followed: judges the finished file against what was decoded, on a thread.
    void confirm();

    bool ready() const override;
    const AudioFacts& facts() const override;
    // False when the finished file had to be decoded whole.
    bool decodedAsWritten() const override;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace qvr
