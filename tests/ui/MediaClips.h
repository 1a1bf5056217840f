// Short real clips made with ffmpeg once per test program, for the player tests.
#pragma once

#include <string>

enum class EClip {
    Video,     // 3 s H.264/AAC in MP4, the service's format, a moving test pattern
    Ad,        // 2 s H.264 in MP4, colour bars
    Wmv,       // 2 s WMV 8 with WMA
    RealMedia10, // 2 s RealVideo 1.0
    RealMedia20, // 2 s RealVideo 2.0
    Long,        // 40 s H.264 in MP4, small and slow, for seeking and resuming
};

// The clip's path; made at first use. Empty, with the reason on stderr, when ffmpeg failed.
std::string Clip(EClip clip);

// Copies a clip to path; false when it could not be made or copied.
bool CopyClip(EClip clip, const std::string &path);

// Whether this machine's GStreamer has a decoder element of that name.
bool HasGstElement(const std::string &name);
