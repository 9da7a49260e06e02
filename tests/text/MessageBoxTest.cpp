#include "text/MessageBox.h"
#include "TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace orvix;

TEST(MessageBox, TwoButtonsWithAShortMessageWidenToTheButtons)
{
    TMessageBoxDlg box;
    box.prepare(QStringLiteral("Hi"), QStringLiteral("T"), ButtonsOkCancel, IconQuestion);
    EXPECT_EQ(box.width(), 75 + 75 + 40);
    EXPECT_EQ(box.height(), 98);
    const int w = box.width(), c = w / 3;
    const int bw = 75 / 2 + 75 / 2 + 20;
    const int shift = c < bw ? (bw - c) / 2 : 0;
    EXPECT_EQ(box.OKBtn->x(), c - 75 / 2 - shift);
    EXPECT_EQ(box.CancelBtn->x(), 2 * c + shift - 75 / 2);
    EXPECT_EQ(box.OKBtn->y(), 68);
    EXPECT_FALSE(box.CancelBtn->isHidden());
    EXPECT_FALSE(box.TntImage_Question->isHidden());
    EXPECT_TRUE(box.TntImage_Error->isHidden());
}

TEST(MessageBox, WidthFollowsTheMessageAndStaysTheSameForARepeat)
{
    TMessageBoxDlg box;
    const QString text = QStringLiteral("The camera could not be connected to this computer.");
    box.prepare(text, QStringLiteral("Error"), ButtonsOk, IconError);
    const int labelWidth = box.TntMessage_Text->width();
    EXPECT_EQ(box.width(), 70 + labelWidth + 15);
    // The label is its text's width plus 20.
    QLabel probe(text);
    probe.setFont(box.TntMessage_Text->font());
    probe.adjustSize();
    EXPECT_EQ(labelWidth, probe.width() + 20);
    // One button: centred.
    EXPECT_EQ(box.OKBtn->x(), box.width() / 2 - 75 / 2);
    EXPECT_TRUE(box.CancelBtn->isHidden());
    const int first = box.width();
    box.prepare(text, QStringLiteral("Error"), ButtonsOk, IconError);
    EXPECT_EQ(box.width(), first);
}

TEST(MessageBox, IconCodeOutsideTheFourShowsNoIcon)
{
    TMessageBoxDlg box;
    box.prepare(QStringLiteral("x"), QStringLiteral("y"), ButtonsOk, 4);
    for (QLabel* l :
         {box.TntImage_Question, box.TntImage_Attention, box.TntImage_Error, box.TntImage_Info})
        EXPECT_TRUE(l->isHidden());
    box.prepare(QStringLiteral("x"), QStringLiteral("y"), ButtonsOk, IconInfo);
    EXPECT_FALSE(box.TntImage_Info->isHidden());
    EXPECT_FALSE(box.TntImage_Info->pixmap().isNull());
}

TEST(MessageBox, ResultsOfTheButtonsAndTheCloseBox)
{
    TMessageBoxDlg box;
    {
        test::ModalAnswerer a([](QWidget* w) { static_cast<TMessageBoxDlg*>(w)->OKBtn->click(); });
        EXPECT_EQ(box.ShowMessageBox("q", "t", ButtonsOkCancel, IconQuestion), ResultOk);
    }
    {
        test::ModalAnswerer a(
            [](QWidget* w) { static_cast<TMessageBoxDlg*>(w)->CancelBtn->click(); });
        EXPECT_EQ(box.ShowMessageBox("q", "t", ButtonsOkCancel, IconQuestion), ResultCancel);
    }
    {
        // The title-bar close gives Cancel even with only OK shown.
        test::ModalAnswerer a([](QWidget* w) { w->close(); });
        EXPECT_EQ(box.ShowMessageBox("q", "t", ButtonsOk, IconInfo), ResultCancel);
    }
}
