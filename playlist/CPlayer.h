// The player panel: display, transport controls, tempo and volume, the playlist and its panel.
#pragma once

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class CFunctions;
class CPLFunctions;
class CTitleList;

class CPlayer : public QWidget {
    Q_OBJECT
public:
    // Factories replace the standard children (the player control, tempo and volume panels); the
    // display comes from the display's own part. A factory that gives nullptr means the child could
    // not be made. Without a display factory the display is an empty placeholder.
    using ChildFactory = std::function<QWidget *(QWidget *parent)>;
    struct Factories {
        ChildFactory display;   // CDisplay
        ChildFactory functions; // CFunctions, the transport controls
        ChildFactory pitch;     // CPitch, the tempo control
        ChildFactory volume;    // CVolume
    };

    enum Child { ChildDisplay, ChildPlaylist, ChildPLFunctions, ChildFunctions, ChildPitch, ChildVolume, ChildCount };

    explicit CPlayer(Factories factories = {}, QWidget *parent = nullptr);
    // Stops playback first, then closes the playlist.
    ~CPlayer() override;

    // Makes the children in their fixed order (done when first shown). A child that cannot be made
    // is reported with message 61291 and its name, and the rest are not made.
    bool CreateChildren();
    QWidget *ChildAt(Child child) const { return m_children[child]; }
    CTitleList *Playlist() const;
    CPLFunctions *PlaylistPanel() const;
    CFunctions *Functions() const; // nullptr when a factory made something else

    // Where a child goes in a panel of this client size.
    static QRect ChildRect(Child child, QSize size);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void LayOut();

    class PlayerLink;
    Factories m_factories;
    std::unique_ptr<PlayerLink> m_pLink;
    bool m_bCreated = false;
    QWidget *m_children[ChildCount] = {};
};
