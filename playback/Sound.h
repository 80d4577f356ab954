// The program's sound output: the device for the run, streaming buffers, and DirectSound error messages.
#pragma once

#include "DirectSound.h"

#include <QString>

#include <memory>

// Opens the device named by GENERAL/DS-GUID. A device that is gone or broken is reported once
// ("DirectSoundCreate"); the default device is tried next and then a silent one, so the program
// always starts and the user can still reach the setting that fixes it.
bool InitSound(void *window = nullptr);
// Stops and releases the primary buffer, then the device. Streaming buffers must be gone by then.
void ReleaseSound();

DirectSoundDevice *SoundDevice();
// The GUID of the device in use, or null for the default (or silent) device.
const DsGuid *SoundDeviceGuid();

// A two-half streaming buffer with frequency, pan and volume control; false after a message.
bool CreateStreamBuffer(std::unique_ptr<DirectSoundBuffer> &buffer, int nChannels, int nSamplesPerSec,
                        int nBitsPerSample, uint32_t dwBytes);
// Copies dwBlockBytes from source into the first or the second half.
bool WriteBlock(DirectSoundBuffer *buffer, uint32_t dwBlockBytes, const void *source, bool bFirstHalf);

// True for DS_OK only; anything else shows "Error in DirectSound function <operation><extra>: <why>".
bool CheckSound(HRESULT hr, const QString &operation, const QString &extra = QString());
QString SoundErrorExplanation(HRESULT hr);
QString ComposeSoundError(HRESULT hr, const QString &operation, const QString &extra);
