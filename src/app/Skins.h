#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace qvr {

// What a skin changes: the background picture, the title line's colour, the list's selection
// colour and the two colours of the dialogs' gradient.
struct SkinLook {
    int number;
    const char* picturePrefix;  // the pictures are prefix + size class + ".jpg"
    QColor headerColour;
    QColor selectionColour;
    QColor gradientStart;
    QColor gradientEnd;
};

inline constexpr int kSkinCount = 10;
// The list's selection colour before any skin is applied.
inline const QColor kDesignSelectionColour{136, 141, 222};

// The skin of a number 1 .. 10.
const SkinLook& SkinLookFor(int number);

// SkinFolder + prefix + size class + ".jpg".
QString SkinPicturePath(const QString& skinFolder, const SkinLook& skin,
                        const QString& resolutionClass);

QString SkinSettingFile(const QString& workFolder);
// The skin stored in "skin.ini": its first line exactly "1" .. "10". Nothing for any other
// content, for an empty file and for a missing one.
std::optional<int> StoredSkinNumber(const QString& workFolder);
// Replaces "skin.ini" with one line, the number.
void StoreSkinNumber(const QString& workFolder, const QString& number);

}  // namespace qvr
