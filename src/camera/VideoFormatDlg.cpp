#include "camera/VideoFormatDlg.h"

#include "camera/DialogText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace orvix {

namespace {

QString sizeText(QSize s)
{
    return QStringLiteral("%1 x %2").arg(s.width()).arg(s.height());
}

} // namespace

TVideoFormatDlg::TVideoFormatDlg(std::vector<VideoFormat> offered, const VideoFormat& current,
                                 QWidget* parent)
    : QDialog(parent), m_choices(std::move(offered))
{
    setObjectName(QStringLiteral("VideoFormatDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(313, 176);

    auto row = [this](const char* labelName, const char* comboName, int y, QLabel*& label,
                      QComboBox*& combo) {
        label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(labelName));
        label->setGeometry(24, y, 257, 17);
        combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(comboName));
        combo->setGeometry(24, y + 18, 257, 21);
    };
    row("PixelFormat_Lab", "PixelFormat_ComboBox", 8, PixelFormat_Lab, PixelFormat_ComboBox);
    row("Size_Lab", "Size_ComboBox", 52, Size_Lab, Size_ComboBox);
    row("Rate_Lab", "Rate_ComboBox", 96, Rate_Lab, Rate_ComboBox);

    OKBtn = new QPushButton(this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(55, 144, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(159, 144, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    OKBtn->setEnabled(!m_choices.isEmpty());

    const VideoFormat start = m_choices.nearest(current);
    m_filling = true;
    for (const QString& pf : m_choices.pixelFormats())
        PixelFormat_ComboBox->addItem(pf.isEmpty() ? QStringLiteral("-") : pf, pf);
    PixelFormat_ComboBox->setCurrentIndex(
        std::max(0, PixelFormat_ComboBox->findData(start.pixelFormat)));
    m_filling = false;
    fillSizes(QSize(start.width, start.height));
    fillRates(FrameRate{start.fpsNum, start.fpsDen});

    connect(PixelFormat_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            fillSizes(QSize(chosenFormat().width, chosenFormat().height));
    });
    connect(Size_ComboBox, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            fillRates(FrameRate{chosenFormat().fpsNum, chosenFormat().fpsDen});
    });
    FormatDlg_InfoSet();
}

void TVideoFormatDlg::FormatDlg_InfoSet()
{
    setFont(QApplication::font());
    setWindowTitle(cameraDialogText("FormatTitle_Dlg", "Video Format"));
    PixelFormat_Lab->setText(cameraDialogText("FormatPixel_Dlg", "Pixel format"));
    Size_Lab->setText(cameraDialogText("FormatSize_Dlg", "Output size"));
    Rate_Lab->setText(cameraDialogText("FormatRate_Dlg", "Frame rate"));
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
    CancelBtn->setText(texts().DialogButtonData[QStringLiteral("CancelBtn_Dlg")]);
}

void TVideoFormatDlg::fillSizes(QSize keep)
{
    const QString pf = PixelFormat_ComboBox->currentData().toString();
    m_filling = true;
    Size_ComboBox->clear();
    int pick = 0;
    int i = 0;
    for (QSize s : m_choices.sizes(pf)) {
        Size_ComboBox->addItem(sizeText(s), s);
        if (s == keep)
            pick = i;
        ++i;
    }
    Size_ComboBox->setCurrentIndex(Size_ComboBox->count() ? pick : -1);
    m_filling = false;
    fillRates(FrameRate{chosenFormat().fpsNum, chosenFormat().fpsDen});
}

void TVideoFormatDlg::fillRates(const FrameRate& keep)
{
    const QString pf = PixelFormat_ComboBox->currentData().toString();
    const QSize size = Size_ComboBox->currentData().toSize();
    m_filling = true;
    Rate_ComboBox->clear();
    int pick = 0;
    int i = 0;
    for (const FrameRate& r : m_choices.rates(pf, size)) {
        Rate_ComboBox->addItem(FormatChoices::rateText(r), QSize(r.num, r.den));
        if (r == keep)
            pick = i;
        ++i;
    }
    Rate_ComboBox->setCurrentIndex(Rate_ComboBox->count() ? pick : -1);
    m_filling = false;
}

VideoFormat TVideoFormatDlg::chosenFormat() const
{
    VideoFormat f;
    f.pixelFormat = PixelFormat_ComboBox->currentData().toString();
    const QSize size = Size_ComboBox->currentData().toSize();
    if (size.isValid()) {
        f.width = size.width();
        f.height = size.height();
    }
    const QSize rate = Rate_ComboBox->currentData().toSize(); // numerator, denominator
    if (rate.isValid() && rate.height() > 0) {
        f.fpsNum = rate.width();
        f.fpsDen = rate.height();
    }
    return f;
}

void TVideoFormatDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        FormatDlg_InfoSet();
        if (QScreen* s = QApplication::primaryScreen()) {
            const QRect g = s->availableGeometry();
            move(g.x() + (g.width() - frameGeometry().width()) / 2,
                 g.y() + (g.height() - frameGeometry().height()) / 2);
        }
    }
    QDialog::showEvent(event);
}

} // namespace orvix
