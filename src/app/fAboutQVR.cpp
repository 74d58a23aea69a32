#include "fAboutQVR.h"

#include "JpegImage.h"
#include "LinkLabel.h"
#include "Publisher.h"
#include "Scaling.h"
#include "cdrip/DialogLook.h"
#include "platform/DesktopOpener.h"
#include "platform/FileSystem.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace qvr {
namespace {

QLabel* placeLabel(QLabel* label, const char* name, int left, int top)
{
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

}  // namespace

TAboutBoxQVR::TAboutBoxQVR(AboutBoxContent content, QWidget* parent)
    : QDialog(parent), content_(std::move(content))
{
    setObjectName(QStringLiteral("TAboutBoxQVR"));
    createControls();
    connect(URLLabel, &LinkLabel::clicked, this, &TAboutBoxQVR::URLLabelClick);
    connect(MailLabel, &LinkLabel::clicked, this, &TAboutBoxQVR::MailLabelClick);
    connect(UpdateButton, &QPushButton::clicked, this, &TAboutBoxQVR::UpdateButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

TAboutBoxQVR::~TAboutBoxQVR() = default;

void TAboutBoxQVR::createControls()
{
    setModal(true);
    setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // Box with a sunken shadow: a lowered outer and a raised inner bevel.
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 8, 249, 209);

    Image1 = placeLabel(new QLabel(Panel1), "Image1", 6, 8);
    Image1->resize(236, 89);
    Image1->setAlignment(Qt::AlignCenter);
    ProductName = placeLabel(new QLabel(Panel1), "ProductName", 8, 104);
    VersionLabel = placeLabel(new QLabel(Panel1), "VersionLabel", 8, 120);
    Copyright = placeLabel(new QLabel(Panel1), "Copyright", 8, 144);
    URLLabel = new LinkLabel(QString(), Panel1);
    placeLabel(URLLabel, "URLLabel", 8, 168);
    URLLabel->setWordWrap(true);
    MailLabel = new LinkLabel(QString(), Panel1);
    placeLabel(MailLabel, "MailLabel", 8, 184);

    UpdateButton = new QPushButton(QStringLiteral("Update"), Panel1);
    UpdateButton->setObjectName(QStringLiteral("UpdateButton"));
    UpdateButton->setGeometry(144, 152, 89, 25);
    UpdateButton->setAutoDefault(false);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(95, 228, 75, 25);
    OKButton->setDefault(true);
    setFixedSize(264, 262);
    scaleControls();
}

// Every control, its font and the box itself grow by the main window's percentage.
void TAboutBoxQVR::scaleControls()
{
    // The picture keeps its design box, grown: fitting the labels to their texts would shrink
    // the picture's label, still empty here, to nothing.
    const QRect picture = Image1->geometry();
    EnlargeDialog(this, content_.scalePercent);
    const int p = content_.scalePercent;
    Image1->setGeometry(Scaled(picture.x(), p), Scaled(picture.y(), p), Scaled(picture.width(), p),
                        Scaled(picture.height(), p));
}

void TAboutBoxQVR::FormCreate()
{
    setWindowTitle(kProductName);
    const QString picture = content_.programFolder + QStringLiteral("recom_GR/m_about.jpg");
    if (const auto jpeg = ReadFileBytes(picture)) {
        // The banner fills the picture's box at every size class.
        if (std::optional<QImage> image = DecodeJpeg(*jpeg, Image1->size())) {
            Image1->setPixmap(QPixmap::fromImage(
                image->scaled(Image1->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
        }
    }
    ProductName->setText(kProductName);
    Copyright->setText(kRightsNotice);
    URLLabel->setText(kPublisherWebSiteName);
    MailLabel->setText(content_.supportMailAddress);
    VersionLabel->setText(content_.versionText);
    for (QLabel* label :
         std::initializer_list<QLabel*>{ProductName, VersionLabel, Copyright, MailLabel}) {
        label->adjustSize();
    }
    URLLabel->setFixedWidth(Scaled(130, content_.scalePercent));
    URLLabel->adjustSize();
}

void TAboutBoxQVR::URLLabelClick()
{
    open(content_.productPageAddress);
}

void TAboutBoxQVR::MailLabelClick()
{
    open(QStringLiteral("mailto:") + content_.supportMailAddress);
}

void TAboutBoxQVR::UpdateButtonClick()
{
    open(content_.productPageAddress);
}

void TAboutBoxQVR::open(const QString& address)
{
    if (content_.openDocument) {
        content_.openDocument(address);
        return;
    }
    if (opener_ == nullptr) {
        opener_ = new DesktopOpener(Milliseconds(10'000), this);
    }
    opener_->openDocument(address);
}

}  // namespace qvr
