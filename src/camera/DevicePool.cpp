#include "camera/DevicePool.h"

#include "camera/DemoCamera.h"
#include "camera/V4l2DeviceSource.h"

#include <QMetaObject>
#include <QPointer>

namespace orvix {

DevicePool::DevicePool(QObject* parent) : QObject(parent) {}

DevicePool::~DevicePool()
{
    for (auto& s : m_sources)
        s->setHotplugHandler({});
}

std::unique_ptr<DevicePool> DevicePool::createDefault(bool withDemo)
{
    auto pool = std::make_unique<DevicePool>();
    pool->addSource(std::make_shared<V4l2DeviceSource>());
    if (withDemo)
        pool->addSource(std::make_shared<DemoCameraHub>());
    return pool;
}

void DevicePool::addSource(std::shared_ptr<IVideoDeviceSource> source)
{
    if (!source)
        return;
    QPointer<DevicePool> self(this);
    source->setHotplugHandler([self](HotplugKind kind) {
        // Reported after the caller returns, like the system's device messages.
        if (self)
            QMetaObject::invokeMethod(
                self.data(),
                [self, kind] {
                    if (self)
                        self->onHotplug(kind);
                },
                Qt::QueuedConnection);
    });
    // Real sources keep their place before the built-in ones.
    auto pos = m_sources.end();
    if (!source->isVirtual()) {
        pos = m_sources.begin();
        while (pos != m_sources.end() && !(*pos)->isVirtual())
            ++pos;
    }
    m_sources.insert(pos, std::move(source));
}

DemoCameraHub* DevicePool::demoHub() const
{
    for (auto& s : m_sources)
        if (auto* hub = dynamic_cast<DemoCameraHub*>(s.get()))
            return hub;
    return nullptr;
}

std::vector<VideoDeviceInfo> DevicePool::enumerate() const
{
    std::vector<VideoDeviceInfo> all;
    for (auto& s : m_sources) {
        auto list = s->enumerate();
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

IVideoDeviceSource* DevicePool::sourceFor(const VideoDeviceInfo& device) const
{
    for (auto& s : m_sources)
        if (s->ownsDevice(device))
            return s.get();
    return nullptr;
}

void DevicePool::onHotplug(HotplugKind kind)
{
    if (kind == HotplugKind::Added) {
        Q_EMIT deviceArrival();
        Q_EMIT deviceNodesChanged();
    } else {
        Q_EMIT deviceRemovalComplete();
    }
}

} // namespace orvix
