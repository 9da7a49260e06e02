#pragma once
// The snapshot button of a real camera: its driver reports the button as a Linux input
// device (KEY_CAMERA) that sits below the same USB device as the video node. The button is
// read with libevdev through a socket notifier on the GUI thread.

#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;
struct libevdev;

namespace orvix {

// The event node (/dev/input/eventN) of the input device that belongs to the same USB
// device as the video4linux device directory, or an empty text. Only input devices that can
// report KEY_CAMERA qualify (hasCameraKey answers for a node; tests replace it).
QString findStillButtonNode(const QString& sysfsRoot, const QString& videoSysPath,
                            const std::function<bool(const QString& node)>& hasCameraKey,
                            const QString& devRoot = QStringLiteral("/dev"));

// Whether an event node reports KEY_CAMERA.
bool nodeHasCameraKey(const QString& node);

class EvdevStillButton : public QObject {
    Q_OBJECT
public:
    explicit EvdevStillButton(QObject* parent = nullptr);
    ~EvdevStillButton() override;

    // Starts reading node; handler runs on every press. False when it cannot be opened or
    // has no camera key.
    bool open(const QString& node, std::function<void()> handler);
    void close();
    bool isOpen() const { return m_dev != nullptr; }

private:
    void readEvents();

    int m_fd = -1;
    libevdev* m_dev = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::function<void()> m_handler;
};

} // namespace orvix
