#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace qvr {

class DesktopOpener;
class LinkLabel;

// What the about box shows and where its links lead; read once, when the box is created.
struct AboutBoxContent {
    QString programFolder;
    QString versionText;
    QString productPageAddress;
    QString supportMailAddress;
    // Opens an address; empty: the desktop's handler, else the web browser.
    std::function<bool(const QString&)> openDocument;
    // The main window's start-up scaling: the box grows with it on large screens.
    int scalePercent = 100;
};

// The about box: name, version, rights notice, the publisher's web site and the support mail
// address. Not translated; created once at start-up, after the main window, and scaled as it is.
class TAboutBoxQVR : public QDialog {
    Q_OBJECT

  public:
    explicit TAboutBoxQVR(AboutBoxContent content, QWidget* parent = nullptr);
    ~TAboutBoxQVR() override;

    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* Copyright = nullptr;
    LinkLabel* URLLabel = nullptr;
    LinkLabel* MailLabel = nullptr;
    QPushButton* UpdateButton = nullptr;
    QPushButton* OKButton = nullptr;

    void FormCreate();
    void URLLabelClick();
    void MailLabelClick();
    void UpdateButtonClick();
    // The product page of another language, which the user chose.
    void setProductPageAddress(const QString& address) { content_.productPageAddress = address; }

  private:
    void createControls();
    void scaleControls();
    void open(const QString& address);

    AboutBoxContent content_;
    DesktopOpener* opener_ = nullptr;
};

}  // namespace qvr
