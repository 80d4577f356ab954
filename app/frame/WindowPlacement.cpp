// Reads and writes WINDOW-STATUS.
#include "WindowPlacement.h"

#include "MainViewLayout.h"
#include "Settings.h"

#include <algorithm>

namespace {
const QString kSection = QStringLiteral("WINDOW-STATUS");
// Edges beyond any screen, hand-edited or from another machine, are brought within this.
constexpr int kFar = 1 << 20;

int Edge(const QString &key, int nDefault) {
    return std::clamp(GetSettingInt(kSection, key, nDefault), -kFar, kFar);
}
} // namespace

WindowPlacement WindowPlacement::Load() {
    WindowPlacement p;
    const int left = Edge(QStringLiteral("Left"), 100);
    const int top = Edge(QStringLiteral("Top"), 100);
    const int right = Edge(QStringLiteral("Right"), 500);
    const int bottom = Edge(QStringLiteral("Bottom"), 400);
    // Right and bottom are exclusive edges, as the settings have always held them.
    p.rcNormal = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    p.nFlags = GetSettingInt(kSection, QStringLiteral("Flags"), 0);
    p.nShow = GetSettingInt(kSection, QStringLiteral("Show"), SW_SHOW);
    return p;
}

void WindowPlacement::Save() const {
    WriteSettingInt(kSection, QStringLiteral("Flags"), nFlags);
    WriteSettingInt(kSection, QStringLiteral("Show"), nShow);
    WriteSettingInt(kSection, QStringLiteral("Left"), rcNormal.left());
    WriteSettingInt(kSection, QStringLiteral("Top"), rcNormal.top());
    WriteSettingInt(kSection, QStringLiteral("Right"), rcNormal.right() + 1);
    WriteSettingInt(kSection, QStringLiteral("Bottom"), rcNormal.bottom() + 1);
}

QRect WindowPlacement::RestoredRect(const QRect &screen) const {
    QRect r = rcNormal.normalized();
    r.setSize(r.size().expandedTo(kMinFrameSize).boundedTo(screen.size().expandedTo(kMinFrameSize)));
    if (r.top() < screen.top())
        r.moveTop(screen.top());
    // A window wholly off the screen could never be reached.
    if (!r.intersects(screen))
        r.moveTopLeft(screen.topLeft());
    return r;
}
