// Opening a drive's disc and reading its table of contents.
#include "Drive.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// CD-Extra: the data session after the audio starts 11400 frames (152 s) after the audio's end.
constexpr lsn_t kDataSessionGap = 11400;

driver_id_t ImageDriver(const std::string &path) {
    const auto dot = path.find_last_of('.');
    std::string ext = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    for (char &c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == "cue" || ext == "bin")
        return DRIVER_BINCUE;
    if (ext == "toc")
        return DRIVER_CDRDAO;
    if (ext == "nrg")
        return DRIVER_NRG;
    return DRIVER_UNKNOWN;
}

// libcdio looks for a TOC's data files in the current folder, but cdrdao names them relative to the TOC.
// Opens a private copy of the TOC whose relative names are made absolute.
CdIo_t *OpenTocImage(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || text.str().size() > (1u << 20))
        return nullptr;
    const std::string folder = path.substr(0, path.find_last_of('/') + 1);
    std::string fixed;
    static const std::regex fileName(R"re(\b(FILE|AUDIOFILE|DATAFILE)(\s+)"([^"/][^"]*)")re");
    const std::string source = text.str();
    auto from = source.cbegin();
    for (std::sregex_iterator it(source.begin(), source.end(), fileName), last; it != last; ++it) {
        const std::smatch &m = *it;
        fixed.append(from, m[0].first);
        fixed += m[1].str() + m[2].str() + "\"" + folder + m[3].str() + "\"";
        from = m[0].second;
    }
    fixed.append(from, source.cend());

    const char *tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/melvo-XXXXXX.toc";
    const int fd = ::mkstemps(name.data(), 4); // libcdio knows a TOC by its extension
    if (fd < 0)
        return nullptr;
    CdIo_t *p = nullptr;
    if (::write(fd, fixed.data(), fixed.size()) == static_cast<ssize_t>(fixed.size()))
        p = cdio_open(name.c_str(), DRIVER_CDRDAO);
    ::close(fd);
    ::unlink(name.c_str());
    return p;
}

} // namespace

void Drive::CloseParanoia() {
    if (pParanoia)
        cdio_paranoia_free(pParanoia);
    if (pParanoiaDrive)
        cdio_cddap_close_no_free_cdio(pParanoiaDrive);
    pParanoia = nullptr;
    pParanoiaDrive = nullptr;
    nParanoiaMode = -1;
    nNextSector = -1;
}

void Drive::Close() {
    CloseParanoia();
    if (pCdio)
        cdio_destroy(pCdio);
    pCdio = nullptr;
    bTocRead = false;
    tracks.clear();
    nLeadOut = 0;
}

bool Drive::EnsureToc() {
    if (bImage) {
        // Deleting the image is taking the disc out; a new file at the path is another disc.
        struct stat st {};
        if (::stat(strPath.c_str(), &st) != 0) {
            Close();
            return false;
        }
        if (pCdio && (st.st_dev != nDev || st.st_ino != nIno || st.st_size != nSize || st.st_mtime != nMtime))
            Close();
        if (!pCdio) {
            nDev = st.st_dev;
            nIno = st.st_ino;
            nSize = st.st_size;
            nMtime = st.st_mtime;
        }
    }
    if (!pCdio) {
        const driver_id_t driver = bImage ? ImageDriver(strPath) : DRIVER_DEVICE;
        pCdio = driver == DRIVER_CDRDAO ? OpenTocImage(strPath) : cdio_open(strPath.c_str(), driver);
    }
    if (!pCdio)
        return false;
    if (bTocRead)
        return true;

    const track_t first = cdio_get_first_track_num(pCdio);
    const track_t count = cdio_get_num_tracks(pCdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 || count > 99) {
        Close();
        return false;
    }
    std::vector<TrackEntry> read;
    for (track_t t = first; t < first + count; ++t) {
        const lsn_t start = cdio_get_track_lsn(pCdio, t);
        if (start == CDIO_INVALID_LSN || (!read.empty() && start <= read.back().nStart)) {
            Close();
            return false;
        }
        read.push_back({start, cdio_get_track_format(pCdio, t) == TRACK_FORMAT_AUDIO});
    }
    const lsn_t leadOut = cdio_get_track_lsn(pCdio, CDIO_CDROM_LEADOUT_TRACK);
    // Byte positions are 32-bit: a table beyond them is not a CD.
    if (leadOut == CDIO_INVALID_LSN || leadOut <= read.back().nStart ||
        static_cast<uint64_t>(leadOut) * 2352 > UINT32_MAX) {
        Close();
        return false;
    }
    tracks = std::move(read);
    nLeadOut = leadOut;
    bTocRead = true;
    return true;
}

lsn_t Drive::TrackEnd(size_t index) const {
    if (index + 1 >= tracks.size())
        return nLeadOut;
    const lsn_t next = tracks[index + 1].nStart;
    if (tracks[index].bAudio && !tracks[index + 1].bAudio && next - kDataSessionGap > tracks[index].nStart)
        return next - kDataSessionGap;
    return next;
}

int Drive::AudioTrackCount() const {
    int n = 0;
    for (const TrackEntry &t : tracks)
        n += t.bAudio ? 1 : 0;
    return n;
}

uint32_t FreedbDiscId(const uint32_t *toc, int n) {
    uint32_t digits = 0;
    for (int i = 0; i < n; ++i)
        for (uint32_t s = toc[i] / 75; s > 0; s /= 10)
            digits += s % 10;
    const uint32_t seconds = toc[n] / 75 - toc[0] / 75;
    return (digits % 0xFF) << 24 | seconds << 8 | static_cast<uint32_t>(n);
}
