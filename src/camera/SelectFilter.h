#pragma once
// The compressor dialog: picks the video compressor the next recording uses.

#include "camera/CompressorCatalog.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace orvix {

class TCompressorFilterDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCompressorFilterDlg(QWidget* parent = nullptr);

    // Caption, label and button texts from the current language.
    void CompressDlg_InfoSet();
    // Fills the list afresh (each time the dialog is shown).
    void FormShow();

    // After the dialog closed: the compressor index OK handed back, only when an entry was
    // chosen; nothing after Cancel or an untouched list.
    std::optional<int> chosenIndex() const { return m_result; }
    // The engine's index after the dialog: the chosen one, or current when none was handed back.
    int resultIndex(int current) const { return m_result.value_or(current); }
    const CompressorChoice& choice() const { return m_choice; }

    QLabel* CompressOptionInfo_Lab = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ComboBox1Change(int entry);
    void OKBtnClick();

    CompressorChoice m_choice;
    std::optional<int> m_result;
};

} // namespace orvix
