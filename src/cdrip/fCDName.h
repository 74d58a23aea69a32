#pragma once

#include "cdrip/SkinnedDialog.h"

#include <QColor>
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qvr {

class FormTranslation;
class MessageBoxes;
class TranslationDispatcher;

// Asks for the name of a CD (the folder its tracks are ripped into) and the frequency the
// ripped tracks are converted to. Created once at start-up; keeps its contents between showings.
class TCDNameForm : public SkinnedDialog {
    Q_OBJECT

  public:
    // The table of the dialog attaches to the dispatcher and takes its language at once.
    // Its note (a name and a frequency are needed) is shown through `messages`.
    TCDNameForm(TranslationDispatcher* dispatcher, int scalePercent, const MessageBoxes& messages,
                QWidget* parent = nullptr);
    ~TCDNameForm() override;

    // A CD name fit for a folder: separators, punctuation and Western accents replaced, umlauts
    // and sharp s spelt out, control characters removed; letters and digits of every other
    // script, and other signs, stay.
    static QString CleanCdName(const QString& text);

    QString CdName;             // the cleaned name, set by OK: the name of the CD's folder
    bool CloseAllowed = false;  // whether a close request is granted; kept between showings
    int BaseHeight = 900;       // screen height from which the dialog is enlarged
    int ScalePercent = 100;
    // Where the CD folders are made; a folder there that belongs to a CD of another name is
    // not taken. Empty: the cleaned name is used as it is.
    QString CdInputFolder;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox1 = nullptr;  // 0 .. 9: 174 Hz .. 963 Hz
    QLabel* MSGLabel = nullptr;      // never shown: the validation message in the language
    QPushButton* AbortBitBtn = nullptr;
    QPushButton* BitBtn1 = nullptr;
    FormTranslation* siLang1 = nullptr;

    // A disc's own title takes the place of the previous disc's name; without a title the
    // name field keeps what it holds.
    void OfferDiscTitle(const QString& title);
    // The name as typed, for what is shown of the CD rather than for its folder.
    QString TypedName() const;

    void FormCreate();
    void FormShow() override;
    void BitBtn1Click();
    void AbortBitBtnClick();
    bool FormCloseQuery() const { return CloseAllowed; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    void closeWith(int result);

    const MessageBoxes& messages_;
};

}  // namespace qvr
