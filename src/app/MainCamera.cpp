// The main window's side of the camera: the device menu, connecting and disconnecting, and
// cameras plugged in or pulled out while the program runs.

#include "app/GlyphButton.h"
#include "app/main.h"
#include "camera/VideoCameraDS.h"
#include "text/MessageBox.h"
#include "text/TextRecords.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>

namespace orvix {

namespace {
constexpr const char* kCameraIndex = "cameraIndex";
constexpr const char* kItemIndex = "itemIndex";
} // namespace

bool TMainForm::ReSerachDevice()
{
    const bool found = m_engine->SearchDevice();
    QMenu* devices = ui.menu("DevicesEnum");
    if (found) {
        NewMenuItem();
    } else {
        for (QAction* a : devices->actions())
            delete a;
    }
    devices->setEnabled(found);
    devices->menuAction()->setEnabled(found);
    return found;
}

void TMainForm::NewMenuItem()
{
    QStringList names;
    QVector<int> indices;
    m_engine->GetDeviceIndexName(names, indices);
    int cameras = 0;
    for (int i : indices)
        if (i >= 0)
            ++cameras;
    if (cameras == 0)
        return;
    QMenu* devices = ui.menu("DevicesEnum");
    const int existing = int(devices->actions().size());
    if (existing > 0 && existing != cameras && flags.DeviceConnected)
        Connect_BtnClick();
    for (QAction* a : devices->actions())
        delete a;
    QAction* last = nullptr;
    int item = 0;
    for (int i = 0; i < indices.size(); ++i) {
        if (indices[i] < 0)
            continue;
        auto* a = new QAction(names[i] + QStringLiteral(" # ") + QString::number(i), devices);
        a->setCheckable(true);
        a->setProperty(kCameraIndex, i);
        a->setProperty(kItemIndex, item++);
        connect(a, &QAction::triggered, this, [this, a] { SubDevicesClick(a); });
        devices->addAction(a);
        m_engine->SetDeviceIndex(i);
        last = a;
    }
    if (last)
        last->setChecked(true);
}

void TMainForm::SubDevicesClick(QAction* item)
{
    m_engine->SetDeviceIndex(item->property(kCameraIndex).toInt());
    for (QAction* a : ui.menu("DevicesEnum")->actions())
        a->setChecked(false);
    item->setChecked(true);
    if (flags.DeviceConnected)
        Connect_BtnClick();
    Connect_BtnClick();
}

void TMainForm::setConnectButtonState(bool connected)
{
    setButtonGlyph(ui.Connect_Btn,
                   connected ? QStringLiteral("disconnect.bmp") : QStringLiteral("connect.bmp"));
    ui.Connect_Btn->setToolTip(texts().ButtonHintData[connected ? QStringLiteral("DisConnect_Btn")
                                                                : QStringLiteral("Connect_Btn")]);
}

void TMainForm::Connect_BtnClick()
{
    if (flags.DeviceConnected || !flags.DeviceFound) {
        if (flags.VideoRecording)
            Q_EMIT recordingStopRequested();
        disconnectCamera();
        return;
    }
    if (flags.PlayerOpen)
        Q_EMIT playerCloseRequested();
    QCoreApplication::processEvents();
    flags.DeviceConnected = m_engine->DeviceConnect();
    QCoreApplication::processEvents();
    if (!flags.DeviceConnected) {
        showMessage(QStringLiteral("ConnectFailed_MsgBox"), QStringLiteral("ErrorTitle_MsgBox"),
                    ButtonsOk, IconError);
        return;
    }
    ui.NoCameraPanel->hide();
    setConnectButtonState(true);
    Q_EMIT cameraConnected();
    if (ui.action("ChangeModeTB_Draw")->isChecked())
        ChangeModeTB_DrawClick();
}

void TMainForm::disconnectCamera()
{
    Q_EMIT cameraDisconnecting();
    if (FrameFrozen) {
        FrameFrozen = false;
        m_engine->FilterGraph_Play();
    }
    ui.NoCameraPanel->show();
    ChangeModeTB_ChangeReset();
    ui.NoCameraPanel->raise();
    flags.DeviceConnected = false;
    setConnectButtonState(false);
    QCoreApplication::processEvents();
    m_engine->DeviceDisConnect();
    QCoreApplication::processEvents();
}

void TMainForm::onDeviceArrival()
{
    ArrivalSeen = true;
}

void TMainForm::onDeviceNodesChanged()
{
    if (ArrivalSeen && ReSerachDevice()) {
        flags.DeviceFound = true;
        ui.NoCameraLabel->setText(texts().LabelCaptionData[QStringLiteral("DeviceToFound_Lab")]);
        ArrivalSeen = false;
    }
}

void TMainForm::onDeviceRemovalComplete()
{
    if (!flags.DeviceFound || ReSerachDevice())
        return;
    ui.NoCameraLabel->setText(texts().LabelCaptionData[QStringLiteral("DeviceNotToFound_Lab")]);
    flags.DeviceFound = false;
    Connect_BtnClick(); // disconnects, stopping a recording first
    ui.NoCameraPanel->show();
    ui.NoCameraPanel->raise();
    flags.DeviceConnected = false;
    setConnectButtonState(false);
    Q_EMIT cameraRemoved();
}

void TMainForm::repaintCheck()
{
    if (!flags.DeviceConnected && !flags.PlayerOpen && !flags.VideoRecording)
        return;
    m_engine->SetHandle(this);
    if (m_engine->VMR9RepaintVideoAtWindowless())
        return;
    // The video cannot be shown any more: end the live activity.
    if (flags.DeviceConnected)
        Connect_BtnClick();
    if (flags.PlayerOpen)
        Q_EMIT playerCloseRequested();
    if (flags.VideoRecording)
        Q_EMIT recordingStopRequested();
}

} // namespace orvix
