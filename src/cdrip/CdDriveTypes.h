#pragma once

#include <cstdint>

namespace qvr {

// The values a CD drive is described with, shared by the ripper component and the extraction
// library beneath it.

enum class TOutputFormat : std::uint8_t {
    STEREO44100 = 0,
    MONO44100 = 1,
    STEREO22050 = 2,
    MONO22050 = 3,
    STEREO11025 = 4,
    MONO11025 = 5,
};

enum class TDriveType : std::int32_t {
    GENERIC,
    TOSHIBA,
    TOSHIBANEW,
    IBM,
    NEC,
    DEC,
    IMS,
    KODAK,
    RICOH,
    HP,
    PHILIPS,
    PLASMON,
    GRUNDIGCDR100IPW,
    MITSUMICDR,
    PLEXTOR,
    SONY,
    YAMAHA,
    NRC,
    IMSCDD5,
    CUSTOMDRIVE,
};
enum class TReadMethod : std::int32_t {
    READMMC,
    READ10,
    READNEC,
    READSONY,
    READMMC2,
    READMMC3,
    READC1,
    READC2,
    READC3,
};
enum class TSetSpeed : std::int32_t {
    SPEEDNONE,
    SPEEDMMC,
    SPEEDSONY,
    SPEEDYAMAHA,
    SPEEDTOSHIBA,
    SPEEDPHILIPS,
    SPEEDNEC,
};
enum class TEndian : std::int32_t { BIGENDIAN, LITTLEENDIAN };
enum class TEnableMode : std::int32_t { ENABLENONE, ENABLESTD };

// The command-set values of a drive.
class TDriveTableClass {
  public:
    TDriveType DriveType = TDriveType::GENERIC;
    TReadMethod ReadMethod = TReadMethod::READMMC;
    TSetSpeed SetSpeed = TSetSpeed::SPEEDNONE;
    TEndian Endian = TEndian::BIGENDIAN;
    TEnableMode EnableMode = TEnableMode::ENABLENONE;
    std::int32_t Density = 0;
    bool Atapi = false;

    bool operator==(const TDriveTableClass&) const = default;
};

}  // namespace qvr
