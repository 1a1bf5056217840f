// What the players need of GStreamer itself, below the media control.
#pragma once

#include <string>

// Ranks the X11 video sinks first, so that the media control draws into its own
// window (which then receives the pointer and keeps the picture when the
// window is moved or made fullscreen) instead of a GL child window of its own.
// Call before the first media control is created; later calls do nothing.
void ChooseVideoSink();

// The sink the media framework picks for video now: the highest-ranked video
// sink element, for the log and the tests.
std::string PreferredVideoSink();

// Why a file cannot be decoded, as GStreamer's discovery tells it: the
// description of each missing decoder, separated by "; ". Empty when nothing
// is missing (or discovery could not tell).
std::string MissingDecoders(const std::string &utf8Path);
