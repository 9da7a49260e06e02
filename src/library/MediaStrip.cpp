#include "library/MediaStrip.h"

#include "text/ControlRole.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace orvix {

ThumbnailSlot::ThumbnailSlot(QWidget* parent) : QLabel(parent)
{
    setScaledContents(true);
    setAlignment(Qt::AlignCenter);
}

void ThumbnailSlot::showFile(const QString& path, const QPixmap& picture)
{
    m_path = path;
    setPixmap(picture);
    setToolTip(path);
}

void ThumbnailSlot::clearSlot()
{
    m_path.clear();
    clear();
    setToolTip(QString());
}

void ThumbnailSlot::mouseDoubleClickEvent(QMouseEvent*)
{
    if (!m_path.isEmpty())
        Q_EMIT doubleClicked();
}

void ThumbnailSlot::contextMenuEvent(QContextMenuEvent* e)
{
    if (!m_path.isEmpty())
        Q_EMIT contextRequested(e->globalPos());
}

MediaStrip::MediaStrip(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));
    static const char* sheetNames[3] = {"TabSheet1", "TabSheet2", "TabSheet3"};
    static const char* captions[3] = {"BMP  Image", "JPG  Image", "AVI  Video"};
    static const char* prefix[3] = {"Bmp", "Jpg", "Avi"};
    static const char* buttonText[3] = {"Image Path", "Image Path", "Video Path"};
    for (int k = 0; k < 3; ++k) {
        MediaTab& t = m_tabs[size_t(k)];
        t.sheet = named(new QWidget, sheetNames[k], ControlRole::TabSheet);
        addTab(t.sheet, QString::fromLatin1(captions[k]));
        const QString pre = QString::fromLatin1(prefix[k]);
        for (int n = 0; n < 5; ++n) {
            auto* bevel = new QFrame(t.sheet);
            bevel->setObjectName(QStringLiteral("%1_Bevel%2").arg(pre).arg(n + 1));
            bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
            bevel->setGeometry(3 + 144 * n, 11, 138, 106);
            auto* slot = new ThumbnailSlot(t.sheet);
            slot->setObjectName(QStringLiteral("%1_Image%2").arg(pre).arg(n + 1));
            slot->setGeometry(8 + 144 * n, 16, 128, 96);
            t.bevels[size_t(n)] = bevel;
            t.slots[size_t(n)] = slot;
            connect(slot, &ThumbnailSlot::doubleClicked, this,
                    [this, k, n] { Q_EMIT slotDoubleClicked(k, n); });
            connect(slot, &ThumbnailSlot::contextRequested, this,
                    [this, k, n](const QPoint& p) { Q_EMIT slotContextRequested(k, n, p); });
        }
        t.counter = new QLabel(QStringLiteral("000/000"), t.sheet);
        t.counter->setObjectName(QStringLiteral("%1Num_Label").arg(pre));
        t.counter->setGeometry(720, 14, 72, 23);
        t.counter->setAlignment(Qt::AlignCenter);
        QFont cf;
        // Liberation Serif has the metrics of Times New Roman, so the counter fits its box.
        cf.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                        QStringLiteral("DejaVu Serif")});
        cf.setPixelSize(21);
        t.counter->setFont(cf);
        QPalette cp = t.counter->palette();
        cp.setColor(QPalette::WindowText, Qt::black);
        t.counter->setPalette(cp);

        t.pager = new QWidget(t.sheet);
        t.pager->setObjectName(QStringLiteral("List%1_UpDown").arg(pre));
        t.pager->setGeometry(720, 40, 73, 49);
        auto* lay = new QHBoxLayout(t.pager);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->setSpacing(1);
        t.pageLeft = new QToolButton(t.pager);
        t.pageLeft->setArrowType(Qt::LeftArrow);
        t.pageRight = new QToolButton(t.pager);
        t.pageRight->setArrowType(Qt::RightArrow);
        for (QToolButton* b : {t.pageLeft, t.pageRight}) {
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            b->setAutoRepeat(true);
            lay->addWidget(b);
        }
        connect(t.pageLeft, &QToolButton::clicked, this,
                [this, k] { Q_EMIT pageRequested(k, -1); });
        connect(t.pageRight, &QToolButton::clicked, this,
                [this, k] { Q_EMIT pageRequested(k, +1); });

        t.folderButton =
            named(new QPushButton(QString::fromLatin1(buttonText[k]), t.sheet),
                  k == 0 ? "ListBmpPath_Btn" : (k == 1 ? "ListJpgPath_Btn" : "ListAviPath_Btn"),
                  ControlRole::BitBtn);
        t.folderButton->setGeometry(720, 92, 73, 25);
        QPalette bp = t.folderButton->palette();
        bp.setColor(QPalette::ButtonText, QColor(0, 128, 128));
        t.folderButton->setPalette(bp);
        connect(t.folderButton, &QPushButton::clicked, this,
                [this, k] { Q_EMIT folderRequested(k); });
    }
}

} // namespace orvix
