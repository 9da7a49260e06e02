#include "text/MessageBox.h"

#include "text/MessageIcons.h"
#include "text/TextRecords.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

namespace orvix {

namespace {
constexpr int kMaxTextWidth = 480;
}

TMessageBoxDlg::TMessageBoxDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageBoxDlg"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    setFixedSize(217, 98);
    setWindowTitle(QStringLiteral("MessageBox Dialog"));

    TntMessage_Text = new QLabel(QStringLiteral("MessageBox Information"), this);
    TntMessage_Text->setObjectName(QStringLiteral("TntMessage_Text"));
    TntMessage_Text->move(70, 24);
    TntMessage_Text->adjustSize();

    auto icon = [this](const char* name, int code) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(16, 16, 32, 32);
        l->setPixmap(messageBoxIcon(code));
        l->hide();
        return l;
    };
    TntImage_Question = icon("TntImage_Question", IconQuestion);
    TntImage_Attention = icon("TntImage_Attention", IconAttention);
    TntImage_Error = icon("TntImage_Error", IconError);
    TntImage_Info = icon("TntImage_Info", IconInfo);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(0, 68, 75, 25);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(0, 68, 75, 25);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(ResultOk); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ResultCancel); });

    TntMessage_Text->clear();
    setWindowTitle(QString());
    MessageBoxDlg_InfoSet();
}

void TMessageBoxDlg::reject()
{
    done(ResultCancel);
}

void TMessageBoxDlg::MessageBoxDlg_InfoSet()
{
    setFont(QApplication::font());
    OKBtn->setText(QString());
    CancelBtn->setText(QString());
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
    CancelBtn->setText(texts().DialogButtonData[QStringLiteral("CancelBtn_Dlg")]);
}

void TMessageBoxDlg::prepare(const QString& text, const QString& title, int buttons, int icon)
{
    const bool differs = text != TntMessage_Text->text();
    MessageBoxDlg_InfoSet();
    if (differs) {
        TntMessage_Text->setWordWrap(false);
        TntMessage_Text->setText(text);
        TntMessage_Text->adjustSize();
        // Very long messages wrap instead of running off the screen.
        if (TntMessage_Text->width() > kMaxTextWidth) {
            TntMessage_Text->setWordWrap(true);
            TntMessage_Text->resize(kMaxTextWidth, TntMessage_Text->heightForWidth(kMaxTextWidth));
        }
        TntMessage_Text->resize(TntMessage_Text->width() + 20, TntMessage_Text->height());
    }
    setWindowTitle(title);
    CancelBtn->setVisible(buttons == ButtonsOkCancel);

    int w = TntMessage_Text->x() + TntMessage_Text->width() + 15;
    if (OKBtn->width() + CancelBtn->width() + 40 >= w)
        w = OKBtn->width() + CancelBtn->width() + 40;
    // A message of several lines would run under the buttons: grow just enough to show it.
    int h = 98;
    const int textBottom = TntMessage_Text->y() + TntMessage_Text->height();
    if (textBottom + 8 > 68)
        h = textBottom + 8 + 25 + 5;
    const int buttonTop = h - 30;
    setFixedSize(w, h);

    if (buttons == ButtonsOkCancel) {
        const int c = w / 3;
        const int bw = OKBtn->width() / 2 + CancelBtn->width() / 2 + 20;
        const int shift = c < bw ? (bw - c) / 2 : 0;
        OKBtn->move(c - OKBtn->width() / 2 - shift, buttonTop);
        CancelBtn->move(2 * c + shift - CancelBtn->width() / 2, buttonTop);
    } else {
        OKBtn->move(w / 2 - OKBtn->width() / 2, buttonTop);
    }

    TntImage_Question->setVisible(icon == IconQuestion);
    TntImage_Attention->setVisible(icon == IconAttention);
    TntImage_Error->setVisible(icon == IconError);
    TntImage_Info->setVisible(icon == IconInfo);

    if (QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move((g.width() - w) / 2, (g.height() - h) / 2);
    }
}

int TMessageBoxDlg::ShowMessageBox(const QString& text, const QString& title, int buttons, int icon)
{
    prepare(text, title, buttons, icon);
    OKBtn->setFocus();
    return exec();
}

namespace {
QPointer<TMessageBoxDlg> g_box;
}

void setMessageBox(TMessageBoxDlg* box)
{
    g_box = box;
}
TMessageBoxDlg* messageBox()
{
    return g_box.data();
}

int ShowMessageBox(const QString& text, const QString& title, int buttons, int icon)
{
    if (!g_box) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return ResultCancel;
    }
    return g_box->ShowMessageBox(text, title, buttons, icon);
}

int showMessageKey(const QString& messageKey, const QString& titleKey, int buttons, int icon)
{
    return ShowMessageBox(msgText(messageKey), msgText(titleKey), buttons, icon);
}

} // namespace orvix
