#pragma once
// The capture format page of the camera: the pixel formats, sizes and frame rates the device
// offers. OK hands back the chosen format.

#include "camera/FormatChoices.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace orvix {

class TVideoFormatDlg : public QDialog {
    Q_OBJECT
public:
    TVideoFormatDlg(std::vector<VideoFormat> offered, const VideoFormat& current,
                    QWidget* parent = nullptr);

    void FormatDlg_InfoSet();
    // The format the lists show now (after OK: the chosen one).
    VideoFormat chosenFormat() const;

    QLabel* PixelFormat_Lab = nullptr;
    QComboBox* PixelFormat_ComboBox = nullptr;
    QLabel* Size_Lab = nullptr;
    QComboBox* Size_ComboBox = nullptr;
    QLabel* Rate_Lab = nullptr;
    QComboBox* Rate_ComboBox = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillSizes(QSize keep);
    void fillRates(const FrameRate& keep);

    FormatChoices m_choices;
    bool m_filling = false;
};

} // namespace orvix
