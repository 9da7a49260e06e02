#pragma once
// The About dialog: product picture, version, maker, rights notice and the web-site button.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orvix {

class TAboutOrvixDlg : public QDialog {
    Q_OBJECT
public:
    // programDir: the folder holding Bitmap/ShowMap/AboutMap.bmp.
    TAboutOrvixDlg(const QString& programDir, QWidget* parent = nullptr);

    void AboutDlg_InfoSet();
    int execCentered();

    static QString companyName();
    static QString webAddress();
    static QString rightsNotice();
    static QString versionText();

    QLabel* Image1 = nullptr;
    QLabel* VersionInfo_Lab = nullptr;
    QLabel* CorporationInfo_Lab = nullptr;
    QLabel* CopyRightInfo_Lab = nullptr;
    QPushButton* WebSiteBtn = nullptr;
    QPushButton* OKBtn = nullptr;

private:
    void WebSiteBtnClick();
};

} // namespace orvix
