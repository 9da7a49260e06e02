#include "RecordingRig.h"

#include "camera/CompressorCatalog.h"
#include "camera/SelectFilter.h"
#include "text/TextRecords.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gst/gst.h>
#include <gtest/gtest.h>

using namespace orvix;
using namespace orvix::test;

TEST(CompressorCatalogTest, ListsEncodersTheAviMultiplexerTakesInAStableOrder)
{
    const std::vector<CompressorInfo> all = CompressorCatalog::enumerate();
    ASSERT_FALSE(all.empty());
    const std::vector<CompressorInfo> again = CompressorCatalog::enumerate();
    ASSERT_EQ(all.size(), again.size());
    for (size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].factory, again[i].factory);
        EXPECT_FALSE(all[i].friendlyName.isEmpty());
        if (i > 0) {
            EXPECT_LT(all[i - 1].factory, all[i].factory);
        }
    }
    // Every one of them links into the multiplexer.
    for (const CompressorInfo& c : all) {
        GstElement* enc = gst_element_factory_make(c.factory.toUtf8().constData(), nullptr);
        GstElement* mux = gst_element_factory_make("avimux", nullptr);
        ASSERT_TRUE(enc && mux) << c.factory.toStdString();
        GstElement* bin = gst_bin_new(nullptr);
        gst_bin_add_many(GST_BIN(bin), enc, mux, nullptr);
        EXPECT_TRUE(gst_element_link(enc, mux)) << c.factory.toStdString();
        gst_object_unref(gst_object_ref_sink(bin));
    }
    // Not a decoder, not a sound encoder, not an encoder the multiplexer cannot take.
    for (const CompressorInfo& c : all) {
        EXPECT_NE(c.factory, QStringLiteral("avdec_mjpeg"));
        EXPECT_NE(c.factory, QStringLiteral("lamemp3enc"));
        EXPECT_NE(c.factory, QStringLiteral("theoraenc"));
        EXPECT_NE(c.factory, QStringLiteral("vp9enc"));
    }
    EXPECT_GT(mjpegCompressorIndex(), 0) << "Motion JPEG is offered";
}

TEST(CompressorCatalogTest, IndexNamesThePositionInAFreshEnumeration)
{
    const std::vector<CompressorInfo> all = CompressorCatalog::enumerate();
    EXPECT_FALSE(CompressorCatalog::find(0));
    EXPECT_FALSE(CompressorCatalog::find(-3));
    EXPECT_FALSE(CompressorCatalog::find(int(all.size()) + 1));
    for (int n : {1, int(all.size())}) {
        const auto c = CompressorCatalog::find(n);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->factory, all[size_t(n - 1)].factory);
    }
}

TEST(CompressorCatalogTest, ExclusionIsACaseSensitiveSubstringTest)
{
    EXPECT_EQ(CompressorCatalog::excludedTexts().size(), 17);
    EXPECT_EQ(CompressorCatalog::excludedTexts().front(), QStringLiteral("WMVideo8 Encoder DMO"));
    EXPECT_EQ(CompressorCatalog::excludedTexts().back(), QStringLiteral("DMO"));
    EXPECT_TRUE(CompressorCatalog::isExcluded(QStringLiteral("libav Microsoft Video-1 encoder")));
    EXPECT_TRUE(CompressorCatalog::isExcluded(QStringLiteral("SomeDMOthing")));
    EXPECT_TRUE(CompressorCatalog::isExcluded(QStringLiteral("MJPEG Decoder")));
    EXPECT_TRUE(CompressorCatalog::isExcluded(QStringLiteral("Sunplus MJPEG")));
    EXPECT_FALSE(CompressorCatalog::isExcluded(QStringLiteral("microsoft lower case")));
    EXPECT_FALSE(CompressorCatalog::isExcluded(QStringLiteral("dmo")));
    EXPECT_FALSE(
        CompressorCatalog::isExcluded(QStringLiteral("libav MJPEG (Motion JPEG) encoder")));
}

TEST(CompressorChoiceTest, EntriesMapToEnumerationPositionsAndSkipExcludedNames)
{
    const std::vector<CompressorInfo> e = {{"a", "Alpha"},
                                           {"b", "libav Microsoft Video-1 encoder"},
                                           {"c", ""},
                                           {"d", "Delta DMO"},
                                           {"e", "Echo"}};
    CompressorChoice choice;
    choice.fill(e);
    ASSERT_EQ(choice.entries().size(), 3u);
    EXPECT_EQ(choice.entries()[0].name, QStringLiteral("No Compressor"));
    EXPECT_EQ(choice.entries()[0].index, 0);
    EXPECT_EQ(choice.entries()[1].name, QStringLiteral("Alpha"));
    EXPECT_EQ(choice.entries()[1].index, 1);
    EXPECT_EQ(choice.entries()[2].name, QStringLiteral("Echo"));
    EXPECT_EQ(choice.entries()[2].index, 5);
}

// --- the dialog -------------------------------------------------------------------------

namespace {

class CompressorDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CompressorChoice::forgetRememberedName();
        texts().CompressDialogData.set(QStringLiteral("CompressTitle_Dlg"),
                                       QStringLiteral("Compressor T"));
        texts().CompressDialogData.set(QStringLiteral("CompressOptionInfo_Dlg"),
                                       QStringLiteral("Pick one"));
        texts().DialogButtonData.set(QStringLiteral("OKBtn_Dlg"), QStringLiteral("Okay"));
        texts().DialogButtonData.set(QStringLiteral("CancelBtn_Dlg"), QStringLiteral("Never"));
    }
    void TearDown() override
    {
        texts().CompressDialogData.clear();
        texts().DialogButtonData.clear();
        CompressorChoice::forgetRememberedName();
    }

    // Runs the dialog modally; while it is up, act(dialog) plays the user.
    int run(TCompressorFilterDlg& dlg, const std::function<void(TCompressorFilterDlg&)>& act)
    {
        ModalAnswerer answer([&](QWidget*) { act(dlg); });
        const int r = dlg.exec();
        EXPECT_TRUE(answer.answered());
        return r;
    }
    // The user picks entry k with the keyboard.
    static void pick(TCompressorFilterDlg& dlg, int k)
    {
        dlg.ComboBox1->setFocus();
        while (dlg.ComboBox1->currentIndex() < k)
            QTest::keyClick(dlg.ComboBox1, Qt::Key_Down);
        while (dlg.ComboBox1->currentIndex() > k)
            QTest::keyClick(dlg.ComboBox1, Qt::Key_Up);
    }
};

} // namespace

TEST_F(CompressorDialogTest, HasItsLayoutTextsAndListWhenShown)
{
    TCompressorFilterDlg dlg;
    run(dlg, [](TCompressorFilterDlg& d) {
        EXPECT_EQ(d.size(), QSize(313, 112));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Compressor T"));
        EXPECT_EQ(d.CompressOptionInfo_Lab->text(), QStringLiteral("Pick one"));
        EXPECT_EQ(d.CompressOptionInfo_Lab->pos(), QPoint(24, 16));
        EXPECT_EQ(d.ComboBox1->pos(), QPoint(24, 40));
        EXPECT_EQ(d.ComboBox1->width(), 257);
        EXPECT_EQ(d.OKBtn->pos(), QPoint(55, 84));
        EXPECT_EQ(d.CancelBtn->pos(), QPoint(159, 84));
        EXPECT_EQ(d.OKBtn->text(), QStringLiteral("Okay"));
        EXPECT_EQ(d.CancelBtn->text(), QStringLiteral("Never"));
        EXPECT_EQ(d.ComboBox1->itemText(0), QStringLiteral("No Compressor"));
        EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
        EXPECT_GT(d.ComboBox1->count(), 1);
        for (int i = 0; i < d.ComboBox1->count(); ++i) {
            EXPECT_FALSE(d.ComboBox1->itemText(i).contains(QStringLiteral("Microsoft")));
            EXPECT_FALSE(d.ComboBox1->itemText(i).contains(QStringLiteral("DMO")));
        }
        const QRect screen = QApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((d.frameGeometry().center() - screen.center()).manhattanLength(), 2);
        d.CancelBtn->click();
    });
}

TEST_F(CompressorDialogTest, OkWithAChoiceHandsBackItsIndexAndRemembersIt)
{
    QString factory;
    const int mjpeg = mjpegCompressorIndex(&factory);
    ASSERT_GT(mjpeg, 0);
    const QString name = CompressorCatalog::find(mjpeg)->friendlyName;

    TCompressorFilterDlg dlg;
    int entry = -1;
    EXPECT_EQ(run(dlg,
                  [&](TCompressorFilterDlg& d) {
                      entry = d.ComboBox1->findText(name);
                      ASSERT_GT(entry, 0);
                      pick(d, entry);
                      QTest::mouseClick(d.OKBtn, Qt::LeftButton);
                  }),
              QDialog::Accepted);
    EXPECT_EQ(dlg.chosenIndex(), mjpeg);
    EXPECT_EQ(dlg.resultIndex(0), mjpeg);

    // Shown again: the remembered name is selected, and OK alone changes nothing.
    EXPECT_EQ(run(dlg,
                  [&](TCompressorFilterDlg& d) {
                      EXPECT_EQ(d.ComboBox1->currentText(), name);
                      QTest::mouseClick(d.OKBtn, Qt::LeftButton);
                  }),
              QDialog::Accepted);
    EXPECT_FALSE(dlg.chosenIndex());
    EXPECT_EQ(dlg.resultIndex(mjpeg), mjpeg);

    // A new dialog of the same run remembers it too; "No Compressor" is a choice.
    TCompressorFilterDlg other;
    run(other, [&](TCompressorFilterDlg& d) {
        EXPECT_EQ(d.ComboBox1->currentText(), name);
        pick(d, 0);
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    });
    EXPECT_EQ(other.chosenIndex(), 0);
}

TEST_F(CompressorDialogTest, CancelAndAnUntouchedListKeepThePreviousChoice)
{
    TCompressorFilterDlg dlg;
    EXPECT_EQ(run(dlg,
                  [](TCompressorFilterDlg& d) {
                      pick(d, 1);
                      QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
                  }),
              QDialog::Rejected);
    EXPECT_FALSE(dlg.chosenIndex());
    EXPECT_EQ(dlg.resultIndex(4), 4);

    run(dlg, [](TCompressorFilterDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); });
    EXPECT_FALSE(dlg.chosenIndex());
    EXPECT_EQ(dlg.resultIndex(4), 4);
}
