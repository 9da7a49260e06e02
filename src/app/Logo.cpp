#include "app/Logo.h"

#include "app/ProgramFolder.h"
#include "text/ButtonImages.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace orvix {

TLogoForm::TLogoForm(const QString& programDir, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("LogoForm"));
    setWindowTitle(QStringLiteral("Nexora USB Microscope"));
    setFixedSize(300, 200);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 300, 200);
    Image1->setScaledContents(true);
    Image1->setPixmap(ButtonImages::loadPicture(
        programDir, ProgramFolder::cwdResource(QStringLiteral("Bitmap/ShowMap/InitialMap.bmp"))));

    VersionInfo_Lab = new QLabel(QStringLiteral("Version 2.3"), this);
    VersionInfo_Lab->setObjectName(QStringLiteral("VersionInfo_Lab"));
    VersionInfo_Lab->setGeometry(184, 176, 115, 24);
    VersionInfo_Lab->setAlignment(Qt::AlignCenter);
    VersionInfo_Lab->setAttribute(Qt::WA_TranslucentBackground);
    QFont f = VersionInfo_Lab->font();
    f.setPixelSize(19);
    VersionInfo_Lab->setFont(f);
    QPalette p = VersionInfo_Lab->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    VersionInfo_Lab->setPalette(p);
}

void TLogoForm::showFor(int ms)
{
    if (QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - width()) / 2, (g.height() - height()) / 2);
    }
    show();
    repaint();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    // Only paint events: no other window exists yet, and input must not reach anything.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    hide();
}

} // namespace orvix
