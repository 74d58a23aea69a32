#include "Skins.h"

#include "platform/FileSystem.h"

#include <array>

namespace qvr {
namespace {

const QColor kWhite{255, 255, 255};
const QColor kBlack{0, 0, 0};

// Skin 1 shows the pictures with prefix "2-" and skin 2 those with "1-".
const std::array<SkinLook, kSkinCount> kSkins = {{
    {1, "2-", kWhite, {104, 182, 166}, kWhite, {88, 148, 76}},
    {2, "1-", kBlack, {136, 142, 220}, {133, 144, 217}, {249, 249, 249}},
    {3, "3-", kBlack, {243, 101, 32}, kWhite, {243, 101, 32}},
    {4, "4-", kWhite, {78, 93, 155}, kWhite, {78, 93, 155}},
    {5, "5-", {255, 255, 0}, {83, 100, 169}, kWhite, {83, 100, 169}},
    {6, "6-", kWhite, {88, 88, 88}, kWhite, {88, 88, 88}},
    {7, "7-", kBlack, {140, 140, 140}, kWhite, {140, 140, 140}},
    {8, "8-", kBlack, {180, 180, 180}, kWhite, {200, 200, 200}},
    {9, "9-", kWhite, {69, 69, 69}, kWhite, {75, 75, 75}},
    {10, "10-", kBlack, {19, 75, 135}, kWhite, {19, 75, 135}},
}};

}  // namespace

const SkinLook& SkinLookFor(int number)
{
    Q_ASSERT(number >= 1 && number <= kSkinCount);
    return kSkins.at(static_cast<std::size_t>(number - 1));
}

QString SkinPicturePath(const QString& skinFolder, const SkinLook& skin,
                        const QString& resolutionClass)
{
    return skinFolder + QLatin1String(skin.picturePrefix) + resolutionClass +
           QStringLiteral(".jpg");
}

QString SkinSettingFile(const QString& workFolder)
{
    return workFolder + QStringLiteral("skin.ini");
}

std::optional<int> StoredSkinNumber(const QString& workFolder)
{
    const std::optional<QString> line = ReadFirstLine(SkinSettingFile(workFolder));
    if (!line) {
        return std::nullopt;
    }
    for (int number = 1; number <= kSkinCount; ++number) {
        if (*line == QString::number(number)) {
            return number;
        }
    }
    return std::nullopt;
}

void StoreSkinNumber(const QString& workFolder, const QString& number)
{
    WriteTextFile(SkinSettingFile(workFolder), number + QStringLiteral("\r\n"));
}

}  // namespace qvr
