#pragma once

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>

class QLabel;

namespace qvr {

// The picture behind the main window. It keeps the JPEG of the current picture and decodes it
// at the smallest scale that covers the window; when the window grows beyond that, it decodes
// again. While the window is hidden, decoding waits until the picture is shown.
class BackgroundPicture : public QObject {
    Q_OBJECT
  public:
    // The source name of the built-in background.
    static inline const QString kBuiltIn = QStringLiteral(":built-in");

    explicit BackgroundPicture(QLabel* label);

    void showBuiltIn(QSize cover);
    // False when the file is missing or holds no readable JPEG; the current picture stays.
    bool showFile(const QString& path, QSize cover);
    // Called when the window's size changes.
    void fit(QSize cover);

    // The file of the picture shown, or kBuiltIn.
    const QString& source() const { return source_; }
    // The size the picture was last decoded at; empty before the first decode.
    QSize decodedSize() const { return decodedSize_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool show(const QByteArray& jpeg, const QString& source, QSize cover);
    bool decode(QSize cover);

    QLabel* label_;
    QByteArray jpeg_;
    QString source_;
    QSize pictureSize_;
    QSize decodedSize_;
    int decodedScale_ = 0;  // 0: not decoded yet
};

}  // namespace qvr
