#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the GUI thread, so a logout or Ctrl+C closes
// the main window the orderly way (settings written, camera released).

#include <QObject>

class QSocketNotifier;

namespace orvix {

class SignalBridge : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent = nullptr);
    ~SignalBridge() override;

Q_SIGNALS:
    void terminationRequested(int signal);

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace orvix
