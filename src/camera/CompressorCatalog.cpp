#include "camera/CompressorCatalog.h"

#include <gst/gst.h>

#include <algorithm>

namespace orvix {

namespace {

// The caps the AVI multiplexer takes on a video input.
GstCaps* aviVideoCaps()
{
    GstElementFactory* mux = gst_element_factory_find("avimux");
    if (!mux)
        return nullptr;
    GstCaps* caps = nullptr;
    for (const GList* l = gst_element_factory_get_static_pad_templates(mux); l; l = l->next) {
        auto* t = static_cast<GstStaticPadTemplate*>(l->data);
        if (t->direction == GST_PAD_SINK && g_str_has_prefix(t->name_template, "video")) {
            caps = gst_static_pad_template_get_caps(t);
            break;
        }
    }
    gst_object_unref(mux);
    return caps;
}

bool hasToken(const QStringList& tokens, const char* t)
{
    return tokens.contains(QLatin1String(t));
}

// Video encoders, and the still-picture encoders whose output the multiplexer takes as
// video (Motion JPEG is filed as an image encoder).
bool isEncoderClass(const char* klass)
{
    const QStringList tokens = QString::fromUtf8(klass ? klass : "").split(QLatin1Char('/'));
    return hasToken(tokens, "Encoder") && (hasToken(tokens, "Video") || hasToken(tokens, "Image"));
}

bool outputFits(GstElementFactory* factory, const GstCaps* accepted)
{
    for (const GList* l = gst_element_factory_get_static_pad_templates(factory); l; l = l->next) {
        auto* t = static_cast<GstStaticPadTemplate*>(l->data);
        if (t->direction != GST_PAD_SRC)
            continue;
        GstCaps* caps = gst_static_pad_template_get_caps(t);
        const bool fits = gst_caps_can_intersect(caps, accepted);
        gst_caps_unref(caps);
        if (fits)
            return true;
    }
    return false;
}

} // namespace

std::vector<CompressorInfo> CompressorCatalog::enumerate()
{
    std::vector<CompressorInfo> out;
    if (!gst_is_initialized())
        return out;
    GstCaps* accepted = aviVideoCaps();
    if (!accepted)
        return out;
    GList* features = gst_registry_get_feature_list(gst_registry_get(), GST_TYPE_ELEMENT_FACTORY);
    for (GList* l = features; l; l = l->next) {
        auto* factory = GST_ELEMENT_FACTORY(l->data);
        if (!isEncoderClass(gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS)))
            continue;
        if (!outputFits(factory, accepted))
            continue;
        CompressorInfo info;
        info.factory = QString::fromUtf8(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)));
        info.friendlyName = QString::fromUtf8(
            gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME));
        out.push_back(std::move(info));
    }
    gst_plugin_feature_list_free(features);
    gst_caps_unref(accepted);
    std::sort(out.begin(), out.end(), [](const CompressorInfo& a, const CompressorInfo& b) {
        return a.factory < b.factory;
    });
    return out;
}

const QStringList& CompressorCatalog::excludedTexts()
{
    static const QStringList texts = {QStringLiteral("WMVideo8 Encoder DMO"),
                                      QStringLiteral("WMVideo9 Encoder DMO"),
                                      QStringLiteral("MSScreen encoder DMO"),
                                      QStringLiteral("MSScreen 9 encoder DMO"),
                                      QStringLiteral("Intel 4:2:0 Video V2.50"),
                                      QStringLiteral("Microsoft H.261 Video Codec"),
                                      QStringLiteral("Microsoft H.263 Video Codec"),
                                      QStringLiteral("Microsoft RLE"),
                                      QStringLiteral("Microsoft Video 1"),
                                      QStringLiteral("Intel Indeo(R) Video R3.2"),
                                      QStringLiteral("Intel IndeoR Video 4.5"),
                                      QStringLiteral("Cinepak Codec by Radius"),
                                      QStringLiteral("IndeoR video 5.10 Compression Filter"),
                                      QStringLiteral("Decoder"),
                                      QStringLiteral("Sunplus"),
                                      QStringLiteral("Microsoft"),
                                      QStringLiteral("DMO")};
    return texts;
}

bool CompressorCatalog::isExcluded(const QString& friendlyName)
{
    for (const QString& t : excludedTexts())
        if (friendlyName.contains(t, Qt::CaseSensitive))
            return true;
    return false;
}

std::optional<CompressorInfo> CompressorCatalog::find(int index)
{
    if (index <= 0)
        return std::nullopt;
    std::vector<CompressorInfo> all = enumerate();
    if (size_t(index - 1) >= all.size())
        return std::nullopt;
    return all[size_t(index - 1)];
}

// --- dialog state ------------------------------------------------------------------

namespace {
QString& rememberedNameStore()
{
    static QString name;
    return name;
}
} // namespace

QString CompressorChoice::rememberedName()
{
    return rememberedNameStore();
}
void CompressorChoice::forgetRememberedName()
{
    rememberedNameStore().clear();
}

void CompressorChoice::fill(const std::vector<CompressorInfo>& enumeration)
{
    m_changed = false;
    m_chosen = 0;
    m_entries.clear();
    m_entries.push_back({CompressorCatalog::noCompressorName(), 0});
    for (size_t i = 0; i < enumeration.size(); ++i) {
        const QString& name = enumeration[i].friendlyName;
        if (name.isEmpty() || CompressorCatalog::isExcluded(name))
            continue;
        m_entries.push_back({name, int(i) + 1});
    }
}

int CompressorChoice::rememberedEntry() const
{
    const QString name = rememberedNameStore();
    if (name.isEmpty())
        return -1;
    for (size_t k = 0; k < m_entries.size(); ++k)
        if (m_entries[k].name == name)
            return int(k);
    return -1;
}

void CompressorChoice::choose(int entry)
{
    if (entry < 0 || size_t(entry) >= m_entries.size())
        return;
    m_chosen = m_entries[size_t(entry)].index;
    rememberedNameStore() = m_entries[size_t(entry)].name;
    m_changed = true;
}

std::optional<int> CompressorChoice::okResult() const
{
    if (!m_changed)
        return std::nullopt;
    return m_chosen;
}

} // namespace orvix
