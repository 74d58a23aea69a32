#include "BackgroundPicture.h"

#include "BuiltInBackground.h"
#include "JpegImage.h"
#include "platform/FileSystem.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

namespace qvr {

BackgroundPicture::BackgroundPicture(QLabel* label) : QObject(label), label_(label)
{
    label_->installEventFilter(this);
}

bool BackgroundPicture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label_ && event->type() == QEvent::Show) {
        fit(label_->size());
    }
    return QObject::eventFilter(watched, event);
}

void BackgroundPicture::showBuiltIn(QSize cover)
{
    show(QByteArray::fromRawData(reinterpret_cast<const char*>(kBuiltInBackgroundJpeg),
                                 static_cast<qsizetype>(kBuiltInBackgroundJpegSize)),
         kBuiltIn, cover);
}

bool BackgroundPicture::showFile(const QString& path, QSize cover)
{
    const std::optional<QByteArray> jpeg = ReadFileBytes(path);
    return jpeg && show(*jpeg, path, cover);
}

bool BackgroundPicture::show(const QByteArray& jpeg, const QString& source, QSize cover)
{
    const std::optional<QSize> size = JpegPictureSize(jpeg);
    if (!size) {
        return false;
    }
    const QByteArray previous = jpeg_;
    const QSize previousSize = pictureSize_;
    const int previousScale = decodedScale_;
    jpeg_ = jpeg;
    pictureSize_ = *size;
    decodedScale_ = 0;
    if (label_->isVisible() && !decode(cover)) {
        // Damaged past the header: the picture shown so far stays.
        jpeg_ = previous;
        pictureSize_ = previousSize;
        decodedScale_ = previousScale;
        return false;
    }
    source_ = source;
    return true;
}

void BackgroundPicture::fit(QSize cover)
{
    if (jpeg_.isEmpty() || !label_->isVisible()) {
        return;
    }
    if (decodedScale_ == 0 || JpegScaleFor(pictureSize_, cover) > decodedScale_) {
        decode(cover);
    }
}

bool BackgroundPicture::decode(QSize cover)
{
    std::optional<QImage> image = DecodeJpeg(jpeg_, cover);
    if (!image) {
        return false;
    }
    decodedScale_ = JpegScaleFor(pictureSize_, cover);
    decodedSize_ = image->size();
    label_->setPixmap(QPixmap::fromImage(std::move(*image)));
    return true;
}

}  // namespace qvr
