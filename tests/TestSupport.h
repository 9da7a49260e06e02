#pragma once
// Helpers shared by the tests: temporary homes, waiting for conditions, answering modal
// dialogs.

#include <QString>
#include <QTemporaryDir>

#include <functional>

class QTimer;
class QWidget;

namespace orvix::test {

// Processes events until pred() is true or the timeout passes; returns pred().
bool waitFor(const std::function<bool()>& pred, int timeoutMs = 10000);

// A fresh user profile folder: USERPROFILE points at it while the object lives.
class TempHome {
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldProfile;
    bool m_hadProfile = false;
};

// Answers the next modal dialog that appears: calls action(dialog) on it from the event loop.
// The returned handle stops watching when destroyed.
class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(QWidget*)> action, int timeoutMs = 20000);
    ~ModalAnswerer();
    bool answered() const { return m_answered; }
    int count() const { return m_count; }

private:
    QTimer* m_timer;
    std::function<void(QWidget*)> m_action;
    bool m_answered = false;
    int m_count = 0;
};

// The program folder of the build tree (where Bitmap/, Lang/ and Sys/ were assembled).
QString programDir();

} // namespace orvix::test
