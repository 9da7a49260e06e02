#include "text/About.h"

#include "text/ButtonImages.h"
#include "text/TextRecords.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace orvix {

QString TAboutOrvixDlg::companyName()
{
    return QStringLiteral("Korvane Technology Co., Ltd.");
}
QString TAboutOrvixDlg::webAddress()
{
    return QStringLiteral("https://www.korvane.example/orvix5");
}
QString TAboutOrvixDlg::rightsNotice()
{
    return QStringLiteral("Copyright (C) 2026 Korvane Technology. All rights reserved.");
}
QString TAboutOrvixDlg::versionText()
{
    return QStringLiteral("Version ") + QStringLiteral("2.307.6") + QStringLiteral("DBs");
}

TAboutOrvixDlg::TAboutOrvixDlg(const QString& programDir, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutOrvixDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(300, 350);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 300, 350);
    Image1->setScaledContents(true);
    Image1->setPixmap(
        ButtonImages::loadPicture(programDir, QStringLiteral("Bitmap/ShowMap/AboutMap.bmp")));

    const QColor moneyGreen(0xC0, 0xDC, 0xC0);
    auto label = [&](const char* name, int top) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(0, top, 300, 13);
        l->setAlignment(Qt::AlignCenter);
        l->setAttribute(Qt::WA_TranslucentBackground);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, moneyGreen);
        l->setPalette(p);
        return l;
    };
    VersionInfo_Lab = label("VersionInfo_Lab", 224);
    CorporationInfo_Lab = label("CorporationInfo_Lab", 248);
    CopyRightInfo_Lab = label("CopyRightInfo_Lab", 272);

    WebSiteBtn = new QPushButton(this);
    WebSiteBtn->setObjectName(QStringLiteral("WebSiteBtn"));
    WebSiteBtn->setGeometry(24, 312, 185, 25);
    WebSiteBtn->setCursor(Qt::PointingHandCursor);
    OKBtn = new QPushButton(this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(228, 312, 53, 25);
    OKBtn->setCursor(Qt::PointingHandCursor);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(WebSiteBtn, &QPushButton::clicked, this, &TAboutOrvixDlg::WebSiteBtnClick);

    AboutDlg_InfoSet();
}

void TAboutOrvixDlg::AboutDlg_InfoSet()
{
    setFont(QApplication::font());
    setWindowTitle(QString());
    VersionInfo_Lab->clear();
    CorporationInfo_Lab->clear();
    CopyRightInfo_Lab->clear();
    WebSiteBtn->setText(QString());
    OKBtn->setText(QString());

    setWindowTitle(texts().AboutDialogData[QStringLiteral("AboutTitle_Dlg")]);
    for (QWidget* w :
         {static_cast<QWidget*>(VersionInfo_Lab), static_cast<QWidget*>(CorporationInfo_Lab),
          static_cast<QWidget*>(WebSiteBtn)}) {
        QFont f = font();
        f.setPointSize(9);
        w->setFont(f);
    }
    QFont small = font();
    small.setPointSize(8);
    CopyRightInfo_Lab->setFont(small);
    VersionInfo_Lab->setText(versionText());
    CorporationInfo_Lab->setText(companyName());
    WebSiteBtn->setText(webAddress());
    CopyRightInfo_Lab->setText(rightsNotice());
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
}

int TAboutOrvixDlg::execCentered()
{
    AboutDlg_InfoSet();
    if (QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - width()) / 2, (g.height() - height()) / 2);
    }
    return exec();
}

void TAboutOrvixDlg::WebSiteBtnClick()
{
    QDesktopServices::openUrl(QUrl(WebSiteBtn->text()));
}

} // namespace orvix
