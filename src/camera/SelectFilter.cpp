#include "camera/SelectFilter.h"

#include "text/TextRecords.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace orvix {

TCompressorFilterDlg::TCompressorFilterDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CompressorFilterDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(313, 112);
    setWindowTitle(QStringLiteral("Compressor Filter Dialog"));

    CompressOptionInfo_Lab = new QLabel(QStringLiteral("Choose Compressor"), this);
    CompressOptionInfo_Lab->setObjectName(QStringLiteral("CompressOptionInfo_Lab"));
    CompressOptionInfo_Lab->setGeometry(24, 16, 257, 17);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(24, 40, 257, 21);
    // A choice by the user, not the selection the dialog makes itself.
    connect(ComboBox1, &QComboBox::activated, this, &TCompressorFilterDlg::ComboBox1Change);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(55, 84, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(159, 84, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, &TCompressorFilterDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    CompressDlg_InfoSet();
}

void TCompressorFilterDlg::CompressDlg_InfoSet()
{
    setFont(QApplication::font());
    setWindowTitle(texts().CompressDialogData[QStringLiteral("CompressTitle_Dlg")]);
    CompressOptionInfo_Lab->setText(
        texts().CompressDialogData[QStringLiteral("CompressOptionInfo_Dlg")]);
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
    CancelBtn->setText(texts().DialogButtonData[QStringLiteral("CancelBtn_Dlg")]);
}

void TCompressorFilterDlg::FormShow()
{
    m_result.reset();
    m_choice.fill(CompressorCatalog::enumerate());
    ComboBox1->clear();
    for (const CompressorChoice::Entry& e : m_choice.entries())
        ComboBox1->addItem(e.name, e.index);
    ComboBox1->setCurrentIndex(0);
    const int remembered = m_choice.rememberedEntry();
    if (remembered >= 0)
        ComboBox1->setCurrentIndex(remembered);
}

void TCompressorFilterDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        CompressDlg_InfoSet();
        FormShow();
        if (QScreen* s = QApplication::primaryScreen()) {
            const QRect g = s->availableGeometry();
            move(g.x() + (g.width() - frameGeometry().width()) / 2,
                 g.y() + (g.height() - frameGeometry().height()) / 2);
        }
    }
    QDialog::showEvent(event);
}

void TCompressorFilterDlg::ComboBox1Change(int entry)
{
    m_choice.choose(entry);
}

void TCompressorFilterDlg::OKBtnClick()
{
    m_result = m_choice.okResult();
    accept();
}

} // namespace orvix
