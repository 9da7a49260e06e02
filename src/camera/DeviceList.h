#pragma once
// The engine's list of video input devices and which of them are supported cameras.
// Plain data: filled from an enumeration, no media framework involved.

#include "camera/CameraTypes.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <vector>

namespace orvix {

class DeviceList {
public:
    static constexpr int kMaxDevices = 32;
    static constexpr const char* kDefaultName = "USB Video Device";

    DeviceList();

    // The vendor and product texts a supported camera's path must carry.
    void setIdentifierPair(const QString& vendor, const QString& product);
    QString vendorText() const { return m_vendor; }
    QString productText() const { return m_product; }

    // Replaces the list with the devices in enumeration order and marks the supported ones.
    // Only the first kMaxDevices are kept: the positions of the kept entries stay the
    // enumeration positions, and a camera beyond them is simply not offered. The last
    // supported entry becomes the selected device. Returns whether a supported one was found.
    bool fill(const std::vector<VideoDeviceInfo>& devices);

    // Whether the path names a supported camera (both texts, compared in lower case).
    static bool pathMatches(const QString& path, const QString& vendor, const QString& product);

    int count() const { return m_count; }
    // Entry at a position; an empty info for positions outside the list.
    VideoDeviceInfo device(int index) const;
    // The entry's own position when it is a supported camera, -1 otherwise.
    int supportedIndex(int index) const;
    // The 32 names and 32 supported indices, as the device menu reads them.
    void names(QStringList& names, QVector<int>& indices) const;

    void setSelected(int index) { m_selected = index; }
    int selected() const { return m_selected; }
    bool hasDevice() const { return m_found; }

private:
    std::array<VideoDeviceInfo, kMaxDevices> m_entries;
    std::array<int, kMaxDevices> m_supported;
    int m_count = 0;
    int m_selected = 0;
    bool m_found = false;
    QString m_vendor = QStringLiteral("vid_eb1a");
    QString m_product = QStringLiteral("pid_5060");
};

} // namespace orvix
