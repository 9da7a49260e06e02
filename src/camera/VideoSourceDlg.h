#pragma once
// The camera's own controls (picture and exposure): sliders, check boxes and menus, applied
// to the device as they are moved. Cancel puts back the values the dialog found.

#include "camera/CameraControls.h"

#include <QDialog>

#include <map>

class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace orvix {

class TVideoSourceDlg : public QDialog {
    Q_OBJECT
public:
    explicit TVideoSourceDlg(ICameraControls& controls, QWidget* parent = nullptr);

    void SourceDlg_InfoSet();
    // The widget of a control (slider, check box, menu or button), nullptr when not shown.
    QWidget* controlWidget(quint32 id) const;
    // Reads every value back from the device into the widgets.
    void refresh();

    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void apply(quint32 id, int value);

    ICameraControls& m_controls;
    std::vector<CameraControl> m_initial;
    std::map<quint32, QWidget*> m_widgets;
    std::map<quint32, QLabel*> m_values;
    bool m_updating = false;
};

} // namespace orvix
