// Reads and writes WINDOW-STATUS.
#include "WindowPlacement.h"

#include "MainViewLayout.h"
#include "Settings.h"

namespace {
const QString kSection = QStringLiteral("WINDOW-STATUS");
}

WindowPlacement WindowPlacement::Load() {
    WindowPlacement p;
    const int left = GetSettingInt(kSection, QStringLiteral("Left"), 100);
    const int top = GetSettingInt(kSection, QStringLiteral("Top"), 100);
    const int right = GetSettingInt(kSection, QStringLiteral("Right"), 500);
    const int bottom = GetSettingInt(kSection, QStringLiteral("Bottom"), 400);
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
    r.setWidth(std::max(r.width(), kMinFrameSize.width()));
    r.setHeight(std::max(r.height(), kMinFrameSize.height()));
    if (r.top() < screen.top())
        r.moveTop(screen.top());
    return r;
}
