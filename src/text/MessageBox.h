#pragma once
// The program's own modal message box: a message, a title, OK or OK and Cancel, and one of
// four icons. Its width follows the message; its buttons sit around the thirds of the window.

#include <QDialog>

class QLabel;
class QPushButton;

namespace orvix {

enum MessageIcon { IconQuestion = 0, IconAttention = 1, IconError = 2, IconInfo = 3 };
enum MessageButtons { ButtonsOk = 0, ButtonsOkCancel = 1 };
enum MessageResult { ResultOk = 1, ResultCancel = 2 };

class TMessageBoxDlg : public QDialog {
    Q_OBJECT
public:
    explicit TMessageBoxDlg(QWidget* parent = nullptr);

    // Shows the box modally; 1 for OK, 2 for Cancel or the title-bar close button.
    int ShowMessageBox(const QString& text, const QString& title, int buttons, int icon);
    // Button captions and font from the current language.
    void MessageBoxDlg_InfoSet();

    QLabel* TntMessage_Text = nullptr;
    QLabel* TntImage_Question = nullptr;
    QLabel* TntImage_Attention = nullptr;
    QLabel* TntImage_Error = nullptr;
    QLabel* TntImage_Info = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // Lays the box out for a message without showing it (also used by ShowMessageBox).
    void prepare(const QString& text, const QString& title, int buttons, int icon);

    void reject() override;
};

// The message box of the main window; set once at start. Texts are the language's message
// texts; with no box set (early start-up), the message goes to standard error.
void setMessageBox(TMessageBoxDlg* box);
TMessageBoxDlg* messageBox();
int ShowMessageBox(const QString& text, const QString& title, int buttons, int icon);
// By message and title keys of the language file.
int showMessageKey(const QString& messageKey, const QString& titleKey, int buttons, int icon);

} // namespace orvix
