// Texts, grid and font sizes of the LCD display.
#include "DisplayModel.h"

#include "Messages.h"

DisplayTexts::DisplayTexts()
    : strElapsed(QStringLiteral("00:00")), strRemaining(QStringLiteral("00:00")), strRemainingLabel(LoadStringRes(17)),
      strTypeLabel(LoadStringRes(16)) {}

QString DisplayTexts::FormatTime(int seconds) {
    if (seconds < 0)
        seconds = 0;
    return QStringLiteral("  %1:%2  ")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool DisplayTexts::SetTimes(int elapsed, int remaining) {
    if (elapsed < 0)
        return false;
    const QString text = FormatTime(elapsed);
    if (text == strElapsed)
        return false;
    strElapsed = text;
    strRemaining = FormatTime(remaining);
    return true;
}

bool DisplayTexts::SetTitle(const QString &title) {
    if (title.isEmpty() || title == strTitle)
        return false;
    strTitle = title;
    return true;
}

bool DisplayTexts::SetFormat(const QString &formatName, int channels, unsigned samplesPerSec, unsigned avgBytesPerSec) {
    if (formatName.isEmpty())
        return false;
    const QString rate = QStringLiteral("        %1 kHz     ").arg(samplesPerSec * 0.001, 0, 'f', 2);
    const QString channelsText = channels == 2 ? QStringLiteral("  Stereo  ") : QStringLiteral("  Mono  ");
    const QString bitrate =
        avgBytesPerSec ? QStringLiteral(" %1 kb/s ").arg((avgBytesPerSec / 1000) * 8) : QString(19, QLatin1Char(' '));
    if (rate == strRate && channelsText == strChannels && bitrate == strBitrate && formatName == strType)
        return false;
    strRate = rate;
    strChannels = channelsText;
    strBitrate = bitrate;
    strType = formatName;
    return true;
}

bool DisplayTexts::SetState(int state) {
    if (state < 0 || state == nState)
        return false;
    nState = state;
    return true;
}

namespace {

QRect Cells(int w, int h, int col0, int col1, int row0, int row1) {
    return QRect(col0 * w, row0 * h, (col1 - col0) * w, (row1 - row0) * h);
}

} // namespace

DisplayLayout::DisplayLayout(int clientWidth, int clientHeight)
    : nCellWidth(clientWidth / 7), nCellHeight(clientHeight / 8) {
    const int w = nCellWidth, h = nCellHeight;
    rcTitle = Cells(w, h, 0, 7, 0, 3);
    rcRate = Cells(w, h, 0, 2, 3, 4);
    rcChannels = Cells(w, h, 2, 4, 3, 4);
    rcBitrate = Cells(w, h, 4, 6, 3, 4);
    rcElapsed = Cells(w, h, 0, 2, 4, 8);
    rcRemainingLabel = Cells(w, h, 2, 4, 4, 6);
    rcRemaining = Cells(w, h, 2, 4, 5, 8);
    rcTypeLabel = Cells(w, h, 4, 6, 4, 6);
    rcType = Cells(w, h, 4, 6, 5, 8);
    rcState = Cells(w, h, 6, 7, 5, 8);
}

double DisplayLayout::FontPoints(DisplayFont font, int cellHeight) {
    static constexpr int kTenths[FONT_COUNT] = {6, 10, 18, 8};
    return kTenths[font] * cellHeight / 10.0;
}

QPoint DisplayLayout::StateIconPos() const {
    return QPoint(6 * nCellWidth + nCellWidth / 6, 6 * nCellHeight - nCellHeight / 2);
}
