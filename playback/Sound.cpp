// Sound output of the program: one device for the run, streaming buffers, and the DirectSound messages.
#include "Sound.h"

#include "Messages.h"
#include "PlaybackMessages.h"
#include "Settings.h"

#include <cstring>
#include <optional>

namespace {

std::unique_ptr<DirectSoundDevice> g_device;
std::unique_ptr<DirectSoundBuffer> g_primary;
std::optional<DsGuid> g_guid;

bool SetUpDevice(std::unique_ptr<DirectSoundDevice> device, void *window) {
    if (!CheckSound(device->SetCooperativeLevel(window, DSSCL_PRIORITY), QStringLiteral("SetCooperativeLevel")))
        return false;
    BufferDesc desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    std::unique_ptr<DirectSoundBuffer> primary;
    if (!CheckSound(device->CreateSoundBuffer(desc, primary), QStringLiteral("CreateSoundBuffer(Primary)")))
        return false;
    WaveFormat format; // PCM, 2 channels, 44100 Hz, 16 bits
    if (!CheckSound(primary->SetFormat(&format), QStringLiteral("SetFormat(Primary)")))
        return false;
    g_device = std::move(device);
    g_primary = std::move(primary);
    return true;
}

} // namespace

bool InitSound(void *window) {
    ReleaseSound();
    const QString text = GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("DS-GUID"), QString());
    bool bCreateReported = false;
    auto tryDevice = [&](const DsGuid *guid, HRESULT hrGuid) {
        std::unique_ptr<DirectSoundDevice> device;
        const HRESULT hr = hrGuid != DS_OK ? hrGuid : DirectSoundDevice::Create(guid, device);
        if (hr != DS_OK) {
            if (!bCreateReported)
                CheckSound(hr, QStringLiteral("DirectSoundCreate"));
            bCreateReported = true;
            return false;
        }
        return SetUpDevice(std::move(device), window);
    };
    if (!text.isEmpty()) {
        DsGuid guid;
        const bool bValid = GuidFromString(text, guid);
        if (tryDevice(&guid, bValid ? DS_OK : DSERR_INVALIDPARAM)) {
            g_guid = guid;
            return true;
        }
    }
    if (tryDevice(nullptr, DS_OK))
        return true;
    return SetUpDevice(DirectSoundDevice::CreateSilent(), window);
}

void ReleaseSound() {
    if (g_primary)
        g_primary->Stop();
    g_primary.reset();
    g_device.reset();
    g_guid.reset();
}

DirectSoundDevice *SoundDevice() {
    return g_device.get();
}

const DsGuid *SoundDeviceGuid() {
    return g_guid ? &*g_guid : nullptr;
}

bool CreateStreamBuffer(std::unique_ptr<DirectSoundBuffer> &buffer, int nChannels, int nSamplesPerSec,
                        int nBitsPerSample, uint32_t dwBytes) {
    WaveFormat format;
    format.nChannels = static_cast<uint16_t>(nChannels);
    format.nSamplesPerSec = static_cast<uint32_t>(nSamplesPerSec);
    format.wBitsPerSample = static_cast<uint16_t>(nBitsPerSample);
    format.nBlockAlign = static_cast<uint16_t>(nChannels * nBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    BufferDesc desc;
    desc.dwFlags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS |
                   DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = dwBytes;
    desc.lpwfxFormat = &format;
    const HRESULT hr = g_device ? g_device->CreateSoundBuffer(desc, buffer) : DSERR_UNINITIALIZED;
    return CheckSound(hr, QStringLiteral("CreateSoundBuffer"),
                      QString::asprintf(" [Channels: %d, Samples %d, Bits %d, Size %d]", nChannels, nSamplesPerSec,
                                        nBitsPerSample, static_cast<int>(dwBytes)));
}

bool WriteBlock(DirectSoundBuffer *buffer, uint32_t dwBlockBytes, const void *source, bool bFirstHalf) {
    void *p1 = nullptr;
    void *p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    if (!CheckSound(buffer->Lock(bFirstHalf ? 0 : dwBlockBytes, dwBlockBytes, &p1, &n1, &p2, &n2, 0),
                    QStringLiteral("DirectSoundBuffer::Lock")))
        return false;
    if (n1 == dwBlockBytes) {
        std::memcpy(p1, source, dwBlockBytes);
    } else if (n2 == dwBlockBytes) {
        std::memcpy(p2, source, dwBlockBytes);
    } else {
        ShowPlaybackMessage(ComposeError(43, 0, QString(), ERR_STYLE_PLAIN, false, 0));
        buffer->Unlock(p1, n1, p2, n2);
        return false;
    }
    return CheckSound(buffer->Unlock(p1, n1, p2, n2), QStringLiteral("Unlock"));
}

QString SoundErrorExplanation(HRESULT hr) {
    switch (static_cast<uint32_t>(hr)) {
    case 0x80004002:
        return QStringLiteral("The requested COM interface is not available.");
    case 0x80004001:
        return QStringLiteral("The function called is not supported at this time.");
    case 0x80004005:
        return QStringLiteral("An undetermined error occurred inside the DirectSound subsystem.");
    case 0x80040110:
        return QStringLiteral("The object does not support aggregation.");
    case 0x8007000E:
        return QStringLiteral(
            "The DirectSound subsystem could not allocate sufficient memory to complete the caller's request.");
    case 0x80070057:
        return QStringLiteral("An invalid parameter was passed to the returning function.");
    case 0x8878000A:
        return QStringLiteral(
            "The request failed because resources, such as a priority level, were already in use by another caller.");
    case 0x8878001E:
        return QStringLiteral("The buffer control (volume, pan, and so on) requested by the caller is not available.");
    case 0x88780032:
        return QStringLiteral("This function is not valid for the current state of this object.");
    case 0x88780046:
        return QStringLiteral("The caller does not have the priority level required for the function to succeed.");
    case 0x88780064:
        return QStringLiteral("The specified wave format is not supported.");
    case 0x88780078:
        return QStringLiteral("No sound driver is available for use.");
    case 0x88780082:
        return QStringLiteral("The object is already initialized.");
    case 0x88780096:
        return QStringLiteral("The buffer memory has been lost and must be restored.");
    case 0x887800A0:
        return QStringLiteral("Another application has a higher priority level, preventing this call from succeeding.");
    case 0x887800AA:
        return QStringLiteral("The IDirectSound::Initialize method has not been called or has not been called "
                              "successfully before other methods were called.");
    default:
        return QStringLiteral("Unknown Error.");
    }
}

QString ComposeSoundError(HRESULT hr, const QString &operation, const QString &extra) {
    return LoadStringRes(44) + QLatin1Char(' ') + operation + extra + QStringLiteral(": ") + SoundErrorExplanation(hr);
}

bool CheckSound(HRESULT hr, const QString &operation, const QString &extra) {
    if (hr == DS_OK)
        return true;
    ShowPlaybackMessage(ComposeSoundError(hr, operation, extra), MB_OK);
    return false;
}
