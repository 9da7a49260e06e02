#include "camera/DeviceList.h"

namespace orvix {

DeviceList::DeviceList()
{
    m_supported.fill(-1);
}

void DeviceList::setIdentifierPair(const QString& vendor, const QString& product)
{
    m_vendor = vendor;
    m_product = product;
}

bool DeviceList::pathMatches(const QString& path, const QString& vendor, const QString& product)
{
    if (path.isEmpty())
        return false;
    const QString p = path.toLower();
    return p.contains(vendor.toLower()) && p.contains(product.toLower());
}

bool DeviceList::fill(const std::vector<VideoDeviceInfo>& devices)
{
    m_count = 0;
    m_supported.fill(-1);
    m_found = false;
    for (auto& e : m_entries)
        e = VideoDeviceInfo();

    for (const VideoDeviceInfo& d : devices) {
        if (m_count >= kMaxDevices)
            break;
        VideoDeviceInfo& e = m_entries[m_count];
        e = d;
        if (e.friendlyName.isEmpty())
            e.friendlyName = QString::fromLatin1(kDefaultName);
        ++m_count;
    }

    for (int i = 0; i < m_count; ++i) {
        if (pathMatches(m_entries[i].devicePath, m_vendor, m_product)) {
            m_supported[i] = i;
            m_selected = i;
            m_found = true;
        }
    }
    return m_found;
}

VideoDeviceInfo DeviceList::device(int index) const
{
    if (index < 0 || index >= m_count)
        return {};
    return m_entries[index];
}

int DeviceList::supportedIndex(int index) const
{
    if (index < 0 || index >= kMaxDevices)
        return -1;
    return m_supported[index];
}

void DeviceList::names(QStringList& names, QVector<int>& indices) const
{
    names.clear();
    indices.clear();
    for (int i = 0; i < kMaxDevices; ++i) {
        names << m_entries[i].friendlyName;
        indices << m_supported[i];
    }
}

} // namespace orvix
