#include "fWizardEditTitle.h"

#include "DialogLook.h"
#include "lang/ProgramTexts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace qvr {

TEditTitleWizzard::TEditTitleWizzard(int scalePercent, const ProgramTexts& texts, QWidget* parent)
    : SkinnedDialog(parent), ScalePercent(scalePercent), texts_(texts)
{
    setObjectName(QStringLiteral("TEditTitleWizzard"));
    createControls();
    connect(WeiterBitBtn, &QPushButton::clicked, this, &TEditTitleWizzard::WeiterBitBtnClick);
    connect(AbortBitBtn, &QPushButton::clicked, this, &TEditTitleWizzard::AbortBitBtnClick);
    FormCreate();
}

TEditTitleWizzard::~TEditTitleWizzard() = default;

void TEditTitleWizzard::createControls()
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    QFont bold(QStringLiteral("Microsoft Sans Serif"));
    bold.setPointSize(8);
    bold.setBold(true);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(bold);
    Label3->move(24, 24);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(24, 40, 289, 21);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(0, 72, 321, 2);
    AbortBitBtn = new QPushButton(this);
    AbortBitBtn->setObjectName(QStringLiteral("AbortBitBtn"));
    AbortBitBtn->setGeometry(128, 88, 89, 25);
    WeiterBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), QString(), this);
    WeiterBitBtn->setObjectName(QStringLiteral("WeiterBitBtn"));
    WeiterBitBtn->setGeometry(224, 88, 89, 25);
    // The picture stands right of the caption.
    WeiterBitBtn->setLayoutDirection(Qt::RightToLeft);
    MakeNoDefault(this);
    setFixedSize(345, 131);
}

// The texts are those of the language of the run; a missing number leaves its caption empty.
void TEditTitleWizzard::FormCreate()
{
    ShowTexts();
    EnlargeDialog(this, ScalePercent);
}

void TEditTitleWizzard::ShowTexts()
{
    setWindowTitle(texts_.text(22201));
    Label3->setText(texts_.text(22200));
    Label3->adjustSize();
    AbortBitBtn->setText(texts_.text(22203));
    WeiterBitBtn->setText(texts_.text(22204));
}

void TEditTitleWizzard::FormShow()
{
    update();
}

void TEditTitleWizzard::WeiterBitBtnClick()
{
    accept();
}

void TEditTitleWizzard::AbortBitBtnClick()
{
    reject();
}

}  // namespace qvr
