#include "fCDName.h"

#include "DialogLook.h"
#include "FileNames.h"
#include "convert/Frequencies.h"
#include "lang/MessageBoxes.h"
#include "lang/TranslationDispatcher.h"
#include "platform/Text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace qvr {
namespace {

constexpr int kClientWidth = 340;
constexpr int kClientHeight = 193;

}  // namespace

QString TCDNameForm::CleanCdName(const QString& text)
{
    return CleanedCdName(text);
}

TCDNameForm::TCDNameForm(TranslationDispatcher* dispatcher, int scalePercent,
                         const MessageBoxes& messages, QWidget* parent)
    : SkinnedDialog(parent), ScalePercent(scalePercent), messages_(messages)
{
    setObjectName(QStringLiteral("TCDNameForm"));
    createControls();
    connect(BitBtn1, &QPushButton::clicked, this, &TCDNameForm::BitBtn1Click);
    connect(AbortBitBtn, &QPushButton::clicked, this, &TCDNameForm::AbortBitBtnClick);
    siLang1 = new FormTranslation(
        this, LoadTranslationResource(QStringLiteral(":/translations/fCDName.translation")),
        dispatcher);
    FormCreate();
}

TCDNameForm::~TCDNameForm() = default;

void TCDNameForm::createControls()
{
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    QFont font(QStringLiteral("Microsoft Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    QFont bold = font;
    bold.setBold(true);

    Label1 = new QLabel(QStringLiteral("Name für die CD eingeben"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(bold);
    Label1->move(16, 16);
    Label1->adjustSize();
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 32, 305, 21);
    Label2 = new QLabel(QStringLiteral("Nach dem CD einlesen Konvertieren in:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(bold);
    Label2->move(16, 80);
    Label2->adjustSize();
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(19, 96, 302, 21);
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->addItems(FrequencyItems());
    ComboBox1->setPlaceholderText(QStringLiteral("- Bitte Auswählen -"));
    ComboBox1->setCurrentIndex(-1);
    MSGLabel = new QLabel(QStringLiteral("Bitte zuerst alle Daten eingeben!"), this);
    MSGLabel->setObjectName(QStringLiteral("MSGLabel"));
    MSGLabel->move(16, 128);
    AbortBitBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                  QStringLiteral("Abbrechen"), this);
    AbortBitBtn->setObjectName(QStringLiteral("AbortBitBtn"));
    AbortBitBtn->setGeometry(32, 144, 129, 25);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(174, 144, 129, 25);
    MakeNoDefault(this);
    setFixedSize(kClientWidth, kClientHeight);
}

void TCDNameForm::FormCreate()
{
    MSGLabel->hide();
    EnlargeDialog(this, ScalePercent);
}

void TCDNameForm::FormShow()
{
    update();
}

void TCDNameForm::OfferDiscTitle(const QString& title)
{
    if (!title.isEmpty()) {
        Edit1->setText(title);
    }
}

QString TCDNameForm::TypedName() const
{
    return TrimBlanksAndControls(Edit1->text());
}

void TCDNameForm::BitBtn1Click()
{
    CloseAllowed = false;
    CdName = CleanCdName(TrimBlanksAndControls(Edit1->text()));
    if (TrimBlanksAndControls(CdName).isEmpty() || ComboBox1->currentIndex() < 0) {
        messages_.show(MSGLabel->text(), MessageKind::Information, {MessageButton::OK});
        return;
    }
    if (!CdInputFolder.isEmpty()) {
        CdName = CdFolderName(CdInputFolder, CdName, TypedName());
    }
    CloseAllowed = true;
    closeWith(Accepted);
}

void TCDNameForm::AbortBitBtnClick()
{
    CloseAllowed = true;
    closeWith(Rejected);
}

// A button's result closes the dialog only when the close request is granted.
void TCDNameForm::closeWith(int result)
{
    if (FormCloseQuery()) {
        done(result);
    }
}

void TCDNameForm::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace qvr
