#include "TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

namespace orvix::test {

bool waitFor(const std::function<bool()>& pred, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TempHome::TempHome()
{
    m_hadProfile = qEnvironmentVariableIsSet("USERPROFILE");
    m_oldProfile = qgetenv("USERPROFILE");
    qputenv("USERPROFILE", m_dir.path().toUtf8());
}

TempHome::~TempHome()
{
    if (m_hadProfile)
        qputenv("USERPROFILE", m_oldProfile);
    else
        qunsetenv("USERPROFILE");
}

ModalAnswerer::ModalAnswerer(std::function<void(QWidget*)> action, int timeoutMs)
    : m_timer(new QTimer), m_action(std::move(action))
{
    auto* deadline = new QDeadlineTimer(timeoutMs);
    m_timer->setInterval(20);
    QObject::connect(m_timer, &QTimer::timeout, [this, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            ++m_count;
            m_answered = true;
            m_timer->stop();
            m_action(modal);
            return;
        }
        if (deadline->hasExpired())
            m_timer->stop();
    });
    QObject::connect(m_timer, &QObject::destroyed, [deadline] { delete deadline; });
    m_timer->start();
}

ModalAnswerer::~ModalAnswerer()
{
    delete m_timer;
}

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace orvix::test
