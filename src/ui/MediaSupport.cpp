#include "ui/MediaSupport.h"

#include "base/DebugLog.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <memory>

namespace {

// Above the GL and other sinks, xvimagesink (hardware scaling) before ximagesink.
constexpr guint kXvRank = GST_RANK_PRIMARY + 2;
constexpr guint kXRank = GST_RANK_PRIMARY + 1;
constexpr GstClockTime kDiscoveryTimeout = 5 * GST_SECOND;

bool InitGst() { return gst_is_initialized() || gst_init_check(nullptr, nullptr, nullptr); }

void SetRank(const char *name, guint rank)
{
    GstPluginFeature *feature = gst_registry_lookup_feature(gst_registry_get(), name);
    if (!feature) {
        DebugLog("ChooseVideoSink %s error[missing]", name);
        return;
    }
    gst_plugin_feature_set_rank(feature, rank);
    gst_object_unref(feature);
}

} // namespace

void ChooseVideoSink()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    if (!InitGst()) {
        DebugLog("ChooseVideoSink gst_init error");
        return;
    }
    SetRank("xvimagesink", kXvRank);
    SetRank("ximagesink", kXRank);
}

std::string PreferredVideoSink()
{
    if (!InitGst())
        return "";
    GList *sinks = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_SINK | GST_ELEMENT_FACTORY_TYPE_MEDIA_VIDEO,
                                                         GST_RANK_MARGINAL);
    sinks = g_list_sort(sinks, gst_plugin_feature_rank_compare_func);
    std::string name = sinks ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(sinks->data)) : "";
    gst_plugin_feature_list_free(sinks);
    return name;
}

std::string MissingDecoders(const std::string &utf8Path)
{
    if (!InitGst())
        return "";
    GError *error = nullptr;
    gchar *uri = gst_filename_to_uri(utf8Path.c_str(), &error);
    if (!uri) {
        g_clear_error(&error);
        return "";
    }
    std::unique_ptr<gchar, decltype(&g_free)> uriHolder(uri, g_free);
    GstDiscoverer *discoverer = gst_discoverer_new(kDiscoveryTimeout, &error);
    if (!discoverer) {
        g_clear_error(&error);
        return "";
    }
    GstDiscovererInfo *info = gst_discoverer_discover_uri(discoverer, uri, &error);
    g_clear_error(&error);
    std::string missing;
    if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_MISSING_PLUGINS) {
        // Installer details read "gstreamer|1.0|<app>|<description>|<detail>".
        const gchar **details = gst_discoverer_info_get_missing_elements_installer_details(info);
        for (const gchar **detail = details; detail && *detail; ++detail) {
            gchar **fields = g_strsplit(*detail, "|", 5);
            if (g_strv_length(fields) >= 4) {
                if (!missing.empty())
                    missing += "; ";
                missing += fields[3];
            }
            g_strfreev(fields);
        }
    }
    if (info)
        g_object_unref(info);
    g_object_unref(discoverer);
    return missing;
}
