// The labels drawn over the skin pictures stay readable: for every skin and every size class the
// built picture behind each label, as the window lays it out, gives the label's colour a WCAG
// contrast of at least 4.5:1 (3:1 for the large error label).
#include "StartupFixture.h"
#include "app/BackgroundPicture.h"
#include "app/JpegImage.h"
#include "app/Skins.h"
#include "lang/Language.h"
#include "support/MainFormControls.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace qvr;
using namespace qvr::test;

namespace {

double linearChannel(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb colour)
{
    return 0.2126 * linearChannel(qRed(colour)) + 0.7152 * linearChannel(qGreen(colour)) +
           0.0722 * linearChannel(qBlue(colour));
}

double contrast(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// Glyph strokes may fall on any pixel of the label, so the figure is the contrast that 99% of
// the pixels behind the label reach: the worst case, leaving out only the odd pixel of JPEG
// ringing. An average over the region would hide a bright spot under a white word.
double contrastBehind(const QImage& picture, const QRect& region, const QColor& text)
{
    const double textLuminance = luminance(text.rgb());
    std::vector<double> ratios;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            ratios.push_back(contrast(textLuminance, luminance(picture.pixel(x, y))));
        }
    }
    const auto worst = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 100);
    std::nth_element(ratios.begin(), worst, ratios.end());
    return *worst;
}

// The picture is stretched over the client area, so a label's rectangle maps by the two ratios.
QRect behind(const QLabel& label, QSize client, QSize picture)
{
    const QRect g = label.geometry();
    const double sx = static_cast<double>(picture.width()) / client.width();
    const double sy = static_cast<double>(picture.height()) / client.height();
    const QRect mapped(QPoint(static_cast<int>(g.left() * sx), static_cast<int>(g.top() * sy)),
                       QPoint(static_cast<int>(std::ceil((g.right() + 1) * sx)) - 1,
                              static_cast<int>(std::ceil((g.bottom() + 1) * sy)) - 1));
    return mapped.intersected(QRect(QPoint(0, 0), picture));
}

QImage builtPicture(int skin, const QString& sizeClass)
{
    const QString path = SkinPicturePath(QStringLiteral(QUORVANE_PROGRAM_DIR "/recom_GR/"),
                                         SkinLookFor(skin), sizeClass);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return DecodeJpeg(file.readAll()).value_or(QImage());
}

struct LabelCase {
    const char* name;
    const char* label;
    double required;
    bool onlyDuringARun;  // brings its own backdrop
};

// The error label's 24 pt counts as large text.
const LabelCase kLabels[] = {{"title", "HeaderLabel", 4.5, false},
                             {"counter", "ProgressLabel", 4.5, true},
                             {"converting", "ConvertMSGLabel", 4.5, true},
                             {"error", "FehlerLabel", 3.0, true}};

const int kScreenHeights[] = {768, 900, 1080, 1440, 2160};

double meanLuminance(const QImage& picture, const QRect& region)
{
    double sum = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            sum += luminance(picture.pixel(x, y));
        }
    }
    return sum / (region.width() * region.height());
}

class SkinContrast : public StartupFixture, public ::testing::WithParamInterface<int> {
  protected:
    // The window shows the built pictures.
    void SetUp() override
    {
        StartupFixture::SetUp();
        QDir().mkpath(programFolder);
        ASSERT_TRUE(QFile::link(QStringLiteral(QUORVANE_PROGRAM_DIR "/recom_GR"),
                                programFolder + "recom_GR"));
    }

    // The longest texts the counter and the error label show in a run, shown as a run shows
    // them.
    void showRunLabels(TMainFormQVR& form) const
    {
        controls(form).ProgressLabel->setText(QStringLiteral("999 / 999 ") + texts().text(506));
        controls(form).ProgressLabel->adjustSize();
        controls(form).FehlerLabel->setText(QStringLiteral("Errors 999"));
        controls(form).FehlerLabel->adjustSize();
        for (QLabel* label : {controls(form).ProgressLabel, controls(form).FehlerLabel,
                              controls(form).ConvertMSGLabel}) {
            label->show();
        }
    }
};

}  // namespace

// The title reads on the picture itself; a label of a run reads on the backdrop it brings.
TEST_P(SkinContrast, EveryLabelReadsOnEverySkin)
{
    auto form = start({}, GetParam());
    form->show();
    showRunLabels(*form);
    const QSize client = controls(*form).BkgImage->size();
    for (int skin = 1; skin <= kSkinCount; ++skin) {
        controls(*form).SkinItems.at(skin - 1)->trigger();
        const QImage picture = builtPicture(skin, form->resolutionClass());
        ASSERT_FALSE(picture.isNull())
            << "skin " << skin << " " << form->resolutionClass().toStdString();
        ASSERT_EQ(form->background().source(),
                  SkinPicturePath(programFolder + "recom_GR/", SkinLookFor(skin),
                                  form->resolutionClass()));
        for (const LabelCase& c : kLabels) {
            const QLabel& label = *findControl<QLabel>(*form, c.label);
            const QColor text = label.palette().color(QPalette::WindowText);
            double ratio = 0;
            if (c.onlyDuringARun) {
                auto* backdrop =
                    findControl<QWidget>(*form, (c.label + std::string("Backdrop")).c_str());
                ASSERT_TRUE(backdrop->isVisible()) << c.name;
                const QImage shown = backdrop->grab().toImage();
                ratio = contrastBehind(shown, label.geometry().translated(-backdrop->pos()), text);
            } else {
                ratio = contrastBehind(picture, behind(label, client, picture.size()), text);
            }
            EXPECT_GE(ratio, c.required)
                << c.name << " on skin " << skin << " at " << form->resolutionClass().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SizeClasses, SkinContrast, ::testing::ValuesIn(kScreenHeights));

// The idle window shows no empty boxes: the labels of a run and their backdrops are hidden, and
// the pictures carry no toned patch where those labels go (the same place a little aside looks
// alike).
TEST_F(SkinContrast, TheIdleWindowShowsNoBackdrops)
{
    auto form = start({}, 768);
    form->show();
    for (const LabelCase& c : kLabels) {
        if (c.onlyDuringARun) {
            EXPECT_FALSE(findControl<QLabel>(*form, c.label)->isVisible()) << c.name;
            EXPECT_FALSE(findControl<QWidget>(*form, (c.label + std::string("Backdrop")).c_str())
                             ->isVisible())
                << c.name;
        }
    }
    // Where the counter and "Converting..." go, and beside them out of reach of any backdrop.
    const struct {
        const char* name;
        QRect place, aside;
    } places[] = {{"counter", QRect(32, 589, 368, 23), QRect(520, 589, 368, 23)},
                  {"converting", QRect(861, 16, 140, 20), QRect(640, 16, 140, 20)}};
    for (int skin = 1; skin <= kSkinCount; ++skin) {
        const QImage picture = builtPicture(skin, QStringLiteral("768"));
        ASSERT_FALSE(picture.isNull()) << skin;
        const double sx = picture.width() / 1034.0;
        const double sy = picture.height() / 616.0;
        auto mapped = [&](const QRect& r) {
            return QRect(qRound(r.x() * sx), qRound(r.y() * sy), qRound(r.width() * sx),
                         qRound(r.height() * sy));
        };
        for (const auto& p : places) {
            const double here = meanLuminance(picture, mapped(p.place));
            const double aside = meanLuminance(picture, mapped(p.aside));
            EXPECT_LT(contrast(here, aside), 1.5) << p.name << " on skin " << skin;
        }
    }
}
