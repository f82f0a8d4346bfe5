// Media Foundation's functions, found when first asked for rather than
// imported: Windows N without its media pack, and Windows before 7, have
// no Media Foundation, and the toy must still start there.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

struct MediaFoundation {
    decltype(&MFStartup) startup;
    decltype(&MFShutdown) shutdown;
    decltype(&MFTEnumEx) enumerate;
    decltype(&MFCreateAttributes) create_attributes;
    decltype(&MFCreateMediaType) create_media_type;
    decltype(&MFCreateMemoryBuffer) create_memory_buffer;
    decltype(&MFCreateSample) create_sample;
    decltype(&MFCreateFile) create_file;
    decltype(&MFCreateSinkWriterFromURL) create_sink_writer;
};

// Null where this system has no Media Foundation.
const MediaFoundation* media_foundation();
// Whether a software H.264 encoder, the kind the sink writer takes unless
// told otherwise, is registered.
bool has_h264_encoder(const MediaFoundation& mf);
